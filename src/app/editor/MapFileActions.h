#pragma once
// Load and Save of the main window: reading the map and the art named in the file panel
// into the document, writing the document back, and the question before unsaved changes
// would be lost.
//
// Reading and writing run as jobs of the document's runner, beside the editor: while one
// runs, editing and a second such job are refused and the file panel's buttons are off. A
// Load replaces the document and the art only when it has read everything; a Save marks
// the document saved only when the file is written.

#include "core/ArtFiles.h"
#include "editor/MapDocument.h"
#include "shell/FileStamp.h"

#include <QObject>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>

class QSettings;
class QWidget;

namespace tbapp {
class JobRunner;
class Prompts;

class FilePanel;

class MapFileActions : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `jobs` runs the jobs that change the
    // document; `window` is the parent of its messages.
    MapFileActions(tb::MapDocument& document, tb::ArtFiles& art, FilePanel& files,
                   QSettings& settings, Prompts& prompts, JobRunner& jobs, QWidget* window);

    bool mapLoaded() const { return m_mapLoaded; }

    // Load: stores both paths, then (with both boxes green) reads the map and the art.
    void load();
    // Save: writes the whole map to the file named in the map path box now.
    void save();
    // Unsaved changes before they would be lost: asks "Save changes to <file>?". True when
    // the caller may go on at once: nothing to save, or Discard, which drops the changes
    // with the map (closing, Load). False for Cancel, and for the answers that start a job:
    // Save (into the file the question named) and, with `keepMap` (a new map path, the map
    // stays on screen), Discard, which reads the map again from its file; `then` runs when
    // that job has succeeded.
    bool settleUnsavedChanges(std::function<void()> then, bool keepMap = false);

    // The loaded map's file as it was when it was read or last saved; empty without a map.
    const tb::FileStamp& mapStamp() const { return m_mapStamp; }
    // Asked before every Save with the file it would write; false stops the Save.
    void setSaveCheck(std::function<bool(const std::filesystem::path& target)> check) {
        m_saveCheck = std::move(check);
    }
    // The loaded map and its art read again as Load reads them, from the files they came
    // from; unsaved changes go. `then` runs when that has succeeded.
    void reload(std::function<void()> then = {});
    // Save into the loaded map's file (the save check asked first); `then` runs when the
    // file is written. A running job is refused with its name.
    void saveLoaded(std::function<void()> then);
    // A map from elsewhere (a shared facet) becomes the document, without a file: Save has
    // nothing to write to; the art stays as loaded. Its items, when given, are the
    // document's statics before anyone hears of the new map, so none are looked for on disk.
    void adoptMap(tb::MapImage image, std::unique_ptr<tb::StaticsMap> statics);

signals:
    // After every Load, also a failed one: the map and art may have changed.
    void loaded();
    // After a Save that wrote the statics pair: it is the editor's own change on disk.
    void staticsSaved();

private:
    // `storeFailure` is said when the Load has ended, unless it is empty by then.
    void startLoad(const QString& mapPath, const QString& gamePath,
                   std::shared_ptr<const QString> storeFailure, std::function<void()> then = {});
    void startSave(const QString& path, std::function<void()> then);
    void startReload(std::function<void()> then);

    tb::MapDocument& m_document;
    tb::ArtFiles& m_art;
    FilePanel& m_files;
    QSettings& m_settings;
    QWidget* m_window;
    Prompts& m_prompts;
    JobRunner& m_jobs;
    bool m_mapLoaded = false;
    tb::FileStamp m_mapStamp;
    QString m_loadedGamePath; // where the loaded art came from
    std::function<bool(const std::filesystem::path&)> m_saveCheck;
};

} // namespace tbapp
