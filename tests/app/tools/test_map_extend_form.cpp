// The map enlargement window: identification of the source, the refusals, and a run with
// its progress, its disabled button and its result.
#include "tools/MapExtendForm.h"

#include "TestPaths.h"
#include "ToolWindowsTestSupport.h"
#include "core/MapVariant.h"
#include "tools/MapEnlarge.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace fs = std::filesystem;

class MapExtendFormTest : public QObject {
    Q_OBJECT
private slots:
    void startsIdleWithItsControlsAndDialogs() {
        TMapExtendForm form;
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt - Map Enlagement"));
        QCOMPARE(form.MapInfo->text(), QString("None"));
        QCOMPARE(form.MapSize->text(), QString("None"));
        QCOMPARE(form.ProgressInfo->text(), QString());
        QVERIFY(!form.SourceMap->isEnabled());
        QCOMPARE(form.TLMapSave->text(), QString("Enlarge to Mondain's Legacy"));
        QCOMPARE(form.MapInfoPanel->title(), QString(" Map file information "));
        for (const char* name : {"Label1", "SourceMap", "TLMapLoad", "MapInfoPanel", "MapInfo",
                                 "MapSize", "ProgressInfo", "ProgressBar", "TLMapSave"})
            QVERIFY2(form.findChild<QWidget*>(name), name);
        QCOMPARE(form.MapLoad->nameFilters(), QStringList{"Ultima Online MAP (map*.mul map*.uop)"});
        QCOMPARE(form.MapSave->nameFilters(), QStringList{"Ultima Online MAP (*.mul *.uop)"});
        QVERIFY(form.MapSave->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(form.MapSave->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(form.MapSave->selectedFiles().value(0).endsWith("map0.mul"));
    }

    void theChosenSourceIsIdentifiedByNameAndSize() {
        tbtest::TempDir dir;
        Answered<TMapExtendForm> form;
        form.answers = {sparseFile(dir / "map1.mul", 89'915'392)};
        form.TLMapLoadClick();
        QCOMPARE(form.asked.back(), form.MapLoad);
        QCOMPARE(form.MapInfo->text(), QString("Mondains Legacy (Patch 6.x.x.x)"));
        QCOMPARE(form.MapSize->text(), QString("7168x4096"));

        form.answers = {sparseFile(dir / "MAP3.MUL", 16'056'320)};
        form.TLMapLoadClick();
        QCOMPARE(form.MapInfo->text(), QString("Malas"));
        QCOMPARE(form.MapSize->text(), QString("2560x2048"));

        form.answers = {QString()}; // cancelled: the source stays
        form.TLMapLoadClick();
        QCOMPARE(form.MapInfo->text(), QString("Malas"));

        form.answers = {sparseFile(dir / "map0.mul", 16'056'320)};
        form.TLMapLoadClick();
        QCOMPARE(form.MapInfo->text(), QString("None"));
        QCOMPARE(form.MapSize->text(), QString("None"));

        form.SourceMap->setText(QString::fromStdString((dir / "gone" / "map2.mul").string()));
        QCOMPARE(form.MapInfo->text(), QString("None"));
    }

    void anUnidentifiedSourceIsRefusedBeforeAnyDialog() {
        MessageRecorder messages;
        Answered<TMapExtendForm> form;
        form.answers = {"/nowhere/map0.mul"};
        form.TLMapSaveClick();
        QCOMPARE(messages.texts(), QStringList{"Wrong source map file!"});
        QCOMPARE(messages.messages[0].kind, tbapp::MessageKind::Information);
        QVERIFY(form.asked.empty());
    }

    void aRunShowsItsProgressAndWritesTheNewMap() {
        tbtest::TempDir dir;
        MessageRecorder messages;
        Answered<TMapExtendForm> form;
        form.show();
        form.answers = {sparseFile(dir / "map4.mul", 6'421'156)};
        writeCellBytes(dir / "map4.mul", tb::cellOffset(1447, 1447, 181), {0x34, 0x12, 0xF9});
        form.TLMapLoadClick();
        const QString destination = QString::fromStdString((dir / "new" / "map0.mul").string());
        fs::create_directory(dir / "new");
        form.answers = {destination};

        // What the window shows while the run lets events through.
        bool buttonEnabledDuringRun = true;
        QString textDuringRun;
        QTimer::singleShot(0, &form, [&] {
            buttonEnabledDuringRun = form.TLMapSave->isEnabled();
            textDuringRun = form.ProgressInfo->text();
            form.reject(); // closing is refused while the run goes on
        });
        form.TLMapSaveClick();

        QVERIFY(messages.messages.empty());
        QCOMPARE(form.asked.back(), form.MapSave);
        QVERIFY(!buttonEnabledDuringRun);
        QVERIFY2(textDuringRun.startsWith("Creating new map file"), qPrintable(textDuringRun));
        QVERIFY(form.isVisible());
        QCOMPARE(form.ProgressInfo->text(), QString("Done."));
        QCOMPARE(form.ProgressBar->value(), 0);
        QVERIFY(form.TLMapSave->isEnabled());
        const fs::path out = dir / "new" / "map0.mul";
        QCOMPARE(fs::file_size(out), std::uintmax_t(tb::kEnlargedFileSize));
        const auto cell = readBytesAt(out, tb::cellOffset(1447, 1447, 512), 3);
        QCOMPARE(cell, (std::vector<unsigned char>{0x34, 0x12, 0xF9}));
    }

    void theSourceAsDestinationAndFailuresLeaveTheWindowUsable() {
        tbtest::TempDir dir;
        MessageRecorder messages;
        Answered<TMapExtendForm> form;
        const QString source = sparseFile(dir / "map2.mul", 11'289'600);
        form.answers = {source};
        form.TLMapLoadClick();

        form.answers = {QString::fromStdString((dir / "." / "map2.mul").string())};
        form.TLMapSaveClick();
        QCOMPARE(messages.texts(), QStringList{tb::kEnlargeOntoSourceMessage});
        QCOMPARE(fs::file_size(dir / "map2.mul"), std::uintmax_t(11'289'600));
        QVERIFY(form.TLMapSave->isEnabled());

        messages.messages.clear();
        form.answers = {QString::fromStdString((dir / "missing" / "map0.mul").string())};
        form.TLMapSaveClick();
        QCOMPARE(messages.messages.size(), std::size_t(1));
        QCOMPARE(messages.messages[0].kind, tbapp::MessageKind::Error);
        QVERIFY(messages.messages[0].text.contains("map0.mul"));
        QVERIFY(form.TLMapSave->isEnabled());
        QVERIFY(!fs::exists(dir / "missing"));

        messages.messages.clear();
        form.answers = {QString()}; // a cancelled save dialog writes nothing
        form.TLMapSaveClick();
        QVERIFY(messages.messages.empty());
        QCOMPARE(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
};

QTEST_MAIN(MapExtendFormTest)
#include "test_map_extend_form.moc"
