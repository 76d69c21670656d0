// Extra > "Patch Map from file" on the map held by the main window.
#include "PatchTestDoubles.h"

#include "app/patch/PatchMapAction.h"
#include "app/shell/JobRunner.h"
#include "testsupport/WaitForJobs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

class TestPatchMapAction : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString write(const QString& name, const std::string& text) {
        writeFileText(dir.filePath(name), text);
        return dir.filePath(name);
    }
    // Runs the command to its end, jobs included.
    tbapp::PatchMapOutcome patchMapFromFile(std::nullptr_t, FakeLink& link, const QString& appDir,
                                            QString& initialDir, RecordingPrompts& prompts) {
        tbapp::JobRunner jobs;
        tbapp::PatchMapOutcome outcome;
        tbapp::patchMapFromFile(nullptr, link, appDir, initialDir, prompts, jobs,
                                [&](const tbapp::PatchMapOutcome& ended) { outcome = ended; });
        if (!tbtest::jobsEnded())
            qWarning("a job did not end");
        return outcome;
    }

private slots:
    void withoutAMapOrWhenCancelledOnlyRepaints() {
        FakeLink link;
        RecordingPrompts prompts;
        QString initialDir;
        patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QCOMPARE(link.repaints, 1);
        QVERIFY(prompts.openRequests.isEmpty());

        link.loadTokuno();
        const auto before = link.map->image().bytes();
        const tbapp::PatchMapOutcome outcome =
            patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QVERIFY(!outcome.ran);
        QCOMPARE(link.repaints, 2);
        QCOMPARE(prompts.openRequests.size(), 1);
        QCOMPARE(prompts.openRequests[0].filter, QString("Tolvane Brimholt (*.qvp)"));
        QCOMPARE(prompts.openRequests[0].defaultName, QString("qvbrimholt.qvp"));
        QVERIFY(initialDir.isEmpty()); // nothing chosen: the directory stays
        QVERIFY(link.map->image().bytes() == before);
    }

    void appliesEntriesWithProgressAndRepaints() {
        FakeLink link;
        RecordingPrompts prompts;
        link.loadTokuno();
        QString initialDir;
        prompts.openAnswers << write("two.qvp", "[0]\r\nX=10\r\nY=20\r\nZ=-3\r\nID=01 D3\r\n"
                                                "[1]\r\nX=11\r\nY=21\r\nZ=4\r\n");
        const tbapp::PatchMapOutcome outcome =
            patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QVERIFY(outcome.ran);
        QCOMPARE(outcome.applied, 2);
        QCOMPARE(link.map->cell(10, 20), (tb::MapCell{467, -3}));
        QCOMPARE(link.map->cell(11, 21), (tb::MapCell{3, 4}));
        QCOMPARE(prompts.progressRuns.size(), std::size_t(1));
        QCOMPARE(prompts.progressRuns[0]->itemCount, 2);
        QCOMPARE(prompts.progressRuns[0]->indices, (QList<int>{0, 1}));
        QCOMPARE(prompts.progressRuns[0]->texts,
                 (QStringList{"Patching (X, Y): 10, 20", "Patching (X, Y): 11, 21"}));
        QVERIFY(!prompts.progressRuns[0]->open);
        // One change of the document, which repaints the view; no repaint by hand.
        QCOMPARE(link.heard.count, 1);
        QCOMPARE(link.repaints, 0);
        // The whole patch is one undo step.
        QCOMPARE(link.map->undoList().bulkSteps(), std::size_t(1));
        QVERIFY(link.map->undoList().rows().empty());
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(prompts.errors.isEmpty());
        QCOMPARE(initialDir, dir.path());
    }

    void skippedEntriesAreReportedAfterTheRun() {
        FakeLink link;
        RecordingPrompts prompts;
        link.loadTokuno();
        QString initialDir;
        prompts.openAnswers << write("out.qvp", "[0]\nX=1448\nY=0\nZ=1\n[1]\nX=0\nY=0\nZ=2\n"
                                                "[2]\nX=-1\nY=5\nZ=3\n");
        const tbapp::PatchMapOutcome outcome =
            patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QCOMPARE(outcome.applied, 1);
        QCOMPARE(outcome.skipped, 2);
        QCOMPARE(prompts.messages, QStringList{tbapp::skippedEntriesMessage(2, 3)});
        QCOMPARE(link.map->cell(0, 0).altitude, std::int8_t(2));
    }

    void emptyFileIsRefusedWithoutProgress() {
        FakeLink link;
        RecordingPrompts prompts;
        link.loadTokuno();
        const auto before = link.map->image().bytes();
        QString initialDir;
        prompts.openAnswers << write("empty.qvp", "X=1\nY=1\nZ=9\n") << dir.filePath("missing.qvp");
        patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QCOMPARE(prompts.messages,
                 (QStringList{"File is empty or corupted!", "File is empty or corupted!"}));
        QVERIFY(prompts.progressRuns.empty());
        QVERIFY(link.map->image().bytes() == before);
        QCOMPARE(prompts.openRequests[1].directory, dir.path());
    }

    void aFileWithAMissingSectionIsRefusedWhole() {
        FakeLink link;
        RecordingPrompts prompts;
        link.loadTokuno();
        const auto before = link.map->image().bytes();
        QString initialDir;
        const QString file =
            write("gap.qvp", "[0]\r\nX=0\r\nY=0\r\nZ=9\r\n[2]\r\nX=1\r\nY=1\r\nZ=9\r\n");
        prompts.openAnswers << file;
        const tbapp::PatchMapOutcome outcome =
            patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QVERIFY(!outcome.ran);
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY2(prompts.errors[0].contains("\"" + file + "\" lacks section [1]"),
                 qPrintable(prompts.errors[0]));
        QVERIFY(prompts.progressRuns.empty());
        QVERIFY(link.map->image().bytes() == before);
        QCOMPARE(link.heard.count, 0);
    }

    void badEntryStopsWithItsMessageAfterTheProgressWindowClosed() {
        FakeLink link;
        RecordingPrompts prompts;
        link.loadTokuno();
        QString initialDir;
        prompts.openAnswers << write("bad.qvp", "[0]\nX=1\nY=1\nZ=5\n[1]\nX=2\nY=2\nZ=5\nID=1d3\n"
                                                "[2]\nX=3\nY=3\nZ=5\n");
        const tbapp::PatchMapOutcome outcome =
            patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QVERIFY(!outcome.ran);
        QCOMPARE(outcome.applied, 1);
        QCOMPARE(prompts.errors, QStringList{"Input not SpacedHex"});
        QVERIFY(!prompts.progressOpenAtError);
        QCOMPARE(link.map->cell(1, 1).altitude, std::int8_t(5));
        QCOMPARE(link.map->cell(2, 2).altitude, std::int8_t(0));
        QCOMPARE(link.map->cell(3, 3).altitude, std::int8_t(0));
        QCOMPARE(link.heard.count, 1); // the entry before the bad one is drawn
        QCOMPARE(link.repaints, 0);
    }

    void theRealProgressWindowIsGoneAfterTheRun() {
        FakeLink link;
        RecordingPrompts prompts;
        prompts.realProgress = true;
        link.loadTokuno();
        QString initialDir;
        prompts.openAnswers << write("one.qvp", "[0]\nX=1\nY=1\nZ=5\n")
                            << write("bad1.qvp", "[0]\nX=1\nY=1\nZ=500\n");
        patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        patchMapFromFile(nullptr, link, dir.path(), initialDir, prompts);
        QCOMPARE(prompts.errors, QStringList{"Range check error"});
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(w->objectName() != "TProgressForm", "a progress window was left behind");
    }
};

QTEST_MAIN(TestPatchMapAction)
#include "test_patch_map_action.moc"
