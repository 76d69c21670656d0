// Map pictures and statics on a 7168 x 4096 map (a generated world) with a statics file of
// one million records, each against the work it cannot avoid, measured in one run:
//   tbmap radar --statics      / encoding a PNG of the same picture with QImage   (<= 2)
//   heightmap export           / encoding the same greyscale PNG with QImage      (<= 1.5)
//   heightmap import           / decoding the same greyscale PNG with QImage      (<= 1.5)
//   loading the statics        / reading both statics files                       (<= 2)
// The heightmap conversions are measured on a map and a PNG in memory, as the editor does
// them; the whole tbmap heightmap commands, which also read the 86 MB map and write it
// atomically, are printed beside them for information. The commands run in this process
// exactly as tbmap runs them.
#include "Commands.h"

#include "core/Heightmap.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/StaticsFiles.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoWorld.h"
#include "shell/FileBytes.h"

#include "BenchRuns.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int kStaticRecords = 1'000'000;

void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
}

void putU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The inputs, made once: the world, radar colours, statics scattered over the blocks as
// trees and buildings are, and two heightmaps that differ in most cells.
struct Inputs {
    fs::path dir;
    fs::path map, game, radarPng, heightPng, otherHeightPng;
    tb::MapVariant variant = tb::demo::demoVariant("map0.mul", {7168, 4096});
    tb::StaticsFilePaths statics;

    Inputs() {
        dir = fs::temp_directory_path() /
              ("tb-bench-pictures-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir / "game");
        map = dir / "map0.mul";
        game = dir / "game";
        radarPng = dir / "radar.png";
        heightPng = dir / "height.png";
        otherHeightPng = dir / "height2.png";
        writeFile(map, tb::demo::generateDemoMap(variant, 1));

        std::mt19937 random(9);
        std::vector<unsigned char> radar(65536 * 2);
        for (auto& b : radar)
            b = static_cast<unsigned char>(random());
        writeFile(game / "radarcol.mul", radar);

        const std::size_t blocks = std::size_t(variant.widthBlocks()) * variant.heightBlocks();
        std::vector<std::uint32_t> perBlock(blocks);
        for (int i = 0; i < kStaticRecords; ++i)
            ++perBlock[random() % blocks];
        std::vector<unsigned char> index(blocks * 12);
        std::vector<unsigned char> data;
        data.reserve(std::size_t(kStaticRecords) * 7);
        for (std::size_t b = 0; b < blocks; ++b) {
            putU32(&index[b * 12], perBlock[b] ? std::uint32_t(data.size()) : 0xFFFFFFFFu);
            putU32(&index[b * 12 + 4], perBlock[b] ? perBlock[b] * 7 : 0xFFFFFFFFu);
            putU32(&index[b * 12 + 8], 0);
            for (std::uint32_t r = 0; r < perBlock[b]; ++r) {
                const std::uint32_t v = random();
                const unsigned char record[7] = {static_cast<unsigned char>(v),
                                                 static_cast<unsigned char>((v >> 8) & 0x3F),
                                                 static_cast<unsigned char>((v >> 14) & 7),
                                                 static_cast<unsigned char>((v >> 17) & 7),
                                                 static_cast<unsigned char>(v >> 20),
                                                 0,
                                                 0};
                data.insert(data.end(), record, record + 7);
            }
        }
        statics = {game / "staidx0.mul", game / "statics0.mul"};
        writeFile(statics.index, index);
        writeFile(statics.data, data);
    }
    ~Inputs() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Inputs* g_inputs = nullptr;

// The commands print a line or two; the benchmark table should stay readable.
int runQuietly(int (*command)(const tbcli::Args&), const tbcli::Args& args) {
    std::ostringstream sink;
    std::streambuf* old = std::cout.rdbuf(sink.rdbuf());
    const int code = command(args);
    std::cout.rdbuf(old);
    return code;
}

QByteArray encodePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void BM_RadarStaticsCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        if (runQuietly(tbcli::runRadar,
                       {in.map.string(), in.game.string(), in.radarPng.string(), "--statics"}) != 0)
            state.SkipWithError("tbmap radar failed");
}

void BM_EncodeRadarPngWithQImage(benchmark::State& state) {
    const QImage picture = QImage(QString::fromStdString(g_inputs->radarPng.string()))
                               .convertToFormat(QImage::Format_RGB32);
    for (auto _ : state) {
        const QByteArray png = encodePng(picture);
        benchmark::DoNotOptimize(png.constData());
    }
}

void BM_HeightmapExportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        if (runQuietly(tbcli::runHeightmap, {"export", in.map.string(), in.heightPng.string()}) !=
            0)
            state.SkipWithError("tbmap heightmap export failed");
}

void BM_EncodeGreyPngWithQImage(benchmark::State& state) {
    const QImage picture(QString::fromStdString(g_inputs->heightPng.string()));
    for (auto _ : state) {
        const QByteArray png = encodePng(picture);
        benchmark::DoNotOptimize(png.constData());
    }
}

// Two imports per iteration, one of each heightmap, so that each changes most cells and
// writes the map.
void BM_HeightmapImportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        for (const fs::path& png : {in.otherHeightPng, in.heightPng})
            if (runQuietly(tbcli::runHeightmap, {"import", in.map.string(), png.string()}) != 0)
                state.SkipWithError("tbmap heightmap import failed");
}

void BM_DecodeGreyPngWithQImage(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        for (const fs::path& png : {in.otherHeightPng, in.heightPng}) {
            const QImage picture(QString::fromStdString(png.string()));
            benchmark::DoNotOptimize(picture.constBits());
        }
}

// The conversions alone, on a map held in memory and a PNG held in memory.
std::unique_ptr<tb::MapImage> g_map;
QByteArray g_heightPng, g_otherHeightPng;

void BM_HeightmapExportInMemory(benchmark::State& state) {
    for (auto _ : state) {
        const tb::Heightmap heightmap = tb::exportHeightmap(*g_map);
        const QImage image(heightmap.grey.data(), heightmap.width, heightmap.height,
                           qsizetype(heightmap.width), QImage::Format_Grayscale8);
        const QByteArray png = encodePng(image);
        benchmark::DoNotOptimize(png.constData());
    }
}

void BM_HeightmapImportInMemory(benchmark::State& state) {
    for (auto _ : state)
        for (const QByteArray* png : {&g_otherHeightPng, &g_heightPng}) {
            QImage image;
            image.loadFromData(*png, "PNG");
            const tb::HeightmapView view{image.width(), image.height(), image.bytesPerLine(),
                                         image.constBits()};
            benchmark::DoNotOptimize(tb::applyHeightmap(*g_map, view));
        }
}

void BM_DecodeGreyPngInMemory(benchmark::State& state) {
    for (auto _ : state)
        for (const QByteArray* png : {&g_otherHeightPng, &g_heightPng}) {
            QImage image;
            image.loadFromData(*png, "PNG");
            benchmark::DoNotOptimize(image.constBits());
        }
}

// Loading reads and checks; the records are counted once, outside the timing, only to show
// that nothing was lost.
void BM_LoadStatics(benchmark::State& state) {
    const tb::StaticsLoad first = tb::loadStatics(g_inputs->statics, g_inputs->variant);
    if (first.statics.recordCount() != kStaticRecords || !first.warning.empty())
        state.SkipWithError("statics lost or damaged");
    for (auto _ : state) {
        const tb::StaticsLoad load = tb::loadStatics(g_inputs->statics, g_inputs->variant);
        benchmark::DoNotOptimize(load.warning.data());
    }
}

void BM_ReadStaticsFiles(benchmark::State& state) {
    for (auto _ : state) {
        const auto index = tb::readFileBytes(g_inputs->statics.index);
        const auto data = tb::readFileBytes(g_inputs->statics.data);
        benchmark::DoNotOptimize(index.data());
        benchmark::DoNotOptimize(data.data());
    }
}

BENCHMARK(BM_RadarStaticsCommand)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_EncodeRadarPngWithQImage)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_HeightmapExportCommand)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_EncodeGreyPngWithQImage)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_HeightmapImportCommand)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_DecodeGreyPngWithQImage)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_HeightmapExportInMemory)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_HeightmapImportInMemory)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_DecodeGreyPngInMemory)->Unit(benchmark::kMillisecond)->MinTime(3.0);
// Under a millisecond each, so easily disturbed: the summary takes the fastest of several
// repetitions (the other benchmarks run once, for seconds).
BENCHMARK(BM_LoadStatics)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_ReadStaticsFiles)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);

// The second heightmap: every altitude one step higher (lower at the top), so an import
// of it changes every cell.
void makeOtherHeightmap(const Inputs& in) {
    if (runQuietly(tbcli::runHeightmap, {"export", in.map.string(), in.heightPng.string()}) != 0) {
        std::fprintf(stderr, "cannot export the heightmap\n");
        std::exit(1);
    }
    QImage grey(QString::fromStdString(in.heightPng.string()));
    for (int y = 0; y < grey.height(); ++y) {
        uchar* line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            line[x] = line[x] == 255 ? 254 : uchar(line[x] + 1);
    }
    grey.save(QString::fromStdString(in.otherHeightPng.string()), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    Inputs inputs;
    g_inputs = &inputs;
    makeOtherHeightmap(inputs);
    // The radar picture the encoding baseline encodes again.
    runQuietly(tbcli::runRadar,
               {inputs.map.string(), inputs.game.string(), inputs.radarPng.string(), "--statics"});

    g_map = std::make_unique<tb::MapImage>(tb::MapImage::load(inputs.map));
    for (auto [png, bytes] : {std::pair{inputs.heightPng, &g_heightPng},
                              std::pair{inputs.otherHeightPng, &g_otherHeightPng}}) {
        const auto read = tb::readFileBytes(png);
        *bytes = QByteArray(reinterpret_cast<const char*>(read.data()), qsizetype(read.size()));
    }

    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n--- summary (7168 x 4096 cells, %d statics; fastest repetition) ---\n",
                kStaticRecords);
    const struct {
        const char* what;
        const char* ours;
        const char* baseline;
        double target;
    } ratios[] = {
        {"radar --statics / QImage PNG encode", "BM_RadarStaticsCommand",
         "BM_EncodeRadarPngWithQImage", 2.0},
        {"heightmap export / QImage grey PNG encode", "BM_HeightmapExportInMemory",
         "BM_EncodeGreyPngWithQImage", 1.5},
        {"heightmap import / QImage grey PNG decode", "BM_HeightmapImportInMemory",
         "BM_DecodeGreyPngInMemory", 1.5},
        {"tbmap heightmap export (map file to PNG file)", "BM_HeightmapExportCommand",
         "BM_EncodeGreyPngWithQImage", 0},
        {"tbmap heightmap import (PNG file into map file)", "BM_HeightmapImportCommand",
         "BM_DecodeGreyPngWithQImage", 0},
        {"statics load / reading both files", "BM_LoadStatics", "BM_ReadStaticsFiles", 2.0},
    };
    for (const auto& r : ratios) {
        if (!reporter.ran(r.ours) || !reporter.ran(r.baseline))
            continue;
        char target[32] = "for information";
        if (r.target > 0)
            std::snprintf(target, sizeof target, "target <= %.1f", r.target);
        std::printf("%-48s cpu %.2f (%.1f / %.1f ms), wall %.2f (%.1f / %.1f ms) (%s)\n", r.what,
                    reporter.fastestCpuRatio(r.ours, r.baseline),
                    reporter.fastestCpuSeconds(r.ours) * 1e3,
                    reporter.fastestCpuSeconds(r.baseline) * 1e3,
                    reporter.fastestWallRatio(r.ours, r.baseline),
                    reporter.fastestWallSeconds(r.ours) * 1e3,
                    reporter.fastestWallSeconds(r.baseline) * 1e3, target);
    }
    return 0;
}
