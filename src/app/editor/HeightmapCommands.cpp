#include "app/editor/HeightmapCommands.h"

#include "render/PictureFiles.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/Heightmap.h"
#include "editor/AltitudeChanges.h"
#include "editor/MapDocument.h"
#include "shell/Progress.h"

#include <QFileInfo>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace tbapp {
namespace {

const QString kPngFilter = "PNG picture (*.png);;All files (*)";

QString percentText(const QString& what, int percent) {
    return QString("%1 ... %2%").arg(what).arg(percent);
}

// A part of a run in the item window: the percentages of a step of the run become items
// `from` to `to` of the window's 0..100, each shown as "<what> ... n%".
class PercentItems : public tb::Progress {
public:
    PercentItems(tb::Progress& window, QString what, int from, int to)
        : m_window(window), m_what(std::move(what)), m_from(from), m_to(to) {}

    void report(std::string_view, std::int64_t done, std::int64_t total) override {
        const int item = m_from + int(done * (m_to - m_from) / std::max<std::int64_t>(1, total));
        m_window.report(percentText(m_what, item).toStdString(), item, 100);
    }
    bool stopRequested() const override { return m_window.stopRequested(); }

private:
    tb::Progress& m_window;
    QString m_what;
    int m_from;
    int m_to;
};

} // namespace

HeightmapCommands::HeightmapCommands(tb::MapDocument& document, std::function<bool()> mapLoaded,
                                     Prompts& prompts, JobRunner& documentJobs,
                                     JobRunner& exportJobs, QWidget* window)
    : QObject(window), m_document(document), m_mapLoaded(std::move(mapLoaded)), m_prompts(prompts),
      m_documentJobs(documentJobs), m_exportJobs(exportJobs), m_window(window) {}

bool HeightmapCommands::refusedWithoutMap(const QString& what) {
    if (m_mapLoaded() && m_document.image().hasGeometry())
        return false;
    m_prompts.showMessage(m_window, "Load a map before you " + what + ".");
    return true;
}

void HeightmapCommands::exportHeightmap() {
    if (refusedWithoutMap("export its heightmap"))
        return;
    for (const JobRunner* jobs : {&m_documentJobs, &m_exportJobs})
        if (jobs->busy()) {
            m_prompts.showMessage(m_window, JobRunner::refusal(jobs->caption()));
            return;
        }
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
    Job job;
    job.caption = what;
    job.window = m_prompts.startProgress(kProgressItems);
    // A copy of the map: the editor goes on while the picture is made.
    job.work = [map = m_document.image(), what, target = uiPath(path)](tb::Progress& progress) {
        // Reading the cells is most of the work; encoding the picture is the rest.
        PercentItems reading(progress, what, 0, 90);
        const tb::Heightmap heightmap = tb::exportHeightmap(map, reading);
        const QImage image(heightmap.grey.data(), heightmap.width, heightmap.height,
                           qsizetype(heightmap.width), QImage::Format_Grayscale8);
        tbrender::writePngFile(image, target, progress, tb::kHeightmapStoppedMessage);
        progress.report(percentText(what, 100).toStdString(), 100, 100);
    };
    job.reportStopOrFailure(m_prompts, m_window);
    m_exportJobs.start(std::move(job));
}

// The picture's size is checked before its pixels are decoded; a refused picture leaves
// the map as it is. Only cells whose altitude differs are written and recorded.
void HeightmapCommands::importHeightmap() {
    if (refusedWithoutMap("import a heightmap"))
        return;
    if (m_documentJobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_documentJobs.caption()));
        return;
    }
    FileDialogRequest request;
    request.name = "HeightmapOpen";
    request.title = "Import heightmap";
    request.filter = kPngFilter;
    request.directory = m_folder;
    const QString path = m_prompts.openFileName(m_window, request);
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();

    auto picture = std::make_shared<QImage>();
    Job read;
    read.caption = "Importing heightmap";
    // The document's runner: no edit reaches the map while the job looks at it.
    read.work = [picture, file = uiPath(path), &map = m_document.image()](tb::Progress& progress) {
        *picture = tbrender::readPictureFile(
            file,
            [&](const QSize& size) { tb::checkHeightmapSize(map, size.width(), size.height()); },
            progress, tb::kHeightmapStoppedMessage);
        // A colour picture is read by its luminance.
        if (picture->format() != QImage::Format_Grayscale8)
            picture->convertTo(QImage::Format_Grayscale8);
    };
    read.succeeded = [this, picture] { importPicture(picture); };
    read.stopped = [this](const QString& message) { m_prompts.showMessage(m_window, message); };
    read.failed = [this, path](const std::exception& error) {
        if (const auto* refused = dynamic_cast<const tb::HeightmapSizeError*>(&error))
            m_prompts.showMessage(m_window, QString("%1 cannot be imported: %2.")
                                                .arg(QFileInfo(path).fileName(), refused->what()));
        else
            m_prompts.showFailure(m_window, error);
    };
    m_documentJobs.start(std::move(read));
}

void HeightmapCommands::importPicture(std::shared_ptr<const QImage> picture) {
    const QString what = "Importing heightmap";
    auto changes = std::make_shared<std::vector<tb::AltitudeChange>>();
    Job job;
    job.caption = what;
    job.window = m_prompts.startProgress(kProgressItems);
    job.work = [picture, changes, what, &map = m_document.image()](tb::Progress& progress) {
        const tb::HeightmapView heightmap{picture->width(), picture->height(),
                                          picture->bytesPerLine(), picture->constBits()};
        PercentItems comparing(progress, what, 0, 100);
        *changes = tb::heightmapChanges(map, heightmap, comparing);
    };
    job.succeeded = [this, changes] {
        if (changes->empty()) {
            m_prompts.showMessage(m_window,
                                  "The heightmap changes no altitude: the map stays as it is.");
            return;
        }
        // The one write of the import: one operation, undone as one step from the changed
        // blocks' previous bytes.
        tb::applyAltitudeChanges(m_document, *changes);
        emit imported();
    };
    job.reportStopOrFailure(m_prompts, m_window);
    m_documentJobs.start(std::move(job));
}

} // namespace tbapp
