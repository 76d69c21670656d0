#pragma once
// Land tile art (artidx.mul/art.mul), land textures (texidx.mul/texmaps.mul) and the
// conversion of the game's 15-bit colours.
//
// Both index files are arrays of 12-byte entries (offset, length, extra; little-endian),
// entry n for tile id n. Pixels are 16-bit words: bits 10-14 red, 5-9 green, 0-4 blue.

#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace tb {

inline constexpr const char* kArtLoadText = "Loading art";

struct ArtIndexEntry {
    std::int32_t offset = -1; // -1: missing
    std::uint32_t length = 0;
    std::uint32_t extra = 0;
};

// An image in the game's 15-bit form, row-major. Makers reuse the caller's pixel buffer,
// so a view that decodes one image per cell does not allocate per cell.
struct Image15 {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> pixels;
    std::uint16_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Each 5-bit channel times 8 (31 becomes 248); bit 15 is ignored.
Rgb rgb555ToColor(std::uint16_t colour);

// Which ids an image maker refuses. The main editor refuses land tiles 7 and 8 only; the
// dialogs also refuse land tiles from 16382 and textures from 4096.
struct ArtIdLimits {
    std::optional<int> firstRefusedLandId;    // land ids >= this give no image
    std::optional<int> firstRefusedTextureId; // texture ids >= this give no image
};
inline constexpr ArtIdLimits kEditorArtLimits{};
inline constexpr ArtIdLimits kDialogArtLimits{16382, 4096};

// The four art files of a game directory, each held whole in memory.
struct ArtFiles {
    std::vector<unsigned char> artIndex;     // artidx.mul
    std::vector<unsigned char> artData;      // art.mul
    std::vector<unsigned char> textureIndex; // texidx.mul
    std::vector<unsigned char> textureData;  // texmaps.mul

    // Reads the four files from `gameDir` in the order artidx, art, texidx, texmaps; where
    // artidx.mul or art.mul is missing, the land art comes from artLegacyMUL.uop instead.
    // Throws FileError naming the file that failed; the files read before it stay loaded
    // and the failing one is left empty. `progress` gets each file's bytes read under
    // kArtLoadText; a stop throws OperationStopped (kMapLoadStoppedMessage) and leaves the
    // files as a failure would.
    void load(const std::filesystem::path& gameDir, Progress& progress = noProgress());
};

// The index entry of `id` (taken as unsigned 16-bit); nullopt past the end of the index.
std::optional<ArtIndexEntry> readArtIndexEntry(const std::vector<unsigned char>& index, int id);

// The texture of `tileId`: 64 x 64 (length 8192) or 128 x 128 (length 32768). False, and
// `image` unspecified, when there is none.
bool makeTextureImage(const ArtFiles& art, int tileId, Image15& image,
                      const ArtIdLimits& limits = kEditorArtLimits);

// The land tile of `tileId` turned into a 45 x 45 upright square. False when there is none.
bool makeLandTileImage(const ArtFiles& art, int tileId, Image15& image,
                       const ArtIdLimits& limits = kEditorArtLimits);

// The land tile of `tileId` as it lies in the world: a 44 x 44 picture whose rows are 2, 4,
// ..., 44, 44, ..., 2 pixels wide and centred, those pixels with bit 15 set, the others 0.
// False when there is none.
inline constexpr std::uint16_t kDiamondPixel = 0x8000;
bool makeLandDiamondImage(const ArtFiles& art, int tileId, Image15& image,
                          const ArtIdLimits& limits = kEditorArtLimits);

} // namespace tb
