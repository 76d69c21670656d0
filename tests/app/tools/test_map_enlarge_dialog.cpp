// The map enlargement window: identification of the source, the refusals, a run with its
// progress, its disabled button and its result, and a run over the editor's loaded map.
#include "app/tools/MapEnlargeDialog.h"

#include "TestPaths.h"
#include "ToolWindowsTestSupport.h"
#include "app/shell/MapEditorLink.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "editor/MapDocument.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"
#include "tools/MapEnlarge.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace fs = std::filesystem;

namespace {

// The editor with a Tokuno map loaded from `file`, one change unsaved; its Save succeeds.
class EditorWithChanges : public tbapp::MapEditorLink {
public:
    explicit EditorWithChanges(const fs::path& file)
        : document(tb::MapImage(std::vector<unsigned char>(6'421'156),
                                *tb::identifyMapVariant("map4.mul", 6'421'156)),
                   file) {
        tb::MapDocument::Edit(document).write(0, 0, {3, 0});
    }
    void setJumpTexts(const QString&, const QString&) override {}
    void jumpToBoxes() override {}
    int currentX() const override { return 0; }
    int currentY() const override { return 0; }
    const tb::MapImage* loadedMap() override { return &document.image(); }
    tb::MapDocument* mapDocument() override { return &document; }
    void repaintMap() override {}
    void saveMap(std::function<void()> then) override {
        ++saves;
        document.markSaved(document.fileName());
        then();
    }
    void mapFileWritten(const fs::path& file) override { written.push_back(file); }

    tb::MapDocument document;
    int saves = 0;
    std::vector<fs::path> written;
};

} // namespace

class MapEnlargeDialogTest : public QObject {
    Q_OBJECT
private slots:
    void startsIdleWithItsControlsAndDialogs() {
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts);
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt - Map Enlagement"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("None"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapSize")->text(), QString("None"));
        QCOMPARE(tbtest::control<QLabel>(form, "ProgressInfo")->text(), QString());
        QVERIFY(!tbtest::control<QLineEdit>(form, "SourceMap")->isEnabled());
        QCOMPARE(tbtest::control<QPushButton>(form, "TLMapSave")->text(),
                 QString("Enlarge to Mondain's Legacy"));
        QCOMPARE(tbtest::control<QGroupBox>(form, "MapInfoPanel")->title(),
                 QString(" Map file information "));
        for (const char* name : {"Label1", "SourceMap", "TLMapLoad", "MapInfoPanel", "MapInfo",
                                 "MapSize", "ProgressInfo", "ProgressBar", "TLMapSave"})
            QVERIFY2(form.findChild<QWidget*>(name), name);
        tbtest::control<QPushButton>(form, "TLMapLoad")->click(); // cancelled
        QCOMPARE(prompts.openRequests.size(), 1);
        QCOMPARE(prompts.openRequests[0].filter, QString("Ultima Online MAP (map*.mul map*.uop)"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("None"));
    }

    void theChosenSourceIsIdentifiedByNameAndSize() {
        tbtest::TempDir dir;
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts);
        prompts.openAnswers = {sparseFile(dir / "map1.mul", 89'915'392)};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        QCOMPARE(prompts.openNames().back(), QString("MapLoad"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(),
                 QString("Mondains Legacy (Patch 6.x.x.x)"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapSize")->text(), QString("7168x4096"));

        prompts.openAnswers = {sparseFile(dir / "MAP3.MUL", 16'056'320)};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("Malas"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapSize")->text(), QString("2560x2048"));

        prompts.openAnswers = {QString()}; // cancelled: the source stays
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("Malas"));

        prompts.openAnswers = {sparseFile(dir / "map0.mul", 16'056'320)};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("None"));
        QCOMPARE(tbtest::control<QLabel>(form, "MapSize")->text(), QString("None"));

        tbtest::control<QLineEdit>(form, "SourceMap")
            ->setText(QString::fromStdString((dir / "gone" / "map2.mul").string()));
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("None"));
    }

    void anUnidentifiedSourceIsRefusedBeforeAnyDialog() {
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts);
        prompts.saveAnswers = {"/nowhere/map0.mul"};
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        QCOMPARE(prompts.shown, QStringList{"Wrong source map file!"});
        QVERIFY(prompts.errors.isEmpty());
        QVERIFY(prompts.openRequests.isEmpty() && prompts.saveRequests.isEmpty());
    }

    void aRunShowsItsProgressAndWritesTheNewMap() {
        tbtest::TempDir dir;
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts);
        form.show();
        prompts.openAnswers = {sparseFile(dir / "map4.mul", 6'421'156)};
        writeCellBytes(dir / "map4.mul", tb::cellOffset(1447, 1447, 181), {0x34, 0x12, 0xF9});
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        const QString destination = QString::fromStdString((dir / "new" / "map0.mul").string());
        fs::create_directory(dir / "new");
        prompts.saveAnswers = {destination};

        // What the window shows while the run goes on beside it.
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        const bool buttonEnabledDuringRun =
            tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled();
        const QString textDuringRun = tbtest::control<QLabel>(form, "ProgressInfo")->text();
        form.reject(); // closing is refused while the run goes on
        TB_WAIT_FOR_JOBS();

        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(prompts.saveNames().back(), QString("MapSave"));
        const tbapp::FileDialogRequest& save = prompts.saveRequests.back();
        QCOMPARE(save.filter, QString("Ultima Online MAP (*.mul *.uop)"));
        QCOMPARE(save.defaultName, QString("map0.mul"));
        QVERIFY(!save.confirmOverwrite); // an existing file is replaced without asking
        QVERIFY(!buttonEnabledDuringRun);
        QVERIFY2(textDuringRun.startsWith("Creating new map file"), qPrintable(textDuringRun));
        QVERIFY(form.isVisible());
        QCOMPARE(tbtest::control<QLabel>(form, "ProgressInfo")->text(), QString("Done."));
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 0);
        QVERIFY(tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled());
        const fs::path out = dir / "new" / "map0.mul";
        QCOMPARE(fs::file_size(out), std::uintmax_t(tb::kEnlargedFileSize));
        const auto cell = readBytesAt(out, tb::cellOffset(1447, 1447, 512), 3);
        QCOMPARE(cell, (std::vector<unsigned char>{0x34, 0x12, 0xF9}));
    }

    // Cancel while the run goes on: it stops, says so, and the file that was at the
    // destination before is there as it was, with nothing beside it.
    void cancelLeavesTheDestinationAsItWas() {
        tbtest::TempDir dir;
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts);
        form.show();
        prompts.openAnswers = {sparseFile(dir / "map4.mul", 6'421'156)};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        fs::create_directory(dir / "new");
        tbtest::writeBytes(dir / "new" / "map0.mul", {'o', 'l', 'd'});
        prompts.saveAnswers = {QString::fromStdString((dir / "new" / "map0.mul").string())};
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        QVERIFY(tbtest::control<QPushButton>(form, "btnCancel")->isEnabled());
        tbtest::control<QPushButton>(form, "btnCancel")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.shown, QStringList{tb::kEnlargeStoppedMessage});
        QCOMPARE(tbtest::readBytes(dir / "new" / "map0.mul"),
                 (std::vector<unsigned char>{'o', 'l', 'd'}));
        QCOMPARE(tbtest::entriesIn(dir / "new"), std::size_t(1));
        QVERIFY(tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled());
        QVERIFY(!tbtest::control<QPushButton>(form, "btnCancel")->isEnabled());
    }

    void theSourceAsDestinationAndFailuresLeaveTheWindowUsable() {
        tbtest::TempDir dir;
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts);
        const QString source = sparseFile(dir / "map2.mul", 11'289'600);
        prompts.openAnswers = {source};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();

        prompts.saveAnswers = {QString::fromStdString((dir / "." / "map2.mul").string())};
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.shown, QStringList{tb::kEnlargeOntoSourceMessage});
        QCOMPARE(fs::file_size(dir / "map2.mul"), std::uintmax_t(11'289'600));
        QVERIFY(tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled());

        prompts.forgetShown();
        prompts.saveAnswers = {QString::fromStdString((dir / "missing" / "map0.mul").string())};
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.shown[0].contains("map0.mul"));
        QVERIFY(tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled());
        QVERIFY(!fs::exists(dir / "missing"));

        prompts.forgetShown();
        prompts.saveAnswers = {QString()}; // a cancelled save dialog writes nothing
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }

    // The new map would replace the loaded one with unsaved changes: No leaves the file
    // alone, Yes saves the changes first, and the editor hears of the new file.
    void overTheEditorsChangedMapSavesFirstOrRunsNot() {
        tbtest::TempDir dir;
        const fs::path loaded = dir / "new" / "map0.mul";
        fs::create_directory(dir / "new");
        tbtest::writeBytes(loaded, {'o', 'l', 'd'});
        EditorWithChanges editor(dir / "new" / "." / "map0.mul");
        RecordingPrompts prompts;
        tbapp::MapEnlargeDialog form(prompts, &editor);
        prompts.openAnswers = {sparseFile(dir / "map4.mul", 6'421'156)};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();

        prompts.saveAnswers = {QString::fromStdString(loaded.string())};
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(prompts.confirmations,
                 QStringList{"map0.mul has unsaved changes. Save them before the map "
                             "enlargement writes it? No cancels the map enlargement."});
        QCOMPARE(tbtest::readBytes(loaded), (std::vector<unsigned char>{'o', 'l', 'd'}));
        QCOMPARE(editor.saves, 0);
        QVERIFY(editor.written.empty());

        prompts.saveAnswers = {QString::fromStdString(loaded.string())};
        prompts.confirmAnswers = {true};
        tbtest::control<QPushButton>(form, "TLMapSave")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(editor.saves, 1);
        QCOMPARE(fs::file_size(loaded), std::uintmax_t(tb::kEnlargedFileSize));
        QCOMPARE(editor.written, std::vector<fs::path>{loaded});
        QVERIFY(prompts.shown.isEmpty());
    }
};

QTEST_MAIN(MapEnlargeDialogTest)
#include "test_map_enlarge_dialog.moc"
