#include "share/BlockStore.h"

#include "share/PgReader.h"
#include "share/ShareErrors.h"

#include <algorithm>
#include <string>

namespace tb {
namespace {

std::span<const unsigned char> value(const PGresult* result, int row, int column) {
    return {reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column)),
            std::size_t(PQgetlength(result, row, column))};
}

std::vector<std::int32_t> numbers(std::span<const std::uint32_t> blocks) {
    return {blocks.begin(), blocks.end()};
}

void addKind(PgParams& params, const std::vector<StoredBlock>& blocks,
             std::vector<std::int32_t>& numbers, std::vector<std::int64_t>& revisions) {
    std::vector<std::span<const unsigned char>> bytes;
    for (const StoredBlock& b : blocks) {
        numbers.push_back(std::int32_t(b.block));
        revisions.push_back(b.revision);
        bytes.emplace_back(b.bytes);
    }
    params.int4Array(numbers).int8Array(revisions).byteaArray(bytes);
}

} // namespace

std::vector<StoredBlock> BlockStore::fetchKind(const PreparedStatement& statement,
                                               std::span<const std::uint32_t> blocks,
                                               const char* kind) {
    std::vector<StoredBlock> out;
    if (blocks.empty())
        return out;
    PgParams params;
    params.int4(m_facet).int4Array(numbers(blocks));
    PgResult result = m_connection.run(statement, params);
    const int rows = PQntuples(result.get());
    out.reserve(std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        StoredBlock b;
        b.block = std::uint32_t(PgReader(value(result.get(), r, 0)).int32());
        b.revision = PgReader(value(result.get(), r, 1)).int64();
        const auto bytes = value(result.get(), r, 2);
        b.bytes.assign(bytes.begin(), bytes.end());
        out.push_back(std::move(b));
    }
    std::sort(out.begin(), out.end(),
              [](const StoredBlock& a, const StoredBlock& b) { return a.block < b.block; });
    if (out.size() != blocks.size())
        throw ShareError("Facet " + std::to_string(m_facet) + " of the shared world lacks " + kind +
                         " blocks: was it deleted?");
    return out;
}

BlockSet BlockStore::fetch(std::span<const std::uint32_t> land,
                           std::span<const std::uint32_t> statics) {
    BlockSet set;
    set.land = fetchKind(sql::kFetchLand, land, "land");
    set.statics = fetchKind(sql::kFetchStatics, statics, "statics");
    return set;
}

CommitOutcome BlockStore::commit(const StrokeId& id, const BlockSet& blocks) {
    PgParams params;
    params.int4(m_facet).uuid(id);
    std::vector<std::int32_t> landNumbers, staticsNumbers;
    std::vector<std::int64_t> landRevisions, staticsRevisions;
    addKind(params, blocks.land, landNumbers, landRevisions);
    addKind(params, blocks.statics, staticsNumbers, staticsRevisions);
    CommitOutcome outcome;
    PgResult result;
    try {
        result = m_connection.run(sql::kCommitStroke, params);
    } catch (const ShareError& e) {
        // A deadlock cannot come from two strokes (blocks are written in ascending order),
        // but would be resolved the same way: read again, apply again.
        const std::string& state = e.sqlState();
        if (state != "TB409" && state != "40P01" && state != "40001")
            throw;
        outcome.result = CommitResult::Conflict;
        return outcome;
    }
    if (PQntuples(result.get()) != 1)
        throw ShareError("The server's reply to a stroke has no row.");
    if (PQgetisnull(result.get(), 0, 0)) {
        outcome.result = CommitResult::AlreadyHeld;
        return outcome;
    }
    const std::vector<std::int64_t> revisions = PgReader::int8Array(value(result.get(), 0, 0));
    if (revisions.size() != blocks.land.size() + blocks.statics.size())
        throw ShareError("The server's reply to a stroke names another number of blocks.");
    outcome.result = CommitResult::Committed;
    outcome.landRevisions.assign(revisions.begin(),
                                 revisions.begin() + std::ptrdiff_t(blocks.land.size()));
    outcome.staticsRevisions.assign(revisions.begin() + std::ptrdiff_t(blocks.land.size()),
                                    revisions.end());
    return outcome;
}

} // namespace tb
