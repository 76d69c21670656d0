#pragma once
// Load and Save of the main window: reading the map, its items (the statics pair of its
// facet) and the art named in the file panel into the document, writing the document back,
// and the question before unsaved changes would be lost.
//
// Reading and writing run as jobs of the document's runner, beside the editor: while one
// runs, editing and a second such job are refused and the file panel's buttons are off. A
// Load replaces the document and the art only when it has read everything; a Save marks
// the document saved only when the file is written.

#include "core/ArtFiles.h"
#include "core/HueFile.h"
#include "core/StaticsFiles.h"
#include "core/StaticsMap.h"
#include "editor/MapDocument.h"
#include "shell/FileStamp.h"
#include "shell/Progress.h"

#include <QObject>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSettings;
class QWidget;

namespace tb {
// The items a Load reads with the map: the statics (null: the map has none), the pair they
// came from or go to, the pair as it was on disk, and what to say about it.
struct MapStaticsRead {
    std::unique_ptr<StaticsMap> statics;
    StaticsFilePaths files;
    std::vector<FileStamp> stamps;
    std::string note;
};
} // namespace tb

namespace tbapp {
// hues.mul of the game folder as a Load read it.
struct GameHues {
    tb::HueFile hues;
    bool present = false;
    QString note; // why items are drawn unhued; empty when the file was read
};
} // namespace tbapp

namespace tbapp {
class JobRunner;
class Prompts;

class FilePanel;

class MapFileCommands : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `jobs` runs the jobs that change the
    // document; `window` is the parent of its messages.
    MapFileCommands(tb::MapDocument& document, tb::ArtFiles& art, FilePanel& files,
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
    // The statics pair as it was on disk when it was read or last saved; empty without one.
    const std::vector<tb::FileStamp>& staticsStamps() const { return m_staticsStamps; }
    // The game folder's hues (null when it has none), and why items are drawn unhued.
    const tb::HueFile* hues() const { return m_hues.present ? &m_hues.hues : nullptr; }
    const QString& huesNote() const { return m_hues.note; }
    // What the last Load found wrong with the statics, or that there were none; empty when
    // the pair was read sound.
    const QString& staticsNote() const { return m_staticsNote; }
    // The pair was rewritten by a compaction: its statics read again, the item steps kept.
    void staticsCompacted(std::unique_ptr<tb::StaticsMap> statics);
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
    // After every Load, also a failed one: the map, its items and the art may have changed.
    void loaded();

private:
    // `storeFailure` is said when the Load has ended, unless it is empty by then.
    void startLoad(const QString& mapPath, const QString& gamePath,
                   std::shared_ptr<const QString> storeFailure, std::function<void()> then = {});
    void startSave(const QString& path, std::function<void()> then);
    void startReload(std::function<void()> then);
    void startArtLoad(const QString& gamePath);
    // The pair was written by this editor: its stamps are taken again, so the next Save does
    // not take the editor's own write for another writer's.
    void restampStatics();

    tb::MapDocument& m_document;
    tb::ArtFiles& m_art;
    FilePanel& m_files;
    QSettings& m_settings;
    QWidget* m_window;
    Prompts& m_prompts;
    JobRunner& m_jobs;
    bool m_mapLoaded = false;
    tb::FileStamp m_mapStamp;
    GameHues m_hues;
    std::vector<tb::FileStamp> m_staticsStamps;
    QString m_staticsNote;
    QString m_loadedGamePath; // where the loaded art came from
    std::function<bool(const std::filesystem::path&)> m_saveCheck;
};

} // namespace tbapp
