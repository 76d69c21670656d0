#pragma once
// A transaction on a connection that is rolled back unless it was committed, so that a
// failure half way leaves nothing of what was written.

#include "share/ShareConnection.h"

#include <string>

namespace tb {

class ShareTransaction {
public:
    // `begin` is the statement that starts it ("BEGIN", or with an isolation level).
    explicit ShareTransaction(ShareConnection& connection, const std::string& begin = "BEGIN");
    ~ShareTransaction();
    ShareTransaction(const ShareTransaction&) = delete;
    ShareTransaction& operator=(const ShareTransaction&) = delete;

    void commit();

private:
    ShareConnection& m_connection;
    bool m_open = true;
};

} // namespace tb
