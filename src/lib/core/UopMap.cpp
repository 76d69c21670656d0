#include "core/UopMap.h"

#include "core/MapFile.h"
#include "core/UopNames.h"

#include <string>

namespace tb {

UopMapEntries findUopMapEntries(const UopContainer& container, int facet) {
    UopMapEntries map;
    std::uint32_t index = 0;
    for (; index < kMaxUopMapEntries; ++index) {
        const UopEntry* entry = container.find(uopNameHash(uopMapEntryName(facet, index)));
        if (!entry)
            break;
        if (entry->length > kUopMapEntryBytes)
            container.fail("map entry " + uopMapEntryName(facet, index) +
                           " holds more than 4096 blocks");
        map.entries.push_back(entry);
        map.starts.push_back(map.total);
        map.total += entry->length;
    }
    if (map.entries.empty())
        container.fail("it holds no entry of the facet " + std::to_string(facet) + " map (" +
                       uopMapEntryName(facet, 0) + ")");
    // A short entry before the last would shift every block after it to another place.
    for (std::uint32_t i = 0; i + 1 < index; ++i)
        if (map.entries[i]->length != kUopMapEntryBytes)
            container.fail("map entry " + uopMapEntryName(facet, i) + " holds " +
                           std::to_string(map.entries[i]->length) +
                           " bytes; every map entry but the last holds 4096 blocks (" +
                           std::to_string(kUopMapEntryBytes) + " bytes)");
    // Entries past a gap would be dropped from the map and lost on the next save.
    for (std::uint32_t later = index + 1; later < kMaxUopMapEntries; ++later)
        if (container.find(uopNameHash(uopMapEntryName(facet, later))))
            container.fail("map entry " + uopMapEntryName(facet, index) + " is missing, though " +
                           uopMapEntryName(facet, later) + " is there");
    map.variant = identifyUopMapVariant(facet, map.total);
    map.mapLength = map.variant ? map.variant->fileSize : map.total;
    return map;
}

} // namespace tb
