// The isometric view in the main window, used as a builder uses it: switched on from the
// View menu, a cell painted and an item placed where the picture shows them, the pointer
// naming the cell and the item under it, Max Z leaving out what stands above it, undo
// from the view's keys, and a jump bringing its cell to the middle.
#include "MainWindowFixture.h"

#include "StaticsFixtures.h"
#include "app/editor/IsoMapView.h"
#include "app/editor/MapViews.h"
#include "app/items/ItemBrowserDock.h"
#include "app/shell/RadioGroup.h"
#include "demo/DemoItems.h"

#include <QComboBox>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>

namespace {

// The test world with the demo tiledata and a tree at z 2 on cell (6, 4), its top left 64 x 64
// cells level: no land raised far in front of them covers them in the picture.
struct IsoWindow : tbtest::MainWindowFixture {
    IsoWindow() {
        tb::MapImage map = tb::MapImage::load(mapPath);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                map.setCell(x, y, {tbtest::kMissingTile, 0});
        tbtest::writeBytes(mapPath, map.bytes());
        tbtest::writeBytes(gameDir / "tiledata.mul", tb::demo::generateDemoTileData());
        const tb::MapVariant& v = tbtest::ilshenar();
        tbtest::StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        pair.setBlock(0, {{0x0CCA, 6, 4, 2}});
        tbtest::writeBytes(mapPath.parent_path() / "staidx2.mul", pair.index);
        tbtest::writeBytes(mapPath.parent_path() / "statics2.mul", pair.data);
    }
    tbapp::IsoMapView& iso() { return form->mapViews().isometricView(); }
    QWidget& port() { return *iso().viewport(); }
    // A click on the middle of cell (x, y) as the picture shows it.
    void clickIsoCell(int x, int y) {
        QTest::mouseClick(&port(), Qt::LeftButton, Qt::NoModifier, iso().viewportPointOfCell(x, y));
    }
    void moveOverIsoCell(int x, int y) {
        QTest::mouseMove(&port(), iso().viewportPointOfCell(x, y));
    }
};

} // namespace

class IsoViewTest : public QObject {
    Q_OBJECT

private slots:
    void paintAndPlaceWhereThePictureShowsTheCells() {
        IsoWindow f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        tbtest::ui<QAction>(form, "ShowStatics1")->trigger();
        tbtest::ui<QAction>(form, "IsometricView1")->trigger();
        QVERIFY(form.mapViews().isometric());
        QCOMPARE(tbtest::ui<QStackedWidget>(form, "MapViews")->currentWidget(),
                 static_cast<QWidget*>(&f.iso()));
        QVERIFY(tbtest::ui<QToolButton>(form, "IsoViewButton")->isChecked());
        f.jump(5, 5);
        QCoreApplication::processEvents();
        // The jump's cell stands in the middle of the view.
        const QPoint middle = f.iso().viewportPointOfCell(5, 5);
        QVERIFY2((middle - f.port().rect().center()).manhattanLength() < 2 * 44,
                 qPrintable(QString("%1,%2").arg(middle.x()).arg(middle.y())));

        // Paint: "Set to Z" 7 on the cell clicked in the picture.
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(2);
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("7");
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
        f.clickIsoCell(5, 5);
        QCOMPARE(int(form.document().cell(5, 5).altitude), 7);
        QCOMPARE(int(form.document().cell(4, 5).altitude), 0); // its neighbour untouched
        f.moveOverIsoCell(5, 5);
        QVERIFY2(f.status().startsWith("X=5 - Y=5 - Altitude=7"), qPrintable(f.status()));

        // The tree is picked by its picture (somewhere above its cell's middle): the status
        // line names it.
        QPoint overTree = f.iso().viewportPointOfCell(6, 4);
        for (int up = 0; up < 80; ++up) {
            const auto pick = f.iso().painter().pick(f.iso().scenePoint(overTree));
            if (pick && pick->item)
                break;
            overTree.ry() -= 1;
        }
        QTest::mouseMove(&f.port(), overTree);
        QVERIFY2(f.status().endsWith(" - Item=$0CCA Z=2 tree"), qPrintable(f.status()));

        // Place item: the preview stands where the click puts the item.
        auto& browser = form.itemBrowser();
        tbtest::ui<QAction>(form, "ItemBrowser1")->trigger();
        tbtest::waitForJobs(); // the browser reads the tiledata
        QTest::keyClicks(tbtest::ui<QLineEdit>(browser, "ItemFilterEdit"), "rock");
        auto* list = tbtest::ui<QTableView>(browser, "ItemList");
        list->setCurrentIndex(list->model()->index(0, 1));
        tbtest::ui<QToolButton>(form, "btnPlaceItem")->click();
        f.jump(8, 3); // the browser took its room from the view
        f.moveOverIsoCell(8, 3);
        const std::vector<tb::PlacedItem> preview = form.currentTool()->overlay().preview;
        QCOMPARE(preview.size(), std::size_t(1));
        QCOMPARE(preview[0].x, 8);
        QCOMPARE(preview[0].y, 3);
        f.clickIsoCell(8, 3);
        QCOMPARE(tb::itemsOnCell(*form.document().statics(), 8, 3).size(), std::size_t(1));
        QCOMPARE(tb::itemsOnCell(*form.document().statics(), 8, 3)[0].record.z, preview[0].z);

        // Ctrl+Z in the view takes the item back, then the painted cell.
        QTest::keyClick(&f.iso(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(tb::itemsOnCell(*form.document().statics(), 8, 3).empty());

        // Max Z below the tree's cell leaves it out of the picture and of picking.
        tbtest::ui<QSpinBox>(form, "MaxZSpin")->setValue(-20);
        QCOMPARE(f.iso().painter().maxZ(), -20);
        f.moveOverIsoCell(5, 5);
        QTest::mouseMove(&f.port(), overTree);
        QVERIFY2(!f.status().contains("Item="), qPrintable(f.status()));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" / ")));

        // Back to the chart from above.
        tbtest::ui<QAction>(form, "IsometricView1")->trigger();
        QVERIFY(!form.mapViews().isometric());
    }
};

QTEST_MAIN(IsoViewTest)
#include "test_iso_view.moc"
