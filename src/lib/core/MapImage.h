#pragma once
// A whole map file held in memory. Cells are addressed through the variant the file was
// identified as; a file of unknown size can be held and saved, but has no cells.

#include "core/MapVariant.h"

#include <cstdint>
#include <filesystem>
#include <optional>
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

    // Reads the whole file in one piece and identifies it by its name and size.
    // Throws FileError when it cannot be read.
    static MapImage load(const std::filesystem::path& path);

    // Writes the whole buffer to `path`, replacing it atomically. Throws FileError naming
    // the path; the old file and this image are unchanged then.
    void save(const std::filesystem::path& path) const;

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
};

} // namespace tb
