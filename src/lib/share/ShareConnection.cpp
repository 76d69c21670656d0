#include "share/ShareConnection.h"

#include "share/ConnectionUri.h"
#include "share/ShareErrors.h"
#include "share/SocketWait.h"

#include <string>
#include <utility>
#include <vector>

namespace tb {
namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// Server codes that mean the connection is gone or the server is not (yet) there.
bool meansConnectionLost(const std::string& state) {
    return state.starts_with("08") || state == "57P01" || state == "57P02" || state == "57P03";
}

PGconn* connect(const std::string& uri, std::string_view applicationName,
                const std::string* password) {
    // The URI's own settings win over these defaults: it is expanded after them. A link that
    // dies without a word is noticed within seconds, not after minutes of TCP retries, so a
    // commit waits that long at most before its stroke goes to the journal.
    const std::string name(applicationName);
    std::vector<const char*> keys{"connect_timeout",  "fallback_application_name",
                                  "keepalives_idle",  "keepalives_interval",
                                  "keepalives_count", "tcp_user_timeout"};
    std::vector<const char*> values{"10", name.c_str(), "5", "2", "3", "8000"};
    if (password) {
        keys.push_back("password");
        values.push_back(password->c_str());
    }
    keys.push_back("dbname");
    values.push_back(uri.c_str());
    keys.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(keys.data(), values.data(), 1);
}

// The server's notices ("... does not exist, skipping") are not for the builder.
void ignoreNotice(void*, const char*) {}

} // namespace

ShareConnection ShareConnection::open(const std::string& uri, const PasswordPrompt& prompt,
                                      std::string_view applicationName) {
    // libpq would take a text that is no URI as a database name on the local socket.
    if (const std::string problem = connectionUriProblem(uri); !problem.empty())
        throw ShareError("Cannot reach the shared world: " + problem);
    PGconn* conn = connect(uri, applicationName, nullptr);
    if (conn && PQstatus(conn) != CONNECTION_OK && PQconnectionNeedsPassword(conn) && prompt) {
        const std::string user = PQuser(conn) ? PQuser(conn) : "";
        if (const std::optional<std::string> password = prompt(user)) {
            PQfinish(conn);
            conn = connect(uri, applicationName, &*password);
        }
    }
    if (!conn)
        throw ConnectionLost("Cannot connect to the shared world: out of memory.");
    ShareConnection connection(conn, uri);
    if (PQstatus(conn) != CONNECTION_OK)
        connection.throwConnectionError();
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    return connection;
}

ShareConnection ShareConnection::another(std::string_view applicationName) const {
    PQconninfoOption* options = PQconninfo(m_conn);
    if (!options)
        throw ConnectionLost("Cannot connect to the shared world: out of memory.");
    std::vector<std::string> keys, values;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val && std::string_view(o->keyword) != "application_name" &&
            std::string_view(o->keyword) != "fallback_application_name") {
            keys.emplace_back(o->keyword);
            values.emplace_back(o->val);
        }
    PQconninfoFree(options);
    keys.emplace_back("application_name");
    values.emplace_back(applicationName);
    std::vector<const char*> k, v;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].c_str());
        v.push_back(values[i].c_str());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    ShareConnection connection(PQconnectdbParams(k.data(), v.data(), 0), m_uri);
    if (!connection.m_conn)
        throw ConnectionLost("Cannot connect to the shared world: out of memory.");
    if (PQstatus(connection.m_conn) != CONNECTION_OK)
        connection.throwConnectionError();
    PQsetNoticeProcessor(connection.m_conn, ignoreNotice, nullptr);
    return connection;
}

ShareConnection::ShareConnection(ShareConnection&& other) noexcept
    : m_conn(std::exchange(other.m_conn, nullptr)), m_uri(std::move(other.m_uri)),
      m_prepared(std::move(other.m_prepared)), m_resetPolling(other.m_resetPolling) {}

ShareConnection& ShareConnection::operator=(ShareConnection&& other) noexcept {
    if (this != &other) {
        if (m_conn)
            PQfinish(m_conn);
        m_conn = std::exchange(other.m_conn, nullptr);
        m_uri = std::move(other.m_uri);
        m_prepared = std::move(other.m_prepared);
        m_resetPolling = other.m_resetPolling;
    }
    return *this;
}

ShareConnection::~ShareConnection() {
    if (m_conn)
        PQfinish(m_conn);
}

std::string ShareConnection::user() const {
    const char* name = PQuser(m_conn);
    return name ? name : "";
}

int ShareConnection::backendPid() const {
    return PQbackendPID(m_conn);
}

bool ShareConnection::isBroken() const {
    return !m_conn || PQstatus(m_conn) != CONNECTION_OK;
}

int ShareConnection::socket() const {
    return PQsocket(m_conn);
}

std::string ShareConnection::withoutPasswords(std::string text) const {
    std::vector<std::string> inUse;
    if (m_conn && PQpass(m_conn))
        inUse.emplace_back(PQpass(m_conn));
    return hidePasswords(std::move(text), m_uri, inUse);
}

void ShareConnection::throwConnectionError() const {
    throw ConnectionLost("Cannot reach the shared world: " +
                         withoutPasswords(trimmed(PQerrorMessage(m_conn))));
}

void ShareConnection::reconnect() {
    m_prepared.clear();
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throwConnectionError();
}

void ShareConnection::startReconnect() {
    m_prepared.clear();
    if (!PQresetStart(m_conn))
        throwConnectionError();
    m_resetPolling = PGRES_POLLING_WRITING;
}

bool ShareConnection::reconnectStep() {
    // libpq moves on only when the socket is ready for what it waits for.
    const int socket = PQsocket(m_conn);
    const bool ready = socket >= 0 && (m_resetPolling == PGRES_POLLING_READING
                                           ? waitReadable(socket, std::chrono::milliseconds(0))
                                           : waitWritable(socket, std::chrono::milliseconds(0)));
    if (socket >= 0 && !ready)
        return false;
    m_resetPolling = PQresetPoll(m_conn);
    if (m_resetPolling == PGRES_POLLING_FAILED)
        throwConnectionError();
    return m_resetPolling == PGRES_POLLING_OK;
}

void ShareConnection::check(const PGresult* result) const {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_COPY_IN ||
        status == PGRES_COPY_OUT || status == PGRES_EMPTY_QUERY)
        return;
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const std::string code = state ? state : "";
    const std::string message =
        withoutPasswords(primary ? primary : trimmed(PQerrorMessage(m_conn)));
    if (isBroken() || meansConnectionLost(code))
        throw ConnectionLost("The connection to the shared world was lost: " + message, code);
    if (code == "42501")
        throw WriteRefused(message, code);
    throw ShareError(message, code);
}

void ShareConnection::execute(const std::string& sql) {
    PgResult result(PQexec(m_conn, sql.c_str()));
    check(result.get());
}

PgResult ShareConnection::run(const PreparedStatement& statement, const PgParams& params) {
    if (!m_prepared.contains(statement.name)) {
        const auto& types = statement.parameterTypes;
        PgResult prepared(PQprepare(m_conn, statement.name, statement.sql, int(types.size()),
                                    types.empty() ? nullptr : types.data()));
        check(prepared.get());
        m_prepared.insert(statement.name);
    }
    PgResult result(PQexecPrepared(m_conn, statement.name, params.count(), params.values(),
                                   params.lengths(), params.formats(), 1));
    check(result.get());
    return result;
}

void ShareConnection::cancel() {
    if (PGcancel* cancel = PQgetCancel(m_conn)) {
        char error[256];
        PQcancel(cancel, error, sizeof error);
        PQfreeCancel(cancel);
    }
}

std::string ShareConnection::quoteIdentifier(const std::string& name) const {
    char* quoted = PQescapeIdentifier(m_conn, name.c_str(), name.size());
    if (!quoted)
        throw ShareError(withoutPasswords(trimmed(PQerrorMessage(m_conn))));
    std::string out = quoted;
    PQfreemem(quoted);
    return out;
}

} // namespace tb
