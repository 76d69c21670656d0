#include "core/TileData.h"

#include "shell/FileBytes.h"
#include "shell/LittleEndian.h"

namespace tb {
namespace {

constexpr int kLandGroups = 512;
constexpr int kEntriesPerGroup = 32;
constexpr std::size_t kGroupHeader = 4;
constexpr std::size_t kNameLength = 20;
constexpr std::size_t kOldLandGroupSize = kGroupHeader + kEntriesPerGroup * 26;
constexpr std::size_t kNewLandGroupSize = kGroupHeader + kEntriesPerGroup * 30;
constexpr std::size_t kOldItemGroupSize = kGroupHeader + kEntriesPerGroup * 37;
constexpr std::size_t kNewItemGroupSize = kGroupHeader + kEntriesPerGroup * 41;
constexpr std::uint64_t kOldItemLimit = 0x4000;

struct Sizes {
    std::size_t landGroup;
    std::size_t itemGroup;
    std::size_t flagBytes;
};

Sizes sizesOf(TileDataLayout layout) {
    return layout == TileDataLayout::Old ? Sizes{kOldLandGroupSize, kOldItemGroupSize, 4}
                                         : Sizes{kNewLandGroupSize, kNewItemGroupSize, 8};
}

// The number of item groups a file of `size` bytes holds in `layout`, or nothing.
std::optional<std::uint64_t> itemGroups(std::uint64_t size, TileDataLayout layout) {
    const Sizes s = sizesOf(layout);
    const std::uint64_t land = std::uint64_t(kLandGroups) * s.landGroup;
    if (size < land || (size - land) % s.itemGroup != 0)
        return std::nullopt;
    return (size - land) / s.itemGroup;
}

std::uint64_t readFlags(const unsigned char* p, std::size_t bytes) {
    std::uint64_t flags = readU32(p);
    if (bytes == 8)
        flags |= std::uint64_t(readU32(p + 4)) << 32;
    return flags;
}

// An ASCII name, zero-padded; bytes after the first zero are ignored.
std::string readName(const unsigned char* p) {
    std::string name;
    for (std::size_t i = 0; i < kNameLength && p[i] != 0; ++i)
        name += char(p[i]);
    return name;
}

} // namespace

const TileFlagName kTileFlagNames[11] = {
    {tileflag::Background, "Background"},
    {tileflag::Wall, "Wall"},
    {tileflag::Impassable, "Impassable"},
    {tileflag::Wet, "Wet"},
    {tileflag::Surface, "Surface"},
    {tileflag::Bridge, "Bridge"},
    {tileflag::Window, "Window"},
    {tileflag::Foliage, "Foliage"},
    {tileflag::LightSource, "LightSource"},
    {tileflag::Roof, "Roof"},
    {tileflag::Door, "Door"},
};

std::string tileFlagsText(std::uint64_t flags) {
    std::string text;
    for (const TileFlagName& f : kTileFlagNames) {
        if ((flags & f.flag) == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += f.name;
    }
    return text;
}

std::optional<TileDataLayout> TileData::layoutForSize(std::uint64_t size) {
    const auto oldGroups = itemGroups(size, TileDataLayout::Old);
    const auto newGroups = itemGroups(size, TileDataLayout::New);
    if (oldGroups && (!newGroups || *oldGroups * kEntriesPerGroup <= kOldItemLimit))
        return TileDataLayout::Old;
    if (newGroups)
        return TileDataLayout::New;
    return std::nullopt;
}

TileData TileData::fromBytes(const std::vector<unsigned char>& bytes, const std::string& name) {
    const auto layout = layoutForSize(bytes.size());
    if (!layout)
        throw TileDataError(name + ": " + std::to_string(bytes.size()) +
                            " bytes is the size of no known tiledata.mul layout (items are "
                            "shown without names, flags and heights)");
    const Sizes s = sizesOf(*layout);
    TileData data;
    data.m_layout = *layout;
    data.m_land.resize(std::size_t(kLandGroups) * kEntriesPerGroup);
    const unsigned char* p = bytes.data();
    for (int g = 0; g < kLandGroups; ++g) {
        p += kGroupHeader;
        for (int e = 0; e < kEntriesPerGroup; ++e) {
            LandTileData& land = data.m_land[std::size_t(g * kEntriesPerGroup + e)];
            land.flags = readFlags(p, s.flagBytes);
            p += s.flagBytes;
            land.textureId = readU16(p);
            land.name = readName(p + 2);
            p += 2 + kNameLength;
        }
    }
    const std::size_t groups = (bytes.size() - std::size_t(p - bytes.data())) / s.itemGroup;
    // Ids are 16-bit: entries past 0xFFFF could never be placed.
    const std::size_t items = std::min<std::size_t>(groups * kEntriesPerGroup, 0x10000);
    data.m_items.resize(items);
    for (std::size_t i = 0; i < items; ++i) {
        if (i % kEntriesPerGroup == 0)
            p += kGroupHeader;
        ItemData& item = data.m_items[i];
        item.flags = readFlags(p, s.flagBytes);
        p += s.flagBytes;
        item.weight = p[0];
        item.quality = p[1];
        item.misc = readU16(p + 2);
        // p[4] is unknown
        item.quantity = p[5];
        item.animation = readU16(p + 6);
        // p[8] is unknown
        item.hue = p[9];
        item.stackingOffset = p[10];
        item.value = p[11];
        item.height = p[12];
        item.name = readName(p + 13);
        p += 13 + kNameLength;
    }
    return data;
}

TileData TileData::load(const std::filesystem::path& path) {
    return fromBytes(readFileBytes(path), path.string());
}

const LandTileData& TileData::land(std::uint16_t id) const {
    static const LandTileData none;
    return id < m_land.size() ? m_land[id] : none;
}

const ItemData& TileData::item(std::uint16_t id) const {
    static const ItemData none;
    return id < m_items.size() ? m_items[id] : none;
}

} // namespace tb
