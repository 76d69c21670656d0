// The items panel and the item tools in the main window, on the demo tiledata and a pair of
// statics: edits in the panel and what it says of values that do not fit, Place item, Select
// through the view's mouse and keys (Delete, + and - as typed, Alt+Up and Alt+Down, Escape,
// drag-move), "Set hue..." with its checks, copy and paste.
#include "editor/MainWindowFixture.h"

#include "StaticsFixtures.h"
#include "app/items/HueDialog.h"
#include "app/items/ItemBrowserDock.h"
#include "app/items/ItemsPanelDock.h"
#include "core/StaticsMap.h"
#include "demo/DemoItems.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>

namespace {

using Records = std::vector<tb::StaticRecord>;

// Block 0: a tree on cell (3, 2) at z 4 and stone pavers (a Surface, height 0) on (5, 5)
// at z 100; block 2: a rock on cell (2, 17).
struct ItemsWindow : tbtest::MainWindowFixture {
    ItemsWindow() {
        tbtest::writeBytes(gameDir / "tiledata.mul", tb::demo::generateDemoTileData());
        const tb::MapVariant& v = tbtest::ilshenar();
        tbtest::StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        pair.setBlock(0, {{0x0CCA, 3, 2, 4}, {0x0519, 5, 5, 100}});
        pair.setBlock(2, {{0x1363, 2, 1, -5, 0x10}});
        tbtest::writeBytes(mapPath.parent_path() / "staidx2.mul", pair.index);
        tbtest::writeBytes(mapPath.parent_path() / "statics2.mul", pair.data);
    }
    tbapp::MapEditorWindow& start() {
        openLoaded();
        tbtest::ui<QAction>(*form, "ShowStatics1")->trigger();
        tbtest::waitForJobs();
        return *form;
    }
    const tb::StaticsMap& statics() { return *form->document().statics(); }
    tb::CellRect selection() { return form->selectItemsTool().selection().cells; }
    // The hue dialog gets `text` typed; OK is pressed when it can be.
    void answerHue(const QString& text, QString* problem = nullptr) {
        questions.onDialog = [text, problem](QDialog& dialog) {
            auto& hue = dynamic_cast<tbapp::HueDialog&>(dialog);
            hue.edit()->setText(text);
            if (problem)
                *problem = hue.problem();
            return hue.hue() ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
    }
    void tool(const char* name) { tbtest::ui<QToolButton>(*form, name)->click(); }
    void undo() { tbtest::ui<QAction>(*form, "TlUndo")->trigger(); }
    void chooseItem(const QString& filter) {
        auto& browser = form->itemBrowser();
        QTest::keyClicks(tbtest::ui<QLineEdit>(browser, "ItemFilterEdit"), filter);
        auto* list = tbtest::ui<QTableView>(browser, "ItemList");
        list->setCurrentIndex(list->model()->index(0, 1));
    }
    void sendMouse(QEvent::Type type, const QPoint& pos, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(pos), grid().viewport()->mapToGlobal(QPointF(pos)),
                          Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(grid().viewport(), &event);
    }
    // A press on one cell, the pointer held down to another, the release there.
    void drag(QPoint from, QPoint to) {
        sendMouse(QEvent::MouseButtonPress, grid().cellRect(from.x(), from.y()).center(),
                  Qt::LeftButton);
        sendMouse(QEvent::MouseMove, grid().cellRect(to.x(), to.y()).center(), Qt::LeftButton);
        sendMouse(QEvent::MouseButtonRelease, grid().cellRect(to.x(), to.y()).center(),
                  Qt::NoButton);
    }
};

} // namespace

class ItemToolsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void panelEditsTheCellsItemsOneUndoStepEach() {
        ItemsWindow f;
        tbapp::MapEditorWindow& form = f.start();
        tbtest::ui<QAction>(form, "ItemsPanel1")->trigger();
        auto& panel = form.itemsPanel();
        QVERIFY(panel.isVisible());
        auto* table = tbtest::ui<QTableWidget>(panel, "ItemsTable");
        f.tool("btnSelectItems");
        f.clickCell(3, 2);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, tbapp::ItemsPanelDock::IdColumn)->text(), QString("$0CCA"));
        QCOMPARE(table->item(0, tbapp::ItemsPanelDock::NameColumn)->text(), QString("tree"));

        table->item(0, tbapp::ItemsPanelDock::ZColumn)->setText("12");
        table->item(0, tbapp::ItemsPanelDock::HueColumn)->setText("$21");
        table->item(0, tbapp::ItemsPanelDock::ZColumn)->setText("300"); // no z: put back
        QCOMPARE(f.statics().records(0)[0], (tb::StaticRecord{0x0CCA, 3, 2, 12, 0x21}));
        QCOMPARE(table->item(0, tbapp::ItemsPanelDock::ZColumn)->text(), QString("12"));
        auto* problem = tbtest::ui<QLabel>(panel, "ItemsProblem");
        QCOMPARE(problem->text(), QString("Z 300 is out of range: it must be -128 to 127."));
        table->item(0, tbapp::ItemsPanelDock::HueColumn)->setText("abc");
        QVERIFY(problem->text().startsWith("Hue 'abc' is not a number"));
        QCOMPARE(f.statics().records(0)[0].hue, std::uint16_t(0x21));
        f.undo();
        QCOMPARE(f.statics().records(0)[0], (tb::StaticRecord{0x0CCA, 3, 2, 12, 0}));
        QCOMPARE(table->item(0, tbapp::ItemsPanelDock::HueColumn)->text(), QString("0"));

        f.chooseItem("rock");
        tbtest::ui<QPushButton>(panel, "ItemsAddButton")->click();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, tbapp::ItemsPanelDock::IdColumn)->text(), QString("$1363"));
        table->selectRow(0);
        tbtest::ui<QPushButton>(panel, "ItemsDeleteButton")->click();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(tb::itemsOnCell(f.statics(), 3, 2)[0].record.id, std::uint16_t(0x1363));
        f.undo();
        QCOMPARE(table->rowCount(), 2);
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));

        // The names follow the browser's tiledata: none without one.
        form.itemBrowser().clear();
        QCOMPARE(table->item(0, tbapp::ItemsPanelDock::NameColumn)->text(), QString());
    }

    void placeItemStandsOnSurfacesOrAtTheFixedZ() {
        ItemsWindow f;
        tbapp::MapEditorWindow& form = f.start();
        f.chooseItem("rock");
        QCOMPARE(form.itemBrowser().currentItem(), std::optional<std::uint16_t>(0x1363));
        const tb::MapCell land = form.document().cell(6, 6);
        const tb::MapCell paved = form.document().cell(5, 5);
        QVERIFY(paved.altitude < 100);
        const tb::MapCell before55 = paved;

        f.tool("btnPlaceItem");
        f.clickCell(5, 5);                              // on the pavers, not on the land
        f.clickCell(6, 6);                              // on the land
        QCOMPARE(form.document().cell(5, 5), before55); // the land tools did not paint
        QCOMPARE(tb::itemsOnCell(f.statics(), 5, 5).back().record,
                 (tb::StaticRecord{0x1363, 5, 5, 100, 0}));
        QCOMPARE(tb::itemsOnCell(f.statics(), 6, 6).back().record.z, land.altitude);

        tbtest::ui<QAction>(form, "ItemsPanel1")->trigger();
        tbtest::ui<QCheckBox>(form.itemsPanel(), "ItemsFixedZCheck")->setChecked(true);
        tbtest::ui<QSpinBox>(form.itemsPanel(), "ItemsFixedZSpin")->setValue(-20);
        f.clickCell(7, 6);
        QCOMPARE(tb::itemsOnCell(f.statics(), 7, 6).at(0).record.z, std::int8_t(-20));

        f.undo();
        QVERIFY(tb::itemsOnCell(f.statics(), 7, 6).empty());
        QCOMPARE(tb::itemsOnCell(f.statics(), 6, 6).size(), std::size_t(1));

        // A key moves the selected cell from (7, 6) to (6, 6) and places nothing.
        f.key(Qt::Key_Left);
        QCOMPARE(f.grid().col(), 6);
        QCOMPARE(tb::itemsOnCell(f.statics(), 6, 6).size(), std::size_t(1));
    }

    void selectDeletesAndRaisesTheRectangle() {
        ItemsWindow f;
        tbapp::MapEditorWindow& form = f.start();
        f.tool("btnSelectItems");
        f.drag({6, 6}, {2, 1});
        QCOMPARE(f.selection(), (tb::CellRect{2, 1, 6, 6}));
        f.movePointer(f.grid().cellRect(3, 2).center());
        QVERIFY2(f.status().endsWith(" - Statics=1"), qPrintable(f.status()));

        // + and - as typed by 1, Alt+Up by 5 whatever the keyboard's layout.
        f.key(Qt::Key_Plus);
        f.key(Qt::Key_Up, Qt::AltModifier);
        f.key(Qt::Key_Minus);
        QCOMPARE(f.statics().records(0), (Records{{0x0CCA, 3, 2, 9}, {0x0519, 5, 5, 105}}));
        f.undo();
        QCOMPARE(f.statics().records(0), (Records{{0x0CCA, 3, 2, 10}, {0x0519, 5, 5, 106}}));

        f.key(Qt::Key_Delete);
        QVERIFY(f.statics().records(0).empty());
        QCOMPARE(f.statics().records(2).size(), std::size_t(1)); // outside the rectangle
        // The count under the pointer follows the edit without a move of the pointer.
        QVERIFY2(f.status().endsWith(" - Statics=0"), qPrintable(f.status()));
        f.undo();
        QCOMPARE(f.statics().records(0).size(), std::size_t(2));

        // Escape clears the selection: Delete then removes nothing, Set hue is off.
        f.key(Qt::Key_Escape);
        QVERIFY(f.selection().isEmpty());
        QVERIFY(!tbtest::ui<QAction>(form, "SetItemHue")->isEnabled());
        f.key(Qt::Key_Delete);
        QCOMPARE(f.statics().records(0).size(), std::size_t(2));

        // Another tool takes the selection away; the keys then do nothing.
        f.drag({6, 6}, {2, 1});
        f.tool("btnDefault");
        QVERIFY(f.selection().isEmpty());
        f.key(Qt::Key_Delete);
        QCOMPARE(f.statics().records(0).size(), std::size_t(2));
    }

    // A drag from inside the selection moves its items across a block edge; Escape drops a
    // move; what would leave the map stays; H sets the hue.
    void selectMovesAndHuesTheSelection() {
        ItemsWindow f;
        tbapp::MapEditorWindow& form = f.start();
        f.tool("btnSelectItems");
        f.drag({2, 1}, {6, 6});
        f.drag({3, 2}, {4, 9}); // one right, seven down: into block 1
        QVERIFY(f.statics().records(0).empty());
        QCOMPARE(f.statics().records(1), (Records{{0x0CCA, 4, 1, 4}, {0x0519, 6, 4, 100}}));
        QCOMPARE(f.selection(), (tb::CellRect{3, 8, 7, 13}));
        f.undo();
        QCOMPARE(f.statics().records(0), (Records{{0x0CCA, 3, 2, 4}, {0x0519, 5, 5, 100}}));
        QVERIFY(f.statics().records(1).empty());
        tbtest::ui<QAction>(form, "TlRedo")->trigger();
        QCOMPARE(f.statics().records(1).size(), std::size_t(2));
        f.undo();

        // Escape while dragging: the outline goes back, the rest of the drag does nothing.
        f.drag({2, 1}, {6, 6});
        f.sendMouse(QEvent::MouseButtonPress, f.grid().cellRect(5, 5).center(), Qt::LeftButton);
        f.sendMouse(QEvent::MouseMove, f.grid().cellRect(8, 8).center(), Qt::LeftButton);
        QCOMPARE(f.selection(), (tb::CellRect{5, 4, 9, 9})); // the preview
        f.key(Qt::Key_Escape);
        f.sendMouse(QEvent::MouseMove, f.grid().cellRect(9, 9).center(), Qt::LeftButton);
        f.sendMouse(QEvent::MouseButtonRelease, f.grid().cellRect(9, 9).center(), Qt::NoButton);
        QCOMPARE(f.selection(), (tb::CellRect{2, 1, 6, 6}));
        QCOMPARE(f.statics().records(0), (Records{{0x0CCA, 3, 2, 4}, {0x0519, 5, 5, 100}}));

        // Four left: the tree's column would be -1, so it stays; the pavers go.
        f.drag({5, 5}, {1, 5});
        QCOMPARE(f.statics().records(0), (Records{{0x0CCA, 3, 2, 4}, {0x0519, 1, 5, 100}}));
        QCOMPARE(form.statusBar()->currentMessage(),
                 QString("Items left where they were (off the map): 1"));
        f.undo();

        // A click in the selection without a drag selects that cell alone.
        f.drag({2, 1}, {6, 6});
        f.clickCell(3, 2);
        QCOMPARE(f.selection(), (tb::CellRect{3, 2, 3, 2}));
        f.drag({2, 1}, {6, 6});
        QString problem;
        f.answerHue("70000", &problem); // said where it is typed; OK waits
        f.key(Qt::Key_H);
        QCOMPARE(problem, QString("70000 is not a hue: hues are 0 to 65535."));
        QCOMPARE(f.statics().records(0)[1].hue, std::uint16_t(0));
        f.answerHue("$21");
        f.key(Qt::Key_H);
        QCOMPARE(f.statics().records(0),
                 (Records{{0x0CCA, 3, 2, 4, 0x21}, {0x0519, 5, 5, 100, 0x21}}));
        QCOMPARE(tbtest::ui<QAction>(form, "TlUndoStroke")->text(), QString("Undo Hue 2 items"));
        f.undo();
        QCOMPARE(f.statics().records(0), (Records{{0x0CCA, 3, 2, 4}, {0x0519, 5, 5, 100}}));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));
    }

    void copyAndPasteWithinAMapAndIntoTheNextLoaded() {
        ItemsWindow f;
        tbapp::MapEditorWindow& form = f.start();
        f.tool("btnSelectItems");
        f.drag({3, 2}, {5, 5});
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.movePointer(f.grid().cellRect(10, 9).center());
        f.key(Qt::Key_V, Qt::ControlModifier);
        // The corner (3, 2) went to (10, 9): the tree there, the pavers on (12, 12).
        QCOMPARE(tb::itemsOnCell(f.statics(), 10, 9).at(0).record.z, std::int8_t(4));
        QCOMPARE(tb::itemsOnCell(f.statics(), 12, 12).at(0).record.id, std::uint16_t(0x0519));
        f.undo();
        QVERIFY(tb::itemsOnCell(f.statics(), 10, 9).empty());
        QVERIFY(tb::itemsOnCell(f.statics(), 12, 12).empty());

        // Load again: the copied items stay with the window.
        f.load();
        tbtest::waitForJobs();
        QVERIFY(form.document().statics());
        f.movePointer(f.grid().cellRect(1, 20).center());
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(tb::itemsOnCell(f.statics(), 1, 20).at(0).record.id, std::uint16_t(0x0CCA));
    }
};

QTEST_MAIN(ItemToolsWindowTest)
#include "test_item_tools_window.moc"
