// The main window's navigation: the pointer and the status bar, the jump, the arrow keys
// and their key navigation flag, the ten bookmarks with their chords, labels and file, and
// the Insert key that hands the current cell to the patch editor.

#include "MainWindowFixture.h"

#include "app/patch/PatchEditorWindow.h"
#include "app/shell/RadioGroup.h"

#include "editor/Bookmarks.h"

#include <QComboBox>
#include <QTableWidget>

#include <algorithm>

using namespace tbtest;
namespace fs = std::filesystem;

namespace {

// True when the navy bookmark label shows in the cell's lower left corner.
bool labelShown(tbapp::DrawGrid& grid, int col, int row) {
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    const QRect rect = grid.cellRect(col, row);
    grid.renderCells(image, rect);
    return image.pixelColor(rect.left() + 2, rect.top() + rect.height() - 15 + 1) ==
           tbrender::kBookmarkLabelColour;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Altitude only, set to 7, brush size 1: a painting click sets the cell's altitude to 7.
void setAltitudePainting(tbapp::MapEditorWindow& form) {
    tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(2);
    tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("7");
    tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT

private slots:
    void jumpClampsToTheGrid() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        f.jump(-5, 999999);
        QCOMPARE(f.grid().col(), 0);
        QCOMPARE(f.grid().row(), 1599);
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
        // A box without a number moves nothing and keeps the selection handler.
        tbtest::ui<QLineEdit>(form, "XJumpEdit")->setText("abc");
        tbtest::ui<QPushButton>(form, "CoordGoBtn")->click();
        QCOMPARE(f.messages, QStringList({"'abc' is not a valid integer value"}));
        QCOMPARE(f.grid().col(), 0);
        QCOMPARE(f.grid().row(), 1599);
        QVERIFY(bool(f.grid().selectCellHandler()));
    }

    // The pointer names the map's cell under it, with its altitude and tile, and makes it
    // the current one; over no cell of the map (beside every cell, or past the map's last
    // column on a wider grid) it names none.
    void pointerNamesOnlyTheMapsCells() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        // Moved through the window system, so the view must track a pointer with no button.
        QTest::mouseMove(f.grid().viewport(), f.grid().cellRect(0, 1).center());
        QCOMPARE(f.status(), QString("X=0 - Y=1 - Altitude=-5 - Tile=00 01"));
        QTest::mouseMove(f.grid().viewport(), f.grid().cellRect(2, 0).center());
        QCOMPARE(f.status(), QString("X=2 - Y=0 - Altitude=20 - Tile=00 03"));
        QCOMPARE(form.currentX(), 2);
        QCOMPARE(form.currentY(), 0);
        f.movePointer(f.grid().cellRect(3, 2).center());
        QCOMPARE(f.status(), QString("X=3 - Y=2 - Altitude=1 - Tile=00 00"));
        QCOMPARE(form.currentX(), 3);
        QCOMPARE(form.currentY(), 2);
        // Outside every cell: no cell.
        f.movePointer(QPoint(-4, f.grid().cellRect(0, 2).center().y()));
        QCOMPARE(f.status(), QString());
        // A grid wider and taller than the identified map: the size label bounds the cell.
        f.grid().setColCount(6144);
        f.grid().setRowCount(4096);
        f.grid().setLeftCol(2300);
        f.grid().setTopRow(1595);
        QCOMPARE(f.grid().leftCol(), 2300);
        f.movePointer(f.grid().cellRect(2303, 1599).center());
        QVERIFY(f.status().startsWith("X=2303 - Y=1599 - Altitude="));
        f.movePointer(f.grid().cellRect(2310, 1600).center());
        QCOMPARE(f.status(), QString());
        QCOMPARE(form.currentX(), 2303); // the last cell of the map stays the current one
        QCOMPARE(form.currentY(), 1599);
    }

    void arrowKeysScrollWithoutPainting() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        setAltitudePainting(form);
        f.grid().setFocus();
        const tb::MapCell before = form.loadedMap()->cell(1, 0);
        f.key(Qt::Key_Right); // the grid's own move selects (1, 0) and paints nothing
        QCOMPARE(f.grid().col(), 1);
        QCOMPARE(form.loadedMap()->cell(1, 0), before);
        // Left at the first visible column scrolls nothing but still sets the flag.
        f.key(Qt::Key_Left);
        f.key(Qt::Key_Left);
        QCOMPARE(f.grid().col(), 0);
        QCOMPARE(f.grid().leftCol(), 0);
        QVERIFY(form.mapPainter().keyNavigation());
        // So the next click paints nothing; the one after it paints.
        f.clickCell(3, 3);
        QCOMPARE(form.loadedMap()->cell(3, 3).altitude, std::int8_t(0));
        QVERIFY(!form.mapPainter().keyNavigation());
        f.clickCell(3, 3);
        QCOMPARE(form.loadedMap()->cell(3, 3).altitude, std::int8_t(7));

        // Away from the edges each key scrolls one step; with Ctrl too.
        f.jump(1000, 800);
        const int left = f.grid().leftCol();
        const int top = f.grid().topRow();
        f.key(Qt::Key_Right);
        QCOMPARE(f.grid().leftCol(), left + 1);
        f.key(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(f.grid().topRow(), top + 1);
        f.key(Qt::Key_Up);
        f.key(Qt::Key_Left);
        QCOMPARE(f.grid().leftCol(), left);
        QCOMPARE(f.grid().topRow(), top);
        QCOMPARE(form.loadedMap()->cell(1000, 800), makeTestMap().cell(1000, 800));

        // Page and Home keys move the selected cell as well, and paint nothing either.
        f.key(Qt::Key_PageDown);
        const int row = f.grid().row();
        QVERIFY(row > 800);
        QCOMPARE(form.loadedMap()->cell(1000, row), makeTestMap().cell(1000, row));
        f.key(Qt::Key_Home);
        QCOMPARE(f.grid().col(), 0);
        QCOMPARE(form.loadedMap()->cell(0, row), makeTestMap().cell(0, row));
    }

    void bookmarkChordsToggleAndRecall() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        f.grid().setFocus();
        f.jump(2, 1);
        f.key(Qt::Key_3, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(tbtest::mapView(form).bookmarks().at(3), (tb::Bookmark{2, 1, true}));
        QVERIFY(labelShown(f.grid(), 2, 1));
        QVERIFY(!labelShown(f.grid(), 3, 1));
        // The chord goes on to recall the bookmark just set.
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("2"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("1"));
        // A second press disables it again and stores the cell it was made on.
        f.key(Qt::Key_3, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(tbtest::mapView(form).bookmarks().at(3), (tb::Bookmark{2, 1, false}));
        QVERIFY(!labelShown(f.grid(), 2, 1));
        f.jump(5, 6);
        f.key(Qt::Key_3, Qt::ControlModifier | Qt::AltModifier);
        f.key(Qt::Key_3, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(tbtest::mapView(form).bookmarks().at(3), (tb::Bookmark{5, 6, false}));

        // Ctrl+N fills the jump boxes and jumps; a disabled bookmark does nothing.
        f.jump(1200, 900);
        f.key(Qt::Key_4, Qt::ControlModifier | Qt::AltModifier);
        f.jump(10, 20);
        f.key(Qt::Key_4, Qt::ControlModifier);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("1200"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("900"));
        QCOMPARE(f.grid().col(), 1200);
        QCOMPARE(f.grid().row(), 900);
        f.key(Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(f.grid().col(), 1200);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("1200"));
        // A digit without Ctrl is no chord.
        f.key(Qt::Key_5, Qt::AltModifier);
        QVERIFY(!tbtest::mapView(form).bookmarks().at(5).enabled);

        // The same recall from the jump boxes, which take no other key.
        f.jump(0, 0);
        tbtest::ui<QLineEdit>(form, "XJumpEdit")->setFocus();
        QTest::keyClick(tbtest::ui<QLineEdit>(form, "XJumpEdit"), Qt::Key_4, Qt::ControlModifier);
        QCOMPARE(f.grid().col(), 1200);
        QCOMPARE(f.grid().row(), 900);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("1200"));
        QTest::keyClick(tbtest::ui<QLineEdit>(form, "YJumpEdit"), Qt::Key_7);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("9007"));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    void bookmarkFileWrittenAtCloseAndReadAtCreation() {
        MainWindowFixture f;
        {
            tbapp::MapEditorWindow& form = f.openLoaded();
            f.grid().setFocus();
            f.jump(17, 1500);
            f.key(Qt::Key_0, Qt::ControlModifier | Qt::AltModifier);
            f.jump(2303, 3);
            f.key(Qt::Key_9, Qt::ControlModifier | Qt::AltModifier);
            form.close();
        }
        const std::string text = fileText(f.appDir / "bookmarklist.xml");
        QVERIFY(text.starts_with("<?xml version=\"1.0\" ?>\r\n<BookmarkList>\r\n"
                                 "  <Bookmark id=\"0\">\r\n    <Col id=\"0\">17</Col>\r\n"
                                 "    <Row id=\"0\">1500</Row>\r\n"
                                 "    <Enabled id=\"0\">True</Enabled>\r\n  </Bookmark>\r\n"
                                 "  <Bookmark id=\"1\">\r\n    <Col id=\"1\">0</Col>\r\n"));
        QVERIFY(text.ends_with("    <Col id=\"9\">2303</Col>\r\n    <Row id=\"9\">3</Row>\r\n"
                               "    <Enabled id=\"9\">True</Enabled>\r\n  </Bookmark>\r\n"
                               "</BookmarkList>\r\n"));
        QCOMPARE(int(std::count(text.begin(), text.end(), '\n')), 2 + 10 * 5 + 1);

        // The next window starts with the same ten entries and shows their labels.
        f.form.reset();
        tbapp::MapEditorWindow& again = f.openLoaded();
        QCOMPARE(tbtest::mapView(again).bookmarks().at(0), (tb::Bookmark{17, 1500, true}));
        QCOMPARE(tbtest::mapView(again).bookmarks().at(9), (tb::Bookmark{2303, 3, true}));
        for (int i = 1; i < 9; ++i)
            QCOMPARE(tbtest::mapView(again).bookmarks().at(i), tb::Bookmark{});
        f.jump(17, 1500);
        QVERIFY(labelShown(f.grid(), 17, 1500));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    // Like the other files beside the program, the bookmark file is found in any case, and
    // the close replaces that file rather than adding a second one.
    void bookmarkFileOfAnotherCaseIsReadAndReplaced() {
        MainWindowFixture f;
        writeText(f.appDir / "BookmarkList.XML",
                  "<BookmarkList><Bookmark><Col>4</Col><Row>5</Row><Enabled>True</Enabled>"
                  "</Bookmark></BookmarkList>");
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::mapView(form).bookmarks().at(0), (tb::Bookmark{4, 5, true}));
        form.close();
        QVERIFY(!fs::exists(f.appDir / "bookmarklist.xml") ||
                fs::equivalent(f.appDir / "bookmarklist.xml", f.appDir / "BookmarkList.XML"));
        QVERIFY(fileText(f.appDir / "BookmarkList.XML").starts_with("<?xml version=\"1.0\" ?>"));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    void bookmarkFileIsReadInFileOrder() {
        MainWindowFixture f;
        writeText(f.appDir / "bookmarklist.xml",
                  "<?xml version=\"1.0\" ?>\n<BookmarkList>\n"
                  "<Bookmark id=\"5\"><Col id=\"5\">50</Col><Row id=\"5\">55</Row>"
                  "<Enabled id=\"5\">True</Enabled></Bookmark>\n"
                  "<Bookmark id=\"0\"><Col id=\"0\">7</Col><Row id=\"0\">8</Row>"
                  "<Enabled id=\"0\">true</Enabled></Bookmark>\n</BookmarkList>\n");
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::mapView(form).bookmarks().at(0), (tb::Bookmark{50, 55, true}));
        QCOMPARE(tbtest::mapView(form).bookmarks().at(1),
                 (tb::Bookmark{7, 8, false})); // "true" is not "True"
        QCOMPARE(tbtest::mapView(form).bookmarks().at(5), tb::Bookmark{});
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    void badBookmarkFileIsReportedAndKeepsWhatWasRead() {
        MainWindowFixture f;
        writeText(f.appDir / "bookmarklist.xml",
                  "<BookmarkList><Bookmark><Col>4</Col><Row>5</Row><Enabled>True</Enabled>"
                  "</Bookmark><Bookmark><Col>x1</Col></Bookmark></BookmarkList>");
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(f.messages, QStringList({"'x1' is not a valid integer value"}));
        QCOMPARE(tbtest::mapView(form).bookmarks().at(0), (tb::Bookmark{4, 5, true}));
        QVERIFY(form.isVisible());
    }

    void unwritableBookmarkFileIsReportedAtClose() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        fs::create_directories(f.appDir / "bookmarklist.xml"); // a folder in its place
        form.close();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages[0].contains("bookmarklist.xml"));
    }

    void insertHandsTheCurrentCellToThePatchEditor() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow editor(form.applicationDir(), form, prompts, &form);
        form.setLongLivedWindows(&editor, nullptr);
        f.grid().setFocus();
        f.movePointer(f.grid().cellRect(0, 1).center());
        // Hidden editor, or no map: nothing.
        f.key(Qt::Key_Insert);
        editor.show();
        f.grid().setFocus();
        f.key(Qt::Key_Insert);
        QCOMPARE(tbtest::ui<QTableWidget>(editor, "Seznam")->rowCount(), 0);

        f.load();
        tb::MapDocument::Edit(form.document()).write(0, 1, tb::MapCell{467, -3});
        f.key(Qt::Key_Insert);
        QCOMPARE(tbtest::ui<QTableWidget>(editor, "Seznam")->rowCount(), 1);
        QStringList row;
        for (int c = 0; c < 4; ++c)
            row << tbtest::ui<QTableWidget>(editor, "Seznam")->item(0, c)->text();
        QCOMPARE(row, QStringList({"0", "1", "-3", "01 D3"}));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(f.status(), QString("X=0 - Y=1 - Altitude=-3 - Tile=01 D3"));

        // The same cell again is refused; another cell is added.
        f.key(Qt::Key_Insert);
        QCOMPARE(prompts.messages, QStringList({"This coords are on list!"}));
        QCOMPARE(tbtest::ui<QTableWidget>(editor, "Seznam")->rowCount(), 1);
        f.movePointer(f.grid().cellRect(2, 0).center());
        f.key(Qt::Key_Insert);
        QCOMPARE(tbtest::ui<QTableWidget>(editor, "Seznam")->rowCount(), 2);
        QCOMPARE(tbtest::ui<QTableWidget>(editor, "Seznam")->item(1, 3)->text(), QString("00 03"));
    }
};

QTEST_MAIN(NavigationTest)
#include "test_navigation.moc"
