// The item browser in the main window: shut until View opens it, fed with the game folder's
// items by Load.
#include "editor/MainWindowFixture.h"

#include "app/items/ItemBrowserDock.h"
#include "demo/DemoItems.h"

#include <QAction>
#include <QLineEdit>

class ItemBrowserWindowTest : public QObject {
    Q_OBJECT

private slots:
    void viewOpensTheBrowserAndLoadFillsIt() {
        tbtest::MainWindowFixture f;
        tbtest::writeBytes(f.gameDir / "tiledata.mul", tb::demo::generateDemoTileData());
        tbapp::MapEditorWindow& window = f.open();
        auto& dock = *tbtest::ui<tbapp::ItemBrowserDock>(window, "ItemBrowser");
        QCOMPARE(&window.itemBrowser(), &dock);
        QVERIFY(!dock.isVisible());
        QVERIFY(dock.listedItems().empty());

        auto& toggle = *tbtest::ui<QAction>(window, "ItemBrowser1");
        toggle.trigger();
        QVERIFY(dock.isVisible());
        f.load();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(dock.listedItems().size(), std::size_t(0x10000));
        QTest::keyClicks(tbtest::ui<QLineEdit>(dock, "ItemFilterEdit"), "rock");
        QCOMPARE(dock.listedItems(), (std::vector<std::uint16_t>{0x1363, 0x1364, 0x1368}));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));

        toggle.trigger();
        QVERIFY(!dock.isVisible());
    }
};

QTEST_MAIN(ItemBrowserWindowTest)
#include "test_item_browser_window.moc"
