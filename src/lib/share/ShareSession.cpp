#include "share/ShareSession.h"

#include "share/CopyOut.h"
#include "share/PgReader.h"
#include "share/ShareAccess.h"
#include "share/ShareErrors.h"
#include "share/ShareSchema.h"
#include "share/ShareSql.h"

#include <algorithm>
#include <map>

namespace tb {
namespace {

// Strokes are committed again as long as someone else keeps changing their blocks first;
// past this many attempts the stroke waits for the next reconnect instead.
constexpr int kMaxAttempts = 64;
constexpr std::size_t kFetchBatch = 1024;

SubmitReport reportOf(StrokeOutcome outcome, bool merged = false, StrokeApplication applied = {}) {
    SubmitReport report;
    report.outcome = outcome;
    report.merged = merged;
    report.applied = applied;
    return report;
}

std::vector<StaticRecord> recordsOf(const std::vector<unsigned char>& bytes) {
    return readStaticRecords(bytes);
}

// The revision stored for each block of a COPY of (block, revision) rows.
std::vector<std::uint32_t> newerBlocks(ShareConnection& connection, const std::string& copySql,
                                       const std::vector<std::int64_t>& held) {
    std::vector<std::uint32_t> newer;
    std::vector<std::span<const unsigned char>> row;
    CopyOut copy(connection, copySql);
    while (copy.next(2, row)) {
        const std::int32_t b = PgReader(row[0]).int32();
        if (b >= 0 && std::size_t(b) < held.size() &&
            PgReader(row[1]).int64() != held[std::size_t(b)])
            newer.push_back(std::uint32_t(b));
    }
    return newer;
}

} // namespace

OpenedShare ShareSession::open(const ShareOptions& options, Progress& progress) {
    ShareConnection connection =
        ShareConnection::open(options.uri, options.prompt, options.applicationName);
    ShareSchema::check(connection);
    StrokeJournal journal(StrokeJournal::folderFor(options.journalBase, options.uri, options.facet),
                          options.facet);
    std::vector<Stroke> waiting = journal.read();
    ChangeFeed feed(connection.another(options.applicationName + " feed"), options.facet);
    FacetSnapshot snapshot = loadFacet(connection, options.facet, progress);
    OpenedShare opened{ShareSession(std::move(connection), std::move(snapshot.info),
                                    std::move(snapshot.revisions), std::move(journal)),
                       std::move(snapshot.copy),
                       std::move(feed),
                       {}};
    // The copy does not show the journal's strokes yet: each is applied on the blocks the
    // server holds as it is committed.
    opened.session.m_waiting.assign(waiting.begin(), waiting.end());
    opened.replayed = opened.session.commitWaiting(opened.copy);
    return opened;
}

ShareSession::ShareSession(ShareConnection connection, FacetInfo info, FacetRevisions revisions,
                           StrokeJournal journal)
    : m_connection(std::move(connection)), m_info(std::move(info)),
      m_revisions(std::move(revisions)), m_journal(std::move(journal)) {}

StrokeBlocks ShareSession::blocksOf(const Stroke& stroke) const {
    return StrokeBlocks(stroke, m_info.variant.widthBlocks(), m_info.variant.heightBlocks());
}

BlockSet ShareSession::fromCopy(const StrokeBlocks& blocks, const FacetCopy& copy) const {
    BlockSet set;
    const unsigned char* map = copy.map().bytes().data();
    for (std::uint32_t b : blocks.landBlocks()) {
        const unsigned char* first = map + std::size_t(b) * kBlockSize;
        set.land.push_back({b, m_revisions.land[b], {first, first + kBlockSize}});
    }
    for (std::uint32_t b : blocks.staticsBlocks()) {
        const auto records = copy.statics().recordBytes(b);
        set.statics.push_back({b, m_revisions.statics[b], {records.begin(), records.end()}});
    }
    return set;
}

void ShareSession::noteRevisions(const BlockSet& blocks) {
    for (const StoredBlock& b : blocks.land)
        m_revisions.land[b.block] = b.revision;
    for (const StoredBlock& b : blocks.statics)
        m_revisions.statics[b.block] = b.revision;
}

void ShareSession::put(const BlockSet& blocks, FacetCopy& copy) {
    std::vector<StrokeBlocks> waiting;
    for (const Stroke& s : m_waiting)
        waiting.push_back(blocksOf(s));
    StrokeApplication ignored;
    for (const StoredBlock& b : blocks.land) {
        std::vector<unsigned char> bytes = b.bytes;
        for (const StrokeBlocks& w : waiting)
            w.applyLand(b.block, bytes, ignored);
        copy.putLandBlock(b.block, bytes);
    }
    if (!blocks.statics.empty()) {
        std::map<std::uint32_t, std::vector<StaticRecord>> records;
        for (const StoredBlock& b : blocks.statics)
            records[b.block] = recordsOf(b.bytes);
        for (const StrokeBlocks& w : waiting)
            w.applyItems(records, ignored);
        for (const auto& [b, list] : records)
            copy.putStaticsBlock(b, staticRecordBytes(list));
    }
    noteRevisions(blocks);
}

SubmitReport ShareSession::submit(const Stroke& stroke, FacetCopy& copy) {
    const StrokeBlocks blocks = blocksOf(stroke);
    if (!m_journal.holds(stroke.id))
        m_journal.add(stroke);
    // Strokes go out in the order they were made: behind any that wait.
    if (!m_online || !m_waiting.empty()) {
        wait(stroke);
        return reportOf(StrokeOutcome::Waiting);
    }
    try {
        BlockStore store(m_connection, facet());
        const BlockSet written = fromCopy(blocks, copy);
        const CommitOutcome outcome = store.commit(stroke.id, written);
        if (outcome.result == CommitResult::Committed) {
            for (std::size_t i = 0; i < written.land.size(); ++i)
                m_revisions.land[written.land[i].block] = outcome.landRevisions[i];
            for (std::size_t i = 0; i < written.statics.size(); ++i)
                m_revisions.statics[written.statics[i].block] = outcome.staticsRevisions[i];
            m_journal.remove(stroke.id);
            return reportOf(StrokeOutcome::Committed);
        }
        return merge(stroke, blocks, copy, false);
    } catch (const ConnectionLost&) {
        m_online = false;
        wait(stroke);
        return reportOf(StrokeOutcome::Waiting);
    } catch (const WriteRefused& refusal) {
        return refuse(stroke, blocks, copy, refusal);
    }
}

void ShareSession::wait(const Stroke& stroke) {
    m_waiting.push_back(stroke);
    m_journal.makeDurable(stroke.id);
}

SubmitReport ShareSession::merge(const Stroke& stroke, const StrokeBlocks& blocks, FacetCopy& copy,
                                 bool waiting) {
    BlockStore store(m_connection, facet());
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const BlockSet server = store.fetch(blocks.landBlocks(), blocks.staticsBlocks());
        BlockSet written = server;
        StrokeApplication counts;
        for (StoredBlock& b : written.land)
            blocks.applyLand(b.block, b.bytes, counts);
        if (!written.statics.empty()) {
            std::map<std::uint32_t, std::vector<StaticRecord>> records;
            for (const StoredBlock& b : written.statics)
                records[b.block] = recordsOf(b.bytes);
            blocks.applyItems(records, counts);
            for (StoredBlock& b : written.statics)
                b.bytes = staticRecordBytes(records[b.block]);
        }
        const CommitOutcome outcome = store.commit(stroke.id, written);
        if (outcome.result == CommitResult::Conflict)
            continue;
        if (waiting)
            m_waiting.pop_front();
        m_journal.remove(stroke.id);
        if (outcome.result == CommitResult::AlreadyHeld) {
            // Committed before the connection broke: the server's blocks show it already.
            put(server, copy);
            return reportOf(StrokeOutcome::Committed);
        }
        for (std::size_t i = 0; i < written.land.size(); ++i)
            written.land[i].revision = outcome.landRevisions[i];
        for (std::size_t i = 0; i < written.statics.size(); ++i)
            written.statics[i].revision = outcome.staticsRevisions[i];
        put(written, copy);
        return reportOf(StrokeOutcome::Committed, true, counts);
    }
    // Someone keeps changing these blocks: the stroke waits, and goes out on reconnect.
    if (!waiting)
        wait(stroke);
    return reportOf(StrokeOutcome::Waiting);
}

SubmitReport ShareSession::refuse(const Stroke& stroke, const StrokeBlocks& blocks, FacetCopy& copy,
                                  const WriteRefused& refusal) {
    const auto it = std::find_if(m_waiting.begin(), m_waiting.end(),
                                 [&](const Stroke& s) { return s.id == stroke.id; });
    if (it != m_waiting.end())
        m_waiting.erase(it);
    m_journal.remove(stroke.id);
    SubmitReport report = reportOf(StrokeOutcome::Refused);
    std::string where;
    try {
        // Taken back: the copy gets the server's blocks again.
        put(BlockStore(m_connection, facet()).fetch(blocks.landBlocks(), blocks.staticsBlocks()),
            copy);
        report.writable = ShareAccess::writeRegions(m_connection, facet(), m_info.variant.width,
                                                    m_info.variant.height);
        where = ShareAccess::describe(*report.writable, facet());
    } catch (const ConnectionLost&) {
        m_online = false;
        applyStroke(inverseStroke(stroke), copy);
    }
    report.serverMessage = refusal.what();
    report.refusal = "The server refused the stroke (" + std::string(refusal.what()) + ")";
    if (!where.empty())
        report.refusal += ": " + m_connection.user() + " may write " + where;
    report.refusal += ".";
    return report;
}

std::vector<SubmitReport> ShareSession::commitWaiting(FacetCopy& copy) {
    std::vector<SubmitReport> reports;
    while (m_online && !m_waiting.empty()) {
        const Stroke stroke = m_waiting.front();
        const StrokeBlocks blocks = blocksOf(stroke);
        try {
            const SubmitReport report = merge(stroke, blocks, copy, true);
            if (report.outcome == StrokeOutcome::Waiting)
                break;
            reports.push_back(report);
        } catch (const ConnectionLost&) {
            m_online = false;
        } catch (const WriteRefused& refusal) {
            reports.push_back(refuse(stroke, blocks, copy, refusal));
        }
    }
    return reports;
}

bool ShareSession::reconnect() {
    m_reconnecting = false;
    try {
        m_connection.reconnect();
        m_online = true;
    } catch (const ConnectionLost&) {
        m_online = false;
    }
    return m_online;
}

void ShareSession::startReconnect() {
    try {
        m_connection.startReconnect();
        m_reconnecting = true;
    } catch (const ConnectionLost&) {
        m_online = false;
        m_reconnecting = false;
    }
}

ShareSession::Reconnect ShareSession::reconnectStep() {
    if (m_reconnecting) {
        try {
            if (!m_connection.reconnectStep())
                return Reconnect::Connecting;
            m_online = true;
        } catch (const ConnectionLost&) {
            m_online = false;
        }
        m_reconnecting = false;
    }
    return m_online ? Reconnect::Online : Reconnect::Failed;
}

std::size_t ShareSession::bringIn(std::vector<std::uint32_t> land,
                                  std::vector<std::uint32_t> statics, FacetCopy& copy) {
    try {
        return fetchAndPut(std::move(land), std::move(statics), copy);
    } catch (const ConnectionLost&) {
        m_online = false;
        throw;
    }
}

std::size_t ShareSession::fetchAndPut(std::vector<std::uint32_t> land,
                                      std::vector<std::uint32_t> statics, FacetCopy& copy) {
    for (auto* list : {&land, &statics}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    BlockStore store(m_connection, facet());
    std::size_t count = 0;
    for (std::size_t at = 0; at < land.size() || at < statics.size(); at += kFetchBatch) {
        auto slice = [&](const std::vector<std::uint32_t>& v) {
            const std::size_t from = std::min(at, v.size());
            return std::span<const std::uint32_t>(v).subspan(
                from, std::min(kFetchBatch, v.size() - from));
        };
        BlockSet fetched = store.fetch(slice(land), slice(statics));
        // The copy may hold a newer revision already (its own commit came after the change).
        std::erase_if(fetched.land, [&](const StoredBlock& b) {
            return b.revision <= m_revisions.land[b.block] && m_revisions.land[b.block] >= 0;
        });
        std::erase_if(fetched.statics, [&](const StoredBlock& b) {
            return b.revision <= m_revisions.statics[b.block] && m_revisions.statics[b.block] >= 0;
        });
        count += fetched.land.size() + fetched.statics.size();
        put(fetched, copy);
    }
    return count;
}

std::size_t ShareSession::applyChanges(const FeedNews& news, FacetCopy& copy) {
    std::vector<std::uint32_t> land, statics;
    for (const BlockChange& c : news.changes) {
        auto& held = c.kind == BlockKind::Land ? m_revisions.land : m_revisions.statics;
        if (c.block < held.size() && c.revision > held[c.block])
            (c.kind == BlockKind::Land ? land : statics).push_back(c.block);
    }
    if (land.empty() && statics.empty())
        return 0;
    return bringIn(std::move(land), std::move(statics), copy);
}

std::size_t ShareSession::resynchronise(FacetCopy& copy) {
    std::vector<std::uint32_t> land, statics;
    try {
        land = newerBlocks(m_connection, sql::copyRevisionsOut("land_block", facet()),
                           m_revisions.land);
        statics = newerBlocks(m_connection, sql::copyRevisionsOut("statics_block", facet()),
                              m_revisions.statics);
    } catch (const ConnectionLost&) {
        m_online = false;
        throw;
    }
    // A revision that differs is newer: revisions only grow.
    for (std::uint32_t b : land)
        m_revisions.land[b] = -1;
    for (std::uint32_t b : statics)
        m_revisions.statics[b] = -1;
    return bringIn(std::move(land), std::move(statics), copy);
}

} // namespace tb
