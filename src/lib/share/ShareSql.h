#pragma once
// Every statement the shared world's library sends, in one place: the schema, the prepared
// statements and the COPY commands. Objects live in the schema "tb".

#include <cstdint>
#include <string>
#include <vector>

namespace tb {

// A statement prepared once per connection under its name; its parameters have the types
// given (pgtype numbers) and are sent in binary form.
struct PreparedStatement {
    const char* name;
    const char* sql;
    std::vector<std::uint32_t> parameterTypes;
};

namespace sql {

// The schema version this program writes and reads.
inline constexpr int kSchemaVersion = 1;

// Makes the schema: tables, the revision sequence, triggers, the stroke function and the
// row-level security policies. Run in one transaction by its owner.
const char* createSchema();

// The notification channel of facet `facet`.
std::string channel(int facet);

// Rights: the statements that give `role` (already quoted as an identifier) read or write
// access to the tables.
std::string grantRead(const std::string& quotedRole);
std::string grantWrite(const std::string& quotedRole);

// COPY commands in binary form for facet `facet`.
std::string copyLandOut(int facet);    // block, revision, cells
std::string copyStaticsOut(int facet); // block, revision, records, extra, blank_length
// block, revision of every block of the facet: what a builder compares its copy with after
// a time without notifications.
std::string copyRevisionsOut(const char* table, int facet);
std::string copyLandIn(); // facet, block, block_x, block_y, revision, cells
std::string
copyStaticsIn(); // facet, block, block_x, block_y, revision, records, extra, blank_length

extern const PreparedStatement kSchemaPresent;
extern const PreparedStatement kSchemaVersionOf; // only where kSchemaPresent says so
extern const PreparedStatement kFacetOf;
extern const PreparedStatement kFacetForImport;
extern const PreparedStatement kDeleteFacet;
extern const PreparedStatement kInsertFacet;
extern const PreparedStatement kNextRevision;
extern const PreparedStatement kNotifyReplaced;
extern const PreparedStatement kFetchLand;
extern const PreparedStatement kFetchStatics;
extern const PreparedStatement kCommitStroke;
extern const PreparedStatement kNotifyMarker;
extern const PreparedStatement kInsertAccess;
extern const PreparedStatement kMyWriteRegions;
extern const PreparedStatement kAnnounce;
extern const PreparedStatement kPresent;
extern const PreparedStatement kLeave;

} // namespace sql
} // namespace tb
