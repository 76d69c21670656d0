// Items drawn with their pictures: scaled into the cell, lowest first, equal heights in
// file order, and the placeholder for an item without art.
#include "render/ItemPainter.h"

#include "ItemArtFixtures.h"
#include "StaticsFixtures.h"

#include "core/ItemArt.h"

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
};

QTEST_GUILESS_MAIN(ItemPainterTest)
#include "test_item_painter.moc"
