// Long work of the main window runs as jobs beside it: while one changes the document, no
// edit and no second such job gets in and the status bar says what runs; Cancel in the
// progress window or in the status bar leaves the files and the document as they were.
#include "MainWindowFixture.h"

#include "testsupport/HeldWorkers.h"

#include "app/shell/JobRunner.h"
#include "app/shell/RadioGroup.h"
#include "core/Heightmap.h"
#include "core/MapFile.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>

namespace {

QImage greyPicture(int grey) {
    QImage picture(2304, 1600, QImage::Format_Grayscale8);
    picture.fill(QColor(grey, grey, grey));
    return picture;
}

} // namespace

class DocumentJobsTest : public QObject {
    Q_OBJECT

private slots:
    // An import runs: clicks on the map, Undo, Load and Save do nothing, another document
    // job is refused by name, and the status bar says what runs. Then the import is in.
    void editingIsRefusedWhileAJobChangesTheDocument() {
        tbtest::MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(2); // Set Z
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("9");
        f.clickCell(1, 1);
        QCOMPARE(form.document().undoList().size(), std::size_t(1));
        const std::vector<unsigned char> before = form.document().image().bytes();
        const QString modes = tbtest::statusText(form, 1);

        const QString heights = tbtest::qpath(f.dir / "heights.png");
        QVERIFY(greyPicture(128 + 30).save(heights, "PNG"));
        f.questions.openAnswers << heights;
        tbtest::ui<QAction>(form, "ImportHeightmap1")->trigger();
        QVERIFY(form.editingLocked());
        QVERIFY(tbtest::statusText(form, 1).startsWith("Importing heightmap ..."));
        f.clickCell(2, 2);
        tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->selectCell(3, 3);
        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QVERIFY(!tbtest::ui<QPushButton>(form, "btnLoad")->isEnabled());
        QVERIFY(!tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        f.questions.openAnswers << heights;
        tbtest::ui<QAction>(form, "PatchMapfromfile1")->trigger();
        QCOMPARE(f.messages, QStringList{tbapp::JobRunner::refusal("Importing heightmap")});
        QVERIFY(form.document().image().bytes() == before);

        TB_WAIT_FOR_JOBS();
        QVERIFY(!form.editingLocked());
        QCOMPARE(tbtest::statusText(form, 1), modes);
        QCOMPARE(form.document().cell(2, 2).altitude, std::int8_t(30));
        QCOMPARE(form.document().cell(3, 3).altitude, std::int8_t(30));
        // The paint before the import, then the import as one step.
        QCOMPARE(form.document().undoList().size(), std::size_t(2));
        QCOMPARE(form.document().undoList().bulkSteps(), std::size_t(1));
        QVERIFY(tbtest::ui<QPushButton>(form, "btnSave")->isEnabled());
        QCOMPARE(f.messages.size(), 1);
    }

    // Cancel pressed in the progress window (the recording prompts press it at item 20):
    // the export leaves the picture there as it was, the import the document, and each says
    // that it stopped.
    void cancelLeavesTheFileAndTheDocumentAsTheyWere() {
        tbtest::MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        const std::vector<unsigned char> before = form.document().image().bytes();
        const std::filesystem::path picture = f.dir / "heights.png";
        tbtest::writeText(picture, "a picture made before");
        f.questions.cancelAtItem = 20;

        f.questions.saveAnswers << tbtest::qpath(picture);
        tbtest::ui<QAction>(form, "ExportHeightmap1")->trigger();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(tbtest::readText(picture), std::string("a picture made before"));
        QCOMPARE(tbtest::entriesIn(f.dir.path()), std::size_t(5)); // nothing left beside it
        QCOMPARE(f.messages, QStringList{tb::kHeightmapStoppedMessage});
        QVERIFY(!f.questions.progressRuns.back()->open);

        const QString other = tbtest::qpath(f.dir / "other.png");
        QVERIFY(greyPicture(128 + 40).save(other, "PNG"));
        f.questions.openAnswers << other;
        tbtest::ui<QAction>(form, "ImportHeightmap1")->trigger();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(f.messages.last(), QString(tb::kHeightmapStoppedMessage));
        QVERIFY(form.document().image().bytes() == before);
        QVERIFY(!form.document().isModified());
        QVERIFY(form.document().undoList().empty());
        QVERIFY(!form.editingLocked());
    }

    // Load and Save show in the status bar with a Cancel; pressed before the work has done
    // anything, the Load leaves the document as it was, the Save the file and the unsaved
    // changes. Closing during a Save asks it to stop and closes, without waiting, once it has.
    void cancelOrClosingLeavesTheFilesAndTheDocument() {
        tbtest::MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        auto* status = tbtest::ui<QWidget>(form, "TaskStatus");
        QTRY_VERIFY(!status->isVisible());
        const std::vector<unsigned char> loaded = form.document().image().bytes();
        // Another program changes the file: a Load would read cell (0, 0) at altitude 77.
        std::vector<unsigned char> changed = tbtest::readBytes(f.mapPath);
        changed[4 + 2] = 77;
        tbtest::writeBytes(f.mapPath, changed);
        {
            const tbtest::HeldWorkers held;
            tbtest::ui<QPushButton>(form, "btnLoad")->click();
            QTRY_VERIFY(status->isVisible());
            QCOMPARE(tbtest::ui<QProgressBar>(form, "TaskProgress")->accessibleName(),
                     QString("Loading map2.mul"));
            QVERIFY(tbtest::statusText(form, 1).startsWith("Loading map2.mul ..."));
            auto* cancel = tbtest::ui<QToolButton>(form, "TaskCancel");
            QCOMPARE(cancel->accessibleName(), QString("Cancel Loading map2.mul"));
            cancel->click();
            QTRY_VERIFY(!cancel->isEnabled()); // asked once: it is stopping
        }
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.messages, QStringList{tb::kMapLoadStoppedMessage});
        QVERIFY(form.document().image().bytes() == loaded);
        QVERIFY(!form.document().isModified());
        QTRY_VERIFY(!status->isVisible());

        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(2); // Set Z
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("9");
        f.clickCell(1, 1);
        f.questions.changedOnDiskAnswers << tbapp::DiskChangeAnswer::Overwrite
                                         << tbapp::DiskChangeAnswer::Overwrite;
        {
            const tbtest::HeldWorkers held;
            tbtest::ui<QPushButton>(form, "btnSave")->click();
            QTRY_VERIFY(status->isVisible());
            tbtest::ui<QToolButton>(form, "TaskCancel")->click();
        }
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.messages.last(), QString(tb::kMapSaveStoppedMessage));
        QVERIFY(tbtest::readBytes(f.mapPath) == changed);
        QCOMPARE(tbtest::entriesIn(f.mapPath.parent_path()), std::size_t(1)); // nothing beside
        QVERIFY(form.isWindowModified());

        QSignalSpy closed(&form, &tbapp::MapEditorWindow::formClosed);
        {
            const tbtest::HeldWorkers held;
            tbtest::ui<QPushButton>(form, "btnSave")->click();
            QVERIFY(!form.close());
            QVERIFY(form.isVisible());
        }
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(f.messages.size(), 3);
        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"});
        QVERIFY(tbtest::readBytes(f.mapPath) == changed);
    }
};

QTEST_MAIN(DocumentJobsTest)
#include "test_document_jobs.moc"
