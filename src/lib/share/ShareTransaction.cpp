#include "share/ShareTransaction.h"

namespace tb {

ShareTransaction::ShareTransaction(ShareConnection& connection, const std::string& begin)
    : m_connection(connection) {
    m_connection.execute(begin);
}

ShareTransaction::~ShareTransaction() {
    // A broken connection has rolled back on the server already.
    if (m_open && !m_connection.isBroken())
        PQclear(PQexec(m_connection.handle(), "ROLLBACK"));
}

void ShareTransaction::commit() {
    m_open = false;
    m_connection.execute("COMMIT");
}

} // namespace tb
