#pragma once
// The windows that live from start-up to exit, created in this order: the main window, the
// patch editor, the progress window, the second progress window (which the diff window
// reports to) and the diff window. The options dialog is not among them: it is made each
// time it is opened, so start-up reads its files (and reports their errors) only once.

#include "app/diff/DiffPatchDialog.h"
#include "app/editor/MapEditorWindow.h"
#include "app/patch/PatchEditorWindow.h"
#include "app/shell/ItemProgressDialog.h"
#include "app/shell/StageProgressDialog.h"

#include <QString>

#include <random>

class QSettings;

namespace tbapp {

struct StartupWindows {
    // `settings`, `random` and `prompts` must outlive the windows; `applicationDir` ends
    // with a separator. The main window is told of the patch editor and the diff window.
    StartupWindows(QSettings& settings, const QString& applicationDir, std::mt19937& random,
                   Prompts& prompts);

    MapEditorWindow mainForm;
    PatchEditorWindow patchEditor;
    ItemProgressDialog progress;
    StageProgressDialog prForm;
    DiffPatchDialog diffWindow;
};

} // namespace tbapp
