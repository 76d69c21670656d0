#include "share/ShareSchema.h"

#include "share/PgReader.h"
#include "share/ShareErrors.h"
#include "share/ShareSql.h"
#include "share/ShareTransaction.h"

#include <string>

namespace tb {
namespace {

std::string versionMismatch(int found) {
    return "The database holds a shared world of schema version " + std::to_string(found) +
           "; this program reads version " + std::to_string(sql::kSchemaVersion) + ".";
}

} // namespace

int ShareSchema::version(ShareConnection& connection) {
    PgResult present = connection.run(sql::kSchemaPresent);
    if (PQntuples(present.get()) != 1 || *PQgetvalue(present.get(), 0, 0) == 0)
        return 0;
    PgResult version = connection.run(sql::kSchemaVersionOf);
    if (PQntuples(version.get()) != 1 || PQgetisnull(version.get(), 0, 0))
        return 0;
    return PgReader(PQgetvalue(version.get(), 0, 0), std::size_t(PQgetlength(version.get(), 0, 0)))
        .int32();
}

bool ShareSchema::create(ShareConnection& connection) {
    const int found = version(connection);
    if (found == sql::kSchemaVersion)
        return false;
    if (found != 0)
        throw ShareError(versionMismatch(found));
    ShareTransaction transaction(connection);
    connection.execute(sql::createSchema());
    transaction.commit();
    return true;
}

void ShareSchema::check(ShareConnection& connection) {
    int found = 0;
    try {
        found = version(connection);
    } catch (const WriteRefused&) {
        throw ShareError("The role " + connection.user() +
                             " has no right on the shared world of this database.",
                         "42501");
    }
    if (found == 0)
        throw ShareError("The database holds no shared world: make one with \"tbmap share init\".");
    if (found != sql::kSchemaVersion)
        throw ShareError(versionMismatch(found));
}

} // namespace tb
