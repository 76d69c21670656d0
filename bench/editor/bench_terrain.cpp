// The Terrain tool against Paint, and Fix edges against reading and writing the map file,
// on 7168 x 4096 maps with the demo's terrains and art.
//
// Prints:
// - a Terrain stroke of brush size 16 (sand dragged across grass, 40 selection events, each
//   followed by the repaint of the cells it changed at the view's cell size of 45 pixels)
//   against a Paint stroke of the same 16 x 16 squares with their repaint (target <= 2);
//   the same two without the repaint, for how much the corners themselves cost;
// - a single click of each, where every cell under the brush (and for the Terrain tool,
//   of the ring) changes (target <= 2);
// - Fix edges over the whole map, on the demo world (its transitions in place) and on the
//   same world with every transition replaced by its first terrain's fill (as if painted
//   by hand), each against loading the map file and writing it back durably (target <= 3);
//   through a document (each changed cell recorded for undo, as the editor does over a
//   selection), planned and then written as one bulk step (as the editor does over a large
//   area) and on the map alone (as tbmap does). A world whose every grass, sand and water cell
//   holds a random tile of the three, where a quarter of all cells change and another quarter have
//   no tile, shows the cost of the worst case (no target).
#include "BenchRuns.h"

#include "catalogue/TerrainTiles.h"
#include "core/ArtFiles.h"
#include "core/MapImage.h"
#include "demo/DemoArt.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoTerrainArt.h"
#include "demo/DemoWorld.h"
#include "editor/MapDocument.h"
#include "editor/MapPainter.h"
#include "editor/TerrainEdits.h"
#include "editor/TerrainFixPlan.h"
#include "render/MapCellPainter.h"
#include "shell/SeededRandomSource.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kBrushSize = 16;
constexpr int kStrokeEvents = 40;
constexpr int kCellSize = 45;
constexpr int kViewWidth = 1920, kViewHeight = 1080;
constexpr std::int32_t kStrokeX = 3000, kStrokeY = 2000;
constexpr std::uint16_t kGrass = 0x0003, kSand = 0x0016;

tb::MapVariant bigVariant() {
    return tb::demo::demoVariant("map0.mul", {7168, 4096});
}

// The map view's part: the cells of each change drawn again into a 1920 x 1080 picture.
struct View : tb::DocumentListener {
    tb::ArtFiles art;
    tbrender::MapCellPainter painter;
    QImage target{kViewWidth, kViewHeight, QImage::Format_RGB32};
    tbrender::PixelSurface surface = tbrender::PixelSurface::of(target);
    tb::CellPoint origin{kStrokeX - 10, kStrokeY - 4};
    bool repaints = true;
    std::size_t cellsDrawn = 0;

    void cellsChanged(const tb::CellChange& change) override {
        if (!repaints || change.bounds.isEmpty())
            return;
        const tb::CellRect& r = change.bounds;
        QPainter p(&target);
        for (std::int32_t row = r.top; row <= r.bottom; ++row)
            painter.drawRow(p, &surface, row, r.left, r.right,
                            QRect((r.left - origin.x) * kCellSize, (row - origin.y) * kCellSize,
                                  kCellSize, kCellSize),
                            kCellSize, -1);
        cellsDrawn += std::size_t(r.right - r.left + 1) * std::size_t(r.bottom - r.top + 1);
    }
};

struct StrokeWorld {
    tb::MapDocument doc;
    tb::TerrainTiles tiles{tb::demo::demoTerrainSet()};
    tb::TerrainId sand = *tb::demo::demoTerrainSet().findTerrain("Sand");
    tb::SeededRandomSource random{7};
    View view;
    tb::ListenerConnection listening;

    StrokeWorld() {
        const tb::MapVariant v = bigVariant();
        tb::MapImage map(std::vector<unsigned char>(std::size_t(v.fileSize), 0), v);
        for (std::int32_t y = kStrokeY - 20; y < kStrokeY + 40; ++y)
            for (std::int32_t x = kStrokeX - 20; x < kStrokeX + kStrokeEvents + 40; ++x)
                map.setCell(x, y, {kGrass, 0});
        doc.replace(std::move(map), "map0.mul");
        tb::demo::DemoArtFiles demo = tb::demo::generateDemoArt();
        view.art.artIndex = std::move(demo.artIndex);
        view.art.artData = std::move(demo.artData);
        view.art.textureIndex = std::move(demo.textureIndex);
        view.art.textureData = std::move(demo.textureData);
        view.painter.setMap(&doc.image());
        view.painter.setArt(&view.art);
        listening = doc.connect(&view);
    }
};

StrokeWorld& strokeWorld() {
    static StrokeWorld w;
    return w;
}

// One drag: an operation of the document per selection event, each repainted.
template <typename Event> void drag(benchmark::State& state, bool repaint, Event&& event) {
    StrokeWorld& w = strokeWorld();
    w.view.repaints = repaint;
    w.view.cellsDrawn = 0;
    for (auto _ : state) {
        w.doc.beginStroke();
        for (int k = 0; k < kStrokeEvents; ++k) {
            tb::MapDocument::Edit edit(w.doc);
            event(edit, kStrokeX + k, kStrokeY);
        }
        w.doc.endStroke();
        state.PauseTiming();
        w.doc.undoStroke();
        state.ResumeTiming();
    }
    state.counters["drawn"] = double(w.view.cellsDrawn) / double(state.iterations());
}

void paintEvent(tb::MapDocument::Edit& edit, std::int32_t x, std::int32_t y) {
    static tb::EditorState s = [] {
        tb::EditorState state;
        state.drawMode = tb::DrawMode::SelectedTile;
        state.paletteTile = kSand;
        return state;
    }();
    const tb::AltitudeSettings altitude;
    for (int j = 0; j < kBrushSize; ++j)
        for (int i = 0; i < kBrushSize; ++i)
            tb::paintCell(edit, x + i, y + j, s, altitude, strokeWorld().random);
}

void terrainEvent(tb::MapDocument::Edit& edit, std::int32_t x, std::int32_t y) {
    StrokeWorld& w = strokeWorld();
    const tb::TerrainEditResult r =
        tb::paintTerrain(edit, w.tiles, w.sand, tb::paintBrushSquare(x, y, kBrushSize), w.random);
    if (!r.missing.empty())
        std::abort(); // the demo terrains have every grass-sand pattern
}

// One click on grass: every cell under the brush and of the ring changes.
template <typename Event> void click(benchmark::State& state, Event&& event) {
    StrokeWorld& w = strokeWorld();
    w.view.repaints = true;
    w.view.cellsDrawn = 0;
    for (auto _ : state) {
        w.doc.beginStroke();
        {
            tb::MapDocument::Edit edit(w.doc);
            event(edit, kStrokeX, kStrokeY);
        }
        w.doc.endStroke();
        state.PauseTiming();
        w.doc.undoStroke();
        state.ResumeTiming();
    }
    state.counters["drawn"] = double(w.view.cellsDrawn) / double(state.iterations());
}

void BM_PaintClick16(benchmark::State& state) {
    click(state, paintEvent);
}
void BM_TerrainClick16(benchmark::State& state) {
    click(state, terrainEvent);
}
void BM_PaintStroke16(benchmark::State& state) {
    drag(state, true, paintEvent);
}
void BM_TerrainStroke16(benchmark::State& state) {
    drag(state, true, terrainEvent);
}
void BM_PaintStroke16NoRepaint(benchmark::State& state) {
    drag(state, false, paintEvent);
}
void BM_TerrainStroke16NoRepaint(benchmark::State& state) {
    drag(state, false, terrainEvent);
}

// The demo world at 7168 x 4096, on disk and in memory, with and without its transitions.
struct FixWorld {
    fs::path dir = fs::temp_directory_path() / ("tb-bench-terrain-" + std::to_string(::getpid()));
    fs::path file = dir / "map0.mul";
    tb::MapImage demo;
    tb::MapImage filled;    // the transitions replaced by fills
    tb::MapImage scrambled; // every grass, sand and water cell a random tile of the three
    tb::TerrainTiles tiles{tb::demo::demoTerrainSet()};

    FixWorld() {
        const tb::MapVariant v = bigVariant();
        demo = tb::MapImage(tb::demo::generateDemoMap(v, 1), v);
        filled = demo;
        for (std::int32_t y = 0; y < v.height; ++y)
            for (std::int32_t x = 0; x < v.width; ++x) {
                const tb::MapCell c = filled.cellUnchecked(x, y);
                if (const tb::demo::DemoTransition* t = tb::demo::demoTransition(c.tileId))
                    filled.setCellUnchecked(
                        x, y, {tb::demo::tileFamily(t->from).ids.front(), c.altitude});
            }
        scrambled = demo;
        const std::vector<std::uint16_t> ids = [] {
            std::vector<std::uint16_t> all;
            for (const tb::TerrainTile& t : tb::demo::demoTerrainSet().tiles)
                all.push_back(t.id);
            return all;
        }();
        const tb::TerrainTiles known(tb::demo::demoTerrainSet());
        std::uint32_t seed = 2463534242u;
        for (std::int32_t y = 0; y < v.height; ++y)
            for (std::int32_t x = 0; x < v.width; ++x) {
                const tb::MapCell c = scrambled.cellUnchecked(x, y);
                if (!known.knows(c.tileId))
                    continue;
                seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
                scrambled.setCellUnchecked(x, y, {ids[seed % ids.size()], c.altitude});
            }
        fs::create_directories(dir);
        demo.save(file);
    }
    ~FixWorld() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

FixWorld& fixWorld() {
    static FixWorld w;
    return w;
}

void BM_LoadAndSaveMap(benchmark::State& state) {
    FixWorld& w = fixWorld();
    for (auto _ : state) {
        tb::MapImage map = tb::MapImage::load(w.file);
        map.save(w.file);
    }
}

void fixOnMap(benchmark::State& state, const tb::MapImage& source) {
    FixWorld& w = fixWorld();
    std::size_t changed = 0, missing = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tb::MapImage map = source;
        tb::SeededRandomSource random(1);
        state.ResumeTiming();
        const tb::TerrainEditResult r =
            tb::fixTerrainEdges(map, w.tiles, tb::wholeMap(map), random);
        changed = r.changed;
        missing = r.missing.size();
    }
    state.counters["changed"] = double(changed);
    state.counters["missing"] = double(missing);
}

void fixInDocument(benchmark::State& state, const tb::MapImage& source) {
    FixWorld& w = fixWorld();
    std::size_t changed = 0;
    std::optional<tb::MapDocument> doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.emplace(source, "map0.mul");
        tb::SeededRandomSource random(1);
        state.ResumeTiming();
        {
            // One step of its own, as the Fill tool's rectangle.
            tb::MapDocument::Edit edit(*doc);
            edit.startStroke();
            changed =
                tb::fixTerrainEdges(edit, w.tiles, tb::wholeMap(doc->image()), random).changed;
            edit.startStroke();
        }
        state.PauseTiming();
        doc.reset(); // freed untimed
        state.ResumeTiming();
    }
    state.counters["changed"] = double(changed);
}

// As the editor runs Fix edges over a large area: planned beside it (a job), then written
// into the document as one bulk step.
void fixPlanned(benchmark::State& state, const tb::MapImage& source) {
    FixWorld& w = fixWorld();
    std::size_t changed = 0;
    std::optional<tb::MapDocument> doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.emplace(source, "map0.mul");
        tb::SeededRandomSource random(1);
        state.ResumeTiming();
        const tb::TerrainFixPlan plan =
            tb::planTerrainFix(doc->image(), w.tiles, tb::wholeMap(doc->image()), random);
        tb::writeTerrainFix(*doc, plan);
        changed = plan.result.changed;
        state.PauseTiming();
        doc.reset(); // freed untimed
        state.ResumeTiming();
    }
    state.counters["changed"] = double(changed);
}

void BM_FixEdgesDemoWorld(benchmark::State& state) {
    fixOnMap(state, fixWorld().demo);
}
void BM_FixEdgesFilledWorld(benchmark::State& state) {
    fixOnMap(state, fixWorld().filled);
}
void BM_FixEdgesScrambledWorld(benchmark::State& state) {
    fixOnMap(state, fixWorld().scrambled);
}
void BM_FixEdgesScrambledWorldInDocument(benchmark::State& state) {
    fixInDocument(state, fixWorld().scrambled);
}
void BM_FixEdgesDemoWorldInDocument(benchmark::State& state) {
    fixInDocument(state, fixWorld().demo);
}
void BM_FixEdgesFilledWorldInDocument(benchmark::State& state) {
    fixInDocument(state, fixWorld().filled);
}
void BM_FixEdgesDemoWorldPlanned(benchmark::State& state) {
    fixPlanned(state, fixWorld().demo);
}
void BM_FixEdgesFilledWorldPlanned(benchmark::State& state) {
    fixPlanned(state, fixWorld().filled);
}

constexpr int kRepetitions = 3;

} // namespace

BENCHMARK(BM_PaintClick16)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions);
BENCHMARK(BM_TerrainClick16)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions);
BENCHMARK(BM_PaintStroke16)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_TerrainStroke16)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_PaintStroke16NoRepaint)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_TerrainStroke16NoRepaint)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_LoadAndSaveMap)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesDemoWorld)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesFilledWorld)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesScrambledWorld)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesDemoWorldInDocument)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesFilledWorldInDocument)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesDemoWorldPlanned)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesFilledWorldPlanned)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_FixEdgesScrambledWorldInDocument)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kRepetitions);

int main(int argc, char** argv) {
    // The cell painter needs Qt's Gui; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    auto verdict = [](double ratio, double target) {
        return ratio < 0 ? "not run" : ratio <= target ? "ok" : "MISSED";
    };
    std::printf("\nRatios (fastest of %d repetitions; wall time, CPU time in brackets)\n",
                kRepetitions);
    auto line = [&](const char* what, const std::string& a, const std::string& b, double target) {
        const double wall = runs.fastestWallRatio(a, b);
        const double cpu = runs.fastestCpuRatio(a, b);
        if (target > 0)
            std::printf("  %-58s %6.2fx (%5.2fx)  target <= %.0f: %s\n", what, wall, cpu, target,
                        verdict(wall, target));
        else
            std::printf("  %-58s %6.2fx (%5.2fx)\n", what, wall, cpu);
    };
    line("Terrain stroke 16 / Paint stroke 16, with the repaint", "BM_TerrainStroke16",
         "BM_PaintStroke16", 2);
    line("Terrain click 16 / Paint click 16, with the repaint", "BM_TerrainClick16",
         "BM_PaintClick16", 2);
    line("Terrain stroke 16 / Paint stroke 16, without it", "BM_TerrainStroke16NoRepaint",
         "BM_PaintStroke16NoRepaint", 0);
    line("Fix edges, demo world / load and durable save", "BM_FixEdgesDemoWorld",
         "BM_LoadAndSaveMap", 3);
    line("Fix edges, world of fills / load and durable save", "BM_FixEdgesFilledWorld",
         "BM_LoadAndSaveMap", 3);
    line("Fix edges, scrambled world / load and durable save", "BM_FixEdgesScrambledWorld",
         "BM_LoadAndSaveMap", 0);
    line("Fix edges in a document, demo world / load and save", "BM_FixEdgesDemoWorldInDocument",
         "BM_LoadAndSaveMap", 3);
    line("Fix edges in a document, world of fills / load and save",
         "BM_FixEdgesFilledWorldInDocument", "BM_LoadAndSaveMap", 3);
    line("Fix edges planned, then written, demo world / load and save",
         "BM_FixEdgesDemoWorldPlanned", "BM_LoadAndSaveMap", 3);
    line("Fix edges planned, then written, world of fills / load and save",
         "BM_FixEdgesFilledWorldPlanned", "BM_LoadAndSaveMap", 3);
    line("Fix edges in a document, scrambled world / load and save",
         "BM_FixEdgesScrambledWorldInDocument", "BM_LoadAndSaveMap", 0);
    return 0;
}
