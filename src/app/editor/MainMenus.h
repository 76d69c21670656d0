#pragma once
// The main window's menu bar: File, Edit, Extra, View and Info. Each entry is announced by a
// signal; the view switches of Extra are read back through the queries below; View holds
// the toggles of the docked panels, which the window adds.

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;

namespace tbapp {

class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(QMenuBar* bar, QObject* parent);

    bool showTileIds() const;
    bool colouredAltitude() const;
    bool showOnlyColour() const;
    bool showAltitudeNumber() const;
    // Extra > "Show statics", kept in the settings.
    bool showStatics() const;
    void setShowStatics(bool on);
    // The heightmap entries and "Compact statics" need a loaded map.
    void setMapEntriesEnabled(bool enabled);
    // File > Load and Save follow the buttons they stand for.
    void setFileEntriesEnabled(bool load, bool save);
    // Adds a dock's toggle (QDockWidget::toggleViewAction) to View as entry `name`.
    void addViewToggle(QAction* toggle, const char* name);
    // Adds `action` to File, before Exit (the shared maps' entries).
    void addFileEntry(QAction* action);
    // Adds `action` to Edit, after the undo entries (the item commands).
    void addEditEntry(QAction* action);
    // The names of the newest undo and redo steps ("Paint", "Move 3 items"; empty: none or
    // unnamed), shown in the Edit menu.
    void setHistoryNames(const QString& undoName, const QString& redoName);

signals:
    void loadTriggered();
    void saveTriggered();
    void exitTriggered();
    void undoTriggered();
    void redoTriggered();
    void undoStrokeTriggered();
    void redoStrokeTriggered();
    void showTileIdsToggled();
    void cellSwitchesToggled();
    void showStaticsToggled();
    void exportHeightmapTriggered();
    void importHeightmapTriggered();
    void compactStaticsTriggered();
    void exportViewTriggered();
    void patchMapTriggered();
    void patchEditorTriggered();
    void diffPatchTriggered();
    void enlargeMapTriggered();
    void mapCopyTriggered();
    void optionsTriggered();
    void aboutTriggered();

private:
    QAction* m_loadAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_showTileIdsAction = nullptr;
    QAction* m_colouredAltitudeAction = nullptr;
    QAction* m_showOnlyColourAction = nullptr;
    QAction* m_showNumberAction = nullptr;
    QAction* m_showStaticsAction = nullptr;
    QAction* m_exportHeightmapAction = nullptr;
    QAction* m_importHeightmapAction = nullptr;
    QAction* m_compactStaticsAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_undoStrokeAction = nullptr;
    QAction* m_redoStrokeAction = nullptr;
    QMenu* m_editMenu = nullptr;
    QAction* m_editSeparator = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_exitSeparator = nullptr;
};

} // namespace tbapp
