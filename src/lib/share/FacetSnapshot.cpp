#include "share/FacetSnapshot.h"

#include "share/CopyOut.h"
#include "share/PgReader.h"
#include "share/ShareErrors.h"
#include "share/ShareTransaction.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace tb {
namespace {

std::span<const unsigned char> value(const PGresult* result, int row, int column) {
    return {reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column)),
            std::size_t(PQgetlength(result, row, column))};
}

std::string text(const PGresult* result, int row, int column) {
    return {PQgetvalue(result, row, column), std::size_t(PQgetlength(result, row, column))};
}

std::uint32_t blockNumber(std::span<const unsigned char> field, std::size_t blocks) {
    const std::int32_t b = PgReader(field).int32();
    if (b < 0 || std::size_t(b) >= blocks)
        throw ShareError("The server sent block " + std::to_string(b) +
                         ", which lies outside the facet.");
    return std::uint32_t(b);
}

} // namespace

FacetInfo readFacetInfo(ShareConnection& connection, int facet) {
    PgParams params;
    params.int4(facet);
    PgResult result = connection.run(sql::kFacetOf, params);
    if (PQntuples(result.get()) != 1)
        throw ShareError("The shared world holds no facet " + std::to_string(facet) + ".");
    const PGresult* r = result.get();
    FacetInfo info;
    info.facet = facet;
    const std::string file = text(r, 0, 2);
    const std::int64_t size = PgReader(value(r, 0, 3)).int64();
    const std::optional<MapVariant> variant = identifyMapVariant(file, size);
    if (!variant || variant->width != PgReader(value(r, 0, 0)).int32() ||
        variant->height != PgReader(value(r, 0, 1)).int32())
        throw ShareError("Facet " + std::to_string(facet) + " of the shared world has a size (" +
                         file + ", " + std::to_string(size) +
                         " bytes) this program does not know.");
    info.variant = *variant;
    const auto tail = value(r, 0, 4);
    info.tail.assign(tail.begin(), tail.end());
    info.source = text(r, 0, 5);
    return info;
}

FacetSnapshot loadFacet(ShareConnection& connection, int facet, Progress& progress) {
    const std::string stopped = "Opening the shared map was stopped.";
    // Both tables from one snapshot: a stroke committed meanwhile is in both or in neither.
    ShareTransaction transaction(connection, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    FacetSnapshot snapshot;
    snapshot.info = readFacetInfo(connection, facet);
    const MapVariant& variant = snapshot.info.variant;
    const std::size_t blocks =
        std::size_t(variant.widthBlocks()) * std::size_t(variant.heightBlocks());
    const std::int64_t total = std::int64_t(blocks) * 2;
    const std::int64_t step = 16384;

    std::vector<unsigned char> map(std::size_t(variant.addressedSize()));
    map.insert(map.end(), snapshot.info.tail.begin(), snapshot.info.tail.end());
    snapshot.revisions.land.assign(blocks, -1);
    std::vector<std::span<const unsigned char>> row;
    std::int64_t done = 0;
    {
        CopyOut copy(connection, sql::copyLandOut(facet));
        while (copy.next(3, row)) {
            const std::uint32_t b = blockNumber(row[0], blocks);
            if (row[2].size() != std::size_t(kBlockSize))
                throw ShareError("Land block " + std::to_string(b) + " is not 196 bytes long.");
            snapshot.revisions.land[b] = PgReader(row[1]).int64();
            std::memcpy(map.data() + std::size_t(b) * kBlockSize, row[2].data(), kBlockSize);
            if (++done % step == 0)
                reportStep(progress, "Opening the shared map", done, total, stopped);
        }
    }
    if (std::find(snapshot.revisions.land.begin(), snapshot.revisions.land.end(), -1) !=
        snapshot.revisions.land.end())
        throw ShareError("Facet " + std::to_string(facet) +
                         " of the shared world lacks land blocks.");

    // The records in the order they arrive; each index entry points at its block's.
    std::vector<unsigned char> index(blocks * kStaticIndexEntrySize);
    std::vector<unsigned char> data;
    data.reserve(blocks * kStaticRecordSize);
    snapshot.revisions.statics.assign(blocks, -1);
    {
        CopyOut copy(connection, sql::copyStaticsOut(facet));
        while (copy.next(5, row)) {
            const std::uint32_t b = blockNumber(row[0], blocks);
            snapshot.revisions.statics[b] = PgReader(row[1]).int64();
            const auto records = row[2];
            if (records.size() % kStaticRecordSize != 0 ||
                data.size() + records.size() > 0x7FFFFFFF)
                throw ShareError("The statics of block " + std::to_string(b) + " cannot be read.");
            unsigned char* entry = index.data() + std::size_t(b) * kStaticIndexEntrySize;
            writeI32(entry, records.empty() ? -1 : std::int32_t(data.size()));
            writeI32(entry + 4,
                     records.empty() ? PgReader(row[4]).int32() : std::int32_t(records.size()));
            writeI32(entry + 8, PgReader(row[3]).int32());
            data.insert(data.end(), records.begin(), records.end());
            if (++done % step == 0)
                reportStep(progress, "Opening the shared map", done, total, stopped);
        }
    }
    if (std::find(snapshot.revisions.statics.begin(), snapshot.revisions.statics.end(), -1) !=
        snapshot.revisions.statics.end())
        throw ShareError("Facet " + std::to_string(facet) +
                         " of the shared world lacks statics blocks.");
    transaction.commit();
    reportStep(progress, "Opening the shared map", total, total, stopped);
    snapshot.copy = SharedFacet(MapImage(std::move(map), variant),
                                StaticsMap(std::move(index), std::move(data), variant.widthBlocks(),
                                           variant.heightBlocks()));
    return snapshot;
}

} // namespace tb
