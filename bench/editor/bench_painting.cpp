// Painting, undo, redo and the overview on a 7168 x 4096 map held in a map document, driven
// through the painter as the main window drives it (one selectCell per selection event).
//
// Prints:
// - the time of a Paint stroke of brush size 9 dragged across 100 cells, of a 500 x 500
//   Fill (250,000 cells, each recorded for undo), of 250,000 undos and of 250,000 redos
//   (target: each < 1 s);
// - the same stroke with "Add random altitude" on against the plain one: the extra time
//   per cell should be the random draw alone, as the painting state holds the range as a
//   number and no cell reads text;
// - the time per painted (and per undone) cell with 10,000 and with 1,000,000 undo rows
//   already in the list, and their ratio (target: about 1);
// - building the 896 x 512 overview against reading its 458,752 sampled cells in a plain
//   loop (target: ratio <= 3).
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/RadarColours.h"
#include "editor/EngineRandomSource.h"
#include "editor/MapDocument.h"
#include "editor/MapPainter.h"
#include "editor/Overview.h"

#include <benchmark/benchmark.h>
#include <random>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kMapSize = 89'915'392; // 7168 x 4096
constexpr int kStrokeCells = 100;
constexpr int kBrushSize = 9;
constexpr int kFillSide = 500;
constexpr int kStrokeIterations = 20;
constexpr int kFillIterations = 5;
constexpr int kUndoIterations = 5;
constexpr int kPerCellIterations = 300;
constexpr int kOverviewIterations = 30;

struct World {
    tb::MapDocument doc;
    tb::RadarColours radar;
    std::mt19937 engine{12345};
    tb::EngineRandomSource random{engine};

    World() {
        tb::MapImage map(std::vector<unsigned char>(std::size_t(kMapSize), 0),
                         tb::identifyMapVariant("map0.mul", kMapSize));
        if (!map.hasGeometry() || map.width() != 7168 || map.height() != 4096) {
            std::fprintf(stderr, "map0.mul of %lld bytes was not identified as 7168x4096\n",
                         (long long)kMapSize);
            std::exit(1);
        }
        // Varied tiles at the sampled cells, so the overview's colour lookups are not all
        // the same entry.
        std::uint32_t seed = 2463534242u;
        for (int bx = 0; bx < map.width() / 8; ++bx)
            for (int by = 0; by < map.height() / 8; ++by) {
                seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
                map.setCell(bx * 8 + 1, by * 8 + 1,
                            {std::uint16_t(seed % 16383), std::int8_t(seed >> 24)});
            }
        // A radar colour file with a colour for every tile.
        const fs::path file =
            fs::temp_directory_path() / ("tb-bench-radarcol-" + std::to_string(::getpid()));
        {
            std::ofstream out(file, std::ios::binary);
            for (int id = 0; id < 32768; ++id) {
                const std::uint16_t word = std::uint16_t(std::uint32_t(id + 1) * 2654435761u >> 9);
                out.put(char(word & 0xFF)).put(char(word >> 8));
            }
        }
        radar.read(file);
        fs::remove(file);
        // The painting benchmarks change the map through its document, as the window does.
        doc.replace(std::move(map), "map0.mul");
    }
    const tb::MapImage& image() const { return doc.image(); }
};

World& world() {
    static World w;
    return w;
}

// The settings of a Paint stroke: the palette tile, altitude raised by 1, brush `size`.
tb::EditorState paintState(int size) {
    tb::EditorState state;
    state.tool = tb::PaintTool::Paint;
    state.drawMode = tb::DrawMode::SelectedTile;
    state.paletteTile = 3;
    state.altitudeMode = tb::AltitudeMode::AddZ;
    state.z = 1;
    state.brushSize = size;
    return state;
}

tb::MapDocument& doc() {
    return world().doc;
}

// A drag across `cells` cells to the right from (x, y): one selection event per cell. The
// rows it recorded.
std::size_t stroke(tb::MapPainter& painter, const tb::EditorState& s, int x, int y, int cells) {
    const std::size_t before = doc().undoList().size();
    doc().beginStroke();
    for (int k = 0; k < cells; ++k)
        painter.selectCell(&doc(), s, x + k, y);
    doc().endStroke();
    return doc().undoList().size() - before;
}

// A Fill from (x, y) to (x + side - 1, y + side - 1): the two clicks of the Fill tool. The
// rows it recorded.
std::size_t fill(tb::MapPainter& painter, int x, int y, int side) {
    tb::EditorState s = paintState(1);
    s.tool = tb::PaintTool::Fill;
    const std::size_t before = doc().undoList().size();
    painter.selectCell(&doc(), s, x, y);
    painter.selectCell(&doc(), s, x + side - 1, y + side - 1);
    return doc().undoList().size() - before;
}

// Rows recorded for `count` cells spread over the map, untimed set-up of a long list.
void recordRows(std::int64_t count) {
    tb::MapDocument::Edit edit(doc());
    for (std::int64_t k = 0; k < count; ++k)
        edit.recordUndo(std::int32_t(k % 7168), std::int32_t(k / 7168 % 4096));
}

// Takes back every row (untimed clean-up between benchmarks).
void undoAll() {
    while (doc().undoStroke()) {
    }
}

void BM_PaintStroke9x100(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    const tb::EditorState s = paintState(kBrushSize);
    std::size_t cells = 0;
    for (auto _ : state) {
        cells = stroke(painter, s, 3000, 2000, kStrokeCells);
        state.PauseTiming();
        doc().undoStroke();
        state.ResumeTiming();
    }
    if (cells != std::size_t(kStrokeCells) * kBrushSize * kBrushSize)
        state.SkipWithError("the stroke changed an unexpected number of cells");
    state.counters["cells"] = double(cells);
}

// The same stroke with "Add random altitude" on: every cell draws its offset from the range.
void BM_PaintStrokeRandom9x100(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    tb::EditorState s = paintState(kBrushSize);
    s.addRandomAltitude = true;
    s.randomRange = 3;
    std::size_t cells = 0;
    for (auto _ : state) {
        cells = stroke(painter, s, 3000, 2000, kStrokeCells);
        state.PauseTiming();
        doc().undoStroke();
        state.ResumeTiming();
    }
    if (cells != std::size_t(kStrokeCells) * kBrushSize * kBrushSize)
        state.SkipWithError("the stroke changed an unexpected number of cells");
    state.counters["cells"] = double(cells);
}

void BM_Fill500x500(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = fill(painter, 100, 100, kFillSide);
        state.PauseTiming();
        doc().undoStroke();
        state.ResumeTiming();
    }
    if (rows != std::size_t(kFillSide) * kFillSide)
        state.SkipWithError("the fill recorded an unexpected number of cells");
    state.counters["cells"] = double(rows);
}

void BM_Undo250000(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    bool allUndone = true;
    for (auto _ : state) {
        state.PauseTiming();
        const tb::MapCell before = doc().cell(700, 700);
        fill(painter, 600, 600, kFillSide);
        state.ResumeTiming();
        for (int k = 0; k < kFillSide * kFillSide; ++k)
            benchmark::DoNotOptimize(doc().undo());
        allUndone = allUndone && doc().undoList().empty() && doc().cell(700, 700) == before;
    }
    if (!allUndone)
        state.SkipWithError("the undos did not restore the map");
}

void BM_Redo250000(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    bool allRedone = true;
    for (auto _ : state) {
        state.PauseTiming();
        fill(painter, 600, 600, kFillSide);
        const tb::MapCell after = doc().cell(700, 700);
        doc().undoStroke();
        state.ResumeTiming();
        for (int k = 0; k < kFillSide * kFillSide; ++k)
            benchmark::DoNotOptimize(doc().redo());
        allRedone = allRedone && !doc().undoList().canRedo() &&
                    doc().undoList().size() == std::size_t(kFillSide) * kFillSide &&
                    doc().cell(700, 700) == after;
        state.PauseTiming();
        doc().undoStroke();
        state.ResumeTiming();
    }
    if (!allRedone)
        state.SkipWithError("the redos did not bring the fill back");
}

// The undo list holds state.range(0) rows before each stroke; the stroke's rows are taken
// back (untimed) after it, so every stroke meets the same list size.
void BM_PaintPerCell(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    const tb::EditorState s = paintState(kBrushSize);
    recordRows(state.range(0));
    std::size_t cells = 0;
    for (auto _ : state) {
        cells = stroke(painter, s, 5000, 3000, kStrokeCells);
        state.PauseTiming();
        for (std::size_t k = 0; k < cells; ++k)
            doc().undo();
        state.ResumeTiming();
    }
    if (doc().undoList().size() != std::size_t(state.range(0)))
        state.SkipWithError("the list did not return to its size");
    state.counters["cells"] = double(cells);
    undoAll();
}

// The same list sizes for undo: each stroke is painted untimed, then taken back timed.
void BM_UndoPerCell(benchmark::State& state) {
    tb::MapPainter painter(world().random);
    const tb::EditorState s = paintState(kBrushSize);
    recordRows(state.range(0));
    std::size_t cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        cells = stroke(painter, s, 5000, 3000, kStrokeCells);
        state.ResumeTiming();
        for (std::size_t k = 0; k < cells; ++k)
            benchmark::DoNotOptimize(doc().undo());
    }
    state.counters["cells"] = double(cells);
    undoAll();
}

void BM_BuildOverview(benchmark::State& state) {
    for (auto _ : state) {
        const tb::OverviewImage image = tb::buildOverview(world().image(), world().radar);
        benchmark::DoNotOptimize(image.rgb.data());
    }
}

// The floor: the 3 bytes of cell (1, 1) of every block, read straight from the buffer.
void BM_ReadSampledCells(benchmark::State& state) {
    const tb::MapImage& map = world().image();
    const unsigned char* bytes = map.bytes().data();
    const int widthBlocks = map.width() / 8;
    const int heightBlocks = map.height() / 8;
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int i = 0; i < widthBlocks; ++i)
            for (int j = 0; j < heightBlocks; ++j) {
                const unsigned char* p =
                    bytes + (std::size_t(i) * std::size_t(heightBlocks) + std::size_t(j)) * 196 +
                    31;
                sum += std::uint32_t(p[0] | (p[1] << 8)) + p[2];
            }
        benchmark::DoNotOptimize(sum);
    }
}

double minimum(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

// Every benchmark runs kRepetitions times; the summary takes the fastest repetition, the
// one least disturbed by other work on the machine.
constexpr int kRepetitions = 5;

void repeated(benchmark::internal::Benchmark* b) {
    b->Repetitions(kRepetitions)->ComputeStatistics("min", minimum)->DisplayAggregatesOnly();
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = -1.0; // per iteration, in the run's unit
        double cpu = -1.0;
        double cells = 0.0; // cells per iteration
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min" && !r.error_occurred) {
                const std::string name = r.run_name.function_name +
                                         (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
                Times& t = times[name];
                t.real = r.GetAdjustedRealTime();
                t.cpu = r.GetAdjustedCPUTime();
                if (auto it = r.counters.find("cells"); it != r.counters.end())
                    t.cells = it->second.value;
            }
        ConsoleReporter::ReportRuns(runs);
    }
    Times get(const std::string& name) const {
        const auto it = times.find(name);
        return it == times.end() ? Times{} : it->second;
    }
    std::map<std::string, Times> times;
};

} // namespace

BENCHMARK(BM_PaintStroke9x100)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kStrokeIterations);
BENCHMARK(BM_PaintStrokeRandom9x100)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kStrokeIterations);
BENCHMARK(BM_Fill500x500)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kFillIterations);
BENCHMARK(BM_Undo250000)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kUndoIterations);
BENCHMARK(BM_Redo250000)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kUndoIterations);
BENCHMARK(BM_PaintPerCell)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Apply(repeated)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kPerCellIterations);
BENCHMARK(BM_UndoPerCell)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Apply(repeated)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kPerCellIterations);
BENCHMARK(BM_BuildOverview)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kOverviewIterations);
BENCHMARK(BM_ReadSampledCells)
    ->Apply(repeated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kOverviewIterations);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    world();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto verdict = [](bool ok) { return ok ? "ok" : "MISSED"; };

    std::printf("\nSummary (fastest of %d repetitions; real time, CPU time in brackets)\n",
                kRepetitions);
    for (const auto& [name, what] :
         {std::pair<std::string, const char*>{"BM_PaintStroke9x100",
                                              "Paint stroke, brush 9, across 100 cells"},
          {"BM_Fill500x500", "Fill 500 x 500 (250,000 cells recorded)"},
          {"BM_Undo250000", "250,000 undos"},
          {"BM_Redo250000", "250,000 redos"}}) {
        const RatioReporter::Times t = reporter.get(name);
        std::printf("%-40s %8.2f ms (%8.2f ms)  target < 1000 ms: %s\n", what, t.real, t.cpu,
                    verdict(t.real >= 0 && t.real < 1000.0));
    }
    const RatioReporter::Times plainStroke = reporter.get("BM_PaintStroke9x100");
    const RatioReporter::Times randomStroke = reporter.get("BM_PaintStrokeRandom9x100");
    const double strokeCells = double(kStrokeCells) * kBrushSize * kBrushSize;
    std::printf("Paint stroke with random altitude: %.2f ms (%.2f ms), %.1f ns more per cell "
                "than without; ratio %.2f (%.2f)\n",
                randomStroke.real, randomStroke.cpu,
                (randomStroke.cpu - plainStroke.cpu) * 1e6 / strokeCells,
                randomStroke.real / plainStroke.real, randomStroke.cpu / plainStroke.cpu);
    for (const char* kind : {"Paint", "Undo"}) {
        const RatioReporter::Times small =
            reporter.get(std::string("BM_") + kind + "PerCell/10000");
        const RatioReporter::Times large =
            reporter.get(std::string("BM_") + kind + "PerCell/1000000");
        auto ns = [](double us, double cells) { return cells > 0 ? us * 1000.0 / cells : -1.0; };
        std::printf("%-5s per cell: %.1f ns (%.1f) with 10,000 rows, %.1f ns (%.1f) with "
                    "1,000,000 rows; ratio %.2f (%.2f), target ~1\n",
                    kind, ns(small.real, small.cells), ns(small.cpu, small.cells),
                    ns(large.real, large.cells), ns(large.cpu, large.cells),
                    large.real / small.real, large.cpu / small.cpu);
    }
    const RatioReporter::Times overview = reporter.get("BM_BuildOverview");
    const RatioReporter::Times plain = reporter.get("BM_ReadSampledCells");
    std::printf("overview 896 x 512 / reading the 458,752 sampled cells: %.2f ms / %.2f ms = "
                "%.2f (%.2f)  target <= 3: %s\n",
                overview.real, plain.real, overview.real / plain.real, overview.cpu / plain.cpu,
                verdict(overview.real / plain.real <= 3.0));
    benchmark::Shutdown();
    return 0;
}
