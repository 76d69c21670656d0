// The main window as a user meets it: the mouse wheel and the middle button on the map,
// Ctrl+O and Ctrl+S, the window's place kept between runs, and controls whose texts show
// whole at any window size.

#include "MainWindowFixture.h"
#include "testsupport/CutTexts.h"

#include "app/items/ItemBrowserDock.h"
#include "app/items/ItemsPanelDock.h"
#include "core/MapImage.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

using namespace tbtest;

namespace {

// A wheel turn of `notches` (positive: away from the user) at a viewport point.
void turnWheel(tbapp::DrawGrid& grid, const QPoint& pos, int notches,
               Qt::KeyboardModifiers modifiers) {
    QWheelEvent wheel(QPointF(pos), grid.viewport()->mapToGlobal(QPointF(pos)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &wheel);
}

} // namespace

class MainWindowPanelsTest : public QObject {
    Q_OBJECT

private slots:
    // Ctrl + wheel zooms in steps of 5 and keeps the cell under the pointer in place; the
    // plain wheel scrolls down and up, Shift + wheel sideways; the middle button drags
    // the view without painting.
    void wheelAndMiddleButtonMoveTheView() {
        MainWindowFixture f;
        f.openLoaded();
        f.form->resize(1000, 800);
        QCoreApplication::processEvents();
        f.jump(600, 700);
        tbapp::DrawGrid& grid = f.grid();
        const QPoint pointer(grid.viewport()->width() * 2 / 3, grid.viewport()->height() / 3);
        const QPoint cell = grid.mouseCoord(pointer);
        QVERIFY(cell.x() > 0 && cell.y() > 0);
        // Each step makes the level the new cell size.
        const int level = grid.defaultColWidth();

        turnWheel(grid, pointer, 1, Qt::ControlModifier);
        QCOMPARE(mapView(*f.form).zoom().level, level + 5);
        QCOMPARE(grid.defaultColWidth(), level + 5);
        QCOMPARE(grid.mouseCoord(pointer), cell);
        turnWheel(grid, pointer, -3, Qt::ControlModifier);
        QCOMPARE(mapView(*f.form).zoom().level, level - 10);
        QCOMPARE(grid.mouseCoord(pointer), cell);
        QCOMPARE(ui<QGroupBox>(*f.form, "ZoomGroup")->title(),
                 QString(" Zoom (%1)").arg(level - 10));

        const int left = grid.leftCol(), top = grid.topRow();
        turnWheel(grid, pointer, -1, Qt::NoModifier);
        QCOMPARE(grid.topRow(), top + 3);
        QCOMPARE(grid.leftCol(), left);
        turnWheel(grid, pointer, 1, Qt::ShiftModifier);
        QCOMPARE(grid.leftCol(), left - 3);
        QCOMPARE(grid.topRow(), top + 3);

        // Dragging with the middle button two cells left and one up shows the cells beyond.
        const int step = grid.defaultColWidth() + grid.gridLineWidth();
        const QPoint before(grid.leftCol(), grid.topRow());
        QTest::mousePress(grid.viewport(), Qt::MiddleButton, Qt::NoModifier, pointer);
        QMouseEvent drag(QEvent::MouseMove, QPointF(pointer - QPoint(2 * step, step)),
                         grid.viewport()->mapToGlobal(QPointF(pointer - QPoint(2 * step, step))),
                         Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(grid.viewport(), &drag);
        QTest::mouseRelease(grid.viewport(), Qt::MiddleButton, Qt::NoModifier,
                            pointer - QPoint(2 * step, step));
        QCOMPARE(QPoint(grid.leftCol(), grid.topRow()), before + QPoint(2, 1));
        QVERIFY(f.form->document().undoList().rows().empty());
        QVERIFY(!f.form->document().isModified());
    }

    // The wheel zoom stops where the buttons stop.
    void wheelZoomKeepsTheButtonLimits() {
        MainWindowFixture f;
        f.openLoaded();
        const QPoint pointer(10, 10);
        for (int i = 0; i < 30; ++i)
            turnWheel(f.grid(), pointer, 1, Qt::ControlModifier);
        QCOMPARE(mapView(*f.form).zoom().level, 100);
        QVERIFY(!ui<QToolButton>(*f.form, "SpeedButton3")->isEnabled());
        for (int i = 0; i < 30; ++i)
            turnWheel(f.grid(), pointer, -1, Qt::ControlModifier);
        QCOMPARE(mapView(*f.form).zoom().level, 5);
        QVERIFY(!ui<QToolButton>(*f.form, "SpeedButton2")->isEnabled());
    }

    // File > Load (Ctrl+O) and Save (Ctrl+S) do what the buttons do, and only when the
    // buttons are enabled.
    void loadAndSaveKeys() {
        MainWindowFixture f;
        f.open();
        QAction* save = ui<QAction>(*f.form, "Save1");
        QCOMPARE(save->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(ui<QAction>(*f.form, "Load1")->shortcut(), QKeySequence(QKeySequence::Open));
        QVERIFY(!save->isEnabled());
        QTest::keyClick(f.form.get(), Qt::Key_O, Qt::ControlModifier);
        tbtest::waitForJobs();
        QVERIFY(f.form->mapLoaded());
        QVERIFY(save->isEnabled());
        QVERIFY(ui<QPushButton>(*f.form, "btnSave")->isEnabled());

        tb::MapDocument::Edit(f.form->document()).write(5, 6, tb::MapCell{0x1D3, 42});
        QVERIFY(f.form->isWindowModified());
        QTest::keyClick(f.form.get(), Qt::Key_S, Qt::ControlModifier);
        tbtest::waitForJobs();
        QCOMPARE(tb::MapImage::load(f.mapPath).cell(5, 6), (tb::MapCell{0x1D3, 42}));
        QVERIFY(!f.form->isWindowModified());
        QVERIFY(save->isEnabled());
        QVERIFY(f.messages.isEmpty());
    }

    // Size, place and the maximised state come back at the next start.
    void windowPlaceIsKept() {
        MainWindowFixture f;
        f.open();
        f.form->resize(1111, 777);
        f.form->move(40, 30);
        QCoreApplication::processEvents();
        const QRect normal = f.form->geometry();
        f.form->close();
        f.form.reset();

        f.open();
        QCOMPARE(f.form->size(), QSize(1111, 777));
        QCOMPARE(f.form->geometry(), normal);
        QVERIFY(!f.form->isMaximized());
        f.form->showMaximized();
        QCoreApplication::processEvents();
        f.form->close();
        f.form.reset();

        f.open();
        QVERIFY(f.form->windowState() & Qt::WindowMaximized);
    }

    // Opening a dock takes its room from the map, not from the screen; the open docks come
    // back at the next start.
    void docksFitTheWindowAndAreKept() {
        MainWindowFixture f;
        f.open();
        f.form->resize(900, 640);
        QCoreApplication::processEvents();
        const int width = f.form->width();
        ui<QAction>(*f.form, "ItemBrowser1")->trigger();
        ui<QAction>(*f.form, "ItemsPanel1")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(f.form->width(), width);
        QVERIFY(f.form->itemBrowser().isVisible());
        f.form->close();
        f.form.reset();

        f.open();
        QVERIFY(f.form->itemBrowser().isVisible());
        QVERIFY(f.form->itemsPanel().isVisible());
    }

    // A map named on the command line is loaded once the window is shown.
    void aMapGivenAtStartIsLoaded() {
        MainWindowFixture f;
        const std::filesystem::path other = f.dir / "other" / "map2.mul";
        std::filesystem::create_directories(other.parent_path());
        std::filesystem::copy_file(f.mapPath, other);
        f.settings = std::make_unique<QSettings>(qpath(f.iniPath), QSettings::IniFormat);
        f.form = std::make_unique<tbapp::MapEditorWindow>(*f.settings, qpath(f.appDir) + "/",
                                                          f.random, f.questions);
        f.form->loadAtStart(qpath(other));
        f.form->show();
        QCoreApplication::processEvents();
        QVERIFY(jobsEnded());
        QVERIFY(f.form->mapLoaded());
        QCOMPARE(f.form->document().fileName(), other);
    }

    // At the smallest size the window takes, and at 1920 x 1080, every label and button
    // shows its text whole, and extra room goes to the map.
    void noTextIsCutAtAnySize() {
        MainWindowFixture f;
        f.openLoaded();
        f.form->resize(1, 1);
        QCoreApplication::processEvents();
        // The rows that scroll sideways grow by their scroll bars once narrow: asked again.
        f.form->resize(1, 1);
        QCoreApplication::processEvents();
        const QSize smallest = f.form->size();
        QCOMPARE(smallest, f.form->minimumSizeHint().expandedTo(f.form->minimumSize()));
        QStringList cut = cutTexts(*f.form);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        QVERIFY(ui<QCheckBox>(*f.form, "cbAddRAl")->width() >=
                ui<QCheckBox>(*f.form, "cbAddRAl")->sizeHint().width());
        const QSize viewAtSmallest = f.grid().size();
        // The rows above and below the map scroll sideways there; their scroll bars go later.
        auto barsHeight = [&f] {
            int height = 0;
            for (const char* bar :
                 {"TopPanelScroller", "BottomPanelScroller", "FileNamePanelScroller"})
                height += ui<QWidget>(*f.form, bar)->height();
            return height;
        };
        const int barsAtSmallest = barsHeight();

        f.form->resize(1920, 1080);
        QCoreApplication::processEvents();
        cut = cutTexts(*f.form);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        const QSize viewAtLarge = f.grid().size();
        const QSize grown = f.form->size() - smallest + QSize(0, barsAtSmallest - barsHeight());
        QCOMPARE(viewAtLarge - viewAtSmallest, grown);
    }
};

QTEST_MAIN(MainWindowPanelsTest)
#include "test_main_window_panels.moc"
