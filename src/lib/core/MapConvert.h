#pragma once
// Conversion of a map file between the .mul and the UOP container form, the form of each
// side chosen by its name's extension. A conversion both ways gives back the original bytes;
// a container's padding after a known variant is not part of the map and is not carried
// into a .mul.

#include <filesystem>
#include <optional>

namespace tb {

// Converts `source` into `destination` (replaced atomically). A container's facet is
// `facet` when given, else the digit in that container's own name. Throws FileError naming
// the file that cannot be read or written, the container whose name holds no facet digit
// when `facet` is not given, a source that is no known map, a destination that is the
// source itself, or one whose name or facet is not that of the source's variant (a
// map4.mul is written as map4.mul or a facet 4 container, nothing else);
// std::invalid_argument for a destination whose name ends in neither ".mul" nor ".uop".
// Nothing is written on failure.
void convertMapFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                    std::optional<int> facet = {});

} // namespace tb
