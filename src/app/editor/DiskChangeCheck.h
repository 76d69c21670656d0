#pragma once
// The files the loaded map came from (the map, the statics pair shown over it) against what
// is on disk now, for another writer's change: a Save that would write over it asks
// "<file> has changed on disk since it was loaded." first (Overwrite, Reload, Cancel), and
// when the window becomes active again with nothing unsaved it offers to read them again,
// once for each change.

#include "shell/FileStamp.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <vector>

class QWidget;

namespace tb {
class MapDocument;
}

namespace tbapp {
class JobRunner;
class MapFileCommands;
class Prompts;
class ItemsLayer;

class DiskChangeCheck : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `reload` reads the loaded files again (a
    // Load); `jobs` runs the jobs that change the document; `window` is the parent of the
    // questions.
    DiskChangeCheck(const MapFileCommands& files, const ItemsLayer& items,
                    const tb::MapDocument& document, std::function<void()> reload, Prompts& prompts,
                    const JobRunner& jobs, QWidget* window);

    // Before a Save into `target`: true when it may go on (nothing changed, or Overwrite).
    // Reload starts reading the files again.
    bool allowSave(const std::filesystem::path& target);
    // The window became active: with a loaded map, nothing unsaved and no job running, a
    // change not asked about yet is offered for reading again.
    void windowActivated();

private:
    // The stamps of the loaded files: the map first, then the statics pair if read.
    std::vector<tb::FileStamp> loadedStamps() const;
    // Another writer's file in place of the one stamped: a file that is gone now holds
    // nobody's work to overwrite, nor anything to read again.
    static bool replacedOnDisk(const tb::FileStamp& loaded, const tb::FileStamp& now);

    const MapFileCommands& m_files;
    const ItemsLayer& m_itemsLayer;
    const tb::MapDocument& m_document;
    std::function<void()> m_reload;
    Prompts& m_prompts;
    const JobRunner& m_jobs;
    QWidget* m_window;
    // The loaded files as they were on disk when the window last offered to read them again.
    std::vector<tb::FileStamp> m_offered;
};

} // namespace tbapp
