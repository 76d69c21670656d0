// Map enlargement and map copy on full 6144 x 4096 maps, against the plain file traffic
// they cannot avoid: enlarging against writing an 89,915,392-byte file sequentially (the
// same atomic write), copying the whole map against reading both files and writing the
// destination once as a new file (the same atomic replace) and, for the price of that
// safety, against writing it in place. Prints the ratios (targets: enlargement <= 2, copy <= 3) and
// the peak memory of one run above the process's size before it (target <= 32 MiB).
#include "core/MapVariant.h"
#include "shell/AtomicFileWriter.h"
#include "tools/MapCopy.h"
#include "tools/MapEnlarge.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kFeluccaSize = 77'070'336;
constexpr std::size_t kChunk = 1 << 20;

struct Files {
    fs::path root, source, destination, enlarged, plain;
    Files() {
        root = fs::temp_directory_path() / ("tb-bench-tools-" + std::to_string(::getpid()));
        fs::create_directories(root / "src");
        fs::create_directories(root / "dst");
        source = root / "src" / "map0.mul";
        destination = root / "dst" / "map0.mul";
        enlarged = root / "map0.mul";
        plain = root / "plain.mul";
        // Written, not sparse: every block holds cells, as a real map does.
        std::vector<unsigned char> chunk(kChunk);
        for (std::size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
        for (const fs::path& p : {source, destination}) {
            std::ofstream out(p, std::ios::binary);
            for (std::int64_t left = kFeluccaSize; left > 0; left -= std::int64_t(kChunk))
                out.write(reinterpret_cast<const char*>(chunk.data()),
                          std::streamsize(std::min<std::int64_t>(left, kChunk)));
        }
        ::sync(); // the set-up's write-back must not slow the first timed run
    }
};

Files& files() {
    static Files f;
    return f;
}

void readWhole(const fs::path& path, std::vector<unsigned char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

void BM_WriteMapSizedFile(benchmark::State& state) {
    const std::vector<unsigned char> chunk(kChunk, 0);
    for (auto _ : state)
        tb::writeFileAtomically(files().plain, [&](const tb::AppendBytes& append) {
            for (std::int64_t left = tb::kEnlargedFileSize; left > 0; left -= std::int64_t(kChunk))
                append(chunk.data(), std::size_t(std::min<std::int64_t>(left, kChunk)));
        });
}

void BM_Enlarge6144(benchmark::State& state) {
    for (auto _ : state)
        tb::enlargeMap(files().source, files().enlarged);
}

void BM_ReadBothWriteDestination(benchmark::State& state) {
    std::vector<unsigned char> buffer(kChunk);
    for (auto _ : state) {
        readWhole(files().source, buffer);
        const int fd = ::open(files().destination.c_str(), O_RDWR);
        std::int64_t offset = 0;
        for (ssize_t n; (n = ::pread(fd, buffer.data(), buffer.size(), offset)) > 0; offset += n)
            benchmark::DoNotOptimize(::pwrite(fd, buffer.data(), std::size_t(n), offset));
        ::close(fd);
    }
}

void BM_ReadBothReplaceDestination(benchmark::State& state) {
    std::vector<unsigned char> buffer(kChunk);
    for (auto _ : state) {
        readWhole(files().source, buffer);
        const int fd = ::open(files().destination.c_str(), O_RDONLY);
        tb::writeFileAtomically(files().plain, [&](const tb::AppendBytes& append) {
            for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
                append(buffer.data(), std::size_t(n));
        });
        ::close(fd);
    }
}

void BM_CopyWhole6144(benchmark::State& state) {
    for (auto _ : state)
        tb::copyMapCells(files().source, {0, 0, 6143, 4095, 0, 0}, files().destination);
}

std::int64_t statusKiB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::strlen(field)));
    return -1;
}

// Run in a fresh process (this program with --peak-run) so the timed runs do not count.
std::int64_t peakRun(const std::string& what, const fs::path& root) {
    const std::int64_t idle = statusKiB("VmRSS:");
    if (what == "enlarge")
        tb::enlargeMap(root / "src" / "map0.mul", root / "map0.mul");
    else
        tb::copyMapCells(root / "src" / "map0.mul", {0, 0, 6143, 4095, 0, 0},
                         root / "dst" / "map0.mul");
    return statusKiB("VmHWM:") - idle;
}

double peakAboveIdleMiB(const char* self, const char* what) {
    const std::string command =
        "'" + std::string(self) + "' --peak-run " + what + " '" + files().root.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    long long kib = -1;
    if (pipe) {
        if (std::fscanf(pipe, "%lld", &kib) != 1)
            kib = -1;
        ::pclose(pipe);
    }
    return double(kib) / 1024.0;
}

} // namespace

BENCHMARK(BM_WriteMapSizedFile)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Enlarge6144)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadBothWriteDestination)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadBothReplaceDestination)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CopyWhole6144)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--peak-run") {
        std::printf("%lld\n", (long long)peakRun(argv[2], argv[3]));
        return 0;
    }
    const char* self = argv[0];
    benchmark::Initialize(&argc, argv);
    files();
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* a, const char* b) { return reporter.wallRatio(a, b); };
    std::printf("enlargement / writing an 89,915,392-byte file = %.2f (target <= 2)\n",
                ratio("BM_Enlarge6144", "BM_WriteMapSizedFile"));
    std::printf("whole-map copy / reading both files and replacing one = %.2f (target <= 3)\n",
                ratio("BM_CopyWhole6144", "BM_ReadBothReplaceDestination"));
    std::printf("whole-map copy / reading both and writing one in place = %.2f (the atomic "
                "replace's price)\n",
                ratio("BM_CopyWhole6144", "BM_ReadBothWriteDestination"));
    std::printf("enlargement: peak memory above idle = %.1f MiB (target <= 32)\n",
                peakAboveIdleMiB(self, "enlarge"));
    std::printf("copy: peak memory above idle = %.1f MiB (target <= 32)\n",
                peakAboveIdleMiB(self, "copy"));
    fs::remove_all(files().root);
    benchmark::Shutdown();
    return 0;
}
