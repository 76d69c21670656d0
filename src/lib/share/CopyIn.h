#pragma once
// Rows sent to a binary COPY ... FROM STDIN, gathered into large pieces before they go out.

#include "share/ShareConnection.h"

#include <cstdint>
#include <span>
#include <string>

namespace tb {

class CopyIn {
public:
    // Starts `copySql` on `connection`. Throws as ShareConnection::run does.
    CopyIn(ShareConnection& connection, const std::string& copySql);
    // A COPY not finished is aborted: the server stores none of its rows.
    ~CopyIn();
    CopyIn(const CopyIn&) = delete;
    CopyIn& operator=(const CopyIn&) = delete;

    // A row of `fields` fields, given next one by one.
    void row(std::int16_t fields);
    void int4(std::int32_t value);
    void int8(std::int64_t value);
    void bytes(std::span<const unsigned char> value);
    // Sends the rest and ends the COPY; throws when the server refused a row.
    void finish();

private:
    void flush();

    ShareConnection& m_connection;
    std::string m_buffer;
    bool m_done = false;
};

} // namespace tb
