#pragma once
// Rows of a binary COPY ... TO STDOUT, read one at a time as they arrive. Every length in the
// stream is checked against the bytes received.

#include "share/ShareConnection.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace tb {

class CopyOut {
public:
    // Starts `copySql` on `connection`. Throws as ShareConnection::run does.
    CopyOut(ShareConnection& connection, const std::string& copySql);
    // A COPY not read to its end is cancelled and its remaining rows dropped.
    ~CopyOut();
    CopyOut(const CopyOut&) = delete;
    CopyOut& operator=(const CopyOut&) = delete;

    // The next row's fields (a null field is empty), valid until the next call; false once
    // the rows are over and the COPY has ended well. Throws ShareError for a row of another
    // number of fields than `fields`, or a stream that breaks off.
    bool next(std::size_t fields, std::vector<std::span<const unsigned char>>& row);

private:
    void release();
    void finish();

    ShareConnection& m_connection;
    char* m_buffer = nullptr;
    bool m_headerRead = false;
    bool m_done = false;
};

} // namespace tb
