#pragma once
// Map enlargement: a new map file in the 7168 x 4096 layout with a known source map in its
// top-left corner. Cells outside the source hold tile 0 at altitude 0; every block header
// of the new file is zero.

#include <cstdint>
#include <filesystem>
#include <functional>
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

// The name the new map is offered under: "map0LegacyMUL.uop" for a container source,
// "map0.mul" for any other.
const char* enlargedMapDefaultName(const std::filesystem::path& source);

// One step of the run: the text for the progress label and the bar's position and maximum.
struct EnlargeProgress {
    std::string text;
    int position = 0;
    int maximum = 0;
};
using EnlargeProgressFn = std::function<void(const EnlargeProgress&)>;

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
// Progress, in order: kBlankPassStartText (0 of 7168); blankPassText for columns 0..7167
// (position x, maximum 7168); kEnlargeDoneText; kCopyPassStartText (0 of maxX);
// copyPassText for columns 0..maxX (position x, maximum maxX); kEnlargeDoneText at 0.
void enlargeMap(const std::filesystem::path& source, const std::filesystem::path& destination,
                const EnlargeProgressFn& progress = {});

} // namespace tb
