#pragma once
// The known map files of the game client and how a cell is addressed in them.
//
// A map file is a headerless run of 196-byte blocks (4-byte header, 8 x 8 cells of 3 bytes:
// unsigned 16-bit tile id, signed 8-bit altitude). Blocks are stored column-major: all blocks
// of the first block column from north to south, then the next column.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tb {

constexpr int kBlockSize = 196;
constexpr int kBlockHeaderSize = 4;
constexpr int kCellSize = 3;
constexpr int kCellsPerBlockSide = 8;

// A map's size in cells; the windows show it as mapSizeText.
struct MapSize {
    int width = 0;
    int height = 0;
    int widthBlocks() const { return width / kCellsPerBlockSide; }
    int heightBlocks() const { return height / kCellsPerBlockSide; }
    friend bool operator==(const MapSize&, const MapSize&) = default;
};

// "7168x4096", the size label of the windows and of tbmap info.
std::string mapSizeText(MapSize size);

struct MapVariant {
    std::string_view fileName; // lower case, no directory
    std::int64_t fileSize;     // exact size in bytes
    std::string_view caption;  // shown as the map version
    int width;                 // in cells
    int height;
    MapSize size() const { return {width, height}; }
    int widthBlocks() const { return width / kCellsPerBlockSide; }
    int heightBlocks() const { return height / kCellsPerBlockSide; }
    // Bytes covered by the blocks; a file may carry a tail beyond them (one known variant).
    std::int64_t addressedSize() const {
        return std::int64_t(widthBlocks()) * heightBlocks() * kBlockSize;
    }
    bool contains(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
};

// The caption of both the version and the size label when no variant matches.
inline constexpr std::string_view kNoVariantCaption = "None";

// The eight known variants, in the order they are tested.
std::span<const MapVariant> mapVariants();

// The variant with this file name (directory ignored, case-insensitive) and exact size.
std::optional<MapVariant> identifyMapVariant(std::string_view fileName, std::int64_t fileSize);

// True when the name (directory ignored, case-insensitive) is one of map0.mul .. map5.mul.
bool isMapFileName(std::string_view fileName);

struct BlockGeometry {
    int widthBlocks;
    int heightBlocks;
};

struct CellPoint {
    std::int32_t x;
    std::int32_t y;
    friend bool operator==(const CellPoint&, const CellPoint&) = default;
};

// Byte offset of cell (x, y) in a map `heightBlocks` blocks high. x and y must be >= 0.
constexpr std::int64_t cellOffset(std::int32_t x, std::int32_t y, int heightBlocks) {
    return (std::int64_t(x / 8) * heightBlocks + y / 8) * kBlockSize + kBlockHeaderSize +
           (y % 8) * (kCellsPerBlockSide * kCellSize) + (x % 8) * kCellSize;
}

} // namespace tb
