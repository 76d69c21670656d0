#include "app/editor/HeightmapActions.h"

#include "render/PictureFiles.h"

#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/Heightmap.h"
#include "editor/MapDocument.h"

#include <QFileInfo>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace tbapp {
namespace {

const QString kPngFilter = "PNG picture (*.png);;All files (*)";

QString percentText(const QString& what, int percent) {
    return QString("%1 ... %2%").arg(what).arg(percent);
}

} // namespace

HeightmapActions::HeightmapActions(tb::MapDocument& document, std::function<bool()> mapLoaded,
                                   Prompts& prompts, QWidget* window)
    : QObject(window), m_document(document), m_mapLoaded(std::move(mapLoaded)), m_prompts(prompts),
      m_window(window) {}

bool HeightmapActions::refusedWithoutMap(const QString& what) {
    if (m_mapLoaded() && m_document.image().hasGeometry())
        return false;
    m_prompts.showMessage(m_window, "Load a map before you " + what + ".");
    return true;
}

void HeightmapActions::exportHeightmap() {
    if (refusedWithoutMap("export its heightmap"))
        return;
    const QFileInfo mapFile(QString::fromStdU16String(m_document.fileName().u16string()));
    FileDialogRequest request;
    request.name = "HeightmapSave";
    request.title = "Export heightmap";
    request.filter = kPngFilter;
    request.directory = m_folder;
    request.defaultName = mapFile.completeBaseName() + "-heightmap.png";
    request.defaultSuffix = "png";
    request.confirmOverwrite = true;
    const QString path = m_prompts.saveFileName(m_window, request);
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();

    const QString what = "Exporting heightmap";
    const std::unique_ptr<ItemProgress> progress = m_prompts.startProgress(kProgressItems);
    runReported(m_prompts, m_window, [&] {
        // Reading the cells is most of the work; encoding the picture is the rest.
        const tb::Heightmap heightmap = tb::exportHeightmap(m_document.image(), [&](int percent) {
            progress->showItem(percent * 9 / 10, percentText(what, percent * 9 / 10));
        });
        const QImage image(heightmap.grey.data(), heightmap.width, heightmap.height,
                           qsizetype(heightmap.width), QImage::Format_Grayscale8);
        tbrender::writePngFile(image, uiPath(path));
        progress->showItem(100, percentText(what, 100));
    });
}

// The picture's size is checked before its pixels are decoded; a refused picture leaves
// the map as it is. Only cells whose altitude differs are written and recorded.
void HeightmapActions::importHeightmap() {
    if (refusedWithoutMap("import a heightmap"))
        return;
    FileDialogRequest request;
    request.name = "HeightmapOpen";
    request.title = "Import heightmap";
    request.filter = kPngFilter;
    request.directory = m_folder;
    const QString path = m_prompts.openFileName(m_window, request);
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();

    QImage image;
    try {
        image = tbrender::readPictureFile(uiPath(path), [&](const QSize& size) {
            tb::checkHeightmapSize(m_document.image(), size.width(), size.height());
        });
    } catch (const tb::HeightmapSizeError& refused) {
        m_prompts.showMessage(
            m_window,
            QString("%1 cannot be imported: %2.").arg(QFileInfo(path).fileName(), refused.what()));
        return;
    } catch (const std::exception& error) {
        m_prompts.showFailure(m_window, error);
        return;
    }
    // A colour picture is read by its luminance.
    if (image.format() != QImage::Format_Grayscale8)
        image.convertTo(QImage::Format_Grayscale8);
    const tb::HeightmapView heightmap{image.width(), image.height(), image.bytesPerLine(),
                                      image.constBits()};

    const QString what = "Importing heightmap";
    const std::unique_ptr<ItemProgress> progress = m_prompts.startProgress(kProgressItems);
    const std::vector<tb::AltitudeChange> changes =
        tb::heightmapChanges(m_document.image(), heightmap, [&](int percent) {
            progress->showItem(percent / 2, percentText(what, percent / 2));
        });
    if (changes.empty()) {
        m_prompts.showMessage(m_window,
                              "The heightmap changes no altitude: the map stays as it is.");
        return;
    }
    tb::MapDocument::Edit edit(m_document);
    const std::size_t step = std::max<std::size_t>(1, changes.size() / 50);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const tb::AltitudeChange& change = changes[i];
        const tb::MapCell before = edit.cell(change.x, change.y);
        edit.recordUndo(change.x, change.y);
        edit.write(change.x, change.y, tb::MapCell{before.tileId, change.after});
        if ((i + 1) % step == 0 && i + 1 < changes.size()) {
            const int percent = 50 + int((i + 1) * 50 / changes.size());
            progress->showItem(percent, percentText(what, percent));
        }
    }
    progress->showItem(100, percentText(what, 100));
}

} // namespace tbapp
