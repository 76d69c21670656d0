#include "editor/AltitudeChanges.h"

#include <algorithm>

namespace tb {

void applyAltitudeChanges(MapDocument& document, std::span<const AltitudeChange> changes,
                          Progress& progress) {
    static constexpr const char* kCaption = "Importing heightmap";
    const auto total = std::int64_t(changes.size());
    // About a hundred reports, whatever the number of changes.
    const std::size_t step = std::max<std::size_t>(1, changes.size() / 100);
    MapDocument::Edit edit(document, MapDocument::Undo::Bulk);
    try {
        reportStep(progress, kCaption, 0, total, "The heightmap import was stopped.");
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const AltitudeChange& change = changes[i];
            const MapCell before = edit.cell(change.x, change.y);
            edit.write(change.x, change.y, MapCell{before.tileId, change.after});
            if ((i + 1) % step == 0)
                reportStep(progress, kCaption, std::int64_t(i + 1), total,
                           "The heightmap import was stopped.");
        }
    } catch (const OperationStopped&) {
        edit.rollback();
        throw;
    }
}

} // namespace tb
