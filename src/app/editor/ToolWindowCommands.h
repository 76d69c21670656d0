#pragma once
// The main window's commands that open the other windows: the coordinate list, "Patch Map
// from file", the patch editor (Insert on the map adds the current cell to it), the diff
// patch window, map enlargement and map copy, and the about box. The modal ones open
// through Prompts::execDialog.

#include <QObject>
#include <QString>

class QDialog;

namespace tbapp {
class JobRunner;
class MapEditorLink;
class Prompts;

class ToolWindowCommands : public QObject {
    Q_OBJECT
public:
    // `editor` (the main window), `prompts` and `documentJobs` (the runner of the jobs that
    // change the document) must outlive the object; `window` is the parent of the windows
    // opened.
    ToolWindowCommands(MapEditorLink& editor, const QString& applicationDir, Prompts& prompts,
                       JobRunner& documentJobs, QWidget* window);

    // The long-lived windows created after the main window; either may be null.
    void setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow);

    // "List": a new coordinate list each time, modal, starting from the jump boxes' texts;
    // it only fills the jump boxes.
    void showCoordinateList(const QString& jumpX, const QString& jumpY);
    void patchMapFromFile();
    void showPatchEditor();
    // Insert on the map: the current cell into the visible patch editor's list (which
    // refuses a listed cell itself); nothing without a loaded map.
    void insertIntoPatchEditor();
    void showDiffWindow();
    void enlargeMap();
    // "Map Copy" changes files; a copy into the loaded map has it read again (the view
    // stays). Otherwise the view goes back to (0, 0) and is repainted.
    void copyMap();
    void showAbout();

signals:
    // The map or the current cell may have changed: the status bar shows them again.
    void mapTouched();

private:
    MapEditorLink& m_editor;
    QString m_applicationDir;
    Prompts& m_prompts;
    JobRunner& m_documentJobs;
    QWidget* m_window;
    QWidget* m_patchEditor = nullptr;
    QDialog* m_diffWindow = nullptr;
    QString m_patchInitialDir; // the "Patch Map from file" dialog's starting folder
};

} // namespace tbapp
