#include "share/ChangeFeed.h"

#include "share/ShareErrors.h"
#include "share/ShareSql.h"
#include "share/SocketWait.h"

#include <charconv>

namespace tb {
namespace {

// "L 1234 567 builder" / "S ...": kind, block, revision, author (which may hold spaces).
bool parseChange(std::string_view text, BlockChange& change) {
    if (text.size() < 2 || (text[0] != 'L' && text[0] != 'S') || text[1] != ' ')
        return false;
    change.kind = text[0] == 'L' ? BlockKind::Land : BlockKind::Statics;
    const char* p = text.data() + 2;
    const char* end = text.data() + text.size();
    auto [afterBlock, e1] = std::from_chars(p, end, change.block);
    if (e1 != std::errc() || afterBlock == end || *afterBlock != ' ')
        return false;
    auto [afterRevision, e2] = std::from_chars(afterBlock + 1, end, change.revision);
    if (e2 != std::errc() || afterRevision == end || *afterRevision != ' ')
        return false;
    change.author.assign(afterRevision + 1, end);
    return true;
}

} // namespace

ChangeFeed::ChangeFeed(ShareConnection connection, int facet)
    : m_connection(std::move(connection)), m_facet(facet) {
    listen();
}

void ChangeFeed::listen() {
    m_connection.execute("LISTEN " + sql::channel(m_facet));
}

void ChangeFeed::reconnect() {
    m_connection.reconnect();
    listen();
}

bool ChangeFeed::collect(FeedNews& news, const std::string& marker) {
    if (PQconsumeInput(m_connection.handle()) != 1 || m_connection.isBroken())
        m_connection.check(nullptr);
    bool markerSeen = false;
    while (PGnotify* notify = PQnotifies(m_connection.handle())) {
        const std::string_view text = notify->extra ? notify->extra : "";
        BlockChange change;
        if (text == "R")
            news.facetReplaced = true;
        else if (!marker.empty() && text.size() > 2 && text.substr(0, 2) == "M " &&
                 text.substr(2) == marker)
            markerSeen = true;
        else if (parseChange(text, change))
            news.changes.push_back(std::move(change));
        PQfreemem(notify);
    }
    return markerSeen;
}

FeedNews ChangeFeed::take() {
    FeedNews news;
    collect(news, {});
    return news;
}

FeedNews ChangeFeed::wait(std::chrono::milliseconds timeout) {
    FeedNews news;
    collect(news, {});
    if (news.changes.empty() && !news.facetReplaced && waitReadable(socket(), timeout))
        collect(news, {});
    return news;
}

FeedNews ChangeFeed::catchUp(std::chrono::milliseconds timeout) {
    const std::string marker =
        std::to_string(m_connection.backendPid()) + "-" + std::to_string(++m_markers);
    PgParams params;
    params.text(sql::channel(m_facet)).text(marker);
    FeedNews news;
    // Notifications that arrived with the statement's reply are read along with it.
    m_connection.run(sql::kNotifyMarker, params);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!collect(news, marker)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !waitReadable(socket(), left))
            throw ShareError("The server's notifications did not arrive in time.");
    }
    return news;
}

} // namespace tb
