// The main editor window against a temporary application directory, settings file, map
// and game directory: start-up, Load and Save, the path boxes, the view settings, zoom,
// the status bar and what the map view shows.

#include "EditorWindowFixture.h"

#include "app/shell/DrawGrid.h"
#include "app/shell/PathBox.h"
#include "app/shell/RadioGroup.h"

#include "core/ArtFiles.h"
#include "core/MapConvert.h"
#include "core/UopNames.h"

#include "UopFixtures.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>

#include <fstream>

using namespace tbtest;
namespace fs = std::filesystem;

namespace {

// One test's world (EditorWindowFixture.h) with the default texture list every installation
// ships, and no settings file until the test writes the one it starts from.
struct Fixture : EditorWindowFixture {
    std::vector<unsigned char> mapBytes = readBytes(mapPath);

    Fixture() : EditorWindowFixture("$0000\r\n") { fs::remove(iniPath); }

    void writeIni(const std::string& text) {
        std::ofstream out(iniPath, std::ios::binary);
        out << "[General]\n" << text;
    }
    void writePathsIni(const std::string& more = {}) {
        writeIni("MAPx.mul=" + mapPath.string() + "\nUOPath=" + gameDir.string() + "\n" + more);
    }

    // Creates the window; `show` also runs the first-show steps.
    tbapp::MapEditorWindow& open(bool show = true) { return create(show); }

    // The settings file as another reader sees it after the window wrote it.
    QString stored(const QString& name) const {
        QSettings reader(qpath(iniPath), QSettings::IniFormat);
        return reader.value(name).toString();
    }
};

} // namespace

class MapEditFormTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartWithEmptySettings() {
        Fixture f;
        tbapp::MapEditorWindow& form = f.open();
        // The title carries Qt's mark of unsaved changes, which shows nothing while there
        // are none.
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt 1.4.1 (x64)[*]"));
        QCOMPARE(form.windowHandle()->title(), QString("Tolvane Brimholt 1.4.1 (x64)"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "MapEdit")->text(), QString());
        QCOMPARE(tbtest::ui<QLineEdit>(form, "UOPathEdit")->text(), QString());
        QVERIFY(!tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "MapEdit")->palette().color(QPalette::Base),
                 QColor(255, 0, 0));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "UOPathEdit")->palette().color(QPalette::Base),
                 QColor(255, 0, 0));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapInfo")->text(), QString("None"));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapSize")->text(), QString("None"));
        QCOMPARE(tbtest::ui<QGroupBox>(form, "ZoomGroup")->title(), QString(" Zoom (45)"));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultColWidth(), 45);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultRowHeight(), 45);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->colCount(), 6144);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->rowCount(), 4096);
        QVERIFY(!tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        QVERIFY(tbtest::ui<QToolButton>(form, "btnDefault")->isChecked());
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->itemIndex(), 3);
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "ShowAltitudeRadioGroup")->itemIndex(), 1);
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "GridBox")->itemIndex(), 1);
        QCOMPARE(tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->currentText(),
                 QString("Don't draw"));
        QCOMPARE(tbtest::statusText(form, 0), QString("X=0 - Y=0 - Wrong filename"));
        QCOMPARE(tbtest::statusText(form, 1),
                 QString("Selected mode: Only draw tile without set altitude - Drawing disabled"));
        QVERIFY(f.messages.isEmpty());
        // Reading did not create the store.
        QVERIFY(!fs::exists(f.iniPath));
    }

    void menuEntriesAndControls() {
        Fixture f;
        tbapp::MapEditorWindow& form = f.open(false);
        QStringList texts;
        for (QAction* menu : form.menuBar()->actions()) {
            texts << menu->text();
            for (QAction* entry : menu->menu()->actions())
                texts << (entry->isSeparator() ? QString("-")
                                               : entry->text() + (entry->isChecked() ? "*" : ""));
        }
        QCOMPARE(texts, QStringList({"&File",
                                     "&Load",
                                     "&Save",
                                     "New world from pictures...",
                                     "-",
                                     "E&xit",
                                     "Edit",
                                     "Undo          CTRL+Z",
                                     "Redo          CTRL+Y",
                                     "Undo stroke",
                                     "Redo stroke",
                                     "-",
                                     "Set hue...",
                                     "Fix terrain edges...",
                                     "&Extra",
                                     "Show Texture ID*",
                                     "-",
                                     "Colored Altitude",
                                     "Show only Color",
                                     "Show Number*",
                                     "Show statics",
                                     "-",
                                     "Export heightmap...",
                                     "Import heightmap...",
                                     "Compact statics",
                                     "Export view as PNG...",
                                     "-",
                                     "Patch Map from file",
                                     "Patch Editor",
                                     "Create Diff patch",
                                     "Enlarge map to ML",
                                     "Map Copy",
                                     "-",
                                     "&Options...",
                                     "&View",
                                     "Item browser",
                                     "Items on cell",
                                     "Terrain",
                                     "Missing transitions",
                                     "Isometric view",
                                     "&Info",
                                     "About"}));
        for (const char* name : {"TopPanel",     "LeftPanel",       "RightPanel",
                                 "BottomPanel",  "FileNamePanel",   "SpeedButton1",
                                 "btnHoehle1",   "btnHoehle14",     "btnCustomBrush",
                                 "TlMap",        "cbCustomBrushes", "SpeedButton6",
                                 "BrushSizeEdt", "BrushSizeMover",  "cbAddRAl",
                                 "edRauschen",   "udRValue",        "SpeedButton2",
                                 "SpeedButton3", "TLZoomLevel",     "XJumpEdit",
                                 "YJumpEdit",    "CoordGoBtn",      "List",
                                 "edFindID",     "btnFind",         "btnCustomTextures",
                                 "cbSortet",     "TextureDrawGrid", "SortedTextureGrid",
                                 "ZValueEdit",   "XValueUpDown",    "MainDrawGrid",
                                 "TlLoadMap",    "TlSelectDir",     "MapInfo",
                                 "MapSize"})
            QVERIFY2(form.findChild<QWidget*>(name), name);
        QCOMPARE(tbtest::ui<QToolButton>(form, "SpeedButton1")->toolTip(), QString("Exit"));
        QCOMPARE(tbtest::ui<QToolButton>(form, "btnRectFill")->toolTip(), QString("Fill"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "MapEdit")->text(),
                 QString("Path to MAPx file")); // before the first show
    }

    void loadAndSaveRoundTrip() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "UOPathEdit")));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapInfo")->text(), QString("Ilshenar"));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapSize")->text(), QString("2304x1600"));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->colCount(), 2304);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->rowCount(), 1600);
        QVERIFY(!form.mapLoaded()); // identified, not loaded

        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        tbtest::waitForJobs();
        QVERIFY(f.messages.isEmpty());
        QVERIFY(form.mapLoaded());
        QVERIFY(tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        QCOMPARE(form.loadedMap()->cell(1, 0), (tb::MapCell{kLandTile, 10}));
        QCOMPARE(f.stored("MAPx.mul"), qpath(f.mapPath));
        QCOMPARE(f.stored("UOPath"), qpath(f.gameDir));
        // The radar colours came from the game directory.
        QCOMPARE(form.radarColours().colour(300), 300);

        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(tbtest::ui<QPushButton>(form, "btnSave")->text(), QString("Save"));
        QVERIFY(readBytes(f.mapPath) == f.mapBytes);
    }

    // A current installation: the map in map2LegacyMUL.uop, the land art in
    // artLegacyMUL.uop. Both boxes turn green, Load reads both, Save writes the container.
    void loadAndSaveAContainer() {
        Fixture f;
        const fs::path uop = f.dir / "maps" / "map2LegacyMUL.uop";
        tb::convertMapFile(f.mapPath, uop);
        fs::remove(f.mapPath);
        const tb::ArtFiles art = makeTestArt();
        std::vector<uoptest::HandEntry> tiles;
        for (int id : {1, 3})
            tiles.push_back(uoptest::handEntry(
                tb::uopNameHash(tb::uopArtEntryName(std::uint32_t(id))),
                std::vector<unsigned char>(art.artData.begin() + (id == 1 ? 0 : 2048),
                                           art.artData.begin() + (id == 1 ? 2048 : 4096))));
        writeBytes(f.gameDir / "artLegacyMUL.uop", uoptest::buildContainer({tiles}));
        fs::remove(f.gameDir / "artidx.mul");
        fs::remove(f.gameDir / "art.mul");
        f.writeIni("MAPx.mul=" + uop.string() + "\nUOPath=" + f.gameDir.string() + "\n");

        tbapp::MapEditorWindow& form = f.open();
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "UOPathEdit")));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapInfo")->text(), QString("Ilshenar"));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapSize")->text(), QString("2304x1600"));
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        tbtest::waitForJobs();
        QVERIFY(f.messages.isEmpty());
        QVERIFY(form.mapLoaded());
        QCOMPARE(form.loadedMap()->cell(1, 0), (tb::MapCell{kLandTile, 10}));

        tb::MapDocument::Edit(*form.mapDocument()).write(7, 9, tb::MapCell{kBothTile, -3});
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QVERIFY(f.messages.isEmpty());
        QVERIFY(!fs::exists(f.mapPath));
        const tb::MapImage saved = tb::MapImage::load(uop);
        QCOMPARE(saved.format(), tb::MapFileFormat::Uop);
        QCOMPARE(saved.cell(7, 9), (tb::MapCell{kBothTile, -3}));
        QCOMPARE(saved.cell(1, 0), (tb::MapCell{kLandTile, 10}));
    }

    void loadNeedsAGreenBox() {
        Fixture f;
        f.writeIni("MAPx.mul=" + (f.dir / "nowhere" / "map2.mul").string() +
                   "\nUOPath=" + (f.dir / "empty").string() + "\n");
        tbapp::MapEditorWindow& form = f.open();
        QVERIFY(!tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QVERIFY(!tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "UOPathEdit")));
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        tbtest::waitForJobs();
        QVERIFY(!form.mapLoaded());
        // Both red: nothing stored either.
        QCOMPARE(f.stored("UOPath"), qpath(f.dir / "empty"));

        // Green game directory, red map: the texts are stored, nothing is loaded.
        tbtest::ui<QLineEdit>(form, "UOPathEdit")->setText(qpath(f.gameDir));
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "UOPathEdit")));
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(f.dir / "maps" / "map9.mul"));
        QVERIFY(!tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        tbtest::waitForJobs();
        QVERIFY(!form.mapLoaded());
        QVERIFY(!tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        QCOMPARE(f.stored("MAPx.mul"), qpath(f.dir / "maps" / "map9.mul"));
        QCOMPARE(f.stored("UOPath"), qpath(f.gameDir));
        QVERIFY(f.messages.isEmpty());
    }

    void unknownSizeIsGreenButRefused() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        f.load();
        QVERIFY(form.mapLoaded());

        const fs::path odd = f.dir / "odd" / "map2.mul";
        fs::create_directories(odd.parent_path());
        writeBytes(odd, std::vector<unsigned char>(1000, 7));
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(odd));
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapInfo")->text(), QString("None"));
        QCOMPARE(tbtest::ui<QLabel>(form, "MapSize")->text(), QString("None"));
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages[0].contains("not a known map file"));
        // The loaded map stays.
        QVERIFY(form.mapLoaded());
        QCOMPARE(form.loadedMap()->size(), f.mapBytes.size());
        QCOMPARE(form.loadedMap()->cell(2, 0), (tb::MapCell{kBothTile, 20}));
    }

    void pathChangeAfterLoadJumpsAndKeepsTheImage() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        f.load();
        QVERIFY(form.mapLoaded());
        tbtest::ui<QLineEdit>(form, "XJumpEdit")->setText("700");
        tbtest::ui<QLineEdit>(form, "YJumpEdit")->setText("900");
        tbtest::ui<QPushButton>(form, "CoordGoBtn")->click();
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), 700);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->row(), 900);
        QVERIFY(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->leftCol() > 0);

        tb::MapDocument::Edit(form.document()).write(5, 5, tb::MapCell{0x1234, 33});
        const fs::path copy = f.dir / "copy" / "map2.mul";
        fs::create_directories(copy.parent_path());
        writeBytes(copy, std::vector<unsigned char>(f.mapBytes.size(), 0));
        // The change is unsaved: the question comes first; Discard leaves the old file as it
        // is and reads the image again from it, which Save then writes under the new name.
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Discard;
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(copy));
        tbtest::waitForJobs();
        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"});
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("0"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("0"));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), 0);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->row(), 0);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->leftCol(), 0);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->topRow(), 0);
        QCOMPARE(form.loadedMap()->cell(5, 5), makeTestMap().cell(5, 5));

        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QVERIFY(f.messages.isEmpty());
        const tb::MapImage saved = tb::MapImage::load(copy);
        QCOMPARE(saved.cell(5, 5), makeTestMap().cell(5, 5));
        QCOMPARE(saved.cell(1, 0), (tb::MapCell{kLandTile, 10}));
        QVERIFY(readBytes(f.mapPath) == f.mapBytes); // the old file is untouched
    }

    void storedSettingsAppliedAndWrittenAtClose() {
        Fixture f;
        f.writeIni("CoordX=12\nCoordY=34\nCoordZ=-5\nZoomLevel=20\nAltitudeModify=1\n"
                   "ShowAltitude=0\nGrid=0\n");
        tbapp::MapEditorWindow& form = f.open(false);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("12"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("34"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "ZValueEdit")->text(), QString("-5"));
        QCOMPARE(tbtest::mapView(form).zoom().level, 20);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultColWidth(), 20);
        QCOMPARE(tbtest::ui<QGroupBox>(form, "ZoomGroup")->title(), QString(" Zoom (20)"));
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->itemIndex(), 1);
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "ShowAltitudeRadioGroup")->itemIndex(), 0);
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "GridBox")->itemIndex(), 0);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->gridLineWidth(), 1);
        // The stored coordinates only fill the boxes.
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), 0);

        form.show();
        QCoreApplication::processEvents();
        tbtest::ui<QToolButton>(form, "SpeedButton3")->click();
        tbtest::ui<QLineEdit>(form, "XJumpEdit")->setText("77");
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->button(2)->click();
        tbtest::ui<tbapp::RadioGroup>(form, "GridBox")->button(1)->click();
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->gridLineWidth(), 0);
        form.close();
        QCOMPARE(f.stored("CoordX"), QString("77"));
        QCOMPARE(f.stored("CoordY"), QString("34"));
        QCOMPARE(f.stored("CoordZ"), QString("-5"));
        QCOMPARE(f.stored("ZoomLevel"), QString("25"));
        QCOMPARE(f.stored("AltitudeModify"), QString("2"));
        QCOMPARE(f.stored("ShowAltitude"), QString("0"));
        QCOMPARE(f.stored("Grid"), QString("1"));
        QVERIFY(f.messages.isEmpty());
    }

    void closingWithoutMapWritesTheDefaults() {
        Fixture f;
        tbapp::MapEditorWindow& form = f.open();
        form.close();
        QCOMPARE(f.stored("CoordX"), QString(""));
        QCOMPARE(f.stored("CoordZ"), QString("0"));
        QCOMPARE(f.stored("ZoomLevel"), QString("45"));
        QCOMPARE(f.stored("AltitudeModify"), QString("3"));
        QCOMPARE(f.stored("ShowAltitude"), QString("1"));
        QCOMPARE(f.stored("Grid"), QString("1"));
        QSettings reader(qpath(f.iniPath), QSettings::IniFormat);
        // The seven view values, the statics switch, the window's place and its docks.
        QCOMPARE(reader.allKeys().size(), 10);
        QCOMPARE(f.stored("ShowStatics"), QString("0"));
        QVERIFY(reader.contains("WindowGeometry"));
        QVERIFY(reader.contains("WindowState"));
    }

    void storedValueThatIsNotANumberStopsTheReading() {
        Fixture f;
        f.writeIni("CoordX=9\nZoomLevel=abc\nAltitudeModify=0\nGrid=0\n");
        tbapp::MapEditorWindow& form = f.open(false);
        QCOMPARE(f.messages, QStringList({"'abc' is not a valid integer value"}));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(),
                 QString("9")); // before it: applied
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->itemIndex(),
                 3); // after it: not applied
        QCOMPARE(tbtest::ui<tbapp::RadioGroup>(form, "GridBox")->itemIndex(), 1);
        QCOMPARE(tbtest::mapView(form).zoom().level, 45);
        QCOMPARE(tbtest::ui<QGroupBox>(form, "ZoomGroup")->title(), QString(" Zoom (45)"));
    }

    void zoomButtonsStopAtTheLimits() {
        Fixture f;
        f.writeIni("ZoomLevel=95\n");
        tbapp::MapEditorWindow& form = f.open(false);
        QVERIFY(tbtest::ui<QToolButton>(form, "SpeedButton3")->isEnabled());
        tbtest::ui<QToolButton>(form, "SpeedButton3")->click();
        QCOMPARE(tbtest::mapView(form).zoom().level, 100);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultColWidth(), 100);
        QVERIFY(!tbtest::ui<QToolButton>(form, "SpeedButton3")->isEnabled());
        QCOMPARE(tbtest::ui<QGroupBox>(form, "ZoomGroup")->title(), QString(" Zoom (100)"));
        for (int i = 0; i < 19; ++i)
            tbtest::ui<QToolButton>(form, "SpeedButton2")->click();
        QCOMPARE(tbtest::mapView(form).zoom().level, 5);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultRowHeight(), 5);
        QVERIFY(!tbtest::ui<QToolButton>(form, "SpeedButton2")->isEnabled());
        QVERIFY(tbtest::ui<QToolButton>(form, "SpeedButton3")->isEnabled());
        tbtest::ui<QPushButton>(form, "TLZoomLevel")->click();
        QCOMPARE(tbtest::mapView(form).zoom().level, 50);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->defaultColWidth(), 50);
        QVERIFY(!tbtest::ui<QToolButton>(form, "SpeedButton2")->isEnabled());
        tbtest::ui<QToolButton>(form, "SpeedButton3")->click();
        QVERIFY(tbtest::ui<QToolButton>(form, "SpeedButton2")->isEnabled());
        QCOMPARE(tbtest::ui<QGroupBox>(form, "ZoomGroup")->title(), QString(" Zoom (55)"));
    }

    void statusBarTexts() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        // Both boxes green: the map waits for Load.
        QCOMPARE(tbtest::statusText(form, 0), QString("X=0 - Y=0 - No map loaded"));
        // The cell under the pointer once loaded: NavigationTest::pointerNamesOnlyTheMapsCells.
        f.load();
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("7");
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->button(0)->click();
        QCOMPARE(tbtest::statusText(form, 1),
                 QString("Selected mode: Add 7 to current altitude - Drawing disabled"));
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
        QCOMPARE(tbtest::statusText(form, 1),
                 QString("Selected mode: Add 7 to current altitude - Drawing altitude only"));
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->button(2)->click();
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(1);
        QCOMPARE(tbtest::statusText(form, 1),
                 QString("Selected mode: Set altitude to 7 - Selected tile=00 00"));

        form.resize(900, 600);
        QCoreApplication::processEvents();
        QCOMPARE(tbtest::statusWidth(form, 0),
                 tbtest::ui<QStatusBar>(form, "StatusBar")->width() / 2);
        QCOMPARE(tbtest::statusWidth(form, 1),
                 tbtest::ui<QStatusBar>(form, "StatusBar")->width() / 2);
    }

    void windowShowsTheLoadedCells() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        f.load();
        QVERIFY(form.mapLoaded());
        const QImage shot = form.grab().toImage();
        auto at = [&](int col, int row, int dx, int dy) {
            const QPoint p = tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")
                                 ->viewport()
                                 ->mapTo(&form, tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")
                                                        ->cellRect(col, row)
                                                        .topLeft() +
                                                    QPoint(dx, dy));
            return shot.pixelColor(p * shot.devicePixelRatio());
        };
        tb::Image15 land;
        QVERIFY(tb::makeLandTileImage(makeTestArt(), kLandTile, land));
        QCOMPARE(at(2, 0, 22, 22), expectedColour(kBothTextureColour));
        QCOMPARE(at(1, 0, 30, 12), expectedColour(land.at(30, 12)));
        QCOMPARE(at(0, 1, 10, 40), expectedColour(land.at(10, 40)));
        QCOMPARE(at(3, 0, 22, 22), QColor(Qt::black)); // tile 0 has no art
        QCOMPARE(at(0, 0, 0, 0), QColor(255, 0, 0));   // the selected cell's frame

        // Grid on: a one-pixel line between cells, and the cells move by one.
        tbtest::ui<tbapp::RadioGroup>(form, "GridBox")->button(0)->click();
        const QImage gridShot = form.grab().toImage();
        const QPoint second =
            tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")
                ->viewport()
                ->mapTo(
                    &form,
                    tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->cellRect(2, 0).topLeft() +
                        QPoint(22, 22));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->cellRect(2, 0).left(), 92);
        QCOMPARE(gridShot.pixelColor(second), expectedColour(kBothTextureColour));
    }

    void failedSaveKeepsTheFileAndRestoresTheButtons() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        f.load();
        QVERIFY(form.mapLoaded());
        // A directory in the file's place cannot be replaced by a file.
        const fs::path blocked = f.dir / "blocked" / "map2.mul";
        fs::create_directories(blocked / "inside");
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(blocked));
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages[0].contains("map2.mul"));
        QCOMPARE(tbtest::ui<QPushButton>(form, "btnSave")->text(), QString("Save"));
        QVERIFY(tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        QVERIFY(tbtest::ui<QPushButton>(form, "btnLoad")->isEnabled());
        QVERIFY(fs::is_directory(blocked / "inside"));
        QCOMPARE(
            std::distance(fs::directory_iterator(blocked.parent_path()), fs::directory_iterator()),
            1); // no temporary file left behind
        // The image is still there and saves fine elsewhere.
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(f.mapPath));
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(readBytes(f.mapPath) == f.mapBytes);
    }

    void unreadableArtKeepsTheStepsBefore() {
        Fixture f;
        f.writePathsIni();
        tbapp::MapEditorWindow& form = f.open();
        // The directory is green, then art.mul goes away before Load.
        fs::remove(f.gameDir / "art.mul");
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        tbtest::waitForJobs();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages[0].contains("art.mul"));
        QVERIFY(!form.mapLoaded());
        QVERIFY(!tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        QCOMPARE(f.stored("MAPx.mul"), qpath(f.mapPath));
        // The end of Load runs after a failure too: the Overview button is usable.
        QVERIFY(tbtest::ui<QToolButton>(form, "TlMap")->isEnabled());
    }
};

QTEST_MAIN(MapEditFormTest)
#include "test_map_edit_form.moc"
