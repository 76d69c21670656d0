// Painting in the editor window: the tools of the top bar on a loaded test map, the
// altitude controls, undo with Ctrl+Z and the Edit menu, the brush box, the right-click
// pick and the edges of the map.

#include "PaintFixture.h"

#include "app/shell/RadioGroup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <set>

using namespace tbtest;

namespace {

enum AltitudeMode { AddZ = 0, SubtrZ = 1, SetToZ = 2, OnlyChangeTile = 3 };
enum DrawMode { DontDraw = 0, SelectedTile = 1, AltitudeOnly = 2 };

void setModes(tbapp::MapEditorWindow& form, int altitude, const QString& z, int draw) {
    tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(altitude);
    tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText(z);
    tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(draw);
}

// The palette tile through "Go" in the full palette.
void choosePaletteTile(tbapp::MapEditorWindow& form, const QString& hex) {
    tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(false);
    tbtest::ui<QLineEdit>(form, "edFindID")->setText(hex);
    tbtest::ui<QPushButton>(form, "btnFind")->click();
}

tb::UndoRow undoRow(int x, int y, int altitude, int tile) {
    return {x, y, std::int8_t(altitude), std::uint16_t(tile)};
}

} // namespace

class PaintingTest : public QObject {
    Q_OBJECT

private slots:
    void paintSquareOfSizeOneAndThreeRecordsColumnByColumn() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        choosePaletteTile(form, "2");
        setModes(form, OnlyChangeTile, "0", SelectedTile);
        QCOMPARE(form.editorState().paletteTile, 2);

        tb::MapDocument::Edit(f.map()).write(20, 30, {7, 12});
        const tb::MapCell right = f.cell(21, 30);
        const tb::MapCell below = f.cell(20, 31);
        f.click(20, 30);
        QCOMPARE(f.cell(20, 30), (tb::MapCell{2, 12}));
        QCOMPARE(form.document().undoList().rows(),
                 (std::vector<tb::UndoRow>{undoRow(20, 30, 12, 7)}));
        QCOMPARE(f.cell(21, 30), right);
        QCOMPARE(f.cell(20, 31), below);

        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(3);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "BrushSizeEdt")->text(), QString("3"));
        for (int x = 40; x < 44; ++x)
            for (int y = 50; y < 54; ++y)
                tb::MapDocument::Edit(f.map()).write(x, y,
                                                     {std::uint16_t(100 + x), std::int8_t(y - 50)});
        f.click(40, 50);
        std::vector<tb::UndoRow> expected{undoRow(20, 30, 12, 7)};
        for (int x = 40; x < 43; ++x)
            for (int y = 50; y < 53; ++y) {
                expected.push_back(undoRow(x, y, y - 50, 100 + x));
                QCOMPARE(f.cell(x, y), (tb::MapCell{2, std::int8_t(y - 50)}));
            }
        QCOMPARE(form.document().undoList().rows(), expected);
        QCOMPARE(f.cell(43, 50), (tb::MapCell{143, 0}));
        QCOMPARE(f.cell(40, 53), (tb::MapCell{140, 3}));

        // Ctrl+Z in the map view, then the Edit menu entry: the last painted cells first.
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setFocus();
        QTest::keyClick(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid"), Qt::Key_Z,
                        Qt::ControlModifier);
        QCOMPARE(f.cell(42, 52), (tb::MapCell{142, 2}));
        QCOMPARE(f.cell(42, 51), (tb::MapCell{2, 1}));
        QCOMPARE(form.document().undoList().size(), std::size_t(9));
        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QCOMPARE(f.cell(42, 51), (tb::MapCell{142, 1}));
        QCOMPARE(tbtest::ui<QAction>(form, "TlUndo")->text(), QString("Undo          CTRL+Z"));
        QVERIFY(tbtest::ui<QAction>(form, "TlUndo")->shortcut().isEmpty());
        for (int i = 0; i < 20; ++i) // past the last row: nothing more happens
            tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QVERIFY(form.document().undoList().empty());
        QCOMPARE(f.cell(20, 30), (tb::MapCell{7, 12}));
        QCOMPARE(f.cell(40, 50), (tb::MapCell{140, 0}));
        QVERIFY(f.messages.isEmpty());
    }

    void altitudeModesClampInFullIntegers() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        tb::MapDocument::Edit(f.map()).write(60, 60, {5, 120});
        setModes(form, AddZ, "10", AltitudeOnly);
        f.click(60, 60);
        QCOMPARE(f.cell(60, 60), (tb::MapCell{5, 127}));

        tb::MapDocument::Edit(f.map()).write(61, 60, {5, -125});
        setModes(form, SubtrZ, "10", AltitudeOnly);
        f.click(61, 60);
        QCOMPARE(f.cell(61, 60), (tb::MapCell{5, -128}));

        tb::MapDocument::Edit(f.map()).write(62, 60, {5, 100});
        setModes(form, SetToZ, "-5", AltitudeOnly);
        f.click(62, 60);
        QCOMPARE(f.cell(62, 60), (tb::MapCell{5, -5}));

        // "Only Change Tile" with "Altitude only" writes the cell back unchanged but is
        // still recorded.
        tb::MapDocument::Edit(f.map()).write(63, 60, {9, 44});
        setModes(form, OnlyChangeTile, "100", AltitudeOnly);
        const std::size_t rows = form.document().undoList().size();
        f.click(63, 60);
        QCOMPARE(f.cell(63, 60), (tb::MapCell{9, 44}));
        QCOMPARE(form.document().undoList().size(), rows + 1);
        QCOMPARE(form.document().undoList().rows().back(), undoRow(63, 60, 44, 9));
    }

    void randomAltitudeStaysWithinItsRangeAndNeverWraps() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        tbtest::ui<QCheckBox>(form, "cbAddRAl")->setChecked(true);
        tbtest::ui<QSpinBox>(form, "udRValue")->setValue(2);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "edRauschen")->text(), QString("2"));
        tbtest::ui<QLineEdit>(form, "edRauschen")
            ->setText("1"); // typed values are used as they stand
        setModes(form, SetToZ, "0", AltitudeOnly);
        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(9);
        std::set<int> seen;
        for (int x = 100; x < 136; x += 9) {
            f.click(x, 100);
            for (int i = 0; i < 9; ++i)
                for (int j = 0; j < 9; ++j) {
                    const int altitude = f.cell(x + i, 100 + j).altitude;
                    QVERIFY2(altitude >= -1 && altitude <= 1,
                             qPrintable(QString::number(altitude)));
                    seen.insert(altitude);
                }
        }
        QCOMPARE(seen, (std::set<int>{-1, 0, 1}));

        // Near the top of the range the offset is added after the clamp and clamped again.
        tbtest::ui<QLineEdit>(form, "edRauschen")->setText("10");
        setModes(form, SetToZ, "127", AltitudeOnly);
        seen.clear();
        for (int x = 200; x < 236; x += 9) {
            f.click(x, 100);
            for (int i = 0; i < 9; ++i)
                for (int j = 0; j < 9; ++j)
                    seen.insert(f.cell(x + i, 100 + j).altitude);
        }
        QVERIFY(*seen.begin() >= 117);
        QCOMPARE(*seen.rbegin(), 127);
        QVERIFY(seen.size() > 5);

        // A range that is no number ends the event with the parser's message.
        tbtest::ui<QLineEdit>(form, "edRauschen")->setText("abc");
        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(1);
        tb::MapDocument::Edit(f.map()).write(300, 300, {4, 4});
        f.click(300, 300);
        QCOMPARE(f.cell(300, 300), (tb::MapCell{4, 4}));
        QCOMPARE(f.messages, QStringList{"'abc' is not a valid integer value"});
    }

    void zOutOfRangeAndTheKeyFilter() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        setModes(form, SetToZ, "200", AltitudeOnly);
        tb::MapDocument::Edit(f.map()).write(10, 10, {3, 3});
        f.click(10, 10);
        QCOMPARE(f.messages, QStringList{"Z must be between -128 to 127!"});
        QCOMPARE(tbtest::ui<QLineEdit>(form, "ZValueEdit")->text(), QString("0"));
        QCOMPARE(f.cell(10, 10), (tb::MapCell{3, 3}));
        QVERIFY(form.document().undoList().empty());
        // The next event uses 0.
        f.click(10, 10);
        QCOMPARE(f.cell(10, 10), (tb::MapCell{3, 0}));

        // Only backspace, "-" and digits get into the box; the status bar follows each key.
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->clear();
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setFocus();
        QTest::keyClicks(tbtest::ui<QLineEdit>(form, "ZValueEdit"), "a-1x2.");
        QCOMPARE(tbtest::ui<QLineEdit>(form, "ZValueEdit")->text(), QString("-12"));
        QCOMPARE(tbtest::ui<QSpinBox>(form, "XValueUpDown")->value(), -12);
        QVERIFY(tbtest::statusText(form, 1).contains("-12"));
        QTest::keyClick(tbtest::ui<QLineEdit>(form, "ZValueEdit"), Qt::Key_Backspace);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "ZValueEdit")->text(), QString("-1"));
        tbtest::ui<QSpinBox>(form, "XValueUpDown")->setValue(7);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "ZValueEdit")->text(), QString("7"));

        // A lone "-" is no integer: the parser's message, nothing changed.
        f.messages.clear();
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("-");
        f.click(11, 10);
        QCOMPARE(f.messages, QStringList{"'-' is not a valid integer value"});
    }

    void fillOrderWrongDirectionAndDontDraw() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        choosePaletteTile(form, "3");
        setModes(form, OnlyChangeTile, "0", SelectedTile);
        tbtest::ui<QToolButton>(form, "btnRectFill")->setChecked(true);
        f.click(10, 10);
        QVERIFY(form.document().undoList().empty());
        QVERIFY(form.mapPainter().fillPending());
        f.click(12, 11);
        std::vector<std::pair<int, int>> order;
        for (const tb::UndoRow& row : form.document().undoList().rows())
            order.emplace_back(row.x, row.y);
        QCOMPARE(order, (std::vector<std::pair<int, int>>{
                            {10, 10}, {10, 11}, {11, 10}, {11, 11}, {12, 10}, {12, 11}}));
        for (const auto& [x, y] : order)
            QCOMPARE(f.cell(x, y).tileId, std::uint16_t(3));
        QVERIFY(!form.mapPainter().fillPending());

        // A second corner left of the first paints nothing and ends the fill.
        f.click(20, 20);
        f.click(19, 21);
        QCOMPARE(form.document().undoList().size(), std::size_t(6));
        QVERIFY(!form.mapPainter().fillPending());
        f.click(30, 30);
        QVERIFY(form.mapPainter().fillPending());
        QCOMPARE(form.mapPainter().fillCorner1().x, 30);
        QCOMPARE(form.mapPainter().fillCorner1().y, 30);
        // Switching tools keeps the pending corner.
        tbtest::ui<QToolButton>(form, "btnDefault")->setChecked(true);
        tbtest::ui<QToolButton>(form, "btnRectFill")->setChecked(true);
        QVERIFY(form.mapPainter().fillPending());
        f.click(30, 30);
        QCOMPARE(f.cell(30, 30).tileId, std::uint16_t(3));

        // Fill with "Don't draw" and "Add Z" raises the altitudes and keeps the tiles.
        for (int x = 50; x < 52; ++x)
            for (int y = 50; y < 52; ++y)
                tb::MapDocument::Edit(f.map()).write(x, y, {9, 1});
        setModes(form, AddZ, "4", DontDraw);
        f.click(50, 50);
        f.click(51, 51);
        for (int x = 50; x < 52; ++x)
            for (int y = 50; y < 52; ++y)
                QCOMPARE(f.cell(x, y), (tb::MapCell{9, 5}));

        // The Paint tool with "Don't draw" changes and records nothing.
        tbtest::ui<QToolButton>(form, "btnDefault")->setChecked(true);
        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(3);
        const std::size_t rows = form.document().undoList().size();
        f.click(50, 50);
        QCOMPARE(form.document().undoList().size(), rows);
        QCOMPARE(f.cell(50, 50), (tb::MapCell{9, 5}));
    }

    void stampsAndBrushesRecordNoUndo() {
        PaintFixture f;
        writeText(f.appDir / "brushes" / "line.brs", "1,2,$003F\r\n");
        writeText(f.appDir / "brushes" / "pair.brs", "0,0,467\r\nbad line\r\n2,0,$01D5\r\n");
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::ui<QComboBox>(form, "cbCustomBrushes")->count(), 2);
        QCOMPARE(tbtest::ui<QComboBox>(form, "cbCustomBrushes")->currentText(),
                 QString()); // nothing chosen yet
        setModes(form, OnlyChangeTile, "0", DontDraw);

        // An earlier Paint change, so that a stray row would show up after it.
        choosePaletteTile(form, "2");
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(SelectedTile);
        f.click(5, 5);
        QCOMPARE(form.document().undoList().size(), std::size_t(1));

        tbtest::ui<QToolButton>(form, QString("btnHoehle%1").arg((4) + 1))
            ->setChecked(true); // btnHoehle5: the whole frame
        tb::MapDocument::Edit(f.map()).write(100, 200, {1, 9});
        f.click(100, 200);
        QCOMPARE(f.cell(100, 200), (tb::MapCell{467, 9}));
        QCOMPARE(f.cell(101, 200).tileId, std::uint16_t(468));
        QCOMPARE(f.cell(101, 201).tileId, std::uint16_t(475));
        QCOMPARE(f.cell(102, 202).tileId, std::uint16_t(471));
        QCOMPARE(form.document().undoList().size(), std::size_t(1));

        tbtest::ui<QToolButton>(form, QString("btnHoehle%1").arg((9) + 1))
            ->setChecked(true); // btnHoehle10: left piece only
        tb::MapDocument::Edit(f.map()).write(300, 300, {1, 1});
        tb::MapDocument::Edit(f.map()).write(301, 300, {1, 1});
        f.click(300, 300);
        QCOMPARE(f.cell(300, 300).tileId, std::uint16_t(474));
        QCOMPARE(f.cell(301, 300).tileId, std::uint16_t(1));

        tbtest::ui<QToolButton>(form, "btnCustomBrush")->setChecked(true);
        tbtest::ui<QComboBox>(form, "cbCustomBrushes")->setCurrentText("line");
        tb::MapDocument::Edit(f.map()).write(51, 62, {1, -3});
        tb::MapDocument::Edit(f.map()).write(50, 60, {1, 1});
        f.click(50, 60);
        QCOMPARE(f.cell(51, 62), (tb::MapCell{0x3F, -3}));
        QCOMPARE(f.cell(50, 60), (tb::MapCell{1, 1}));
        QCOMPARE(form.document().undoList().size(), std::size_t(1));

        // Decimal ids and a line that is no brush cell, which is skipped.
        tbtest::ui<QComboBox>(form, "cbCustomBrushes")
            ->setCurrentIndex(tbtest::ui<QComboBox>(form, "cbCustomBrushes")->findText("pair"));
        f.click(70, 70);
        QCOMPARE(f.cell(70, 70).tileId, std::uint16_t(467));
        QCOMPARE(f.cell(72, 70).tileId, std::uint16_t(469));
        QCOMPARE(form.editorState().brush.size(), std::size_t(2));

        // Undo takes back the Paint change, not a stamp.
        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QCOMPARE(f.cell(5, 5).tileId, std::uint16_t(0));
        QCOMPARE(f.cell(100, 200).tileId, std::uint16_t(467));

        // A name without a file: the file error, and the brush stays empty.
        QVERIFY(f.messages.isEmpty());
        tbtest::ui<QComboBox>(form, "cbCustomBrushes")->setCurrentText("nosuch");
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(form.editorState().brush.empty());
        tb::MapDocument::Edit(f.map()).write(80, 80, {6, 6});
        f.click(79, 79);
        QCOMPARE(f.cell(80, 80), (tb::MapCell{6, 6}));
    }

    void groupsPaintRandomIdsOfTheGroup() {
        PaintFixture f;
        writeText(f.appDir / "tilelist.xml",
                  "<?xml version=\"1.0\"?>\r\n<TileList>\r\n<Tile><Name>Grass</Name>"
                  "<TileId>$0003</TileId><TileId>$0004</TileId></Tile>\r\n"
                  "<Tile><Name>Empty</Name></Tile>\r\n</TileList>\r\n");
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->count(), 5);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->itemText(3),
                 QString("Grass"));
        setModes(form, OnlyChangeTile, "0", 3);
        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(9);
        f.click(400, 400);
        std::set<int> tiles;
        for (int i = 0; i < 9; ++i)
            for (int j = 0; j < 9; ++j)
                tiles.insert(f.cell(400 + i, 400 + j).tileId);
        QCOMPARE(tiles, (std::set<int>{3, 4}));

        // A group without ids: the event ends with a message at the first cell.
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(4);
        tb::MapDocument::Edit(f.map()).write(500, 500, {8, 8});
        f.click(500, 500);
        QCOMPARE(f.cell(500, 500), (tb::MapCell{8, 8}));
        QCOMPARE(f.messages.size(), 1);
    }

    // Texts are read when typed or loaded, but a bad one is reported only by the click that
    // needs its number, and then at the cell that needs it.
    void badTextsFailTheClickThatUsesThem() {
        PaintFixture f;
        writeText(f.appDir / "tilelist.xml",
                  "<?xml version=\"1.0\"?>\r\n<TileList>\r\n"
                  "<Tile><Name>Words</Name><TileId>grass</TileId></Tile>\r\n"
                  "<Tile><Name>Big</Name><TileId>$10000</TileId></Tile>\r\n</TileList>\r\n");
        tbapp::MapEditorWindow& form = f.open();
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(AddZ);
        auto* zEdit = tbtest::ui<QLineEdit>(form, "ZValueEdit");
        zEdit->clear();
        zEdit->setFocus();
        QTest::keyClicks(zEdit, "-");
        tbtest::ui<QLineEdit>(form, "edRauschen")->setText("abc");
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(3);
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(4);
        QVERIFY(f.messages.isEmpty());
        // The status bar names Z as typed.
        QVERIFY(tbtest::statusText(form, 1).startsWith("Selected mode: Add - to current altitude"));

        tb::MapDocument::Edit(f.map()).write(10, 10, {5, 5});
        f.click(10, 10);
        QCOMPARE(f.messages, QStringList{"'-' is not a valid integer value"});
        QVERIFY(form.document().undoList().empty());

        // The range is not needed while "Add random altitude" is off.
        setModes(form, SetToZ, "2", AltitudeOnly);
        f.messages.clear();
        f.click(10, 10);
        QCOMPARE(f.cell(10, 10), (tb::MapCell{5, 2}));
        QVERIFY(f.messages.isEmpty());
        tbtest::ui<QCheckBox>(form, "cbAddRAl")->setChecked(true);
        f.click(11, 10);
        QCOMPARE(f.messages, QStringList{"'abc' is not a valid integer value"});
        tbtest::ui<QCheckBox>(form, "cbAddRAl")->setChecked(false);

        // Group ids fail when picked: the event ends at that cell.
        f.messages.clear();
        for (const int group : {3, 4}) {
            tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(group);
            tb::MapDocument::Edit(f.map()).write(20, 20, {7, 7});
            f.click(20, 20);
            QCOMPARE(f.cell(20, 20), (tb::MapCell{7, 7}));
        }
        QCOMPARE(f.messages,
                 (QStringList{"'grass' is not a valid integer value", "Range check error"}));
    }

    void editsAtTheRightAndBottomEdges() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->colCount(), 2304);
        choosePaletteTile(form, "2");
        setModes(form, OnlyChangeTile, "0", SelectedTile);
        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(3);
        const tb::MapCell before = f.cell(2302, 1598);
        const tb::MapCell corner = f.cell(2303, 1599);
        f.click(2302, 1598);
        QCOMPARE(form.document().undoList().size(), std::size_t(4));
        QCOMPARE(f.cell(2303, 1599).tileId, std::uint16_t(2));
        QCOMPARE(f.cell(2302, 1598).tileId, std::uint16_t(2));

        tbtest::ui<QToolButton>(form, QString("btnHoehle%1").arg((4) + 1))->setChecked(true);
        f.click(2303, 1599);
        QCOMPARE(f.cell(2303, 1599).tileId, std::uint16_t(467));
        QCOMPARE(form.document().undoList().size(), std::size_t(4));

        tbtest::ui<QToolButton>(form, "btnRectFill")->setChecked(true);
        setModes(form, SetToZ, "33", AltitudeOnly);
        f.click(2301, 1597);
        f.click(2303, 1599);
        QCOMPARE(form.document().undoList().size(), std::size_t(4 + 9));
        QCOMPARE(f.cell(2303, 1599), (tb::MapCell{467, 33}));
        QVERIFY(f.messages.isEmpty());

        // Undo walks the edge cells back to the values from before the Paint square.
        for (int i = 0; i < 9; ++i)
            tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QCOMPARE(f.cell(2303, 1599).tileId, std::uint16_t(467)); // the fill is undone
        for (int i = 0; i < 4; ++i)
            tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QCOMPARE(f.cell(2303, 1599), corner);
        QCOMPARE(f.cell(2302, 1598), before);
        QVERIFY(form.document().undoList().empty());
    }

    void draggingWithTheFillToolAlternatesCornersAndFills() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        setModes(form, SetToZ, "9", AltitudeOnly);
        tbtest::ui<QToolButton>(form, "btnRectFill")->setChecked(true);
        tbapp::DrawGrid* grid = tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid");
        grid->setLeftCol(0);
        grid->setTopRow(0);
        QWidget* view = grid->viewport();
        auto at = [&](int x, int y) { return grid->cellRect(x, y).center(); };
        auto moveHeld = [&](int x, int y) {
            QMouseEvent move(QEvent::MouseMove, at(x, y), view->mapToGlobal(at(x, y)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view, &move);
        };
        // Press on (1, 1): first corner; enter (2, 2): fill; enter (3, 2): first corner;
        // enter (3, 3): fill of one column.
        QTest::mousePress(view, Qt::LeftButton, {}, at(1, 1));
        QVERIFY(form.mapPainter().fillPending());
        moveHeld(2, 2);
        QCOMPARE(form.document().undoList().size(), std::size_t(4));
        moveHeld(3, 2);
        QVERIFY(form.mapPainter().fillPending());
        moveHeld(3, 3);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(3, 3));
        QCOMPARE(form.document().undoList().size(), std::size_t(6));
        for (auto [x, y] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 2}, {3, 3}})
            QCOMPARE(int(f.cell(x, y).altitude), 9);
        QVERIFY(!form.mapPainter().fillPending());

        // With the Paint tool every cell entered is painted once.
        tbtest::ui<QToolButton>(form, "btnDefault")->setChecked(true);
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("-7");
        QTest::mousePress(view, Qt::LeftButton, {}, at(5, 1));
        moveHeld(6, 1);
        moveHeld(7, 1);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(7, 1));
        QCOMPARE(form.document().undoList().size(), std::size_t(9));
        for (int x = 5; x <= 7; ++x)
            QCOMPARE(int(f.cell(x, 1).altitude), -7);
    }

    void noMapLoadedPaintsNothing() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open(false);
        QVERIFY(!form.mapLoaded());
        for (QToolButton* tool :
             {tbtest::ui<QToolButton>(form, "btnDefault"),
              tbtest::ui<QToolButton>(form, "btnRectFill"),
              tbtest::ui<QToolButton>(form, QString("btnHoehle%1").arg((4) + 1)),
              tbtest::ui<QToolButton>(form, "btnCustomBrush")}) {
            tool->setChecked(true);
            f.click(3, 3);
            f.click(4, 4);
        }
        QVERIFY(form.document().undoList().empty());
        QVERIFY(f.messages.isEmpty());
    }

    void rightClickPicksTheTileUnderThePointer() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(DontDraw);
        auto rightClick = [&](int x, int y) {
            tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setLeftCol(0);
            tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setTopRow(0);
            QTest::mouseClick(
                tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->viewport(), Qt::RightButton, {},
                tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->cellRect(x, y).center());
        };
        // Sorted palette (2, $10, 3): the land tile 1 of cell (1, 0) is not in it.
        tbtest::ui<QLineEdit>(form, "edFindID")->setText("10");
        tbtest::ui<QPushButton>(form, "btnFind")->click();
        QCOMPARE(form.editorState().paletteTile, 0x10);
        rightClick(1, 0);
        QCOMPARE(form.editorState().paletteTile, 0x10);
        QCOMPARE(tbtest::palette(form).markedRow(true), 1);
        // Cell (2, 0) holds tile 3, the third row.
        rightClick(2, 0);
        QCOMPARE(form.editorState().paletteTile, 3);
        QCOMPARE(tbtest::palette(form).markedRow(true), 2);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentIndex(),
                 int(DontDraw));
        // The right button paints nothing and leaves the current cell.
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), 0);
        QVERIFY(form.document().undoList().empty());

        // Full palette: the tile's own row.
        tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(false);
        rightClick(1, 0);
        QCOMPARE(form.editorState().paletteTile, 1);
        QCOMPARE(tbtest::palette(form).markedRow(false), 1);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "TextureDrawGrid")->topRow(), 1);
        // Painting in mode 1 uses the picked tile.
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(SelectedTile);
        f.click(30, 30);
        QCOMPARE(f.cell(30, 30).tileId, std::uint16_t(1));
    }
};

QTEST_MAIN(PaintingTest)
#include "test_painting.moc"
