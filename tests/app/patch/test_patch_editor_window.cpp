// The patch editor: its list, its messages, Load and Save with their progress texts.
#include "PatchTestDoubles.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"

#include "app/patch/PatchEditorWindow.h"
#include "patch/PatchFile.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList rowTexts(const QTableWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << list->item(row, c)->text();
    return texts;
}

void add(tbapp::PatchEditorWindow& form, const QString& x, const QString& y, const QString& z,
         const QString& id) {
    tbtest::control<QLineEdit>(form, "PridatX")->setText(x);
    tbtest::control<QLineEdit>(form, "PridatY")->setText(y);
    tbtest::control<QLineEdit>(form, "PridatZ")->setText(z);
    tbtest::control<QLineEdit>(form, "PridatID")->setText(id);
    QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
}

void selectRows(QTableWidget* list, const QList<int>& rows) {
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace

class PatchEditorWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void controlsCarryTheirNamesAndTheWindowHasNoCloseButton() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        for (const char* name :
             {"TLLoad", "TLSave", "TLAdd", "TlEdit", "TLRemove", "TlClear", "TlClose"})
            QVERIFY2(form.findChild<QPushButton*>(name), name);
        for (const char* name : {"PridatX", "PridatY", "PridatZ", "PridatID"})
            QVERIFY2(form.findChild<QLineEdit*>(name), name);
        QVERIFY(form.findChild<QTableWidget*>("Seznam"));
        QCOMPARE(form.windowTitle(), QString("Patch Editor"));
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(tbtest::control<QLineEdit>(form, "PridatID")->text(), QString("00 00"));
    }

    void addRefusesListedCoordinatesComparedAsTexts() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        add(form, "10", "20", "5", "01 D3");
        add(form, "10", "20", "6", "00 00");
        QCOMPARE(prompts.messages, QStringList{"This coors are on list!"});
        add(form, "010", "20", "7", "00 01");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 2);
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 0),
                 (QStringList{"10", "20", "5", "01 D3"}));
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 1),
                 (QStringList{"010", "20", "7", "00 01"}));
        add(form, "10", "020", "8", "00 02");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 3);
    }

    void saveAndLoadRoundTripWithProgressTexts() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        add(form, "1024", "768", "-5", "01 D3");
        add(form, " 7", "x", "1.5", "");
        add(form, "3", "3", "3", "zz");
        const QString file = path("round.qvp");
        prompts.saveAnswers << file;
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.saveRequests.size(), 1);
        QCOMPARE(prompts.saveRequests[0].title, QString("Save Patch file"));
        QCOMPARE(prompts.saveRequests[0].filter, QString("QVBrimholt Patch (*.qvp)"));
        QCOMPARE(prompts.saveRequests[0].defaultName, QString("qvbrimholt.qvp"));
        QCOMPARE(prompts.progressRuns.size(), std::size_t(1));
        QCOMPARE(prompts.progressRuns[0]->itemCount, 3);
        QCOMPARE(prompts.progressRuns[0]->texts,
                 (QStringList{"Saving ... 0/2", "Saving ... 1/2", "Saving ... 2/2"}));
        QCOMPARE(prompts.progressRuns[0]->indices, (QList<int>{0, 1, 2}));
        QVERIFY(!prompts.progressRuns[0]->open);
        QCOMPARE(QString::fromStdString(fileText(file)).count("\r\n"), 15);

        const auto saved = form.entries();
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlClear"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 0);
        prompts.openAnswers << file;
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.openRequests[0].title, QString("Load Patch file"));
        QCOMPARE(prompts.openRequests[0].filter, QString("QVBrimholt Patch (*.qvp)"));
        QCOMPARE(prompts.progressRuns.size(), std::size_t(2));
        QCOMPARE(prompts.progressRuns[1]->texts,
                 (QStringList{"Loading ... 0/2", "Loading ... 1/2", "Loading ... 2/2"}));
        // Blanks around a value do not survive the file; every other text does.
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 3);
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 0),
                 (QStringList{"1024", "768", "-5", "01 D3"}));
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 1),
                 (QStringList{"7", "x", "1.5", ""}));
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 2),
                 (QStringList{"3", "3", "3", "zz"}));

        // The Load dialog starts in the application directory once a file was chosen.
        QVERIFY(prompts.openRequests[0].directory.isEmpty());
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"),
                          Qt::LeftButton); // cancelled
        QCOMPARE(prompts.openRequests[1].directory, dir.path());
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 3);
    }

    void loadReplacesTheListAndAnEmptyFileKeepsIt() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        add(form, "1", "1", "1", "00 01");
        writeFileText(path("two.qvp"), "[0]\nX=5\nY=6\n[1]\nx=8\nid=01 02\nz=-1\n");
        writeFileText(path("empty.qvp"), "X=5\nY=6\n");
        prompts.openAnswers << path("two.qvp") << path("empty.qvp") << path("missing.qvp");
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 2);
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 0),
                 (QStringList{"5", "6", "0", ""}));
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 1),
                 (QStringList{"8", "0", "-1", "01 02"}));
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        tbtest::waitForJobs();
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.messages,
                 (QStringList{"Empty or corupted file!", "Empty or corupted file!"}));
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 2);
        QCOMPARE(prompts.progressRuns.size(), std::size_t(1)); // no progress for a refused file
    }

    void savingAShorterListReplacesTheWholeFile() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        for (int i = 0; i < 3; ++i)
            add(form, QString::number(i), "0", "0", "");
        const QString file = path("shrink.qvp");
        prompts.saveAnswers << file << file;
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        selectRows(tbtest::control<QTableWidget>(form, "Seznam"), {0, 1});
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLRemove"), Qt::LeftButton);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(fileText(file), std::string("[0]\r\nX=2\r\nY=0\r\nZ=0\r\nID=\r\n"));
    }

    void removeDeletesEverySelectedRow() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        for (int i = 0; i < 5; ++i)
            add(form, QString::number(i), "0", "0", "");
        selectRows(tbtest::control<QTableWidget>(form, "Seznam"), {0, 2, 4});
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLRemove"), Qt::LeftButton);
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 2);
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->item(0, 0)->text(), QString("1"));
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->item(1, 0)->text(), QString("3"));
    }

    void clickCopiesARowAndEditReplacesTheFirstSelected() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (int i = 0; i < 3; ++i)
            add(form, QString::number(i), QString::number(i * 10), "-2",
                "00 0" + QString::number(i));
        const QRect cell =
            tbtest::control<QTableWidget>(form, "Seznam")
                ->visualItemRect(tbtest::control<QTableWidget>(form, "Seznam")->item(1, 2));
        QTest::mouseClick(tbtest::control<QTableWidget>(form, "Seznam")->viewport(), Qt::LeftButton,
                          {}, cell.center());
        QCOMPARE(tbtest::control<QLineEdit>(form, "PridatX")->text(), QString("1"));
        QCOMPARE(tbtest::control<QLineEdit>(form, "PridatY")->text(), QString("10"));
        QCOMPARE(tbtest::control<QLineEdit>(form, "PridatID")->text(), QString("00 01"));

        tbtest::control<QLineEdit>(form, "PridatX")
            ->setText("2"); // the same X and Y as row 2: Edit does not check
        tbtest::control<QLineEdit>(form, "PridatY")->setText("20");
        selectRows(tbtest::control<QTableWidget>(form, "Seznam"), {2, 1});
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlEdit"), Qt::LeftButton);
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 1),
                 (QStringList{"2", "20", "-2", "00 01"}));
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 2),
                 (QStringList{"2", "20", "-2", "00 02"}));

        tbtest::control<QTableWidget>(form, "Seznam")->clearSelection();
        tbtest::control<QLineEdit>(form, "PridatX")->setText("99");
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlEdit"),
                          Qt::LeftButton); // nothing selected: nothing changes
        for (const tb::PatchEntryText& entry : form.entries())
            QVERIFY(entry.x != "99");
    }

    void doubleClickPutsTheRowIntoTheJumpBoxesAndJumps() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        add(form, "1500", "1650", "0", "");
        add(form, "7", "8", "0", "");
        const QRect cell =
            tbtest::control<QTableWidget>(form, "Seznam")
                ->visualItemRect(tbtest::control<QTableWidget>(form, "Seznam")->item(1, 0));
        QTest::mouseClick(tbtest::control<QTableWidget>(form, "Seznam")->viewport(), Qt::LeftButton,
                          {}, cell.center());
        QTest::mouseDClick(tbtest::control<QTableWidget>(form, "Seznam")->viewport(),
                           Qt::LeftButton, {}, cell.center());
        QCOMPARE(link.jumps, (QList<QStringList>{{"7", "8"}}));
    }

    void closeAndEscapeOnlyHideAndKeepTheList() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        add(form, "4", "5", "6", "00 07");
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlClose"), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        form.show();
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 1);
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        form.show();
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 0),
                 (QStringList{"4", "5", "6", "00 07"}));
    }

    void insertAddsTheCurrentCellOnlyWhileVisibleWithAMap() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        link.curX = 12;
        link.curY = 34;
        QVERIFY(!form.insertCurrentCell()); // hidden, no map
        form.show();
        QVERIFY(!form.insertCurrentCell()); // no map
        link.loadTokuno();
        tb::MapDocument::Edit(*link.map).write(12, 34, {467, -3});
        form.hide();
        QVERIFY(!form.insertCurrentCell()); // hidden
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 0);
        form.show();
        QVERIFY(form.insertCurrentCell());
        QCOMPARE(rowTexts(tbtest::control<QTableWidget>(form, "Seznam"), 0),
                 (QStringList{"12", "34", "-3", "01 D3"}));
        QVERIFY(!form.insertCurrentCell());
        QCOMPARE(prompts.messages, QStringList{"This coords are on list!"});
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 1);
        link.curX = 1448; // past the map's edge: nothing to read
        QVERIFY(!form.insertCurrentCell());
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 1);
    }

    // The refusal is a plain message with its literal text, not an error report, and it
    // reaches the prompts the window was given.
    void aRefusalReachesTheWindowsPromptsAsAMessage() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        add(form, "1", "2", "3", "");
        QVERIFY(prompts.shown.isEmpty());
        add(form, "1", "2", "3", "");
        QCOMPARE(prompts.messages, QStringList{"This coors are on list!"});
        QVERIFY(prompts.errors.isEmpty());
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 1);
    }

    void saveFailureIsReportedAfterTheProgressWindowCloses() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(dir.path(), link, prompts);
        add(form, "1", "1", "1", "");
        prompts.saveAnswers << path("no-such-dir/p.qvp");
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.errors[0].contains("no-such-dir"));
        QVERIFY(!prompts.progressOpenAtError);
    }
};

QTEST_MAIN(PatchEditorWindowTest)
#include "test_patch_editor_window.moc"
