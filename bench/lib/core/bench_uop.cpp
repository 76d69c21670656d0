// UOP containers against .mul files, measured in one run on the same 7168 x 4096 map:
//   load ratio      MapImage::load of map0LegacyMUL.uop / of map0.mul (target <= 1.5)
//   convert ratios  convertMapFile each way / a durable sequential write of the same
//                   number of bytes: write + fsync (target <= 2)
//   land tile ratio one land tile made from artLegacyMUL.uop art / from art.mul art, once
//                   the files are read (target: the same cost)
#include "core/ArtFiles.h"
#include "core/MapConvert.h"
#include "core/MapImage.h"
#include "core/UopNames.h"

#include "BenchRuns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMapSize = 89'915'392; // map0.mul, 7168 x 4096
constexpr int kTiles = 1000;

struct Files {
    fs::path dir;
    Files() {
        char pattern[] = "/tmp/tbbench-uop-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir = pattern;
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Files* g_files = nullptr;

void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void put(std::vector<unsigned char>& out, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        out[at + std::size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

// Two game folders with the same land tiles 0 .. kTiles - 1: one as artidx.mul/art.mul, one
// as artLegacyMUL.uop (stored entries, one table, written here by hand).
void writeArtFolders() {
    std::mt19937 rng(3);
    std::vector<unsigned char> index, data;
    std::vector<unsigned char> uop(40 + 12 + kTiles * 34, 0);
    put(uop, 0, 0x0050594D, 4);
    put(uop, 4, 5, 4);
    put(uop, 8, 0xFD23EC43, 4);
    put(uop, 12, 40, 8);
    put(uop, 20, kTiles, 4);
    put(uop, 24, kTiles, 4);
    put(uop, 40, kTiles, 4);
    for (int id = 0; id < kTiles; ++id) {
        std::vector<unsigned char> tile(2048);
        for (auto& b : tile)
            b = static_cast<unsigned char>(rng());
        index.resize(index.size() + 12);
        put(index, index.size() - 12, data.size(), 4);
        put(index, index.size() - 8, 2048, 4);
        put(index, index.size() - 4, 0, 4);
        data.insert(data.end(), tile.begin(), tile.end());
        const std::size_t slot = 40 + 12 + std::size_t(id) * 34;
        put(uop, slot, uop.size(), 8);
        put(uop, slot + 12, 2048, 4);
        put(uop, slot + 16, 2048, 4);
        put(uop, slot + 20, tb::uopNameHash(tb::uopArtEntryName(std::uint32_t(id))), 8);
        uop.insert(uop.end(), tile.begin(), tile.end());
    }
    for (const char* folder : {"mul", "uop"}) {
        fs::create_directory(g_files->dir / folder);
        writeFile(g_files->dir / folder / "texidx.mul", {});
        writeFile(g_files->dir / folder / "texmaps.mul", {});
    }
    writeFile(g_files->dir / "mul" / "artidx.mul", index);
    writeFile(g_files->dir / "mul" / "art.mul", data);
    writeFile(g_files->dir / "uop" / "artLegacyMUL.uop", uop);
}

void BM_LoadMul(benchmark::State& state) {
    for (auto _ : state) {
        const tb::MapImage map = tb::MapImage::load(g_files->dir / "map0.mul");
        if (!map.hasGeometry())
            state.SkipWithError("map not identified");
        benchmark::DoNotOptimize(map.bytes().data());
    }
}

void BM_LoadUop(benchmark::State& state) {
    for (auto _ : state) {
        const tb::MapImage map = tb::MapImage::load(g_files->dir / "map0LegacyMUL.uop");
        if (!map.hasGeometry())
            state.SkipWithError("map not identified");
        benchmark::DoNotOptimize(map.bytes().data());
    }
}

// The baseline of a conversion: the map's bytes (already in memory) written to a new file
// in one sequential pass and made durable.
void BM_DurableWrite(benchmark::State& state) {
    const std::vector<unsigned char> bytes(kMapSize, 0x5A);
    const fs::path path = g_files->dir / "durable.bin";
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                state.SkipWithError("write failed");
                break;
            }
            done += std::size_t(n);
        }
        ::fsync(fd);
        ::close(fd);
        state.PauseTiming();
        fs::remove(path);
        state.ResumeTiming();
    }
}

void BM_ConvertMulToUop(benchmark::State& state) {
    for (auto _ : state) {
        tb::convertMapFile(g_files->dir / "map0.mul", g_files->dir / "out" / "map0LegacyMUL.uop");
        state.PauseTiming();
        fs::remove(g_files->dir / "out" / "map0LegacyMUL.uop");
        state.ResumeTiming();
    }
}

void BM_ConvertUopToMul(benchmark::State& state) {
    for (auto _ : state) {
        tb::convertMapFile(g_files->dir / "map0LegacyMUL.uop", g_files->dir / "out" / "map0.mul");
        state.PauseTiming();
        fs::remove(g_files->dir / "out" / "map0.mul");
        state.ResumeTiming();
    }
}

void landTile(benchmark::State& state, const char* folder) {
    tb::ArtFiles art;
    art.load(g_files->dir / folder);
    tb::Image15 image;
    int id = 0;
    for (auto _ : state) {
        const bool made = tb::makeLandTileImage(art, id, image);
        benchmark::DoNotOptimize(made);
        benchmark::DoNotOptimize(image.pixels.data());
        id = (id + 1) % kTiles;
    }
}

void BM_LandTileFromArtMul(benchmark::State& state) {
    landTile(state, "mul");
}
void BM_LandTileFromArtUop(benchmark::State& state) {
    landTile(state, "uop");
}

void BM_LoadArtMul(benchmark::State& state) {
    for (auto _ : state) {
        tb::ArtFiles art;
        art.load(g_files->dir / "mul");
        benchmark::DoNotOptimize(art.artData.data());
    }
}
void BM_LoadArtUop(benchmark::State& state) {
    for (auto _ : state) {
        tb::ArtFiles art;
        art.load(g_files->dir / "uop");
        benchmark::DoNotOptimize(art.artData.data());
    }
}

BENCHMARK(BM_LoadMul)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadUop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DurableWrite)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_ConvertMulToUop)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_ConvertUopToMul)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_LandTileFromArtMul)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LandTileFromArtUop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadArtMul)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadArtUop)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    Files files;
    g_files = &files;
    {
        std::mt19937 rng(1);
        std::vector<unsigned char> map(kMapSize);
        for (auto& b : map)
            b = static_cast<unsigned char>(rng());
        writeFile(files.dir / "map0.mul", map);
    }
    tb::convertMapFile(files.dir / "map0.mul", files.dir / "map0LegacyMUL.uop");
    fs::create_directory(files.dir / "out");
    writeArtFolders();

    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n--- summary (one run, same machine) ---\n");
    auto line = [&](const char* what, const char* a, const char* b, const char* target, bool wall) {
        if (!reporter.ran(a) || !reporter.ran(b))
            return;
        const double timeA = wall ? reporter.wallSeconds(a) : reporter.cpuSeconds(a);
        const double timeB = wall ? reporter.wallSeconds(b) : reporter.cpuSeconds(b);
        std::printf("%s (%s): %.3f ms vs %.3f ms, ratio %.2f (target %s)\n", what,
                    wall ? "wall" : "cpu", timeA * 1e3, timeB * 1e3, timeA / timeB, target);
    };
    line("load 7168x4096 uop / mul", "BM_LoadUop", "BM_LoadMul", "<= 1.5", true);
    line("load 7168x4096 uop / mul", "BM_LoadUop", "BM_LoadMul", "<= 1.5", false);
    line("convert mul -> uop / durable write", "BM_ConvertMulToUop", "BM_DurableWrite", "<= 2",
         true);
    line("convert uop -> mul / durable write", "BM_ConvertUopToMul", "BM_DurableWrite", "<= 2",
         true);
    line("land tile from uop art / from art.mul", "BM_LandTileFromArtUop", "BM_LandTileFromArtMul",
         "about 1", false);
    line("art load, uop / mul (1000 tiles)", "BM_LoadArtUop", "BM_LoadArtMul", "none", true);
    return 0;
}
