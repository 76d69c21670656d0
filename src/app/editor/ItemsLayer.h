#pragma once
// Which items the map view draws (Extra > "Show statics"), and the radar colours of static
// ids they are drawn in beside the land colours. The items themselves are the document's,
// read with the map whether they are shown or not; this says only whether they are drawn,
// and says once what was wrong with the pair when they are first shown after a Load.

#include "core/StaticRadarColours.h"
#include "core/StaticsMap.h"
#include "shell/FileStamp.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <vector>

class QWidget;

namespace tb {
class MapDocument;
} // namespace tb

namespace tbapp {
class MapFileCommands;
class Prompts;

class ItemsLayer : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `window` is the parent of its messages.
    ItemsLayer(Prompts& prompts, const tb::MapDocument& document, const MapFileCommands& files,
               QWidget* window);

    // Reads the static colours of `radarcolFile` (with the land colours). Throws FileError.
    void readColours(const std::filesystem::path& radarcolFile);

    // A Load ended: its note about the pair is said when the items are (or get) shown.
    void mapLoaded();
    // The switch.
    void setShown(bool shown);
    bool shown() const { return m_shown; }

    // The statics to draw, or null while they are not shown or the map has none.
    const tb::StaticsMap* visibleStatics() const;
    // The statics of the loaded map, shown or not; null when it has none.
    const tb::StaticsMap* loadedStatics() const;
    const tb::StaticRadarColours& colours() const { return m_colours; }
    // The statics pair as it was on disk when it was read or saved; empty without one.
    const std::vector<tb::FileStamp>& fileStamps() const;
    // " - Statics=<count>" for cell (x, y) while statics are shown, else empty.
    QString statusSuffix(std::int32_t x, std::int32_t y) const;

signals:
    // What visibleStatics() or colours() give has changed: the view must take them again.
    void changed();

private:
    void sayNote();

    Prompts& m_prompts;
    const tb::MapDocument& m_document;
    const MapFileCommands& m_files;
    QWidget* m_window;
    tb::StaticRadarColours m_colours;
    bool m_shown = false;
    bool m_noteSaid = true; // the last Load's note was said, or there was none
};

} // namespace tbapp
