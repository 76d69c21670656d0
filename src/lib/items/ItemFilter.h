#pragma once
// The item browser's filter: which items of a tiledata.mul match a typed text and a set of
// required flags. Names (Windows-1252 in the file) are turned into UTF-8 and lowered once
// when the filter is built, so that a filter run over 65,536 items is a plain scan, fast
// enough for every keystroke.

#include "core/TileData.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

struct ArtFiles;

// The number of item ids that `art`'s index has entries for (0 to 0x10000).
std::size_t artItemCount(const ArtFiles& art);

// The items a game folder has: those of its tiledata.mul and the `artItems` its art has
// entries for, whichever reach further (at most 0x10000).
std::size_t browsableItemCount(const TileData& tileData, std::size_t artItems);

// The id a filter text names: "$hex", "0xhex" or decimal, from 0 to 0xFFFF, blanks around
// it allowed; nothing for any other text (which is then a part of a name).
std::optional<std::uint16_t> itemIdFromText(std::string_view text);

class ItemFilter {
public:
    // No items.
    ItemFilter() = default;
    // The items 0 .. itemCount - 1 (at most 0x10000) with the names and flags of
    // `tileData`; ids it has no entry for have no name and no flags, and still match by id
    // or an empty text.
    ItemFilter(const TileData& tileData, std::size_t itemCount);

    std::size_t itemCount() const { return m_flags.size(); }

    // The ids, ascending, that have every flag of `requiredFlags` and match `text`: an id
    // text (itemIdFromText) matches that id only; any other text (UTF-8) matches the names
    // that hold it, ignoring the case of ASCII letters; an empty or blank text matches every item.
    std::vector<std::uint16_t> matching(std::string_view text, std::uint64_t requiredFlags) const;

private:
    std::string m_names;                 // every lowered name, one after the other
    std::vector<std::uint32_t> m_starts; // item i's name is m_names[m_starts[i], m_starts[i+1])
    std::vector<std::uint64_t> m_flags;
};

} // namespace tb
