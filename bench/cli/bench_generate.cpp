// A new world of 7168 x 4096 cells from two pictures, and tile images of a map that size,
// each against the work it cannot avoid, measured in one run:
//   tbmap generate --statics (3% of the fill cells get an item)
//       / decoding the two pictures + durably writing the map and statics files   (<= 4)
//   tbmap tileimage export / tbmap heightmap export of the same map               (<= 2)
//   tbmap tileimage import / tbmap heightmap import of the same map               (<= 2)
// The tile images imported are written as the export writes them (uncompressed); the same
// pictures compressed as a paint program saves them are imported too, for information.
// The pictures are the demo's island picture repeated over the map, with the demo terrain
// file's tiles and altitude rules and its scatter rules at 3%. The commands run in this
// process exactly as tbmap runs them.
#include "Commands.h"

#include "catalogue/TerrainFile.h"
#include "core/PngRowWriter.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoPictures.h"
#include "demo/DemoTerrainArt.h"
#include "demo/DemoWorld.h"
#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"

#include "BenchRuns.h"

#include <QImage>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int kChance = 3;

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "bench_generate: %s\n", what);
        std::exit(1);
    }
}

struct Inputs {
    fs::path dir;
    tb::MapVariant variant = tb::demo::demoVariant("map0.mul", {7168, 4096});
    fs::path terrain, altitude, terrains, world, worldIndex, worldData;
    fs::path map, tilePng, otherTilePng, heightPng, otherHeightPng;
    fs::path packedTilePng, otherPackedTilePng; // compressed, as a paint program saves them
    // What the baseline writes: the bytes of a generated world.
    std::vector<unsigned char> mapBytes, indexBytes, dataBytes;

    Inputs() {
        dir = fs::temp_directory_path() /
              ("tb-bench-generate-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir / "world");
        terrain = dir / "terrain.png";
        altitude = dir / "altitude.png";
        terrains = dir / "demo.xml";
        world = dir / "world" / "map0.mul";
        worldIndex = dir / "world" / "staidx0.mul";
        worldData = dir / "world" / "statics0.mul";
        map = dir / "map0.mul";
        tilePng = dir / "tiles.png";
        otherTilePng = dir / "tiles2.png";
        heightPng = dir / "height.png";
        otherHeightPng = dir / "height2.png";
        packedTilePng = dir / "tiles-packed.png";
        otherPackedTilePng = dir / "tiles2-packed.png";

        // The island repeated over the map: its edges are sea, so the copies join.
        const tb::demo::DemoPictures island = tb::demo::drawDemoPictures(1);
        QImage colours(variant.width, variant.height, QImage::Format_RGB32);
        QImage heights(variant.width, variant.height, QImage::Format_Grayscale8);
        for (int y = 0; y < variant.height; ++y) {
            auto* colourLine = reinterpret_cast<QRgb*>(colours.scanLine(y));
            uchar* heightLine = heights.scanLine(y);
            for (int x = 0; x < variant.width; ++x) {
                const std::size_t at = std::size_t(y % island.height) * std::size_t(island.width) +
                                       std::size_t(x % island.width);
                colourLine[x] = 0xFF000000u | island.terrain[at];
                heightLine[x] = island.altitude[at];
            }
        }
        require(colours.save(qpath(terrain), "PNG") && heights.save(qpath(altitude), "PNG"),
                "cannot write the pictures");
        tb::TerrainSet set = tb::demo::demoTerrainSet();
        for (tb::TerrainScatter& scatter : set.scatters)
            scatter.chance = kChance;
        tb::writeTerrainFile(terrains, set);

        // The map of the tile image runs: the demo world of that size.
        const std::vector<unsigned char> demo = tb::demo::generateDemoMap(variant, 1);
        tb::writeFileAtomically(map, demo.data(), demo.size());
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

tbcli::Args generateArgs(const Inputs& in) {
    return {in.terrain.string(), in.altitude.string(), in.terrains.string(), in.world.string(),
            "--statics"};
}

// Each run makes a new pair, as the first generation into a folder does.
void BM_GenerateCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(in.worldIndex);
        fs::remove(in.worldData);
        state.ResumeTiming();
        if (runQuietly(tbcli::runGenerate, generateArgs(in)) != 0)
            state.SkipWithError("tbmap generate failed");
    }
}

void BM_DecodePicturesAndWriteWorld(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    const fs::path out = in.dir / "baseline";
    fs::create_directories(out);
    for (auto _ : state) {
        const QImage terrain(qpath(in.terrain));
        const QImage altitude(qpath(in.altitude));
        benchmark::DoNotOptimize(terrain.constBits());
        benchmark::DoNotOptimize(altitude.constBits());
        tb::writeFileAtomically(out / "map0.mul", in.mapBytes.data(), in.mapBytes.size());
        tb::writeFileAtomically(out / "statics0.mul", in.dataBytes.data(), in.dataBytes.size());
        tb::writeFileAtomically(out / "staidx0.mul", in.indexBytes.data(), in.indexBytes.size());
    }
}

void BM_TileImageExportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        if (runQuietly(tbcli::runTileImage, {"export", in.map.string(), in.tilePng.string()}) != 0)
            state.SkipWithError("tbmap tileimage export failed");
}

void BM_HeightmapExportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        if (runQuietly(tbcli::runHeightmap, {"export", in.map.string(), in.heightPng.string()}) !=
            0)
            state.SkipWithError("tbmap heightmap export failed");
}

// Two imports per iteration, one of each picture, so that each changes most cells and
// writes the map.
void BM_TileImageImportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        for (const fs::path& png : {in.otherTilePng, in.tilePng})
            if (runQuietly(tbcli::runTileImage, {"import", in.map.string(), png.string()}) != 0)
                state.SkipWithError("tbmap tileimage import failed");
}

void BM_PackedTileImageImportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        for (const fs::path& png : {in.otherPackedTilePng, in.packedTilePng})
            if (runQuietly(tbcli::runTileImage, {"import", in.map.string(), png.string()}) != 0)
                state.SkipWithError("tbmap tileimage import failed");
}

void BM_HeightmapImportCommand(benchmark::State& state) {
    const Inputs& in = *g_inputs;
    for (auto _ : state)
        for (const fs::path& png : {in.otherHeightPng, in.heightPng})
            if (runQuietly(tbcli::runHeightmap, {"import", in.map.string(), png.string()}) != 0)
                state.SkipWithError("tbmap heightmap import failed");
}

BENCHMARK(BM_GenerateCommand)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(2);
BENCHMARK(BM_DecodePicturesAndWriteWorld)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Repetitions(2);
BENCHMARK(BM_TileImageExportCommand)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(2);
BENCHMARK(BM_HeightmapExportCommand)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(2);
BENCHMARK(BM_TileImageImportCommand)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(2);
BENCHMARK(BM_HeightmapImportCommand)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(2);
BENCHMARK(BM_PackedTileImageImportCommand)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Repetitions(2);

// The second picture of each kind: every altitude one step higher (lower at the top), so an
// import of it changes every cell.
void makeOtherPictures(Inputs& in) {
    require(
        runQuietly(tbcli::runTileImage, {"export", in.map.string(), in.tilePng.string()}) == 0 &&
            runQuietly(tbcli::runHeightmap, {"export", in.map.string(), in.heightPng.string()}) ==
                0,
        "cannot export the pictures");
    QImage tiles = QImage(qpath(in.tilePng)).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < tiles.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(tiles.scanLine(y));
        for (int x = 0; x < tiles.width(); ++x)
            line[x] =
                (line[x] & 0xFFFFFF00u) | ((line[x] & 0xFF) == 255 ? 254 : (line[x] & 0xFF) + 1);
    }
    // The changed tile image as the export writes one.
    {
        tb::PngRowWriter png(in.otherTilePng, tiles.width(), tiles.height(),
                             tb::PngPacking::Stored);
        png.writeRows(reinterpret_cast<const std::uint32_t*>(tiles.constBits()),
                      tiles.bytesPerLine() / 4, tiles.height());
        png.finish();
    }
    require(tiles.save(qpath(in.otherPackedTilePng), "PNG") &&
                QImage(qpath(in.tilePng)).save(qpath(in.packedTilePng), "PNG"),
            "cannot write the compressed tile images");
    QImage grey(qpath(in.heightPng));
    for (int y = 0; y < grey.height(); ++y) {
        uchar* line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            line[x] = line[x] == 255 ? 254 : uchar(line[x] + 1);
    }
    require(grey.save(qpath(in.otherHeightPng), "PNG"), "cannot write the changed heightmap");
}

} // namespace

int main(int argc, char** argv) {
    Inputs inputs;
    g_inputs = &inputs;
    makeOtherPictures(inputs);
    // The world the baseline writes, made once by the command measured.
    require(runQuietly(tbcli::runGenerate, generateArgs(inputs)) == 0, "tbmap generate failed");
    inputs.mapBytes = tb::readFileBytes(inputs.world);
    inputs.indexBytes = tb::readFileBytes(inputs.worldIndex);
    inputs.dataBytes = tb::readFileBytes(inputs.worldData);

    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n--- summary (7168 x 4096 cells, %zu items; fastest repetition) ---\n",
                inputs.dataBytes.size() / 7);
    const struct {
        const char* what;
        const char* ours;
        const char* baseline;
        double target;
    } ratios[] = {
        {"generate --statics / decode + write world", "BM_GenerateCommand",
         "BM_DecodePicturesAndWriteWorld", 4.0},
        {"tileimage export / heightmap export", "BM_TileImageExportCommand",
         "BM_HeightmapExportCommand", 2.0},
        {"tileimage import / heightmap import", "BM_TileImageImportCommand",
         "BM_HeightmapImportCommand", 2.0},
        {"tileimage import of compressed pictures / heightmap import",
         "BM_PackedTileImageImportCommand", "BM_HeightmapImportCommand", 0},
    };
    for (const auto& r : ratios) {
        if (!reporter.ran(r.ours) || !reporter.ran(r.baseline))
            continue;
        char target[32] = "for information";
        if (r.target > 0)
            std::snprintf(target, sizeof target, "target <= %.1f", r.target);
        std::printf("%-58s cpu %.2f (%.1f / %.1f ms), wall %.2f (%.1f / %.1f ms) (%s)\n", r.what,
                    reporter.fastestCpuRatio(r.ours, r.baseline),
                    reporter.fastestCpuSeconds(r.ours) * 1e3,
                    reporter.fastestCpuSeconds(r.baseline) * 1e3,
                    reporter.fastestWallRatio(r.ours, r.baseline),
                    reporter.fastestWallSeconds(r.ours) * 1e3,
                    reporter.fastestWallSeconds(r.baseline) * 1e3, target);
    }
    return 0;
}
