#pragma once
// A small known world for the editor window tests: an Ilshenar-sized map2.mul and a game
// directory with a few art entries, written by the test itself.

#include "TestPaths.h"

#include "core/ArtFiles.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"

#include <QColor>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tbtest {

// Tile ids of the test art.
constexpr std::uint16_t kLandTile = 1;    // land art only
constexpr std::uint16_t kTextureTile = 2; // a 64 x 64 texture of 2 x 2 pixel blocks
constexpr std::uint16_t kBothTile = 3;    // a land tile and a uniform texture
constexpr std::uint16_t kMissingTile = 0; // nothing

constexpr std::uint16_t kBothTextureColour = 0x03E0; // pure green in 15 bits

// The 15-bit colour of land pixel i (storage order) and of texture block (bx, by).
inline std::uint16_t landPixel(int i) {
    return std::uint16_t((i * 37 + 5) & 0x7FFF);
}
inline std::uint16_t textureBlock(int bx, int by) {
    return std::uint16_t(((bx & 31) << 10) | ((by & 31) << 5) | ((bx + by) & 31));
}

// 15-bit to 24-bit, each channel times 8, written out here rather than taken from the code
// under test.
inline QColor expectedColour(std::uint16_t c) {
    return QColor(((c >> 10) & 31) * 8, ((c >> 5) & 31) * 8, (c & 31) * 8);
}

inline void putU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
inline void putU16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

// The four art files in memory: land art for tiles 1 and 3, textures for 2 and 3.
inline tb::ArtFiles makeTestArt() {
    tb::ArtFiles art;
    auto index = [](std::vector<unsigned char>& idx, std::int32_t offset, std::uint32_t length) {
        putU32(idx, std::uint32_t(offset));
        putU32(idx, length);
        putU32(idx, 0);
    };
    // artidx: 0 missing, 1 and 3 land tiles (the same pixels), 2 missing.
    std::vector<unsigned char> land;
    for (int i = 0; i < 1012; ++i)
        putU16(land, landPixel(i));
    land.resize(2048, 0);
    index(art.artIndex, -1, 0);
    index(art.artIndex, 0, 2048);
    index(art.artIndex, -1, 0);
    index(art.artIndex, 2048, 2048);
    art.artData = land;
    art.artData.insert(art.artData.end(), land.begin(), land.end());
    // texidx: 0 and 1 missing, 2 the block texture, 3 uniform green.
    index(art.textureIndex, -1, 0);
    index(art.textureIndex, -1, 0);
    index(art.textureIndex, 0, 8192);
    index(art.textureIndex, 8192, 8192);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            putU16(art.textureData, textureBlock(x / 2, y / 2));
    for (int i = 0; i < 64 * 64; ++i)
        putU16(art.textureData, kBothTextureColour);
    return art;
}

inline void writeGameDir(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    const tb::ArtFiles art = makeTestArt();
    writeBytes(dir / "artidx.mul", art.artIndex);
    writeBytes(dir / "art.mul", art.artData);
    writeBytes(dir / "texidx.mul", art.textureIndex);
    writeBytes(dir / "texmaps.mul", art.textureData);
    std::vector<unsigned char> radar;
    for (int i = 0; i < 16383; ++i)
        putU16(radar, std::uint16_t(i));
    writeBytes(dir / "radarcol.mul", radar);
}

inline const tb::MapVariant& ilshenar() {
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.fileName == "map2.mul")
            return v;
    throw std::logic_error("no map2.mul variant");
}

// An Ilshenar map: every byte patterned (so block headers are not zero), every cell tile
// 0 (no art) except a few known ones in the top-left corner:
// (0,0) texture tile, (1,0) land tile, (2,0) both, (0,1) land tile altitude -5.
inline tb::MapImage makeTestMap() {
    const tb::MapVariant& v = ilshenar();
    std::vector<unsigned char> bytes(std::size_t(v.fileSize));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>((i * 131) >> 3);
    tb::MapImage map(std::move(bytes), v);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            map.setCell(x, y, tb::MapCell{kMissingTile, std::int8_t(x - y)});
    map.setCell(0, 0, {kTextureTile, 0});
    map.setCell(1, 0, {kLandTile, 10});
    map.setCell(2, 0, {kBothTile, 20});
    map.setCell(0, 1, {kLandTile, -5});
    return map;
}

} // namespace tbtest
