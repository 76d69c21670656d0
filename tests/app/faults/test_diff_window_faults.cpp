// The diff window writing its patch where the write fails (full device, read-only mount,
// file size limit): the patch made before stays whole, the error names the patch, the
// window comes back enabled, and the same run succeeds once the fault is gone.
#include "WindowFaults.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"

#include "../diff/DiffPatchDialogFixtures.h"

#include "app/diff/DiffPatchDialog.h"
#include "app/shell/StageProgressDialog.h"
#include "diff/DiffFormat.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <filesystem>

namespace fs = std::filesystem;
using tbtest::addFaultRows;
using tbtest::FaultyFolder;
using tbtest::WriteFault;

namespace {

// A full-size set in `dir`: zero index entries, no records, a zero 6144 x 4096 map with
// `mapByte` at byte 1000 (so two sets differ in one map block).
QStringList makeSet(const QString& dir, char mapByte) {
    QDir().mkpath(dir);
    writeFile(dir + "/staidx0.mul", tb::kStaIdxBytes);
    writeFile(dir + "/statics0.mul", 0);
    writeFile(dir + "/map0.mul", 77'070'336);
    QFile map(dir + "/map0.mul");
    if (map.open(QIODevice::ReadWrite) && map.seek(1000))
        map.write(&mapByte, 1);
    return {dir + "/staidx0.mul", dir + "/statics0.mul", dir + "/map0.mul"};
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class DiffWindowFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void patchWrite_data() { addFaultRows(); }
    void patchWrite() {
        SKIP_WITHOUT_MOUNTS();
        QFETCH(WriteFault, fault);
        QTemporaryDir inputs;
        const QStringList orig = makeSet(inputs.path() + "/orig", 0);
        const QStringList mod = makeSet(inputs.path() + "/mod", 5);
        FaultyFolder folder(16u << 20);
        const QString patchPath = QString::fromStdString((folder / "changes.qmz").string());
        const QByteArray previous("a patch made before");
        {
            QFile f(patchPath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(previous);
        }

        QSettings settings(inputs.path() + "/settings.ini", QSettings::IniFormat);
        tbapp::StageProgressDialog pr;
        RecordingPrompts prompts;
        tbapp::DiffPatchDialog form(settings, pr, prompts);
        form.show();
        for (int i = 0; i < 3; ++i) {
            pathEdit(form, i)->setText(orig[i]);
            pathEdit(form, i + 3)->setText(mod[i]);
        }
        // On a read-only mount the dialog's own check refuses the name at once (a message,
        // then the dialog again, which the user cancels); otherwise the write fails.
        prompts.saveAnswers = {patchPath, QString()};

        folder.arm(fault);
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        folder.disarm();

        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY2(prompts.shown[0].contains("changes.qmz"), qPrintable(prompts.shown[0]));
        if (fault == WriteFault::ReadOnlyMount)
            QVERIFY(prompts.shown[0].contains("This file is set to read-only."));
        else
            QCOMPARE(prompts.errors, prompts.shown); // an error report, no "Done."
        QCOMPARE(fileBytes(patchPath), previous);
        QCOMPARE(QDir(QString::fromStdString(folder.path().string()))
                     .entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList{"changes.qmz"});
        QVERIFY(form.isEnabled());
        QVERIFY(tbtest::control<QPushButton>(form, "GenerateButton")->isEnabled());
        QVERIFY(!pr.isVisible());

        // Usable after: the same run writes a finished patch.
        prompts.forgetShown();
        prompts.saveAnswers = {patchPath};
        tbtest::control<QPushButton>(form, "GenerateButton")->click();
        tbtest::waitForJobs();
        QCOMPARE(prompts.shown, QStringList{"Done."});
        const QByteArray patch = fileBytes(patchPath);
        QVERIFY(patch.size() > tb::kDiffHeaderSize);
        const tb::TBHDInfo header = tb::decodeHeader(
            std::span(reinterpret_cast<const unsigned char*>(patch.constData()), patch.size()));
        QVERIFY(header.staticsIndexPos != -1);
        QVERIFY(header.mapIndexPos != -1);
    }
};

TB_FAULT_TEST_MAIN(DiffWindowFaultsTest)
#include "test_diff_window_faults.moc"
