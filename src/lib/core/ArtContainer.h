#pragma once
// Art from the art container of current clients (artLegacyMUL.uop), which they ship instead
// of artidx.mul/art.mul: entry "build/artlegacymul/<id as 8 digits>.tga" holds the bytes
// that art.mul holds for art id `id`; land tiles are ids 0 .. 0x3FFF, item n is id
// 0x4000 + n.

#include <filesystem>
#include <optional>
#include <vector>

namespace tb {

inline constexpr const char* kArtContainerName = "artLegacyMUL.uop";
inline constexpr int kLandTileIdCount = 0x4000;
inline constexpr int kItemArtIdCount = 0x10000;

// The art container of `gameDir`, its name matched without regard to case (the exact
// spelling first); nullopt when there is none.
std::optional<std::filesystem::path> findArtContainer(const std::filesystem::path& gameDir);

// Reads the land tiles and items of the container at `path` into an index and data laid out
// as artidx.mul and art.mul, so that pictures are made from them exactly as from those files
// and at the same cost. Land entries of other lengths than a land tile's (2048 or 2024
// bytes) give no tile either way and are left out. Throws FileError naming the file.
void readArtContainer(const std::filesystem::path& path, std::vector<unsigned char>& artIndex,
                      std::vector<unsigned char>& artData);

// True when `gameDir` holds texidx.mul, texmaps.mul and land art: artidx.mul with art.mul,
// or an art container.
bool hasGameArt(const std::filesystem::path& gameDir);

} // namespace tb
