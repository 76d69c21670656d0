#include "core/MapImage.h"

#include "core/UopMapWriter.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileBytes.h"
#include "shell/FileReader.h"

#include <stdexcept>
#include <string>

namespace tb {

MapImage::MapImage(std::vector<unsigned char> bytes, std::optional<MapVariant> variant)
    : m_bytes(std::move(bytes)), m_variant(variant) {
    // Geometry is only trusted when the buffer really holds every addressed block.
    if (m_variant && std::int64_t(m_bytes.size()) < m_variant->addressedSize())
        m_variant.reset();
    m_heightBlocks = m_variant ? m_variant->heightBlocks() : 0;
}

MapImage MapImage::load(const std::filesystem::path& path, Progress& progress) {
    if (mapFileFormatOf(path) == MapFileFormat::Uop) {
        const auto facet = facetFromFileName(path.filename().string());
        if (!facet)
            throw FileError("Cannot read file \"" + path.string() +
                            "\": its name holds no facet digit (as in map0LegacyMUL.uop)");
        return loadContainer(path, *facet, progress);
    }
    std::vector<unsigned char> bytes =
        readFileBytes(path, progress, kMapLoadText, kMapLoadStoppedMessage);
    const auto size = std::int64_t(bytes.size());
    return MapImage(std::move(bytes), identifyMapVariant(path.filename().string(), size));
}

MapImage MapImage::loadContainer(const std::filesystem::path& path, int facet, Progress& progress) {
    const FileReader file(path);
    const UopContainer container(file);
    const UopMapEntries map = findUopMapEntries(container, facet);
    UopMapLayout layout = UopMapLayout::of(container, map, facet);
    // Each entry is read (or inflated) straight into its place in the one buffer.
    std::vector<unsigned char> bytes(std::size_t(map.total));
    for (std::size_t i = 0; i < map.entries.size(); ++i) {
        container.readEntry(*map.entries[i], bytes.data() + map.starts[i]);
        reportStep(progress, kMapLoadText, map.starts[i] + std::int64_t(map.entries[i]->length),
                   map.total, kMapLoadStoppedMessage);
    }
    layout.padding.assign(bytes.begin() + map.mapLength, bytes.end());
    bytes.resize(std::size_t(map.mapLength));
    MapImage image(std::move(bytes), map.variant);
    image.m_container = std::move(layout);
    return image;
}

void MapImage::save(const std::filesystem::path& path, Progress& progress) const {
    const MapFileFormat target = mapFileFormatOf(path);
    if (m_container) {
        if (target != MapFileFormat::Uop)
            throw FileError("Cannot write file \"" + path.string() +
                            "\": the map was read from a UOP container and is saved as one; "
                            "give it a name ending in .uop (tbmap convert writes a .mul)");
        // Under another facet's name the map entries take that facet's names, so that the
        // file is found as the map its name says.
        const auto facet = facetFromFileName(path.filename().string());
        if (facet && *facet != m_container->facet) {
            UopMapLayout renamed = *m_container;
            renamed.renameMapEntries(*facet);
            writeUopMap(path, renamed, m_bytes, progress);
        } else {
            writeUopMap(path, *m_container, m_bytes, progress);
        }
        return;
    }
    if (target == MapFileFormat::Uop)
        throw FileError("Cannot write file \"" + path.string() +
                        "\": the map was read from a .mul file and is saved as one; give it a "
                        "name ending in .mul (tbmap convert writes a container)");
    writeFileAtomically(path, m_bytes.data(), m_bytes.size(), progress, kMapSaveText,
                        kMapSaveStoppedMessage);
}

void MapImage::throwOutside(std::int32_t x, std::int32_t y) {
    throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") is outside the map");
}

std::int64_t MapImage::checkedOffset(std::int32_t x, std::int32_t y) const {
    if (!contains(x, y))
        throwOutside(x, y);
    return std::int64_t(offsetInside(x, y));
}

void MapImage::setCell(std::int32_t x, std::int32_t y, MapCell value) {
    unsigned char* p = m_bytes.data() + checkedOffset(x, y);
    p[0] = static_cast<unsigned char>(value.tileId);
    p[1] = static_cast<unsigned char>(value.tileId >> 8);
    p[2] = static_cast<unsigned char>(value.altitude);
}

} // namespace tb
