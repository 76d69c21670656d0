#pragma once
// One connection to the shared world's server through libpq. Statements are prepared on
// first use and sent with binary parameters; results come back in binary form. Failures
// become ShareError, ConnectionLost or WriteRefused (ShareErrors.h).

#include "share/PgParams.h"
#include "share/ShareSql.h"

#include <libpq-fe.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tb {

struct PgResultFree {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

// Asked for the password of role `user` when the server wants one and neither the URI nor
// ~/.pgpass gives it; nullopt gives up.
using PasswordPrompt = std::function<std::optional<std::string>(const std::string& user)>;

class ShareConnection {
public:
    // Connects to `uri`, a libpq connection URI ("postgresql://builder@host/world", with
    // "?sslmode=require" for TLS) or a keyword string. `applicationName` is what the server
    // lists the connection as, unless the URI names one. Throws ShareError for a `uri` that
    // is neither (connectionUriProblem), before any connection is tried, and ConnectionLost
    // with libpq's message when no connection is made. No message shows a password: it
    // reads "***" there.
    static ShareConnection open(const std::string& uri, const PasswordPrompt& prompt = {},
                                std::string_view applicationName = "tolvane-brimholt");
    // A second connection with this one's parameters, password and TLS settings included
    // (the change feed listens on one of its own). Throws ConnectionLost.
    ShareConnection another(std::string_view applicationName) const;

    ShareConnection(ShareConnection&& other) noexcept;
    ShareConnection& operator=(ShareConnection&& other) noexcept;
    ShareConnection(const ShareConnection&) = delete;
    ShareConnection& operator=(const ShareConnection&) = delete;
    ~ShareConnection();

    // The role logged in as.
    std::string user() const;
    // The server process that serves this connection (pg_terminate_backend takes it).
    int backendPid() const;
    bool isBroken() const;
    // The socket, for an event loop that waits for notifications.
    int socket() const;
    PGconn* handle() const { return m_conn; }

    // Connects again with the same parameters, password included, after the connection
    // broke; statements are prepared again on first use. Throws ConnectionLost.
    void reconnect();
    // The same without waiting, for an event loop: start, then call reconnectStep() now and
    // then until it returns true. Throws ConnectionLost when the attempt fails.
    void startReconnect();
    bool reconnectStep();

    // Runs `sql` (one or more statements without parameters) and drops any rows.
    void execute(const std::string& sql);
    // Runs `statement` with `params`; rows come back in binary form.
    PgResult run(const PreparedStatement& statement, const PgParams& params = {});
    // Throws for a result that is not a success (or for no result at all).
    void check(const PGresult* result) const;
    // Asks the server to stop the statement under way.
    void cancel();
    // The identifier `name` quoted for the server ("builder" -> "\"builder\"").
    std::string quoteIdentifier(const std::string& name) const;

private:
    ShareConnection(PGconn* conn, std::string uri) : m_conn(conn), m_uri(std::move(uri)) {}
    [[noreturn]] void throwConnectionError() const;
    // libpq's text with the passwords of this connection hidden.
    std::string withoutPasswords(std::string text) const;

    PGconn* m_conn = nullptr;
    std::string m_uri; // as given to open(), for the passwords a message must not show
    std::set<std::string> m_prepared;
    int m_resetPolling = 0; // what the reconnect under way waits for (PostgresPollingStatusType)
};

} // namespace tb
