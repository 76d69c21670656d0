#pragma once
// Writing a map container in one piece: the header, then each table followed by its
// entries' bytes, every map entry stored with the Adler-32 of its bytes.

#include "core/UopMapLayout.h"
#include "shell/Progress.h"

#include <filesystem>
#include <span>

namespace tb {

// Writes `mapBytes` followed by the layout's padding as a container laid out as `layout`,
// replacing `path` atomically. The map entries' lengths must add up to the map's bytes
// and the padding (std::invalid_argument otherwise). Throws FileError naming the path; the
// old file is then left as it was. `progress` gets the map bytes written under kMapSaveText
// after each map entry; a stop throws OperationStopped (kMapSaveStoppedMessage), the old
// file left as it was too.
void writeUopMap(const std::filesystem::path& path, const UopMapLayout& layout,
                 std::span<const unsigned char> mapBytes, Progress& progress = noProgress());

} // namespace tb
