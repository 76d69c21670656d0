#pragma once
// How a map container is written: its header bytes, the slots per table and its entries
// table by table. A container that was read keeps its layout, so that saving it writes the
// same header, the same tables, entries and entry headers, and every entry with the length
// it was read with; a new container gets tables of 100 slots and entries of 4096 blocks.
//
// Written files hold, after the header, each table followed by the bytes of its entries.

#include "core/UopContainer.h"
#include "core/UopMap.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tb {

// One used slot of a table.
struct UopSlot {
    std::uint64_t hash = 0;
    std::vector<unsigned char> entryHeader; // bytes before the entry's own bytes
    // A map entry: which one, and how many of the map's bytes it holds. It is written
    // stored, with the Adler-32 of its bytes.
    int mapIndex = -1;
    std::uint32_t length = 0;
    // An entry that is no part of the map (mapIndex -1): kept as read.
    std::uint16_t flags = kUopStored;
    std::uint32_t adler32 = 0;
    std::vector<unsigned char> stored;
};

struct UopMapLayout {
    // The bytes before the first table (at least the 28 bytes of the header's fields).
    std::vector<unsigned char> header;
    std::uint32_t tableCapacity = 100;
    std::vector<std::vector<UopSlot>> tables;
    // Bytes after the map's end in its last entries: the zero padding some writers add.
    std::vector<unsigned char> padding;
    // The facet whose names the map entries carry.
    int facet = 0;

    // Map entries' lengths in index order (their total is the map's bytes and the padding).
    std::vector<std::uint32_t> mapEntryLengths() const;

    // A new container for a map of `mapLength` bytes of facet `facet`: entries of 4096 blocks
    // in index order, the last one short, tables of 100 slots, a 512-byte header.
    static UopMapLayout fresh(int facet, std::int64_t mapLength);

    // The layout of `container`, whose map is `map` of facet `facet` (its entries' bytes are
    // not read, those of other entries are). Throws FileError naming the file when it cannot
    // be read.
    static UopMapLayout of(const UopContainer& container, const UopMapEntries& map, int facet);

    // Gives the map entries the names of facet `facet` (a map saved under another facet's
    // name); the other entries keep theirs.
    void renameMapEntries(int newFacet);
};

// Where everything of a layout lies in the written file.
struct UopPlacement {
    std::vector<std::int64_t> tableOffsets;
    std::vector<std::vector<std::int64_t>> slotOffsets; // where each slot's entry header starts
    std::vector<std::int64_t> mapEntryOffsets; // where each map entry's bytes lie in the file
    std::vector<std::int64_t> mapEntryStarts;  // where each map entry's bytes begin in the map
    std::int64_t fileSize = 0;
};
UopPlacement placeUopMap(const UopMapLayout& layout);

// The header bytes, with the first table's offset, the capacity and the file count filled in.
std::vector<unsigned char> encodeUopHeader(const UopMapLayout& layout,
                                           const UopPlacement& placement);
// Table `table` with room for its slots, the map entries carrying `mapAdlers` (by index).
std::vector<unsigned char> encodeUopTable(const UopMapLayout& layout, const UopPlacement& placement,
                                          std::size_t table,
                                          std::span<const std::uint32_t> mapAdlers);

} // namespace tb
