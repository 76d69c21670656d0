#include "app/editor/ToolWindowCommands.h"

#include "app/patch/CoordinateListDialog.h"
#include "app/patch/PatchEditorWindow.h"
#include "app/patch/PatchMapAction.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/MapEditorLink.h"
#include "app/shell/Prompts.h"
#include "app/tools/MapCopyDialog.h"
#include "app/tools/MapEnlargeDialog.h"

#include <QDialog>

namespace tbapp {

ToolWindowCommands::ToolWindowCommands(MapEditorLink& editor, const QString& applicationDir,
                                       Prompts& prompts, JobRunner& documentJobs, QWidget* window)
    : QObject(window), m_editor(editor), m_applicationDir(applicationDir), m_prompts(prompts),
      m_documentJobs(documentJobs), m_window(window) {}

void ToolWindowCommands::setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow) {
    m_patchEditor = patchEditor;
    m_diffWindow = diffWindow;
}

void ToolWindowCommands::showCoordinateList(const QString& jumpX, const QString& jumpY) {
    CoordinateListDialog list(m_applicationDir, m_editor, jumpX, jumpY, m_prompts, m_window);
    m_prompts.execDialog(list);
}

void ToolWindowCommands::patchMapFromFile() {
    tbapp::patchMapFromFile(m_window, m_editor, m_applicationDir, m_patchInitialDir, m_prompts,
                            m_documentJobs, [this](const PatchMapOutcome&) { emit mapTouched(); });
}

void ToolWindowCommands::showPatchEditor() {
    if (m_patchEditor) {
        m_patchEditor->show();
        m_patchEditor->raise();
    }
}

void ToolWindowCommands::insertIntoPatchEditor() {
    auto* editor = qobject_cast<PatchEditorWindow*>(m_patchEditor);
    if (editor && editor->isVisible() && m_editor.loadedMap()) {
        editor->insertCurrentCell();
        emit mapTouched();
    }
}

void ToolWindowCommands::showDiffWindow() {
    if (m_diffWindow)
        m_prompts.execDialog(*m_diffWindow);
}

void ToolWindowCommands::enlargeMap() {
    MapEnlargeDialog form(m_prompts, &m_editor, m_window);
    m_prompts.execDialog(form);
}

void ToolWindowCommands::copyMap() {
    {
        MapCopyDialog form(m_prompts, &m_editor, m_window);
        m_prompts.execDialog(form);
        // The loaded map is being read again with the view where it was.
        if (form.wroteLoadedMap())
            return;
    }
    m_editor.setJumpTexts("0", "0");
    m_editor.jumpToBoxes();
    m_editor.repaintMap();
}

void ToolWindowCommands::showAbout() {
    (new AboutDialog(m_window))->show();
}

} // namespace tbapp
