#pragma once
// hues.mul: the colour ramps that recolour items (a static record's hue).
//
// The file is a sequence of 708-byte groups: a 32-bit header, then 8 entries of 32 colour
// words, a start word, an end word and a 20-byte name. Hue h (1-based) is entry (h - 1) % 8
// of group (h - 1) / 8; hue 0 means "not hued".

#include "core/TileData.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tb {

// The alpha a Translucent item is drawn with, out of 255.
inline constexpr int kTranslucentAlpha = 178;
// Bit of a record's hue: only the grey pixels of the item take the hue.
inline constexpr std::uint16_t kPartialHueBit = 0x8000;

struct HueEntry {
    std::array<std::uint16_t, 32> colours{}; // 15-bit, indexed by a pixel's red channel
    std::uint16_t start = 0;
    std::uint16_t end = 0;
    std::string name;
};

// A hues.mul of a size that is not a whole number of groups; the message names the file.
class HueFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HueFile {
public:
    static constexpr std::size_t kGroupSize = 708;
    static constexpr int kEntriesPerGroup = 8;

    HueFile() = default; // no hues: every item is drawn unhued

    // Reads the bytes of a hues.mul; `name` is used in messages. Throws HueFileError when
    // the size is not a whole number of 708-byte groups.
    static HueFile fromBytes(const std::vector<unsigned char>& bytes, const std::string& name);
    // Reads the file. Throws FileError when it cannot be read, HueFileError as above.
    static HueFile load(const std::filesystem::path& path);
    // The same, but nothing when there is no file at `path` (items are then drawn unhued).
    static std::optional<HueFile> loadIfPresent(const std::filesystem::path& path);

    int count() const { return int(m_entries.size()); }
    // Hue `hue` of a record (its partial bit ignored), or nullptr for 0 and for a hue past
    // the end of the file.
    const HueEntry* entry(std::uint16_t hue) const;

private:
    std::vector<HueEntry> m_entries;
};

// The hue number of a record's hue word: the word without its partial bit.
inline std::uint16_t hueNumber(std::uint16_t hue) {
    return std::uint16_t(hue & ~kPartialHueBit);
}

// Whether only the grey pixels of an item take its hue: the item's tiledata flags have
// PartialHue, or the record's hue has its partial bit.
inline bool huesOnlyGrey(std::uint64_t itemFlags, std::uint16_t hue) {
    return (itemFlags & tileflag::PartialHue) != 0 || (hue & kPartialHueBit) != 0;
}

// One 15-bit pixel (bit 15 kept as it is) in `hue`: replaced by the hue's colour of the
// pixel's red channel; when `onlyGrey`, only pixels whose three channels are equal.
std::uint16_t huePixel(std::uint16_t pixel, const HueEntry& hue, bool onlyGrey);

} // namespace tb
