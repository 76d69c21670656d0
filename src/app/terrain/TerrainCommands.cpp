#include "app/terrain/TerrainCommands.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"
#include "app/terrain/FixAreaDialog.h"
#include "app/terrain/MissingTransitionsDock.h"
#include "app/terrain/TerrainEditorDialog.h"
#include "app/terrain/TerrainPanel.h"

#include "catalogue/TerrainFile.h"
#include "editor/MapDocument.h"
#include "editor/TerrainFixPlan.h"
#include "editor/TerrainTool.h"
#include "shell/SeededRandomSource.h"

#include <QAction>
#include <QStringList>

#include <climits>
#include <memory>

namespace tbapp {

TerrainCommands::TerrainCommands(tb::TerrainTool& tool, TerrainContext context, QWidget* window)
    : QObject(window), m_tool(tool), m_context(std::move(context)), m_window(window) {
    m_following = m_context.document->connect(&m_tool);
    m_panel = new TerrainPanel(window);
    m_dock = new MissingTransitionsDock(window);
    m_fixEdgesAction = new QAction("Fix terrain edges...", this);
    m_fixEdgesAction->setObjectName("FixTerrainEdges1");
    m_fixEdgesAction->setStatusTip(
        "Give every cell of the item selection, or of a rectangle you give, the tile its "
        "corners ask for");

    connect(m_panel, &TerrainPanel::fileChosen, this, &TerrainCommands::readFile);
    connect(m_panel, &TerrainPanel::terrainChosen, this,
            [this](std::optional<tb::TerrainId> terrain) { m_tool.chooseTerrain(terrain); });
    connect(m_panel, &TerrainPanel::fixEdgesClicked, this, &TerrainCommands::fixEdges);
    connect(m_panel, &TerrainPanel::editClicked, this, &TerrainCommands::editTerrains);
    connect(m_fixEdgesAction, &QAction::triggered, this, &TerrainCommands::fixEdges);
    connect(m_dock, &MissingTransitionsDock::cellChosen, this, &TerrainCommands::cellChosen);
    connect(m_context.documentJobs, &JobRunner::busyChanged, this, &TerrainCommands::refresh);
    m_tool.setMarksListener([this] { marksChanged(); });
    readFiles();
}

// The window deletes the commands before its tool goes.
TerrainCommands::~TerrainCommands() {
    m_tool.setMarksListener({});
}

std::filesystem::path TerrainCommands::fileOf(const QString& name) const {
    return tb::terrainFilePath(uiPath(m_context.applicationDir), name.toStdString());
}

void TerrainCommands::readFiles() {
    const QString chosen = m_panel->chosenFile();
    QStringList names;
    for (const std::string& name : tb::listTerrainFiles(uiPath(m_context.applicationDir)))
        names << QString::fromStdString(name);
    // The file chosen before stays chosen; at first, the first one.
    const QString next = names.contains(chosen) ? chosen : names.value(0);
    m_panel->showFiles(names, next);
    readFile(next);
}

// A file that cannot be read leaves the tool without terrains; the panel says why.
void TerrainCommands::readFile(const QString& name) {
    tb::TerrainSet set;
    m_problem.clear();
    if (name.isEmpty()) {
        m_problem = QString("No terrain files in %1: put one there, such as demo.xml.")
                        .arg(uiText(uiPath(m_context.applicationDir) / tb::kTerrainsFolder));
    } else {
        try {
            set = tb::readTerrainFile(fileOf(name));
        } catch (const std::exception& error) {
            m_problem = QString::fromStdString(error.what());
        }
    }
    m_tool.setTerrains(set);
    m_panel->showTerrains(set, m_tool.tiles(), m_problem);
    refresh();
}

void TerrainCommands::setPictures(TilePictures pictures) {
    m_pictures = pictures;
    m_panel->setPictures(std::move(pictures));
}

void TerrainCommands::refresh() {
    const bool editable = m_context.editableDocument() != nullptr;
    const bool haveTiles = !m_tool.terrains().tiles.empty();
    m_fixEdgesAction->setEnabled(editable && haveTiles);
    m_panel->setCommandsEnabled(editable && haveTiles, m_problem.isEmpty());
}

tb::CellRect TerrainCommands::fixArea() {
    const tb::CellRect map = tb::wholeMap(m_context.document->image());
    const tb::CellRect selected = m_context.selection().intersected(map);
    if (!selected.isEmpty())
        return selected;
    FixAreaDialog dialog(map, m_window);
    if (m_context.prompts->execDialog(dialog) != QDialog::Accepted)
        return {};
    return dialog.area().intersected(map);
}

void TerrainCommands::fixEdges() {
    Prompts& prompts = *m_context.prompts;
    if (m_context.documentJobs->busy()) {
        prompts.showMessage(m_window, JobRunner::refusal(m_context.documentJobs->caption()));
        return;
    }
    if (!m_context.editableDocument() || !m_context.document->image().hasGeometry()) {
        prompts.showMessage(m_window, "Load a map before you fix terrain edges.");
        return;
    }
    if (m_tool.terrains().tiles.empty()) {
        prompts.showMessage(m_window, "Choose a terrain file with tiles in the Terrain panel "
                                      "before you fix terrain edges.");
        return;
    }
    const tb::CellRect area = fixArea();
    if (area.isEmpty())
        return;
    if (area.cellCount() > kJobCells) {
        fixInJob(area);
        return;
    }
    if (const std::optional<tb::TerrainEditResult> result = m_tool.fixEdges(area))
        reportFix(*result);
}

// The plan reads the document while the job holds it; its draws come from a source of their
// own, seeded from the editor's, as the job runs on another thread.
void TerrainCommands::fixInJob(const tb::CellRect& area) {
    auto plan = std::make_shared<tb::TerrainFixPlan>();
    auto tiles = std::make_shared<const tb::TerrainTiles>(m_tool.tiles());
    const auto seed = std::uint32_t(m_context.random->uniform(INT_MAX));
    Job job;
    job.caption =
        QString::fromUtf8(tb::kTerrainFixCaption.data(), qsizetype(tb::kTerrainFixCaption.size()));
    job.window = m_context.prompts->startProgress(int(area.bottom - area.top) + 2);
    job.work = [plan, tiles, area, seed,
                &map = m_context.document->image()](tb::Progress& progress) {
        tb::SeededRandomSource random(seed);
        *plan = tb::planTerrainFix(map, *tiles, area, random, progress);
    };
    job.succeeded = [this, plan] {
        if (const std::optional<tb::TerrainEditResult> result = m_tool.applyFix(*plan))
            reportFix(*result);
    };
    job.reportStopOrFailure(*m_context.prompts, m_window);
    if (!m_context.documentJobs->start(std::move(job)))
        m_context.prompts->showMessage(m_window,
                                       JobRunner::refusal(m_context.documentJobs->caption()));
}

void TerrainCommands::reportFix(const tb::TerrainEditResult& result) {
    const tb::CellRect& a = result.area;
    QString text = QString("Fix edges from %1, %2 to %3, %4: %5 %6 changed")
                       .arg(a.left)
                       .arg(a.top)
                       .arg(a.right)
                       .arg(a.bottom)
                       .arg(result.changed)
                       .arg(result.changed == 1 ? "cell" : "cells");
    if (result.missing.empty())
        text += ", no transition is missing.";
    else
        text += QString(", %1 %2 (see View > Missing transitions).")
                    .arg(result.missing.size())
                    .arg(result.missing.size() == 1 ? "transition is missing"
                                                    : "transitions are missing");
    m_context.prompts->showMessage(m_window, text);
}

// The dock opens when marks appear where there were none.
void TerrainCommands::marksChanged() {
    m_dock->showCells(m_tool.missing().all());
    const bool haveMarks = !m_tool.missing().empty();
    if (haveMarks && !m_hadMarks)
        m_dock->show();
    m_hadMarks = haveMarks;
}

void TerrainCommands::editTerrains() {
    const QString name = m_panel->chosenFile();
    if (name.isEmpty() || !m_problem.isEmpty()) {
        m_context.prompts->showMessage(m_window, m_problem);
        return;
    }
    TerrainEditorDialog dialog(fileOf(name), m_tool.terrains(), m_pictures, *m_context.prompts,
                               m_context.paletteTile(), m_window);
    m_context.prompts->execDialog(dialog);
    if (dialog.saved())
        readFile(name);
}

} // namespace tbapp
