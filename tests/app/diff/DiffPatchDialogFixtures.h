#pragma once
// Shared pieces of the diff window tests: the recording prompts and generated input files.

#include "testsupport/FindControl.h"
#include "testsupport/RecordingPrompts.h"

#include <QFile>
#include <QLineEdit>
#include <QtTest>

using tbtest::RecordingPrompts;

// A file of `size` zero bytes (sparse).
inline void writeFile(const QString& path, qint64 size) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(f.resize(size));
}

// The diff window's six path edits: the original row, then the modified row (staidx,
// statics, map each).
inline QLineEdit* pathEdit(const QObject& form, int index) {
    static const char* const kNames[6] = {"OStaIdxEdit", "OStaticsEdit", "OMapEdit",
                                          "MStaIdxEdit", "MStaticsEdit", "MMapEdit"};
    return tbtest::control<QLineEdit>(form, kNames[index]);
}
