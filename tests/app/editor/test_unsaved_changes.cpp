// Unsaved changes in the editor window: the caption marks them, and closing, Load and a new
// map path ask "Save changes to map2.mul?" first. Cancel keeps everything as it was, Discard
// goes on without saving, Save saves first and goes on only when that worked.

#include "PaintFixture.h"

#include "app/shell/PathBox.h"
#include "app/shell/RadioGroup.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

using namespace tbtest;
namespace fs = std::filesystem;

namespace {

constexpr int kX = 10, kY = 10; // tile 0, altitude 0 in the test map

// Raises cell (10, 10) by 7 with a Paint click: one unsaved change.
void change(PaintFixture& f) {
    tbtest::ui<tbapp::RadioGroup>(*f.form, "AltitudeRadioGroup")->setItemIndex(0);
    tbtest::ui<QLineEdit>(*f.form, "ZValueEdit")->setText("7");
    tbtest::ui<QComboBox>(*f.form, "SelectDrawingModeComboBox")->setCurrentIndex(2);
    f.click(kX, kY);
}

int savedAltitude(const PaintFixture& f) {
    return tb::MapImage::load(f.mapPath).cell(kX, kY).altitude;
}

// The map's folder is taken away, so a save into it fails, until the object goes.
struct UnwritableMapFolder {
    fs::path folder, away;
    explicit UnwritableMapFolder(const fs::path& map)
        : folder(map.parent_path()), away(folder.string() + "-away") {
        fs::rename(folder, away);
    }
    ~UnwritableMapFolder() { fs::rename(away, folder); }
};

} // namespace

class UnsavedChangesTest : public QObject {
    Q_OBJECT

private slots:
    void theCaptionMarksUnsavedChanges() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        QVERIFY(!form.isWindowModified());
        QCOMPARE(form.windowHandle()->title(), QString("Tolvane Brimholt 1.4.1 (x64)"));
        change(f);
        QVERIFY(form.isWindowModified());
        QCOMPARE(form.windowHandle()->title(), QString("Tolvane Brimholt 1.4.1 (x64)*"));
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        TB_WAIT_FOR_JOBS();
        QVERIFY(!form.isWindowModified());
        QCOMPARE(savedAltitude(f), 7);
        // Undo is a change again; so is a stamp.
        tbtest::ui<QAction>(form, "TlUndo")->trigger();
        QVERIFY(form.isWindowModified());
        tbtest::ui<QPushButton>(form, "btnSave")->click();
        TB_WAIT_FOR_JOBS();
        tbtest::ui<QToolButton>(form, QString("btnHoehle%1").arg((5) + 1))->setChecked(true);
        f.click(50, 50);
        QVERIFY(form.isWindowModified());
        QVERIFY(f.messages.isEmpty());
    }

    void closingUnchangedAsksNothing() {
        PaintFixture f;
        f.open();
        QVERIFY(f.form->close());
        QVERIFY(f.questions.saveChangesAsked.isEmpty());
    }

    void closingWithChangesCancelsOrSavesFirst() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        QSignalSpy closed(&form, &tbapp::MapEditorWindow::formClosed);
        change(f);
        // Cancel: the window stays as it was.
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Cancel;
        QVERIFY(!form.close());
        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"});
        QVERIFY(form.isVisible());
        QCOMPARE(closed.size(), 0);
        QVERIFY(form.isWindowModified());
        QCOMPARE(int(f.cell(kX, kY).altitude), 7);
        // Save that fails: the error, and the window stays open with its change.
        {
            UnwritableMapFolder gone(f.mapPath);
            f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Save;
            QVERIFY(!form.close());
            TB_WAIT_FOR_JOBS(); // the Save runs beside the window
        }
        QCOMPARE(f.questions.saveChangesAsked.size(), 2);
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains("map2.mul"), qPrintable(f.messages[0]));
        QVERIFY(form.isVisible());
        QCOMPARE(closed.size(), 0);
        QVERIFY(form.isWindowModified());
        QCOMPARE(savedAltitude(f), 0);
        // Save: the file holds the change, then the window closes (once the Save that
        // runs beside it has succeeded).
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Save;
        form.close();
        TB_WAIT_FOR_JOBS();
        QVERIFY(!form.isVisible());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(savedAltitude(f), 7);
    }

    // Discard: the window closes and the file stays as it was.
    void closingWithChangesDiscarded() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        QSignalSpy closed(&form, &tbapp::MapEditorWindow::formClosed);
        change(f);
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Discard;
        QVERIFY(form.close());
        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"});
        QCOMPARE(closed.size(), 1);
        QCOMPARE(savedAltitude(f), 0);
    }

    void loadingAnotherMap() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        const fs::path other = f.dir / "other" / "map2.mul";
        fs::create_directories(other.parent_path());
        tb::MapImage otherMap = makeTestMap();
        otherMap.setCell(kX, kY, {kLandTile, -20});
        otherMap.save(other);
        change(f);
        tbtest::ui<QLineEdit>(form, "MapEdit")
            ->setText(qpath(other)); // asked here first: Discard reads the map again
        TB_WAIT_FOR_JOBS();
        f.questions.saveChangesAsked.clear();
        QVERIFY(!form.isWindowModified());
        change(f);
        QCOMPARE(int(f.cell(kX, kY).altitude), 7);

        // Cancel: nothing is loaded, nothing stored, the rows stay.
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Cancel;
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"});
        QCOMPARE(int(f.cell(kX, kY).altitude), 7);
        QCOMPARE(form.document().undoList().size(), std::size_t(1));
        QCOMPARE(f.settings->value("MAPx.mul").toString(), qpath(f.mapPath));
        // A Save that fails loads nothing either.
        {
            UnwritableMapFolder gone(f.mapPath);
            f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Save;
            tbtest::ui<QPushButton>(form, "btnLoad")->click();
            TB_WAIT_FOR_JOBS();
        }
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(int(f.cell(kX, kY).altitude), 7);
        QVERIFY(form.isWindowModified());
        // Save: the old file gets the change, then the other map is loaded, without rows.
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Save;
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.questions.saveChangesAsked.size(), 3);
        QCOMPARE(savedAltitude(f), 7);
        QCOMPARE(f.cell(kX, kY), (tb::MapCell{kLandTile, -20}));
        QVERIFY(form.document().undoList().empty());
        QVERIFY(!form.isWindowModified());
        QCOMPARE(f.settings->value("MAPx.mul").toString(), qpath(other));
        QCOMPARE(form.document().fileName(), other);

        // Discard: the map is read again as the file has it, without rows.
        change(f);
        QCOMPARE(form.document().undoList().size(), std::size_t(1));
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Discard;
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.questions.saveChangesAsked,
                 (QStringList{"map2.mul", "map2.mul", "map2.mul", "map2.mul"}));
        QCOMPARE(f.cell(kX, kY), (tb::MapCell{kLandTile, -20}));
        QVERIFY(form.document().undoList().empty());
        QCOMPARE(tb::MapImage::load(other).cell(kX, kY), (tb::MapCell{kLandTile, -20}));
        QCOMPARE(f.messages.size(), 1);
    }

    void changingTheMapPath() {
        PaintFixture f;
        tbapp::MapEditorWindow& form = f.open();
        const fs::path other = f.dir / "other" / "map2.mul";
        fs::create_directories(other.parent_path());
        makeTestMap().save(other);
        const QString path = tbtest::ui<QLineEdit>(form, "MapEdit")->text();
        change(f); // also selects (10, 10); a path change would jump to (0, 0)

        // Cancel: the box shows the path it had, still green, and the view did not move.
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Cancel;
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(other));
        QCOMPARE(f.questions.saveChangesAsked, QStringList{"map2.mul"});
        QCOMPARE(tbtest::ui<QLineEdit>(form, "MapEdit")->text(), path);
        QVERIFY(tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), kX);
        QVERIFY(form.isWindowModified());
        // A Save that fails: the same.
        {
            UnwritableMapFolder gone(f.mapPath);
            f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Save;
            tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(other));
            TB_WAIT_FOR_JOBS();
        }
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "MapEdit")->text(), path);
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), kX);
        // Save: the change goes into the file the question named, then the path changes.
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Save;
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(other));
        TB_WAIT_FOR_JOBS();
        QCOMPARE(savedAltitude(f), 7);
        QCOMPARE(tbtest::ui<QLineEdit>(form, "MapEdit")->text(), qpath(other));
        QCOMPARE(tbtest::ui<tbapp::DrawGrid>(form, "MainDrawGrid")->col(), 0);
        QCOMPARE(tb::MapImage::load(other).cell(kX, kY).altitude, std::int8_t(0));

        // Discard: the path changes, no file is written, the map on screen is read again as
        // its file has it (so a later Save cannot write the discarded change), and nothing
        // asks about it again.
        change(f);
        f.questions.saveChangesAnswers << tbapp::SaveChangesAnswer::Discard;
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(f.dir / "elsewhere" / "map2.mul"));
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.questions.saveChangesAsked.size(), 4);
        QCOMPARE(int(f.cell(kX, kY).altitude), 7);
        QVERIFY(!form.isWindowModified());
        QVERIFY(!tbapp::isPathBoxValid(tbtest::ui<QLineEdit>(form, "MapEdit")));
        QCOMPARE(savedAltitude(f), 7);
        QCOMPARE(tb::MapImage::load(other).cell(kX, kY).altitude, std::int8_t(0));
        tbtest::ui<QLineEdit>(form, "MapEdit")->setText(qpath(other));
        tbtest::ui<QPushButton>(form, "btnLoad")->click();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(f.questions.saveChangesAsked.size(), 4);
        QCOMPARE(int(f.cell(kX, kY).altitude), 0);
        QCOMPARE(f.messages.size(), 1);
    }
};

QTEST_MAIN(UnsavedChangesTest)
#include "test_unsaved_changes.moc"
