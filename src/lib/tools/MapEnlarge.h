#pragma once
// Map enlargement: a new map file in the 7168 x 4096 layout with a known source map in its
// top-left corner. Cells outside the source hold tile 0 at altitude 0; every block header
// of the new file is zero.

#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tb {

inline constexpr int kEnlargedWidth = 7168;
inline constexpr int kEnlargedHeight = 4096;
inline constexpr int kEnlargedHeightBlocks = 512;
inline constexpr std::int64_t kEnlargedFileSize = 89'915'392;

inline constexpr const char* kWrongSourceMapMessage = "Wrong source map file!";
inline constexpr const char* kEnlargeOntoSourceMessage =
    "The new map file cannot replace its own source map file!";
inline constexpr const char* kEnlargeDoneText = "Done.";
inline constexpr const char* kBlankPassStartText = "Creating new map file";
inline constexpr const char* kCopyPassStartText = "Copying source map to new map";
inline constexpr const char* kEnlargeStoppedMessage =
    "The map enlargement was stopped: no new map file was written.";

// The name the new map is offered under: "map0LegacyMUL.uop" for a container source,
// "map0.mul" for any other.
const char* enlargedMapDefaultName(const std::filesystem::path& source);

// "Creating new map file (n%)" with n = x * 100 div 7168.
std::string blankPassText(int x);
// "Copying source map to new map (n%)" with n = x * 100 div maxX.
std::string copyPassText(int x, int maxX);

// Writes the enlarged map of `source` to `destination`, as a container when its name ends
// in ".uop" (its facet from that name, else from the source's), else as a .mul. The source,
// a .mul or a container, is identified as identifyMapFile does (ToolRefusal
// kWrongSourceMapMessage otherwise); a destination that is the source file itself is
// refused (kEnlargeOntoSourceMessage). Both passes work on a temporary file that replaces
// the destination only when complete; on any failure (FileError) nothing is left under the
// destination's name and an existing destination is unchanged.
//
// Progress (caption: the progress label; done and total: the bar's position and maximum),
// in order: kBlankPassStartText (0 of 7168); blankPassText for columns 0..7167 (x of 7168);
// kEnlargeDoneText; kCopyPassStartText (0 of maxX); copyPassText for columns 0..maxX
// (x of maxX); kEnlargeDoneText (0 of maxX). Asked to stop, the run ends between two runs
// of block columns with OperationStopped (kEnlargeStoppedMessage), writing nothing.
void enlargeMap(const std::filesystem::path& source, const std::filesystem::path& destination,
                Progress& progress = noProgress());

} // namespace tb
