#include "share/ShareAccess.h"

#include "share/PgReader.h"
#include "share/ShareSql.h"
#include "share/ShareTransaction.h"

#include <stdexcept>

namespace tb {
namespace {

std::span<const unsigned char> value(const PGresult* result, int row, int column) {
    return {reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column)),
            std::size_t(PQgetlength(result, row, column))};
}

bool onBlockEdges(const CellRegion& r) {
    return r.x1 % 8 == 0 && r.y1 % 8 == 0 && r.x2 % 8 == 7 && r.y2 % 8 == 7;
}

} // namespace

std::string ShareAccess::problemWith(const AccessGrant& grant) {
    if (grant.role.empty())
        return "No role is named.";
    if (!grant.region)
        return {};
    if (grant.level == AccessLevel::Read)
        return "A region limits write rights only; a read right covers a whole facet.";
    if (!grant.facet)
        return "A region needs the facet it lies in.";
    const CellRegion& r = *grant.region;
    if (r.x1 < 0 || r.y1 < 0 || r.x2 < r.x1 || r.y2 < r.y1)
        return "The region's first corner must lie above and left of its second.";
    if (!onBlockEdges(r))
        return "A region covers whole blocks of 8 x 8 cells: X1 and Y1 are multiples of 8, X2 "
               "and Y2 one less than a multiple of 8 (as in 0 0 1023 511).";
    return {};
}

void ShareAccess::grant(ShareConnection& connection, const AccessGrant& grant) {
    if (const std::string problem = problemWith(grant); !problem.empty())
        throw std::invalid_argument(problem);
    const std::string role = connection.quoteIdentifier(grant.role);
    const bool write = grant.level == AccessLevel::Write;
    ShareTransaction transaction(connection);
    connection.execute(write ? sql::grantWrite(role) : sql::grantRead(role));
    PgParams params;
    params.text(grant.role).text(write ? "write" : "read");
    if (grant.facet)
        params.int4(*grant.facet);
    else
        params.null();
    if (grant.region)
        params.int4(grant.region->x1 / 8)
            .int4(grant.region->y1 / 8)
            .int4(grant.region->x2 / 8)
            .int4(grant.region->y2 / 8);
    else
        params.null().null().null().null();
    connection.run(sql::kInsertAccess, params);
    transaction.commit();
}

std::vector<CellRegion> ShareAccess::writeRegions(ShareConnection& connection, int facet, int width,
                                                  int height) {
    PgParams params;
    params.int4(facet);
    PgResult result = connection.run(sql::kMyWriteRegions, params);
    std::vector<CellRegion> regions;
    for (int r = 0; r < PQntuples(result.get()); ++r) {
        if (PQgetisnull(result.get(), r, 0)) {
            regions.push_back({0, 0, width - 1, height - 1});
            continue;
        }
        auto at = [&](int c) { return PgReader(value(result.get(), r, c)).int32(); };
        regions.push_back({at(0) * 8, at(1) * 8, at(2) * 8 + 7, at(3) * 8 + 7});
    }
    return regions;
}

std::string ShareAccess::describe(const std::vector<CellRegion>& regions, int facet) {
    const std::string ofFacet = " of facet " + std::to_string(facet);
    if (regions.empty())
        return "nowhere: the role may only read facet " + std::to_string(facet);
    std::string text;
    for (const CellRegion& r : regions) {
        if (!text.empty())
            text += "; ";
        text += "cells " + std::to_string(r.x1) + "," + std::to_string(r.y1) + " to " +
                std::to_string(r.x2) + "," + std::to_string(r.y2) + ofFacet;
    }
    return text;
}

} // namespace tb
