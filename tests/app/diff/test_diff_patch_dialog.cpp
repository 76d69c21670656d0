// The diff patch window: path checks by colour, when paths are remembered, the part
// boxes, and a run from the button to the written patch.
#include "DiffPatchDialogFixtures.h"
#include "testsupport/CutTexts.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"

#include "app/diff/DiffPatchDialog.h"
#include "app/shell/PathBox.h"
#include "app/shell/StageProgressDialog.h"
#include "diff/DiffFormat.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool isRed(const QLineEdit* e) {
    return e->palette().color(QPalette::Base) == QColor(255, 0, 0);
}
bool isGreen(const QLineEdit* e) {
    return e->palette().color(QPalette::Base) == QColor(0, 128, 0);
}

} // namespace

class DiffPatchDialogTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir tmp;
    QString dir(const QString& name) {
        QDir(tmp.path()).mkpath(name);
        return tmp.path() + "/" + name;
    }
    // A full-size set in `name`: zero index entries (Lookup 0, Length 0), no records, a
    // zero 6144 x 4096 map.
    QStringList makeSet(const QString& name) {
        const QString d = dir(name);
        writeFile(d + "/staidx0.mul", tb::kStaIdxBytes);
        writeFile(d + "/statics0.mul", 0);
        writeFile(d + "/map0.mul", 77'070'336);
        return {d + "/staidx0.mul", d + "/statics0.mul", d + "/map0.mul"};
    }
    void typeAll(tbapp::DiffPatchDialog& form, const QStringList& orig, const QStringList& mod) {
        for (int i = 0; i < 3; ++i) {
            pathEdit(form, i)->setText(orig[i]);
            pathEdit(form, i + 3)->setText(mod[i]);
        }
    }

private slots:
    void opensWithSixRedEditsAndNoGenerateWithoutSettings() {
        QSettings settings(tmp.path() + "/empty.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt - Create Diff patch"));
        form.show();
        for (int i = 0; i < 6; ++i) {
            QVERIFY(pathEdit(form, i)->text().isEmpty());
            QVERIFY(isRed(pathEdit(form, i)));
        }
        QVERIFY(!tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
        QVERIFY(tbtest::control<QCheckBox>(form, "StaticsCheckBox")->isChecked());
        QVERIFY(tbtest::control<QCheckBox>(form, "MapCheckBox")->isChecked());
        QCOMPARE(tbtest::control<QCheckBox>(form, "StaticsCheckBox")->text(),
                 QString("StaIdx0.mul + Statics0.mul"));
        // Every caption shows whole in whatever font the system gives, and the window is
        // never smaller than its classic size.
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QStringList cut = tbtest::cutTexts(form);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        QVERIFY(form.width() >= 455 && form.height() >= 129);
        QVERIFY(settings.allKeys().isEmpty());
    }

    void anEditIsGreenOnlyForAnExistingFileOfItsColumnsName() {
        QSettings settings(tmp.path() + "/names.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        const QString d = dir("names");
        writeFile(d + "/map0.mul", 10);
        writeFile(d + "/MAP0.MUL", 10);
        writeFile(d + "/map0.mul.bak", 10);
        writeFile(d + "/statics0.mul", 10);
        QDir(d).mkpath("sub/map0.mul"); // a folder with the name

        const struct {
            QString path;
            bool green;
        } cases[] = {{d + "/map0.mul", true},
                     {d + "/MAP0.MUL", true},
                     {d + "/map0.mul.bak", false},
                     {d + "/statics0.mul", false},
                     {d + "/sub/map0.mul", false},
                     {d + "/missing/map0.mul", false},
                     {QString(), false}};
        for (const auto& c : cases) {
            tbtest::control<QLineEdit>(form, "OMapEdit")->setText(c.path);
            QVERIFY2(c.green ? isGreen(tbtest::control<QLineEdit>(form, "OMapEdit"))
                             : isRed(tbtest::control<QLineEdit>(form, "OMapEdit")),
                     qPrintable(c.path));
            QCOMPARE(tbapp::isPathBoxValid(tbtest::control<QLineEdit>(form, "OMapEdit")), c.green);
        }
        tbtest::control<QLineEdit>(form, "OStaticsEdit")->setText(d + "/statics0.mul");
        QVERIFY(isGreen(tbtest::control<QLineEdit>(form, "OStaticsEdit")));
        tbtest::control<QLineEdit>(form, "MStaticsEdit")->setText(d + "/map0.mul");
        QVERIFY(isRed(tbtest::control<QLineEdit>(form, "MStaticsEdit")));
    }

    void pathsAreRememberedOnlyWhenAllSixAreGreen() {
        const QString ini = tmp.path() + "/remember.ini";
        const QStringList orig = makeSet("rememberOrig");
        const QStringList mod = makeSet("rememberMod");
        {
            QSettings settings(ini, QSettings::IniFormat);
            tbapp::StageProgressDialog pr;
            RecordingPrompts prompts;
            tbapp::DiffPatchDialog form(settings, pr, prompts);
            for (int i = 0; i < 5; ++i)
                pathEdit(form, i)->setText(i < 3 ? orig[i] : mod[i - 3]);
            QVERIFY(settings.allKeys().isEmpty());
            QVERIFY(!tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
            tbtest::control<QLineEdit>(form, "MMapEdit")->setText(mod[2]);
            QVERIFY(tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
            QCOMPARE(settings.value("Orig-staidx0.mul").toString(), orig[0]);
            QCOMPARE(settings.value("Orig-statics0.mul").toString(), orig[1]);
            QCOMPARE(settings.value("Orig-map0.mul").toString(), orig[2]);
            QCOMPARE(settings.value("Mod-staidx0.mul").toString(), mod[0]);
            QCOMPARE(settings.value("Mod-statics0.mul").toString(), mod[1]);
            QCOMPARE(settings.value("Mod-map0.mul").toString(), mod[2]);

            // A path that turns red is not written, and the button goes off again.
            tbtest::control<QLineEdit>(form, "OMapEdit")->setText(orig[2] + ".bak");
            QCOMPARE(settings.value("Orig-map0.mul").toString(), orig[2]);
            QVERIFY(!tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
            tbtest::control<QLineEdit>(form, "OMapEdit")
                ->setText(mod[2]); // valid again, another file
            QCOMPARE(settings.value("Orig-map0.mul").toString(), mod[2]);
            QVERIFY(tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
        }
        // A new window shows the stored paths, all green.
        QSettings settings(ini, QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        QVERIFY(!tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
        form.show();
        QCOMPARE(tbtest::control<QLineEdit>(form, "OMapEdit")->text(), mod[2]);
        QCOMPARE(tbtest::control<QLineEdit>(form, "MStaIdxEdit")->text(), mod[0]);
        for (int i = 0; i < 6; ++i)
            QVERIFY(isGreen(pathEdit(form, i)));
        QVERIFY(tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
    }

    void atLeastOnePartStaysTicked() {
        QSettings settings(tmp.path() + "/boxes.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        form.show();
        tbtest::control<QCheckBox>(form, "MapCheckBox")->click();
        QVERIFY(!tbtest::control<QCheckBox>(form, "MapCheckBox")->isChecked());
        QVERIFY(tbtest::control<QCheckBox>(form, "StaticsCheckBox")->isChecked());
        tbtest::control<QCheckBox>(form, "StaticsCheckBox")->click();
        QVERIFY(!tbtest::control<QCheckBox>(form, "StaticsCheckBox")->isChecked());
        QVERIFY(tbtest::control<QCheckBox>(form, "MapCheckBox")->isChecked());
        tbtest::control<QCheckBox>(form, "MapCheckBox")->click();
        QVERIFY(!tbtest::control<QCheckBox>(form, "MapCheckBox")->isChecked());
        QVERIFY(tbtest::control<QCheckBox>(form, "StaticsCheckBox")->isChecked());
        tbtest::control<QCheckBox>(form, "MapCheckBox")->click();
        QVERIFY(tbtest::control<QCheckBox>(form, "MapCheckBox")->isChecked());
        QVERIFY(tbtest::control<QCheckBox>(form, "StaticsCheckBox")->isChecked());
    }

    void aRunDisablesTheWindowAndWritesThePatch() {
        QSettings settings(tmp.path() + "/run.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        form.show();
        typeAll(form, makeSet("runOrig"), makeSet("runMod"));
        QVERIFY(tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
        // The window's state at each prompt: the file name, then "Done.".
        QList<bool> enabledWhenAsked, stageWindowShownWhenAsked;
        prompts.whenAsked = [&] {
            enabledWhenAsked << form.isEnabled();
            stageWindowShownWhenAsked << pr.isVisible();
        };

        const QString both = tmp.path() + "/both.qmz";
        prompts.saveAnswers = {both};
        QTest::mouseClick(tbtest::control<QPushButton>(form, "GenerateButton"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.saveNames(), QStringList{"BHDFileSaveDialog"});
        QCOMPARE(prompts.titles, QStringList{"Patch file ..."});
        QCOMPARE(prompts.messages, QStringList{"Done."});
        QCOMPARE(enabledWhenAsked, (QList<bool>{false, false}));
        QCOMPARE(stageWindowShownWhenAsked.last(), true);
        QVERIFY(form.isEnabled());
        QVERIFY(!pr.isVisible());
        QVERIFY(prompts.errors.isEmpty());
        QCOMPARE(QFileInfo(both).size(), qint64(4'719'616));

        tbtest::control<QCheckBox>(form, "MapCheckBox")->click();
        const QString statics = tmp.path() + "/statics.qmz";
        prompts.saveAnswers = {statics};
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        QCOMPARE(QFileInfo(statics).size(), qint64(3'146'752));
        // The dialog offers the file chosen last.
        QCOMPARE(prompts.saveRequests[1].defaultName, both);

        // Cancelling the dialog changes nothing.
        prompts.saveAnswers = {QString()};
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(QDir(tmp.path()).entryList({"*.qmz"}), (QStringList{"both.qmz", "statics.qmz"}));
        QVERIFY(form.isEnabled());
        QVERIFY(tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
        QVERIFY(prompts.errors.isEmpty());
    }

    void aFailedRunIsReportedAfterTheWindowIsEnabledAgain() {
        QSettings settings(tmp.path() + "/fail.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        form.show();
        const QStringList orig = makeSet("failOrig");
        const QStringList mod = makeSet("failMod");
        typeAll(form, orig, mod);
        // The last prompt of a failed run is its error report.
        bool enabledWhenReported = false;
        bool stageWindowHiddenWhenReported = false;
        prompts.whenAsked = [&] {
            enabledWhenReported = form.isEnabled();
            stageWindowHiddenWhenReported = !pr.isVisible();
        };

        // The patch may not overwrite an input.
        prompts.saveAnswers = {orig[2]};
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY2(prompts.errors[0].contains("one of the input files"),
                 qPrintable(prompts.errors[0]));
        QVERIFY(enabledWhenReported);
        QCOMPARE(QFileInfo(orig[2]).size(), qint64(77'070'336));

        // A file that went missing after it was checked: the patch made before at that
        // path stays as it was.
        QFile::remove(mod[1]);
        const QString broken = tmp.path() + "/broken.qmz";
        prompts.saveAnswers = {broken};
        {
            QFile previous(broken);
            QVERIFY(previous.open(QIODevice::WriteOnly));
            previous.write("a patch made before");
        }
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        QCOMPARE(prompts.errors.size(), 2);
        QVERIFY2(prompts.errors[1].contains("statics0.mul"), qPrintable(prompts.errors[1]));
        QVERIFY(enabledWhenReported);
        QVERIFY(stageWindowHiddenWhenReported);
        QVERIFY(prompts.messages.isEmpty()); // no "Done."
        QFile patch(broken);
        QVERIFY(patch.open(QIODevice::ReadOnly));
        QCOMPARE(patch.readAll(), QByteArray("a patch made before"));
    }

    void theSaveDialogAsksForAQmzFileUntilTheNameIsUsable() {
        QSettings settings(tmp.path() + "/dialog.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        const QString readOnly = tmp.path() + "/readonly.qmz";
        writeFile(readOnly, 1);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
        // A read-only file is refused with a message and the dialog comes back; then the
        // user cancels.
        typeAll(form, makeSet("saveOrig"), makeSet("saveMod"));
        prompts.saveAnswers = {readOnly, QString()};
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        QCOMPARE(prompts.saveRequests.size(), 2);
        const tbapp::FileDialogRequest& first = prompts.saveRequests[0];
        QCOMPARE(first.name, QString("BHDFileSaveDialog"));
        QCOMPARE(first.defaultSuffix, QString("qmz"));
        QCOMPARE(first.filter, QString("Tolvane BH (Version 3) (*.qmz)"));
        QVERIFY(first.confirmOverwrite);
        QCOMPARE(first.defaultName, QString("qvpatch"));
        QCOMPARE(prompts.saveRequests[1].defaultName, readOnly);
        QCOMPARE(
            prompts.messages,
            QStringList{readOnly +
                        "\nThis file is set to read-only.\nTry again with a different file name."});
        QVERIFY(prompts.errors.isEmpty());
        QVERIFY(form.isEnabled());

        QVERIFY(tbapp::DiffPatchDialog::patchFileRefusal(tmp.path() + "/new.qmz").isEmpty());
        QVERIFY(
            !tbapp::DiffPatchDialog::patchFileRefusal(tmp.path() + "/no/such/dir/x.qmz").isEmpty());
        QVERIFY(!tbapp::DiffPatchDialog::patchFileRefusal(tmp.path()).isEmpty());
        QVERIFY(!tbapp::DiffPatchDialog::patchFileRefusal(readOnly).isEmpty());
    }
};

QTEST_MAIN(DiffPatchDialogTest)
#include "test_diff_patch_dialog.moc"
