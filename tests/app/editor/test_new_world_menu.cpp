// File > "New world from pictures..." in the main window: the new world is generated, the
// unsaved changes of the map on screen are asked about, and the new map is loaded in its
// place.
#include "MainWindowFixture.h"

#include "app/tools/NewWorldDialog.h"

#include <QAction>
#include <QImage>
#include <QLineEdit>

namespace fs = std::filesystem;

class NewWorldMenuTest : public QObject {
    Q_OBJECT

private slots:
    void theGeneratedWorldIsOpenedInPlaceOfTheMapOnScreen() {
        tbtest::MainWindowFixture f;
        tbtest::writeText(f.appDir / "terrains" / "demo.xml",
                          "<Terrains>\r\n"
                          "  <Terrain Name=\"Land\" Colour=\"#808080\"/>\r\n"
                          "  <Terrain Name=\"Sea\" Colour=\"#0000FF\" Altitude=\"-5\"/>\r\n"
                          "  <Tile Id=\"$0001\" Corners=\"Land Land Land Land\"/>\r\n"
                          "  <Tile Id=\"$0002\" Corners=\"Sea Sea Sea Sea\"/>\r\n"
                          "</Terrains>\r\n");
        // Ilshenar-sized pictures: land, the sea on the left 100 columns; land at 20.
        QImage terrain(2304, 1600, QImage::Format_RGB32);
        terrain.fill(QColor(0x80, 0x80, 0x80));
        for (int y = 0; y < 1600; ++y)
            for (int x = 0; x < 100; ++x)
                terrain.setPixel(x, y, qRgb(0, 0, 0xFF));
        QVERIFY(terrain.save(tbtest::qpath(f.dir / "terrain.png")));
        QImage heights(2304, 1600, QImage::Format_Grayscale8);
        heights.fill(QColor(148, 148, 148));
        QVERIFY(heights.save(tbtest::qpath(f.dir / "altitude.png")));

        tbapp::MapEditorWindow& window = f.openLoaded();
        tb::MapDocument::Edit(window.document()).write(5, 5, {3, 0}); // unsaved
        const fs::path destination = f.dir / "new" / "map2.mul";
        fs::create_directories(destination.parent_path());
        f.questions.onDialog = [&](QDialog& dialog) {
            tbtest::ui<QLineEdit>(dialog, "TerrainPictureEdit")
                ->setText(tbtest::qpath(f.dir / "terrain.png"));
            tbtest::ui<QLineEdit>(dialog, "AltitudePictureEdit")
                ->setText(tbtest::qpath(f.dir / "altitude.png"));
            tbtest::ui<QLineEdit>(dialog, "NewMapEdit")->setText(tbtest::qpath(destination));
            tbtest::ui<QPushButton>(dialog, "GenerateButton")->click();
            tbtest::waitForJobs();
            return dialog.result();
        };
        tbtest::ui<QAction>(window, "NewWorldFromPictures1")->trigger();
        TB_WAIT_FOR_JOBS();

        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"}); // Discard
        // No tile joins land and sea: the cells of the shore are said.
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].startsWith("1600 cells need corners"), qPrintable(f.messages[0]));
        QCOMPARE(tbtest::ui<QLineEdit>(window, "MapEdit")->text(), tbtest::qpath(destination));
        QVERIFY(window.mapLoaded());
        QCOMPARE(window.document().fileName(), destination);
        QVERIFY(!window.document().isModified());
        QCOMPARE(window.document().cell(50, 7), (tb::MapCell{2, -5}));
        QCOMPARE(window.document().cell(500, 7), (tb::MapCell{1, 20}));
        QCOMPARE(window.document().cell(5, 5), (tb::MapCell{2, -5}));
        // The map it replaced on screen is as it was on disk.
        QCOMPARE(tb::MapImage::load(f.mapPath).cell(5, 5), tbtest::makeTestMap().cell(5, 5));
    }
};

QTEST_MAIN(NewWorldMenuTest)
#include "test_new_world_menu.moc"
