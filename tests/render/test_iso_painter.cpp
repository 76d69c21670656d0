// The isometric painter on a small known scene: land flat and stretched with its light,
// items hued, partly hued and see-through, their order, picking through a transparent pixel,
// Max Z, an edit, strips drawn apart against the whole frame, a zoom and a tiny cache.

#include "testsupport/TestWorld.h"

#include "render/IsoPainter.h"

#include "ItemArtFixtures.h"
#include "StaticsFixtures.h"

#include "core/HueFile.h"
#include "core/ItemArt.h"
#include "core/TileData.h"

#include <QtTest>

#include <cstdlib>

using namespace tbtest;
using namespace tbrender;

namespace {

constexpr std::uint16_t kGrassTile = 1;         // land art of one colour
constexpr std::uint16_t kSlopeTile = 3;         // no land art; a white texture
constexpr std::uint16_t kWall = 10;             // 44 x 80 red, tiledata height 20
constexpr std::uint16_t kRing = 11;             // 20 x 20 blue with an 8 x 8 hole
constexpr std::uint16_t kHalves = 12;           // 10 x 10: left half grey, right half orange
constexpr std::uint16_t kPartial = 13;          // the same picture, PartialHue in the tiledata
constexpr std::uint16_t kGlass = 14;            // 10 x 10 white, Translucent
constexpr std::uint16_t kPillar = 15;           // 44 x 80 green
constexpr std::uint16_t kGrass15 = 0x03E0 >> 1; // a mid green
constexpr std::uint16_t kGrey = (16 << 10) | (16 << 5) | 16;
constexpr std::uint16_t kOrange = (30 << 10) | (15 << 5) | 2;

tb::ItemImage filled(int width, int height, std::uint16_t colour) {
    tb::ItemImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width * height),
                        std::uint16_t(colour | tb::ItemImage::kOpaque));
    return image;
}

tb::ArtFiles sceneArt() {
    tb::ArtFiles art;
    std::vector<unsigned char> land;
    for (int i = 0; i < 1012; ++i)
        putU16(land, kGrass15);
    const auto index = [](std::vector<unsigned char>& idx, std::int32_t offset,
                          std::uint32_t length) {
        putU32(idx, std::uint32_t(offset));
        putU32(idx, length);
        putU32(idx, 0);
    };
    index(art.artIndex, -1, 0);
    index(art.artIndex, 0, 2024); // tile 1
    art.artData = land;
    for (int id = 0; id < 4; ++id)
        index(art.textureIndex, id == kSlopeTile ? 0 : -1, id == kSlopeTile ? 8192 : 0);
    for (int i = 0; i < 64 * 64; ++i)
        putU16(art.textureData, 0x7FFF); // white: the light shows as it is
    art.artIndex.resize(0x4000 * 12, 0xFF);
    addItemArt(art, kWall, filled(44, 80, 0x7C00));
    tb::ItemImage ring = filled(20, 20, 0x001F);
    for (int y = 6; y < 14; ++y)
        for (int x = 6; x < 14; ++x)
            ring.pixels[std::size_t(y * 20 + x)] = 0;
    addItemArt(art, kRing, ring);
    tb::ItemImage halves = filled(10, 10, kGrey);
    for (int y = 0; y < 10; ++y)
        for (int x = 5; x < 10; ++x)
            halves.pixels[std::size_t(y * 10 + x)] = kOrange | tb::ItemImage::kOpaque;
    addItemArt(art, kHalves, halves);
    addItemArt(art, kPartial, halves);
    addItemArt(art, kGlass, filled(10, 10, 0x7FFF));
    addItemArt(art, kPillar, filled(44, 80, 0x03E0));
    return art;
}

// tiledata.mul in the newer layout with one group of items.
tb::TileData sceneTileData() {
    constexpr std::size_t kLandGroup = 4 + 32 * 30, kItemGroup = 4 + 32 * 41;
    std::vector<unsigned char> bytes(512 * kLandGroup + kItemGroup, 0);
    const auto land = [&](int id) {
        return bytes.data() + (id / 32) * kLandGroup + 4 + (id % 32) * 30;
    };
    const auto item = [&](int id) { return bytes.data() + 512 * kLandGroup + 4 + id * 41; };
    land(kSlopeTile)[8] = kSlopeTile; // its texture
    item(kWall)[20] = 20;
    item(kPillar)[20] = 20;
    item(kPartial)[2] = 0x04; // PartialHue, 0x40000
    item(kGlass)[0] = 0x04;   // Translucent
    return tb::TileData::fromBytes(bytes, "tiledata.mul");
}

// One hue: colour i is blue i.
tb::HueFile sceneHues() {
    std::vector<unsigned char> bytes(708, 0);
    for (int i = 0; i < 32; ++i)
        bytes[std::size_t(4 + 2 * i)] = static_cast<unsigned char>(i);
    return tb::HueFile::fromBytes(bytes, "hues.mul");
}

QRgb rgb15(std::uint16_t c) {
    return qRgb(((c >> 10) & 31) * 8, ((c >> 5) & 31) * 8, (c & 31) * 8);
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class IsoPainterTest : public QObject {
    Q_OBJECT

    const tb::MapVariant& m_variant = ilshenar();
    tb::MapImage m_map{std::vector<unsigned char>(std::size_t(ilshenar().fileSize)), ilshenar()};
    tb::ArtFiles m_art = sceneArt();
    tb::TileData m_tiledata = sceneTileData();
    tb::HueFile m_hues = sceneHues();
    tb::StaticsMap m_statics;

    std::size_t block(int x, int y) const {
        return std::size_t(x / 8) * std::size_t(m_variant.heightBlocks()) + std::size_t(y / 8);
    }

    void setUpScene() {
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                m_map.setCell(x, y, {kGrassTile, 0});
        // A textured tile whose neighbour two cells east is a step higher: stretched.
        m_map.setCell(20, 20, {kSlopeTile, 0});
        m_map.setCell(22, 20, {kGrassTile, 1});
        StaticsPair pair(std::size_t(m_variant.widthBlocks()) *
                         std::size_t(m_variant.heightBlocks()));
        // Block (1, 1): a pillar at (9, 9) z 5 and a wall in front of it at (10, 10), the
        // wall first in the file.
        pair.setBlock(block(9, 9), {{kWall, 2, 2, 0}, {kPillar, 1, 1, 5}});
        // Block (3, 3): hued items at (28, 24) to (31, 24), a ring at (30, 30).
        pair.setBlock(block(30, 30), {{kHalves, 4, 0, 0, 1},
                                      {kHalves, 5, 0, 0, 0x8001},
                                      {kPartial, 6, 0, 0, 1},
                                      {kGlass, 7, 0, 0},
                                      {kRing, 6, 6, 0}});
        m_statics = tb::StaticsMap(pair.index, pair.data, m_variant.widthBlocks(),
                                   m_variant.heightBlocks());
    }

    void load(IsoPainter& painter) {
        painter.setMap(&m_map);
        painter.setStatics(&m_statics);
        painter.setArt(&m_art);
        painter.setTileData(&m_tiledata);
        painter.setHues(&m_hues);
    }

    // The frame of w x h scene pixels from `origin`, drawn whole.
    static QImage frame(IsoPainter& painter, QPoint origin, int w = 200, int h = 160) {
        QImage image(w, h, QImage::Format_RGB32);
        painter.draw(image, image.rect(), origin);
        return image;
    }

    // The item picture's top-left of an item w x h on cell (x, y) at z, at 100%.
    static QPoint itemAt(int x, int y, int z, int w, int h) {
        return QPoint((x - y) * 22 + 22 - w / 2, (x + y) * 22 - 4 * z + 44 - h);
    }

private slots:
    void initTestCase() { setUpScene(); }

    void landIsDrawnFlatOrStretchedWithItsLight() {
        IsoPainter painter;
        load(painter);
        const QImage image = frame(painter, QPoint(-100, 5 * 44 - 40));
        // Cell (5, 5): flat grass; its diamond's middle at scene (22, 242).
        QCOMPARE(image.pixel(22 + 100, 242 - 5 * 44 + 40), rgb15(kGrass15));
        // Cell (20, 20): the white texture times the light of its level corners (0.854),
        // near its top corner; its right corner's light is 0.837.
        const QImage slope = frame(painter, QPoint(-100, 40 * 22 - 40));
        const QRgb top = slope.pixel(22 + 100, 2 + 40);
        QVERIFY2(near(top, qRgb(212, 212, 212), 2), qPrintable(QString::number(top, 16)));
        QVERIFY(near(slope.pixel(42 + 100, 22 + 40), qRgb(208, 208, 208), 2));
        // Without its neighbour's step the tile is flat, and having no land art it shows
        // the background.
        IsoPainter flat;
        load(flat);
        m_map.setCell(22, 20, {kGrassTile, 0});
        flat.setBackground(qRgb(1, 2, 3));
        QCOMPARE(frame(flat, QPoint(-100, 40 * 22 - 40)).pixel(22 + 100, 22 + 40), qRgb(1, 2, 3));
        m_map.setCell(22, 20, {kGrassTile, 1});
    }

    void itemsAreHuedWholePartlyAndSeeThrough() {
        IsoPainter painter;
        load(painter);
        painter.setBackground(qRgb(0, 0, 0));
        const QPoint origin(-100, 1100);
        QImage image = frame(painter, origin, 300, 200);
        const auto pixelOf = [&](int x, int y, int dx, int dy) {
            const QPoint p = itemAt(x, y, 0, 10, 10) + QPoint(dx, dy) - origin;
            return image.pixel(p);
        };
        // Hue 1 whole: the grey half (red 16) and the orange half (red 30) both blue.
        QCOMPARE(pixelOf(28, 24, 1, 5), qRgb(0, 0, 16 * 8));
        QCOMPARE(pixelOf(28, 24, 8, 5), qRgb(0, 0, 30 * 8));
        // Hue 0x8001, and hue 1 on an item with PartialHue: only the grey half.
        QCOMPARE(pixelOf(29, 24, 1, 5), qRgb(0, 0, 16 * 8));
        QCOMPARE(pixelOf(29, 24, 8, 5), rgb15(kOrange));
        QCOMPARE(pixelOf(30, 24, 1, 5), qRgb(0, 0, 16 * 8));
        QCOMPARE(pixelOf(30, 24, 8, 5), rgb15(kOrange));
        // Translucent white over the grass: 178/255 of the white, the rest of the grass.
        const QRgb glass = pixelOf(31, 24, 5, 3);
        const QRgb grass = rgb15(kGrass15);
        QVERIFY(
            near(glass,
                 qRgb((248 * 178 + qRed(grass) * 77) / 255, (248 * 178 + qGreen(grass) * 77) / 255,
                      (248 * 178 + qBlue(grass) * 77) / 255),
                 1));
        // Without hues the items are drawn as their art is.
        IsoPainter unhued;
        load(unhued);
        unhued.setHues(nullptr);
        image = frame(unhued, origin, 300, 200);
        QCOMPARE(pixelOf(28, 24, 1, 5), rgb15(kGrey));
    }

    void theNearerCellHidesWhatStandsBehindItAndPicksSeeThroughHoles() {
        IsoPainter painter;
        load(painter);
        const QPoint origin(-28, 320);
        QImage image = frame(painter, origin, 100, 200);
        // The pillar at (9, 9) z 5 covers scene rows 340..419, the wall at (10, 10) rows
        // 404..483: where they overlap the wall is drawn, whatever the file order and z.
        QCOMPARE(image.pixel(QPoint(22, 410) - origin), rgb15(0x7C00));
        QCOMPARE(image.pixel(QPoint(22, 350) - origin), rgb15(0x03E0));
        std::optional<IsoPick> pick = painter.pick(QPoint(22, 410));
        QVERIFY(pick && pick->item);
        QCOMPARE(pick->cell, (tb::iso::CellPos{10, 10}));
        QCOMPARE(pick->item->record.id, kWall);
        QCOMPARE(pick->item->block, block(10, 10));
        QCOMPARE(pick->item->index, std::size_t(0));
        pick = painter.pick(QPoint(22, 350));
        QVERIFY(pick && pick->item);
        QCOMPARE(pick->item->record.id, kPillar);
        QCOMPARE(pick->item->index, std::size_t(1));
        QCOMPARE(int(pick->item->record.z), 5);

        // The ring at (30, 30): its hole shows the land, and picks it.
        const QPoint ring = itemAt(30, 30, 0, 20, 20);
        pick = painter.pick(ring + QPoint(10, 10));
        QVERIFY(pick && !pick->item);
        QCOMPARE(pick->cell, (tb::iso::CellPos{30, 30}));
        pick = painter.pick(ring + QPoint(1, 10));
        QVERIFY(pick && pick->item);
        QCOMPARE(pick->item->record.id, kRing);
        // A point on the stretched tile (20, 20) picks it, one on nothing picks nothing.
        pick = painter.pick(QPoint(22, 40 * 22 + 22));
        QVERIFY(pick && !pick->item);
        QCOMPARE(pick->cell, (tb::iso::CellPos{20, 20}));
        QVERIFY(!painter.pick(QPoint(-5000, -5000)));

        // Under Max Z 3 the pillar is gone: the wall's top shows the land behind it.
        painter.setMaxZ(3);
        pick = painter.pick(QPoint(22, 350));
        QVERIFY(pick && !pick->item);
        QCOMPARE(frame(painter, origin, 100, 200).pixel(QPoint(22, 350) - origin), rgb15(kGrass15));
    }

    void anEditRepaintsWhereTheItemWasAndStripsMakeTheWholeFrame() {
        tb::StaticsMap statics = m_statics.copy();
        IsoPainter painter;
        load(painter);
        painter.setStatics(&statics);
        const QPoint origin(-150, 300);
        const QImage before = frame(painter, origin, 300, 240);
        // Drawn in three strips (a scroll's exposed parts), over old pixels, the frame is
        // the same; nothing outside a strip is touched.
        QImage strips(300, 240, QImage::Format_RGB32);
        strips.fill(qRgb(255, 0, 255));
        painter.draw(strips, QRect(0, 0, 300, 17), origin);
        QCOMPARE(strips.pixel(5, 17), qRgb(255, 0, 255));
        painter.draw(strips, QRect(0, 17, 123, 223), origin);
        painter.draw(strips, QRect(123, 17, 177, 223), origin);
        QCOMPARE(strips, before);

        // The wall goes: the rectangle to draw again holds where it was.
        std::vector<tb::StaticRecord> records = statics.records(block(10, 10));
        records.erase(records.begin());
        statics.setRecords(block(10, 10), records);
        const QRect changed = painter.invalidate({10, 10, 10, 10});
        QVERIFY(changed.contains(QRect(itemAt(10, 10, 0, 44, 80), QSize(44, 80))));
        QCOMPARE(frame(painter, origin, 300, 240).pixel(QPoint(22, 470) - origin), rgb15(kGrass15));
        QCOMPARE(painter.cellsSceneRect({10, 10, 10, 10}), QRect(0, 440, 44, 44));
    }

    void theGridMarkedCellsAndASelectionAreOutlined() {
        IsoPainter painter;
        load(painter);
        const QPoint origin(-100, 150);
        const QImage plain = frame(painter, origin);
        painter.setGrid(true);
        painter.setMarkedCells({{5, 5}});
        painter.setSelection(tb::iso::CellBox{7, 4, 8, 4});
        const QImage outlined = frame(painter, origin);
        // Cell (4, 4)'s diamond: its upper edges darkened, its middle as it was.
        const QPoint diamond = QPoint(0, 8 * 22) - origin;
        QCOMPARE(outlined.pixel(diamond + QPoint(22, 0)),
                 qRgb(qRed(rgb15(kGrass15)) / 2, qGreen(rgb15(kGrass15)) / 2,
                      qBlue(rgb15(kGrass15)) / 2));
        QCOMPARE(outlined.pixel(diamond + QPoint(22, 22)), plain.pixel(diamond + QPoint(22, 22)));
        // Cell (5, 5) in red round its diamond: its left corner (0, 22) from its point.
        QCOMPARE(outlined.pixel(QPoint(0, 10 * 22 + 22) - origin), kIsoMarkedCellColour.rgb());
        // The selection's top corner is cell (7, 4)'s: (3 * 22 + 22, 11 * 22).
        QCOMPARE(outlined.pixel(QPoint(88, 242) - origin), kIsoSelectionColour.rgb());
    }

    void atHalfSizeAndWithATinyCacheTheSameScene() {
        IsoPainter half;
        load(half);
        half.setZoom(0.5);
        QCOMPARE(half.halfTile(), 11);
        QCOMPARE(half.cellScenePoint(5, 5), QPoint(0, 110));
        const QImage image = frame(half, QPoint(-50, 100));
        // Cell (5, 5)'s diamond middle at (11, 121).
        QCOMPARE(image.pixel(11 + 50, 121 - 100), rgb15(kGrass15));
        QImage strips(200, 160, QImage::Format_RGB32);
        half.draw(strips, QRect(0, 0, 77, 160), QPoint(-50, 100));
        half.draw(strips, QRect(77, 0, 123, 160), QPoint(-50, 100));
        QCOMPARE(strips, image);
        QCOMPARE(half.cellAt(QPoint(11, 121)), (tb::iso::CellPos{5, 5}));
        QCOMPARE(half.cellsShown(QRect(0, 0, 22, 22)), (tb::iso::CellBox{0, 0, 1, 1}));

        // A cache of 4 kB keeps almost nothing: every frame makes its pictures again.
        IsoPainter roomy;
        IsoPainter tiny(4096);
        load(roomy);
        load(tiny);
        for (const QPoint origin : {QPoint(-28, 320), QPoint(-100, 40 * 22), QPoint(-28, 320)})
            QCOMPARE(frame(tiny, origin), frame(roomy, origin));
        QVERIFY(tiny.cacheBytes() < roomy.cacheBytes());
    }
};

QTEST_GUILESS_MAIN(IsoPainterTest)
#include "test_iso_painter.moc"
