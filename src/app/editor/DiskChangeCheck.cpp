#include "app/editor/DiskChangeCheck.h"

#include "app/editor/ItemsLayer.h"
#include "app/editor/MapFileCommands.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include "editor/MapDocument.h"

#include <utility>

namespace tbapp {
namespace {

QString fileNameOf(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.filename().u16string());
}

} // namespace

DiskChangeCheck::DiskChangeCheck(const MapFileCommands& files, const ItemsLayer& items,
                                 const tb::MapDocument& document, std::function<void()> reload,
                                 Prompts& prompts, const JobRunner& jobs, QWidget* window)
    : QObject(window), m_files(files), m_itemsLayer(items), m_document(document),
      m_reload(std::move(reload)), m_prompts(prompts), m_jobs(jobs), m_window(window) {}

std::vector<tb::FileStamp> DiskChangeCheck::loadedStamps() const {
    std::vector<tb::FileStamp> stamps;
    if (!m_files.mapLoaded())
        return stamps;
    stamps.push_back(m_files.mapStamp());
    for (const tb::FileStamp& stamp : m_itemsLayer.fileStamps())
        stamps.push_back(stamp);
    return stamps;
}

bool DiskChangeCheck::replacedOnDisk(const tb::FileStamp& loaded, const tb::FileStamp& now) {
    return now.exists() && !(now == loaded);
}

// A Save into another file than the one loaded writes over nobody's map; the statics go
// with the loaded map wherever it is saved.
bool DiskChangeCheck::allowSave(const std::filesystem::path& target) {
    const std::vector<tb::FileStamp> stamps = loadedStamps();
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const bool mapStamp = i == 0;
        if ((mapStamp && !stamps[i].names(target)) ||
            !replacedOnDisk(stamps[i], tb::FileStamp::take(stamps[i].file())))
            continue;
        switch (m_prompts.askChangedOnDisk(m_window, fileNameOf(stamps[i].file()))) {
        case DiskChangeAnswer::Overwrite:
            return true;
        case DiskChangeAnswer::Reload:
            m_reload();
            return false;
        case DiskChangeAnswer::Cancel:
            return false;
        }
    }
    return true;
}

// The stamps taken now are remembered before asking, so the activations that the question
// itself causes, and later ones without a further change, ask nothing.
void DiskChangeCheck::windowActivated() {
    if (m_jobs.busy() || m_document.isModified())
        return;
    std::vector<tb::FileStamp> now;
    const tb::FileStamp* changed = nullptr;
    const std::vector<tb::FileStamp> stamps = loadedStamps();
    for (const tb::FileStamp& stamp : stamps) {
        now.push_back(tb::FileStamp::take(stamp.file()));
        if (!changed && replacedOnDisk(stamp, now.back()))
            changed = &stamp;
    }
    if (!changed || now == m_offered)
        return;
    m_offered = std::move(now);
    if (m_prompts.confirm(m_window,
                          QString("%1 has changed on disk since it was loaded. Reload it?")
                              .arg(fileNameOf(changed->file()))))
        m_reload();
}

} // namespace tbapp
