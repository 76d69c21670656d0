#include "patch/PatchMapAction.h"

#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "patch/UiPrompts.h"
#include "shell/Errors.h"
#include "shell/MapEditorLink.h"

QString skippedEntriesMessage(int skipped, int total) {
    return QString("%1 of %2 entries lie outside the map and were skipped.")
        .arg(skipped)
        .arg(total);
}

PatchMapOutcome patchMapFromFile(QWidget* parent, MapEditorLink& link, const QString& appDir,
                                 QString& initialDir, UiPrompts* promptsOrNull) {
    UiPrompts& prompts = promptsOrNull ? *promptsOrNull : UiPrompts::standard();
    PatchMapOutcome outcome;
    tb::MapImage* map = link.loadedMap();
    if (map == nullptr) {
        link.repaintMap();
        return outcome;
    }
    const QString fileName = prompts.openFileName(
        parent, {"Patch Map from file", "Tolvane Brimholt (*.qvp)", initialDir, "qvbrimholt.qvp"});
    if (fileName.isEmpty()) {
        link.repaintMap();
        return outcome;
    }
    initialDir = appDir;

    tb::KeyFile patch;
    try {
        patch = tb::KeyFile::load(uiPath(fileName));
    } catch (const tb::FileError& e) {
        prompts.showError(parent, QString::fromStdString(e.what()));
        return outcome;
    }
    const int count = patch.entryCount();
    if (count == 0) {
        prompts.showMessage(parent, tb::kPatchFileEmptyMessage);
        return outcome;
    }

    QString failure;
    {
        const auto progress = prompts.startProgress(count);
        try {
            const tb::PatchResult result =
                tb::applyPatch(*map, patch, [&](int i, const std::string& text) {
                    progress->showItem(i, QString::fromStdString(text));
                });
            outcome = {true, result.applied, result.skipped};
        } catch (const tb::PatchEntryError& e) {
            failure = QString::fromStdString(e.what());
            outcome.applied = e.before().applied;
            outcome.skipped = e.before().skipped;
        }
    } // the progress window closes here, on success and on failure alike
    // Entries before a bad one stay applied, so the view shows them either way.
    link.repaintMap();
    if (!failure.isEmpty())
        prompts.showError(parent, failure);
    else if (outcome.skipped > 0)
        prompts.showMessage(parent, skippedEntriesMessage(outcome.skipped, count));
    return outcome;
}
