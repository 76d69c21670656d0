#pragma once
// Saves of the windows made to fail: a folder on a small device of the test's own, where a
// write can be stopped by a full device, a read-only mount or a file size limit, and then
// allowed again to show that the window is still usable.

#include "ScratchMount.h"

#include <QApplication>
#include <QMetaType>
#include <QStringList>
#include <QTest>

#include <filesystem>
#include <optional>

namespace tbtest {

enum class WriteFault { FullDevice, ReadOnlyMount, FileSizeLimit };

inline const char* writeFaultName(WriteFault fault) {
    switch (fault) {
    case WriteFault::FullDevice:
        return "full device";
    case WriteFault::ReadOnlyMount:
        return "read-only mount";
    case WriteFault::FileSizeLimit:
        return "file size limit";
    }
    return "?";
}

class FaultyFolder {
public:
    explicit FaultyFolder(std::size_t bytes = 8u << 20) : m_mount(bytes) {}
    ~FaultyFolder() { disarm(); }

    const std::filesystem::path& path() const { return m_mount.path(); }
    std::filesystem::path operator/(const std::string& name) const { return m_mount / name; }

    void arm(WriteFault fault) {
        disarm();
        switch (fault) {
        case WriteFault::FullDevice:
            m_mount.fillUp();
            break;
        case WriteFault::ReadOnlyMount:
            m_mount.makeReadOnly();
            break;
        case WriteFault::FileSizeLimit:
            m_limit.emplace(64);
            break;
        }
        m_armed = fault;
    }

    void disarm() {
        if (!m_armed)
            return;
        switch (*m_armed) {
        case WriteFault::FullDevice:
            m_mount.freeUp();
            break;
        case WriteFault::ReadOnlyMount:
            m_mount.makeWritable();
            break;
        case WriteFault::FileSizeLimit:
            m_limit.reset();
            break;
        }
        m_armed.reset();
    }

private:
    ScratchMount m_mount;
    std::optional<FileSizeLimit> m_limit;
    std::optional<WriteFault> m_armed;
};

} // namespace tbtest

Q_DECLARE_METATYPE(tbtest::WriteFault)

namespace tbtest {

// The names in `dir` other than `expected`: temporary files left behind by a failed write.
// (".filler" is the file that fills the device while that fault is armed.)
inline QStringList strayEntries(const std::filesystem::path& dir, const QStringList& expected) {
    QStringList stray;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(dir)) {
        const QString name = QString::fromStdString(entry.path().filename().string());
        if (!expected.contains(name) && name != ".filler")
            stray << name;
    }
    return stray;
}

// The rows of a data-driven test: one per fault, in the column "fault".
inline void addFaultRows() {
    QTest::addColumn<WriteFault>("fault");
    for (WriteFault fault :
         {WriteFault::FullDevice, WriteFault::ReadOnlyMount, WriteFault::FileSizeLimit})
        QTest::newRow(writeFaultName(fault)) << fault;
}

} // namespace tbtest

// Skips the test where this system does not let the tests mount their own folders.
#define SKIP_WITHOUT_MOUNTS()                                                                      \
    if (!tbtest::privateMountsAvailable())                                                         \
    QSKIP(tbtest::whyNoPrivateMounts().c_str())

// Like QTEST_MAIN, but sets up the private mounts before Qt can start a thread (a process
// that is not root may only enter a user namespace while it has one thread).
#define TB_FAULT_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char** argv) {                                                              \
        tbtest::privateMountsAvailable();                                                          \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
