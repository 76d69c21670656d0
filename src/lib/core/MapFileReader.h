#pragma once
// Positioned reads of a map file's bytes without holding the map in memory, for the tools
// that stream a map (diff generation, enlargement, copy): a .mul is read as it lies on disk,
// a container through its map entries, a zlib entry inflated once while reads stay in it.

#include "core/MapVariant.h"
#include "core/UopContainer.h"
#include "core/UopMap.h"
#include "shell/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace tb {

class MapFileReader {
public:
    // Opens the map file at `path`: a container when its name ends in ".uop", its facet from
    // the name unless `facet` is given. Throws FileError naming the file when it cannot be
    // read, or for a container that cannot be read or has no facet digit in its name.
    explicit MapFileReader(const std::filesystem::path& path, std::optional<int> facet = {});
    ~MapFileReader();
    MapFileReader(const MapFileReader&) = delete;
    MapFileReader& operator=(const MapFileReader&) = delete;

    const std::filesystem::path& path() const { return m_file.path(); }
    // The variant identified by name and size (a .mul) or facet and map bytes (a container).
    const std::optional<MapVariant>& variant() const { return m_variant; }
    // The map's bytes; a container's padding after a known variant is not part of them.
    std::int64_t size() const { return m_size; }

    // Reads exactly `size` map bytes at `offset`. Throws FileError naming the file when they
    // do not all lie inside the map or cannot be read.
    void readAt(std::int64_t offset, void* data, std::size_t size) const;
    // Throws the FileError that reading the whole map would throw, without keeping its
    // bytes: a container's entries that are not stored plainly are inflated once each.
    // Nothing to do for a .mul, whose every byte lies in the file.
    void checkEntries() const;

private:
    FileReader m_file;
    std::unique_ptr<UopContainer> m_container; // null for a .mul
    UopMapEntries m_entries;
    std::optional<MapVariant> m_variant;
    std::int64_t m_size = 0;
    // The last zlib entry inflated, kept while reads stay inside it.
    mutable std::vector<unsigned char> m_inflated;
    mutable std::size_t m_inflatedIndex = SIZE_MAX;
};

} // namespace tb
