// The pictures of "A new world from pictures": the demo's terrain and altitude pictures, the
// window that turns them into a map, and the new world open in the main window.

#include "Scenes.h"

#include "PictureFile.h"
#include "ScreenshotSession.h"
#include "WidgetDriver.h"

#include "app/editor/MapEditorWindow.h"
#include "app/shell/DrawGrid.h"

#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QSpinBox>

namespace shots {
namespace {

// The pictures in the guide are a quarter of the pictures' size.
constexpr int kSmallPicture = 362;
constexpr int kSeed = 7;
// Cells of 20 pixels: the tiles and the trees on them can be told apart.
constexpr int kZoom = 20;

// The first land pixel of the terrain picture's middle row, from the west: a beach.
QPoint westCoast(const QImage& terrain) {
    const int y = terrain.height() / 2;
    const QRgb sea = terrain.pixel(0, y);
    for (int x = 0; x < terrain.width(); ++x)
        if (terrain.pixel(x, y) != sea)
            return {x, y};
    throw ScreenshotError("the demo's terrain picture has no land on its middle row");
}

int zoomOf(tbapp::MapEditorWindow& window) {
    const QString title = control<QGroupBox>(window, "ZoomGroup").title();
    const int open = int(title.indexOf('(')), close = int(title.indexOf(')'));
    return open < 0 || close < open ? -1 : title.mid(open + 1, close - open - 1).toInt();
}

} // namespace

void takeNewWorldPictures(ScreenshotSession& session, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    const QDir pictures(QDir(session.demoDir()).filePath("pictures"));
    const QImage terrain(pictures.filePath("terrain.png"));
    const QImage altitude(pictures.filePath("altitude.png"));
    requireContent(terrain, 3, "the demo's terrain picture");
    requireContent(altitude, 16, "the demo's altitude picture");
    savePicture(terrain.scaled(kSmallPicture, kSmallPicture), out, "new-world-terrain.png");
    savePicture(altitude.scaled(kSmallPicture, kSmallPicture, Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation),
                out, "new-world-altitude.png");

    // File > "New world from pictures...", filled in and run; the editor opens the new map.
    QDir().mkpath("island");
    const QString destination = QDir("island").filePath("map4.mul");
    QString seen;
    session.prompts().onDialog = [&](QDialog& dialog) {
        seen = dialog.objectName();
        dialog.show();
        settle();
        typeText(dialog, "TerrainPictureEdit", pictures.filePath("terrain.png"));
        typeText(dialog, "AltitudePictureEdit", pictures.filePath("altitude.png"));
        chooseItem(dialog, "TerrainFileBox", "demo");
        typeText(dialog, "NewMapEdit", destination);
        control<QSpinBox>(dialog, "SeedSpin").setValue(kSeed);
        settle();
        savePicture(pictureOf(dialog), out, "new-world-dialog.png");
        clickButton(dialog, "GenerateButton");
        waitForJobs();
        dialog.hide();
        return dialog.result();
    };
    try {
        triggerAction(window, "NewWorldFromPictures1");
    } catch (...) {
        session.prompts().onDialog = nullptr;
        throw;
    }
    session.prompts().onDialog = nullptr;
    if (seen != "NewWorldDialog")
        throw ScreenshotError("File > New world from pictures... opened no NewWorldDialog");
    waitForJobs();
    session.requireNoMessages("generating the new world");
    if (!window.mapLoaded() || window.document().image().width() != terrain.width())
        throw ScreenshotError("the new world was not opened in the editor");

    // A beach of the west coast with the trees behind it.
    triggerAction(window, "ShowStatics1");
    waitForJobs();
    for (int clicks = 0; zoomOf(window) != kZoom; ++clicks) {
        if (clicks > 40)
            throw ScreenshotError("the zoom buttons do not reach level 20");
        clickButton(window, zoomOf(window) < kZoom ? "SpeedButton3" : "SpeedButton2");
    }
    auto& grid = control<tbapp::DrawGrid>(window, "MainDrawGrid");
    const QPoint coast = westCoast(terrain);
    typeText(window, "XJumpEdit", QString::number(coast.x()));
    typeText(window, "YJumpEdit", QString::number(coast.y()));
    clickButton(window, "CoordGoBtn");
    grid.setLeftCol(std::max(0, coast.x() - grid.visibleColCount() / 3));
    settle();
    // The pointer on the beach, so the status bar describes a cell of the new world.
    pointAtCell(grid, coast + QPoint(2, 0));
    settle();
    session.requireNoMessages("showing the new world");
    requireContent(pictureOf(*grid.viewport()), 64, "the new world in the map view");
    savePicture(pictureOf(window), out, "new-world.png");
    triggerAction(window, "ShowStatics1");
    settle();
}

} // namespace shots
