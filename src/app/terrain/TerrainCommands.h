#pragma once
// What the Terrain tool has besides its strokes: the terrain files of the catalogue folder,
// read into the tool as the panel chooses them; Fix edges (the Edit menu and the panel) over
// the item selection, or a rectangle asked for when there is none; the "Missing transitions"
// dock kept in step with the tool's marks; and the terrain editor.
//
// Fix edges over a small area is one operation at once. Over a large one it is worked out as
// a job of the document's runner, which holds the document meanwhile (progress and Cancel),
// and written in one go on the UI thread when the job has ended; a cancelled one changes
// nothing. Either way it is one undo step, "Undo Terrain".

#include "app/terrain/TerrainLooks.h"

#include "editor/CellRect.h"
#include "editor/DocumentListener.h"
#include "editor/TerrainEdits.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>

class QAction;
class QWidget;

namespace tb {
class MapDocument;
class RandomSource;
class TerrainTool;
} // namespace tb

namespace tbapp {
class JobRunner;
class MissingTransitionsDock;
class Prompts;
class TerrainPanel;

// What the commands work with; everything must outlive them.
struct TerrainContext {
    QString applicationDir; // the folder beside the program, holding terrains/
    tb::MapDocument* document = nullptr;
    // The document edits may reach now; null without a map or while a job holds it.
    std::function<tb::MapDocument*()> editableDocument;
    // The item selection's rectangle; empty when nothing is selected.
    std::function<tb::CellRect()> selection;
    // The palette's tile, where the terrain editor starts.
    std::function<std::uint16_t()> paletteTile;
    tb::RandomSource* random = nullptr; // seeds the draws of a Fix edges job
    Prompts* prompts = nullptr;
    JobRunner* documentJobs = nullptr;
};

class TerrainCommands : public QObject {
    Q_OBJECT
public:
    // Makes the panel and the dock (children of `window`, for the window to place) and the
    // Fix edges action, and reads the terrain files.
    TerrainCommands(tb::TerrainTool& tool, TerrainContext context, QWidget* window);
    ~TerrainCommands() override;

    TerrainPanel& panel() { return *m_panel; }
    MissingTransitionsDock& missingDock() { return *m_dock; }
    // Edit > "Fix terrain edges".
    QAction* fixEdgesAction() const { return m_fixEdgesAction; }

    // Lists the terrain files again and reads the chosen one (the first at start).
    void readFiles();
    // The tile pictures of the panel and the editor (none before a map is loaded).
    void setPictures(TilePictures pictures);
    // The actions follow whether a map is loaded and editable.
    void refresh();

    void fixEdges();
    void editTerrains();

    // Areas of more cells than this are fixed by a job.
    static constexpr std::int64_t kJobCells = std::int64_t(1) << 18;

signals:
    // A cell of the dock was chosen: the view should show it.
    void cellChosen(int x, int y);

private:
    void readFile(const QString& name);
    std::filesystem::path fileOf(const QString& name) const;
    // The area Fix edges works on: the selection, else one asked for; empty: none.
    tb::CellRect fixArea();
    void fixInJob(const tb::CellRect& area);
    void reportFix(const tb::TerrainEditResult& result);
    void marksChanged();

    tb::TerrainTool& m_tool;
    TerrainContext m_context;
    QWidget* m_window;
    tb::ListenerConnection m_following; // the tool follows the document
    TerrainPanel* m_panel = nullptr;
    MissingTransitionsDock* m_dock = nullptr;
    QAction* m_fixEdgesAction = nullptr;
    TilePictures m_pictures;
    QString m_problem; // why the chosen file gave no terrains
    bool m_hadMarks = false;
};

} // namespace tbapp
