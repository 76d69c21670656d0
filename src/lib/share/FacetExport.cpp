#include "share/FacetExport.h"

#include "core/UopMapLayout.h"
#include "core/UopMapWriter.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/LittleEndian.h"

namespace fs = std::filesystem;

namespace tb {

FacetExportFiles writeFacetFiles(const FacetSnapshot& snapshot, const fs::path& dir, bool uop) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        throw FileError("Cannot make the folder \"" + dir.string() + "\": " + ec.message());
    const int facet = snapshot.info.facet;
    const std::string n = std::to_string(facet);
    FacetExportFiles files{dir / (uop ? "map" + n + "LegacyMUL.uop" : "map" + n + ".mul"),
                           dir / ("staidx" + n + ".mul"), dir / ("statics" + n + ".mul")};
    const MapImage& map = snapshot.copy.map();
    if (uop)
        writeUopMap(files.map, UopMapLayout::fresh(facet, std::int64_t(map.size())), map.bytes());
    else
        writeFileAtomically(files.map, map.bytes().data(), map.size());

    const StaticsMap& statics = snapshot.copy.statics();
    const std::vector<unsigned char>& loaded = statics.indexBytes();
    std::vector<unsigned char> index(statics.blockCount() * kStaticIndexEntrySize);
    std::vector<unsigned char> data;
    data.reserve(statics.dataSize());
    for (std::size_t b = 0; b < statics.blockCount(); ++b) {
        const std::span<const unsigned char> records = statics.recordBytes(b);
        const unsigned char* was = loaded.data() + b * kStaticIndexEntrySize;
        unsigned char* entry = index.data() + b * kStaticIndexEntrySize;
        writeI32(entry, records.empty() ? -1 : std::int32_t(data.size()));
        writeU32(entry + 4, records.empty() ? readU32(was + 4) : std::uint32_t(records.size()));
        writeU32(entry + 8, readU32(was + 8));
        data.insert(data.end(), records.begin(), records.end());
    }
    // The statics first: an index is never left pointing past the end of its statics.
    writeFileAtomically(files.statics, data.data(), data.size());
    writeFileAtomically(files.index, index.data(), index.size());
    return files;
}

FacetExportFiles exportFacet(ShareConnection& connection, int facet, const fs::path& dir, bool uop,
                             Progress& progress) {
    const FacetSnapshot snapshot = loadFacet(connection, facet, progress);
    return writeFacetFiles(snapshot, dir, uop);
}

} // namespace tb
