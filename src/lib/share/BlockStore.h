#pragma once
// The blocks of one facet on the server: fetched by number, and written a stroke at a time
// in one transaction, each block only while it still has the revision the builder holds.

#include "share/ShareConnection.h"
#include "share/Stroke.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tb {

// One block as the server holds it (fetched), or as a builder writes it (with the revision
// the builder holds).
struct StoredBlock {
    std::uint32_t block = 0;
    std::int64_t revision = 0;
    std::vector<unsigned char> bytes; // land: 196 bytes; statics: the records, 7 bytes each
};

struct BlockSet {
    std::vector<StoredBlock> land;    // ascending block numbers
    std::vector<StoredBlock> statics; // ascending block numbers
};

enum class CommitResult {
    Committed,
    AlreadyHeld, // the server holds this stroke already (committed before a connection broke)
    Conflict,    // a block was changed meanwhile; nothing was written
};

struct CommitOutcome {
    CommitResult result = CommitResult::Conflict;
    // The blocks' new revisions, in the order given; set when Committed.
    std::vector<std::int64_t> landRevisions;
    std::vector<std::int64_t> staticsRevisions;
};

class BlockStore {
public:
    BlockStore(ShareConnection& connection, int facet) : m_connection(connection), m_facet(facet) {}

    // The blocks as the server holds them now, in ascending order. Throws ShareError when
    // one is not there (a facet deleted meanwhile).
    BlockSet fetch(std::span<const std::uint32_t> land, std::span<const std::uint32_t> statics);

    // Writes `blocks` as stroke `id`: all or none. Throws WriteRefused for a block the role
    // may not write, ConnectionLost when the connection breaks (the stroke may then have
    // been committed; committing it again gives AlreadyHeld).
    CommitOutcome commit(const StrokeId& id, const BlockSet& blocks);

private:
    std::vector<StoredBlock> fetchKind(const PreparedStatement& statement,
                                       std::span<const std::uint32_t> blocks, const char* kind);

    ShareConnection& m_connection;
    int m_facet;
};

} // namespace tb
