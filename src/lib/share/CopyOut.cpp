#include "share/CopyOut.h"

#include "share/PgReader.h"
#include "share/ShareErrors.h"

#include <cstring>

namespace tb {
namespace {

constexpr unsigned char kSignature[11] = {'P', 'G', 'C', 'O', 'P', 'Y', '\n', 0xFF, '\r', '\n', 0};

} // namespace

CopyOut::CopyOut(ShareConnection& connection, const std::string& copySql)
    : m_connection(connection) {
    PgResult started(PQexec(connection.handle(), copySql.c_str()));
    connection.check(started.get());
    if (PQresultStatus(started.get()) != PGRES_COPY_OUT)
        throw ShareError("The server did not start sending rows.");
}

CopyOut::~CopyOut() {
    release();
    if (m_done)
        return;
    m_connection.cancel();
    char* buffer = nullptr;
    while (PQgetCopyData(m_connection.handle(), &buffer, 0) >= 0)
        PQfreemem(buffer);
    while (PGresult* r = PQgetResult(m_connection.handle()))
        PQclear(r);
}

void CopyOut::release() {
    if (m_buffer)
        PQfreemem(m_buffer);
    m_buffer = nullptr;
}

void CopyOut::finish() {
    m_done = true;
    PgResult result(PQgetResult(m_connection.handle()));
    m_connection.check(result.get());
    while (PGresult* r = PQgetResult(m_connection.handle()))
        PQclear(r);
}

bool CopyOut::next(std::size_t fields, std::vector<std::span<const unsigned char>>& row) {
    if (m_done)
        return false;
    release();
    // The server sends each row (and the header, and the trailer) as a message of its own;
    // the header may also come in front of the first row.
    for (;;) {
        const int size = PQgetCopyData(m_connection.handle(), &m_buffer, 0);
        if (size == -1) {
            finish();
            return false;
        }
        if (size < 0) {
            m_done = true;
            m_connection.check(nullptr);
        }
        PgReader reader(m_buffer, std::size_t(size));
        if (!m_headerRead) {
            const auto signature = reader.bytes(sizeof kSignature);
            if (std::memcmp(signature.data(), kSignature, sizeof kSignature) != 0)
                throw ShareError("The server's rows are not in binary COPY form.");
            reader.int32();                                           // flags
            reader.bytes(std::size_t(std::uint32_t(reader.int32()))); // header extension
            m_headerRead = true;
            if (reader.atEnd()) {
                release();
                continue;
            }
        }
        const std::int16_t count = reader.int16();
        if (count == -1) {
            release();
            continue; // the trailer; the end follows
        }
        if (count < 0 || std::size_t(count) != fields)
            throw ShareError("The server sent a row of " + std::to_string(count) +
                             " fields where " + std::to_string(fields) + " were expected.");
        row.clear();
        for (std::size_t i = 0; i < fields; ++i)
            row.push_back(reader.field());
        return true;
    }
}

} // namespace tb
