#pragma once
// A heightmap's altitude changes applied to the edited map as one operation.

#include "core/Heightmap.h"
#include "editor/MapDocument.h"
#include "shell/Progress.h"

#include <span>

namespace tb {

// Writes each change's altitude into `document`, keeping the cells' tile ids, as one bulk
// edit: one change for the listeners, undone and redone as one step. `progress` hears
// "Importing heightmap" with the changes written so far; when it asks to stop, every cell
// written goes back to its value, nothing is kept for undo and OperationStopped is thrown.
// A change outside the map throws std::out_of_range; the cells before it stay written.
void applyAltitudeChanges(MapDocument& document, std::span<const AltitudeChange> changes,
                          Progress& progress = noProgress());

} // namespace tb
