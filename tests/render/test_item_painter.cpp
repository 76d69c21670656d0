// Items drawn with their pictures: scaled into the cell, lowest first, equal heights in
// file order, and the placeholder for an item without art.
#include "render/ItemPainter.h"

#include "ItemArtFixtures.h"
#include "StaticsFixtures.h"

#include "core/HueFile.h"
#include "core/ItemArt.h"
#include "core/TileData.h"
#include "render/ComposedCellCache.h"

#include <QPainter>
#include <QtTest>

namespace {

// Art whose item n is a square of side `sides[n]` in one colour.
tb::ArtFiles squareArt(const std::vector<std::pair<int, std::uint16_t>>& squares) {
    tb::ArtFiles art;
    art.artIndex.assign((0x4000 + squares.size()) * 12, 0xFF);
    for (std::size_t n = 0; n < squares.size(); ++n) {
        tb::ItemImage image;
        image.width = image.height = squares[n].first;
        image.pixels.assign(std::size_t(image.width * image.height),
                            squares[n].second | tb::ItemImage::kOpaque);
        tbtest::addItemArt(art, int(n), image);
    }
    return art;
}

} // namespace

class ItemPainterTest : public QObject {
    Q_OBJECT

private slots:
    void itemsAreDrawnLowestFirstInTheirCell() {
        // Item 0: a red 44-pixel square; item 1: a blue 22-pixel one; item 2: green, 22.
        const tb::ArtFiles art = squareArt({{44, 0x7C00}, {22, 0x001F}, {22, 0x03E0}});
        tbtest::StaticsPair pair(1);
        // On cell (2, 3): blue at z 5 first in the file, red at z 0, green at z 5 last.
        pair.setBlock(0, {{1, 2, 3, 5}, {0, 2, 3, 0}, {2, 2, 3, 5}, {0, 4, 4, 0}});
        const tb::StaticsMap statics(pair.index, pair.data, 1, 1);
        tbrender::ItemPainter painter;
        painter.setStatics(&statics);
        painter.setArt(&art);

        QImage image(44, 44, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        QVERIFY(painter.drawCellItems(p, 2, 3, QRect(0, 0, 44, 44)));
        QVERIFY(!painter.drawCellItems(p, 3, 3, QRect(0, 0, 44, 44)));
        p.end();
        // The red square fills the cell; the green one, last of the two at z 5, lies on
        // top at the bottom centre.
        QCOMPARE(image.pixel(2, 2), qRgb(248, 0, 0));
        QCOMPARE(image.pixel(22, 40), qRgb(0, 248, 0));
        QCOMPARE(image.pixel(22, 10), qRgb(248, 0, 0));

        // At half the size every picture is half as big, and stays inside the cell.
        QCOMPARE(painter.picture(0, 22).size(), QSize(22, 22));
        QCOMPARE(painter.picture(1, 22).size(), QSize(11, 11));
        // An item without art is drawn as the placeholder, never as nothing.
        const QImage missing = painter.picture(7, 44);
        QVERIFY(!missing.isNull());
        QCOMPARE(missing.pixel(0, 0), qRgb(248, 0, 248));
    }

    void itemsTakeTheirHuesAreSeeThroughAndStayBelowMaxZ() {
        // Item 0 grey (red 12), item 1 white; item 1 is Translucent in the tiledata.
        const tb::ArtFiles art = squareArt({{44, (12 << 10) | (12 << 5) | 12}, {44, 0x7FFF}});
        std::vector<unsigned char> tiledata(512 * (4 + 32 * 30) + 4 + 32 * 41, 0);
        tiledata[512 * (4 + 32 * 30) + 4 + 1 * 41] = 0x04; // item 1: Translucent
        const tb::TileData data = tb::TileData::fromBytes(tiledata, "tiledata.mul");
        std::vector<unsigned char> hueBytes(708, 0);
        for (int i = 0; i < 32; ++i)
            hueBytes[std::size_t(4 + 2 * i)] = static_cast<unsigned char>(i); // blue i
        const tb::HueFile hues = tb::HueFile::fromBytes(hueBytes, "hues.mul");
        tbtest::StaticsPair pair(1);
        // (0, 0): item 0 in hue 1 at z 0; (1, 0): item 0 unhued at z 9; (2, 0): item 1.
        pair.setBlock(0, {{0, 0, 0, 0, 1}, {0, 1, 0, 9}, {1, 2, 0, 0}});
        const tb::StaticsMap statics(pair.index, pair.data, 1, 1);
        tbrender::ItemPainter painter;
        painter.setStatics(&statics);
        painter.setArt(&art);
        painter.setHues(&hues, &data);

        QImage image(44, 44, QImage::Format_RGB32);
        const auto drawn = [&](int x) {
            image.fill(qRgb(0, 0, 0));
            const bool any =
                painter.drawCellItems(tbrender::PixelSurface::of(image), x, 0, QRect(0, 0, 44, 44));
            return any ? image.pixel(22, 22) : qRgb(1, 1, 1);
        };
        QCOMPARE(drawn(0), qRgb(0, 0, 12 * 8));  // the hue's colour 12
        QCOMPARE(drawn(1), qRgb(96, 96, 96));    // unhued
        QCOMPARE(drawn(2), qRgb(173, 173, 173)); // white at 178 over black
        QCOMPARE(painter.picture(0, 44, 1).pixel(5, 5), qRgb(0, 0, 12 * 8));
        painter.setMaxZ(5);
        QCOMPARE(drawn(1), qRgb(1, 1, 1)); // above Max Z: nothing on the cell
        QCOMPARE(drawn(0), qRgb(0, 0, 12 * 8));

        // The kept pictures of whole cells tell the same item in two hues apart.
        tbrender::ComposedCellCache cells(std::size_t(1) << 20);
        cells.setSize(4, 4, 0);
        const QRgb land[16] = {};
        const tb::StaticRecord red{5, 0, 0, 0, 1}, blue{5, 0, 0, 0, 2};
        cells.beginRow();
        QVERIFY(!cells.find(land, {&red, 1}).pixels); // first sight
        const auto made = cells.find(land, {&red, 1});
        QVERIFY(made.pixels && !made.composed);
        cells.beginRow();
        QVERIFY(cells.find(land, {&red, 1}).composed);
        const auto other = cells.find(land, {&blue, 1});
        QVERIFY(!other.pixels || !other.composed);
    }
};

QTEST_GUILESS_MAIN(ItemPainterTest)
#include "test_item_painter.moc"
