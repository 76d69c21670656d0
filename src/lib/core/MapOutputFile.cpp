#include "core/MapOutputFile.h"

#include "core/MapFile.h"
#include "shell/Errors.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tb {

MapOutputFile::MapOutputFile(const std::filesystem::path& path, std::int64_t mapLength, int facet)
    : m_file(path), m_mapLength(mapLength) {
    if (mapFileFormatOf(path) == MapFileFormat::Uop) {
        m_layout = UopMapLayout::fresh(facet, mapLength);
        m_place = placeUopMap(*m_layout);
        m_adlers.assign(m_place.mapEntryStarts.size(), std::uint32_t(::adler32(0, nullptr, 0)));
    }
}

void MapOutputFile::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    if (offset < 0 || size > std::uint64_t(m_mapLength) ||
        offset > m_mapLength - std::int64_t(size))
        throw std::out_of_range("a write past the end of the new map");
    if (!m_layout) {
        m_file.writeAt(offset, data, size);
        return;
    }
    m_inOrder = m_inOrder && offset == m_inOrderUpTo;
    m_inOrderUpTo = offset + std::int64_t(size);
    // Fresh entries are all 4096 blocks long but the last: the entry is a division away.
    const auto* in = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const auto entry = std::size_t(offset / kUopMapEntryBytes);
        const std::int64_t within = offset - m_place.mapEntryStarts[entry];
        const auto take =
            std::size_t(std::min<std::int64_t>(std::int64_t(size), kUopMapEntryBytes - within));
        m_file.writeAt(m_place.mapEntryOffsets[entry] + within, in, take);
        if (m_inOrder)
            m_adlers[entry] = std::uint32_t(::adler32(m_adlers[entry], in, uInt(take)));
        in += take;
        offset += std::int64_t(take);
        size -= take;
    }
}

void MapOutputFile::commit() {
    if (m_layout) {
        // Bytes that came in another order are read back entry by entry for their
        // checksums: cheaper than holding the map.
        const std::vector<std::uint32_t> lengths = m_layout->mapEntryLengths();
        std::vector<std::uint32_t>& adlers = m_adlers;
        const bool readBack = !m_inOrder || m_inOrderUpTo != m_mapLength;
        std::vector<unsigned char> buffer(readBack ? std::size_t(kUopMapEntryBytes) : 0);
        for (std::size_t i = 0; readBack && i < lengths.size(); ++i) {
            m_file.readAt(m_place.mapEntryOffsets[i], buffer.data(), lengths[i]);
            adlers[i] =
                std::uint32_t(::adler32(::adler32(0, nullptr, 0), buffer.data(), lengths[i]));
        }
        const std::vector<unsigned char> header = encodeUopHeader(*m_layout, m_place);
        m_file.writeAt(0, header.data(), header.size());
        for (std::size_t t = 0; t < m_layout->tables.size(); ++t) {
            const std::vector<unsigned char> table = encodeUopTable(*m_layout, m_place, t, adlers);
            m_file.writeAt(m_place.tableOffsets[t], table.data(), table.size());
        }
    }
    m_file.commit();
}

} // namespace tb
