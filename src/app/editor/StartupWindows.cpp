#include "editor/StartupWindows.h"

StartupWindows::StartupWindows(QSettings& settings, const QString& applicationDir,
                               std::mt19937& random)
    : mainForm(settings, applicationDir, random), patchEditor(applicationDir, mainForm, &mainForm),
      progress(&mainForm), prForm(&mainForm), diffWindow(settings, prForm, &mainForm) {
    mainForm.setLongLivedWindows(&patchEditor, &diffWindow);
}
