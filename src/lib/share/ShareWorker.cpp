#include "share/ShareWorker.h"

#include "share/ShareErrors.h"
#include "share/SharedFacet.h"
#include "share/StrokeBlocks.h"
#include "share/WorkerWait.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

namespace tb {
namespace {

// Puts are handed on in events of this many while a long call (a resynchronisation) runs,
// so the editor starts showing them before the call has ended.
constexpr std::size_t kPutsPerEvent = 256;
// How often a reconnect under way is looked at.
constexpr std::chrono::milliseconds kReconnectPoll{20};
// Leaving the list of builders on closing is worth this long at most: the others stop
// listing an editor that stopped announcing itself after a few seconds anyway.
constexpr std::chrono::milliseconds kLeaveLimit{1000};

} // namespace

struct ShareWorker::Request {
    enum class Kind { Submit, Beat, Finish };
    Kind kind = Kind::Submit;
    Stroke stroke;
};

// The worker's copy of the facet, noting every block the session puts into it, so the
// editor's copy gets the same puts in the same order. Each put also tells the watch that
// the call under way is making progress.
class ShareWorker::Recorder : public FacetCopy {
public:
    Recorder(SharedFacet& copy, std::function<void()> onPut)
        : m_copy(copy), m_onPut(std::move(onPut)) {}

    const MapImage& map() const override { return m_copy.map(); }
    const StaticsMap& statics() const override { return m_copy.statics(); }
    void putLandBlock(std::uint32_t block, std::span<const unsigned char> bytes) override {
        m_copy.putLandBlock(block, bytes);
        m_puts.push_back({BlockKind::Land, block, {bytes.begin(), bytes.end()}});
        m_onPut();
    }
    void putStaticsBlock(std::uint32_t block, std::span<const unsigned char> records) override {
        m_copy.putStaticsBlock(block, records);
        m_puts.push_back({BlockKind::Statics, block, {records.begin(), records.end()}});
        m_onPut();
    }

    // The copy itself: what is written there is not handed on (the editor wrote it first).
    SharedFacet& unrecorded() { return m_copy; }
    std::vector<BlockPut> takePuts() { return std::exchange(m_puts, {}); }
    std::size_t recorded() const { return m_puts.size(); }

private:
    SharedFacet& m_copy;
    std::function<void()> m_onPut;
    std::vector<BlockPut> m_puts;
};

// Ends a call that gets no answer in time by shutting its socket down from a thread of its
// own: libpq's calls block without a limit, and a server stopped dead leaves them blocked
// for good (its system still acknowledges every packet, so no TCP timeout fires). The
// socket is shut down under the lock that ending the call takes, so a call that ended is
// never cut, and a descriptor is never touched after its call has ended.
class ShareWorker::CallWatch {
public:
    CallWatch() : m_thread([this] { watch(); }) {}
    ~CallWatch() {
        {
            const std::lock_guard lock(m_lock);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    void begin(int socket, std::chrono::milliseconds limit) {
        const std::lock_guard lock(m_lock);
        m_socket = socket;
        m_limit = limit;
        m_deadline = Clock::now() + limit;
        m_calling = true;
        if (m_aborted)
            shutDownSocket(socket);
        m_changed.notify_all();
    }
    // The call under way made progress: it gets its limit again from now.
    void progressed() {
        const std::lock_guard lock(m_lock);
        if (m_calling)
            m_deadline = Clock::now() + m_limit;
    }
    void end() {
        const std::lock_guard lock(m_lock);
        m_calling = false;
    }
    // Ends the call under way now, and every one begun after.
    void abortAll() {
        const std::lock_guard lock(m_lock);
        m_aborted = true;
        if (m_calling)
            shutDownSocket(m_socket);
    }

private:
    void watch() {
        std::unique_lock lock(m_lock);
        while (!m_quit) {
            if (!m_calling) {
                m_changed.wait(lock);
                continue;
            }
            if (Clock::now() < m_deadline) {
                m_changed.wait_until(lock, m_deadline);
                continue;
            }
            shutDownSocket(m_socket);
            m_calling = false;
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_socket = -1;
    std::chrono::milliseconds m_limit{0};
    Clock::time_point m_deadline;
    bool m_calling = false;
    bool m_aborted = false;
    bool m_quit = false;
    std::thread m_thread;
};

ShareWorker::ShareWorker(OpenedShare share, std::function<void()> notify, WorkerTiming timing)
    : m_timing(timing), m_share(std::make_unique<OpenedShare>(std::move(share))),
      m_info(m_share->session.info()), m_journal(m_share->session.journal()),
      m_watch(std::make_unique<CallWatch>()), m_wake(std::make_unique<WakeSignal>()),
      m_notify(std::move(notify)) {
    m_presence = std::make_unique<Presence>(m_share->session.connection(), m_info.facet);
    m_copy = std::make_unique<Recorder>(m_share->copy, [this] {
        m_watch->progressed();
        if (m_copy->recorded() >= kPutsPerEvent)
            postPuts();
    });
    // Strokes of an earlier session that could not go out on opening.
    m_waitingIds.assign(m_share->session.waitingCount(), StrokeId{});
    m_online = m_share->session.isOnline();
    m_thread = std::thread([this] { run(); });
}

ShareWorker::~ShareWorker() {
    {
        const std::lock_guard lock(m_lock);
        m_notify = nullptr;
    }
    m_stop = true;
    m_watch->abortAll();
    m_wake->wake();
    m_thread.join();
}

void ShareWorker::submit(Stroke stroke) {
    {
        const std::lock_guard lock(m_lock);
        m_requests.push_back({Request::Kind::Submit, std::move(stroke)});
    }
    m_wake->wake();
}

void ShareWorker::showView(const CellRegion& view) {
    const std::lock_guard lock(m_lock);
    m_shownView = view;
}

void ShareWorker::beatNow() {
    {
        const std::lock_guard lock(m_lock);
        m_requests.push_back({Request::Kind::Beat, {}});
    }
    m_wake->wake();
}

void ShareWorker::finish() {
    {
        const std::lock_guard lock(m_lock);
        m_requests.push_back({Request::Kind::Finish, {}});
        m_notify = nullptr;
    }
    m_wake->wake();
}

std::deque<WorkerEvent> ShareWorker::takeEvents() {
    const std::lock_guard lock(m_lock);
    return std::exchange(m_events, {});
}

void ShareWorker::post(WorkerEvent event) {
    event.online = m_online;
    event.waiting = m_share->session.waitingCount();
    std::function<void()> notify;
    {
        const std::lock_guard lock(m_lock);
        if (m_events.empty())
            notify = m_notify;
        m_events.push_back(std::move(event));
    }
    if (notify)
        notify();
}

void ShareWorker::postPuts() {
    if (m_copy->recorded() == 0)
        return;
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Puts;
    event.puts = m_copy->takePuts();
    post(std::move(event));
}

void ShareWorker::outcome(const StrokeId& id, const SubmitReport& report) {
    postPuts();
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Outcome;
    event.stroke = id;
    event.report = report;
    post(std::move(event));
}

bool ShareWorker::linkUp() const {
    return m_share->session.isOnline() && !m_share->session.connection().isBroken();
}

template <typename Call>
bool ShareWorker::guarded(int socket, std::chrono::milliseconds extra, Call&& call) {
    m_watch->begin(socket, m_timing.callLimit + extra);
    try {
        call();
    } catch (const ConnectionLost&) {
        m_watch->end();
        postPuts();
        linkLost();
        return false;
    } catch (...) {
        m_watch->end();
        throw;
    }
    m_watch->end();
    postPuts();
    if (!linkUp()) {
        linkLost();
        return false;
    }
    return true;
}

void ShareWorker::linkLost() {
    // Whatever the feed heard, changes may have been missed: it listens again and the copy
    // is compared with the server once the link is back.
    m_feed = Feed::Broken;
    // Until a reconnect succeeds the session sends nothing; it must not touch a connection
    // that is being made again.
    m_share->session.markOffline();
    if (m_online) {
        m_online = false;
        WorkerEvent event;
        event.kind = WorkerEvent::Kind::Link;
        post(std::move(event));
    }
    // A server that went away for a moment is back at once; one stopped dead takes a
    // reconnect attempt each beat.
    if (!m_reconnectSince && !m_stop) {
        m_share->session.startReconnect();
        m_reconnectSince = Clock::now();
    }
}

void ShareWorker::run() {
    m_nextBeat = Clock::now();
    bool finishing = false;
    while (!m_stop && !finishing) {
        try {
            finishing = !pass();
        } catch (const std::exception& error) {
            // Nothing the server or the system does ends the worker: the builder hears of
            // it, and the worker tries again a little later.
            WorkerEvent failed;
            failed.kind = WorkerEvent::Kind::Failed;
            failed.message = error.what();
            post(std::move(failed));
            const std::array<int, 0> none{};
            waitForWork(*m_wake, none, kReconnectPoll * 5);
        }
    }
    if (!m_stop && linkUp()) {
        try {
            m_watch->begin(m_share->session.connection().socket(), kLeaveLimit);
            m_presence->leave();
        } catch (const std::exception&) {
            // Offline or slow: the others stop listing this editor after a few seconds.
        }
        m_watch->end();
    }
    m_finished = true;
}

bool ShareWorker::pass() {
    std::deque<Request> requests;
    {
        const std::lock_guard lock(m_lock);
        requests = std::exchange(m_requests, {});
    }
    for (Request& request : requests) {
        if (m_stop)
            return true;
        if (request.kind == Request::Kind::Finish)
            return false;
        handle(request);
    }
    // What arrived while the facet was read waits on the feed's connection already.
    readFeed();
    if (Clock::now() >= m_nextBeat)
        beat();
    stepReconnect();
    stepFeed();

    const bool polling = m_reconnectSince || m_feed == Feed::Reconnecting;
    const auto untilBeat =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_nextBeat - Clock::now());
    const auto timeout = std::max(std::chrono::milliseconds(0),
                                  polling ? std::min(untilBeat, kReconnectPoll) : untilBeat);
    const std::array<int, 1> sockets{m_feed == Feed::Listening ? m_share->feed.socket() : -1};
    m_wake->clear();
    {
        // A request that came while this pass ran is not waited for.
        const std::lock_guard lock(m_lock);
        if (!m_requests.empty())
            return true;
    }
    waitForWork(*m_wake, sockets, timeout);
    return true;
}

void ShareWorker::handle(Request& request) {
    switch (request.kind) {
    case Request::Kind::Submit:
        take(request.stroke);
        return;
    case Request::Kind::Beat:
        m_nextBeat = Clock::now();
        return;
    case Request::Kind::Finish:
        return;
    }
}

void ShareWorker::take(const Stroke& stroke) {
    ShareSession& session = m_share->session;
    try {
        // The editor's copy shows the stroke already; the worker's shows it from here on.
        applyStroke(stroke, m_copy->unrecorded());
    } catch (const std::out_of_range&) {
        // An edit outside the facet: submit() below says so.
    }
    WorkerEvent taken;
    taken.kind = WorkerEvent::Kind::Taken;
    taken.stroke = stroke.id;
    post(std::move(taken));
    // A big stroke (an import) gets more time: about a second per megabyte it sends.
    const std::size_t blocks = stroke.cells.size() / 64 + stroke.items.size() / 8;
    const auto extra = std::chrono::milliseconds(blocks / 5);
    SubmitReport report;
    report.outcome = StrokeOutcome::Waiting;
    try {
        guarded(session.connection().socket(), extra,
                [&] { report = session.submit(stroke, *m_copy); });
    } catch (const std::exception& error) {
        postPuts();
        WorkerEvent failed;
        failed.kind = WorkerEvent::Kind::Failed;
        failed.stroke = stroke.id;
        failed.message = error.what();
        post(std::move(failed));
        return;
    }
    if (report.outcome == StrokeOutcome::Waiting)
        m_waitingIds.push_back(stroke.id);
    outcome(stroke.id, report);
    // Behind strokes that wait with the link up (someone kept changing their blocks): they
    // go out now, in order, not at the next beat.
    if (report.outcome == StrokeOutcome::Waiting && linkUp())
        commitWaiting();
}

void ShareWorker::commitWaiting() {
    ShareSession& session = m_share->session;
    if (session.waitingCount() == 0 || !linkUp())
        return;
    std::vector<SubmitReport> reports;
    try {
        guarded(session.connection().socket(), {},
                [&] { reports = session.commitWaiting(*m_copy); });
    } catch (const std::exception& error) {
        WorkerEvent failed;
        failed.kind = WorkerEvent::Kind::Failed;
        failed.message = error.what();
        post(std::move(failed));
    }
    for (const SubmitReport& report : reports) {
        const StrokeId id = m_waitingIds.empty() ? StrokeId{} : m_waitingIds.front();
        if (!m_waitingIds.empty())
            m_waitingIds.pop_front();
        outcome(id, report);
    }
    // A stroke that left the journal without a report was lost with the connection
    // (commitWaiting() stops there): the ids left are the strokes still waiting.
    while (m_waitingIds.size() > session.waitingCount())
        m_waitingIds.pop_front();
}

void ShareWorker::beat() {
    m_nextBeat = Clock::now() + m_timing.beat;
    {
        const std::lock_guard lock(m_lock);
        m_view = m_shownView;
    }
    if (!linkUp()) {
        if (!m_reconnectSince) {
            m_share->session.startReconnect();
            m_reconnectSince = Clock::now();
        }
        return;
    }
    commitWaiting();
    if (!linkUp())
        return;
    std::vector<PresentBuilder> others;
    try {
        if (!guarded(m_share->session.connection().socket(), {}, [&] {
                if (m_view)
                    m_presence->announce(*m_view);
                others = m_presence->others();
            }))
            return;
    } catch (const std::exception&) {
        // A refused announcement (a role without the right) is no reason to stop.
        return;
    }
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Builders;
    event.builders = std::move(others);
    post(std::move(event));
}

void ShareWorker::readFeed() {
    if (m_feed != Feed::Listening)
        return;
    FeedNews news;
    try {
        news = m_share->feed.take();
    } catch (const ConnectionLost&) {
        m_feed = Feed::Broken;
        return;
    }
    if (news.facetReplaced) {
        WorkerEvent event;
        event.kind = WorkerEvent::Kind::FacetReplaced;
        post(std::move(event));
    }
    if (news.changes.empty() || !linkUp())
        return;
    try {
        guarded(m_share->session.connection().socket(), {},
                [&] { m_share->session.applyChanges(news, *m_copy); });
    } catch (const std::exception& error) {
        WorkerEvent failed;
        failed.kind = WorkerEvent::Kind::Failed;
        failed.message = error.what();
        post(std::move(failed));
    }
}

void ShareWorker::stepReconnect() {
    if (!m_reconnectSince)
        return;
    switch (m_share->session.reconnectStep()) {
    case ShareSession::Reconnect::Connecting:
        if (Clock::now() - *m_reconnectSince > m_timing.reconnectLimit)
            m_reconnectSince.reset(); // the next beat begins again
        return;
    case ShareSession::Reconnect::Failed:
        m_reconnectSince.reset();
        return;
    case ShareSession::Reconnect::Online:
        break;
    }
    m_reconnectSince.reset();
    m_online = true;
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Link;
    post(std::move(event));
    // The waiting strokes go out now, not at the next beat.
    commitWaiting();
}

void ShareWorker::stepFeed() {
    if (!linkUp())
        return;
    try {
        if (m_feed == Feed::Broken) {
            m_share->feed.startReconnect();
            m_feed = Feed::Reconnecting;
            m_feedSince = Clock::now();
        }
        if (m_feed != Feed::Reconnecting)
            return;
        if (!m_share->feed.reconnectStep()) {
            if (Clock::now() - m_feedSince > m_timing.reconnectLimit)
                m_feed = Feed::Broken;
            return;
        }
    } catch (const ConnectionLost&) {
        m_feed = Feed::Broken;
        return;
    }
    // Listening again: what changed meanwhile was not heard, so every block's revision is
    // compared with the server's.
    try {
        m_watch->begin(m_share->feed.socket(), m_timing.callLimit);
        m_share->feed.listen();
        m_watch->end();
    } catch (const ConnectionLost&) {
        m_watch->end();
        m_feed = Feed::Broken;
        return;
    } catch (const std::exception&) {
        m_watch->end();
        m_feed = Feed::Broken;
        return;
    }
    m_feed = Feed::Listening;
    const std::size_t blocks = m_share->session.revisions().land.size() * 2;
    try {
        guarded(m_share->session.connection().socket(), std::chrono::milliseconds(blocks / 20),
                [&] { m_share->session.resynchronise(*m_copy); });
    } catch (const std::exception& error) {
        WorkerEvent failed;
        failed.kind = WorkerEvent::Kind::Failed;
        failed.message = error.what();
        post(std::move(failed));
    }
}

} // namespace tb
