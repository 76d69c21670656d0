#pragma once
// Generated map files for the tools' tests: whole files with a cell pattern and non-zero
// block headers, sparse files with a few marked cells, and positioned cell reads.

#include "core/MapVariant.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace toolstest {

// The known variant with this file name and size text ("map2.mul", "2304x1600").
tb::MapVariant variantNamed(std::string_view fileName, std::string_view sizeText);

// A cell value that differs from its neighbours and is never tile 0 at altitude 0, so a
// cell left blank or copied from the wrong place shows. `seed` tells maps apart.
std::uint16_t patternTile(int x, int y, int seed);
std::int8_t patternAltitude(int x, int y, int seed);

// The bytes of a whole map file of `variant`: pattern cells and headers 0xA0 + block % 16.
std::vector<unsigned char> patternMap(const tb::MapVariant& variant, int seed);

// The whole file in one read (the big maps make a byte-wise reader slow).
std::vector<unsigned char> readFile(const std::filesystem::path& path);

// A file of `size` bytes that reads as zeros without being written (sparse).
void makeSparseFile(const std::filesystem::path& path, std::int64_t size);

// Positioned reads and writes of one cell or of raw bytes.
struct Cell {
    std::uint16_t tile;
    std::int8_t altitude;
    friend bool operator==(const Cell&, const Cell&) = default;
};
void writeBytesAt(const std::filesystem::path& path, std::int64_t offset,
                  const std::vector<unsigned char>& bytes);
void writeCell(const std::filesystem::path& path, int x, int y, int heightBlocks, Cell cell);
Cell readCell(const std::filesystem::path& path, int x, int y, int heightBlocks);
Cell cellIn(const std::vector<unsigned char>& bytes, int x, int y, int heightBlocks);
void setCellIn(std::vector<unsigned char>& bytes, int x, int y, int heightBlocks, Cell cell);

} // namespace toolstest
