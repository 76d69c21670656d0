#include "items/ItemFilter.h"

#include "core/ArtContainer.h"
#include "core/ArtFiles.h"
#include "shell/NumberText.h"
#include "shell/TextCodec.h"

#include <algorithm>

namespace tb {
namespace {

constexpr std::size_t kArtIndexEntrySize = 12;

char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::size_t artItemCount(const ArtFiles& art) {
    const std::size_t entries = art.artIndex.size() / kArtIndexEntrySize;
    return entries > std::size_t(kLandTileIdCount)
               ? std::min(entries - std::size_t(kLandTileIdCount), std::size_t(kItemArtIdCount))
               : 0;
}

std::size_t browsableItemCount(const TileData& tileData, std::size_t artItems) {
    return std::min(std::max(tileData.itemCount(), artItems), std::size_t(kItemArtIdCount));
}

std::optional<std::uint16_t> itemIdFromText(std::string_view text) {
    text = trimmed(text);
    // A sign makes it no id: "-1" is looked for among the names.
    if (text.empty() || !(text.front() == '$' || (text.front() >= '0' && text.front() <= '9')))
        return std::nullopt;
    const std::optional<std::int32_t> value = tryStrToInt(text);
    if (!value || *value < 0 || *value > 0xFFFF)
        return std::nullopt;
    return std::uint16_t(*value);
}

ItemFilter::ItemFilter(const TileData& tileData, std::size_t itemCount) {
    itemCount = std::min(itemCount, std::size_t(kItemArtIdCount));
    m_flags.reserve(itemCount);
    m_starts.reserve(itemCount + 1);
    for (std::size_t id = 0; id < itemCount; ++id) {
        const ItemData& item = tileData.item(std::uint16_t(id));
        m_starts.push_back(std::uint32_t(m_names.size()));
        for (const char c : windows1252ToUtf8(item.name))
            m_names += lowered(c);
        m_flags.push_back(item.flags);
    }
    m_starts.push_back(std::uint32_t(m_names.size()));
}

std::vector<std::uint16_t> ItemFilter::matching(std::string_view text,
                                                std::uint64_t requiredFlags) const {
    std::vector<std::uint16_t> ids;
    const auto hasFlags = [&](std::size_t id) {
        return (m_flags[id] & requiredFlags) == requiredFlags;
    };
    if (const std::optional<std::uint16_t> id = itemIdFromText(text)) {
        if (*id < itemCount() && hasFlags(*id))
            ids.push_back(*id);
        return ids;
    }
    std::string part(trimmed(text));
    std::transform(part.begin(), part.end(), part.begin(), lowered);
    const std::string_view names(m_names);
    for (std::size_t id = 0; id < itemCount(); ++id) {
        if (!hasFlags(id))
            continue;
        const std::string_view name = names.substr(m_starts[id], m_starts[id + 1] - m_starts[id]);
        if (name.find(part) != std::string_view::npos)
            ids.push_back(std::uint16_t(id));
    }
    return ids;
}

} // namespace tb
