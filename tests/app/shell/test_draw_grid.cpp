// The owner-drawn grid: geometry, painting of exposed cells only, the selection handler
// and its detaching, keyboard and mouse moves of the current cell, auto-scroll.

#include "app/shell/DrawGrid.h"

#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QtTest>

namespace {

struct Grid {
    tbapp::DrawGrid grid;
    QList<QPoint> selections;
    QSet<QPair<int, int>> drawn;

    Grid(int cols, int rows, int cell) {
        grid.setColCount(cols);
        grid.setRowCount(rows);
        grid.setDefaultColWidth(cell);
        grid.setDefaultRowHeight(cell);
        grid.setGridLineWidth(0);
        grid.setSelectCellHandler([this](int c, int r) { selections << QPoint(c, r); });
        grid.setDrawCellHandler([this](QPainter& p, int c, int r, const QRect& rect, bool sel) {
            drawn.insert({c, r});
            p.fillRect(rect, sel ? Qt::red : QColor(c % 256, r % 256, 7));
        });
        grid.resize(400, 300);
        grid.show();
        QCoreApplication::processEvents();
    }
};

} // namespace

class DrawGridTest : public QObject {
    Q_OBJECT

private slots:
    void geometryAndPointToCell() {
        Grid g(7168, 4096, 10);
        QCOMPARE(g.grid.colCount(), 7168);
        QCOMPARE(g.grid.rowCount(), 4096);
        const int visibleCols = g.grid.viewport()->width() / 10;
        QCOMPARE(g.grid.visibleColCount(), visibleCols);
        QCOMPARE(g.grid.horizontalScrollBar()->maximum(), 7168 - visibleCols);
        QCOMPARE(g.grid.mouseCoord(QPoint(25, 5)), QPoint(2, 0));
        QCOMPARE(g.grid.mouseCoord(QPoint(-1, 5)), QPoint(-1, 0));
        g.grid.setLeftCol(100);
        g.grid.setTopRow(50);
        QCOMPARE(g.grid.leftCol(), 100);
        QCOMPARE(g.grid.mouseCoord(QPoint(25, 15)), QPoint(102, 51));
        QCOMPARE(g.grid.cellRect(102, 51), QRect(20, 10, 10, 10));
        // With a grid line each step is one pixel wider.
        g.grid.setGridLineWidth(1);
        QCOMPARE(g.grid.cellRect(102, 51), QRect(22, 11, 10, 10));
        QCOMPARE(g.grid.mouseCoord(QPoint(32, 21)), QPoint(102, 51));
        // Beyond the last column there is no cell.
        Grid small(3, 2, 10);
        QCOMPARE(small.grid.mouseCoord(QPoint(35, 5)), QPoint(-1, 0));
        // Nonsense sizes are kept usable.
        small.grid.setDefaultColWidth(0);
        QCOMPARE(small.grid.defaultColWidth(), 1);
    }

    void paintsOnlyExposedCells() {
        Grid g(7168, 4096, 5);
        g.drawn.clear();
        QImage target(g.grid.viewport()->size(), QImage::Format_RGB32);
        g.grid.renderCells(target, QRect(10, 10, 5, 5));
        QCOMPARE(g.drawn.size(), 1);
        QVERIFY(g.drawn.contains({2, 2}));
        g.drawn.clear();
        g.grid.renderCells(target, target.rect());
        const int cols = (target.width() + 4) / 5;
        const int rows = (target.height() + 4) / 5;
        QCOMPARE(g.drawn.size(), cols * rows);
        QCOMPARE(target.pixelColor(0, 0), QColor(Qt::red)); // (0, 0) is selected
        QCOMPARE(target.pixelColor(7, 12), QColor(1, 2, 7));
    }

    void backgroundBeyondTheLastCellAndGridLines() {
        Grid g(3, 2, 10);
        g.grid.setGridLineColour(QColor(0, 0, 200));
        g.grid.setGridLineWidth(1);
        QImage target(g.grid.viewport()->size(), QImage::Format_RGB32);
        target.fill(Qt::white);
        g.grid.renderCells(target, target.rect());
        QCOMPARE(target.pixelColor(10, 5), QColor(0, 0, 200));  // line after column 0
        QCOMPARE(target.pixelColor(15, 5), QColor(1, 0, 7));    // cell (1, 0)
        QCOMPARE(target.pixelColor(100, 5), QColor(Qt::black)); // no cells there
        QCOMPARE(target.pixelColor(5, 100), QColor(Qt::black));
    }

    void selectionHandlerAndDetaching() {
        Grid g(100, 100, 10);
        g.grid.setCol(5);
        g.grid.setRow(6);
        QCOMPARE(g.selections, (QList<QPoint>{{5, 0}, {5, 6}}));
        // Setting the same column again does nothing; selectCell always reports.
        g.grid.setCol(5);
        QCOMPARE(g.selections.size(), 2);
        g.grid.selectCell(5, 6);
        QCOMPARE(g.selections.size(), 3);
        {
            tbapp::DrawGrid::SelectionDetacher detached(g.grid);
            g.grid.setCol(50);
            g.grid.setRow(60);
        }
        QCOMPARE(g.selections.size(), 3);
        QCOMPARE(g.grid.col(), 50);
        QCOMPARE(g.grid.row(), 60);
        // The move scrolled the cell into view.
        QVERIFY(g.grid.leftCol() <= 50 && 50 < g.grid.leftCol() + g.grid.visibleColCount());
        QVERIFY(g.grid.topRow() <= 60 && 60 < g.grid.topRow() + g.grid.visibleRowCount());
        // Attached again, also after a throw.
        try {
            tbapp::DrawGrid::SelectionDetacher detached(g.grid);
            throw std::runtime_error("x");
        } catch (const std::runtime_error&) {
        }
        g.grid.setCol(1);
        QCOMPARE(g.selections.size(), 4);
    }

    void keyboardMovesTheCurrentCell() {
        Grid g(100, 100, 10);
        g.grid.setFocus();
        QTest::keyClick(&g.grid, Qt::Key_Right);
        QTest::keyClick(&g.grid, Qt::Key_Down);
        QTest::keyClick(&g.grid, Qt::Key_Down);
        QCOMPARE(QPoint(g.grid.col(), g.grid.row()), QPoint(1, 2));
        QTest::keyClick(&g.grid, Qt::Key_Left);
        QTest::keyClick(&g.grid, Qt::Key_Left); // stays at the edge, no selection
        QCOMPARE(g.grid.col(), 0);
        QCOMPARE(g.selections.size(), 4);
        QTest::keyClick(&g.grid, Qt::Key_PageDown);
        QCOMPARE(g.grid.row(), 2 + g.grid.visibleRowCount());
        QTest::keyClick(&g.grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(QPoint(g.grid.col(), g.grid.row()), QPoint(99, 99));
        QCOMPARE(g.grid.leftCol(), g.grid.horizontalScrollBar()->maximum());
        // The owner's key handler runs first and can take the key.
        int seen = 0;
        g.grid.setKeyHandler([&](QKeyEvent* e) {
            if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Home)
                ++seen;
            return e->key() == Qt::Key_Up;
        });
        QTest::keyClick(&g.grid, Qt::Key_Up);
        QCOMPARE(g.grid.row(), 99);
        QTest::keyClick(&g.grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(QPoint(g.grid.col(), g.grid.row()), QPoint(0, 0));
        QCOMPARE(seen, 2);
    }

    void clickAndDragSelect() {
        Grid g(100, 100, 10);
        QWidget* vp = g.grid.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(35, 15));
        QCOMPARE(g.selections, (QList<QPoint>{{3, 1}}));
        QMouseEvent move(QEvent::MouseMove, QPointF(55, 15), vp->mapToGlobal(QPointF(55, 15)),
                         Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(vp, &move);
        QMouseEvent same(QEvent::MouseMove, QPointF(57, 16), vp->mapToGlobal(QPointF(57, 16)),
                         Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(vp, &same);
        QCOMPARE(g.selections, (QList<QPoint>{{3, 1}, {5, 1}}));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(57, 16));
        // A click on the current cell is reported again; the right button selects nothing.
        QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(55, 15));
        QTest::mouseClick(vp, Qt::RightButton, {}, QPoint(85, 15));
        QCOMPARE(g.selections.size(), 3);
    }

    void dragBeyondTheEdgeScrolls() {
        Grid g(100, 100, 10);
        QWidget* vp = g.grid.viewport();
        const int lastVisible = g.grid.visibleColCount() - 1;
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(lastVisible * 10 + 5, 5));
        const QPointF outside(vp->width() + 20, 5);
        QMouseEvent move(QEvent::MouseMove, outside, vp->mapToGlobal(outside), Qt::NoButton,
                         Qt::LeftButton, {});
        QCoreApplication::sendEvent(vp, &move);
        QTRY_VERIFY_WITH_TIMEOUT(g.grid.col() >= lastVisible + 3, 2000);
        QVERIFY(g.grid.leftCol() > 0);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, outside.toPoint());
        const int stopped = g.grid.col();
        QTest::qWait(200);
        QCOMPARE(g.grid.col(), stopped);
    }

    void scrollBarsMoveTheView() {
        Grid g(1000, 1000, 10);
        g.grid.horizontalScrollBar()->setValue(40);
        g.grid.verticalScrollBar()->setValue(30);
        QCOMPARE(g.grid.leftCol(), 40);
        QCOMPARE(g.grid.topRow(), 30);
        QVERIFY(g.grid.horizontalScrollBar()->hasTracking());
        g.drawn.clear();
        QImage target(g.grid.viewport()->size(), QImage::Format_RGB32);
        g.grid.renderCells(target, QRect(0, 0, 1, 1));
        QVERIFY(g.drawn.contains({40, 30}));
    }
};

QTEST_MAIN(DrawGridTest)
#include "test_draw_grid.moc"
