#include "app/editor/StartupWindows.h"

namespace tbapp {

StartupWindows::StartupWindows(QSettings& settings, const QString& applicationDir,
                               std::mt19937& random, Prompts& prompts)
    : mainForm(settings, applicationDir, random, prompts),
      patchEditor(applicationDir, mainForm, prompts, &mainForm), progress(&mainForm),
      prForm(&mainForm), diffWindow(settings, prForm, prompts, &mainForm) {
    mainForm.setLongLivedWindows(&patchEditor, &diffWindow);
}

} // namespace tbapp
