#include "app/editor/MapFileActions.h"

#include "app/editor/FilePanel.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/Settings.h"

#include "core/MapFile.h"
#include "shell/Progress.h"

#include <QFileInfo>

#include <filesystem>
#include <memory>
#include <utility>

namespace tbapp {
namespace {

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

QString fromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

QString fileNameOf(const std::filesystem::path& path) {
    return QFileInfo(fromPath(path)).fileName();
}

// What a Load reads before it replaces anything: the map, and the art as far as it could
// be read (the art's failure, if any, is reported after the map is in place).
struct LoadedFiles {
    tb::FileStamp stamp;
    tb::MapImage image;
    tb::ArtFiles art;
    std::exception_ptr artFailure;
};

} // namespace

MapFileActions::MapFileActions(tb::MapDocument& document, tb::ArtFiles& art, FilePanel& files,
                               QSettings& settings, Prompts& prompts, JobRunner& jobs,
                               QWidget* window)
    : QObject(window), m_document(document), m_art(art), m_files(files), m_settings(settings),
      m_window(window), m_prompts(prompts), m_jobs(jobs) {
    // Load and Save are off while any job changes the document.
    connect(&m_jobs, &JobRunner::busyChanged, this,
            [this](bool busy) { m_files.setJobRunning(busy); });
}

// Nothing happens unless a box is green. A map file of a size the variant table does not
// know is refused and the loaded map stays; loading replaces the map, so unsaved changes
// are settled first (a Save that this starts loads afterwards), and Cancel leaves
// everything as it was.
void MapFileActions::load() {
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    if (!m_files.loadEnabled())
        return;
    const bool mapValid = m_files.mapPathValid();
    const bool gameValid = m_files.gamePathValid();
    if (!mapValid && !gameValid)
        return;
    const QString mapPath = m_files.mapPath();
    const bool knownMap = mapValid && gameValid && tb::identifyMapFile(toPath(mapPath)).has_value();
    if (knownMap && !settleUnsavedChanges([this] { load(); }))
        return;

    writeSettingText(m_settings, "MAPx.mul", mapPath);
    writeSettingText(m_settings, "UOPath", m_files.gamePath());
    if (knownMap) {
        // The store's file is written while the map is read. A store that cannot be written
        // is reported when the Load has ended; the map is loaded all the same.
        auto storeFailure = std::make_shared<QString>();
        startLoad(mapPath, m_files.gamePath(), storeFailure);
        try {
            syncSettingsStore(m_settings);
        } catch (const std::exception& error) {
            *storeFailure = QString::fromLocal8Bit(error.what());
        }
        return;
    }
    runReported(m_prompts, m_window, [&] { syncSettingsStore(m_settings); });
    if (mapValid && gameValid) {
        m_prompts.showError(
            m_window,
            QString("%1 is not a known map file: %2. The map was not loaded.")
                .arg(mapPath, QString::fromStdString(tb::unknownMapReason(toPath(mapPath)))));
    }
    emit loaded();
}

// Read into a fresh image and art first, so a file that cannot be read leaves the loaded
// map as it was; art that fails after the map was read is reported with the new map in
// place, as far as it was read.
void MapFileActions::startLoad(const QString& mapPath, const QString& gamePath,
                               std::shared_ptr<const QString> storeFailure,
                               std::function<void()> then) {
    auto files = std::make_shared<LoadedFiles>();
    Job job;
    job.caption = "Loading " + fileNameOf(toPath(mapPath));
    job.work = [files, map = toPath(mapPath), gameDir = toPath(gamePath)](tb::Progress& progress) {
        // Stamped before reading: a write while it is read counts as a change since.
        files->stamp = tb::FileStamp::take(map);
        files->image = tb::MapImage::load(map, progress);
        try {
            files->art.load(gameDir, progress);
        } catch (const tb::OperationStopped&) {
            throw;
        } catch (...) {
            files->artFailure = std::current_exception();
        }
    };
    auto reportStore = [this, storeFailure] {
        if (!storeFailure->isEmpty())
            m_prompts.showError(m_window, *storeFailure);
    };
    job.succeeded = [this, files, map = toPath(mapPath), gamePath, reportStore, then] {
        reportStore();
        m_mapStamp = files->stamp;
        m_loadedGamePath = gamePath;
        // The new map replaces the document; the rows of the old one go with it, its
        // buffers, statics and those of the old art beside the UI thread.
        releaseBeside(m_document.setStatics(nullptr, {}));
        releaseBeside(m_document.replace(std::move(files->image), map));
        releaseBeside(std::exchange(m_art, std::move(files->art)));
        if (files->artFailure) {
            runReported(m_prompts, m_window, [&] { std::rethrow_exception(files->artFailure); });
        } else {
            m_mapLoaded = true;
            m_files.setSaveAvailable(true);
        }
        emit loaded();
        if (then)
            then();
    };
    job.stopped = [this, reportStore](const QString& message) {
        reportStore();
        m_prompts.showMessage(m_window, message);
        emit loaded();
    };
    job.failed = [this, reportStore](const std::exception& error) {
        reportStore();
        m_prompts.showFailure(m_window, error);
        emit loaded();
    };
    m_jobs.start(std::move(job));
}

void MapFileActions::save() {
    if (m_mapLoaded && !m_jobs.busy() && m_files.saveEnabled() &&
        (!m_saveCheck || m_saveCheck(toPath(m_files.mapPath()))))
        startSave(m_files.mapPath(), {});
}

void MapFileActions::saveLoaded(std::function<void()> then) {
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    if (m_mapLoaded && (!m_saveCheck || m_saveCheck(m_document.fileName())))
        startSave(fromPath(m_document.fileName()), std::move(then));
}

void MapFileActions::reload(std::function<void()> then) {
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    if (m_mapLoaded)
        startLoad(fromPath(m_document.fileName()), m_loadedGamePath,
                  std::make_shared<const QString>(), std::move(then));
}

// The job reads the document's map while no edit can reach it. A failed or stopped write
// leaves the file as it was and the document unsaved; the buttons come back either way.
// Changed statics are written after the map, to the pair they were read from.
void MapFileActions::startSave(const QString& path, std::function<void()> then) {
    const std::filesystem::path target = toPath(path);
    const tb::StaticsMap* statics = m_document.itemsModified() ? m_document.statics() : nullptr;
    auto written = std::make_shared<tb::StaticsWrite>();
    auto stamp = std::make_shared<tb::FileStamp>();
    Job job;
    job.caption = "Saving " + fileNameOf(target);
    job.work = [&image = m_document.image(), target, statics, files = m_document.staticsFiles(),
                written, stamp](tb::Progress& progress) {
        // A stop is heeded until the map replaces its file; after that the Save goes to the
        // end, so that the files and the document's saved state agree.
        image.save(target, progress);
        *stamp = tb::FileStamp::take(target);
        if (statics)
            *written = tb::writeStaticsChanges(*statics, files);
    };
    job.succeeded = [this, target, then, written, stamp, wroteStatics = statics != nullptr] {
        m_document.markStaticsSaved(std::move(*written));
        if (wroteStatics)
            emit staticsSaved();
        m_document.markSaved(target);
        m_mapStamp = *stamp;
        if (then)
            then();
    };
    job.reportStopOrFailure(m_prompts, m_window);
    if (m_jobs.start(std::move(job)))
        m_files.setJobRunning(true, true);
}

// Discarded changes of a map that stays on screen go from it too, or a later Save would
// write them after all: the map is read again from its file.
void MapFileActions::startReload(std::function<void()> then) {
    auto image = std::make_shared<tb::MapImage>();
    auto stamp = std::make_shared<tb::FileStamp>();
    Job job;
    job.caption = "Loading " + fileNameOf(m_document.fileName());
    job.work = [image, stamp, file = m_document.fileName()](tb::Progress& progress) {
        *stamp = tb::FileStamp::take(file);
        *image = tb::MapImage::load(file, progress);
    };
    job.succeeded = [this, image, stamp, then] {
        m_mapStamp = *stamp;
        releaseBeside(m_document.setStatics(nullptr, {}));
        releaseBeside(m_document.replace(std::move(*image), m_document.fileName()));
        emit loaded(); // the statics are read again too
        if (then)
            then();
    };
    job.reportStopOrFailure(m_prompts, m_window);
    m_jobs.start(std::move(job));
}

bool MapFileActions::settleUnsavedChanges(std::function<void()> then, bool keepMap) {
    if (!m_mapLoaded || !m_document.isModified())
        return true;
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return false;
    }
    switch (m_prompts.askSaveChanges(m_window, fileNameOf(m_document.fileName()))) {
    case SaveChangesAnswer::Save:
        // Into the file the question named; only a save that succeeds lets the caller on.
        if (!m_saveCheck || m_saveCheck(m_document.fileName()))
            startSave(fromPath(m_document.fileName()), std::move(then));
        return false;
    case SaveChangesAnswer::Discard:
        if (keepMap) {
            startReload(std::move(then));
            return false;
        }
        m_document.markUnmodified();
        return true;
    case SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

void MapFileActions::adoptMap(tb::MapImage image, std::unique_ptr<tb::StaticsMap> statics) {
    releaseBeside(m_document.setStatics(nullptr, {}));
    releaseBeside(m_document.replace(std::move(image), {}));
    if (statics)
        m_document.setStatics(std::move(statics), {});
    m_mapStamp = {};
    m_mapLoaded = true;
    m_files.setSaveAvailable(false);
    emit loaded();
}

} // namespace tbapp
