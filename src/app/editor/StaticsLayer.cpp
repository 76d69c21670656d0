#include "app/editor/StaticsLayer.h"

#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/StaticsFiles.h"

#include <QApplication>
#include <QWidget>

namespace tbapp {
namespace {

// The facet digit of a map file's name: map2.mul and map2LegacyMUL.uop are facet 2.
int facetOf(const std::filesystem::path& mapFile) {
    const std::string name = mapFile.filename().string();
    return tb::mapFacet(name).value_or(tb::facetFromFileName(name).value_or(0));
}

// Shows the hourglass while the files are read.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

StaticsLayer::StaticsLayer(Prompts& prompts, QWidget* window)
    : QObject(window), m_prompts(prompts), m_window(window) {}

StaticsLayer::~StaticsLayer() = default;

void StaticsLayer::readColours(const std::filesystem::path& radarcolFile) {
    m_colours.read(radarcolFile);
    emit changed();
}

void StaticsLayer::mapLoaded(const tb::MapImage* map, const std::filesystem::path& mapFile,
                             const std::filesystem::path& gameDir) {
    m_statics.reset();
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
    if (m_shown && !m_statics)
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
// far as it is sound, with one warning naming the file.
void StaticsLayer::loadForMap() {
    if (!m_map || !m_map->variant())
        return;
    const int facet = facetOf(m_mapFile);
    const std::optional<tb::StaticsFilePaths> files =
        tb::findStaticsFiles(m_mapFile, m_gameDir, facet);
    if (!files) {
        m_prompts.showMessage(m_window, QString("No staidx%1.mul and statics%1.mul beside %2 or "
                                                "in %3: the map is shown without statics.")
                                            .arg(facet)
                                            .arg(uiText(m_mapFile), uiText(m_gameDir)));
        return;
    }
    std::string warning;
    {
        const WaitCursor wait;
        runReported(m_prompts, m_window, [&] {
            tb::StaticsLoad load = tb::loadStatics(*files, *m_map->variant());
            m_statics = std::make_unique<tb::StaticsMap>(std::move(load.statics));
            warning = std::move(load.warning);
        });
    }
    if (!warning.empty())
        m_prompts.showMessage(m_window, QString::fromStdString(warning));
}

} // namespace tbapp
