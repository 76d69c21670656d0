#pragma once
// Map files of either kind on disk: map0.mul .. map5.mul, and the UOP containers that
// current clients ship instead (map0LegacyMUL.uop .. map5LegacyMUL.uop, and
// map0xLegacyMUL.uop / map1xLegacyMUL.uop for the enlarged Felucca and Trammel).
//
// A container holds the .mul's bytes in entries of 4096 blocks, so every size and offset
// rule of the .mul applies to the entries' bytes taken together. Where the block count is
// not a multiple of 4096 some writers make the last entry short and others pad it with
// zero bytes to a whole entry; the padding is not part of the map.

#include "core/MapVariant.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

enum class MapFileFormat { Mul, Uop };

// The captions of loading and saving a map, and what a stopped one says.
inline constexpr const char* kMapLoadText = "Loading map";
inline constexpr const char* kMapSaveText = "Saving map";
inline constexpr const char* kMapLoadStoppedMessage = "Loading was stopped: nothing was loaded.";
inline constexpr const char* kMapSaveStoppedMessage =
    "Saving was stopped: the map file was not changed.";

inline constexpr std::int64_t kUopMapEntryBlocks = 4096;
inline constexpr std::int64_t kUopMapEntryBytes = kUopMapEntryBlocks * kBlockSize;

// Uop for a name ending in ".uop" (any case), Mul for any other.
MapFileFormat mapFileFormatOf(const std::filesystem::path& path);

// True for map0legacymul.uop .. map5legacymul.uop and the same with an "x" after the digit
// (directory ignored, case-insensitive).
bool isUopMapFileName(std::string_view fileName);

// The names the editor accepts as a map file: isMapFileName or isUopMapFileName.
bool isAcceptedMapFileName(std::string_view fileName);

// The facet digit of a container's name: the digit after a leading "map" (any case), as in
// map4LegacyMUL.uop or map0xLegacyMUL.uop; nullopt when the name has none.
std::optional<int> facetFromFileName(std::string_view fileName);

// The variant of facet `facet`'s map file (map<facet>.mul) whose size is `total`, or is
// `total` once rounded up to whole entries of 4096 blocks.
std::optional<MapVariant> identifyUopMapVariant(int facet, std::int64_t total);

// The variant of the map file at `path`: a .mul by its on-disk name and exact size, a
// container by the facet of its name and the bytes of its map entries. nullopt when no
// regular file is there, the name is no map file name, the container cannot be read or
// no variant matches.
std::optional<MapVariant> identifyMapFile(const std::filesystem::path& path);

// Why identifyMapFile finds no variant for `path`, for a message ("no map variant is 1000
// bytes long", or the container's own error).
std::string unknownMapReason(const std::filesystem::path& path);

} // namespace tb
