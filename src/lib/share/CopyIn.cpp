#include "share/CopyIn.h"

#include "share/PgParams.h"
#include "share/ShareErrors.h"

#include <limits>

namespace tb {
namespace {

constexpr std::size_t kPiece = 1 << 20;

} // namespace

CopyIn::CopyIn(ShareConnection& connection, const std::string& copySql) : m_connection(connection) {
    PgResult started(PQexec(connection.handle(), copySql.c_str()));
    connection.check(started.get());
    if (PQresultStatus(started.get()) != PGRES_COPY_IN)
        throw ShareError("The server did not start taking rows.");
    m_buffer.reserve(kPiece + 4096);
    m_buffer.append("PGCOPY\n\xFF\r\n\0", 11);
    appendBigEndian(m_buffer, 0, 4); // flags
    appendBigEndian(m_buffer, 0, 4); // no header extension
}

CopyIn::~CopyIn() {
    if (m_done)
        return;
    PQputCopyEnd(m_connection.handle(), "stopped");
    while (PGresult* r = PQgetResult(m_connection.handle()))
        PQclear(r);
}

void CopyIn::row(std::int16_t fields) {
    if (m_buffer.size() >= kPiece)
        flush();
    appendBigEndian(m_buffer, std::uint16_t(fields), 2);
}

void CopyIn::int4(std::int32_t value) {
    appendBigEndian(m_buffer, 4, 4);
    appendBigEndian(m_buffer, std::uint32_t(value), 4);
}

void CopyIn::int8(std::int64_t value) {
    appendBigEndian(m_buffer, 8, 4);
    appendBigEndian(m_buffer, std::uint64_t(value), 8);
}

void CopyIn::bytes(std::span<const unsigned char> value) {
    if (value.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw ShareError("A value is too large to be stored.");
    appendBigEndian(m_buffer, value.size(), 4);
    m_buffer.append(reinterpret_cast<const char*>(value.data()), value.size());
}

void CopyIn::flush() {
    if (m_buffer.empty())
        return;
    if (PQputCopyData(m_connection.handle(), m_buffer.data(), int(m_buffer.size())) != 1)
        m_connection.check(nullptr);
    m_buffer.clear();
}

void CopyIn::finish() {
    appendBigEndian(m_buffer, 0xFFFF, 2); // the trailer
    flush();
    m_done = true;
    if (PQputCopyEnd(m_connection.handle(), nullptr) != 1)
        m_connection.check(nullptr);
    PgResult result(PQgetResult(m_connection.handle()));
    m_connection.check(result.get());
    while (PGresult* r = PQgetResult(m_connection.handle()))
        PQclear(r);
}

} // namespace tb
