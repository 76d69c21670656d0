#pragma once
// The network side of an editor on a shared facet: a thread of its own that owns the
// session, the change feed and the presence with their connections, and makes every call
// to the server, so that the editor's UI thread never waits on the network. The editor
// hands it strokes (already shown and journalled) and the view it shows; the worker hands
// back, in the order it did them, what the editor needs to follow: which stroke it took,
// each stroke's outcome, the blocks it put into its copy of the facet (other builders'
// changes, merges, strokes taken back, a resynchronisation), whether the server can be
// reached and who else is there.
//
// It keeps its own copy of the facet as committed, which the session reads and updates;
// the editor's copy is the same copy with the strokes it handed over and not yet seen taken
// laid over it (SharedDocument).
//
// The link is watched: every beat the worker announces the view (a query of a few bytes),
// and a call that gets no answer within the call limit is ended by shutting its socket
// down, so an idle editor hears within seconds that the server is gone, even one stopped
// dead, whose system still acknowledges every packet. Strokes then wait in the journal and
// go out in order once a reconnect succeeds; the change feed is opened again and the copy
// resynchronised.

#include "share/ChangeFeed.h"
#include "share/Presence.h"
#include "share/ShareSession.h"
#include "share/Stroke.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tb {

class WakeSignal;

// A block the worker put into its copy: land (196 bytes) or statics (7-byte records).
struct BlockPut {
    BlockKind kind = BlockKind::Land;
    std::uint32_t block = 0;
    std::vector<unsigned char> bytes;
};

struct WorkerEvent {
    enum class Kind {
        Taken,    // the worker's copy shows stroke `stroke` now; its outcome follows
        Outcome,  // `report` of stroke `stroke` (handed over, or one that waited)
        Puts,     // blocks put into the worker's copy, in order
        Link,     // the server can be reached again, or no longer
        Builders, // who else is on the facet, as just read
        FacetReplaced,
        Failed, // `message`: something the builder should read
    };
    Kind kind = Kind::Puts;
    StrokeId stroke{}; // all zero for a stroke of an earlier session
    SubmitReport report;
    std::vector<BlockPut> puts;
    std::vector<PresentBuilder> builders;
    std::string message;
    // As they stand after this event.
    bool online = true;
    std::size_t waiting = 0; // strokes waiting in the journal for the server
};

struct WorkerTiming {
    // How often the view is announced (the link checked) and others read; while offline,
    // how often a reconnect is begun.
    std::chrono::milliseconds beat{3000};
    // How long a call may go without an answer before the link counts as gone: with the
    // beat, the longest an idle editor takes to notice.
    std::chrono::milliseconds callLimit{4000};
    // How long a reconnect may take before it is given up (the next beat tries again).
    std::chrono::milliseconds reconnectLimit{10000};
};

class ShareWorker {
public:
    // Takes over `share` (its copy is the facet as committed, without the journal's
    // strokes) and starts the thread. `notify` is called from the worker's thread when
    // events wait where none did; it must not block.
    ShareWorker(OpenedShare share, std::function<void()> notify, WorkerTiming timing = {});
    // Stops at once: a call under way is ended, the thread joined. What was handed over
    // and not committed waits in the journal for the next open.
    ~ShareWorker();
    ShareWorker(const ShareWorker&) = delete;
    ShareWorker& operator=(const ShareWorker&) = delete;

    // Fixed once opened; safe from any thread.
    const FacetInfo& info() const { return m_info; }
    // The session's journal, which any one thread may add to (StrokeJournal.h).
    StrokeJournal& journal() { return m_journal; }

    // From the editor's thread. Commits `stroke`, which the editor's copy shows and the
    // journal holds, after those handed over before it.
    void submit(Stroke stroke);
    // The cells the editor's view shows, announced at the next beat.
    void showView(const CellRegion& view);
    // Beats now: announces the view, reads the others and, offline, begins a reconnect.
    void beatNow();
    // Sends what it was handed, leaves the facet's list of builders and ends its thread;
    // finished() turns true then. No events are told from then on.
    void finish();
    bool finished() const { return m_finished; }

    // The events since the last call, oldest first.
    std::deque<WorkerEvent> takeEvents();

private:
    struct Request;
    class Recorder;
    class CallWatch;

    void run();
    // Handles what was handed over, reads the feed, beats and steps a reconnect, then waits
    // for more; false when the editor asked it to finish.
    bool pass();
    void handle(Request& request);
    void take(const Stroke& stroke);
    void beat();
    void readFeed();
    void stepReconnect();
    void stepFeed();
    void commitWaiting();
    void linkLost();
    bool linkUp() const;
    // Runs `call` on the session's connection under the call limit (plus `extra`);
    // ConnectionLost is caught and the link counted as lost. False then.
    template <typename Call> bool guarded(int socket, std::chrono::milliseconds extra, Call&& call);
    void post(WorkerEvent event);
    // The puts recorded since the last call, as one event.
    void postPuts();
    void outcome(const StrokeId& id, const SubmitReport& report);

    WorkerTiming m_timing;
    std::unique_ptr<OpenedShare> m_share;
    FacetInfo m_info;
    StrokeJournal& m_journal;
    std::unique_ptr<Presence> m_presence;
    std::unique_ptr<Recorder> m_copy;
    std::unique_ptr<CallWatch> m_watch;
    std::unique_ptr<WakeSignal> m_wake;

    // Worker thread only.
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_nextBeat;
    std::optional<Clock::time_point> m_reconnectSince;
    enum class Feed { Listening, Broken, Reconnecting };
    Feed m_feed = Feed::Listening;
    Clock::time_point m_feedSince;
    bool m_online = true;              // as last told
    std::deque<StrokeId> m_waitingIds; // of the session's waiting strokes, oldest first
    std::optional<CellRegion> m_view;  // as last announced

    // Shared with the editor's thread.
    mutable std::mutex m_lock;
    std::deque<Request> m_requests;
    std::deque<WorkerEvent> m_events;
    std::function<void()> m_notify;
    std::optional<CellRegion> m_shownView;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace tb
