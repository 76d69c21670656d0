// The pictures of the windows the main window opens: the overview, the patch editor, the
// brush editor and the diff patch window.

#include "Scenes.h"

#include "ModalDialog.h"
#include "PictureFile.h"
#include "ScreenshotSession.h"
#include "WidgetDriver.h"

#include "app/core/OverviewWindow.h"
#include "app/editor/MapEditorWindow.h"
#include "app/shell/DrawGrid.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

namespace shots {

void takePatchEditorPicture(ScreenshotSession& session, const std::vector<QPoint>& cells,
                            const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    triggerAction(window, "PatchEditor1");
    settle();
    QWidget& editor = topLevelWindow("TPatchEditForm");
    // Insert on the map adds the cell under the pointer.
    tbapp::DrawGrid& grid = control<tbapp::DrawGrid>(window, "MainDrawGrid");
    const int rows = std::min<int>(5, int(cells.size()));
    for (int i = 0; i < rows; ++i) {
        pointAtCell(grid, cells[std::size_t(i)]);
        pressKey(grid, Qt::Key_Insert);
    }
    settle();
    session.requireNoMessages("adding cells to the patch editor");
    const int listed = control<QTableWidget>(editor, "Seznam").rowCount();
    if (listed != rows)
        throw ScreenshotError(QString("the patch editor lists %1 cells after %2 Insert keys")
                                  .arg(listed)
                                  .arg(rows)
                                  .toStdString());
    savePicture(pictureOf(editor), out, "patch-editor.png");
    clickButton(editor, "TlClose");
    settle();
}

void takeOverviewPicture(ScreenshotSession& session, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    withModalDialog(
        session.prompts(), "TMapViewForm", [&] { clickButton(window, "TlMap"); },
        [&](QDialog& dialog) {
            auto* overview = qobject_cast<tbapp::OverviewWindow*>(&dialog);
            if (!overview)
                throw ScreenshotError("TMapViewForm is no overview window");
            waitUntil([&] { return overview->isBuilt(); }, "the overview to be built");
            settle();
            requireContent(pictureOf(control<QLabel>(dialog, "Mapa")), 16,
                           "the overview's picture");
            savePicture(pictureOf(dialog), out, "overview.png");
        });
    session.requireNoMessages("the overview");
}

void takeBrushEditorPicture(ScreenshotSession& session, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    withModalDialog(
        session.prompts(), "TBHCustomBrush", [&] { clickButton(window, "SpeedButton6"); },
        [&](QDialog& dialog) {
            // Choosing a brush in the list loads it into the grid.
            auto& brushes = control<QComboBox>(dialog, "cbCustomBrushes");
            if (brushes.findText("Pond") < 0)
                throw ScreenshotError("the brush editor does not list the brush Pond");
            brushes.setCurrentText("Pond");
            settle();
            // A pen from the tile column, as before drawing.
            tbapp::DrawGrid& tiles = control<tbapp::DrawGrid>(dialog, "smallDrawGrid");
            dragThroughCells(tiles, {QPoint(0, 2)});
            requireContent(pictureOf(control<tbapp::DrawGrid>(dialog, "BrushGrid")), 16,
                           "the brush grid");
            savePicture(pictureOf(dialog), out, "brush-editor.png");
        });
    session.requireNoMessages("the brush editor");
}

void takeDiffPicture(ScreenshotSession& session, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    clickButton(window, "btnSave");
    waitForJobs();
    session.requireNoMessages("saving the painted map");
    if (window.isWindowModified())
        throw ScreenshotError("Save left the painted map unsaved");

    const QDir original(session.originalDir());
    const QDir modified(session.demoDir());
    withModalDialog(
        session.prompts(), "TBHDiffForm", [&] { triggerAction(window, "CreateDiffpatch1"); },
        [&](QDialog& dialog) {
            typeText(dialog, "OStaIdxEdit", original.filePath("staidx0.mul"));
            typeText(dialog, "OStaticsEdit", original.filePath("statics0.mul"));
            typeText(dialog, "OMapEdit", original.filePath("map0.mul"));
            typeText(dialog, "MStaIdxEdit", modified.filePath("staidx0.mul"));
            typeText(dialog, "MStaticsEdit", modified.filePath("statics0.mul"));
            typeText(dialog, "MMapEdit", modified.filePath("map0.mul"));
            settle();
            if (!control<QWidget>(dialog, "GenerateButton").isEnabled())
                throw ScreenshotError("the diff patch window refused the two demo sets");
            savePicture(pictureOf(dialog), out, "diff.png");
        });
    session.requireNoMessages("the diff patch window");
}

} // namespace shots
