// Diff generation on two full 6144 x 4096 sets with about 40 MB of statics each and 1% of
// the blocks changed, against reading the six input files once from the page cache.
// Two layouts of the modified statics0.mul: changed blocks appended at its end (only their
// index entries differ) and the whole file rewritten in block order (nearly every Lookup
// moves, so every block's records are read and compared). Prints the time ratios of the
// fastest of several runs of each, by wall time and by CPU time (the machine may be shared,
// and a wait for a core counts only in the first), and the peak memory of a run above the
// process's size before it (targets: <= 3x, <= 32 MiB).
#include "diff/DiffFormat.h"
#include "diff/DiffGenerator.h"
#include "shell/LittleEndian.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

struct Rng {
    std::uint64_t s;
    std::uint32_t next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return std::uint32_t(s >> 16);
    }
};

std::uint32_t hash(std::uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return v;
}

bool changed(int block) {
    return hash(std::uint32_t(block) ^ 0xC0FFEEu) % 100 == 0;
}
// 0..30 records, about one block in eight without statics: ~14 records, ~40 MB in all.
int recordCount(int block, bool modified) {
    const std::uint32_t h = hash(std::uint32_t(block) * 2654435761u + (modified ? 7u : 0u));
    return h % 8 == 0 ? -1 : int(h >> 8) % 31;
}

void fillRecords(std::vector<unsigned char>& out, int block, int count, bool modified) {
    Rng rng{0x9E3779B97F4A7C15ull ^ (std::uint64_t(block) << 1) ^ (modified ? 1u : 0u)};
    out.resize(std::size_t(count) * 7);
    for (auto& b : out)
        b = static_cast<unsigned char>(rng.next());
}

struct Sets {
    fs::path root, orig, modAppended, modRepacked;
};

// Writes a map whose blocks are random, with changed blocks different in the modified one.
void writeMap(const fs::path& path, bool modified) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<unsigned char> column(std::size_t(tb::kMapColumnBytes));
    for (int x = 0; x < tb::kDiffBlockColumns; ++x) {
        for (int y = 0; y < tb::kDiffBlockRows; ++y) {
            const int b = x * tb::kDiffBlockRows + y;
            Rng rng{0x1234567ull + std::uint64_t(b) * 977 + ((modified && changed(b)) ? 5 : 0)};
            for (int i = 0; i < 196; i += 4)
                tb::writeU32(column.data() + y * 196 + i, rng.next());
        }
        out.write(reinterpret_cast<const char*>(column.data()), std::streamsize(column.size()));
    }
}

// Statics of one set: `modified` picks the changed blocks' new records; `appendChanged`
// keeps the original file's layout and appends the changed blocks at the end.
void writeStatics(const fs::path& dir, bool modified, bool appendChanged) {
    std::vector<unsigned char> index(std::size_t(tb::kStaIdxBytes));
    std::ofstream statics(dir / "statics0.mul", std::ios::binary | std::ios::trunc);
    std::vector<unsigned char> recs;
    std::int64_t pos = 0;
    auto put = [&](int b, bool useModified) {
        const int count = recordCount(b, useModified);
        tb::StaticPointer p{-1, 0, std::uint32_t(b)};
        if (count >= 0) {
            fillRecords(recs, b, count, useModified);
            statics.write(reinterpret_cast<const char*>(recs.data()), std::streamsize(recs.size()));
            p = {std::int32_t(pos), std::uint32_t(recs.size()), std::uint32_t(b)};
            pos += std::int64_t(recs.size());
        }
        tb::encodeStaticPointer(index.data() + std::size_t(b) * 12, p);
    };
    for (int b = 0; b < tb::kDiffBlockCount; ++b)
        put(b, modified && changed(b) && !appendChanged);
    if (modified && appendChanged)
        for (int b = 0; b < tb::kDiffBlockCount; ++b)
            if (changed(b))
                put(b, true);
    std::ofstream(dir / "staidx0.mul", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(index.data()), std::streamsize(index.size()));
}

const Sets& sets() {
    static const Sets s = [] {
        Sets r;
        r.root = fs::temp_directory_path() / ("tb-bench-diff-" + std::to_string(::getpid()));
        r.orig = r.root / "orig";
        r.modAppended = r.root / "appended";
        r.modRepacked = r.root / "repacked";
        for (const fs::path& d : {r.orig, r.modAppended, r.modRepacked})
            fs::create_directories(d);
        writeStatics(r.orig, false, false);
        writeStatics(r.modAppended, true, true);
        writeStatics(r.modRepacked, true, false);
        writeMap(r.orig / "map0.mul", false);
        writeMap(r.modAppended / "map0.mul", true);
        fs::copy_file(r.modAppended / "map0.mul", r.modRepacked / "map0.mul");
        return r;
    }();
    return s;
}

tb::DiffFileSet fileSet(const fs::path& dir) {
    return {dir / "staidx0.mul", dir / "statics0.mul", dir / "map0.mul"};
}

// Reads a whole file in 1 MiB calls, touching every byte once.
std::uint64_t readWhole(const fs::path& path, std::vector<unsigned char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::uint64_t sum = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; i += 64)
            sum += buffer[std::size_t(i)];
    }
    ::close(fd);
    return sum;
}

void readAllInputs(const fs::path& modDir) {
    std::vector<unsigned char> buffer(1 << 20);
    std::uint64_t sum = 0;
    for (const fs::path& dir : {sets().orig, modDir})
        for (const char* name : {"staidx0.mul", "statics0.mul", "map0.mul"})
            sum += readWhole(dir / name, buffer);
    benchmark::DoNotOptimize(sum);
}

void BM_ReadAllSixInputs(benchmark::State& state) {
    const fs::path mod = state.range(0) ? sets().modRepacked : sets().modAppended;
    readAllInputs(mod); // into the page cache
    for (auto _ : state)
        readAllInputs(mod);
}

void BM_GenerateDiff(benchmark::State& state) {
    const fs::path mod = state.range(0) ? sets().modRepacked : sets().modAppended;
    readAllInputs(mod);
    tb::Progress& quiet = tb::noProgress();
    tb::DiffSummary summary;
    for (auto _ : state)
        summary = tb::generateDiff(fileSet(sets().orig), fileSet(mod), sets().root / "out.qmz",
                                   true, true, quiet);
    state.counters["statics_stored"] = double(summary.staticsBlocksStored);
    state.counters["map_stored"] = double(summary.mapBlocksStored);
    state.counters["patch_MB"] = double(summary.patchSize) / 1e6;
}

std::int64_t statusKiB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::strlen(field)));
    return -1;
}

// Peak resident size of one run above the size of the process before it (KiB), measured
// in a fresh process (this program started again with --peak-run) so that memory this
// process kept from the timed runs does not count as idle.
std::int64_t peakRun(const fs::path& origDir, const fs::path& modDir, const fs::path& out) {
    const std::int64_t idle = statusKiB("VmRSS:");
    tb::Progress& quiet = tb::noProgress();
    tb::generateDiff(fileSet(origDir), fileSet(modDir), out, true, true, quiet);
    return statusKiB("VmHWM:") - idle;
}

std::int64_t peakAboveIdleKiB(const char* self, const fs::path& mod) {
    const std::string command = "'" + std::string(self) + "' --peak-run '" + sets().orig.string() +
                                "' '" + mod.string() + "' '" + (sets().root / "peak.qmz").string() +
                                "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    long long kib = -1;
    if (pipe) {
        if (std::fscanf(pipe, "%lld", &kib) != 1)
            kib = -1;
        ::pclose(pipe);
    }
    return kib;
}

// Times each stage of one run (the map checksum counts under the statics index stage).
class StageTimer : public tb::Progress {
public:
    // A new caption is a new stage.
    void report(std::string_view caption, std::int64_t, std::int64_t) override {
        if (caption == m_current)
            return;
        lap();
        m_current = caption;
    }
    void lap() {
        const auto now = std::chrono::steady_clock::now();
        if (!m_current.empty())
            std::printf("    %-34s %7.1f ms\n", m_current.c_str(),
                        std::chrono::duration<double, std::milli>(now - m_start).count());
        m_start = now;
    }

private:
    std::string m_current;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

} // namespace

constexpr int kRepetitions = 7;
BENCHMARK(BM_ReadAllSixInputs)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_GenerateDiff)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions);

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--peak-run") {
        std::printf("%lld\n", (long long)peakRun(argv[2], argv[3], argv[4]));
        return 0;
    }
    const char* self = argv[0];
    benchmark::Initialize(&argc, argv);
    std::printf("statics0.mul: original %.1f MB, modified (appended) %.1f MB, (repacked) %.1f MB\n",
                double(fs::file_size(sets().orig / "statics0.mul")) / 1e6,
                double(fs::file_size(sets().modAppended / "statics0.mul")) / 1e6,
                double(fs::file_size(sets().modRepacked / "statics0.mul")) / 1e6);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* arg : {"0", "1"}) {
        const std::string read = std::string("BM_ReadAllSixInputs/") + arg;
        const std::string gen = std::string("BM_GenerateDiff/") + arg;
        if (reporter.ran(read) && reporter.ran(gen))
            std::printf("%s statics: generation / reading all six inputs = %.2f wall time, "
                        "%.2f CPU time, fastest runs (target <= 3)\n",
                        arg[0] == '0' ? "appended" : "repacked",
                        reporter.fastestWallRatio(gen, read), reporter.fastestCpuRatio(gen, read));
    }
    for (const auto& [name, dir] :
         {std::pair{"appended", sets().modAppended}, std::pair{"repacked", sets().modRepacked}}) {
        std::printf("%s statics: one run by stage\n", name);
        StageTimer timer;
        tb::generateDiff(fileSet(sets().orig), fileSet(dir), sets().root / "timed.qmz", true, true,
                         timer);
        timer.lap();
    }
    for (const auto& [name, dir] :
         {std::pair{"appended", sets().modAppended}, std::pair{"repacked", sets().modRepacked}})
        std::printf("%s statics: peak memory above idle = %.1f MiB (target <= 32)\n", name,
                    double(peakAboveIdleKiB(self, dir)) / 1024.0);
    fs::remove_all(sets().root);
    benchmark::Shutdown();
    return 0;
}
