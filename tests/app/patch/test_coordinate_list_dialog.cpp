// The coordinate list: coords.def on open, OK / Cancel / title-bar close, Import, Export.
#include "PatchTestDoubles.h"
#include "testsupport/FindControl.h"

#include "app/patch/CoordinateListDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<QStringList> allRows(const QTableWidget* list) {
    QList<QStringList> rows;
    for (int r = 0; r < list->rowCount(); ++r)
        rows.append({list->item(r, 0)->text(), list->item(r, 1)->text()});
    return rows;
}

void addPair(tbapp::CoordinateListDialog& form, const QString& x, const QString& y) {
    tbtest::control<QLineEdit>(form, "PridatX")->setText(x);
    tbtest::control<QLineEdit>(form, "PridatY")->setText(y);
    QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
}

void selectRow(QTableWidget* list, int row) {
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

class CoordinateListDialogTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir appDir;
    QString coordsPath() const { return appDir.filePath("coords.def"); }

private slots:
    void init() { QFile::remove(coordsPath()); }

    void opensWithTheJumpBoxesAndAddListsPairsAgainAndAgain() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::CoordinateListDialog form(appDir.path(), link, "1500", "1650", prompts);
        QCOMPARE(form.windowTitle(), QString("Coordinates Index"));
        for (const char* name : {"TLLoad", "TLSave", "TLAdd", "TLRemove", "TlOK", "TlCancel"})
            QVERIFY2(form.findChild<QPushButton*>(name), name);
        QCOMPARE(tbtest::control<QLineEdit>(form, "PridatX")->text(), QString("1500"));
        QCOMPARE(tbtest::control<QLineEdit>(form, "PridatY")->text(), QString("1650"));
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(),
                 0); // no coords.def: empty, no message
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        QCOMPARE(allRows(tbtest::control<QTableWidget>(form, "Seznam")),
                 (QList<QStringList>{{"1500", "1650"}, {"1500", "1650"}}));
        QVERIFY(prompts.messages.isEmpty());
    }

    void okFillsTheJumpBoxesWritesTheListAndReopeningShowsIt() {
        FakeLink link;
        RecordingPrompts prompts;
        {
            tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
            addPair(form, "10", "20");
            addPair(form, "30", "40");
            selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 1);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TlOK"), Qt::LeftButton);
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }
        QCOMPARE(link.jumpX, QString("30"));
        QCOMPARE(link.jumpY, QString("40"));
        QVERIFY(link.jumps.isEmpty()); // OK fills the boxes only
        QCOMPARE(fileText(coordsPath()),
                 std::string("[0]\r\nX=10\r\nY=20\r\n[1]\r\nX=30\r\nY=40\r\n"));
        tbapp::CoordinateListDialog again(appDir.path(), link, "0", "0", prompts);
        QCOMPARE(allRows(tbtest::control<QTableWidget>(again, "Seznam")),
                 (QList<QStringList>{{"10", "20"}, {"30", "40"}}));
    }

    // coords.def is found in any case, like the other files beside the program, and
    // writing the list replaces that file.
    void coordsFileOfAnotherCaseIsReadAndReplaced() {
        const QString upper = appDir.filePath("COORDS.DEF");
        writeFileText(upper, "[0]\r\nX=7\r\nY=8\r\n");
        FakeLink link;
        RecordingPrompts prompts;
        {
            tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
            QCOMPARE(allRows(tbtest::control<QTableWidget>(form, "Seznam")),
                     (QList<QStringList>{{"7", "8"}}));
            addPair(form, "1", "2");
            selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 0);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TlOK"), Qt::LeftButton);
        }
        QCOMPARE(fileText(upper), std::string("[0]\r\nX=7\r\nY=8\r\n[1]\r\nX=1\r\nY=2\r\n"));
        QCOMPARE(QDir(appDir.path()).entryList(QDir::Files), QStringList{"COORDS.DEF"});
        QFile::remove(upper);
    }

    void okOrDoubleClickOrEscapeWithoutASelectionRefusesAndStaysOpen() {
        FakeLink link;
        RecordingPrompts prompts;
        writeFileText(coordsPath(), "[0]\nX=1\nY=2\n");
        tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        tbtest::control<QTableWidget>(form, "Seznam")->clearSelection();
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlOK"), Qt::LeftButton);
        QTest::keyClick(&form, Qt::Key_Escape);
        QCOMPARE(prompts.messages, (QStringList{"You must select any Coordinates!",
                                                "You must select any Coordinates!"}));
        QVERIFY(form.isVisible());
        QVERIFY(link.jumpX.isEmpty());
        QCOMPARE(fileText(coordsPath()), std::string("[0]\nX=1\nY=2\n"));

        // Escape with a row selected answers like OK.
        selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 0);
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QCOMPARE(link.jumpX, QString("1"));
        QCOMPARE(link.jumpY, QString("2"));
    }

    void doubleClickOnARowActsAsOk() {
        FakeLink link;
        RecordingPrompts prompts;
        writeFileText(coordsPath(), "[0]\nX=1\nY=2\n[1]\nX=3\nY=4\n");
        tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint at =
            tbtest::control<QTableWidget>(form, "Seznam")
                ->visualItemRect(tbtest::control<QTableWidget>(form, "Seznam")->item(1, 1))
                .center();
        QTest::mouseClick(tbtest::control<QTableWidget>(form, "Seznam")->viewport(), Qt::LeftButton,
                          {}, at);
        QTest::mouseDClick(tbtest::control<QTableWidget>(form, "Seznam")->viewport(),
                           Qt::LeftButton, {}, at);
        QCOMPARE(link.jumpX, QString("3"));
        QCOMPARE(link.jumpY, QString("4"));
        QVERIFY(!form.isVisible());
        QCOMPARE(fileText(coordsPath()), std::string("[0]\r\nX=1\r\nY=2\r\n[1]\r\nX=3\r\nY=4\r\n"));
    }

    void cancelWritesTheListAndTheTitleBarCloseDoesNot() {
        FakeLink link;
        RecordingPrompts prompts;
        writeFileText(coordsPath(), "[0]\nX=1\nY=1\n[1]\nX=2\nY=2\n[2]\nX=3\nY=3\n");
        {
            tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
            form.show();
            addPair(form, "9", "9");
            form.close(); // the title bar's close button
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(fileText(coordsPath()),
                 std::string("[0]\nX=1\nY=1\n[1]\nX=2\nY=2\n[2]\nX=3\nY=3\n"));
        {
            tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
            selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 0);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TLRemove"), Qt::LeftButton);
            selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 0);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TLRemove"), Qt::LeftButton);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TlCancel"), Qt::LeftButton);
            QCOMPARE(form.result(), int(QDialog::Rejected));
        }
        QVERIFY(link.jumpX.isEmpty());
        // Removed rows are gone from the file, not left behind in stale sections.
        QCOMPARE(fileText(coordsPath()), std::string("[0]\r\nX=3\r\nY=3\r\n"));
        {
            tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
            selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 0);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TLRemove"), Qt::LeftButton);
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TlCancel"), Qt::LeftButton);
        }
        QCOMPARE(fileText(coordsPath()), std::string());
        tbapp::CoordinateListDialog emptied(appDir.path(), link, "0", "0", prompts);
        QCOMPARE(tbtest::control<QTableWidget>(emptied, "Seznam")->rowCount(), 0);
        QVERIFY(prompts.messages.isEmpty());
    }

    void exportAndImportRoundTripAndEmptyImportKeepsTheRows() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
        addPair(form, "1500", "1650");
        addPair(form, "07", "x");
        const QString file = appDir.filePath("export.def");
        prompts.saveAnswers << file;
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        QCOMPARE(prompts.saveRequests[0].title, QString("Export coordinates definition"));
        QCOMPARE(prompts.saveRequests[0].filter, QString("Tolvane Coordinates (*.def)"));
        QCOMPARE(prompts.saveRequests[0].defaultName, QString("coords.def"));
        QCOMPARE(fileText(file), std::string("[0]\r\nX=1500\r\nY=1650\r\n[1]\r\nX=07\r\nY=x\r\n"));

        writeFileText(appDir.filePath("empty.def"), "\r\nX=1\r\n");
        prompts.openAnswers << appDir.filePath("empty.def") << appDir.filePath("none.def");
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        QCOMPARE(prompts.messages, (QStringList{"Empty file!", "Empty file!"}));
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(), 2);
        QCOMPARE(prompts.openRequests[0].title, QString("Import coordinates definition"));
        QVERIFY(prompts.openRequests[0].directory.isEmpty());
        QCOMPARE(prompts.openRequests[1].directory, appDir.path());

        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        prompts.openAnswers << file;
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLLoad"), Qt::LeftButton);
        QCOMPARE(allRows(tbtest::control<QTableWidget>(form, "Seznam")),
                 (QList<QStringList>{{"1500", "1650"}, {"07", "x"}}));
    }

    void onlyTheXTextIsEditedInPlace() {
        FakeLink link;
        RecordingPrompts prompts;
        writeFileText(coordsPath(), "[0]\nX=1\nY=2\n");
        tbapp::CoordinateListDialog form(appDir.path(), link, "0", "0", prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        tbtest::control<QTableWidget>(form, "Seznam")->setFocus();
        tbtest::control<QTableWidget>(form, "Seznam")->setCurrentCell(0, 1);
        QTest::keyClick(tbtest::control<QTableWidget>(form, "Seznam"), Qt::Key_F2);
        QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget())); // no editor for Y
        tbtest::control<QTableWidget>(form, "Seznam")->setCurrentCell(0, 0);
        QTest::keyClick(tbtest::control<QTableWidget>(form, "Seznam"), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QVERIFY(tbtest::control<QTableWidget>(form, "Seznam")->isAncestorOf(editor));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, "077");
        QCOMPARE(editor->text(), QString("077"));
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the edit through a queued call.
        QTRY_COMPARE(allRows(tbtest::control<QTableWidget>(form, "Seznam")),
                     (QList<QStringList>{{"077", "2"}}));
        QVERIFY(form.isVisible()); // Enter ended the edit, not the window
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlCancel"), Qt::LeftButton);
        QCOMPARE(fileText(coordsPath()), std::string("[0]\r\nX=077\r\nY=2\r\n"));
    }

    void failedWriteReportsAndStaysOpen() {
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::CoordinateListDialog form(appDir.filePath("no-such-dir"), link, "5", "6", prompts);
        form.show();
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TlCancel"), Qt::LeftButton);
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(CoordinateListDialogTest)
#include "test_coordinate_list_dialog.moc"
