#pragma once
// Extra > "Patch Map from file": applies a ".qvp" patch file to the map loaded in the main
// window, with a progress window, then repaints the map. Entries whose cell lies outside
// the map are skipped, and a message after the run says how many.

#include "app/shell/Prompts.h"

#include <QString>

namespace tbapp {
class MapEditorLink;
}
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
// between runs; it becomes `appDir` once a file has been chosen. Refusals and failures are
// shown through `prompts`: "File is empty or corupted!" for a
// file without entries, an error naming the file and the first missing section for a file
// whose counted sections are not all there (nothing applied), the conversion message of a
// bad entry (the entries before it stay applied).
PatchMapOutcome patchMapFromFile(QWidget* parent, MapEditorLink& link, const QString& appDir,
                                 QString& initialDir, tbapp::Prompts& prompts);

} // namespace tbapp
