#include "share/FacetImport.h"

#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"
#include "share/CopyIn.h"
#include "share/PgReader.h"
#include "share/ShareErrors.h"
#include "share/ShareSql.h"
#include "share/ShareTransaction.h"
#include "shell/Errors.h"
#include "shell/LittleEndian.h"

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr std::int64_t kStep = 16384;

std::optional<fs::path> findMapFile(const fs::path& dir, int facet) {
    const std::string n = std::to_string(facet);
    for (const std::string& name :
         {"map" + n + ".mul", "map" + n + "LegacyMUL.uop", "map" + n + "xLegacyMUL.uop"})
        if (auto found = findFileIgnoringCase(dir, name))
            return found;
    return std::nullopt;
}

} // namespace

FacetImportReport storeFacet(ShareConnection& connection, int facet, const MapImage& map,
                             const StaticsMap& statics, const std::string& source, bool replace,
                             Progress& progress) {
    if (!map.hasGeometry())
        throw ShareError("The map of " + source + " has a size this program does not know.");
    const MapVariant& variant = *map.variant();
    const int heightBlocks = variant.heightBlocks();
    const std::int64_t blocks = std::int64_t(variant.widthBlocks()) * heightBlocks;
    if (statics.widthBlocks() != variant.widthBlocks() || statics.heightBlocks() != heightBlocks)
        throw std::invalid_argument("the statics are not of the map's size");
    const std::string stopped = "Importing " + source + " was stopped: nothing was stored.";

    FacetImportReport report;
    ShareTransaction transaction(connection);
    PgParams facetParam;
    facetParam.int4(facet);
    if (PQntuples(connection.run(sql::kFacetForImport, facetParam).get()) > 0) {
        if (!replace)
            throw FacetExists("The shared world holds facet " + std::to_string(facet) +
                              " already.");
        connection.run(sql::kDeleteFacet, facetParam);
        report.replaced = true;
    }
    const auto tailStart = map.bytes().begin() + std::ptrdiff_t(variant.addressedSize());
    const std::vector<unsigned char> tail(tailStart, map.bytes().end());
    PgParams describe;
    describe.int4(facet)
        .int4(variant.width)
        .int4(variant.height)
        .text(variant.fileName)
        .int8(variant.fileSize)
        .bytea(tail)
        .text(source);
    connection.run(sql::kInsertFacet, describe);
    const std::int64_t revision =
        PgReader(PQgetvalue(connection.run(sql::kNextRevision).get(), 0, 0), 8).int64();

    const std::int64_t total = blocks * 2;
    {
        CopyIn copy(connection, sql::copyLandIn());
        const unsigned char* bytes = map.bytes().data();
        for (std::int64_t b = 0; b < blocks; ++b) {
            if (b % kStep == 0)
                reportStep(progress, "Importing " + source, b, total, stopped);
            copy.row(6);
            copy.int4(facet);
            copy.int4(std::int32_t(b));
            copy.int4(std::int32_t(b / heightBlocks));
            copy.int4(std::int32_t(b % heightBlocks));
            copy.int8(revision);
            copy.bytes({bytes + b * kBlockSize, std::size_t(kBlockSize)});
        }
        copy.finish();
    }
    {
        CopyIn copy(connection, sql::copyStaticsIn());
        const std::vector<unsigned char>& index = statics.indexBytes();
        for (std::int64_t b = 0; b < blocks; ++b) {
            if (b % kStep == 0)
                reportStep(progress, "Importing " + source, blocks + b, total, stopped);
            const std::span<const unsigned char> records = statics.recordBytes(std::size_t(b));
            // The words of the index entry that are not offsets: kept, so that an export
            // writes the entry as it was read.
            std::int32_t extra = 0;
            std::int32_t blankLength = 0;
            if (std::size_t(b + 1) * kStaticIndexEntrySize <= index.size()) {
                const unsigned char* entry = index.data() + b * kStaticIndexEntrySize;
                extra = readI32(entry + 8);
                if (records.empty())
                    blankLength = readI32(entry + 4);
            }
            copy.row(8);
            copy.int4(facet);
            copy.int4(std::int32_t(b));
            copy.int4(std::int32_t(b / heightBlocks));
            copy.int4(std::int32_t(b % heightBlocks));
            copy.int8(revision);
            copy.bytes(records);
            copy.int4(extra);
            copy.int4(blankLength);
            report.staticsRecords += std::int64_t(records.size() / kStaticRecordSize);
        }
        copy.finish();
    }
    PgParams channel;
    channel.text(sql::channel(facet));
    connection.run(sql::kNotifyReplaced, channel);
    reportStep(progress, "Importing " + source, total, total, stopped);
    transaction.commit();
    report.landBlocks = blocks;
    return report;
}

FacetFolder readFacetFolder(const fs::path& dir, int facet) {
    if (facet < 0 || facet > 9)
        throw std::invalid_argument("facet " + std::to_string(facet) +
                                    ": a facet is a digit, 0 to 9");
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        throw FileError("\"" + dir.string() +
                        "\" is no folder: the facet's files are read from one.");
    const std::optional<fs::path> mapFile = findMapFile(dir, facet);
    if (!mapFile)
        throw FileError("\"" + dir.string() + "\" holds no map" + std::to_string(facet) +
                        ".mul or map" + std::to_string(facet) + "LegacyMUL.uop.");
    FacetFolder folder;
    folder.facet = facet;
    folder.mapFile = *mapFile;
    folder.map = mapFileFormatOf(*mapFile) == MapFileFormat::Uop
                     ? MapImage::loadContainer(*mapFile, facet)
                     : MapImage::load(*mapFile);
    if (!folder.map.hasGeometry())
        throw FileError("\"" + mapFile->string() + "\" is no map of a size this program knows.");
    const MapVariant& variant = *folder.map.variant();
    const std::string n = std::to_string(facet);
    const auto index = findFileIgnoringCase(dir, "staidx" + n + ".mul");
    const auto data = findFileIgnoringCase(dir, "statics" + n + ".mul");
    folder.withStatics = index && data;
    if (!folder.withStatics) {
        folder.statics = StaticsMap::empty(variant.widthBlocks(), variant.heightBlocks());
        return folder;
    }
    // Read as a command that changes nothing reads them, an interrupted compaction included.
    const CompactionCheck check = checkCompaction({*index, *data});
    StaticsLoad load = loadStatics(check.pair, variant);
    folder.statics = std::move(load.statics);
    folder.staticsWarning = check.note;
    if (!load.warning.empty())
        folder.staticsWarning += (folder.staticsWarning.empty() ? "" : "\n") + load.warning;
    return folder;
}

FacetImportReport importFacet(ShareConnection& connection, const FacetFolder& folder, bool replace,
                              Progress& progress) {
    FacetImportReport report = storeFacet(connection, folder.facet, folder.map, folder.statics,
                                          folder.mapFile.filename().string(), replace, progress);
    report.mapFile = folder.mapFile;
    report.withStatics = folder.withStatics;
    report.staticsWarning = folder.staticsWarning;
    return report;
}

FacetImportReport importFacet(ShareConnection& connection, const fs::path& dir, int facet,
                              bool replace, Progress& progress) {
    return importFacet(connection, readFacetFolder(dir, facet), replace, progress);
}

} // namespace tb
