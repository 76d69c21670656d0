// The catalogue windows' saves made to fail by a full device, a read-only mount and a file
// size limit: the options dialog's tile list and texture list, and the brush editor's brush
// file. Each time the previous file stays as it was with no temporary file beside it, the
// error names the file, and the window, with its edits, saves again once the fault is gone.
// (The group dialog and the tile picker write no file.)
#include "WindowFaults.h"
#include "testsupport/FindControl.h"

#include "../catalogue/CatalogueFixtures.h"

#include "app/catalogue/BrushEditorDialog.h"
#include "app/catalogue/OptionsDialog.h"
#include "app/shell/DrawGrid.h"
#include "catalogue/TileList.h"

#include "TestPaths.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using tbtest::addFaultRows;
using tbtest::FaultyFolder;
using tbtest::strayEntries;
using tbtest::WriteFault;

namespace {

// Over 64 bytes, so the file size limit stops a write of it.
const std::string kTileList = "<?xml version=\"1.0\" ?>\r\n<TileList>\r\n"
                              "<Tile><Name>Sand</Name><TileId>$0016</TileId></Tile>\r\n"
                              "<Tile><Name>Cave</Name><TileId>$0245</TileId>"
                              "<TileId>$0246</TileId></Tile>\r\n</TileList>\r\n";
const std::string kTileIds =
    "textureid=$0003\r\ntextureid=$0004\r\ntextureid=$01D3\r\ntextureid=$0005\r\n";

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The palette list and the tile groups in a new application folder.
void writeCatalogues(const fs::path& app) {
    fs::create_directories(app / "textures");
    writeText(app / "textures" / "tileids.lst", kTileIds);
    writeText(app / "tilelist.xml", kTileList);
}

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

tbapp::CatalogueContext contextFor(const fs::path& appDir, RecordingPrompts& prompts) {
    return {qpath(appDir) + "/", fakeTileImages(), &prompts};
}

// The main window's steps of the save sequence, recorded.
struct SaveRecorder {
    QStringList calls;
    tb::OptionsSaveSteps steps() {
        tb::OptionsSaveSteps s;
        s.loadTileGroups = [this] { calls << "LoadTileGroups"; };
        s.loadTextureList = [this](const std::string& p) {
            calls << "LoadTextureList " + QString::fromStdString(p);
        };
        s.buildListMenu = [this](const std::string& p) {
            calls << "BuildListMenu " + QString::fromStdString(p);
        };
        return s;
    }
};

QStringList groupCaptions(const tbapp::OptionsDialog& options) {
    QStringList captions;
    for (int i = 0; i < tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItemCount();
         ++i)
        captions
            << tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItem(i)->text(0);
    return captions;
}

QStringList textureItems(const tbapp::OptionsDialog& options) {
    QStringList items;
    for (int i = 0; i < tbtest::control<QListWidget>(options, "lbTexture")->count(); ++i)
        items << tbtest::control<QListWidget>(options, "lbTexture")->item(i)->text();
    return items;
}

// Every control a user works the options dialog with can be used.
bool optionsControlsEnabled(const tbapp::OptionsDialog& options) {
    for (const QWidget* w :
         {static_cast<const QWidget*>(tbtest::control<QTreeWidget>(options, "lvSelectModes")),
          static_cast<const QWidget*>(tbtest::control<QPushButton>(options, "btnAdd")),
          static_cast<const QWidget*>(tbtest::control<QListWidget>(options, "lbTexture")),
          static_cast<const QWidget*>(tbtest::control<QPushButton>(options, "btnAddTexture")),
          static_cast<const QWidget*>(tbtest::control<QComboBox>(options, "cbTextureLists")),
          static_cast<const QWidget*>(tbtest::control<QPushButton>(options, "BitBtn2")),
          static_cast<const QWidget*>(tbtest::control<QPushButton>(options, "BitBtn3"))})
        if (!w->isEnabled())
            return false;
    return options.isEnabled();
}

} // namespace

class TestCatalogueWindowFaults : public QObject {
    Q_OBJECT

private slots:
    // "&Options..." with the group "Sand" deleted: tilelist.xml cannot be written. The
    // sequence ends there; the dialog comes back with the edit, and OK saves it.
    void optionsTileListWrite_data() { addFaultRows(); }
    void optionsTileListWrite() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder;
        const fs::path app = folder.path();
        writeCatalogues(app);

        RecordingPrompts prompts;
        SaveRecorder recorder;
        int shown = 0;
        prompts.onDialog = [&](QDialog& d) {
            auto& options = dynamic_cast<tbapp::OptionsDialog&>(d);
            ++shown;
            if (shown == 1) {
                prompts.confirmAnswers = {true, true}; // delete the group, then show again
                tbtest::control<QTreeWidget>(options, "lvSelectModes")
                    ->setCurrentItem(
                        tbtest::control<QTreeWidget>(options, "lvSelectModes")->topLevelItem(0));
                QTest::mouseClick(tbtest::control<QPushButton>(options, "btnDelete"),
                                  Qt::LeftButton);
                QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
                folder.arm(fault);
                return options.result();
            }
            // Shown again after the failed save, before the fault is taken away.
            [&] {
                QCOMPARE(fileText(app / "tilelist.xml"), kTileList);
                QCOMPARE(strayEntries(app, {"tilelist.xml", "textures"}), QStringList());
                QCOMPARE(recorder.calls, QStringList());
                QCOMPARE(prompts.errors.size(), 1);
                QVERIFY2(prompts.errors[0].contains("tilelist.xml"), qPrintable(prompts.errors[0]));
                QCOMPARE(prompts.confirmations.last(), tbapp::kOptionsNotSavedQuestion);
                QCOMPARE(groupCaptions(options), QStringList{"Cave"});
                QVERIFY(optionsControlsEnabled(options));
            }();
            folder.disarm();
            QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
            return options.result();
        };
        QVERIFY(tbapp::runOptionsCommand(contextFor(app, prompts), nullptr, recorder.steps()));
        QCOMPARE(shown, 2);
        QCOMPARE(prompts.errors.size(), 1);
        const auto groups = tb::readTileList(app / "tilelist.xml");
        QCOMPARE(groups.size(), std::size_t(1));
        QCOMPARE(groups[0].tileName, std::string("Cave"));
        QCOMPARE(recorder.calls.size(), 3);
        QCOMPARE(strayEntries(app, {"tilelist.xml", "textures"}), QStringList());
    }

    // The texture list (on the faulty folder; the tile list beside the program is not)
    // with its first two items swapped: tilelist.xml is written, tileids.lst is not.
    void optionsTextureListWrite_data() { addFaultRows(); }
    void optionsTextureListWrite() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder;
        tbtest::TempDir dir;
        const fs::path app = dir.path();
        fs::create_directory_symlink(folder.path(), app / "textures");
        writeText(folder / "tileids.lst", kTileIds);

        RecordingPrompts prompts;
        SaveRecorder recorder;
        int shown = 0;
        prompts.onDialog = [&](QDialog& d) {
            auto& options = dynamic_cast<tbapp::OptionsDialog&>(d);
            ++shown;
            if (shown == 1) {
                tbtest::control<QListWidget>(options, "lbTexture")->setCurrentRow(0);
                QTest::mouseClick(tbtest::control<QToolButton>(options, "btnTextureDown"),
                                  Qt::LeftButton);
                QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
                folder.arm(fault);
                return options.result();
            }
            [&] {
                QCOMPARE(fileText(folder / "tileids.lst"), kTileIds);
                QCOMPARE(strayEntries(folder.path(), {"tileids.lst"}), QStringList());
                // The empty tile list (under 64 bytes) went to the other folder first.
                QVERIFY(fs::exists(app / "tilelist.xml"));
                QCOMPARE(recorder.calls, QStringList{"LoadTileGroups"});
                QCOMPARE(prompts.errors.size(), 1);
                QVERIFY2(prompts.errors[0].contains("tileids.lst"), qPrintable(prompts.errors[0]));
                QCOMPARE(textureItems(options), QStringList({"$0004", "$0003", "$01D3", "$0005"}));
                QVERIFY(optionsControlsEnabled(options));
            }();
            folder.disarm();
            QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
            return options.result();
        };
        prompts.confirmAnswers = {true};
        QVERIFY(tbapp::runOptionsCommand(contextFor(app, prompts), nullptr, recorder.steps()));
        QCOMPARE(shown, 2);
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(fileText(folder / "tileids.lst"),
                 std::string("textureid=$0004\r\ntextureid=$0003\r\ntextureid=$01D3\r\n"
                             "textureid=$0005\r\n"));
        QCOMPARE(recorder.calls, QStringList({"LoadTileGroups", "LoadTileGroups",
                                              "LoadTextureList textures/tileids.lst",
                                              "BuildListMenu textures/tileids.lst"}));
        QCOMPARE(strayEntries(folder.path(), {"tileids.lst"}), QStringList());
    }

    // Answering No after a failed save ends the command as before: nothing more is shown
    // and the previous file stays.
    void optionsNotReopenedWhenDeclined() {
        SKIP_WITHOUT_MOUNTS();
        FaultyFolder folder;
        const fs::path app = folder.path();
        writeCatalogues(app);
        RecordingPrompts prompts;
        SaveRecorder recorder;
        int shown = 0;
        prompts.onDialog = [&](QDialog& d) {
            ++shown;
            auto& options = dynamic_cast<tbapp::OptionsDialog&>(d);
            QTest::mouseClick(tbtest::control<QPushButton>(options, "BitBtn2"), Qt::LeftButton);
            folder.arm(WriteFault::ReadOnlyMount);
            return options.result();
        };
        prompts.confirmAnswers = {false};
        QVERIFY(!tbapp::runOptionsCommand(contextFor(app, prompts), nullptr, recorder.steps()));
        folder.disarm();
        QCOMPARE(shown, 1);
        QCOMPARE(prompts.confirmations, QStringList{tbapp::kOptionsNotSavedQuestion});
        QCOMPARE(fileText(app / "tilelist.xml"), kTileList);
    }

    // OK on a ten-cell brush "Pond" whose file cannot be replaced: the error names the
    // file, the editor stays open with the drawing (Yes to the question), and OK saves it
    // once the fault is gone.
    void brushWrite_data() { addFaultRows(); }
    void brushWrite() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        FaultyFolder folder;
        const fs::path app = folder.path();
        fs::create_directories(app / "textures");
        fs::create_directories(app / "brushes");
        writeText(app / "textures" / "tileids.lst", kTileIds);
        const std::string previous = "0,0,$0004\r\n";
        writeText(app / "brushes" / "Pond.brs", previous);

        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(contextFor(app, prompts));
        editor.setBrushNames(tbapp::brushNames(qpath(app) + "/"));
        editor.show();
        tbtest::control<QComboBox>(editor, "cbCustomBrushes")->setEditText("Pond");
        QCOMPARE(tbtest::control<QLineEdit>(editor, "edBrushName")->text(), QString("Pond"));
        tbtest::control<QSpinBox>(editor, "udRows")->setValue(2);
        tbtest::control<QSpinBox>(editor, "udCols")->setValue(5);
        tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid")->selectCell(0, 3); // $01D3
        for (int col = 0; col < 5; ++col)
            for (int row = 0; row < 2; ++row)
                tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->selectCell(col, row);
        // The drawing as it is saved, column by column: ten cells of $01D3.
        std::string expected;
        for (int col = 0; col < 5; ++col)
            for (int row = 0; row < 2; ++row)
                expected += std::to_string(col) + "," + std::to_string(row) + ",$01D3\r\n";
        QVERIFY(expected.size() > 64);

        folder.arm(fault);
        prompts.confirmAnswers = {true};
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(fileText(app / "brushes" / "Pond.brs"), previous);
        QCOMPARE(strayEntries(app / "brushes", {"Pond.brs"}), QStringList());
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY2(prompts.errors[0].contains("Pond.brs"), qPrintable(prompts.errors[0]));
        QCOMPARE(prompts.confirmations, QStringList{tbapp::kBrushNotSavedQuestion});
        QVERIFY(editor.isVisible());
        // The drawing is kept: the save below writes it whole.
        for (const QWidget* w :
             {static_cast<const QWidget*>(tbtest::control<QPushButton>(editor, "BitBtn1")),
              static_cast<const QWidget*>(tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")),
              static_cast<const QWidget*>(tbtest::control<QLineEdit>(editor, "edBrushName")),
              static_cast<const QWidget*>(
                  tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid"))})
            QVERIFY(w->isEnabled());

        folder.disarm();
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(fileText(app / "brushes" / "Pond.brs"), expected);
        QCOMPARE(strayEntries(app / "brushes", {"Pond.brs"}), QStringList());
        QCOMPARE(prompts.errors.size(), 1);
    }

    // No to the question closes the editor with OK all the same; the file stays.
    void brushEditorClosesWhenDeclined() {
        SKIP_WITHOUT_MOUNTS();
        FaultyFolder folder;
        const fs::path app = folder.path();
        fs::create_directories(app / "brushes");
        fs::create_directories(app / "textures");
        writeText(app / "textures" / "tileids.lst", kTileIds);
        writeText(app / "brushes" / "Pond.brs", "0,0,$0004\r\n");
        RecordingPrompts prompts;
        tbapp::BrushEditorDialog editor(contextFor(app, prompts));
        editor.show();
        tbtest::control<QLineEdit>(editor, "edBrushName")->setText("Pond");
        tbtest::control<tbapp::DrawGrid>(editor, "smallDrawGrid")->selectCell(0, 1); // $0003
        tbtest::control<tbapp::DrawGrid>(editor, "BrushGrid")->selectCell(1, 1);
        folder.arm(WriteFault::FullDevice);
        prompts.confirmAnswers = {false};
        QTest::mouseClick(tbtest::control<QPushButton>(editor, "BitBtn1"), Qt::LeftButton);
        folder.disarm();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(!editor.isVisible());
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.errors[0].contains("Pond.brs"));
        QCOMPARE(fileText(app / "brushes" / "Pond.brs"), std::string("0,0,$0004\r\n"));
    }
};

TB_FAULT_TEST_MAIN(TestCatalogueWindowFaults)
#include "test_catalogue_window_faults.moc"
