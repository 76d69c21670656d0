// The loaded map changed by another writer: a map copy into it has it read again, so a
// later Save keeps the copied cells; unsaved changes are saved before such a copy or the copy
// does not run; Save after an outside write asks Overwrite, Reload or Cancel; coming back to
// the window after an outside write offers to read it again, once for each change.

#include "PaintFixture.h"
#include "StaticsFixtures.h"

#include "app/shell/RadioGroup.h"
#include "app/tools/MapCopyDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <chrono>
#include <functional>

using namespace tbtest;
namespace fs = std::filesystem;

namespace {

constexpr int kX = 10, kY = 10;             // tile 0, altitude 0 in the test map
const tb::MapCell kCopied{kLandTile, 33};   // the copy source's block (0, 0)
const tb::MapCell kOutside{kBothTile, -40}; // what another program writes at (3, 3)
constexpr std::uint16_t kStatic = 0x10;

// Raises cell (10, 10) by 7 with a Paint click: one unsaved change.
void change(PaintFixture& f) {
    tbtest::ui<tbapp::RadioGroup>(*f.form, "AltitudeRadioGroup")->setItemIndex(0);
    tbtest::ui<QLineEdit>(*f.form, "ZValueEdit")->setText("7");
    tbtest::ui<QComboBox>(*f.form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
    f.click(kX, kY);
}

tb::MapCell savedCell(const PaintFixture& f, int x, int y) {
    return tb::MapImage::load(f.mapPath).cell(x, y);
}

// Another program writes the map: cell (3, 3) changes. The time is set ahead, so that a
// write within the file system's clock tick of the Load still counts.
void writeOutside(const fs::path& file) {
    tb::MapImage map = tb::MapImage::load(file);
    map.setCell(3, 3, kOutside);
    const fs::file_time_type before = fs::last_write_time(file);
    map.save(file);
    fs::last_write_time(file, before + std::chrono::seconds(5));
}

// Opens "Map Copy" from the menu and, once it is up, copies block (0, 0) of `source` to
// (64, 64) of `destination`, waits for what that started and closes the window.
void copyBlock(PaintFixture& f, const fs::path& source, const fs::path& destination) {
    f.questions.onDialog = [source, destination](QDialog& window) {
        auto* copy = qobject_cast<tbapp::MapCopyDialog*>(&window);
        if (!copy)
            return int(QDialog::Rejected);
        copy->show();
        tbtest::ui<QLineEdit>(*copy, "EditSourceMap")->setText(qpath(source));
        tbtest::ui<QLineEdit>(*copy, "EditDestinationMap")->setText(qpath(destination));
        tbtest::ui<QLineEdit>(*copy, "EditSX2")->setText("7");
        tbtest::ui<QLineEdit>(*copy, "EditSY2")->setText("7");
        tbtest::ui<QLineEdit>(*copy, "EditDX")->setText("64");
        tbtest::ui<QLineEdit>(*copy, "EditDY")->setText("64");
        tbtest::ui<QPushButton>(*copy, "btnCopy")->click();
        tbtest::waitForJobs();
        copy->close();
        return copy->result();
    };
    tbtest::ui<QAction>(*f.form, "MapCopy1")->trigger();
    f.questions.onDialog = nullptr;
    tbtest::waitForJobs();
}

fs::path writeCopySource(const PaintFixture& f) {
    const fs::path source = f.dir / "source" / "map2.mul";
    fs::create_directories(source.parent_path());
    tb::MapImage map = makeTestMap();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            map.setCell(x, y, kCopied);
    map.save(source);
    return source;
}

void activate(tbapp::MapEditorWindow& form) {
    QEvent event(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &event);
    QTest::qWait(10); // the window asks once the activation has been handled
}

} // namespace

class DiskChangesTest : public QObject {
    Q_OBJECT

private slots:
    // As the issue tells it: copy into the loaded map, close, paint one cell, Save.
    void aCopyIntoTheLoadedMapSurvivesTheNextSave() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        const fs::path source = writeCopySource(f);
        tbtest::ui<QLineEdit>(form, "XJumpEdit")->setText("300");
        tbtest::ui<QLineEdit>(form, "YJumpEdit")->setText("400");
        tbtest::ui<QPushButton>(form, "CoordGoBtn")->click();

        copyBlock(f, source, f.mapPath);
        QCOMPARE(f.cell(64, 64), kCopied); // read again
        QCOMPARE(f.cell(71, 71), kCopied);
        QVERIFY(!form.isWindowModified());
        auto& grid = *tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid");
        QCOMPARE(grid.col(), 300); // the view stayed
        QCOMPARE(grid.row(), 400);

        change(f);
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(savedCell(f, 64, 64), kCopied);
        QCOMPARE(int(savedCell(f, kX, kY).altitude), 7);
        QVERIFY(f.questions.confirmations.isEmpty());
        QVERIFY(f.questions.changedOnDiskAsked.isEmpty());
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    void unsavedChangesAreSavedBeforeACopyIntoTheLoadedMapOrItDoesNotRun() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        const fs::path source = writeCopySource(f);
        const std::vector<unsigned char> before = readBytes(f.mapPath);
        change(f);

        // No: nothing is written, the change stays unsaved.
        copyBlock(f, source, f.mapPath);
        QCOMPARE(f.questions.confirmations,
                 QStringList{"map2.mul has unsaved changes. Save them before the map copy writes "
                             "it? No cancels the map copy."});
        QVERIFY(readBytes(f.mapPath) == before);
        QVERIFY(form.isWindowModified());
        QCOMPARE(f.cell(64, 64), makeTestMap().cell(64, 64));

        // Yes: saved, copied, read again; both are in the file and on screen.
        f.questions.confirmAnswers = {true};
        copyBlock(f, source, f.mapPath);
        QCOMPARE(f.questions.confirmations.size(), 2);
        QCOMPARE(int(savedCell(f, kX, kY).altitude), 7);
        QCOMPARE(savedCell(f, 64, 64), kCopied);
        QCOMPARE(f.cell(64, 64), kCopied);
        QCOMPARE(int(f.cell(kX, kY).altitude), 7);
        QVERIFY(!form.isWindowModified());
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    void saveAfterAnOutsideWriteAsksFirst() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        auto save = [&] {
            tbtest::ui<QPushButton>(form, "btnSave")->click();
            TB_WAIT_FOR_JOBS();
        };
        writeOutside(f.mapPath);
        change(f);

        // Cancel: nothing written, the change stays.
        f.questions.changedOnDiskAnswers = {tbapp::DiskChangeAnswer::Cancel};
        save();
        QCOMPARE(f.questions.changedOnDiskAsked, QStringList{"map2.mul"});
        QCOMPARE(savedCell(f, 3, 3), kOutside);
        QCOMPARE(int(savedCell(f, kX, kY).altitude), 0);
        QVERIFY(form.isWindowModified());

        // Reload: the other program's map replaces the change.
        f.questions.changedOnDiskAnswers = {tbapp::DiskChangeAnswer::Reload};
        save();
        QCOMPARE(f.questions.changedOnDiskAsked.size(), 2);
        QCOMPARE(f.cell(3, 3), kOutside);
        QCOMPARE(int(f.cell(kX, kY).altitude), 0);
        QVERIFY(!form.isWindowModified());

        // Overwrite: the editor's map goes over another outside write; a second Save of
        // the file it wrote asks nothing.
        writeOutside(f.mapPath);
        tb::MapDocument::Edit(f.map()).write(3, 3, {kLandTile, 1});
        change(f);
        f.questions.changedOnDiskAnswers = {tbapp::DiskChangeAnswer::Overwrite};
        save();
        QCOMPARE(f.questions.changedOnDiskAsked.size(), 3);
        QCOMPARE(savedCell(f, 3, 3), (tb::MapCell{kLandTile, 1}));
        QCOMPARE(int(savedCell(f, kX, kY).altitude), 7);
        change(f);
        save();
        QCOMPARE(f.questions.changedOnDiskAsked.size(), 3);

        // A statics pair made by another program after the Load counts, and so does a
        // statics file changed under the items read with the map.
        const tb::MapVariant& v = ilshenar();
        StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        pair.setBlock(0, {{kStatic, 3, 2, 10}});
        writeBytes(f.mapPath.parent_path() / "staidx2.mul", pair.index);
        writeBytes(f.mapPath.parent_path() / "statics2.mul", pair.data);
        change(f);
        f.questions.changedOnDiskAnswers = {tbapp::DiskChangeAnswer::Reload};
        save();
        QCOMPARE(f.questions.changedOnDiskAsked.back(), QString("staidx2.mul"));
        TB_WAIT_FOR_JOBS();
        QCOMPARE(form.document().statics()->recordCount(), std::int64_t(1));
        pair.setBlock(0, {{kStatic, 3, 2, 10}, {kStatic, 4, 2, 0}});
        writeBytes(f.mapPath.parent_path() / "statics2.mul", pair.data);
        change(f);
        save();
        QCOMPARE(f.questions.changedOnDiskAsked.back(), QString("statics2.mul"));
        QVERIFY(form.isWindowModified());
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }

    void comingBackAfterAnOutsideWriteOffersToReadItAgainOnce() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        const QString offer = "map2.mul has changed on disk since it was loaded. Reload it?";
        activate(form);
        QVERIFY(f.questions.confirmations.isEmpty());

        // No: not asked again until the file changes once more.
        writeOutside(f.mapPath);
        activate(form);
        QCOMPARE(f.questions.confirmations, QStringList{offer});
        activate(form);
        QCOMPARE(f.questions.confirmations.size(), 1);
        QCOMPARE(f.cell(3, 3), makeTestMap().cell(3, 3));

        // Yes: read again.
        writeOutside(f.mapPath);
        f.questions.confirmAnswers = {true};
        activate(form);
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.questions.confirmations, (QStringList{offer, offer}));
        QCOMPARE(f.cell(3, 3), kOutside);
        activate(form);
        QCOMPARE(f.questions.confirmations.size(), 2);

        // Unsaved changes: Save asks instead.
        change(f);
        writeOutside(f.mapPath);
        activate(form);
        QCOMPARE(f.questions.confirmations.size(), 2);
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
    }
};

QTEST_MAIN(DiskChangesTest)
#include "test_disk_changes.moc"
