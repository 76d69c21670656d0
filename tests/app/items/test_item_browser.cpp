// The item browser on the demo's game folder: every item listed with its picture and
// tiledata, narrowed by a name, an id and flags as the user types and ticks, the chosen row
// announced; a folder without a usable tiledata.mul lists its items by id. In the main
// window it is shut until View opens it, and Load feeds it the game folder's items.
#include "editor/MainWindowFixture.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"

#include "app/items/ItemBrowserDock.h"

#include "core/ArtFiles.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoItems.h"
#include "shell/AtomicFileWriter.h"

#include "TestPaths.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Ids = std::vector<std::uint16_t>;

constexpr std::uint16_t kWall = 0x0064;
constexpr std::uint16_t kTree = 0x0CCA;
const Ids kTrees{0x0CCA, 0x0CCB, 0x0CCD};
const Ids kRocks{0x1363, 0x1364, 0x1368};

QString cell(const QTableView& list, std::uint16_t id, int column) {
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        const QModelIndex index = list.model()->index(row, column);
        if (index.data(Qt::UserRole).toInt() == id)
            return index.data().toString();
    }
    return "(not listed)";
}

QImage picture(const QTableView& list, int row) {
    return list.model()->index(row, 0).data(Qt::DecorationRole).value<QImage>();
}

} // namespace

class ItemBrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<tbtest::TempDir> m_dir;
    fs::path m_gameDir;
    tb::ArtFiles m_art;

    QLineEdit& filter(tbapp::ItemBrowserDock& dock) {
        return *tbtest::control<QLineEdit>(dock, "ItemFilterEdit");
    }
    QCheckBox& flag(tbapp::ItemBrowserDock& dock, const char* name) {
        return *tbtest::control<QCheckBox>(dock, name);
    }
    QTableView& list(tbapp::ItemBrowserDock& dock) {
        return *tbtest::control<QTableView>(dock, "ItemList");
    }
    QString countText(tbapp::ItemBrowserDock& dock) {
        return tbtest::control<QLabel>(dock, "ItemCountLabel")->text();
    }
    // The filter text replaced as the user does it: select all, type.
    void typeFilter(tbapp::ItemBrowserDock& dock, const QString& text) {
        filter(dock).selectAll();
        if (text.isEmpty())
            QTest::keyClick(&filter(dock), Qt::Key_Delete);
        else
            QTest::keyClicks(&filter(dock), text);
    }

private slots:
    void initTestCase() {
        m_dir = std::make_unique<tbtest::TempDir>();
        tb::demo::writeDemoDataSet(m_dir->path(),
                                   {1, tb::demo::demoVariant("map4.mul", {1448, 1448})});
        m_gameDir = m_dir->path() / "game";
        m_art.load(m_gameDir);
    }

    void listsFiltersAndChoosesTheDemoItems() {
        tbapp::ItemBrowserDock dock;
        dock.resize(420, 600);
        dock.show();
        QSignalSpy chosen(&dock, &tbapp::ItemBrowserDock::currentItemChanged);
        dock.loadGameData(m_gameDir, &m_art);
        TB_WAIT_FOR_JOBS();

        // Every item of the newer layout, the demo's with their tiledata and pictures.
        QCOMPARE(dock.listedItems().size(), std::size_t(0x10000));
        QCOMPARE(countText(dock), QString("65536 of 65536 items"));
        QTableView& view = list(dock);
        QCOMPARE(cell(view, kTree, 1), QString("$0CCA"));
        QCOMPARE(cell(view, kTree, 2), QString("tree"));
        QCOMPARE(cell(view, kTree, 3), QString("20"));
        QCOMPARE(cell(view, kTree, 4), QString("Background, Impassable"));
        QCOMPARE(cell(view, kWall, 4), QString("Wall, Impassable"));
        const QImage tree = picture(view, kTree);
        const QImage none = picture(view, 1); // no art: the placeholder
        QCOMPARE(tree.height(), 44);          // 44 x 72, scaled into the row
        QVERIFY(tree.width() < 44);
        QVERIFY(tree != none);
        QVERIFY(!none.isNull());

        // A part of a name, in any case; an id; flags alone and with a name.
        typeFilter(dock, "TRE");
        QCOMPARE(dock.listedItems(), kTrees);
        QCOMPARE(countText(dock), QString("3 of 65536 items"));
        typeFilter(dock, "$0CCA");
        QCOMPARE(dock.listedItems(), Ids{kTree});
        typeFilter(dock, "");
        flag(dock, "ItemFlagWall").click();
        QCOMPARE(dock.listedItems(), Ids{kWall});
        flag(dock, "ItemFlagWall").click();
        flag(dock, "ItemFlagImpassable").click();
        QCOMPARE(dock.listedItems().size(), std::size_t(7)); // the wall, trees and rocks
        typeFilter(dock, "rock");
        QCOMPARE(dock.listedItems(), kRocks);
        QVERIFY(!dock.currentItem());
        QCOMPARE(chosen.count(), 0);

        // A click chooses a row; the keys move the choice.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                          view.visualRect(view.model()->index(1, 2)).center());
        QCOMPARE(dock.currentItem(), std::optional<std::uint16_t>(kRocks[1]));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.last().at(0).value<std::uint16_t>(), kRocks[1]);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(dock.currentItem(), std::optional<std::uint16_t>(kRocks[2]));
        QCOMPARE(chosen.count(), 2);

        // The choice stays while a filter hides it and is shown again, unannounced, when
        // the filter lists it again.
        typeFilter(dock, "tree");
        QCOMPARE(dock.currentItem(), std::optional<std::uint16_t>(kRocks[2]));
        typeFilter(dock, "ro");
        QCOMPARE(view.currentIndex().row(), 2);
        QCOMPARE(chosen.count(), 2);

        // No map: nothing listed, the filter kept for the next folder.
        dock.clear();
        QVERIFY(dock.listedItems().empty());
        dock.loadGameData(m_gameDir, &m_art);
        TB_WAIT_FOR_JOBS();
        QCOMPARE(dock.listedItems(), kRocks);
    }

    void withoutUsableTileDataItemsAreListedById() {
        tbtest::TempDir other;
        const fs::path game = other.path() / "game";
        fs::copy(m_gameDir, game);
        fs::remove(game / "tiledata.mul");
        tb::ArtFiles art;
        art.load(game);
        tbapp::ItemBrowserDock dock;
        dock.loadGameData(game, &art);
        TB_WAIT_FOR_JOBS();
        // The demo's art reaches as far as its highest item.
        QCOMPARE(dock.listedItems().size(), std::size_t(kRocks.back() + 1));
        QVERIFY2(countText(dock).contains("No tiledata.mul in"), qPrintable(countText(dock)));
        typeFilter(dock, "tree");
        QVERIFY(dock.listedItems().empty());
        typeFilter(dock, "$0cca");
        QCOMPARE(dock.listedItems(), Ids{kTree});
        QCOMPARE(cell(list(dock), kTree, 2), QString());

        // A file of a size neither layout has: said, and listed by id as well.
        tb::writeFileAtomically(game / "tiledata.mul", std::string(1000, '\0'));
        dock.loadGameData(game, &art);
        TB_WAIT_FOR_JOBS();
        QVERIFY2(countText(dock).contains("is the size of no known tiledata.mul layout"),
                 qPrintable(countText(dock)));
        QCOMPARE(dock.listedItems(), Ids{kTree});
    }

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
        typeFilter(dock, "rock");
        QCOMPARE(dock.listedItems(), kRocks);
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));

        toggle.trigger();
        QVERIFY(!dock.isVisible());
    }
};

QTEST_MAIN(ItemBrowserTest)
#include "test_item_browser.moc"
