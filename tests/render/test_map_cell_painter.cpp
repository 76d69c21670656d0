// The cell drawing of the map view: pictures against their decoded tiles, the order of
// the overlays, the statics markers, and the kept pictures.

#include "testsupport/TestWorld.h"

#include "render/ComposedCellCache.h"
#include "render/MapCellPainter.h"

#include "ItemArtFixtures.h"
#include "StaticsFixtures.h"

#include "core/ArtFiles.h"
#include "core/ItemArt.h"
#include "editor/AltitudeColour.h"

#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <tuple>

using namespace tbtest;
using namespace tbrender;

class MapCellPainterTest : public QObject {
    Q_OBJECT

    tb::MapImage m_map = makeTestMap();
    tb::ArtFiles m_art = makeTestArt();

    // Draws cell (x, y) into a fresh image at (offset, offset), directly or through the
    // painter only.
    QImage draw(MapCellPainter& painter, int x, int y, int size, bool selected = false,
                bool direct = true, int offset = 3) {
        QImage image(size + 2 * offset, size + 2 * offset, QImage::Format_RGB32);
        image.fill(QColor(1, 2, 3));
        const PixelSurface surface = PixelSurface::of(image);
        QPainter p(&image);
        painter.drawCell(p, direct ? &surface : nullptr, x, y, QRect(offset, offset, size, size),
                         selected);
        return image;
    }

    MapCellPainter loadedPainter() {
        MapCellPainter painter;
        painter.setMap(&m_map);
        painter.setArt(&m_art);
        return painter;
    }

    // Statics on the test map: cell (1, 0) holds static 41 under static 40, cells (6, 0) and
    // (9, 0) (the next block) static 42. Static radar colours: 40 red, 41 blue, 42 white.
    tb::StaticsMap makeStatics() const {
        const tb::MapVariant& v = ilshenar();
        StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        pair.setBlock(0, {{41, 1, 0, 2}, {40, 1, 0, 9}, {42, 6, 0, 0}});
        pair.setBlock(std::size_t(v.heightBlocks()), {{42, 1, 0, 0}});
        return tb::StaticsMap(pair.index, pair.data, v.widthBlocks(), v.heightBlocks());
    }
    tb::StaticRadarColours makeStaticColours() const {
        std::vector<unsigned char> radar((0x4000 + 43) * 2, 0);
        auto put = [&](int entry, std::uint16_t colour) {
            radar[std::size_t(entry) * 2] = static_cast<unsigned char>(colour);
            radar[std::size_t(entry) * 2 + 1] = static_cast<unsigned char>(colour >> 8);
        };
        put(0x4000 + 40, 0x7C00);
        put(0x4000 + 41, 0x001F);
        put(0x4000 + 42, 0x7FFF);
        put(40, 0x001F); // the land entry of the same number is never taken
        const TempDir dir;
        writeBytes(dir / "radarcol.mul", radar);
        tb::StaticRadarColours colours;
        colours.read(dir / "radarcol.mul");
        return colours;
    }

private slots:
    void landTileAtDesignSizeIsTheDecodedTile() {
        MapCellPainter painter = loadedPainter();
        tb::Image15 decoded;
        QVERIFY(tb::makeLandTileImage(m_art, kLandTile, decoded));
        for (bool direct : {true, false}) {
            const QImage image = draw(painter, 1, 0, 45, false, direct);
            for (int y = 0; y < 45; ++y)
                for (int x = 0; x < 45; ++x)
                    QCOMPARE(image.pixelColor(3 + x, 3 + y), expectedColour(decoded.at(x, y)));
            // Nothing outside the cell is touched.
            QCOMPARE(image.pixelColor(2, 2), QColor(1, 2, 3));
            QCOMPARE(image.pixelColor(48, 48), QColor(1, 2, 3));
        }
    }

    void textureIsStretchedToTheCell() {
        MapCellPainter painter = loadedPainter();
        // 64 x 64 of 2 x 2 blocks at 32: every cell pixel is one block.
        const QImage image = draw(painter, 0, 0, 32);
        for (int y = 0; y < 32; y += 3)
            for (int x = 0; x < 32; x += 3)
                QCOMPARE(image.pixelColor(3 + x, 3 + y), expectedColour(textureBlock(x, y)));
        // Up to 128: every block covers 4 x 4 pixels.
        const QImage large = draw(painter, 0, 0, 128);
        QCOMPARE(large.pixelColor(3 + 4 * 10 + 1, 3 + 4 * 7 + 2),
                 expectedColour(textureBlock(10, 7)));
    }

    void textureWinsOverLandTileAndMissingArtIsBlack() {
        MapCellPainter painter = loadedPainter();
        const QImage both = draw(painter, 2, 0, 20);
        QCOMPARE(both.pixelColor(3 + 10, 3 + 10), expectedColour(kBothTextureColour));
        const QImage missing = draw(painter, 3, 0, 20); // tile 0: no art at all
        QCOMPARE(missing.pixelColor(3 + 10, 3 + 10), QColor(Qt::black));
        QCOMPARE(missing.pixelColor(3, 3), QColor(Qt::black));
    }

    void withoutMapEveryCellIsBlackButFramed() {
        MapCellPainter painter;
        painter.setArt(&m_art);
        const QImage image = draw(painter, 0, 0, 20, true);
        QCOMPARE(image.pixelColor(3 + 10, 3 + 10), QColor(Qt::black));
        QCOMPARE(image.pixelColor(3, 3), kSelectionFrameColour);
        QCOMPARE(image.pixelColor(3 + 19, 3 + 19), kSelectionFrameColour);
        QCOMPARE(image.pixelColor(3 + 1, 3 + 1), QColor(Qt::black));
    }

    void frameIsBlueWhileAStampIsDown() {
        MapCellPainter painter = loadedPainter();
        CellViewSwitches switches;
        switches.stampButtonDown = true;
        painter.setSwitches(switches);
        const QImage image = draw(painter, 3, 0, 20, true);
        QCOMPARE(image.pixelColor(3 + 19, 3 + 5), kStampSelectionFrameColour);
        QCOMPARE(image.pixelColor(3 + 10, 3), kStampSelectionFrameColour);
    }

    void altitudeColourBoxWithoutNumber() {
        MapCellPainter painter = loadedPainter();
        CellViewSwitches switches;
        switches.altitudeOn = true;
        switches.coloredAltitude = true;
        switches.showNumber = false;
        painter.setSwitches(switches);
        const QImage image = draw(painter, 0, 1, 45); // land tile, altitude -5
        const tb::Rgb colour = tb::altitudeColour(-5);
        // The small box of four blanks starts at left + 1, top + 1.
        QCOMPARE(image.pixelColor(3 + 2, 3 + 2), QColor(colour.red, colour.green, colour.blue));
        // Away from the box the tile is still there.
        tb::Image15 decoded;
        QVERIFY(tb::makeLandTileImage(m_art, kLandTile, decoded));
        QCOMPARE(image.pixelColor(3 + 40, 3 + 40), expectedColour(decoded.at(40, 40)));
    }

    void showOnlyColourFillsTheCellWhenAltitudeIsOn() {
        MapCellPainter painter = loadedPainter();
        CellViewSwitches switches;
        switches.altitudeOn = true;
        switches.coloredAltitude = true;
        switches.showOnlyColor = true;
        painter.setSwitches(switches);
        const QImage image = draw(painter, 1, 0, 45); // altitude 10
        const tb::Rgb colour = tb::altitudeColour(10);
        QCOMPARE(image.pixelColor(3 + 40, 3 + 40), QColor(colour.red, colour.green, colour.blue));
        // Without colours the cell is white with a black number.
        switches.coloredAltitude = false;
        painter.setSwitches(switches);
        QCOMPARE(draw(painter, 1, 0, 45).pixelColor(3 + 40, 3 + 40), QColor(Qt::white));
    }

    void altitudeSwitchesChangeNothingWhileAltitudeIsOff() {
        MapCellPainter painter = loadedPainter();
        const QImage plain = draw(painter, 1, 0, 45);
        CellViewSwitches switches;
        switches.altitudeOn = false;
        switches.coloredAltitude = true;
        switches.showOnlyColor = true;
        switches.showNumber = false;
        painter.setSwitches(switches);
        QCOMPARE(draw(painter, 1, 0, 45), plain);
    }

    void bookmarkLabelIsNavyAboveTheBottom() {
        MapCellPainter painter = loadedPainter();
        CellBookmarks bookmarks;
        bookmarks[3] = CellBookmark{2, 0, true};
        bookmarks[4] = CellBookmark{2, 0, false};
        painter.setBookmarks(&bookmarks);
        const QImage image = draw(painter, 2, 0, 45, true);
        // The label's box starts at left + 1, bottom - 15.
        QCOMPARE(image.pixelColor(3 + 2, 3 + 45 - 15 + 1), kBookmarkLabelColour);
        QCOMPARE(image.pixelColor(3, 3 + 40), kSelectionFrameColour); // frame kept
        // Another cell carries no label.
        const QImage other = draw(painter, 1, 0, 45);
        QVERIFY(other.pixelColor(3 + 2, 3 + 45 - 15 + 1) != kBookmarkLabelColour);
    }

    void keptPicturesFollowTheArtAndTheSize() {
        MapCellPainter painter = loadedPainter();
        QCOMPARE(draw(painter, 2, 0, 20).pixelColor(13, 13), expectedColour(kBothTextureColour));
        // New art: the kept pictures go.
        tb::ArtFiles other = makeTestArt();
        for (std::size_t i = 8192; i < other.textureData.size(); i += 2) {
            other.textureData[i] = 0x00;
            other.textureData[i + 1] = 0x7C; // red
        }
        painter.setArt(&other);
        QCOMPARE(draw(painter, 2, 0, 20).pixelColor(13, 13), expectedColour(0x7C00));
        // Another cell size decodes again at that size.
        const QImage bigger = draw(painter, 2, 0, 30);
        QCOMPARE(bigger.pixelColor(3 + 29, 3 + 29), expectedColour(0x7C00));
    }

    void cellsCutByTheImageEdgeAreClipped() {
        MapCellPainter painter = loadedPainter();
        QImage image(30, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        const PixelSurface surface = PixelSurface::of(image);
        QPainter p(&image);
        painter.drawCell(p, &surface, 2, 0, QRect(20, -10, 20, 20), false);
        painter.drawCell(p, &surface, 2, 0, QRect(-15, 25, 20, 20), false);
        p.end();
        QCOMPARE(image.pixelColor(25, 5), expectedColour(kBothTextureColour));
        QCOMPARE(image.pixelColor(2, 28), expectedColour(kBothTextureColour));
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::white));
    }

    void rowDrawingMatchesCellDrawing() {
        MapCellPainter painter = loadedPainter();
        CellBookmarks bookmarks;
        bookmarks[2] = CellBookmark{1, 0, true};
        painter.setBookmarks(&bookmarks);
        QImage byCell(100, 30, QImage::Format_RGB32);
        QImage byRow(100, 30, QImage::Format_RGB32);
        byCell.fill(Qt::white);
        byRow.fill(Qt::white);
        {
            const PixelSurface surface = PixelSurface::of(byCell);
            QPainter p(&byCell);
            for (int x = 0; x < 5; ++x)
                painter.drawCell(p, &surface, x, 0, QRect(x * 21, 2, 20, 20), x == 2);
        }
        {
            const PixelSurface surface = PixelSurface::of(byRow);
            QPainter p(&byRow);
            painter.drawRow(p, &surface, 0, 0, 4, QRect(0, 2, 20, 20), 21, 2);
        }
        QCOMPARE(byRow, byCell);
        // A row cut by both edges of the target draws the same visible pixels.
        QImage cutByCell(50, 30, QImage::Format_RGB32);
        QImage cutByRow(50, 30, QImage::Format_RGB32);
        cutByCell.fill(Qt::white);
        cutByRow.fill(Qt::white);
        {
            const PixelSurface surface = PixelSurface::of(cutByCell);
            QPainter p(&cutByCell);
            for (int x = 0; x < 5; ++x)
                painter.drawCell(p, &surface, x, 0, QRect(x * 21 - 8, 2, 20, 20), false);
        }
        {
            const PixelSurface surface = PixelSurface::of(cutByRow);
            QPainter p(&cutByRow);
            painter.drawRow(p, &surface, 0, 0, 4, QRect(-8, 2, 20, 20), 21, -1);
        }
        QCOMPARE(cutByRow, cutByCell);
        QCOMPARE(byRow.pixelColor(2 * 21, 2), kSelectionFrameColour);
        QCOMPARE(byRow.pixelColor(21 + 2, 2 + 20 - 15 + 1), kBookmarkLabelColour);
    }

    // The marker: a centred square of half the cell in the colour of the topmost static,
    // with a dark outline where there is room for one; every other pixel is the plain cell.
    void staticsMarkerIsACentredSquareInTheTopmostStaticsColour() {
        const tb::StaticsMap statics = makeStatics();
        const tb::StaticRadarColours colours = makeStaticColours();
        const QColor red = expectedColour(0x7C00);
        struct Case {
            int size;
            int markerFrom; // first marker pixel, inside the cell
            int markerSize;
            bool outlined;
        };
        for (const Case& c : {Case{45, 11, 22, true}, Case{5, 1, 2, false}}) {
            for (bool direct : {true, false}) {
                MapCellPainter painter = loadedPainter();
                const QImage plain = draw(painter, 1, 0, c.size, false, direct);
                painter.setStatics(&statics, &colours);
                // Statics given but the switch off: nothing changes.
                QCOMPARE(draw(painter, 1, 0, c.size, false, direct), plain);
                CellViewSwitches switches;
                switches.showStatics = true;
                painter.setSwitches(switches);
                const QImage marked = draw(painter, 1, 0, c.size, false, direct);
                const int first = 3 + c.markerFrom;
                const int last = first + c.markerSize - 1;
                for (int y = 0; y < marked.height(); ++y) {
                    for (int x = 0; x < marked.width(); ++x) {
                        const bool inMarker = x >= first && x <= last && y >= first && y <= last;
                        const bool onOutline = c.outlined && inMarker &&
                                               (x == first || x == last || y == first || y == last);
                        const QColor expected = !inMarker   ? plain.pixelColor(x, y)
                                                : onOutline ? kStaticsMarkerOutlineColour
                                                            : red;
                        if (marked.pixelColor(x, y) != expected)
                            QFAIL(qPrintable(QString("size %1 direct %2: pixel (%3, %4)")
                                                 .arg(c.size)
                                                 .arg(direct)
                                                 .arg(x)
                                                 .arg(y)));
                    }
                }
                // A cell without statics is left alone.
                MapCellPainter unmarked = loadedPainter();
                QCOMPARE(draw(painter, 2, 0, c.size, false, direct),
                         draw(unmarked, 2, 0, c.size, false, direct));
            }
        }
    }

    // The row lays the markers down scanline by scanline from per-row lists: it must mark
    // the same cells as the cell-by-cell drawing, across a block edge, on cells cut by any
    // edge of the target, and at the smallest cell sizes, where a marker is a single pixel.
    void rowMarkersMatchCellMarkers() {
        const tb::StaticsMap statics = makeStatics();
        const tb::StaticRadarColours colours = makeStaticColours();
        MapCellPainter painter = loadedPainter();
        painter.setStatics(&statics, &colours);
        CellViewSwitches switches;
        switches.showStatics = true;
        painter.setSwitches(switches);
        for (int size : {1, 2, 3, 5, 10, 20}) {
            // Columns 0..11 from x = -7, so the first cells are cut or off the target. The
            // narrower target ends inside the marker of cell 9 (the next block); the rows
            // are cut through their markers at the target's top and bottom.
            const QRect marker9 =
                MapCellPainter::staticsMarkerRect(QRect(9 * size - 7, 0, size, size));
            const int height = size + 4;
            // The widest target leaves white columns after the last cell.
            for (int width : {10 * size, marker9.left() + marker9.width() / 2, 12 * size}) {
                for (int top : {2, -size / 2, height - size / 2 - 1}) {
                    const QString where =
                        QString("size %1 width %2 top %3").arg(size).arg(width).arg(top);
                    QImage byCell(width, height, QImage::Format_RGB32);
                    QImage byRow(width, height, QImage::Format_RGB32);
                    byCell.fill(Qt::white);
                    byRow.fill(Qt::white);
                    {
                        const PixelSurface surface = PixelSurface::of(byCell);
                        QPainter p(&byCell);
                        for (int x = 0; x < 12; ++x)
                            painter.drawCell(p, &surface, x, 0,
                                             QRect(x * size - 7, top, size, size), false);
                    }
                    {
                        const PixelSurface surface = PixelSurface::of(byRow);
                        QPainter p(&byRow);
                        painter.drawRow(p, &surface, 0, 0, 11, QRect(-7, top, size, size), size,
                                        -1);
                    }
                    QVERIFY2(byRow == byCell, qPrintable(where));
                    // Cell 9 has its marker, in white.
                    const QPoint centre = marker9.center() + QPoint(0, top);
                    if (byRow.rect().contains(centre))
                        QVERIFY2(byRow.pixelColor(centre) == QColor(248, 248, 248),
                                 qPrintable(where));
                }
            }
        }
    }

    // Items with their art from ItemPainter::kMinArtCellSize on, markers below it; rows and
    // single cells alike, and edited statics drawn as they are after staticsEdited().
    void itemArtFromTheArtCellSizeOnMarkersBelow() {
        // Item pictures: 40 a green square as wide as a land tile, 41 a yellow one of half
        // that, 42 grey; static 40 (red marker) lies over 41 on cell (1, 0).
        tb::ArtFiles art = m_art;
        for (const auto& [id, side, colour] :
             {std::tuple{40, 44, 0x03E0}, {41, 22, 0x7FE0}, {42, 44, 0x4210}}) {
            tb::ItemImage image;
            image.width = image.height = side;
            image.pixels.assign(std::size_t(side * side),
                                std::uint16_t(colour | tb::ItemImage::kOpaque));
            addItemArt(art, id, image);
        }
        tb::StaticsMap statics = makeStatics();
        const tb::StaticRadarColours colours = makeStaticColours();
        MapCellPainter painter;
        painter.setMap(&m_map);
        painter.setArt(&art);
        painter.setStatics(&statics, &colours);
        CellViewSwitches switches;
        switches.showStatics = true;
        switches.itemArt = true;
        painter.setSwitches(switches);

        auto centreOf = [&](int size) {
            return draw(painter, 1, 0, size).pixelColor(3 + size / 2, 3 + size / 2);
        };
        QCOMPARE(centreOf(15), QColor(248, 0, 0)); // the marker, in radar red
        QCOMPARE(centreOf(16), QColor(0, 248, 0)); // item 40, drawn over 41
        QCOMPARE(centreOf(45), QColor(0, 248, 0));
        for (int size : {16, 45}) {
            QImage byCell(10 * size, size + 4, QImage::Format_RGB32);
            QImage byRow = byCell;
            {
                const PixelSurface surface = PixelSurface::of(byCell);
                QPainter p(&byCell);
                for (int x = 0; x < 12; ++x)
                    painter.drawCell(p, &surface, x, 0, QRect(x * size - 7, 2, size, size), false);
            }
            {
                const PixelSurface surface = PixelSurface::of(byRow);
                QPainter p(&byRow);
                painter.drawRow(p, &surface, 0, 0, 11, QRect(-7, 2, size, size), size, -1);
            }
            QVERIFY2(byRow == byCell, qPrintable(QString("size %1").arg(size)));
            // Cell 9 of the next block has item 42.
            QCOMPARE(byRow.pixelColor(9 * size - 7 + size / 2, 2 + size / 2),
                     QColor(128, 128, 128));
        }
        switches.itemArt = false;
        painter.setSwitches(switches);
        QCOMPARE(centreOf(45), QColor(248, 0, 0));

        // Item 40 goes: item 41 stands alone, bottom-centred, and its marker is blue.
        statics.setRecords(0, {{41, 1, 0, 2}, {42, 6, 0, 0}});
        painter.staticsEdited();
        QImage row(12 * 15, 15, QImage::Format_RGB32);
        {
            const PixelSurface surface = PixelSurface::of(row);
            QPainter p(&row);
            painter.drawRow(p, &surface, 0, 0, 11, QRect(0, 0, 15, 15), 15, -1);
        }
        QCOMPARE(row.pixelColor(15 + 7, 7), QColor(0, 0, 248));
        QCOMPARE(centreOf(15), QColor(0, 0, 248));
        switches.itemArt = true;
        painter.setSwitches(switches);
        const QImage cell = draw(painter, 1, 0, 45);
        QCOMPARE(cell.pixelColor(3 + 22, 3 + 44), QColor(248, 248, 0));
        QVERIFY(cell.pixelColor(3 + 22, 3 + 10) != QColor(248, 248, 0));
    }

    // Cells with items drawn from kept pictures (their land with the items over it) give the
    // pixels of every cell drawn anew: on the first repaint, when nothing is kept, the second,
    // which keeps them, and the third, which finds them; and after an item edit, which must
    // show. Over cells cut by each edge of the target, grid lines, a frame and a bookmark.
    void keptCellsWithItemsMatchCellsDrawnAnew() {
        // Items 40..43: triangles of four sizes and colours, their smoothed edges blended with
        // what lies under them; 44 has no art (the placeholder).
        tb::ArtFiles art = m_art;
        for (int n = 0; n < 4; ++n) {
            tb::ItemImage image;
            image.width = 14 + 10 * n;
            image.height = 60 - 12 * n;
            image.pixels.assign(std::size_t(image.width * image.height), 0);
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (std::abs(2 * x - image.width) * image.height <= (y + 1) * image.width)
                        image.pixels[std::size_t(y * image.width + x)] =
                            std::uint16_t(((0x1234 * (n + 1)) & 0x7FFF) | tb::ItemImage::kOpaque);
            addItemArt(art, 40 + n, image);
        }
        tb::MapImage map = m_map;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                map.setCell(x, y, {std::uint16_t((x * 3 + y) % 4), std::int8_t(x)});
        // Blocks (0, 0) and (1, 0): one to three items on four cells in five, some of equal z.
        const tb::MapVariant& v = ilshenar();
        StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        for (std::size_t block : {std::size_t(0), std::size_t(v.heightBlocks())}) {
            std::vector<StaticRec> records;
            for (int c = 0; c < 64; ++c)
                for (int k = 0; c % 5 != 0 && k <= c % 3; ++k)
                    records.push_back({std::uint16_t(40 + (c + k) % 5), std::uint8_t(c % 8),
                                       std::uint8_t(c / 8), std::int8_t(k == 1 ? 0 : c % 7)});
            pair.setBlock(block, records);
        }
        tb::StaticsMap statics(pair.index, pair.data, v.widthBlocks(), v.heightBlocks());
        CellBookmarks bookmarks;
        bookmarks[1] = CellBookmark{5, 3, true};
        CellViewSwitches switches;
        switches.showStatics = true;
        switches.itemArt = true;
        auto painterFor = [&](bool kept) {
            MapCellPainter painter;
            painter.setMap(&map);
            painter.setArt(&art);
            painter.setStatics(&statics, nullptr);
            painter.setSwitches(switches);
            painter.setBookmarks(&bookmarks);
            painter.setCacheEnabled(kept);
            return painter;
        };
        // Columns 0..11 and rows 0..7 at 45 pixels and a grid line of 1, from (-7, -20): the
        // first row and column are cut, and so are the last ones.
        auto repaint = [](MapCellPainter& painter) {
            QImage image(530, 330, QImage::Format_RGB32);
            image.fill(Qt::white);
            const PixelSurface surface = PixelSurface::of(image);
            QPainter p(&image);
            for (int row = 0; row < 8; ++row)
                painter.drawRow(p, &surface, row, 0, 11, QRect(-7, row * 46 - 20, 45, 45), 46,
                                row == 2 ? 3 : -1);
            return image;
        };
        MapCellPainter kept = painterFor(true);
        MapCellPainter anew = painterFor(false);
        QImage before;
        for (int n = 0; n < 3; ++n) {
            before = repaint(kept);
            QCOMPARE(before, repaint(anew));
        }
        QVERIFY(kept.composedCellsKept() > 0);
        QCOMPARE(before.pixelColor(3 * 46 - 7, 2 * 46 - 20), kSelectionFrameColour);

        // Cell (3, 1) gets item 43 alone instead of its own.
        std::vector<tb::StaticRecord> records = statics.records(0);
        std::erase_if(records, [](const tb::StaticRecord& r) { return r.x == 3 && r.y == 1; });
        records.push_back({43, 3, 1, 0, 0});
        statics.setRecords(0, records);
        kept.staticsEdited();
        anew.staticsEdited();
        for (int n = 0; n < 2; ++n) {
            const QImage after = repaint(kept);
            QCOMPARE(after, repaint(anew));
            QVERIFY(after != before);
        }
    }

    // Pictures of cells with items: kept from the second time a cell is asked for, told apart
    // by land, ids and their order, never more than the budget holds, never reused while the
    // row being drawn shows them, and a picture found again outlasting one seen once.
    void composedCellsKeptFromTheSecondSightWithinTheBudget() {
        constexpr std::size_t kPicture = (4 * 4 + 8) * sizeof(QRgb);
        ComposedCellCache cache(3 * kPicture);
        cache.setSize(4, 4, 8);
        QCOMPARE(cache.capacity(), std::size_t(3));
        const QRgb lands[2] = {};
        auto items = [](std::vector<std::uint16_t> ids) {
            std::vector<tb::StaticRecord> records(ids.size());
            for (std::size_t i = 0; i < ids.size(); ++i)
                records[i].id = ids[i];
            return records;
        };
        // The same items in another order, and the same item on another land, are others.
        const std::vector<tb::StaticRecord> sets[4] = {items({1}), items({1, 2}), items({2, 1}),
                                                       items({1})};
        auto find = [&](int n) { return cache.find(&lands[n == 3 ? 1 : 0], sets[n]); };

        cache.beginRow();
        for (int n = 0; n < 4; ++n)
            QVERIFY(!find(n).pixels);
        cache.beginRow();
        QRgb* pictures[3] = {};
        for (int n = 0; n < 3; ++n) {
            const ComposedCellCache::Picture picture = find(n);
            QVERIFY(picture.pixels && !picture.composed);
            pictures[n] = picture.pixels;
        }
        QVERIFY(pictures[0] != pictures[1] && pictures[1] != pictures[2]);
        // Full, and every picture is shown by this row: the fourth gets none.
        QVERIFY(!find(3).pixels);
        QCOMPARE(find(0).pixels, pictures[0]);
        QCOMPARE(cache.kept(), std::size_t(3));

        cache.beginRow();
        QVERIFY(find(0).composed);
        cache.beginRow();
        const ComposedCellCache::Picture fourth = find(3);
        QVERIFY(fourth.pixels && !fourth.composed);
        QVERIFY(fourth.pixels != pictures[0]);
        QCOMPARE(cache.kept(), std::size_t(3));
        cache.beginRow();
        QVERIFY(find(0).composed);

        // Another size drops them all.
        cache.setSize(5, 5, 8);
        QCOMPARE(cache.kept(), std::size_t(0));
        cache.beginRow();
        QVERIFY(!find(0).pixels);
    }

    void uncachedDrawingGivesTheSamePixels() {
        MapCellPainter cached = loadedPainter();
        MapCellPainter fresh = loadedPainter();
        fresh.setCacheEnabled(false);
        for (int x = 0; x < 4; ++x)
            QCOMPARE(draw(fresh, x, 0, 25), draw(cached, x, 0, 25));
    }
};

QTEST_MAIN(MapCellPainterTest)
#include "test_map_cell_painter.moc"
