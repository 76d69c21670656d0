#include "share/Presence.h"

#include "share/PgReader.h"
#include "share/ShareSql.h"

namespace tb {
namespace {

std::span<const unsigned char> value(const PGresult* result, int row, int column) {
    return {reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column)),
            std::size_t(PQgetlength(result, row, column))};
}

} // namespace

Presence::Presence(ShareConnection& connection, int facet)
    : m_connection(connection), m_facet(facet), m_session(newStrokeId()) {}

void Presence::announce(const CellRegion& view) {
    PgParams params;
    params.uuid(m_session).int4(m_facet).int4(view.x1).int4(view.y1).int4(view.x2).int4(view.y2);
    m_connection.run(sql::kAnnounce, params);
}

std::vector<PresentBuilder> Presence::others(std::chrono::seconds within) {
    PgParams params;
    params.int4(m_facet).int4(std::int32_t(within.count())).uuid(m_session);
    PgResult result = m_connection.run(sql::kPresent, params);
    std::vector<PresentBuilder> list;
    for (int r = 0; r < PQntuples(result.get()); ++r) {
        auto at = [&](int c) { return PgReader(value(result.get(), r, c)).int32(); };
        const auto name = value(result.get(), r, 0);
        list.push_back({std::string(name.begin(), name.end()), {at(1), at(2), at(3), at(4)}});
    }
    return list;
}

void Presence::leave() {
    PgParams params;
    params.uuid(m_session);
    m_connection.run(sql::kLeave, params);
}

} // namespace tb
