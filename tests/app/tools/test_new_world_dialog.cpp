// The "New world from pictures" window: its named controls and terrain files, a run that
// writes the world and closes naming it, Cancel that leaves no file, and refusals said as
// they are.
#include "app/tools/NewWorldDialog.h"

#include "TestPaths.h"
#include "ToolWindowsTestSupport.h"
#include "testsupport/FindControl.h"
#include "testsupport/HeldWorkers.h"
#include "testsupport/WaitForJobs.h"
#include "tools/WorldGenerator.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace fs = std::filesystem;

namespace {

// Grass and sand with their fill tiles only: every cell where they meet lacks a tile.
const char* const kTerrainFile =
    "<Terrains>\r\n"
    "  <Terrain Name=\"Grass\" Colour=\"#00C000\" Jitter=\"1\"/>\r\n"
    "  <Terrain Name=\"Sand\" Colour=\"#C0C000\"/>\r\n"
    "  <Tile Id=\"$0003\" Corners=\"Grass Grass Grass Grass\"/>\r\n"
    "  <Tile Id=\"$0016\" Corners=\"Sand Sand Sand Sand\"/>\r\n"
    "  <Scatter Terrain=\"Grass\" Chance=\"5\"><Item Id=\"$0CCA\"/></Scatter>\r\n"
    "</Terrains>\r\n";

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A program folder with terrain files, and Tokuno-sized pictures: grass with a square of
// sand at (10, 10)..(19, 19), the land at altitude 4.
struct Inputs {
    tbtest::TempDir dir;
    fs::path appDir = dir / "app";
    QString terrain = qpath(dir / "terrain.png");
    QString altitude = qpath(dir / "altitude.png");

    Inputs() {
        fs::create_directories(appDir / "terrains");
        std::ofstream(appDir / "terrains" / "demo.xml", std::ios::binary) << kTerrainFile;
        std::ofstream(appDir / "terrains" / "Coast.xml", std::ios::binary) << kTerrainFile;
        QImage colours(1448, 1448, QImage::Format_RGB32);
        colours.fill(QColor(0x00, 0xC0, 0x00));
        for (int y = 10; y < 20; ++y)
            for (int x = 10; x < 20; ++x)
                colours.setPixel(x, y, qRgb(0xC0, 0xC0, 0x00));
        colours.save(terrain);
        QImage heights(1448, 1448, QImage::Format_Grayscale8);
        heights.fill(QColor(132, 132, 132));
        heights.save(altitude);
    }
    QString appText() const { return qpath(appDir) + "/"; }
};

void fill(tbapp::NewWorldDialog& form, const QString& terrain, const QString& altitude,
          const QString& destination) {
    tbtest::control<QLineEdit>(form, "TerrainPictureEdit")->setText(terrain);
    tbtest::control<QLineEdit>(form, "AltitudePictureEdit")->setText(altitude);
    tbtest::control<QLineEdit>(form, "NewMapEdit")->setText(destination);
}

} // namespace

class NewWorldDialogTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAreNamedAndTheTerrainFilesListed() {
        Inputs in;
        RecordingPrompts prompts;
        tbapp::NewWorldDialog form(in.appText(), prompts, nullptr);
        QCOMPARE(form.windowTitle(), QString("New world from pictures"));
        auto* files = tbtest::control<QComboBox>(form, "TerrainFileBox");
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->itemText(0), QString("Coast"));
        QCOMPARE(files->currentText(), QString("demo"));
        QCOMPARE(tbtest::control<QSpinBox>(form, "SeedSpin")->value(), 1);
        QVERIFY(tbtest::control<QCheckBox>(form, "WithStaticsCheck")->isChecked());
        // Every control a screen reader reaches has a name of its own.
        for (QWidget* child : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<QLabel*>(child) || !child->focusPolicy() ||
                child->objectName().isEmpty())
                continue;
            QVERIFY2(!child->accessibleName().isEmpty(), qPrintable(child->objectName()));
        }
        auto* terrainEdit = tbtest::control<QLineEdit>(form, "TerrainPictureEdit");
        auto* altitudeEdit = tbtest::control<QLineEdit>(form, "AltitudePictureEdit");
        QCOMPARE(terrainEdit->accessibleName(), QString("Terrain picture"));

        // The "..." buttons fill their boxes from the file dialogs.
        prompts.openAnswers = {in.terrain, in.altitude};
        tbtest::control<QPushButton>(form, "TerrainPictureButton")->click();
        tbtest::control<QPushButton>(form, "AltitudePictureButton")->click();
        QCOMPARE(prompts.openNames(), (QStringList{"TerrainPicture", "AltitudePicture"}));
        QCOMPARE(prompts.openRequests[1].directory, qpath(in.dir.path()));
        QCOMPARE(terrainEdit->text(), in.terrain);
        QCOMPARE(altitudeEdit->text(), in.altitude);
        prompts.saveAnswers = {qpath(in.dir / "map4.mul")};
        tbtest::control<QPushButton>(form, "NewMapButton")->click();
        QCOMPARE(prompts.saveNames(), QStringList{"NewWorldMap"});
        QVERIFY(prompts.saveRequests[0].confirmOverwrite);
        QCOMPARE(tbtest::control<QLineEdit>(form, "NewMapEdit")->text(),
                 qpath(in.dir / "map4.mul"));

        // A box left empty is named before anything runs.
        altitudeEdit->clear();
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        QCOMPARE(prompts.shown, QStringList{"Name the altitude picture first."});
        QVERIFY(!tbapp::JobRunner::anyBusy());
    }

    // A run with items: the map and its pair are written, the cells without a tile are
    // said, and the window closes accepted, naming the map.
    void aRunWritesTheWorldAndClosesNamingIt() {
        Inputs in;
        RecordingPrompts prompts;
        tbapp::NewWorldDialog form(in.appText(), prompts, nullptr);
        form.show();
        const QString destination = qpath(in.dir / "out" / "map4.mul");
        fs::create_directory(in.dir / "out");
        fill(form, in.terrain, in.altitude, destination);
        tbtest::control<QSpinBox>(form, "SeedSpin")->setValue(9);
        auto* generate = tbtest::control<QPushButton>(form, "GenerateButton");
        generate->click();
        const bool enabledDuringRun = generate->isEnabled();
        form.reject(); // refused while the run goes on
        QVERIFY(form.isVisible());
        TB_WAIT_FOR_JOBS();

        QVERIFY(!enabledDuringRun);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.generatedMap(), destination);
        QCOMPARE(fs::file_size(in.dir / "out" / "map4.mul"), std::uintmax_t(6'421'156));
        QVERIFY(fs::exists(in.dir / "out" / "staidx4.mul"));
        QVERIFY(fs::file_size(in.dir / "out" / "statics4.mul") > 0);
        // The ring of cells around the 9 x 9 sand cells: 11 x 11 less 9 x 9.
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY2(prompts.shown[0].startsWith("40 cells need corners that no tile of demo.xml "
                                             "has; each got the fill tile of its top-left "
                                             "terrain. The first: 9,9 10,9 11,9"),
                 qPrintable(prompts.shown[0]));
    }

    // Cancel before the work has begun, a picture of the wrong size and a terrain file that
    // cannot be read: no file, and the window stays open until Cancel closes it.
    void stoppedOrRefusedRunsLeaveNoFileAndTheWindowOpen() {
        Inputs in;
        RecordingPrompts prompts;
        tbapp::NewWorldDialog form(in.appText(), prompts, nullptr);
        form.show();
        auto* generate = tbtest::control<QPushButton>(form, "GenerateButton");
        auto* cancel = tbtest::control<QPushButton>(form, "CancelButton");
        fill(form, in.terrain, in.altitude, qpath(in.dir / "map4.mul"));
        const std::size_t entries = tbtest::entriesIn(in.dir.path());
        {
            tbtest::HeldWorkers held;
            generate->click();
            cancel->click();
        }
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.shown, QStringList{tb::kGenerateStoppedMessage});
        QVERIFY(form.generatedMap().isEmpty());
        QVERIFY(generate->isEnabled());
        QCOMPARE(tbtest::control<QLabel>(form, "ProgressInfo")->text(), QString());

        prompts.forgetShown();
        fill(form, in.terrain, in.altitude, qpath(in.dir / "map2.mul"));
        generate->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.messages, QStringList{"\"" + in.terrain +
                                               "\" is 1448x1448 pixels, but a map \"map2.mul\" "
                                               "is 2304x1600 cells"});
        QVERIFY(prompts.errors.isEmpty());

        // A terrain file that cannot be read is an error report naming it.
        prompts.forgetShown();
        std::ofstream(in.appDir / "terrains" / "demo.xml", std::ios::binary) << "<Nothing/>";
        fill(form, in.terrain, in.altitude, qpath(in.dir / "map4.mul"));
        generate->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY2(prompts.errors[0].contains("demo.xml"), qPrintable(prompts.errors[0]));
        QCOMPARE(tbtest::entriesIn(in.dir.path()), entries);
        QVERIFY(form.isVisible());

        // Without a run, Cancel closes the window.
        cancel->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(NewWorldDialogTest)
#include "test_new_world_dialog.moc"
