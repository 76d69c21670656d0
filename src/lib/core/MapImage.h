#pragma once
// A whole map file held in memory. Cells are addressed through the variant the file was
// identified as; a file of unknown size can be held and saved, but has no cells. A map read
// from a UOP container remembers the container's layout and is saved as such a container.

#include "core/MapFile.h"
#include "core/MapVariant.h"
#include "core/UopMapLayout.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tb {

struct MapCell {
    std::uint16_t tileId = 0;
    std::int8_t altitude = 0;
    friend bool operator==(const MapCell&, const MapCell&) = default;
};

class MapImage {
public:
    MapImage() = default;
    // Takes the bytes of a file as they stand; `variant` gives the geometry (none: no cells).
    MapImage(std::vector<unsigned char> bytes, std::optional<MapVariant> variant);

    // Reads the whole file in one piece and identifies it: a .mul by its name and size, a
    // container (a name ending in ".uop") by the facet digit of its name and its map
    // entries. Throws FileError naming the file when it cannot be read, or for a container
    // that cannot be read, has no facet digit in its name or lacks a map entry. `progress`
    // gets the bytes read of the map's under kMapLoadText; a stop throws OperationStopped
    // (kMapLoadStoppedMessage).
    static MapImage load(const std::filesystem::path& path, Progress& progress = noProgress());
    // Reads the map of facet `facet` from the container at `path`, whatever its name.
    static MapImage loadContainer(const std::filesystem::path& path, int facet,
                                  Progress& progress = noProgress());

    // Writes the map in the format it was read in, replacing `path` atomically: a .mul as one
    // buffer, a container with the layout it was read with (its padding included; under a
    // name of another facet, its map entries named for that facet). A name that says the
    // other format (".mul" for a container, ".uop" for a .mul) is refused.
    // Throws FileError naming the path; the old file and this image are unchanged then.
    // `progress` gets the bytes written under kMapSaveText; a stop throws OperationStopped
    // (kMapSaveStoppedMessage), the old file unchanged too.
    void save(const std::filesystem::path& path, Progress& progress = noProgress()) const;

    MapFileFormat format() const { return m_container ? MapFileFormat::Uop : MapFileFormat::Mul; }

    const std::optional<MapVariant>& variant() const { return m_variant; }
    bool hasGeometry() const { return m_variant.has_value(); }
    int width() const { return m_variant ? m_variant->width : 0; }
    int height() const { return m_variant ? m_variant->height : 0; }
    bool contains(std::int32_t x, std::int32_t y) const {
        return m_variant && m_variant->contains(x, y);
    }

    // Cell access; throws std::out_of_range for a cell outside the map (or any cell of a
    // map without geometry). Inline, because views and tools read cells one at a time.
    MapCell cell(std::int32_t x, std::int32_t y) const {
        if (!contains(x, y)) [[unlikely]]
            throwOutside(x, y);
        return cellUnchecked(x, y);
    }
    void setCell(std::int32_t x, std::int32_t y, MapCell value);

    // Unchecked access for hot loops whose bounds the caller has already established.
    MapCell cellUnchecked(std::int32_t x, std::int32_t y) const {
        const unsigned char* p = m_bytes.data() + offsetInside(x, y);
        return {static_cast<std::uint16_t>(p[0] | (p[1] << 8)), static_cast<std::int8_t>(p[2])};
    }
    void setCellUnchecked(std::int32_t x, std::int32_t y, MapCell value) {
        unsigned char* p = m_bytes.data() + offsetInside(x, y);
        p[0] = static_cast<unsigned char>(value.tileId);
        p[1] = static_cast<unsigned char>(value.tileId >> 8);
        p[2] = static_cast<unsigned char>(value.altitude);
    }

    const std::vector<unsigned char>& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }
    // The map's bytes for tools that write whole blocks in place (map copy); their number
    // cannot change.
    std::span<unsigned char> writableBytes() { return m_bytes; }

private:
    [[noreturn]] static void throwOutside(std::int32_t x, std::int32_t y);
    std::int64_t checkedOffset(std::int32_t x, std::int32_t y) const;
    // cellOffset for a cell known to be inside the map: non-negative coordinates let the
    // divisions become shifts.
    std::size_t offsetInside(std::int32_t x, std::int32_t y) const {
        const auto ux = std::uint32_t(x);
        const auto uy = std::uint32_t(y);
        return (std::size_t(ux / 8) * std::size_t(m_heightBlocks) + uy / 8) * kBlockSize +
               kBlockHeaderSize + (uy % 8) * (kCellsPerBlockSide * kCellSize) +
               (ux % 8) * kCellSize;
    }

    std::vector<unsigned char> m_bytes;
    std::optional<MapVariant> m_variant;
    int m_heightBlocks = 0;
    std::optional<UopMapLayout> m_container; // set for a map read from a container
};

} // namespace tb
