#include "app/editor/MapFileCommands.h"

#include "app/editor/FilePanel.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/Settings.h"
#include "app/shell/UiPath.h"

#include "core/MapFile.h"
#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"
#include "shell/Progress.h"

#include <QFileInfo>

#include <filesystem>
#include <memory>
#include <utility>

namespace tbapp {
namespace {

QString fileNameOf(const std::filesystem::path& path) {
    return QFileInfo(uiText(path)).fileName();
}

// What a Load reads before it replaces anything: the map, its items and the art as far as it
// could be read (the art's failure, if any, is reported after the map is in place).
struct LoadedFiles {
    tb::FileStamp stamp;
    tb::MapImage image;
    tb::ArtFiles art;
    std::exception_ptr artFailure;
    tb::MapStaticsRead statics;
    GameHues hues;
};

// The statics pair of the map's facet, beside the map or in the game folder; without one,
// empty statics whose pair Save makes beside the map. A map whose name holds no facet digit
// gets no items. What was wrong is said in `note`.
tb::MapStaticsRead readMapStatics(const std::filesystem::path& mapFile,
                                  const std::filesystem::path& gameDir, const tb::MapImage& map,
                                  tb::Progress& progress) {
    tb::MapStaticsRead read;
    const std::optional<int> facet = tb::staticsFacetOf(mapFile);
    if (!facet || !map.variant()) {
        read.note = QString("%1: its name holds no facet digit, so the map has no items.")
                        .arg(uiText(mapFile.filename()))
                        .toStdString();
        return read;
    }
    const tb::MapVariant variant = *map.variant();
    if (const std::optional<tb::StaticsFilePaths> found =
            tb::findStaticsFiles(mapFile, gameDir, *facet)) {
        // A compaction cut short is undone before the pair is read.
        const std::string recovered = tb::recoverInterruptedCompaction(*found);
        read.stamps = {tb::FileStamp::take(found->index), tb::FileStamp::take(found->data)};
        tb::StaticsLoad load = tb::loadStatics(*found, variant, progress);
        read.statics = std::make_unique<tb::StaticsMap>(std::move(load.statics));
        read.files = *found;
        read.note = recovered.empty() || load.warning.empty() ? recovered + load.warning
                                                              : recovered + "\n" + load.warning;
        return read;
    }
    // Items placed on it make a new pair beside it at Save, as tbmap does.
    const std::filesystem::path dir = mapFile.parent_path();
    read.files = tb::staticsPairIn(dir, *facet);
    read.statics = std::make_unique<tb::StaticsMap>(
        tb::StaticsMap::empty(variant.widthBlocks(), variant.heightBlocks()));
    // Stamped as absent: another program making the pair meanwhile is a change.
    read.stamps = {tb::FileStamp::take(read.files.index), tb::FileStamp::take(read.files.data)};
    read.note = QString("No staidx%1.mul and statics%1.mul beside %2 or in %3: the map is shown "
                        "without statics. Items placed on it are saved as a new pair beside the "
                        "map.")
                    .arg(*facet)
                    .arg(uiText(mapFile), uiText(gameDir))
                    .toStdString();
    return read;
}

} // namespace

// hues.mul of the game folder; a missing or unreadable one draws items unhued, and says so.
GameHues readGameHues(const std::filesystem::path& gameDir) {
    GameHues read;
    const std::filesystem::path file = gameDir / "hues.mul";
    try {
        if (std::optional<tb::HueFile> hues = tb::HueFile::loadIfPresent(file)) {
            read.hues = std::move(*hues);
            read.present = true;
        } else {
            read.note = QString("No hues.mul in %1: items are drawn unhued.").arg(uiText(gameDir));
        }
    } catch (const std::exception& error) {
        read.note = QString("%1 Items are drawn unhued.").arg(QString::fromLocal8Bit(error.what()));
    }
    return read;
}

MapFileCommands::MapFileCommands(tb::MapDocument& document, tb::ArtFiles& art, FilePanel& files,
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
void MapFileCommands::load() {
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
    const bool knownMap = mapValid && gameValid && tb::identifyMapFile(uiPath(mapPath)).has_value();
    // A map from elsewhere (a shared facet) is not left without a word.
    if (knownMap && m_mapLoaded && m_document.fileName().empty() &&
        !m_prompts.confirm(
            m_window,
            QString("Leave the shared map and load %1 instead?").arg(fileNameOf(uiPath(mapPath)))))
        return;
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
                .arg(mapPath, QString::fromStdString(tb::unknownMapReason(uiPath(mapPath)))));
    }
    emit loaded();
}

// Read into a fresh image and art first, so a file that cannot be read leaves the loaded
// map as it was; art that fails after the map was read is reported with the new map in
// place, as far as it was read.
void MapFileCommands::startLoad(const QString& mapPath, const QString& gamePath,
                                std::shared_ptr<const QString> storeFailure,
                                std::function<void()> then) {
    auto files = std::make_shared<LoadedFiles>();
    Job job;
    job.caption = "Loading " + fileNameOf(uiPath(mapPath));
    job.work = [files, map = uiPath(mapPath), gameDir = uiPath(gamePath)](tb::Progress& progress) {
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
        files->hues = readGameHues(gameDir);
        files->statics = readMapStatics(map, gameDir, files->image, progress);
    };
    auto reportStore = [this, storeFailure] {
        if (!storeFailure->isEmpty())
            m_prompts.showError(m_window, *storeFailure);
    };
    job.succeeded = [this, files, map = uiPath(mapPath), gamePath, reportStore, then] {
        reportStore();
        m_mapStamp = files->stamp;
        m_loadedGamePath = gamePath;
        m_hues = std::move(files->hues);
        m_staticsStamps = std::move(files->statics.stamps);
        m_staticsNote = QString::fromStdString(files->statics.note);
        // The new map and its items replace the document; the rows of the old one go with
        // it, its buffers, statics and those of the old art beside the UI thread.
        std::unique_ptr<tb::StaticsMap> oldStatics;
        releaseBeside(m_document.replace(std::move(files->image), map,
                                         std::move(files->statics.statics),
                                         std::move(files->statics.files), &oldStatics));
        releaseBeside(std::move(oldStatics));
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

void MapFileCommands::save() {
    if (m_mapLoaded && !m_jobs.busy() && m_files.saveEnabled() &&
        (!m_saveCheck || m_saveCheck(uiPath(m_files.mapPath()))))
        startSave(m_files.mapPath(), {});
}

void MapFileCommands::saveLoaded(std::function<void()> then) {
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    if (m_mapLoaded && (!m_saveCheck || m_saveCheck(m_document.fileName())))
        startSave(uiText(m_document.fileName()), std::move(then));
}

void MapFileCommands::reload(std::function<void()> then) {
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    if (m_mapLoaded)
        startLoad(uiText(m_document.fileName()), m_loadedGamePath,
                  std::make_shared<const QString>(), std::move(then));
}

// The job reads the document's map while no edit can reach it. A failed or stopped write
// leaves the file as it was and the document unsaved; the buttons come back either way.
// Changed statics are written after the map, to the pair they were read from.
void MapFileCommands::startSave(const QString& path, std::function<void()> then) {
    const std::filesystem::path target = uiPath(path);
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
        // Damaged entries the save had to move out of the way of its records are told.
        const std::string moved =
            m_document.statics()
                ? tb::movedEntriesWarning(m_document.staticsFiles(), written->report,
                                          m_document.statics()->heightBlocks())
                : std::string();
        m_document.markStaticsSaved(std::move(*written));
        if (!moved.empty())
            m_prompts.showMessage(m_window, QString::fromStdString(moved));
        if (wroteStatics)
            restampStatics();
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
void MapFileCommands::startReload(std::function<void()> then) {
    auto files = std::make_shared<LoadedFiles>();
    Job job;
    job.caption = "Loading " + fileNameOf(m_document.fileName());
    job.work = [files, file = m_document.fileName(),
                gameDir = uiPath(m_loadedGamePath)](tb::Progress& progress) {
        files->stamp = tb::FileStamp::take(file);
        files->image = tb::MapImage::load(file, progress);
        files->statics = readMapStatics(file, gameDir, files->image, progress);
    };
    job.succeeded = [this, files, then] {
        m_mapStamp = files->stamp;
        m_staticsStamps = std::move(files->statics.stamps);
        m_staticsNote = QString::fromStdString(files->statics.note);
        std::unique_ptr<tb::StaticsMap> oldStatics;
        releaseBeside(m_document.replace(std::move(files->image), m_document.fileName(),
                                         std::move(files->statics.statics),
                                         std::move(files->statics.files), &oldStatics));
        releaseBeside(std::move(oldStatics));
        emit loaded();
        if (then)
            then();
    };
    job.reportStopOrFailure(m_prompts, m_window);
    m_jobs.start(std::move(job));
}

bool MapFileCommands::settleUnsavedChanges(std::function<void()> then, bool keepMap) {
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
            startSave(uiText(m_document.fileName()), std::move(then));
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

void MapFileCommands::adoptMap(tb::MapImage image, std::unique_ptr<tb::StaticsMap> statics) {
    std::unique_ptr<tb::StaticsMap> oldStatics;
    releaseBeside(m_document.replace(std::move(image), {}, std::move(statics), {}, &oldStatics));
    releaseBeside(std::move(oldStatics));
    m_mapStamp = {};
    m_staticsStamps.clear();
    m_staticsNote.clear();
    m_mapLoaded = true;
    m_files.setSaveAvailable(false);
    emit loaded();
    // A map opened before any Load still needs the game's art to be drawn.
    if (m_loadedGamePath.isEmpty() && m_files.gamePathValid())
        startArtLoad(m_files.gamePath());
}

void MapFileCommands::startArtLoad(const QString& gamePath) {
    auto art = std::make_shared<tb::ArtFiles>();
    auto hues = std::make_shared<GameHues>();
    Job job;
    job.caption = "Loading the game's art";
    job.work = [art, hues, gameDir = uiPath(gamePath)](tb::Progress& progress) {
        art->load(gameDir, progress);
        *hues = readGameHues(gameDir);
    };
    job.succeeded = [this, art, hues, gamePath] {
        m_loadedGamePath = gamePath;
        m_hues = std::move(*hues);
        releaseBeside(std::exchange(m_art, std::move(*art)));
        emit loaded();
    };
    job.reportStopOrFailure(m_prompts, m_window);
    m_jobs.start(std::move(job));
}

void MapFileCommands::restampStatics() {
    const tb::StaticsFilePaths& files = m_document.staticsFiles();
    if (!files.index.empty())
        m_staticsStamps = {tb::FileStamp::take(files.index), tb::FileStamp::take(files.data)};
}

// The statics a compaction rewrote: the same items from the new pair, the steps kept.
void MapFileCommands::staticsCompacted(std::unique_ptr<tb::StaticsMap> statics) {
    releaseBeside(m_document.reloadStatics(std::move(statics), m_document.staticsFiles()));
    restampStatics();
}

} // namespace tbapp
