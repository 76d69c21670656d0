#include "core/UopMapLayout.h"

#include "core/MapFile.h"
#include "core/UopNames.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace tb {
namespace {

constexpr std::size_t kFreshHeaderSize = 512;
constexpr std::uint32_t kFreshTableCapacity = 100;
// A capacity a real file would not have; such a header gets the usual one when written.
constexpr std::uint32_t kLargestTableCapacity = 4096;
// Header bytes kept from a file whose first table (or first entry) lies further out.
constexpr std::int64_t kLargestHeader = 65536;

void writeU64(unsigned char* p, std::uint64_t v) {
    writeU32(p, std::uint32_t(v));
    writeU32(p + 4, std::uint32_t(v >> 32));
}

std::size_t slotRoom(const UopMapLayout& layout, std::size_t table) {
    return std::max<std::size_t>(layout.tableCapacity, layout.tables[table].size());
}

std::int64_t slotBytes(const UopSlot& slot) {
    return std::int64_t(slot.entryHeader.size()) +
           (slot.mapIndex >= 0 ? std::int64_t(slot.length) : std::int64_t(slot.stored.size()));
}

} // namespace

std::vector<std::uint32_t> UopMapLayout::mapEntryLengths() const {
    std::vector<std::pair<int, std::uint32_t>> found;
    for (const auto& table : tables)
        for (const UopSlot& slot : table)
            if (slot.mapIndex >= 0)
                found.emplace_back(slot.mapIndex, slot.length);
    std::sort(found.begin(), found.end());
    std::vector<std::uint32_t> lengths;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].first != int(i))
            throw std::invalid_argument("a container layout must hold map entries 0, 1, ...");
        lengths.push_back(found[i].second);
    }
    return lengths;
}

UopMapLayout UopMapLayout::fresh(int facet, std::int64_t mapLength) {
    UopMapLayout layout;
    layout.header.assign(kFreshHeaderSize, 0);
    writeU32(layout.header.data(), kUopMagic);
    writeU32(layout.header.data() + 4, kUopVersion);
    writeU32(layout.header.data() + 8, kUopSignature);
    layout.tableCapacity = kFreshTableCapacity;
    layout.facet = facet;
    const std::int64_t entries =
        std::max<std::int64_t>(1, (mapLength + kUopMapEntryBytes - 1) / kUopMapEntryBytes);
    for (std::int64_t i = 0; i < entries; ++i) {
        if (i % kFreshTableCapacity == 0)
            layout.tables.emplace_back();
        UopSlot slot;
        slot.hash = uopNameHash(uopMapEntryName(facet, std::uint32_t(i)));
        slot.mapIndex = int(i);
        slot.length = std::uint32_t(std::min(kUopMapEntryBytes, mapLength - i * kUopMapEntryBytes));
        layout.tables.back().push_back(std::move(slot));
    }
    return layout;
}

UopMapLayout UopMapLayout::of(const UopContainer& container, const UopMapEntries& map, int facet) {
    const FileReader& file = container.file();
    UopMapLayout layout;
    layout.facet = facet;
    std::int64_t headerEnd = std::min(container.firstTableOffset(), kLargestHeader);
    for (const UopEntry& e : container.entries())
        headerEnd = std::min(headerEnd, e.dataOffset);
    layout.header.resize(std::size_t(std::max<std::int64_t>(headerEnd, kUopHeaderFieldsSize)));
    file.readAt(0, layout.header.data(), layout.header.size());
    const std::uint32_t capacity = container.tableCapacity();
    layout.tableCapacity =
        capacity >= 1 && capacity <= kLargestTableCapacity ? capacity : kFreshTableCapacity;

    std::unordered_map<const UopEntry*, int> mapIndex;
    for (std::size_t i = 0; i < map.entries.size(); ++i)
        mapIndex.emplace(map.entries[i], int(i));
    layout.tables.resize(container.tableCount());
    for (const UopEntry& e : container.entries()) {
        UopSlot slot;
        slot.hash = e.hash;
        slot.entryHeader.resize(e.headerLength);
        file.readAt(e.dataOffset, slot.entryHeader.data(), slot.entryHeader.size());
        slot.length = e.length;
        if (const auto it = mapIndex.find(&e); it != mapIndex.end()) {
            slot.mapIndex = it->second;
        } else {
            slot.flags = e.flags;
            slot.adler32 = e.adler32;
            slot.stored.resize(e.storedLength);
            file.readAt(e.bytesOffset(), slot.stored.data(), slot.stored.size());
        }
        layout.tables[e.table].push_back(std::move(slot));
    }
    return layout;
}

void UopMapLayout::renameMapEntries(int newFacet) {
    for (auto& table : tables)
        for (UopSlot& slot : table)
            if (slot.mapIndex >= 0)
                slot.hash = uopNameHash(uopMapEntryName(newFacet, std::uint32_t(slot.mapIndex)));
    facet = newFacet;
}

UopPlacement placeUopMap(const UopMapLayout& layout) {
    UopPlacement place;
    const std::vector<std::uint32_t> lengths = layout.mapEntryLengths();
    place.mapEntryOffsets.resize(lengths.size());
    std::int64_t start = 0;
    for (std::uint32_t length : lengths) {
        place.mapEntryStarts.push_back(start);
        start += length;
    }
    std::int64_t at = std::int64_t(std::max(layout.header.size(), kUopHeaderFieldsSize));
    for (std::size_t t = 0; t < layout.tables.size(); ++t) {
        place.tableOffsets.push_back(at);
        at += std::int64_t(kUopTableHeaderSize + slotRoom(layout, t) * kUopEntrySize);
        place.slotOffsets.emplace_back();
        for (const UopSlot& slot : layout.tables[t]) {
            place.slotOffsets.back().push_back(at);
            if (slot.mapIndex >= 0)
                place.mapEntryOffsets[std::size_t(slot.mapIndex)] =
                    at + std::int64_t(slot.entryHeader.size());
            at += slotBytes(slot);
        }
    }
    place.fileSize = at;
    return place;
}

std::vector<unsigned char> encodeUopHeader(const UopMapLayout& layout,
                                           const UopPlacement& placement) {
    std::vector<unsigned char> header = layout.header;
    header.resize(std::max(header.size(), kUopHeaderFieldsSize), 0);
    std::size_t files = 0;
    for (const auto& table : layout.tables)
        files += table.size();
    writeU64(header.data() + 12,
             placement.tableOffsets.empty() ? 0 : std::uint64_t(placement.tableOffsets[0]));
    writeU32(header.data() + 20, layout.tableCapacity);
    writeU32(header.data() + 24, std::uint32_t(files));
    return header;
}

std::vector<unsigned char> encodeUopTable(const UopMapLayout& layout, const UopPlacement& placement,
                                          std::size_t table,
                                          std::span<const std::uint32_t> mapAdlers) {
    const auto& slots = layout.tables[table];
    std::vector<unsigned char> bytes(kUopTableHeaderSize + slotRoom(layout, table) * kUopEntrySize,
                                     0);
    writeU32(bytes.data(), std::uint32_t(slots.size()));
    const bool last = table + 1 == placement.tableOffsets.size();
    writeU64(bytes.data() + 4, last ? 0 : std::uint64_t(placement.tableOffsets[table + 1]));
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const UopSlot& slot = slots[i];
        const bool map = slot.mapIndex >= 0;
        unsigned char* p = bytes.data() + kUopTableHeaderSize + i * kUopEntrySize;
        writeU64(p, std::uint64_t(placement.slotOffsets[table][i]));
        writeU32(p + 8, std::uint32_t(slot.entryHeader.size()));
        writeU32(p + 12, map ? slot.length : std::uint32_t(slot.stored.size()));
        writeU32(p + 16, slot.length);
        writeU64(p + 20, slot.hash);
        writeU32(p + 28, map ? mapAdlers[std::size_t(slot.mapIndex)] : slot.adler32);
        writeU16(p + 32, map ? kUopStored : slot.flags);
    }
    return bytes;
}

} // namespace tb
