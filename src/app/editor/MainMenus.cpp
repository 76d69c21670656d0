#include "app/editor/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tbapp {
namespace {

QAction* addEntry(QMenu* menu, const char* name, const QString& text, bool checked = false,
                  bool checkable = false) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setCheckable(checkable || checked);
    action->setChecked(checked);
    return action;
}

} // namespace

MainMenus::MainMenus(QMenuBar* bar, QObject* parent) : QObject(parent) {
    auto entry = [this](QMenu* menu, const char* name, const QString& text,
                        void (MainMenus::*signal)()) {
        QAction* action = addEntry(menu, name, text);
        connect(action, &QAction::triggered, this, signal);
        return action;
    };
    QMenu* file = bar->addMenu("&File");
    m_loadAction = entry(file, "Load1", "&Load", &MainMenus::loadTriggered);
    m_loadAction->setShortcut(QKeySequence::Open);
    m_saveAction = entry(file, "Save1", "&Save", &MainMenus::saveTriggered);
    m_saveAction->setShortcut(QKeySequence::Save);
    m_saveAction->setEnabled(false);
    m_fileMenu = file;
    m_exitSeparator = file->addSeparator();
    entry(file, "Exit1", "E&xit", &MainMenus::exitTriggered);

    QMenu* edit = bar->addMenu("Edit");
    m_editMenu = edit;
    // The entries carry their keys as text: Ctrl+Z and Ctrl+Y are the map view's actions.
    m_undoAction = entry(edit, "TlUndo", "Undo          CTRL+Z", &MainMenus::undoTriggered);
    m_redoAction = entry(edit, "TlRedo", "Redo          CTRL+Y", &MainMenus::redoTriggered);
    m_undoStrokeAction =
        entry(edit, "TlUndoStroke", "Undo stroke", &MainMenus::undoStrokeTriggered);
    m_undoStrokeAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Z));
    m_redoStrokeAction =
        entry(edit, "TlRedoStroke", "Redo stroke", &MainMenus::redoStrokeTriggered);
    m_redoStrokeAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Y));

    QMenu* extra = bar->addMenu("&Extra");
    m_showTileIdsAction = addEntry(extra, "ShowTextureID1", "Show Texture ID", true);
    connect(m_showTileIdsAction, &QAction::triggered, this, &MainMenus::showTileIdsToggled);
    extra->addSeparator();
    m_colouredAltitudeAction = addEntry(extra, "coloredAltitude", "Colored Altitude", false, true);
    m_showOnlyColourAction = addEntry(extra, "ShowonlyColor1", "Show only Color", false, true);
    m_showNumberAction = addEntry(extra, "ShowAltitude1", "Show Number", true);
    for (QAction* action : {m_colouredAltitudeAction, m_showOnlyColourAction, m_showNumberAction})
        connect(action, &QAction::triggered, this, &MainMenus::cellSwitchesToggled);
    m_showStaticsAction = addEntry(extra, "ShowStatics1", "Show statics", false, true);
    connect(m_showStaticsAction, &QAction::triggered, this, &MainMenus::showStaticsToggled);
    extra->addSeparator();
    m_exportHeightmapAction = entry(extra, "ExportHeightmap1", "Export heightmap...",
                                    &MainMenus::exportHeightmapTriggered);
    m_importHeightmapAction = entry(extra, "ImportHeightmap1", "Import heightmap...",
                                    &MainMenus::importHeightmapTriggered);
    m_compactStaticsAction =
        entry(extra, "CompactStatics1", "Compact statics", &MainMenus::compactStaticsTriggered);
    m_compactStaticsAction->setStatusTip(
        "Rewrites the statics files of the loaded map without the records no entry uses");
    setMapEntriesEnabled(false);
    entry(extra, "ExportViewPicture1", "Export view as PNG...", &MainMenus::exportViewTriggered);
    extra->addSeparator();
    entry(extra, "PatchMapfromfile1", "Patch Map from file", &MainMenus::patchMapTriggered);
    entry(extra, "PatchEditor1", "Patch Editor", &MainMenus::patchEditorTriggered);
    entry(extra, "CreateDiffpatch1", "Create Diff patch", &MainMenus::diffPatchTriggered);
    entry(extra, "EnlargemaptoML1", "Enlarge map to ML", &MainMenus::enlargeMapTriggered);
    entry(extra, "MapCopy1", "Map Copy", &MainMenus::mapCopyTriggered);
    extra->addSeparator();
    entry(extra, "Options1", "&Options...", &MainMenus::optionsTriggered);

    m_viewMenu = bar->addMenu("&View");

    QMenu* info = bar->addMenu("&Info");
    entry(info, "About1", "About", &MainMenus::aboutTriggered);
}

void MainMenus::addFileEntry(QAction* action) {
    m_fileMenu->insertAction(m_exitSeparator, action);
}

void MainMenus::addEditEntry(QAction* action) {
    if (!m_editSeparator)
        m_editSeparator = m_editMenu->addSeparator();
    m_editMenu->addAction(action);
}

// The stroke entries name the step they take back or bring back; the entries that take a
// single row keep their captions and name it in their status tips.
void MainMenus::setHistoryNames(const QString& undoName, const QString& redoName) {
    m_undoStrokeAction->setText(undoName.isEmpty() ? "Undo stroke" : "Undo " + undoName);
    m_redoStrokeAction->setText(redoName.isEmpty() ? "Redo stroke" : "Redo " + redoName);
    m_undoAction->setStatusTip(undoName.isEmpty() ? QString() : "Undo " + undoName);
    m_redoAction->setStatusTip(redoName.isEmpty() ? QString() : "Redo " + redoName);
}

void MainMenus::addViewToggle(QAction* toggle, const char* name) {
    toggle->setObjectName(name);
    m_viewMenu->addAction(toggle);
}

bool MainMenus::showTileIds() const {
    return m_showTileIdsAction->isChecked();
}

bool MainMenus::colouredAltitude() const {
    return m_colouredAltitudeAction->isChecked();
}

bool MainMenus::showOnlyColour() const {
    return m_showOnlyColourAction->isChecked();
}

bool MainMenus::showAltitudeNumber() const {
    return m_showNumberAction->isChecked();
}

bool MainMenus::showStatics() const {
    return m_showStaticsAction->isChecked();
}

void MainMenus::setShowStatics(bool on) {
    m_showStaticsAction->setChecked(on);
}

void MainMenus::setMapEntriesEnabled(bool enabled) {
    m_exportHeightmapAction->setEnabled(enabled);
    m_importHeightmapAction->setEnabled(enabled);
    m_compactStaticsAction->setEnabled(enabled);
}

void MainMenus::setFileEntriesEnabled(bool load, bool save) {
    m_loadAction->setEnabled(load);
    m_saveAction->setEnabled(save);
}

} // namespace tbapp
