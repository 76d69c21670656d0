// The isometric painter on a 7168 x 4096 map of rolling land (about 30% of its cells sloped)
// with 2 million item records, at town density (40% of cells with 1 to 3 items) in one
// corner, each against what it is measured by, in one run:
//   a full 1920 x 1080 frame of the town at 100%  / the same sprites drawn with QPainter
//                                                   (decoded, at the same places, in the
//                                                   same order, no sorting or picking) <= 1.5
//   a scroll by one cell (the old frame copied, the two strips it lacks drawn)
//                                                 / a full frame                       <= 0.3
//   the first frame after Load (a new painter)    / the top-down view's first frame
//                                                   (a new MapCellPainter, item art at
//                                                   cell size 45)                      <= 1.2
// Prints the ratios at the end, from the fastest of several repetitions of each.

#include "render/IsoPainter.h"
#include "render/MapCellPainter.h"
#include "render/PixelSurface.h"

#include "core/ArtFiles.h"
#include "core/HueFile.h"
#include "core/ItemArt.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/StaticsMap.h"
#include "core/TileData.h"
#include "iso/LandSurface.h"

#include "BenchRuns.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kTiles = 100;         // land ids 0..99: land art and a texture each
constexpr int kTown = 512;          // cells 0..511 by 0..511 at town density
constexpr int kRecords = 2'000'000; // in all
constexpr int kRepetitions = 5;

void putU16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}
void putU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Land art and textures for ids 0..99, and 32 item shapes (20 to 44 pixels wide, up to 80
// high, transparent around the shape) that the 0x4000 item ids share.
tb::ArtFiles makeArt() {
    tb::ArtFiles art;
    std::mt19937 random(7);
    for (int id = 0; id < kTiles; ++id) {
        putU32(art.artIndex, std::uint32_t(art.artData.size()));
        putU32(art.artIndex, 2048);
        putU32(art.artIndex, 0);
        for (int i = 0; i < 1024; ++i)
            putU16(art.artData, std::uint16_t(random() & 0x7FFF));
    }
    art.artIndex.resize(0x4000 * 12, 0xFF);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> shapes;
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
    for (int id = 0; id < 0x4000; ++id) {
        const auto& [offset, length] = shapes[std::size_t(id) % shapes.size()];
        putU32(art.artIndex, offset);
        putU32(art.artIndex, length);
        putU32(art.artIndex, 0);
    }
    for (int id = 0; id < kTiles; ++id) {
        const int side = id % 2 == 0 ? 64 : 128;
        putU32(art.textureIndex, std::uint32_t(art.textureData.size()));
        putU32(art.textureIndex, std::uint32_t(side * side * 2));
        putU32(art.textureIndex, 0);
        for (int i = 0; i < side * side; ++i)
            putU16(art.textureData, std::uint16_t(random() & 0x7FFF));
    }
    return art;
}

// Tiledata naming each land tile's texture; items with heights, a fifth Background.
tb::TileData makeTileData() {
    constexpr std::size_t kLandGroup = 4 + 32 * 30, kItemGroup = 4 + 32 * 41;
    std::vector<unsigned char> bytes(512 * kLandGroup + 512 * kItemGroup, 0);
    for (int id = 0; id < kTiles; ++id) {
        unsigned char* e = bytes.data() + (id / 32) * kLandGroup + 4 + (id % 32) * 30;
        e[8] = static_cast<unsigned char>(id);
    }
    std::mt19937 random(3);
    for (int id = 0; id < 0x4000; ++id) {
        unsigned char* e =
            bytes.data() + 512 * kLandGroup + (id / 32) * kItemGroup + 4 + (id % 32) * 41;
        e[0] = random() % 5 == 0 ? 1 : 0;
        e[20] = static_cast<unsigned char>(random() % 3 == 0 ? 0 : random() % 20);
    }
    return tb::TileData::fromBytes(bytes, "tiledata.mul");
}

tb::HueFile makeHues() {
    std::vector<unsigned char> bytes(375 * 708);
    std::mt19937 random(5);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(random());
    return tb::HueFile::fromBytes(bytes, "hues.mul");
}

// Rolling land: altitudes from a coarse random grid, bilinear between its points, in steps
// of two; about 30% of the cells lie near a step and are drawn sloped.
tb::MapImage makeMap() {
    const tb::MapVariant* variant = nullptr;
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.size() == tb::MapSize{7168, 4096} && !variant)
            variant = &v;
    tb::MapImage map(std::vector<unsigned char>(std::size_t(variant->fileSize)), *variant);
    constexpr int kStep = 48;
    const int columns = 7168 / kStep + 2, rows = 4096 / kStep + 2;
    std::mt19937 random(11);
    std::vector<float> grid(std::size_t(columns * rows));
    for (float& v : grid)
        v = float(random() % 1000) / 1000.0f;
    for (int y = 0; y < 4096; ++y) {
        for (int x = 0; x < 7168; ++x) {
            const int gx = x / kStep, gy = y / kStep;
            const float fx = float(x % kStep) / kStep, fy = float(y % kStep) / kStep;
            const auto at = [&](int c, int r) { return grid[std::size_t(r * columns + c)]; };
            const float v = (at(gx, gy) * (1 - fx) + at(gx + 1, gy) * fx) * (1 - fy) +
                            (at(gx, gy + 1) * (1 - fx) + at(gx + 1, gy + 1) * fx) * fy;
            map.setCellUnchecked(x, y,
                                 {std::uint16_t(random() % kTiles), std::int8_t(2 * int(v * 9))});
        }
    }
    return map;
}

// 2 million records: 40% of the town's cells with 1 to 3 items, the rest of the records
// scattered over the whole map; items stand on their land, a tenth of them hued.
tb::StaticsMap makeStatics(const tb::MapImage& map) {
    const int widthBlocks = map.width() / 8, heightBlocks = map.height() / 8;
    std::mt19937 random(13);
    std::vector<std::vector<std::array<unsigned char, 7>>> blocks(std::size_t(widthBlocks) *
                                                                  std::size_t(heightBlocks));
    std::size_t placed = 0;
    const auto place = [&](int x, int y) {
        const auto id = std::uint16_t(random() % 0x4000);
        const int z = map.cellUnchecked(x, y).altitude + int(random() % 3);
        const auto hue = std::uint16_t(random() % 10 == 0 ? 1 + random() % 3000 : 0);
        blocks[std::size_t(x / 8) * std::size_t(heightBlocks) + std::size_t(y / 8)].push_back(
            {static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8),
             static_cast<unsigned char>(x % 8), static_cast<unsigned char>(y % 8),
             static_cast<unsigned char>(z), static_cast<unsigned char>(hue),
             static_cast<unsigned char>(hue >> 8)});
        ++placed;
    };
    for (int y = 0; y < kTown; ++y)
        for (int x = 0; x < kTown; ++x)
            if (random() % 10 < 4)
                for (unsigned n = 1 + random() % 3; n > 0; --n)
                    place(x, y);
    while (placed < std::size_t(kRecords))
        place(int(random() % 7168), int(random() % 4096));
    std::vector<unsigned char> index, data;
    for (auto& records : blocks) {
        if (records.empty()) {
            putU32(index, 0xFFFFFFFF);
            putU32(index, 0);
        } else {
            // Within a block, cell by cell as the client's files come.
            std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
                return a[3] != b[3] ? a[3] < b[3] : a[2] < b[2];
            });
            putU32(index, std::uint32_t(data.size()));
            putU32(index, std::uint32_t(records.size() * 7));
            for (const auto& r : records)
                data.insert(data.end(), r.begin(), r.end());
        }
        putU32(index, 0);
    }
    return tb::StaticsMap(std::move(index), std::move(data), widthBlocks, heightBlocks);
}

struct World {
    tb::ArtFiles art = makeArt();
    tb::TileData tiledata = makeTileData();
    tb::HueFile hues = makeHues();
    tb::MapImage map = makeMap();
    tb::StaticsMap statics = makeStatics(map);

    void load(tbrender::IsoPainter& painter) const {
        painter.setMap(&map);
        painter.setStatics(&statics);
        painter.setArt(&art);
        painter.setTileData(&tiledata);
        painter.setHues(&hues);
    }
    // The share of the cells of the town that are drawn sloped.
    double slopedShare() const {
        int sloped = 0;
        for (int y = 0; y < kTown; ++y)
            for (int x = 0; x < kTown; ++x)
                sloped += tb::iso::differsAround(tb::iso::neighbourhoodAt(map, x, y)) ? 1 : 0;
        return double(sloped) / double(kTown * kTown);
    }
};

World& world() {
    static World w;
    return w;
}

// The top-left of a frame on the middle of the town, and of one on the open map.
const QPoint kTownOrigin(-kWidth / 2, 256 * 2 * 22 - kHeight / 2);
const QPoint kOpenOrigin((5000 - 2000) * 22 - kWidth / 2, (5000 + 2000) * 22 - kHeight / 2);

// Each measured piece of work, set up once; run() does it once.
struct IsoFrame {
    tbrender::IsoPainter painter;
    QImage target{kWidth, kHeight, QImage::Format_RGB32};
    IsoFrame() {
        world().load(painter);
        run(); // the pictures are made once
    }
    void run() { painter.draw(target, target.rect(), kTownOrigin); }
};

// The same sprites at the same places in the same order, drawn with QPainter.
struct QPainterSprites {
    std::map<const tbrender::IsoSprite*, QImage> images;
    std::vector<std::pair<const QImage*, QPoint>> sprites;
    QImage target{kWidth, kHeight, QImage::Format_RGB32};
    QPainterSprites() {
        tbrender::IsoPainter painter;
        world().load(painter);
        for (const tbrender::IsoDrawable& d :
             painter.drawList(QRect(kTownOrigin, QSize(kWidth, kHeight)))) {
            if (!d.sprite)
                continue;
            auto [it, fresh] = images.try_emplace(d.sprite);
            if (fresh)
                it->second = d.sprite->toImage();
            sprites.emplace_back(&it->second, QPoint(d.rect.left, d.rect.top) - kTownOrigin);
        }
    }
    void run() {
        target.fill(Qt::black);
        QPainter p(&target);
        for (const auto& [image, at] : sprites)
            p.drawImage(at, *image);
    }
};

// Moves the frame's pixels by (dx, dy), as a view scrolling its old picture does.
void shift(QImage& image, int dx, int dy) {
    const int w = image.width(), h = image.height();
    const int rows = h - std::abs(dy), columns = w - std::abs(dx);
    const auto bytesPerLine = std::size_t(image.bytesPerLine());
    uchar* bits = image.bits();
    const auto copyRow = [&](int from, int to) {
        std::memmove(bits + std::size_t(to) * bytesPerLine + std::size_t(std::max(dx, 0)) * 4,
                     bits + std::size_t(from) * bytesPerLine + std::size_t(std::max(-dx, 0)) * 4,
                     std::size_t(columns) * 4);
    };
    if (dy > 0)
        for (int y = rows - 1; y >= 0; --y)
            copyRow(y, y + dy);
    else
        for (int y = 0; y < rows; ++y)
            copyRow(y - dy, y);
}

// One cell further along X each time, then back: the old frame moves by (-22, -22) or
// (22, 22) and the strips it uncovers (22 pixels wide and high) are drawn.
struct IsoScrollOneCell {
    tbrender::IsoPainter painter;
    QImage target{kWidth, kHeight, QImage::Format_RGB32};
    QPoint origin = kTownOrigin;
    const QPoint next = kTownOrigin + QPoint(22, 22);
    IsoScrollOneCell() {
        world().load(painter);
        painter.draw(target, target.rect(), next); // both places' pictures are made
        painter.draw(target, target.rect(), origin);
    }
    void run() {
        const QPoint to = origin == kTownOrigin ? next : kTownOrigin;
        const QPoint by = origin - to; // pixels move the other way
        shift(target, by.x(), by.y());
        const QRect columns =
            by.x() < 0 ? QRect(kWidth + by.x(), 0, -by.x(), kHeight) : QRect(0, 0, by.x(), kHeight);
        const QRect rows =
            by.y() < 0 ? QRect(0, kHeight + by.y(), kWidth, -by.y()) : QRect(0, 0, kWidth, by.y());
        painter.draw(target, columns, to);
        painter.draw(target, rows, to);
        origin = to;
    }
};

// A new painter on the loaded world, its first frame on the open map.
struct IsoFirstFrame {
    QImage target{kWidth, kHeight, QImage::Format_RGB32};
    void run() {
        tbrender::IsoPainter painter;
        world().load(painter);
        painter.draw(target, target.rect(), kOpenOrigin);
    }
};

// The top-down view's first frame on the same place: a new cell painter with the items'
// pictures, cells of 45 pixels, row by row as the map view draws them.
struct TopDownFirstFrame {
    static constexpr int kCell = 45;
    QImage target{kWidth, kHeight, QImage::Format_RGB32};
    void run() {
        const int firstCol = 5000 - kWidth / kCell / 2, firstRow = 2000 - kHeight / kCell / 2;
        tbrender::MapCellPainter painter;
        painter.setMap(&world().map);
        painter.setArt(&world().art);
        painter.setStatics(&world().statics, nullptr);
        tbrender::CellViewSwitches switches;
        switches.showStatics = true;
        switches.itemArt = true;
        painter.setSwitches(switches);
        const tbrender::PixelSurface surface = tbrender::PixelSurface::of(target);
        QPainter p(&target);
        for (int row = 0; row <= kHeight / kCell; ++row)
            painter.drawRow(p, &surface, firstRow + row, firstCol, firstCol + kWidth / kCell,
                            QRect(0, row * kCell, kCell, kCell), kCell, -1);
    }
};

template <class Case> void runCase(benchmark::State& state) {
    Case work;
    for (auto _ : state) {
        work.run();
        benchmark::ClobberMemory();
    }
}

void BM_IsoFrame(benchmark::State& state) {
    runCase<IsoFrame>(state);
    tbrender::IsoPainter painter;
    world().load(painter);
    state.counters["drawn"] =
        double(painter.drawList(QRect(kTownOrigin, QSize(kWidth, kHeight))).size());
    state.counters["sloped"] = world().slopedShare();
}
BENCHMARK(BM_IsoFrame)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK_TEMPLATE(runCase, QPainterSprites)
    ->Name("BM_QPainterSprites")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);
BENCHMARK_TEMPLATE(runCase, IsoScrollOneCell)
    ->Name("BM_IsoScrollOneCell")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);
BENCHMARK_TEMPLATE(runCase, IsoFirstFrame)
    ->Name("BM_IsoFirstFrame")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);
BENCHMARK_TEMPLATE(runCase, TopDownFirstFrame)
    ->Name("BM_TopDownFirstFrame")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions);

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The two measured in turn, `rounds` times each: on a machine shared with other work the
// load changes between two benchmarks run one after the other, but hardly between two
// turns. The least processor time of each, divided.
template <class A, class B> double alternatedRatio(int rounds) {
    A a;
    B b;
    double bestA = 1e9, bestB = 1e9;
    for (int i = 0; i < rounds; ++i) {
        double start = threadSeconds();
        a.run();
        bestA = std::min(bestA, threadSeconds() - start);
        start = threadSeconds();
        b.run();
        bestB = std::min(bestB, threadSeconds() - start);
    }
    return bestA / bestB;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    world(); // made before any run is timed
    tbbench::RunCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* a, const char* b) {
        return reporter.fastestWallRatio(a, b);
    };
    const auto cpu = [&](const char* a, const char* b) { return reporter.fastestCpuRatio(a, b); };
    std::printf("\nRatios (one run; fastest repetition of each, wall and CPU time; then the least\n"
                "CPU time of each of two measured in turn, 40 times):\n");
    std::printf("  isometric frame / QPainter sprites:  %6.2fx  CPU %6.2fx  in turn %6.2fx"
                "  (target <= 1.5)\n",
                ratio("BM_IsoFrame", "BM_QPainterSprites"),
                cpu("BM_IsoFrame", "BM_QPainterSprites"),
                alternatedRatio<IsoFrame, QPainterSprites>(40));
    std::printf("  scroll by one cell / full frame:     %6.2fx  CPU %6.2fx  in turn %6.2fx"
                "  (target <= 0.3)\n",
                ratio("BM_IsoScrollOneCell", "BM_IsoFrame"),
                cpu("BM_IsoScrollOneCell", "BM_IsoFrame"),
                alternatedRatio<IsoScrollOneCell, IsoFrame>(40));
    std::printf("  first frame, isometric / top-down:   %6.2fx  CPU %6.2fx  in turn %6.2fx"
                "  (target <= 1.2)\n",
                ratio("BM_IsoFirstFrame", "BM_TopDownFirstFrame"),
                cpu("BM_IsoFirstFrame", "BM_TopDownFirstFrame"),
                alternatedRatio<IsoFirstFrame, TopDownFirstFrame>(40));
    benchmark::Shutdown();
    return 0;
}
