#include "app/patch/PatchMapAction.h"

#include "app/shell/MapEditorLink.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"
#include "editor/MapDocument.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "shell/Errors.h"

#include <QWidget>

namespace tbapp {

namespace {

// Disables a window for its lifetime; a window already disabled stays so.
class InputBlocker {
public:
    explicit InputBlocker(QWidget* window) : m_window(window) {
        if (m_window && m_window->isEnabled())
            m_window->setEnabled(false);
        else
            m_window = nullptr;
    }
    ~InputBlocker() {
        if (m_window)
            m_window->setEnabled(true);
    }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

private:
    QWidget* m_window;
};

} // namespace

QString skippedEntriesMessage(int skipped, int total) {
    return QString("%1 of %2 entries lie outside the map and were skipped.")
        .arg(skipped)
        .arg(total);
}

PatchMapOutcome patchMapFromFile(QWidget* parent, MapEditorLink& link, const QString& appDir,
                                 QString& initialDir, tbapp::Prompts& prompts) {
    PatchMapOutcome outcome;
    tb::MapDocument* document = link.mapDocument();
    if (document == nullptr) {
        link.repaintMap();
        return outcome;
    }
    const QString fileName = prompts.openFileName(parent, {.title = "Patch Map from file",
                                                           .filter = "Tolvane Brimholt (*.qvp)",
                                                           .directory = initialDir,
                                                           .defaultName = "qvbrimholt.qvp"});
    if (fileName.isEmpty()) {
        link.repaintMap();
        return outcome;
    }
    initialDir = appDir;

    tb::KeyFile patch;
    try {
        patch = tb::KeyFile::load(tbapp::uiPath(fileName));
    } catch (const tb::FileError& e) {
        prompts.showError(parent, QString::fromStdString(e.what()));
        return outcome;
    }
    const int count = patch.entryCount();
    if (count == 0) {
        prompts.showMessage(parent, tb::kPatchFileEmptyMessage);
        return outcome;
    }
    // A gap means a damaged file: nothing of it is applied.
    if (const auto missing = tb::firstMissingPatchSection(patch)) {
        prompts.showError(parent, QString::fromStdString(tb::missingPatchSectionMessage(
                                      tbapp::uiPath(fileName), *missing, count)));
        return outcome;
    }

    QString failure;
    {
        // The run lets the progress window repaint between entries; meanwhile the window
        // that started it takes no input, so no Load, painting or second run slips in.
        const InputBlocker blocked(parent);
        const auto progress = prompts.startProgress(count);
        try {
            const tb::PatchResult result =
                tb::applyPatch(*document, patch, [&](int i, const std::string& text) {
                    progress->showItem(i, QString::fromStdString(text));
                });
            outcome = {true, result.applied, result.skipped};
        } catch (const tb::PatchEntryError& e) {
            failure = QString::fromStdString(e.what());
            outcome.applied = e.before().applied;
            outcome.skipped = e.before().skipped;
        }
    } // the progress window closes and the window takes input again, however the run ended
    // Entries before a bad one stay applied; the document's notification has the view
    // redraw them either way.
    if (!failure.isEmpty())
        prompts.showError(parent, failure);
    else if (outcome.skipped > 0)
        prompts.showMessage(parent, skippedEntriesMessage(outcome.skipped, count));
    return outcome;
}

} // namespace tbapp
