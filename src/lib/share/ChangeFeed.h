#pragma once
// What other builders change, as it is committed: a connection of its own that listens for
// the server's notifications on one facet (the trigger sends one per block change, on commit
// and in commit order). An editor waits on socket() in its event loop and calls take().

#include "share/ShareConnection.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tb {

enum class BlockKind : std::uint8_t { Land, Statics };

struct BlockChange {
    BlockKind kind = BlockKind::Land;
    std::uint32_t block = 0;
    std::int64_t revision = 0;
    std::string author;
};

struct FeedNews {
    std::vector<BlockChange> changes; // in commit order
    bool facetReplaced = false;       // imported again: every block may differ
};

class ChangeFeed {
public:
    // Listens on facet `facet` through `connection`, which the feed keeps for itself.
    ChangeFeed(ShareConnection connection, int facet);

    // The socket to wait on.
    int socket() const { return m_connection.socket(); }
    // What has arrived, without waiting. Throws ConnectionLost.
    FeedNews take();
    // Waits up to `timeout` for something to arrive, then takes what has.
    FeedNews wait(std::chrono::milliseconds timeout);
    // Waits until every change committed before this call has arrived (a marker sent through
    // the server comes back after them) and returns what came. Throws ShareError when the
    // marker does not come back within `timeout`.
    FeedNews catchUp(std::chrono::milliseconds timeout);
    // Connects and listens again after the connection broke; changes made in between were
    // not heard, so the caller reads the facet's revisions again. Throws ConnectionLost.
    void reconnect();
    // The same in steps, for a loop that must not wait: startReconnect(), then
    // reconnectStep() now and then until it returns true (connected), then listen(). Both
    // throw ConnectionLost when the attempt fails.
    void startReconnect() { m_connection.startReconnect(); }
    bool reconnectStep() { return m_connection.reconnectStep(); }
    // Listens on the facet's channel (the constructor and reconnect() do).
    void listen();

private:
    // Takes what has arrived; true when marker `marker` was among it.
    bool collect(FeedNews& news, const std::string& marker);

    ShareConnection m_connection;
    int m_facet;
    std::uint64_t m_markers = 0;
};

} // namespace tb
