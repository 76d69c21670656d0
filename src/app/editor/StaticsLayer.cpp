#include "app/editor/StaticsLayer.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/StaticsFiles.h"
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

StaticsLayer::StaticsLayer(Prompts& prompts, JobRunner& jobs, QWidget* window)
    : QObject(window), m_prompts(prompts), m_jobs(jobs), m_window(window) {}

StaticsLayer::~StaticsLayer() = default;

void StaticsLayer::readColours(const std::filesystem::path& radarcolFile) {
    m_colours.read(radarcolFile);
    emit changed();
}

void StaticsLayer::mapLoaded(const tb::MapImage* map, const std::filesystem::path& mapFile,
                             const std::filesystem::path& gameDir) {
    // Statics being read for the map before are not wanted any more; those read go beside.
    m_jobs.stopAndWait();
    releaseBeside(std::move(m_statics));
    m_map = map;
    m_mapFile = mapFile;
    m_gameDir = gameDir;
    if (m_shown)
        loadForMap();
    emit changed();
}

// Only a change of the switch counts: turning it on again tries missing files again.
void StaticsLayer::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (m_shown && !m_statics && !m_jobs.busy())
        loadForMap();
    emit changed();
}

const tb::StaticsMap* StaticsLayer::visibleStatics() const {
    return m_shown ? m_statics.get() : nullptr;
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
    auto load = std::make_shared<std::optional<tb::StaticsLoad>>(); // none: no files found
    Job job;
    job.caption = "Loading statics";
    job.work = [mapFile = m_mapFile, gameDir = m_gameDir, facet, variant = *m_map->variant(),
                load](tb::Progress& progress) {
        if (const std::optional<tb::StaticsFilePaths> files =
                tb::findStaticsFiles(mapFile, gameDir, facet))
            *load = tb::loadStatics(*files, variant, progress);
    };
    job.succeeded = [this, load, facet] {
        if (!*load) {
            m_prompts.showMessage(m_window,
                                  QString("No staidx%1.mul and statics%1.mul beside %2 or in %3: "
                                          "the map is shown without statics.")
                                      .arg(facet)
                                      .arg(uiText(m_mapFile), uiText(m_gameDir)));
            return;
        }
        m_statics = std::make_unique<tb::StaticsMap>(std::move((*load)->statics));
        if (!(*load)->warning.empty())
            m_prompts.showMessage(m_window, QString::fromStdString((*load)->warning));
        emit changed();
    };
    // A stop comes only from a Load that replaced the map: nothing to say.
    job.failed = [this](const std::exception& error) {
        if (!dynamic_cast<const tb::OperationStopped*>(&error))
            m_prompts.showFailure(m_window, error);
    };
    m_jobs.start(std::move(job));
}

} // namespace tbapp
