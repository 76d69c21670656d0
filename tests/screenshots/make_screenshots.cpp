// make_screenshots: the pictures of the user guide, taken from the windows themselves.
//
//   make_screenshots OUTDIR
//
// Writes the demo world into a temporary folder, builds the editor's windows on it
// (headless unless QT_QPA_PLATFORM says otherwise), drives them into the states the guide
// shows and saves world.png, painting.png, palette.png, patch-editor.png, overview.png,
// brush-editor.png, diff.png, items.png, terrain-before.png, terrain-after.png and the
// new-world pictures into OUTDIR. Exits with 1 and the reason when a window cannot be built or
// driven, or a picture comes out blank; nothing is then written.

#include "Scenes.h"
#include "ScreenshotSession.h"
#include "WidgetDriver.h"

#include "app/editor/MapEditorWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>

namespace {

void takePictures(shots::ScreenshotSession& session, const QDir& out) {
    using namespace shots;
    // The demo map as written, to find places worth showing.
    const tb::MapImage map =
        tb::MapImage::load(QDir(session.demoDir()).filePath("map0.mul").toStdU16String());
    openDemoMap(session);
    takeWorldPicture(session, map, out);
    const std::vector<QPoint> painted = takePaintingPicture(session, map, out);
    takePalettePicture(session, out);
    takePatchEditorPicture(session, painted, out);
    takeOverviewPicture(session, out);
    takeBrushEditorPicture(session, out);
    takeDiffPicture(session, out);
    takeItemBrowserPicture(session, out);
    takeTerrainPictures(session, out);
    takeNewWorldPictures(session, out);
    session.mainWindow().close();
    settle();
    session.requireNoMessages("closing the editor");
}

// Moves the pictures from `from` into `to`, replacing the ones there.
void publish(const QDir& from, QDir to) {
    for (const QString& name : from.entryList({"*.png"}, QDir::Files)) {
        to.remove(name);
        if (!QFile::rename(from.filePath(name), to.filePath(name)))
            throw shots::ScreenshotError(
                QString("cannot move %1 into %2").arg(name, to.path()).toStdString());
        std::printf("  %s\n", qPrintable(to.filePath(name)));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tolvane Brimholt");

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: make_screenshots OUTDIR\n");
        return 2;
    }
    // Absolute: the session works in a folder of its own.
    const QDir out(QFileInfo(args[1]).absoluteFilePath());
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "make_screenshots: cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    try {
        // All pictures or none: they are taken into a folder of their own first.
        QTemporaryDir taken(out.filePath(".screenshots-XXXXXX"));
        if (!taken.isValid())
            throw shots::ScreenshotError("cannot make a folder in " + out.path().toStdString());
        {
            shots::ScreenshotSession session;
            takePictures(session, QDir(taken.path()));
        }
        std::printf("make_screenshots: pictures written:\n");
        publish(QDir(taken.path()), out);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_screenshots: %s\n", error.what());
        return 1;
    }
    return 0;
}
