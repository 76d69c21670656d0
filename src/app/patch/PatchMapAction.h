#pragma once
// Extra > "Patch Map from file": applies a ".qvp" patch file to the map loaded in the main
// window, with a progress window, then repaints the map. Entries whose cell lies outside
// the map are skipped, and a message after the run says how many.

#include "app/shell/Prompts.h"

#include <QString>

#include <functional>

namespace tbapp {
class JobRunner;
class MapEditorLink;
} // namespace tbapp
class QWidget;

namespace tbapp {

struct PatchMapOutcome {
    bool ran = false; // a file was chosen and its entries were applied to the end
    int applied = 0;
    int skipped = 0;
};

// The text shown after a run that skipped `skipped` of `total` entries.
QString skippedEntriesMessage(int skipped, int total);

// Runs the command. `initialDir` is the open dialog's initial directory, kept by the caller
// between runs; it becomes `appDir` once a file has been chosen. The file is read and the
// patch worked out as jobs of `jobs` (the runner of the jobs that change the document, which
// refuses the command while one runs), beside the editor and with the progress window;
// its writes then go into the document at once, on the UI thread. Cancel in the progress
// window leaves the document as it was. Refusals and failures are shown through `prompts`:
// "File is empty or corupted!" for a file without entries, an error naming the file and the
// first missing section for a file whose counted sections are not all there (nothing
// applied), the conversion message of a bad entry (the entries before it stay applied). `ended`
// hears the outcome when the command has ended, at once or after its jobs; everything given must
// outlive them.
void patchMapFromFile(QWidget* parent, MapEditorLink& link, const QString& appDir,
                      QString& initialDir, tbapp::Prompts& prompts, JobRunner& jobs,
                      std::function<void(const PatchMapOutcome&)> ended = {});

} // namespace tbapp
