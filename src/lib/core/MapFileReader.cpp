#include "core/MapFileReader.h"

#include "core/MapFile.h"
#include "shell/Errors.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tb {
namespace {

// The facet of a container: the caller's, else the digit in the file's name.
int containerFacet(const std::filesystem::path& path, std::optional<int> facet) {
    if (facet)
        return *facet;
    if (const auto fromName = facetFromFileName(path.filename().string()))
        return *fromName;
    throw FileError("Cannot read file \"" + path.string() +
                    "\": its name holds no facet digit (as in map0LegacyMUL.uop)");
}

} // namespace

MapFileReader::MapFileReader(const std::filesystem::path& path, std::optional<int> facet)
    : m_file(path) {
    if (mapFileFormatOf(path) == MapFileFormat::Mul) {
        m_size = m_file.size();
        m_variant = identifyMapVariant(path.filename().string(), m_size);
        return;
    }
    const int mapFacet = containerFacet(path, facet);
    m_container = std::make_unique<UopContainer>(m_file);
    m_entries = findUopMapEntries(*m_container, mapFacet);
    m_variant = m_entries.variant;
    m_size = m_entries.mapLength;
}

MapFileReader::~MapFileReader() = default;

void MapFileReader::readAt(std::int64_t offset, void* data, std::size_t size) const {
    if (!m_container) {
        m_file.readAt(offset, data, size);
        return;
    }
    if (offset < 0 || offset > m_size || size > std::uint64_t(m_size - offset))
        throw FileError("Cannot read file \"" + path().string() + "\": " + std::to_string(size) +
                        " bytes at position " + std::to_string(offset) + " lie outside its map (" +
                        std::to_string(m_size) + " bytes)");
    auto* out = static_cast<unsigned char*>(data);
    // The entry holding `offset`: the last one that starts at or before it.
    std::size_t i =
        std::size_t(std::upper_bound(m_entries.starts.begin(), m_entries.starts.end(), offset) -
                    m_entries.starts.begin()) -
        1;
    while (size > 0) {
        const UopEntry& entry = *m_entries.entries[i];
        const std::int64_t within = offset - m_entries.starts[i];
        const std::size_t take =
            std::size_t(std::min<std::int64_t>(std::int64_t(size), entry.length - within));
        if (entry.flags == kUopStored && entry.storedLength == entry.length) {
            m_file.readAt(entry.bytesOffset() + within, out, take);
        } else {
            if (m_inflatedIndex != i) {
                m_inflatedIndex = SIZE_MAX;
                m_inflated.resize(entry.length);
                m_container->readEntry(entry, m_inflated.data());
                m_inflatedIndex = i;
            }
            std::memcpy(out, m_inflated.data() + within, take);
        }
        out += take;
        offset += std::int64_t(take);
        size -= take;
        ++i;
    }
}

void MapFileReader::checkEntries() const {
    if (!m_container)
        return;
    // The entries readAt() takes from the file as they lie were checked to lie inside it
    // when the container was read; the others are what a read would inflate.
    std::vector<unsigned char> scratch;
    for (const UopEntry* entry : m_entries.entries) {
        if (entry->flags == kUopStored && entry->storedLength == entry->length)
            continue;
        scratch.resize(entry->length);
        m_container->readEntry(*entry, scratch.data());
    }
}

} // namespace tb
