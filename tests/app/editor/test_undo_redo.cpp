// Undo and redo in the editor window, a row or a stroke at a time, and what the map view
// shows afterwards: the screen is read back without a new paint, so a cell redrawn in the
// wrong place (or not at all) shows.

#include "PaintFixture.h"

#include "app/shell/RadioGroup.h"
#include "core/ArtFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

using namespace tbtest;

namespace {

// Paints with the land tile 1 from the full palette; altitudes kept.
void paintLandTile(tbapp::MapEditorWindow& form) {
    tbtest::ui<QCheckBox>(form, "cbSortet")->setChecked(false);
    tbtest::ui<QLineEdit>(form, "edFindID")->setText("1");
    tbtest::ui<QPushButton>(form, "btnFind")->click();
    tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(1);
}

void key(tbapp::MapEditorWindow& form, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid"), key, modifiers);
}

// A press on one cell of the map view, dragged through `more` (held), then released.
void drag(tbapp::MapEditorWindow& form, QPoint from, const QList<QPoint>& more) {
    tbapp::DrawGrid* grid = tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid");
    QWidget* view = grid->viewport();
    auto at = [&](QPoint cell) { return grid->cellRect(cell.x(), cell.y()).center(); };
    QTest::mousePress(view, Qt::LeftButton, {}, at(from));
    for (const QPoint& cell : more) {
        QMouseEvent move(QEvent::MouseMove, at(cell), view->mapToGlobal(at(cell)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &move);
    }
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(more.isEmpty() ? from : more.last()));
}

} // namespace

class UndoRedoTest : public QObject {
    Q_OBJECT

    // What the screen shows of a cell's inside (its one-pixel frame left out) once the
    // pending paints are done, without painting anything again.
    static QImage shownCell(tbapp::MapEditorWindow& form, int x, int y) {
        QCoreApplication::processEvents();
        const QRect cell = tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")
                               ->cellRect(x, y)
                               .adjusted(1, 1, -1, -1);
        const QPoint topLeft = tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")
                                   ->viewport()
                                   ->mapTo(&form, cell.topLeft());
        const QImage shot = form.windowHandle()
                                ->screen()
                                ->grabWindow(form.winId())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
        return shot.copy(QRect(topLeft, cell.size()));
    }
    // The land tile's picture at the view's 45-pixel cells, inside the frame, as decoded
    // here from the test art.
    static QImage landTileInside() {
        tb::Image15 land;
        if (!tb::makeLandTileImage(makeTestArt(), kLandTile, land))
            return {};
        QImage image(43, 43, QImage::Format_RGB32);
        for (int y = 0; y < 43; ++y)
            for (int x = 0; x < 43; ++x)
                image.setPixelColor(x, y, expectedColour(land.at(x + 1, y + 1)));
        return image;
    }
    static QImage blackInside() {
        QImage image(43, 43, QImage::Format_RGB32);
        image.fill(Qt::black);
        return image;
    }

private slots:
    // A 2 x 2 Paint square at (3, 1): the grid redraws the clicked cell by itself, the other
    // three only because the document says so; the cells across the diagonal stay black.
    void theViewShowsWhatPaintUndoAndRedoLeft() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultColWidth(), 45);
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setFocus();
        paintLandTile(form);
        tbtest::ui<QSpinBox>(form, "BrushSizeMover")->setValue(2);
        const QImage land = landTileInside();
        const QImage black = blackInside();
        QCOMPARE(shownCell(form, 4, 2), black);

        drag(form, {3, 1}, {});
        for (auto [x, y] : {std::pair{3, 1}, {3, 2}, {4, 1}, {4, 2}})
            QVERIFY2(shownCell(form, x, y) == land, qPrintable(QString("%1,%2").arg(x).arg(y)));
        for (auto [x, y] : {std::pair{1, 3}, {2, 3}, {1, 4}, {2, 4}})
            QVERIFY2(shownCell(form, x, y) == black, qPrintable(QString("%1,%2").arg(x).arg(y)));

        // Ctrl+Z takes back the newest row, (4, 2); Ctrl+Y brings it back.
        key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.cell(4, 2).tileId, kMissingTile);
        QCOMPARE(shownCell(form, 4, 2), black);
        QCOMPARE(shownCell(form, 3, 2), land);
        key(form, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(shownCell(form, 4, 2), land);

        // The whole stroke, the clicked cell included, and back again.
        tbtest::ui<QAction>(form, "TlUndoStroke")->trigger();
        for (auto [x, y] : {std::pair{3, 1}, {3, 2}, {4, 1}, {4, 2}})
            QCOMPARE(shownCell(form, x, y), black);
        tbtest::ui<QAction>(form, "TlRedoStroke")->trigger();
        for (auto [x, y] : {std::pair{3, 1}, {3, 2}, {4, 1}, {4, 2}})
            QCOMPARE(shownCell(form, x, y), land);
    }

    // Redo walks forward through what undo took back, by key and by menu; the keys work with
    // other modifiers held; a new Paint change forgets what was left to redo.
    void redoBringsBackWhatUndoTookUntilANewChange() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setFocus();
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(0); // Add Z
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("5");
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")
            ->setCurrentIndex(2); // Altitude only
        tb::MapDocument::Edit(f.map()).write(8, 9, {1, 0});
        for (int i = 0; i < 3; ++i)
            f.click(8, 9);
        QCOMPARE(f.cell(8, 9).altitude, std::int8_t(15));
        const std::vector<tb::UndoRow> rows = form.document().undoList().rows();

        // Each undo takes back one click.
        key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.cell(8, 9).altitude, std::int8_t(10));
        key(form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.cell(8, 9).altitude, std::int8_t(5));
        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QCOMPARE(f.cell(8, 9).altitude, std::int8_t(0));
        QVERIFY(form.document().undoList().empty());

        QCOMPARE(tbtest::ui<QAction>(form, "TlRedo")->text(), QString("Redo          CTRL+Y"));
        QVERIFY(tbtest::ui<QAction>(form, "TlRedo")->shortcut().isEmpty());
        std::vector<int> walk;
        key(form, Qt::Key_Y, Qt::ControlModifier);
        walk.push_back(f.cell(8, 9).altitude);
        tbtest::ui<QAction>(form, "TlRedo")->trigger();
        walk.push_back(f.cell(8, 9).altitude);
        key(form, Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier);
        walk.push_back(f.cell(8, 9).altitude);
        tbtest::ui<QAction>(form, "TlRedo")->trigger(); // nothing left
        QCOMPARE(walk, (std::vector<int>{5, 10, 15}));
        QCOMPARE(form.document().undoList().rows(), rows);

        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        f.click(20, 20); // a new recorded change
        QVERIFY(!form.document().undoList().canRedo());
        tbtest::ui<QAction>(form, "TlRedo")->trigger();
        QCOMPARE(f.cell(8, 9).altitude, std::int8_t(5));
        QVERIFY(f.messages.isEmpty());
    }

    // Alt+Z and Alt+Y take back and bring back a whole press-to-release stroke, and a Fill
    // as one stroke; single rows and strokes mix.
    void strokesFromPressToReleaseAndWholeFills() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setLeftCol(0);
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setTopRow(0);
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setFocus();
        QCOMPARE(tbtest::ui<QAction>(form, "TlUndoStroke")->text(), QString("Undo stroke"));
        QCOMPARE(tbtest::ui<QAction>(form, "TlUndoStroke")->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_Z));
        QCOMPARE(tbtest::ui<QAction>(form, "TlRedoStroke")->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_Y));
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(2); // Set to Z
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("9");
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(2);

        drag(form, {1, 1}, {{2, 1}, {3, 1}}); // one stroke of three cells
        drag(form, {1, 3}, {{2, 3}});         // another of two
        QCOMPARE(form.document().undoList().size(), std::size_t(5));

        QTest::keyClick(&form, Qt::Key_Z, Qt::AltModifier);
        QCOMPARE(int(f.cell(1, 3).altitude), 1 - 3);
        QCOMPARE(int(f.cell(2, 3).altitude), 2 - 3);
        QCOMPARE(int(f.cell(3, 1).altitude), 9);
        // One row of the first stroke by Ctrl+Z, the rest of it by Alt+Z.
        key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(f.cell(3, 1).altitude), 3 - 1);
        QCOMPARE(int(f.cell(2, 1).altitude), 9);
        QTest::keyClick(&form, Qt::Key_Z, Qt::AltModifier);
        QVERIFY(form.document().undoList().empty());
        QCOMPARE(int(f.cell(1, 1).altitude), 0);
        // Alt+Y: the whole first stroke, the row undone alone with it; then the second.
        QTest::keyClick(&form, Qt::Key_Y, Qt::AltModifier);
        QCOMPARE(form.document().undoList().size(), std::size_t(3));
        QCOMPARE(int(f.cell(3, 1).altitude), 9);
        QCOMPARE(int(f.cell(1, 3).altitude), 1 - 3);
        tbtest::ui<QAction>(form, "TlRedoStroke")->trigger();
        QCOMPARE(int(f.cell(2, 3).altitude), 9);

        // A drag with the Fill tool fills twice: two strokes, not one.
        tbtest::ui<QToolButton>(form, "btnRectFill")->setChecked(true);
        drag(form, {5, 5}, {{6, 6}, {8, 5}, {8, 6}});
        QCOMPARE(form.document().undoList().size(), std::size_t(5 + 4 + 2));
        tbtest::ui<QAction>(form, "TlUndoStroke")->trigger();
        QCOMPARE(int(f.cell(8, 6).altitude), 8 - 6);
        QCOMPARE(int(f.cell(6, 6).altitude), 9);
        tbtest::ui<QAction>(form, "TlUndoStroke")->trigger();
        QCOMPARE(int(f.cell(5, 5).altitude), 0);
        QCOMPARE(int(f.cell(2, 3).altitude), 9);
        QVERIFY(f.messages.isEmpty());
    }
};

QTEST_MAIN(UndoRedoTest)
#include "test_undo_redo.moc"
