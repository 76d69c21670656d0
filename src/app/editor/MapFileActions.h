#pragma once
// Load and Save of the main window: reading the map and the art named in the file panel
// into the document, writing the document back, and the question before unsaved changes
// would be lost.

#include "core/ArtFiles.h"
#include "editor/MapDocument.h"

#include <QObject>
#include <QString>

class QSettings;
class QWidget;

namespace tbapp {
class Prompts;

class FilePanel;

class MapFileActions : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `window` is the parent of its messages.
    MapFileActions(tb::MapDocument& document, tb::ArtFiles& art, FilePanel& files,
                   QSettings& settings, Prompts& prompts, QWidget* window);

    bool mapLoaded() const { return m_mapLoaded; }
    // A Save or the question about unsaved changes is under way: the window must stay.
    bool busy() const { return m_saving || m_settling; }

    // Load: stores both paths, then (with both boxes green) reads the map and the art.
    void load();
    // Save: writes the whole map to the file named in the map path box now.
    void save();
    // Unsaved changes before they would be lost: asks "Save changes to <file>?". True when
    // the caller may go on (nothing to save, Discard, or a Save that succeeded). Discard
    // either drops the changes with the map (closing, Load) or reads the map again from
    // its file, as it stays on screen (`keepMap`: a new map path).
    bool settleUnsavedChanges(bool keepMap = false);

signals:
    // After every Load, also a failed one: the map and art may have changed.
    void loaded();

private:
    bool saveMapAs(const QString& path);

    tb::MapDocument& m_document;
    tb::ArtFiles& m_art;
    FilePanel& m_files;
    QSettings& m_settings;
    QWidget* m_window;
    Prompts& m_prompts;
    bool m_mapLoaded = false;
    bool m_saving = false;
    bool m_settling = false;
};

} // namespace tbapp
