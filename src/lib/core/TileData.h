#pragma once
// tiledata.mul: the names, flags and heights of land tiles and items.
//
// The land part is 512 groups of a 32-bit header and 32 land entries; item groups of a
// 32-bit header and 32 item entries follow to the end of the file. Two layouts exist, told
// apart by the file's size: the older one with 32-bit flags (land entries of 26 bytes, item
// entries of 37), the newer one with 64-bit flags (30 and 41 bytes).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tb {

// The flags of an entry that the editor uses.
namespace tileflag {
inline constexpr std::uint64_t Background = 0x1;
inline constexpr std::uint64_t Translucent = 0x4; // drawn see-through
inline constexpr std::uint64_t Wall = 0x10;
inline constexpr std::uint64_t Impassable = 0x40;
inline constexpr std::uint64_t Wet = 0x80;
inline constexpr std::uint64_t Surface = 0x200;
inline constexpr std::uint64_t Bridge = 0x400;
inline constexpr std::uint64_t Window = 0x1000;
inline constexpr std::uint64_t Foliage = 0x20000;
inline constexpr std::uint64_t PartialHue = 0x40000; // only grey pixels take a hue
inline constexpr std::uint64_t LightSource = 0x800000;
inline constexpr std::uint64_t Roof = 0x10000000;
inline constexpr std::uint64_t Door = 0x20000000;
} // namespace tileflag

// One flag with the name the editor shows for it.
struct TileFlagName {
    std::uint64_t flag;
    const char* name;
};
// The flags above, in the order of their bits.
extern const TileFlagName kTileFlagNames[11];

// The names of the flags set in `flags` that the editor knows, joined by ", ".
std::string tileFlagsText(std::uint64_t flags);

enum class TileDataLayout {
    Old, // 32-bit flags
    New, // 64-bit flags
};

struct LandTileData {
    std::uint64_t flags = 0;
    std::uint16_t textureId = 0;
    std::string name;
};

struct ItemData {
    std::uint64_t flags = 0;
    std::uint8_t weight = 0;
    std::uint8_t quality = 0;
    std::uint16_t misc = 0;
    std::uint8_t quantity = 0;
    std::uint16_t animation = 0;
    std::uint8_t hue = 0;
    std::uint8_t stackingOffset = 0;
    std::uint8_t value = 0;
    std::uint8_t height = 0;
    std::string name;
};

// A tiledata.mul of a size that neither layout gives; the message names the file and size.
class TileDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TileData {
public:
    // No entries: every item has no name, no flags and height 0.
    TileData() = default;

    // The layout of a file of `size` bytes, or nothing when neither gives that size. A size
    // that both layouts give is read as the older one when that holds at most 0x4000 items,
    // as older clients never had more.
    static std::optional<TileDataLayout> layoutForSize(std::uint64_t size);

    // Reads the bytes of a tiledata.mul; `name` is used in messages. Throws TileDataError for
    // a size that neither layout gives.
    static TileData fromBytes(const std::vector<unsigned char>& bytes, const std::string& name);
    // Reads the file. Throws FileError when it cannot be read, TileDataError as above.
    static TileData load(const std::filesystem::path& path);

    TileDataLayout layout() const { return m_layout; }
    std::size_t landCount() const { return m_land.size(); }
    std::size_t itemCount() const { return m_items.size(); }

    // The entry of `id`; an empty entry for an id the file does not hold.
    const LandTileData& land(std::uint16_t id) const;
    const ItemData& item(std::uint16_t id) const;

private:
    TileDataLayout m_layout = TileDataLayout::New;
    std::vector<LandTileData> m_land;
    std::vector<ItemData> m_items;
};

} // namespace tb
