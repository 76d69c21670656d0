#include "core/UopMapWriter.h"

#include "core/MapFile.h"
#include "shell/AtomicFileWriter.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tb {
namespace {

// The map's bytes and the padding after them, read as one run.
struct MapStream {
    std::span<const unsigned char> map;
    std::span<const unsigned char> padding;

    // Calls `take(pointer, size)` for the pieces of [start, start + length).
    template <typename Take> void pieces(std::int64_t start, std::int64_t length, Take take) const {
        const auto mapSize = std::int64_t(map.size());
        if (start < mapSize) {
            const std::int64_t n = std::min(length, mapSize - start);
            take(map.data() + start, std::size_t(n));
            start += n;
            length -= n;
        }
        if (length > 0)
            take(padding.data() + (start - mapSize), std::size_t(length));
    }
};

} // namespace

void writeUopMap(const std::filesystem::path& path, const UopMapLayout& layout,
                 std::span<const unsigned char> mapBytes, Progress& progress) {
    const UopPlacement place = placeUopMap(layout);
    const std::vector<std::uint32_t> lengths = layout.mapEntryLengths();
    std::int64_t total = 0;
    for (std::uint32_t length : lengths)
        total += length;
    if (total != std::int64_t(mapBytes.size() + layout.padding.size()))
        throw std::invalid_argument("the container's map entries do not hold the map's bytes");
    const MapStream stream{mapBytes, layout.padding};

    std::vector<std::uint32_t> adlers(lengths.size());
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        uLong adler = ::adler32(0, nullptr, 0);
        stream.pieces(
            place.mapEntryStarts[i], lengths[i],
            [&](const unsigned char* p, std::size_t n) { adler = ::adler32(adler, p, uInt(n)); });
        adlers[i] = std::uint32_t(adler);
    }

    std::int64_t written = 0;
    writeFileAtomically(path, [&](const AppendBytes& append) {
        const std::vector<unsigned char> header = encodeUopHeader(layout, place);
        append(header.data(), header.size());
        for (std::size_t t = 0; t < layout.tables.size(); ++t) {
            const std::vector<unsigned char> table = encodeUopTable(layout, place, t, adlers);
            append(table.data(), table.size());
            for (const UopSlot& slot : layout.tables[t]) {
                append(slot.entryHeader.data(), slot.entryHeader.size());
                if (slot.mapIndex < 0) {
                    append(slot.stored.data(), slot.stored.size());
                    continue;
                }
                const auto i = std::size_t(slot.mapIndex);
                stream.pieces(place.mapEntryStarts[i], lengths[i],
                              [&](const unsigned char* p, std::size_t n) { append(p, n); });
                written += lengths[i];
                reportStep(progress, kMapSaveText, written, total, kMapSaveStoppedMessage);
            }
        }
    });
}

} // namespace tb
