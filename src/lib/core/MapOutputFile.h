#pragma once
// A new map file filled by positioned writes of map bytes, for tools that build a map
// without holding it in memory (map enlargement, conversion): a .mul as it stands, or a
// container when the name ends in ".uop", laid out as UopMapLayout::fresh. A container's
// checksums are taken as the bytes pass when they come in order, else read back at commit().

#include "core/UopMapLayout.h"
#include "shell/AtomicFileWriter.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace tb {

class MapOutputFile {
public:
    // A map of `mapLength` bytes; `facet` names a container's entries. Throws FileError
    // naming the path when the temporary file beside it cannot be made.
    MapOutputFile(const std::filesystem::path& path, std::int64_t mapLength, int facet);

    // Writes map bytes at map offset `offset`; the whole map must be written before commit().
    void writeAt(std::int64_t offset, const void* data, std::size_t size);
    // Finishes the file and puts it in place of the old one. Destroyed before, the old file
    // (or nothing) stays under the name.
    void commit();

private:
    AtomicFileWriter m_file;
    std::int64_t m_mapLength;
    std::optional<UopMapLayout> m_layout;
    UopPlacement m_place;
    // Checksums of the entries so far while every write continues the one before.
    std::vector<std::uint32_t> m_adlers;
    std::int64_t m_inOrderUpTo = 0;
    bool m_inOrder = true;
};

} // namespace tb
