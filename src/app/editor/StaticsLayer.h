#pragma once
// The statics the map view shows over the land (Extra > "Show statics"): staidxN.mul and
// staticsN.mul of the loaded map's facet N, from the map's folder or else the game folder,
// and the radar colours of static ids beside the land colours. They are read when the
// switch is on and a map is loaded, and read again after every Load; the reading is a job
// beside the editor, which stays usable meanwhile. What was read becomes the document's
// statics, which its item edits change and Save writes back to the same pair.

#include "core/StaticRadarColours.h"
#include "core/StaticsFiles.h"
#include "core/StaticsMap.h"
#include "shell/FileStamp.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace tb {
class MapDocument;
class MapImage;
} // namespace tb

namespace tbapp {
class JobRunner;
class Prompts;

class StaticsLayer : public QObject {
    Q_OBJECT
public:
    // `prompts`, `jobs` (which reads the statics) and `document` (which gets them) must
    // outlive the object; `window` is the parent of its messages.
    StaticsLayer(Prompts& prompts, JobRunner& jobs, tb::MapDocument& document, QWidget* window);
    ~StaticsLayer() override;

    // Reads the static colours of `radarcolFile` (with the land colours). Throws FileError.
    void readColours(const std::filesystem::path& radarcolFile);

    // A Load ended: `map` (null when none is loaded) read from `mapFile`; `gameDir` is the
    // game folder. A reading still running for the old map is stopped (the document let its
    // statics go with it); the new ones are read when shown.
    void mapLoaded(const tb::MapImage* map, const std::filesystem::path& mapFile,
                   const std::filesystem::path& gameDir);
    // "Compact statics": the pair of the loaded map rewritten without the records no entry
    // uses, as a job of `documentJobs` (the old pair stays as .bak files until the new one
    // is complete), then read again. Refused while the statics have unsaved changes.
    void compact(JobRunner& documentJobs);
    // The switch: on, the statics of the loaded map are read if they are not yet.
    void setShown(bool shown);
    bool shown() const { return m_shown; }

    // The statics to draw, or null while they are not shown or not read.
    const tb::StaticsMap* visibleStatics() const;
    // The statics of the loaded map, shown or not; null while not read.
    const tb::StaticsMap* loadedStatics() const;
    const tb::StaticRadarColours& colours() const { return m_colours; }
    // The statics pair as it was on disk when it was read; empty while none is read.
    const std::vector<tb::FileStamp>& fileStamps() const { return m_stamps; }
    // " - Statics=<count>" for cell (x, y) while statics are shown, else empty.
    QString statusSuffix(std::int32_t x, std::int32_t y) const;
    // The pair was written by this editor (Save): its stamps are taken again, so the next
    // Save does not take the editor's own write for another writer's.
    void restamp();

signals:
    // What visibleStatics() or colours() give has changed: the view must take them again.
    void changed();

private:
    void loadForMap();
    void startCompaction(JobRunner& documentJobs, const tb::StaticsFilePaths& files,
                         const tb::MapVariant& variant);
    // The pair of the loaded map: the one its statics came from, else the one found.
    std::optional<tb::StaticsFilePaths> pairOfMap() const;

    Prompts& m_prompts;
    JobRunner& m_jobs;
    QWidget* m_window;
    tb::MapDocument& m_document;
    tb::StaticRadarColours m_colours;
    std::vector<tb::FileStamp> m_stamps; // of the pair the document's statics were read from
    const tb::MapImage* m_map = nullptr;
    std::filesystem::path m_mapFile;
    std::filesystem::path m_gameDir;
    bool m_shown = false;
    bool m_compacting = false; // the pair is being rewritten: not read meanwhile
    int m_generation = 0;      // counts the maps: a reading for an earlier one is not applied
};

} // namespace tbapp
