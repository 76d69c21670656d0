#include "app/editor/MapFileActions.h"

#include "app/editor/FilePanel.h"

#include "app/shell/Prompts.h"
#include "app/shell/Settings.h"

#include "core/MapFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <filesystem>

namespace tbapp {
namespace {

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

QString fromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

// Shows the hourglass while a long step runs.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

MapFileActions::MapFileActions(tb::MapDocument& document, tb::ArtFiles& art, FilePanel& files,
                               QSettings& settings, Prompts& prompts, QWidget* window)
    : QObject(window), m_document(document), m_art(art), m_files(files), m_settings(settings),
      m_window(window), m_prompts(prompts) {}

// Nothing happens unless a box is green. A map file of a size the variant table does not
// know is refused and the loaded map stays; loading replaces the map, so unsaved changes
// are settled first, and Cancel leaves everything as it was.
void MapFileActions::load() {
    if (busy() || !m_files.loadEnabled())
        return;
    const bool mapValid = m_files.mapPathValid();
    const bool gameValid = m_files.gamePathValid();
    if (!mapValid && !gameValid)
        return;
    const QString mapPath = m_files.mapPath();
    const bool knownMap = mapValid && gameValid && tb::identifyMapFile(toPath(mapPath)).has_value();
    if (knownMap && !settleUnsavedChanges())
        return;

    writeSettingText(m_settings, "MAPx.mul", mapPath);
    writeSettingText(m_settings, "UOPath", m_files.gamePath());
    // A store that cannot be written is reported; the map is loaded all the same.
    runReported(m_prompts, m_window, [&] { syncSettingsStore(m_settings); });

    if (mapValid && gameValid && !knownMap) {
        m_prompts.showError(
            m_window,
            QString("%1 is not a known map file: %2. The map was not loaded.")
                .arg(mapPath, QString::fromStdString(tb::unknownMapReason(toPath(mapPath)))));
    } else if (knownMap) {
        WaitCursor wait;
        runReported(m_prompts, m_window, [&] {
            // Read into a fresh image first, so a file that cannot be read leaves the
            // loaded map as it was.
            tb::MapImage image = tb::MapImage::load(toPath(mapPath));
            // The new map replaces the document; the rows of the old one go with it.
            m_document.replace(std::move(image), toPath(mapPath));
            m_art.load(toPath(m_files.gamePath()));
            m_mapLoaded = true;
            m_files.setSaveAvailable(true);
        });
    }
    emit loaded();
}

void MapFileActions::save() {
    if (m_mapLoaded && !busy() && m_files.saveEnabled())
        saveMapAs(m_files.mapPath());
}

// A failed write leaves the file as it was; the buttons come back either way.
bool MapFileActions::saveMapAs(const QString& path) {
    m_files.setSaving(true);
    bool saved = false;
    {
        // Closing waits while the caption shows; the map is written after.
        const QScopedValueRollback saving(m_saving, true);
        QCoreApplication::processEvents();
        WaitCursor wait;
        saved = runReported(m_prompts, m_window, [&] { m_document.save(toPath(path)); });
    }
    m_files.setSaving(false);
    return saved;
}

bool MapFileActions::settleUnsavedChanges(bool keepMap) {
    if (!m_mapLoaded || !m_document.isModified())
        return true;
    if (busy())
        return false; // asked already, or saving: the caller waits
    const QScopedValueRollback settling(m_settling, true);
    const QString file = QFileInfo(fromPath(m_document.fileName())).fileName();
    switch (m_prompts.askSaveChanges(m_window, file)) {
    case SaveChangesAnswer::Save:
        // Into the file the question named; only a save that succeeded lets the caller on.
        return saveMapAs(fromPath(m_document.fileName()));
    case SaveChangesAnswer::Discard:
        if (keepMap) {
            // The map stays on screen, so the discarded changes must go from it too, or a
            // later Save would write them after all: the map is read again from its file.
            return runReported(m_prompts, m_window, [&] {
                m_document.replace(tb::MapImage::load(m_document.fileName()),
                                   m_document.fileName());
            });
        }
        m_document.markUnmodified();
        return true;
    case SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace tbapp
