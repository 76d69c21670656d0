// The main window's writes made to fail by a full device, a read-only mount and a file size
// limit: Save (the map file), bookmarklist.xml at close, and the settings INI file at close
// and at Load. Each time the previous file stays as it was with no temporary file beside
// it, the error names the file, and the window (or, after a close, the next one) writes
// the new content once the fault is gone.
#include "WindowFaults.h"

#include "testsupport/RecordingPrompts.h"
#include "testsupport/TestWorld.h"
#include "testsupport/WaitForJobs.h"

#include "../editor/WindowControls.h"
#include "app/editor/MapEditorWindow.h"
#include "app/shell/DrawGrid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using tbtest::addFaultRows;
using tbtest::FaultyFolder;
using tbtest::strayEntries;
using tbtest::WriteFault;

namespace {

QString qpath(const fs::path& p) {
    return QString::fromStdString(p.string());
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

QStringList naming(const QStringList& messages, const QString& fileName) {
    QStringList found;
    for (const QString& message : messages)
        if (message.contains(fileName))
            found << message;
    return found;
}

enum class OnFaultyFolder { Map, AppDir, Settings };

// The application directory, the map, the game directory and the settings INI, one of the
// first three on the faulty folder and the rest in a temporary folder; messages recorded.
struct World {
    tbtest::TempDir dir;
    fs::path appDir, mapPath, gameDir = dir / "game", iniPath;
    std::mt19937 random;
    std::unique_ptr<QSettings> settings;
    tbtest::RecordingPrompts questions;
    QStringList& messages = questions.shown;

    World(const FaultyFolder& folder, OnFaultyFolder place)
        : appDir(place == OnFaultyFolder::AppDir ? folder.path() : dir / "app"),
          mapPath((place == OnFaultyFolder::Map ? folder.path() : dir.path()) / "map2.mul"),
          iniPath((place == OnFaultyFolder::Settings ? folder.path() : dir.path()) /
                  "settings.ini") {
        fs::create_directories(appDir / "textures");
        tbtest::writeBytes(appDir / "textures" / "tileids.lst", {});
        tbtest::writeGameDir(gameDir);
        tbtest::writeBytes(mapPath, tbtest::makeTestMap().bytes());
        std::ofstream(iniPath, std::ios::binary) << "[General]\nMAPx.mul=" << mapPath.string()
                                                 << "\nUOPath=" << gameDir.string() << "\n";
        settings = std::make_unique<QSettings>(qpath(iniPath), QSettings::IniFormat);
    }

    // A new window on the same settings object, shown (and loaded when asked).
    std::unique_ptr<tbapp::MapEditorWindow> open(bool load) {
        auto form = std::make_unique<tbapp::MapEditorWindow>(*settings, qpath(appDir) + "/", random,
                                                             questions);
        form->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (load)
            tbtest::loadMap(*form);
        return form;
    }
};

void toggleBookmark(tbapp::MapEditorWindow& form, int number, int x, int y) {
    tbtest::ui<QLineEdit>(form, "XJumpEdit")->setText(QString::number(x));
    tbtest::ui<QLineEdit>(form, "YJumpEdit")->setText(QString::number(y));
    tbtest::ui<QPushButton>(form, "CoordGoBtn")->click();
    tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->setFocus();
    QTest::keyClick(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid"), Qt::Key(Qt::Key_0 + number),
                    Qt::ControlModifier | Qt::AltModifier);
}

} // namespace

class TestMainWindowFaults : public QObject {
    Q_OBJECT

private slots:
    // Save with one cell changed: the map file stays whole, Save and Load come back, and
    // the next Save writes the change.
    void mapSave_data() { addFaultRows(); }
    void mapSave() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder(40u << 20); // the 11 MB map and its temporary copy
        World world(folder, OnFaultyFolder::Map);
        const std::vector<unsigned char> previous = tbtest::readBytes(world.mapPath);
        auto form = world.open(true);
        QVERIFY(form->mapLoaded());
        tb::MapDocument::Edit(form->document()).write(100, 200, tb::MapCell{7, -3});
        const std::vector<unsigned char> changed = form->loadedMap()->bytes();
        QVERIFY(changed != previous);

        folder.arm(fault);
        tbtest::ui<QPushButton>(*form, "btnSave")->click();
        tbtest::waitForJobs();
        QVERIFY(tbtest::readBytes(world.mapPath) == previous);
        QCOMPARE(strayEntries(folder.path(), {"map2.mul"}), QStringList());
        QCOMPARE(world.messages.size(), 1);
        QVERIFY2(world.messages[0].contains("map2.mul"), qPrintable(world.messages[0]));
        QVERIFY(tbtest::ui<QPushButton>(*form, "btnSave")->isEnabled());
        QCOMPARE(tbtest::ui<QPushButton>(*form, "btnSave")->text(), QString("Save"));
        QVERIFY(tbtest::ui<QPushButton>(*form, "btnLoad")->isEnabled());
        QVERIFY(form->mapLoaded());
        QCOMPARE(form->loadedMap()->cell(100, 200), (tb::MapCell{7, -3}));

        folder.disarm();
        tbtest::ui<QPushButton>(*form, "btnSave")->click();
        tbtest::waitForJobs();
        QCOMPARE(world.messages.size(), 1);
        QVERIFY(tbtest::readBytes(world.mapPath) == changed);
        QCOMPARE(strayEntries(folder.path(), {"map2.mul"}), QStringList());
    }

    // Closing with bookmark 1 set: bookmarklist.xml keeps the previous ten entries, the
    // error names it, and the window still closes. The next window reads the previous
    // file and its close writes the new bookmark.
    void bookmarksAtClose_data() { addFaultRows(); }
    void bookmarksAtClose() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder;
        World world(folder, OnFaultyFolder::AppDir);
        const fs::path file = world.appDir / "bookmarklist.xml";
        {
            auto first = world.open(true);
            toggleBookmark(*first, 0, 17, 1500);
            first->close();
        }
        const std::string previous = fileText(file);
        QVERIFY(previous.find("<Col id=\"0\">17</Col>") != std::string::npos);
        QCOMPARE(world.messages, QStringList());

        auto form = world.open(true);
        toggleBookmark(*form, 1, 5, 6);
        QSignalSpy closed(form.get(), &tbapp::MapEditorWindow::formClosed);
        folder.arm(fault);
        form->close();
        QCOMPARE(fileText(file), previous);
        QCOMPARE(strayEntries(folder.path(), {"bookmarklist.xml", "textures"}), QStringList());
        QCOMPARE(naming(world.messages, "bookmarklist.xml").size(), 1);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!form->isVisible());
        folder.disarm();
        form.reset();

        world.messages.clear();
        auto next = world.open(true);
        QCOMPARE(tbtest::mapView(*next).bookmarks().at(0), (tb::Bookmark{17, 1500, true}));
        QVERIFY(!tbtest::mapView(*next).bookmarks().at(1).enabled);
        toggleBookmark(*next, 1, 5, 6);
        next->close();
        QCOMPARE(world.messages, QStringList());
        const std::string written = fileText(file);
        QVERIFY(written.find("<Col id=\"1\">5</Col>\r\n    <Row id=\"1\">6</Row>\r\n"
                             "    <Enabled id=\"1\">True</Enabled>") != std::string::npos);
        QVERIFY(written.find("<Col id=\"0\">17</Col>") != std::string::npos);
        QCOMPARE(strayEntries(folder.path(), {"bookmarklist.xml", "textures"}), QStringList());
    }

    // Closing with a new X in the jump box: the INI file keeps its previous contents and
    // the failed write is reported naming it. The store keeps the values; the next
    // window's close, with the fault gone, writes them and reports nothing.
    void settingsAtClose_data() { addFaultRows(); }
    void settingsAtClose() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder;
        World world(folder, OnFaultyFolder::Settings);
        const std::string previous = fileText(world.iniPath);
        auto form = world.open(false);
        tbtest::ui<QLineEdit>(*form, "XJumpEdit")->setText("123");
        folder.arm(fault);
        form->close();
        QCOMPARE(fileText(world.iniPath), previous);
        QCOMPARE(strayEntries(folder.path(), {"settings.ini"}), QStringList());
        const QStringList reported = naming(world.messages, "settings.ini");
        QCOMPARE(reported.size(), 1);
        QVERIFY2(reported[0].contains(qpath(world.iniPath)), qPrintable(reported[0]));
        QVERIFY(!form->isVisible());
        QVERIFY(world.settings->status() != QSettings::NoError);
        folder.disarm();
        form.reset();

        world.messages.clear();
        auto next = world.open(false);
        QCOMPARE(tbtest::ui<QLineEdit>(*next, "XJumpEdit")->text(), QString("123"));
        tbtest::ui<QLineEdit>(*next, "XJumpEdit")->setText("456");
        next->close();
        QCOMPARE(world.messages, QStringList());
        const std::string written = fileText(world.iniPath);
        QVERIFY2(written.find("CoordX=456") != std::string::npos, written.c_str());
        QVERIFY(written.find("MAPx.mul=") != std::string::npos);
        QCOMPARE(strayEntries(folder.path(), {"settings.ini"}), QStringList());
    }

    // Load stores both paths: a store that cannot be written is reported naming its file,
    // and the map is loaded all the same.
    void settingsAtLoad_data() { addFaultRows(); }
    void settingsAtLoad() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder;
        World world(folder, OnFaultyFolder::Settings);
        auto form = world.open(false);
        // A path written another way than the INI has it, so that Load changes the store.
        tbtest::ui<QLineEdit>(*form, "UOPathEdit")->setText(qpath(world.gameDir) + "/");
        const std::string previous = fileText(world.iniPath);
        folder.arm(fault);
        tbtest::ui<QPushButton>(*form, "btnLoad")->click();
        tbtest::waitForJobs();
        QCOMPARE(fileText(world.iniPath), previous);
        QCOMPARE(strayEntries(folder.path(), {"settings.ini"}), QStringList());
        QCOMPARE(naming(world.messages, "settings.ini").size(), 1);
        QVERIFY(form->mapLoaded());
        QVERIFY(tbtest::ui<QPushButton>(*form, "btnSave")->isEnabled());
        QVERIFY(tbtest::ui<QPushButton>(*form, "btnLoad")->isEnabled());
        folder.disarm();

        world.messages.clear();
        tbtest::ui<QPushButton>(*form, "btnLoad")->click();
        tbtest::waitForJobs();
        QCOMPARE(world.messages, QStringList());
        QVERIFY(fileText(world.iniPath).find("UOPath=" + world.gameDir.string() + "/") !=
                std::string::npos);
    }
};

TB_FAULT_TEST_MAIN(TestMainWindowFaults)
#include "test_main_window_faults.moc"
