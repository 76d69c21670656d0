#pragma once
// Shared pieces of the diff window tests: the recording prompts and generated input files.

#include "testsupport/RecordingPrompts.h"

#include <QFile>
#include <QtTest>

using tbtest::RecordingPrompts;

// A file of `size` zero bytes (sparse).
inline void writeFile(const QString& path, qint64 size) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(f.resize(size));
}
