// The tool windows the main window opens from its menu and tool bar: the overview, the
// coordinate list, "Patch Map from file", the patch editor, the diff window, map
// enlargement and map copy, and the about box. The modal windows open through the window's
// prompts, where a watcher shows them, acts on them and closes them.

#include "MainWindowFixture.h"

#include "app/core/OverviewWindow.h"
#include "app/diff/DiffPatchDialog.h"
#include "app/patch/CoordinateListDialog.h"
#include "app/patch/PatchEditorWindow.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/RadioGroup.h"
#include "app/shell/StageProgressDialog.h"
#include "app/tools/MapCopyDialog.h"
#include "app/tools/MapEnlargeDialog.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace tbtest;
namespace fs = std::filesystem;

namespace {

// Answers the dialogs the window runs modally through its prompts: records each one's
// name, shows it, lets `act` work on it and closes it.
class ModalWatcher {
public:
    explicit ModalWatcher(RecordingPrompts& prompts, std::function<void(QDialog&)> act = {})
        : m_prompts(prompts) {
        m_prompts.onDialog = [this, act = std::move(act)](QDialog& dialog) {
            m_seen << dialog.objectName();
            dialog.show();
            if (act)
                act(dialog);
            if (dialog.isVisible())
                dialog.reject();
            return dialog.result();
        };
    }
    ~ModalWatcher() { m_prompts.onDialog = nullptr; }
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;
    QStringList seen() const { return m_seen; }

private:
    RecordingPrompts& m_prompts;
    QStringList m_seen;
};

// Lets the window handle what its events started (repaints) for a while.
void settle() {
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(5);
    }
}

// Collects the areas of the map view that were repainted.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* viewport) : m_viewport(viewport) {
        viewport->installEventFilter(this);
    }
    QRegion painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_viewport && event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QWidget* m_viewport;
};

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void overviewNeedsALoadedMap() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        {
            ModalWatcher watcher(f.questions);
            tbtest::ui<QToolButton>(form, "TlMap")->click();
            QVERIFY(watcher.seen().isEmpty());
        }
        // Loaded: the overview comes up modal; a press on pixel (1, 2) jumps to (8, 16).
        f.load();
        ModalWatcher watcher(f.questions, [](QDialog& window) {
            auto* overview = qobject_cast<tbapp::OverviewWindow*>(&window);
            QVERIFY(overview);
            QTRY_VERIFY(overview->isBuilt());
            QTest::mousePress(tbtest::ui<QLabel>(*overview, "Mapa"), Qt::LeftButton, {},
                              QPoint(1, 2));
            QVERIFY(!overview->isVisible());
        });
        tbtest::ui<QToolButton>(form, "TlMap")->click();
        QCOMPARE(watcher.seen(), QStringList({"TMapViewForm"}));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("8"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("16"));
        QCOMPARE(f.grid().col(), 8);
        QCOMPARE(f.grid().row(), 16);
    }

    void mapCopyClosesWithAJumpToTheOriginAndARepaint() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        const fs::path destination = f.dir / "dest" / "map2.mul";
        fs::create_directories(destination.parent_path());
        fs::copy_file(f.mapPath, destination);
        const tb::MapCell sourceCorner = form.loadedMap()->cell(0, 0);
        const tb::MapCell editorBefore = form.loadedMap()->cell(8, 8);
        f.jump(300, 400);

        // A real copy of block (0, 0) to (8, 8) of another file while the window is up.
        ModalWatcher watcher(f.questions, [&](QDialog& window) {
            auto* copy = qobject_cast<tbapp::MapCopyDialog*>(&window);
            QVERIFY(copy);
            tbtest::ui<QLineEdit>(*copy, "EditSourceMap")->setText(qpath(f.mapPath));
            tbtest::ui<QLineEdit>(*copy, "EditDestinationMap")->setText(qpath(destination));
            tbtest::ui<QLineEdit>(*copy, "EditSX2")->setText("7");
            tbtest::ui<QLineEdit>(*copy, "EditSY2")->setText("7");
            tbtest::ui<QLineEdit>(*copy, "EditDX")->setText("8");
            tbtest::ui<QLineEdit>(*copy, "EditDY")->setText("8");
            tbtest::ui<QPushButton>(*copy, "btnCopy")->click();
            tbtest::waitForJobs();
        });
        tbtest::ui<QAction>(form, "MapCopy1")->trigger();
        QCOMPARE(watcher.seen(), QStringList({"TMapCopyForm"}));
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(" | ")));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("0"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("0"));
        QCOMPARE(f.grid().col(), 0);
        QCOMPARE(f.grid().row(), 0);
        QCOMPARE(f.grid().leftCol(), 0);
        QCOMPARE(f.grid().topRow(), 0);
        // The file changed; the map in memory was not reloaded.
        const std::vector<unsigned char> bytes = readBytes(destination);
        const tb::MapImage copied(std::vector<unsigned char>(bytes), ilshenar());
        QCOMPARE(copied.cell(8, 8), sourceCorner);
        QCOMPARE(form.loadedMap()->cell(8, 8), editorBefore);

        // Already at (0, 0) the jump moves nothing, yet the whole view is repainted. The
        // window's active and inactive colours are made equal first, so that the modal
        // window's coming and going repaints nothing by itself.
        QPalette same = form.palette();
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            same.setBrush(QPalette::Inactive, QPalette::ColorRole(role),
                          same.brush(QPalette::Active, QPalette::ColorRole(role)));
        form.setPalette(same);
        settle();
        PaintRecorder recorder(f.grid().viewport());
        ModalWatcher again(f.questions);
        tbtest::ui<QAction>(form, "MapCopy1")->trigger();
        QCOMPARE(again.seen(), QStringList({"TMapCopyForm"}));
        QTRY_VERIFY((QRegion(f.grid().viewport()->rect()) - recorder.painted).isEmpty());
    }

    void enlargeOpensModal() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        ModalWatcher watcher(f.questions);
        tbtest::ui<QAction>(form, "EnlargemaptoML1")->trigger();
        QCOMPARE(watcher.seen(), QStringList({"TMapExtendForm"}));
        QVERIFY(form.isEnabled());
    }

    void listFillsTheJumpBoxesWithoutJumping() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.openLoaded();
        RecordingPrompts& prompts = f.questions;
        tbtest::ui<QLineEdit>(form, "XJumpEdit")->setText("1500");
        tbtest::ui<QLineEdit>(form, "YJumpEdit")->setText("1250");
        ModalWatcher watcher(prompts, [](QDialog& window) {
            auto* list = qobject_cast<tbapp::CoordinateListDialog*>(&window);
            QVERIFY(list);
            QCOMPARE(tbtest::ui<QLineEdit>(*list, "PridatX")->text(), QString("1500"));
            QCOMPARE(tbtest::ui<QLineEdit>(*list, "PridatY")->text(), QString("1250"));
            tbtest::ui<QLineEdit>(*list, "PridatX")->setText("77");
            tbtest::ui<QPushButton>(*list, "TLAdd")->click();
            tbtest::ui<QTableWidget>(*list, "Seznam")->selectRow(0);
            tbtest::ui<QPushButton>(*list, "TlOK")->click();
        });
        tbtest::ui<QPushButton>(form, "List")->click();
        QCOMPARE(watcher.seen(), QStringList({"TListForm"}));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "XJumpEdit")->text(), QString("77"));
        QCOMPARE(tbtest::ui<QLineEdit>(form, "YJumpEdit")->text(), QString("1250"));
        QCOMPARE(f.grid().col(), 0); // no jump
        QVERIFY(fs::exists(f.appDir / "coords.def"));
        QVERIFY(prompts.messages.isEmpty());
    }

    void patchMapFromFileAppliesToTheLoadedMap() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        RecordingPrompts& prompts = f.questions;
        const fs::path patch = f.dir / "cells.qvp";
        writeText(patch, "[0]\r\nX=5\r\nY=6\r\nZ=-7\r\nID=01 D3\r\n"
                         "[1]\r\nX=2400\r\nY=6\r\nZ=1\r\n");
        prompts.openAnswers << qpath(patch);
        // No map: no dialog.
        tbtest::ui<QAction>(form, "PatchMapfromfile1")->trigger();
        tbtest::waitForJobs();
        QVERIFY(prompts.openTitles().isEmpty());

        f.load();
        f.movePointer(f.grid().cellRect(0, 0).center());
        tbtest::ui<QAction>(form, "PatchMapfromfile1")->trigger();
        tbtest::waitForJobs();
        QCOMPARE(prompts.openTitles(), QStringList({"Patch Map from file"}));
        QCOMPARE(form.loadedMap()->cell(5, 6), (tb::MapCell{467, -7}));
        // The entry outside the 2304-wide map was skipped and said so.
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.errors.isEmpty());
        // The map on disk is untouched until Save.
        QCOMPARE(readBytes(f.mapPath), makeTestMap().bytes());
    }

    // While the patch runs (its progress window repainting between entries) the main
    // window takes no input: a click on the map and Load do nothing. Afterwards it does.
    void patchMapFromFileBlocksTheWindowWhileItRuns() {
        MainWindowFixture f;
        RecordingPrompts& prompts = f.questions;
        tbapp::MapEditorWindow& form = f.openLoaded();
        tbtest::ui<QComboBox>(form, "SelectDrawingModeComboBox")
            ->setCurrentIndex(2); // Altitude only: a click paints
        tbtest::ui<QLineEdit>(form, "ZValueEdit")->setText("9");
        tbtest::ui<tbapp::RadioGroup>(form, "AltitudeRadioGroup")->setItemIndex(2);
        const fs::path patch = f.dir / "cells.qvp";
        writeText(patch, "[0]\r\nX=5\r\nY=6\r\nZ=-7\r\n[1]\r\nX=7\r\nY=6\r\nZ=-8\r\n");
        prompts.openAnswers << qpath(patch);
        tbtest::ui<QAction>(form, "PatchMapfromfile1")->trigger();
        // The run is a job beside the window; until it has ended no edit and no Load gets in.
        QVERIFY(form.editingLocked());
        QVERIFY(!tbtest::ui<QPushButton>(form, "btnLoad")->isEnabled());
        QTest::mouseClick(f.grid().viewport(), Qt::LeftButton, {},
                          f.grid().cellRect(1, 1).center());
        QTest::mouseClick(tbtest::ui<QPushButton>(form, "btnLoad"), Qt::LeftButton);
        TB_WAIT_FOR_JOBS();
        QVERIFY(!form.editingLocked());
        // The clicks painted nothing: the patch is the only undo step.
        QVERIFY(form.document().undoList().rows().empty());
        QCOMPARE(form.document().undoList().bulkSteps(), std::size_t(1));
        // Load did not run: the patched cells are still there.
        QCOMPARE(int(form.loadedMap()->cell(5, 6).altitude), -7);
        QCOMPARE(int(form.loadedMap()->cell(7, 6).altitude), -8);
        QVERIFY(form.isWindowModified());
        f.clickCell(1, 1);
        QCOMPARE(form.document().undoList().rows().size(), std::size_t(1));
    }

    void patchEditorAndDiffWindow() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        RecordingPrompts prompts;
        tbapp::PatchEditorWindow editor(form.applicationDir(), form, prompts, &form);
        tbapp::StageProgressDialog prForm(&form);
        tbapp::DiffPatchDialog diff(*f.settings, prForm, prompts, &form);
        form.setLongLivedWindows(&editor, &diff);

        tbtest::ui<QAction>(form, "PatchEditor1")->trigger();
        QVERIFY(editor.isVisible());
        QVERIFY(!editor.isModal());

        ModalWatcher watcher(f.questions);
        tbtest::ui<QAction>(form, "CreateDiffpatch1")->trigger();
        QCOMPARE(watcher.seen(), QStringList({"TBHDiffForm"}));
        QVERIFY(!diff.isVisible());
    }

    // Each About opens a box of its own beside the window, which stays usable.
    void aboutBoxesOpenModeless() {
        MainWindowFixture f;
        tbapp::MapEditorWindow& form = f.open();
        ModalWatcher watcher(f.questions);
        tbtest::ui<QAction>(form, "About1")->trigger();
        tbtest::ui<QAction>(form, "About1")->trigger();
        const QList<tbapp::AboutDialog*> boxes = form.findChildren<tbapp::AboutDialog*>();
        QCOMPARE(boxes.size(), 2);
        for (tbapp::AboutDialog* about : boxes) {
            QCOMPARE(about->objectName(), QString("TInfoForm"));
            QVERIFY(about->isVisible());
            QVERIFY(!about->isModal());
        }
        QVERIFY(watcher.seen().isEmpty());
    }
};

QTEST_MAIN(MenusTest)
#include "test_menus.moc"
