#include "app/editor/StaticsLayer.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"
#include "editor/MapDocument.h"
#include "shell/Progress.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace tbapp {
namespace {

// The facet digit of a map file's name: map2.mul and map2LegacyMUL.uop are facet 2.
int facetOf(const std::filesystem::path& mapFile) {
    const std::string name = mapFile.filename().string();
    return tb::mapFacet(name).value_or(tb::facetFromFileName(name).value_or(0));
}

} // namespace

StaticsLayer::StaticsLayer(Prompts& prompts, JobRunner& jobs, tb::MapDocument& document,
                           QWidget* window)
    : QObject(window), m_prompts(prompts), m_jobs(jobs), m_window(window), m_document(document) {}

StaticsLayer::~StaticsLayer() = default;

void StaticsLayer::readColours(const std::filesystem::path& radarcolFile) {
    m_colours.read(radarcolFile);
    emit changed();
}

void StaticsLayer::mapLoaded(const tb::MapImage* map, const std::filesystem::path& mapFile,
                             const std::filesystem::path& gameDir) {
    // Statics being read for the map before are not wanted any more: that reading stops,
    // and this map's starts when it has.
    ++m_generation;
    m_jobs.stop();
    m_stamps.clear();
    m_map = map;
    m_mapFile = mapFile;
    m_gameDir = gameDir;
    // A failed Load keeps the map, and with it the statics and their edits.
    m_jobs.whenIdle(this, [this] {
        if (m_shown && !m_document.statics())
            loadForMap();
    });
    emit changed();
}

// Only a change of the switch counts: turning it on again tries missing files again.
void StaticsLayer::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (m_shown && !m_document.statics() && !m_jobs.busy() && !m_compacting)
        loadForMap();
    emit changed();
}

const tb::StaticsMap* StaticsLayer::visibleStatics() const {
    return m_shown ? m_document.statics() : nullptr;
}

const tb::StaticsMap* StaticsLayer::loadedStatics() const {
    return m_document.statics();
}

void StaticsLayer::restamp() {
    if (m_stamps.empty() || !m_document.statics())
        return;
    const tb::StaticsFilePaths& files = m_document.staticsFiles();
    m_stamps = {tb::FileStamp::take(files.index), tb::FileStamp::take(files.data)};
}

QString StaticsLayer::statusSuffix(std::int32_t x, std::int32_t y) const {
    const tb::StaticsMap* statics = visibleStatics();
    return statics ? QString(" - Statics=%1").arg(statics->count(x, y)) : QString();
}

// Missing files and unreadable files are said once per attempt; a damaged pair is read as
// far as it is sound, with one warning naming the file. The files are looked for and read
// beside the editor.
void StaticsLayer::loadForMap() {
    if (!m_map || !m_map->variant())
        return;
    const int facet = facetOf(m_mapFile);
    struct Found {
        tb::StaticsFilePaths files;
        tb::StaticsLoad load;
        std::vector<tb::FileStamp> stamps;
    };
    auto found = std::make_shared<std::optional<Found>>(); // none: no files found
    Job job;
    job.caption = "Loading statics";
    job.work = [mapFile = m_mapFile, gameDir = m_gameDir, facet, variant = *m_map->variant(),
                found](tb::Progress& progress) {
        if (const std::optional<tb::StaticsFilePaths> files =
                tb::findStaticsFiles(mapFile, gameDir, facet)) {
            // A compaction cut short is undone before the pair is read.
            std::string note = tb::recoverInterruptedCompaction(*files);
            auto stamps =
                std::vector{tb::FileStamp::take(files->index), tb::FileStamp::take(files->data)};
            *found = Found{*files, tb::loadStatics(*files, variant, progress), std::move(stamps)};
            std::string& warning = (*found)->load.warning;
            if (!note.empty())
                warning = warning.empty() ? note : note + "\n" + warning;
        }
    };
    job.succeeded = [this, found, facet, generation = m_generation] {
        if (generation != m_generation)
            return;
        if (!*found) {
            // Items placed on the map make a new pair beside it at Save, as tbmap does.
            if (!m_document.statics()) {
                const std::filesystem::path dir = m_mapFile.parent_path();
                const std::string digit = std::to_string(facet);
                const tb::StaticsFilePaths files{dir / ("staidx" + digit + ".mul"),
                                                 dir / ("statics" + digit + ".mul")};
                m_document.setStatics(
                    std::make_unique<tb::StaticsMap>(tb::StaticsMap::empty(
                        m_map->variant()->widthBlocks(), m_map->variant()->heightBlocks())),
                    files);
                // Stamped as absent: another program making the pair meanwhile is a change.
                m_stamps = {tb::FileStamp::take(files.index), tb::FileStamp::take(files.data)};
            }
            m_prompts.showMessage(m_window,
                                  QString("No staidx%1.mul and statics%1.mul beside %2 or in %3: "
                                          "the map is shown without statics. Items placed on it "
                                          "are saved as a new pair beside the map.")
                                      .arg(facet)
                                      .arg(uiText(m_mapFile), uiText(m_gameDir)));
            emit changed();
            return;
        }
        // Statics the document has already are being edited; they are not read over.
        if (!m_document.statics()) {
            m_document.setStatics(
                std::make_unique<tb::StaticsMap>(std::move((*found)->load.statics)),
                (*found)->files);
            m_stamps = std::move((*found)->stamps);
        }
        if (!(*found)->load.warning.empty())
            m_prompts.showMessage(m_window, QString::fromStdString((*found)->load.warning));
        emit changed();
    };
    // A stop (a Load that replaced the map, a Cancel) passes quietly, and so does a failure
    // of a reading for an earlier map.
    job.failed = [this, generation = m_generation](const std::exception& error) {
        if (generation == m_generation)
            m_prompts.showFailure(m_window, error);
    };
    m_jobs.start(std::move(job));
}

std::optional<tb::StaticsFilePaths> StaticsLayer::pairOfMap() const {
    // The document's pair may not be made yet (a map that had none).
    const tb::StaticsFilePaths& files = m_document.staticsFiles();
    std::error_code error;
    if (m_document.statics() && !files.index.empty() &&
        std::filesystem::exists(files.index, error) && std::filesystem::exists(files.data, error))
        return files;
    return tb::findStaticsFiles(m_mapFile, m_gameDir, facetOf(m_mapFile));
}

// The statics in memory point into the old pair, so they are read again from the new one;
// unsaved edits would be lost with them, hence the refusal.
void StaticsLayer::compact(JobRunner& documentJobs) {
    if (!m_map || !m_map->variant())
        return;
    // A map from elsewhere (a shared facet): its items are not kept in files here.
    if (m_mapFile.empty()) {
        m_prompts.showMessage(m_window, "This map was not read from a file: there are no "
                                        "statics files to compact.");
        return;
    }
    if (documentJobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(documentJobs.caption()));
        return;
    }
    if (m_document.itemsModified()) {
        m_prompts.showMessage(m_window, "The statics have unsaved changes: save the map first, "
                                        "then compact the statics.");
        return;
    }
    const std::optional<tb::StaticsFilePaths> files = pairOfMap();
    if (!files) {
        const int facet = facetOf(m_mapFile);
        m_prompts.showMessage(m_window,
                              QString("No staidx%1.mul and statics%1.mul beside %2 or in %3: "
                                      "there are no statics to compact.")
                                  .arg(facet)
                                  .arg(uiText(m_mapFile), uiText(m_gameDir)));
        return;
    }
    // No reading of the pair while it is rewritten: the compaction starts once the reading
    // has stopped.
    m_compacting = true;
    m_jobs.stop();
    m_jobs.whenIdle(this, [this, &documentJobs, files = *files, variant = *m_map->variant()] {
        startCompaction(documentJobs, files, variant);
    });
}

void StaticsLayer::startCompaction(JobRunner& documentJobs, const tb::StaticsFilePaths& files,
                                   const tb::MapVariant& variant) {
    auto report = std::make_shared<tb::CompactReport>();
    Job job;
    job.caption = "Compacting " + uiText(files.data.filename());
    job.work = [files, variant, report](tb::Progress& progress) {
        *report =
            tb::compactStatics(files, variant.widthBlocks(), variant.heightBlocks(), progress);
    };
    job.succeeded = [this, report, name = uiText(files.data.filename())] {
        m_compacting = false;
        releaseBeside(m_document.setStatics(nullptr, {}));
        m_stamps.clear();
        if (m_shown)
            loadForMap();
        emit changed();
        m_prompts.showMessage(m_window, QString("%1 compacted: %2 records kept, %3 bytes before, "
                                                "%4 bytes after.")
                                            .arg(name)
                                            .arg(report->recordsKept)
                                            .arg(report->bytesBefore)
                                            .arg(report->bytesAfter));
    };
    job.reportStopOrFailure(m_prompts, m_window, [this] { m_compacting = false; });
    m_compacting = documentJobs.start(std::move(job));
    if (!m_compacting)
        m_prompts.showMessage(m_window, JobRunner::refusal(documentJobs.caption()));
}

} // namespace tbapp
