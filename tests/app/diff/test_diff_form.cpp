// The diff patch window: path checks by colour, when paths are remembered, the part
// boxes, and a run from the button to the written patch.
#include "DiffFormTestDouble.h"

#include "diff/DiffForm.h"
#include "diff/DiffFormat.h"
#include "shell/ErrorReport.h"
#include "shell/PathBox.h"
#include "shell/PrForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
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

class DiffFormTest : public QObject {
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
    void typeAll(TBHDiffForm& form, const QStringList& orig, const QStringList& mod) {
        for (int i = 0; i < 3; ++i) {
            form.pathEdit(i)->setText(orig[i]);
            form.pathEdit(i + 3)->setText(mod[i]);
        }
    }

private slots:
    void opensWithSixRedEditsAndNoGenerateWithoutSettings() {
        QSettings settings(tmp.path() + "/empty.ini", QSettings::IniFormat);
        TPrForm pr;
        TBHDiffForm form(settings, pr);
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt - Create Diff patch"));
        form.show();
        for (int i = 0; i < 6; ++i) {
            QVERIFY(form.pathEdit(i)->text().isEmpty());
            QVERIFY(isRed(form.pathEdit(i)));
        }
        QVERIFY(!form.GenerateButton->isEnabled());
        QVERIFY(form.StaticsCheckBox->isChecked());
        QVERIFY(form.MapCheckBox->isChecked());
        QCOMPARE(form.StaticsCheckBox->text(), QString("StaIdx0.mul + Statics0.mul"));
        QVERIFY(form.findChild<QLineEdit*>("MMapEdit") == form.MMapEdit);
        QVERIFY(form.findChild<QFileDialog*>("BHDFileSaveDialog") != nullptr);
        QVERIFY(settings.allKeys().isEmpty());
    }

    void anEditIsGreenOnlyForAnExistingFileOfItsColumnsName() {
        QSettings settings(tmp.path() + "/names.ini", QSettings::IniFormat);
        TPrForm pr;
        TBHDiffForm form(settings, pr);
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
            form.OMapEdit->setText(c.path);
            QVERIFY2(c.green ? isGreen(form.OMapEdit) : isRed(form.OMapEdit), qPrintable(c.path));
            QCOMPARE(tbapp::isPathBoxValid(form.OMapEdit), c.green);
        }
        form.OStaticsEdit->setText(d + "/statics0.mul");
        QVERIFY(isGreen(form.OStaticsEdit));
        form.MStaticsEdit->setText(d + "/map0.mul");
        QVERIFY(isRed(form.MStaticsEdit));
    }

    void pathsAreRememberedOnlyWhenAllSixAreGreen() {
        const QString ini = tmp.path() + "/remember.ini";
        const QStringList orig = makeSet("rememberOrig");
        const QStringList mod = makeSet("rememberMod");
        {
            QSettings settings(ini, QSettings::IniFormat);
            TPrForm pr;
            TBHDiffForm form(settings, pr);
            for (int i = 0; i < 5; ++i)
                form.pathEdit(i)->setText(i < 3 ? orig[i] : mod[i - 3]);
            QVERIFY(settings.allKeys().isEmpty());
            QVERIFY(!form.GenerateButton->isEnabled());
            form.MMapEdit->setText(mod[2]);
            QVERIFY(form.GenerateButton->isEnabled());
            QCOMPARE(settings.value("Orig-staidx0.mul").toString(), orig[0]);
            QCOMPARE(settings.value("Orig-statics0.mul").toString(), orig[1]);
            QCOMPARE(settings.value("Orig-map0.mul").toString(), orig[2]);
            QCOMPARE(settings.value("Mod-staidx0.mul").toString(), mod[0]);
            QCOMPARE(settings.value("Mod-statics0.mul").toString(), mod[1]);
            QCOMPARE(settings.value("Mod-map0.mul").toString(), mod[2]);

            // A path that turns red is not written, and the button goes off again.
            form.OMapEdit->setText(orig[2] + ".bak");
            QCOMPARE(settings.value("Orig-map0.mul").toString(), orig[2]);
            QVERIFY(!form.GenerateButton->isEnabled());
            form.OMapEdit->setText(mod[2]); // valid again, another file
            QCOMPARE(settings.value("Orig-map0.mul").toString(), mod[2]);
            QVERIFY(form.GenerateButton->isEnabled());
        }
        // A new window shows the stored paths, all green.
        QSettings settings(ini, QSettings::IniFormat);
        TPrForm pr;
        TBHDiffForm form(settings, pr);
        QVERIFY(!form.GenerateButton->isEnabled());
        form.show();
        QCOMPARE(form.OMapEdit->text(), mod[2]);
        QCOMPARE(form.MStaIdxEdit->text(), mod[0]);
        for (int i = 0; i < 6; ++i)
            QVERIFY(isGreen(form.pathEdit(i)));
        QVERIFY(form.GenerateButton->isEnabled());
    }

    void atLeastOnePartStaysTicked() {
        QSettings settings(tmp.path() + "/boxes.ini", QSettings::IniFormat);
        TPrForm pr;
        TBHDiffForm form(settings, pr);
        form.show();
        form.MapCheckBox->click();
        QVERIFY(!form.MapCheckBox->isChecked());
        QVERIFY(form.StaticsCheckBox->isChecked());
        form.StaticsCheckBox->click();
        QVERIFY(!form.StaticsCheckBox->isChecked());
        QVERIFY(form.MapCheckBox->isChecked());
        form.MapCheckBox->click();
        QVERIFY(!form.MapCheckBox->isChecked());
        QVERIFY(form.StaticsCheckBox->isChecked());
        form.MapCheckBox->click();
        QVERIFY(form.MapCheckBox->isChecked());
        QVERIFY(form.StaticsCheckBox->isChecked());
    }

    void aRunDisablesTheWindowAndWritesThePatch() {
        QSettings settings(tmp.path() + "/run.ini", QSettings::IniFormat);
        TPrForm pr;
        TestDiffForm form(settings, pr);
        form.show();
        typeAll(form, makeSet("runOrig"), makeSet("runMod"));
        QVERIFY(form.GenerateButton->isEnabled());
        QStringList messages;
        tbapp::setMessageSink(
            [&](QWidget*, tbapp::MessageKind, const QString& t) { messages << t; });

        form.nextFileName = tmp.path() + "/both.qmz";
        QTest::mouseClick(form.GenerateButton, Qt::LeftButton);
        QCOMPARE(form.asked, 1);
        QVERIFY(!form.enabledWhenAsked);
        QCOMPARE(form.done, 1);
        QVERIFY(!form.enabledWhenDone);
        QVERIFY(form.stageWindowShownWhenDone);
        QVERIFY(form.isEnabled());
        QVERIFY(!pr.isVisible());
        QVERIFY(messages.isEmpty());
        QCOMPARE(QFileInfo(form.nextFileName).size(), qint64(4'719'616));

        form.MapCheckBox->click();
        form.nextFileName = tmp.path() + "/statics.qmz";
        form.GenerateButton->click();
        QCOMPARE(QFileInfo(form.nextFileName).size(), qint64(3'146'752));

        // Cancelling the dialog changes nothing.
        form.cancel = true;
        form.nextFileName = tmp.path() + "/never.qmz";
        form.GenerateButton->click();
        QCOMPARE(form.done, 2);
        QVERIFY(!QFile::exists(form.nextFileName));
        QVERIFY(form.isEnabled());
        QVERIFY(form.GenerateButton->isEnabled());
        QVERIFY(messages.isEmpty());
        tbapp::setMessageSink({});
    }

    void aFailedRunIsReportedAfterTheWindowIsEnabledAgain() {
        QSettings settings(tmp.path() + "/fail.ini", QSettings::IniFormat);
        TPrForm pr;
        TestDiffForm form(settings, pr);
        form.show();
        const QStringList orig = makeSet("failOrig");
        const QStringList mod = makeSet("failMod");
        typeAll(form, orig, mod);
        QStringList messages;
        bool enabledWhenReported = false;
        bool stageWindowHiddenWhenReported = false;
        tbapp::setMessageSink([&](QWidget*, tbapp::MessageKind kind, const QString& t) {
            QCOMPARE(kind, tbapp::MessageKind::Error);
            messages << t;
            enabledWhenReported = form.isEnabled();
            stageWindowHiddenWhenReported = !pr.isVisible();
        });

        // The patch may not overwrite an input.
        form.nextFileName = orig[2];
        form.GenerateButton->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains("one of the input files"), qPrintable(messages[0]));
        QVERIFY(enabledWhenReported);
        QCOMPARE(QFileInfo(orig[2]).size(), qint64(77'070'336));

        // A file that went missing after it was checked: the patch made before at that
        // path stays as it was.
        QFile::remove(mod[1]);
        form.nextFileName = tmp.path() + "/broken.qmz";
        {
            QFile previous(form.nextFileName);
            QVERIFY(previous.open(QIODevice::WriteOnly));
            previous.write("a patch made before");
        }
        form.GenerateButton->click();
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[1].contains("statics0.mul"), qPrintable(messages[1]));
        QVERIFY(enabledWhenReported);
        QVERIFY(stageWindowHiddenWhenReported);
        QCOMPARE(form.done, 0);
        QFile patch(form.nextFileName);
        QVERIFY(patch.open(QIODevice::ReadOnly));
        QCOMPARE(patch.readAll(), QByteArray("a patch made before"));
        tbapp::setMessageSink({});
    }

    void theSaveDialogAsksForAQmzFile() {
        QSettings settings(tmp.path() + "/dialog.ini", QSettings::IniFormat);
        TPrForm pr;
        TBHDiffForm form(settings, pr);
        QFileDialog* dialog = form.BHDFileSaveDialog;
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->defaultSuffix(), QString("qmz"));
        QCOMPARE(dialog->nameFilters(), QStringList{"Tolvane BH (Version 3) (*.qmz)"});
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY2(QFileInfo(dialog->selectedFiles().value(0)).fileName().startsWith("qvpatch"),
                 qPrintable(dialog->selectedFiles().value(0)));

        QVERIFY(TBHDiffForm::patchFileRefusal(tmp.path() + "/new.qmz").isEmpty());
        QVERIFY(!TBHDiffForm::patchFileRefusal(tmp.path() + "/no/such/dir/x.qmz").isEmpty());
        QVERIFY(!TBHDiffForm::patchFileRefusal(tmp.path()).isEmpty());
        const QString readOnly = tmp.path() + "/readonly.qmz";
        writeFile(readOnly, 1);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
        QVERIFY(!TBHDiffForm::patchFileRefusal(readOnly).isEmpty());
    }
};

QTEST_MAIN(DiffFormTest)
#include "test_diff_form.moc"
