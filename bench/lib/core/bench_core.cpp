// Map loading, memory, cell reading and image decoding of the game-data library.
//
// Prints, besides the usual table, the figures the editor depends on:
//   load ratio      MapImage::load / one read() of the same file into memory (target <= 1.5)
//   peak memory     VmHWM growth while a map is loaded, against the file size (target
//                   file size + 16 MiB)
//   cells/second    every cell of a 6144 x 4096 map read once (target >= 100 million/s)
//   decode times    one land tile and one 64 x 64 texture (target < 5 us each)
#include "core/ArtFiles.h"
#include "core/MapImage.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMapSize = 77'070'336; // map0.mul, 6144 x 4096

// The generated map lives in a private temporary folder for the whole run.
struct MapFile {
    fs::path dir;
    fs::path path;
    MapFile() {
        char pattern[] = "/tmp/tbbench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir = pattern;
        path = dir / "map0.mul";
        // Written in pieces so that making it does not raise the peak memory measured later.
        std::ofstream out(path, std::ios::binary);
        std::mt19937 rng(1);
        std::vector<char> chunk(1 << 20);
        for (std::size_t done = 0; done < kMapSize; done += chunk.size()) {
            for (auto& c : chunk)
                c = static_cast<char>(rng());
            out.write(chunk.data(), std::streamsize(std::min(chunk.size(), kMapSize - done)));
        }
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }
    ~MapFile() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

MapFile* g_map = nullptr;

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}

// The floor: the file read into an uninitialised buffer with one read() call.
void BM_ReadFileOnce(benchmark::State& state) {
    for (auto _ : state) {
        const int fd = ::open(g_map->path.c_str(), O_RDONLY);
        struct stat st {};
        ::fstat(fd, &st);
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[std::size_t(st.st_size)]);
        const ssize_t n = ::read(fd, buffer.get(), std::size_t(st.st_size));
        ::close(fd);
        if (n != st.st_size)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kMapSize));
}

void BM_LoadMapImage(benchmark::State& state) {
    for (auto _ : state) {
        tb::MapImage map = tb::MapImage::load(g_map->path);
        if (!map.hasGeometry())
            state.SkipWithError("map not identified");
        benchmark::DoNotOptimize(map.bytes().data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kMapSize));
}

std::unique_ptr<tb::MapImage> g_loaded;

const tb::MapImage& loadedMap() {
    if (!g_loaded)
        g_loaded = std::make_unique<tb::MapImage>(tb::MapImage::load(g_map->path));
    return *g_loaded;
}

// Every cell once, in storage order (column by column), through the checked API.
void BM_ReadEveryCellChecked(benchmark::State& state) {
    const tb::MapImage& map = loadedMap();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (int x = 0; x < map.width(); ++x)
            for (int y = 0; y < map.height(); ++y) {
                const tb::MapCell c = map.cell(x, y);
                sum += c.tileId + std::uint8_t(c.altitude);
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * map.width() * map.height());
}

void BM_ReadEveryCellUnchecked(benchmark::State& state) {
    const tb::MapImage& map = loadedMap();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (int x = 0; x < map.width(); ++x)
            for (int y = 0; y < map.height(); ++y) {
                const tb::MapCell c = map.cellUnchecked(x, y);
                sum += c.tileId + std::uint8_t(c.altitude);
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * map.width() * map.height());
}

// Row by row, as a view that paints rows would read: not the storage order.
void BM_ReadEveryCellRowOrder(benchmark::State& state) {
    const tb::MapImage& map = loadedMap();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (int y = 0; y < map.height(); ++y)
            for (int x = 0; x < map.width(); ++x) {
                const tb::MapCell c = map.cell(x, y);
                sum += c.tileId + std::uint8_t(c.altitude);
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * map.width() * map.height());
}

tb::ArtFiles makeArt() {
    tb::ArtFiles art;
    std::mt19937 rng(2);
    auto putEntry = [](std::vector<unsigned char>& index, std::size_t id, std::uint32_t offset,
                       std::uint32_t length) {
        index.resize(std::max(index.size(), (id + 1) * 12), 0xFF);
        const std::uint32_t fields[] = {offset, length, 0};
        for (int f = 0; f < 3; ++f)
            for (int b = 0; b < 4; ++b)
                index[id * 12 + std::size_t(f) * 4 + std::size_t(b)] =
                    static_cast<unsigned char>(fields[f] >> (8 * b));
    };
    // 100 land tiles and 100 textures, so that the decode does not always hit one cache line.
    for (std::size_t id = 0; id < 100; ++id) {
        putEntry(art.artIndex, id + 10, std::uint32_t(art.artData.size()), 2048);
        for (int i = 0; i < 2044; ++i)
            art.artData.push_back(static_cast<unsigned char>(rng()));
        putEntry(art.textureIndex, id + 10, std::uint32_t(art.textureData.size()), 8192);
        for (int i = 0; i < 8192; ++i)
            art.textureData.push_back(static_cast<unsigned char>(rng()));
    }
    return art;
}

void BM_MakeLandTileImage(benchmark::State& state) {
    const tb::ArtFiles art = makeArt();
    tb::Image15 image;
    int id = 0;
    for (auto _ : state) {
        const bool made = tb::makeLandTileImage(art, 10 + id, image);
        benchmark::DoNotOptimize(made);
        benchmark::DoNotOptimize(image.pixels.data());
        id = (id + 1) % 100;
    }
}

void BM_MakeTextureImage64(benchmark::State& state) {
    const tb::ArtFiles art = makeArt();
    tb::Image15 image;
    int id = 0;
    for (auto _ : state) {
        const bool made = tb::makeTextureImage(art, 10 + id, image);
        benchmark::DoNotOptimize(made);
        benchmark::DoNotOptimize(image.pixels.data());
        id = (id + 1) % 100;
    }
}

BENCHMARK(BM_ReadFileOnce)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadMapImage)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadEveryCellChecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryCellUnchecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryCellRowOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeLandTileImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeTextureImage64)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    MapFile map;
    g_map = &map;

    // Memory first, before anything else has raised the high-water mark.
    const long rssBefore = statusKb("VmRSS");
    const long hwmBefore = statusKb("VmHWM");
    long hwmLoaded = 0;
    long rssLoaded = 0;
    {
        const tb::MapImage loaded = tb::MapImage::load(map.path);
        benchmark::DoNotOptimize(loaded.bytes().data());
        hwmLoaded = statusKb("VmHWM");
        rssLoaded = statusKb("VmRSS");
    }

    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_loaded.reset();

    const double mib = 1024.0 * 1024.0;
    const double fileMib = double(kMapSize) / mib;
    std::printf("\n--- summary ---\n");
    std::printf("map file: %.1f MiB (%zu bytes)\n", fileMib, kMapSize);
    std::printf("memory: VmRSS %.1f -> %.1f MiB while loaded, VmHWM %.1f -> %.1f MiB\n",
                rssBefore / 1024.0, rssLoaded / 1024.0, hwmBefore / 1024.0, hwmLoaded / 1024.0);
    std::printf("memory: peak growth %.1f MiB = file size %+.1f MiB (target: <= +16 MiB); "
                "peak / file size %.3f\n",
                (hwmLoaded - rssBefore) / 1024.0, (hwmLoaded - rssBefore) / 1024.0 - fileMib,
                (hwmLoaded - rssBefore) * 1024.0 / double(kMapSize));
    if (reporter.ran("BM_ReadFileOnce") && reporter.ran("BM_LoadMapImage")) {
        const double base = reporter.cpuSeconds("BM_ReadFileOnce");
        const double load = reporter.cpuSeconds("BM_LoadMapImage");
        const double baseWall = reporter.wallSeconds("BM_ReadFileOnce");
        const double loadWall = reporter.wallSeconds("BM_LoadMapImage");
        std::printf("load (cpu): one read() %.2f ms, MapImage::load %.2f ms, ratio %.2f "
                    "(target <= 1.5)\n",
                    base * 1e3, load * 1e3, load / base);
        std::printf("load (wall): one read() %.2f ms, MapImage::load %.2f ms, ratio %.2f\n",
                    baseWall * 1e3, loadWall * 1e3, loadWall / baseWall);
    }
    const char* const cellRuns[] = {"BM_ReadEveryCellChecked", "BM_ReadEveryCellUnchecked",
                                    "BM_ReadEveryCellRowOrder"};
    for (const char* name : cellRuns)
        if (reporter.ran(name)) {
            const double cells = 6144.0 * 4096.0 / reporter.cpuSeconds(name);
            std::printf("cells (cpu): %s %.0f million cells/s (target >= 100)\n", name,
                        cells / 1e6);
        }
    for (const char* name : {"BM_MakeLandTileImage", "BM_MakeTextureImage64"})
        if (reporter.ran(name))
            std::printf("decode: %s %.3f us cpu, %.3f us wall per image (target < 5)\n", name,
                        reporter.cpuSeconds(name) * 1e6, reporter.wallSeconds(name) * 1e6);
    return 0;
}
