// The map view's full repaint against filling the same 1920 x 1080 image with one colour,
// against decoding every cell's picture anew, and with the statics shown (as markers, or
// as item pictures at cell size 45, on the same view or on a new one each time) against
// without them. Prints the ratios at the end.

#include "app/shell/DrawGrid.h"
#include "render/MapCellPainter.h"

#include "core/ArtFiles.h"
#include "core/ItemArt.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/StaticRadarColours.h"
#include "core/StaticsMap.h"

#include "BenchRuns.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kLandTiles = 300;     // ids 0..299 have land art
constexpr int kTexturedTiles = 100; // ids 0..99 also have a texture (64 or 128 pixels)

void putU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

tb::ArtFiles makeArt() {
    tb::ArtFiles art;
    std::mt19937 random(7);
    for (int id = 0; id < kLandTiles; ++id) {
        putU32(art.artIndex, std::uint32_t(art.artData.size()));
        putU32(art.artIndex, 2048);
        putU32(art.artIndex, 0);
        for (int i = 0; i < 1024; ++i) {
            const auto pixel = std::uint16_t(random() & 0x7FFF);
            art.artData.push_back(static_cast<unsigned char>(pixel));
            art.artData.push_back(static_cast<unsigned char>(pixel >> 8));
        }
    }
    // Item pictures: 32 shapes of trees, walls and barrels, 20 to 44 pixels wide and up to
    // 80 high, transparent around the shape; every static id uses one of them.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> shapes; // offset, length
    for (int n = 0; n < 32; ++n) {
        tb::ItemImage item;
        item.width = 20 + (n * 3) % 25;
        item.height = 20 + (n * 7) % 61;
        item.pixels.assign(std::size_t(item.width * item.height), 0);
        for (int y = 0; y < item.height; ++y)
            for (int x = 0; x < item.width; ++x)
                if (std::abs(2 * x - item.width) * item.height <= (y + 1) * item.width)
                    item.pixels[std::size_t(y * item.width + x)] =
                        std::uint16_t((random() & 0x7FFF) | tb::ItemImage::kOpaque);
        const std::vector<unsigned char> bytes = tb::encodeItemArt(item);
        shapes.emplace_back(std::uint32_t(art.artData.size()), std::uint32_t(bytes.size()));
        art.artData.insert(art.artData.end(), bytes.begin(), bytes.end());
    }
    art.artIndex.resize(0x4000 * 12, 0xFF);
    for (int id = 0; id < 0x4000; ++id) {
        const auto& [offset, length] = shapes[std::size_t(id) % shapes.size()];
        putU32(art.artIndex, offset);
        putU32(art.artIndex, length);
        putU32(art.artIndex, 0);
    }
    for (int id = 0; id < kTexturedTiles; ++id) {
        const int side = id % 2 == 0 ? 64 : 128;
        putU32(art.textureIndex, std::uint32_t(art.textureData.size()));
        putU32(art.textureIndex, std::uint32_t(side * side * 2));
        putU32(art.textureIndex, 0);
        for (int i = 0; i < side * side; ++i) {
            const auto pixel = std::uint16_t(random() & 0x7FFF);
            art.textureData.push_back(static_cast<unsigned char>(pixel));
            art.textureData.push_back(static_cast<unsigned char>(pixel >> 8));
        }
    }
    return art;
}

// A Felucca-sized map whose cells use the art's tiles at random (and a few without art).
tb::MapImage makeMap() {
    tb::MapVariant variant{};
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.size() == tb::MapSize{6144, 4096}) {
            variant = v;
            break;
        }
    tb::MapImage map(std::vector<unsigned char>(std::size_t(variant.addressedSize())), variant);
    std::mt19937 random(11);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            map.setCell(x, y,
                        tb::MapCell{std::uint16_t(random() % (kLandTiles + 20)),
                                    std::int8_t(random() % 100)});
    return map;
}

// Statics on about four cells in ten of the painted corner, one to three records each: far
// denser than the open land of a real facet, as thick as its towns and forests.
// `perThousand` and `most` set the density: the default is the towns' above; 68 cells in a
// thousand with one record each is the average of a 7168 x 4096 facet of 2 million records.
tb::StaticsMap makeStatics(const tb::MapImage& map, unsigned perThousand = 400, unsigned most = 3) {
    const int widthBlocks = map.width() / 8;
    const int heightBlocks = map.height() / 8;
    std::vector<unsigned char> index(std::size_t(widthBlocks) * std::size_t(heightBlocks) * 12,
                                     0xFF);
    std::vector<unsigned char> data;
    std::mt19937 random(13);
    for (int bx = 0; bx < 600 / 8; ++bx) {
        for (int by = 0; by < 400 / 8; ++by) {
            const auto offset = std::uint32_t(data.size());
            for (int cell = 0; cell < 64; ++cell) {
                if (random() % 1000 >= perThousand)
                    continue;
                for (unsigned n = 1 + random() % most; n > 0; --n) {
                    const auto id = std::uint16_t(random() % 0x4000);
                    const unsigned char record[7] = {static_cast<unsigned char>(id),
                                                     static_cast<unsigned char>(id >> 8),
                                                     static_cast<unsigned char>(cell % 8),
                                                     static_cast<unsigned char>(cell / 8),
                                                     static_cast<unsigned char>(random()),
                                                     0,
                                                     0};
                    data.insert(data.end(), record, record + 7);
                }
            }
            const std::size_t entry = (std::size_t(bx) * std::size_t(heightBlocks) + by) * 12;
            const std::uint32_t fields[2] = {offset, std::uint32_t(data.size()) - offset};
            for (int f = 0; f < 2; ++f)
                for (int i = 0; i < 4; ++i)
                    index[entry + std::size_t(f * 4 + i)] =
                        static_cast<unsigned char>(fields[f] >> (8 * i));
        }
    }
    return tb::StaticsMap(std::move(index), std::move(data), widthBlocks, heightBlocks);
}

// A radar colour file with an entry for every static id, read as the editor reads it.
tb::StaticRadarColours makeStaticColours() {
    const auto path = std::filesystem::temp_directory_path() / "tb_bench_mapview_radarcol.mul";
    {
        std::mt19937 random(17);
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < tb::StaticRadarColours::kFirstEntry + tb::StaticRadarColours::kIds;
             ++i) {
            const auto colour = std::uint16_t(random() & 0x7FFF);
            out.put(static_cast<char>(colour)).put(static_cast<char>(colour >> 8));
        }
    }
    tb::StaticRadarColours colours;
    colours.read(path);
    std::filesystem::remove(path);
    return colours;
}

struct View {
    tb::ArtFiles art = makeArt();
    tb::MapImage map = makeMap();
    tb::StaticsMap statics = makeStatics(map);
    tb::StaticsMap facetStatics = makeStatics(map, 68, 1);
    tb::StaticRadarColours staticColours = makeStaticColours();
    tbrender::MapCellPainter painter;
    tbapp::DrawGrid grid;
    QImage target{kWidth, kHeight, QImage::Format_RGB32};

    View() {
        painter.setMap(&map);
        painter.setArt(&art);
        painter.setStatics(&statics, &staticColours);
        grid.setColCount(map.width());
        grid.setRowCount(map.height());
        grid.setGridLineWidth(0);
        // The map view's own wiring: one row of cells per call.
        grid.setDrawRowHandler([this](QPainter& p, int row, int first, int last,
                                      const QRect& firstRect, int stepX, int selectedCol) {
            painter.drawRow(p, grid.paintSurface(), row, first, last, firstRect, stepX,
                            selectedCol);
        });
    }
    void setCellSize(int size) {
        grid.setDefaultColWidth(size);
        grid.setDefaultRowHeight(size);
    }
    void repaint() { grid.renderCells(target, target.rect()); }
    void showStatics(bool shown, bool itemArt = false) {
        tbrender::CellViewSwitches switches = painter.switches();
        switches.showStatics = shown;
        switches.itemArt = itemArt;
        painter.setSwitches(switches);
    }
};

View& view() {
    static View v;
    return v;
}

void BM_FillImage(benchmark::State& state) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(QColor(0, 0, 0));
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
// The ratios below take the fastest of several repetitions of each: the machine may be
// shared while they run, and one disturbed run would otherwise decide a ratio.
constexpr int kRepetitions = 5;

BENCHMARK(BM_FillImage)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

void BM_Repaint(benchmark::State& state) {
    View& v = view();
    v.painter.setCacheEnabled(true);
    v.setCellSize(int(state.range(0)));
    v.repaint(); // the pictures of this size are decoded once
    for (auto _ : state) {
        v.repaint();
        benchmark::ClobberMemory();
    }
    state.counters["cells"] =
        double((kWidth / state.range(0) + 1) * (kHeight / state.range(0) + 1));
}
BENCHMARK(BM_Repaint)->Arg(5)->Arg(45)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

void BM_RepaintWithStatics(benchmark::State& state) {
    View& v = view();
    v.painter.setCacheEnabled(true);
    v.setCellSize(int(state.range(0)));
    v.showStatics(true);
    v.repaint(); // the pictures of this size and the statics of the view are worked out once
    for (auto _ : state) {
        v.repaint();
        benchmark::ClobberMemory();
    }
    v.showStatics(false);
}
BENCHMARK(BM_RepaintWithStatics)
    ->Arg(5)
    ->Arg(45)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);

// The items' pictures, scaled into the cells, instead of the markers.
void BM_RepaintWithItemArt(benchmark::State& state) {
    View& v = view();
    v.painter.setCacheEnabled(true);
    v.setCellSize(int(state.range(0)));
    v.showStatics(true, true);
    v.repaint(); // the item pictures of this size are scaled once
    for (auto _ : state) {
        v.repaint();
        benchmark::ClobberMemory();
    }
    v.showStatics(false);
}
BENCHMARK(BM_RepaintWithItemArt)->Arg(45)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// The town case scrolled to another view every repaint, each last drawn some two hundred
// repaints before (208 views at cell size 45), far more cells with items than the pictures
// kept of them: what a scroll to new ground costs. Every view is drawn once beforehand, so
// the item pictures are scaled.
void BM_RepaintWithItemArtNewViews(benchmark::State& state) {
    View& v = view();
    v.painter.setCacheEnabled(true);
    const int size = int(state.range(0));
    v.setCellSize(size);
    v.showStatics(true, true);
    // Side by side over the 600 x 400 cells with statics.
    std::vector<std::pair<int, int>> views;
    for (int row = 0; row + kHeight / size < 400; row += kHeight / size + 1)
        for (int col = 0; col + kWidth / size < 600; col += kWidth / size + 1)
            views.emplace_back(col, row);
    auto show = [&](std::size_t n) {
        v.grid.setLeftCol(views[n % views.size()].first);
        v.grid.setTopRow(views[n % views.size()].second);
        v.repaint();
    };
    for (std::size_t n = 0; n < views.size(); ++n)
        show(n);
    if (v.grid.leftCol() != views.back().first || v.grid.topRow() != views.back().second)
        state.SkipWithError("the grid does not scroll that far");
    std::size_t next = 0;
    for (auto _ : state) {
        show(next++);
        benchmark::ClobberMemory();
    }
    v.grid.setLeftCol(0);
    v.grid.setTopRow(0);
    v.showStatics(false);
    state.counters["views"] = double(views.size());
}
BENCHMARK(BM_RepaintWithItemArtNewViews)
    ->Arg(45)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);

// The same with statics as dense as a whole facet's on average.
void BM_RepaintWithItemArtFacetDensity(benchmark::State& state) {
    View& v = view();
    v.painter.setCacheEnabled(true);
    v.painter.setStatics(&v.facetStatics, &v.staticColours);
    v.setCellSize(int(state.range(0)));
    v.showStatics(true, true);
    v.repaint();
    for (auto _ : state) {
        v.repaint();
        benchmark::ClobberMemory();
    }
    v.showStatics(false);
    v.painter.setStatics(&v.statics, &v.staticColours);
}
BENCHMARK(BM_RepaintWithItemArtFacetDensity)
    ->Arg(45)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);

void BM_RepaintDecodingEveryCell(benchmark::State& state) {
    View& v = view();
    v.painter.setCacheEnabled(false);
    v.setCellSize(int(state.range(0)));
    for (auto _ : state) {
        v.repaint();
        benchmark::ClobberMemory();
    }
    v.painter.setCacheEnabled(true);
}
BENCHMARK(BM_RepaintDecodingEveryCell)
    ->Arg(5)
    ->Arg(45)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* a, const char* b) { return reporter.fastestWallRatio(a, b); };
    std::printf("\nRatios (one run; fastest repetition of each):\n");
    std::printf("  repaint at cell size 5  / fill 1920x1080: %6.2fx  (target <= 5)\n",
                ratio("BM_Repaint/5", "BM_FillImage"));
    std::printf("  repaint at cell size 45 / fill 1920x1080: %6.2fx  (target <= 3)\n",
                ratio("BM_Repaint/45", "BM_FillImage"));
    std::printf("  statics shown / not shown, size 5:  %6.2fx  (target <= 1.5)\n",
                ratio("BM_RepaintWithStatics/5", "BM_Repaint/5"));
    // The same by CPU time, which leaves out the waits for a core on a busy machine.
    std::printf("  statics shown / not shown, size 5, CPU time: %6.2fx\n",
                reporter.fastestCpuRatio("BM_RepaintWithStatics/5", "BM_Repaint/5"));
    std::printf("  statics shown / not shown, size 45: %6.2fx\n",
                ratio("BM_RepaintWithStatics/45", "BM_Repaint/45"));
    std::printf("  item art shown / no statics, size 45, town density:  %6.2fx  (target <= 2)\n",
                ratio("BM_RepaintWithItemArt/45", "BM_Repaint/45"));
    std::printf("  item art shown / no statics, size 45, facet density: %6.2fx  (target <= 2)\n",
                ratio("BM_RepaintWithItemArtFacetDensity/45", "BM_Repaint/45"));
    std::printf("  item art shown / no statics, size 45, town density, CPU time: %6.2fx\n",
                reporter.fastestCpuRatio("BM_RepaintWithItemArt/45", "BM_Repaint/45"));
    std::printf("  item art shown / no statics, size 45, town density, new views: %6.2fx\n",
                ratio("BM_RepaintWithItemArtNewViews/45", "BM_Repaint/45"));
    std::printf("  decoding every cell / kept pictures, size 5:  %6.1fx faster  (target >= 20)\n",
                ratio("BM_RepaintDecodingEveryCell/5", "BM_Repaint/5"));
    std::printf("  decoding every cell / kept pictures, size 45: %6.1fx faster\n",
                ratio("BM_RepaintDecodingEveryCell/45", "BM_Repaint/45"));
    benchmark::Shutdown();
    return 0;
}
