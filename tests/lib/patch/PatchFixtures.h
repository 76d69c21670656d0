#pragma once
// A small real-geometry map for the patch tests: map4.mul (Tokuno, 1448 x 1448), every
// cell tile 0x0003 at altitude 0 unless a test changes it.

#include "core/MapImage.h"
#include "core/MapVariant.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace patchtest {

inline std::vector<unsigned char> tokunoBytes() {
    const tb::MapVariant v = *tb::identifyMapVariant("map4.mul", 6'421'156);
    std::vector<unsigned char> bytes(std::size_t(v.fileSize), 0);
    for (int block = 0; block < v.widthBlocks() * v.heightBlocks(); ++block) {
        bytes[std::size_t(block) * tb::kBlockSize] = 0xAB; // a header the patch must keep
        for (int c = 0; c < 64; ++c)
            bytes[std::size_t(block) * tb::kBlockSize + 4 + std::size_t(c) * 3] = 0x03;
    }
    return bytes;
}

inline tb::MapImage tokunoMap() {
    const auto bytes = tokunoBytes();
    const auto size = std::int64_t(bytes.size());
    return tb::MapImage(bytes, tb::identifyMapVariant("map4.mul", size));
}

// Writes `text` byte for byte (no line-end translation).
inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace patchtest
