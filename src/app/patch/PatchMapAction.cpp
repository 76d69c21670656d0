#include "app/patch/PatchMapAction.h"

#include "app/shell/JobRunner.h"
#include "app/shell/MapEditorLink.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"
#include "editor/MapDocument.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "shell/Progress.h"

#include <QWidget>

#include <memory>

namespace tbapp {

QString skippedEntriesMessage(int skipped, int total) {
    return QString("%1 of %2 entries lie outside the map and were skipped.")
        .arg(skipped)
        .arg(total);
}

namespace {

const QString kPatchCaption = "Patching the map";

using Ended = std::function<void(const PatchMapOutcome&)>;

void reportEnd(const Ended& ended, const PatchMapOutcome& outcome) {
    if (ended)
        ended(outcome);
}

// The entries of the patch read, worked out against the map's geometry beside the editor,
// then written into the document in one go.
void applyPatchFile(QWidget* parent, MapEditorLink& link, Prompts& prompts, JobRunner& jobs,
                    const QString& fileName, std::shared_ptr<const tb::KeyFile> patch,
                    Ended ended) {
    const int count = patch->entryCount();
    if (count == 0)
        prompts.showMessage(parent, tb::kPatchFileEmptyMessage);
    tb::MapDocument* document = link.mapDocument();
    if (count == 0 || document == nullptr) {
        reportEnd(ended, {});
        return;
    }
    // A gap means a damaged file: nothing of it is applied.
    if (const auto missing = tb::firstMissingPatchSection(*patch)) {
        prompts.showError(parent, QString::fromStdString(tb::missingPatchSectionMessage(
                                      tbapp::uiPath(fileName), *missing, count)));
        reportEnd(ended, {});
        return;
    }
    auto plan = std::make_shared<tb::PatchPlan>();
    Job job;
    job.caption = kPatchCaption;
    job.window = prompts.startProgress(count);
    job.work = [patch, plan, geometry = document->image().variant()](tb::Progress& progress) {
        *plan = tb::planPatch(geometry, *patch, progress);
    };
    job.succeeded = [parent, &link, &prompts, plan, count, ended] {
        // The one write of the run; the document's notification repaints the view.
        if (tb::MapDocument* target = link.mapDocument())
            tb::writePatchPlan(*target, *plan);
        const PatchMapOutcome outcome{!plan->error, plan->result.applied, plan->result.skipped};
        // Entries before a bad one stay applied.
        if (plan->error)
            prompts.showError(parent, QString::fromStdString(plan->error->what()));
        else if (outcome.skipped > 0)
            prompts.showMessage(parent, skippedEntriesMessage(outcome.skipped, count));
        reportEnd(ended, outcome);
    };
    job.reportStopOrFailure(prompts, parent, [ended] { reportEnd(ended, {}); });
    jobs.start(std::move(job));
}

} // namespace

void patchMapFromFile(QWidget* parent, MapEditorLink& link, const QString& appDir,
                      QString& initialDir, tbapp::Prompts& prompts, JobRunner& jobs,
                      std::function<void(const PatchMapOutcome&)> ended) {
    if (link.mapDocument() == nullptr) {
        link.repaintMap();
        reportEnd(ended, {});
        return;
    }
    if (jobs.busy()) {
        prompts.showMessage(parent, JobRunner::refusal(jobs.caption()));
        reportEnd(ended, {});
        return;
    }
    const QString fileName = prompts.openFileName(parent, {.title = "Patch Map from file",
                                                           .filter = "Tolvane Brimholt (*.qvp)",
                                                           .directory = initialDir,
                                                           .defaultName = "qvbrimholt.qvp"});
    if (fileName.isEmpty()) {
        link.repaintMap();
        reportEnd(ended, {});
        return;
    }
    initialDir = appDir;

    auto patch = std::make_shared<tb::KeyFile>();
    Job read;
    read.caption = kPatchCaption;
    read.work = [patch, path = tbapp::uiPath(fileName)](tb::Progress& progress) {
        *patch = tb::KeyFile::load(path);
        tb::stopIfRequested(progress, tb::kPatchApplyStoppedMessage);
    };
    read.succeeded = [parent, &link, &prompts, &jobs, fileName, patch, ended] {
        applyPatchFile(parent, link, prompts, jobs, fileName, patch, ended);
    };
    read.reportStopOrFailure(prompts, parent, [ended] { reportEnd(ended, {}); });
    jobs.start(std::move(read));
}

} // namespace tbapp
