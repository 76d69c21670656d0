#include "app/editor/ItemsLayer.h"

#include "app/editor/MapFileCommands.h"
#include "app/shell/Prompts.h"

#include "editor/MapDocument.h"

#include <QWidget>

namespace tbapp {

ItemsLayer::ItemsLayer(Prompts& prompts, const tb::MapDocument& document,
                       const MapFileCommands& files, QWidget* window)
    : QObject(window), m_prompts(prompts), m_document(document), m_files(files), m_window(window) {}

void ItemsLayer::readColours(const std::filesystem::path& radarcolFile) {
    m_colours.read(radarcolFile);
    emit changed();
}

void ItemsLayer::mapLoaded() {
    m_noteSaid = m_files.staticsNote().isEmpty();
    if (m_shown)
        sayNote();
    emit changed();
}

void ItemsLayer::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (m_shown)
        sayNote();
    emit changed();
}

// Missing files and a damaged pair are said once per Load, when the items are first shown.
void ItemsLayer::sayNote() {
    if (m_noteSaid)
        return;
    m_noteSaid = true;
    m_prompts.showMessage(m_window, m_files.staticsNote());
}

const tb::StaticsMap* ItemsLayer::visibleStatics() const {
    return m_shown ? m_document.statics() : nullptr;
}

const tb::StaticsMap* ItemsLayer::loadedStatics() const {
    return m_document.statics();
}

const std::vector<tb::FileStamp>& ItemsLayer::fileStamps() const {
    return m_files.staticsStamps();
}

QString ItemsLayer::statusSuffix(std::int32_t x, std::int32_t y) const {
    const tb::StaticsMap* statics = visibleStatics();
    return statics ? QString(" - Statics=%1").arg(statics->count(x, y)) : QString();
}

} // namespace tbapp
