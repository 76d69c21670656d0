#pragma once
// The diff window with its save dialog and "Done." box replaced, so nothing blocks a test,
// noting the window's state at the moments that matter.

#include "diff/DiffForm.h"
#include "shell/PrForm.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

class TestDiffForm : public TBHDiffForm {
public:
    TestDiffForm(QSettings& settings, TPrForm& prForm)
        : TBHDiffForm(settings, prForm), pr(prForm) {}

    QString nextFileName;
    bool cancel = false;
    int asked = 0;
    int done = 0;
    bool enabledWhenAsked = true;
    bool enabledWhenDone = true;
    bool stageWindowShownWhenDone = false;

protected:
    bool askPatchFileName(QString& fileName) override {
        ++asked;
        enabledWhenAsked = isEnabled();
        if (cancel)
            return false;
        fileName = nextFileName;
        return true;
    }
    void showDoneMessage() override {
        ++done;
        enabledWhenDone = isEnabled();
        stageWindowShownWhenDone = pr.isVisible();
    }

private:
    TPrForm& pr;
};

// A file of `size` zero bytes (sparse).
inline void writeFile(const QString& path, qint64 size) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(f.resize(size));
}
