// Writes of the patch editor, the coordinate list and the two map tools, made to fail by a
// full device, a read-only mount and a file size limit. Each case shows that the previous
// file stays whole with nothing left beside it, that the error shown names the file, and
// that the same action succeeds once the fault is gone, with the window's buttons and
// progress display back to idle.
//
// Every case prints one "outcome" line (previous file intact, error names file, usable
// after) before it checks, so a run shows the whole picture even where a check fails.
#include "WindowFaults.h"
#include "testsupport/FindControl.h"
#include "testsupport/WaitForJobs.h"

#include "../patch/PatchTestDoubles.h"
#include "../tools/ToolWindowsTestSupport.h"

#include "TestPaths.h"
#include "app/patch/CoordinateListDialog.h"
#include "app/patch/PatchEditorWindow.h"
#include "app/tools/MapCopyDialog.h"
#include "app/tools/MapEnlargeDialog.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "tools/MapEnlarge.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <set>
#include <string>

namespace fs = std::filesystem;
using tbtest::addFaultRows;
using tbtest::FaultyFolder;
using tbtest::WriteFault;

namespace {

QString pathOf(const fs::path& p) {
    return QString::fromStdString(p.string());
}

std::string bytesOf(const fs::path& p) {
    return fileText(pathOf(p));
}

void writeBytesTo(const fs::path& p, const std::string& bytes) {
    writeFileText(pathOf(p), bytes);
}

// The names in a folder, without the file that fills a full device.
std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != ".filler")
            names.insert(entry.path().filename().string());
    return names;
}

QString joined(const std::set<std::string>& names) {
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(", ");
}

// What one faulty write did, with the reasons of every "no".
struct Outcome {
    bool intact = true;
    bool namesFile = true;
    bool usable = true;
    QStringList why;
    QString shown; // the error the user saw

    void intactUnless(bool failed, const QString& reason) { note(intact, failed, reason); }
    void namesUnless(bool failed, const QString& reason) { note(namesFile, failed, reason); }
    void usableUnless(bool failed, const QString& reason) { note(usable, failed, reason); }

private:
    void note(bool& flag, bool failed, const QString& reason) {
        if (failed) {
            flag = false;
            why << reason;
        }
    }
};

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

void printOutcome(const char* operation, WriteFault fault, const Outcome& o) {
    qInfo("outcome | %s | %s | previous file intact: %s | error names file: %s | usable after: "
          "%s | shown: %s%s%s",
          operation, tbtest::writeFaultName(fault), yesNo(o.intact), yesNo(o.namesFile),
          yesNo(o.usable), qPrintable(o.shown), o.why.isEmpty() ? "" : " | ",
          qPrintable(o.why.join("; ")));
}

// The previous file and the folder after a failed write: the file byte for byte, no other
// name beside it.
void checkPrevious(Outcome& o, const fs::path& target, const std::string& previous) {
    const std::string now = bytesOf(target);
    o.intactUnless(
        now != previous,
        QString("the file holds %1 other bytes (%2 before)").arg(now.size()).arg(previous.size()));
    const std::set<std::string> names = namesIn(target.parent_path());
    o.intactUnless(names != std::set<std::string>{target.filename().string()},
                   "the folder holds " + joined(names));
}

// The one error of a failed write, which must name the file.
void checkError(Outcome& o, const QStringList& errors, const QStringList& messages,
                const fs::path& target) {
    const QString name = QString::fromStdString(target.filename().string());
    o.namesUnless(errors.size() != 1,
                  QString("%1 errors shown: %2").arg(errors.size()).arg(errors.join(" / ")));
    o.namesUnless(!messages.isEmpty(), "plain messages shown: " + messages.join(" / "));
    o.shown = errors.join(" / ");
    if (errors.size() == 1)
        o.namesUnless(!errors.front().contains(name),
                      "the error does not name " + name + ": " + errors.front());
}

// Text of the patch and coordinate files as the windows write them.
std::string patchFileText(const std::vector<QStringList>& rows) {
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i)
        text += "[" + std::to_string(i) + "]\r\nX=" + rows[i][0].toStdString() +
                "\r\nY=" + rows[i][1].toStdString() + "\r\nZ=" + rows[i][2].toStdString() +
                "\r\nID=" + rows[i][3].toStdString() + "\r\n";
    return text;
}

std::string coordFileText(const std::vector<QStringList>& rows) {
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i)
        text += "[" + std::to_string(i) + "]\r\nX=" + rows[i][0].toStdString() +
                "\r\nY=" + rows[i][1].toStdString() + "\r\n";
    return text;
}

std::vector<QStringList> tableRows(const QTableWidget* table) {
    std::vector<QStringList> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table->columnCount(); ++c)
            row << table->item(r, c)->text();
        rows.push_back(row);
    }
    return rows;
}

void selectRow(QTableWidget* table, int row) {
    table->selectionModel()->select(table->model()->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect |
                                        QItemSelectionModel::Rows);
}

// Map bytes: cell (x, y) of a map `heightBlocks` blocks high.
std::size_t cellOffset(int x, int y, int heightBlocks) {
    return std::size_t((x / 8) * heightBlocks + y / 8) * tb::kBlockSize + tb::kBlockHeaderSize +
           std::size_t((y % 8) * 8 + x % 8) * tb::kCellSize;
}

// A whole map of one variant whose every byte is set (no zero runs to mistake for a hole).
std::string patternedMap(const char* fileName, std::int64_t size) {
    const tb::MapVariant v = *tb::identifyMapVariant(fileName, size);
    std::string bytes(std::size_t(v.fileSize), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(1 + (i * 7) % 251);
    return bytes;
}

constexpr std::int64_t kIlshenarSize = 11'289'600;
constexpr int kIlshenarHeightBlocks = 200;
constexpr std::int64_t kTokunoSize = 6'421'156;
constexpr int kTokunoHeightBlocks = 181;

// Source cells (x, y) of the copy and enlargement sources: tile 0x100 + 16x + y, altitude
// x - y, for x and y in 0..15.
void setSourceCells(std::string& map, int heightBlocks) {
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y) {
            const std::size_t at = cellOffset(x, y, heightBlocks);
            const int tile = 0x100 + 16 * x + y;
            map[at] = char(tile & 0xFF);
            map[at + 1] = char(tile >> 8);
            map[at + 2] = char(x - y);
        }
}

} // namespace

class FileWindowFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!tbtest::privateMountsAvailable())
            QSKIP(qPrintable(QString::fromStdString(tbtest::whyNoPrivateMounts())));
    }

    // PatchEditorWindow: Save of the patch file.
    void patchSave_data() { addFaultRows(); }
    void patchSave() {
        QFETCH(WriteFault, fault);
        FaultyFolder folder(1u << 20);
        const fs::path target = folder / "qvbrimholt.qvp";
        const std::string previous = "[0]\r\nX=1\r\nY=2\r\nZ=3\r\nID=00 04\r\n";
        writeBytesTo(target, previous);

        tbtest::TempDir appDir;
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow form(pathOf(appDir.path()), link, prompts);
        for (int i = 0; i < 6; ++i) {
            tbtest::control<QLineEdit>(form, "PridatX")->setText(QString::number(1000 + i));
            tbtest::control<QLineEdit>(form, "PridatY")->setText(QString::number(2000 + i));
            tbtest::control<QLineEdit>(form, "PridatZ")->setText(QString::number(-i));
            tbtest::control<QLineEdit>(form, "PridatID")->setText(QString("01 %1").arg(10 + i));
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        }
        const std::vector<QStringList> rows =
            tableRows(tbtest::control<QTableWidget>(form, "Seznam"));
        QCOMPARE(rows.size(), std::size_t(6));

        folder.arm(fault);
        prompts.saveAnswers << pathOf(target);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.saveRequests.size(), 1); // the dialog was answered: the write was tried

        Outcome o;
        checkPrevious(o, target, previous);
        checkError(o, prompts.errors, prompts.messages, target);
        o.usableUnless(prompts.progressOpenAtError, "the progress window was open at the error");
        o.usableUnless(std::any_of(prompts.progressRuns.begin(), prompts.progressRuns.end(),
                                   [](const auto& run) { return run->open; }),
                       "a progress window is left open");
        o.usableUnless(tableRows(tbtest::control<QTableWidget>(form, "Seznam")) != rows,
                       "the list changed");

        folder.disarm();
        const int errorsBefore = int(prompts.errors.size());
        prompts.saveAnswers << pathOf(target);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        o.usableUnless(prompts.errors.size() != errorsBefore,
                       "the save again failed: " + prompts.errors.join(" / "));
        o.usableUnless(bytesOf(target) != patchFileText(rows), "the save again did not write");
        o.usableUnless(namesIn(folder.path()) != std::set<std::string>{"qvbrimholt.qvp"},
                       "the folder holds " + joined(namesIn(folder.path())));
        o.usableUnless(std::any_of(prompts.progressRuns.begin(), prompts.progressRuns.end(),
                                   [](const auto& run) { return run->open; }),
                       "a progress window is left open after the save again");
        o.usableUnless(!tbtest::control<QPushButton>(form, "TLSave")->isEnabled() ||
                           !tbtest::control<QPushButton>(form, "TLLoad")->isEnabled(),
                       "Load or Save is disabled");

        printOutcome("PatchEditorWindow Save", fault, o);
        QVERIFY2(o.intact, qPrintable(o.why.join("; ")));
        QVERIFY2(o.namesFile, qPrintable(o.why.join("; ")));
        QVERIFY2(o.usable, qPrintable(o.why.join("; ")));
    }

    // CoordinateListDialog: coords.def written back when the list is left with OK or Cancel. A
    // failed write keeps the window open with its list, so that the user can leave it again.
    void listTempSave_data() {
        QTest::addColumn<WriteFault>("fault");
        QTest::addColumn<bool>("viaOk");
        for (WriteFault fault :
             {WriteFault::FullDevice, WriteFault::ReadOnlyMount, WriteFault::FileSizeLimit}) {
            QTest::newRow(qPrintable(QString("OK, ") + tbtest::writeFaultName(fault)))
                << fault << true;
            QTest::newRow(qPrintable(QString("Cancel, ") + tbtest::writeFaultName(fault)))
                << fault << false;
        }
    }
    void listTempSave() {
        QFETCH(WriteFault, fault);
        QFETCH(bool, viaOk);
        FaultyFolder folder(1u << 20);
        const fs::path target = folder / "coords.def";
        const std::string previous = "[0]\r\nX=1\r\nY=2\r\n[1]\r\nX=3\r\nY=4\r\n";
        writeBytesTo(target, previous);

        FakeLink link;
        RecordingPrompts prompts;
        tbapp::CoordinateListDialog form(pathOf(folder.path()), link, "0", "0", prompts);
        QCOMPARE(tbtest::control<QTableWidget>(form, "Seznam")->rowCount(),
                 2); // coords.def was read
        for (int i = 0; i < 5; ++i) {
            tbtest::control<QLineEdit>(form, "PridatX")->setText(QString::number(1400 + i));
            tbtest::control<QLineEdit>(form, "PridatY")->setText(QString::number(1600 + i));
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        }
        const std::vector<QStringList> rows =
            tableRows(tbtest::control<QTableWidget>(form, "Seznam"));
        selectRow(tbtest::control<QTableWidget>(form, "Seznam"), 5); // 1403, 1603
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QPushButton* leave = viaOk ? tbtest::control<QPushButton>(form, "TlOK")
                                   : tbtest::control<QPushButton>(form, "TlCancel");

        folder.arm(fault);
        QTest::mouseClick(leave, Qt::LeftButton);

        Outcome o;
        checkPrevious(o, target, previous);
        checkError(o, prompts.errors, prompts.messages, target);
        o.usableUnless(!form.isVisible(), "the window closed although coords.def was not written");
        o.usableUnless(tableRows(tbtest::control<QTableWidget>(form, "Seznam")) != rows,
                       "the list changed");

        folder.disarm();
        QTest::mouseClick(leave, Qt::LeftButton);
        o.usableUnless(prompts.errors.size() != 1,
                       "leaving again failed: " + prompts.errors.join(" / "));
        o.usableUnless(bytesOf(target) != coordFileText(rows), "leaving again did not write");
        o.usableUnless(namesIn(folder.path()) != std::set<std::string>{"coords.def"},
                       "the folder holds " + joined(namesIn(folder.path())));
        o.usableUnless(form.isVisible(), "the window stays open after a good write");
        o.usableUnless(form.result() != (viaOk ? QDialog::Accepted : QDialog::Rejected),
                       "the window's result is wrong");
        if (viaOk)
            o.usableUnless(link.jumpX != "1403" || link.jumpY != "1603",
                           "OK did not fill the jump boxes with the selected row");

        printOutcome(viaOk ? "CoordinateListDialog TempSave (OK)"
                           : "CoordinateListDialog TempSave (Cancel)",
                     fault, o);
        QVERIFY2(o.intact, qPrintable(o.why.join("; ")));
        QVERIFY2(o.namesFile, qPrintable(o.why.join("; ")));
        QVERIFY2(o.usable, qPrintable(o.why.join("; ")));
    }

    // CoordinateListDialog: Export of the list to a file of the user's choice.
    void listExport_data() { addFaultRows(); }
    void listExport() {
        QFETCH(WriteFault, fault);
        FaultyFolder folder(1u << 20);
        const fs::path target = folder / "favourites.def";
        const std::string previous = "[0]\r\nX=7\r\nY=8\r\n";
        writeBytesTo(target, previous);

        tbtest::TempDir appDir;
        FakeLink link;
        RecordingPrompts prompts;
        tbapp::CoordinateListDialog form(pathOf(appDir.path()), link, "0", "0", prompts);
        for (int i = 0; i < 5; ++i) {
            tbtest::control<QLineEdit>(form, "PridatX")->setText(QString::number(300 + i));
            tbtest::control<QLineEdit>(form, "PridatY")->setText(QString::number(500 + i));
            QTest::mouseClick(tbtest::control<QPushButton>(form, "TLAdd"), Qt::LeftButton);
        }
        const std::vector<QStringList> rows =
            tableRows(tbtest::control<QTableWidget>(form, "Seznam"));

        folder.arm(fault);
        prompts.saveAnswers << pathOf(target);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        QCOMPARE(prompts.saveRequests.size(), 1);

        Outcome o;
        checkPrevious(o, target, previous);
        checkError(o, prompts.errors, prompts.messages, target);
        o.usableUnless(tableRows(tbtest::control<QTableWidget>(form, "Seznam")) != rows,
                       "the list changed");

        folder.disarm();
        prompts.saveAnswers << pathOf(target);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        o.usableUnless(prompts.errors.size() != 1,
                       "the export again failed: " + prompts.errors.join(" / "));
        o.usableUnless(bytesOf(target) != coordFileText(rows), "the export again did not write");
        o.usableUnless(namesIn(folder.path()) != std::set<std::string>{"favourites.def"},
                       "the folder holds " + joined(namesIn(folder.path())));
        o.usableUnless(!tbtest::control<QPushButton>(form, "TLSave")->isEnabled() ||
                           !tbtest::control<QPushButton>(form, "TlOK")->isEnabled(),
                       "Export or OK is disabled");

        printOutcome("CoordinateListDialog Export", fault, o);
        QVERIFY2(o.intact, qPrintable(o.why.join("; ")));
        QVERIFY2(o.namesFile, qPrintable(o.why.join("; ")));
        QVERIFY2(o.usable, qPrintable(o.why.join("; ")));
    }

    // MapEnlargeDialog: the enlarged map file. The tmpfs holds one enlarged map (86 MiB) and
    // the previous file.
    void mapEnlarge_data() { addFaultRows(); }
    void mapEnlarge() {
        QFETCH(WriteFault, fault);
        tbtest::TempDir sourceDir;
        const fs::path source = sourceDir / "map4.mul";
        std::string sourceBytes = patternedMap("map4.mul", kTokunoSize);
        setSourceCells(sourceBytes, kTokunoHeightBlocks);
        writeBytesTo(source, sourceBytes);

        FaultyFolder folder(std::size_t(tb::kEnlargedFileSize) + (8u << 20));
        const fs::path target = folder / "map0.mul";
        const std::string previous(70'000, 'p');
        writeBytesTo(target, previous);

        RecordingPrompts recorder;
        tbapp::MapEnlargeDialog form(recorder);
        recorder.openAnswers = {pathOf(source)};
        tbtest::control<QPushButton>(form, "TLMapLoad")->click();
        QCOMPARE(tbtest::control<QLabel>(form, "MapInfo")->text(), QString("Tokuno"));

        folder.arm(fault);
        recorder.saveAnswers = {pathOf(target)};
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLMapSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        QVERIFY(recorder.saveAnswers.isEmpty()); // the save dialog was answered: the run was tried

        Outcome o;
        checkPrevious(o, target, previous);
        checkError(o, recorder.errors, recorder.messages, target);
        // A window that still counts as running refuses to close.
        o.usableUnless(!form.close(), "the window cannot be closed");
        o.usableUnless(!tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled(),
                       "TLMapSave is left disabled");
        o.usableUnless(
            tbtest::control<QProgressBar>(form, "ProgressBar")->value() != 0,
            "the bar is left at " +
                QString::number(tbtest::control<QProgressBar>(form, "ProgressBar")->value()));
        o.usableUnless(!tbtest::control<QLabel>(form, "ProgressInfo")->text().isEmpty(),
                       "the progress text is left at \"" +
                           tbtest::control<QLabel>(form, "ProgressInfo")->text() + "\"");

        folder.disarm();
        const qsizetype messagesBefore = recorder.shown.size();
        recorder.saveAnswers = {pathOf(target)};
        QTest::mouseClick(tbtest::control<QPushButton>(form, "TLMapSave"), Qt::LeftButton);
        tbtest::waitForJobs();
        o.usableUnless(recorder.shown.size() != messagesBefore,
                       "the run again failed: " + recorder.shown.join(" / "));
        const std::string result = bytesOf(target);
        o.usableUnless(std::int64_t(result.size()) != tb::kEnlargedFileSize,
                       QString("the run again wrote %1 bytes").arg(result.size()));
        if (std::int64_t(result.size()) == tb::kEnlargedFileSize) {
            // The source's cells at their places, its headers zeroed, the rest blank.
            bool cellsMoved = true;
            for (int x : {0, 7, 15, 1447})
                for (int y : {0, 9, 15, 1447}) {
                    const std::size_t from = cellOffset(x, y, kTokunoHeightBlocks);
                    const std::size_t to = cellOffset(x, y, tb::kEnlargedHeightBlocks);
                    cellsMoved = cellsMoved && result.compare(to, 3, sourceBytes, from, 3) == 0;
                }
            cellsMoved = cellsMoved && result.compare(0, 4, std::string(4, '\0')) == 0 &&
                         result.compare(cellOffset(1448, 0, tb::kEnlargedHeightBlocks), 3,
                                        std::string(3, '\0')) == 0;
            o.usableUnless(!cellsMoved, "the new map does not hold the source's cells");
        }
        o.usableUnless(namesIn(folder.path()) != std::set<std::string>{"map0.mul"},
                       "the folder holds " + joined(namesIn(folder.path())));
        o.usableUnless(tbtest::control<QLabel>(form, "ProgressInfo")->text() !=
                           tb::kEnlargeDoneText,
                       "the run again ends with \"" +
                           tbtest::control<QLabel>(form, "ProgressInfo")->text() + "\"");
        o.usableUnless(!tbtest::control<QPushButton>(form, "TLMapSave")->isEnabled(),
                       "TLMapSave is disabled after the run again");

        printOutcome("MapEnlargeDialog enlarge", fault, o);
        QVERIFY2(o.intact, qPrintable(o.why.join("; ")));
        QVERIFY2(o.namesFile, qPrintable(o.why.join("; ")));
        QVERIFY2(o.usable, qPrintable(o.why.join("; ")));
    }

    // MapCopyDialog: the destination map. A failed copy leaves the previous destination as it
    // was (the copy works on a copy of the destination beside it, renamed into place when
    // complete), so the tmpfs holds the destination twice.
    void mapCopy_data() { addFaultRows(); }
    void mapCopy() {
        QFETCH(WriteFault, fault);
        tbtest::TempDir sourceDir;
        const fs::path source = sourceDir / "map2.mul";
        std::string sourceBytes = patternedMap("map2.mul", kIlshenarSize);
        setSourceCells(sourceBytes, kIlshenarHeightBlocks);
        writeBytesTo(source, sourceBytes);

        FaultyFolder folder(2 * std::size_t(kTokunoSize) + (4u << 20));
        const fs::path target = folder / "map4.mul";
        const std::string previous = patternedMap("map4.mul", kTokunoSize);
        writeBytesTo(target, previous);
        // Source cells (0..15, 0..15) land at (20..35, 30..45); nothing else changes.
        std::string expected = previous;
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 16; ++y)
                expected.replace(cellOffset(20 + x, 30 + y, kTokunoHeightBlocks), 3, sourceBytes,
                                 cellOffset(x, y, kIlshenarHeightBlocks), 3);

        RecordingPrompts recorder;
        tbapp::MapCopyDialog form(recorder);
        tbtest::control<QLineEdit>(form, "EditSourceMap")->setText(pathOf(source));
        tbtest::control<QLineEdit>(form, "EditDestinationMap")->setText(pathOf(target));
        const QStringList coords = {"0", "0", "15", "15", "20", "30"};
        QLineEdit* edits[] = {tbtest::control<QLineEdit>(form, "EditSX1"),
                              tbtest::control<QLineEdit>(form, "EditSY1"),
                              tbtest::control<QLineEdit>(form, "EditSX2"),
                              tbtest::control<QLineEdit>(form, "EditSY2"),
                              tbtest::control<QLineEdit>(form, "EditDX"),
                              tbtest::control<QLineEdit>(form, "EditDY")};
        for (int i = 0; i < 6; ++i)
            edits[i]->setText(coords[i]);
        QCOMPARE(tbtest::control<QLabel>(form, "TextDMapInfo")->text(), QString("Tokuno"));
        QVERIFY(tbtest::control<QPushButton>(form, "btnCopy")->isEnabled());
        QVERIFY(recorder.shown.isEmpty());

        folder.arm(fault);
        QTest::mouseClick(tbtest::control<QPushButton>(form, "btnCopy"), Qt::LeftButton);
        tbtest::waitForJobs();

        Outcome o;
        checkPrevious(o, target, previous);
        checkError(o, recorder.errors, recorder.messages, target);
        // A window that still counts as running refuses to close.
        o.usableUnless(!form.close(), "the window cannot be closed");
        o.usableUnless(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled(),
                       "btnCopy is left disabled");

        folder.disarm();
        const qsizetype messagesBefore = recorder.shown.size();
        QTest::mouseClick(tbtest::control<QPushButton>(form, "btnCopy"), Qt::LeftButton);
        tbtest::waitForJobs();
        o.usableUnless(recorder.shown.size() != messagesBefore,
                       "the copy again failed: " + recorder.shown.join(" / "));
        o.usableUnless(bytesOf(target) != expected, "the copy again did not write the cells");
        o.usableUnless(namesIn(folder.path()) != std::set<std::string>{"map4.mul"},
                       "the folder holds " + joined(namesIn(folder.path())));
        o.usableUnless(!tbtest::control<QPushButton>(form, "btnCopy")->isEnabled(),
                       "btnCopy is disabled after the copy again");
        o.usableUnless(
            tbtest::control<QProgressBar>(form, "ProgressBar")->value() != 100,
            "the bar ends at " +
                QString::number(tbtest::control<QProgressBar>(form, "ProgressBar")->value()));

        printOutcome("MapCopyDialog copy", fault, o);
        QVERIFY2(o.intact, qPrintable(o.why.join("; ")));
        QVERIFY2(o.namesFile, qPrintable(o.why.join("; ")));
        QVERIFY2(o.usable, qPrintable(o.why.join("; ")));
    }
};

TB_FAULT_TEST_MAIN(FileWindowFaultsTest)

#include "test_file_window_faults.moc"
