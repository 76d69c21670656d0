#pragma once
// One builder on one shared facet: the connection, the revisions the builder's copy holds,
// the journal and the strokes waiting in it. Every stroke is journalled, then committed; on a
// conflict it is applied again on top of the server's newer blocks and committed again; while
// the server cannot be reached strokes wait in the journal and go out on reconnect, under the
// same rule. Not for use from several threads at once.

#include "share/BlockStore.h"
#include "share/ChangeFeed.h"
#include "share/FacetSnapshot.h"
#include "share/ShareAccess.h"
#include "share/ShareConnection.h"
#include "share/ShareErrors.h"
#include "share/Stroke.h"
#include "share/StrokeBlocks.h"
#include "share/StrokeJournal.h"
#include "shell/Progress.h"

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tb {

struct ShareOptions {
    std::string uri; // libpq connection URI
    int facet = 0;
    // The journal is StrokeJournal::folderFor(journalBase, uri, facet).
    std::filesystem::path journalBase;
    PasswordPrompt prompt;
    std::string applicationName = "tolvane-brimholt";
};

enum class StrokeOutcome {
    Committed,
    Waiting, // the server cannot be reached: the stroke waits in the journal
    Refused, // the role may not write there: the stroke was taken back from the copy
};

struct SubmitReport {
    StrokeOutcome outcome = StrokeOutcome::Committed;
    // Applied again on blocks someone else had changed (or sent from the journal): `applied`
    // counts what that application did, cells and items left by a WhereUnchanged stroke
    // included.
    bool merged = false;
    StrokeApplication applied;
    std::string refusal; // the server's refusal, naming where the role may write
    // The same in parts, for an editor's message: the server's own words, and the regions
    // the role may write (none: it may only read; nullopt: the server could not be asked).
    std::string serverMessage;
    std::optional<std::vector<CellRegion>> writable;
};

struct OpenedShare;

class ShareSession {
public:
    // Connects, checks the schema, starts a change feed on a second connection, reads the
    // facet from one snapshot and commits what the journal holds from an earlier session (an
    // editor killed before it could) on top of it.
    // Throws ConnectionLost, ShareError, FileError (the journal) or OperationStopped.
    static OpenedShare open(const ShareOptions& options, Progress& progress = noProgress());

    ShareSession(ShareConnection connection, FacetInfo info, FacetRevisions revisions,
                 StrokeJournal journal);

    int facet() const { return m_info.facet; }
    const FacetInfo& info() const { return m_info; }
    const FacetRevisions& revisions() const { return m_revisions; }
    ShareConnection& connection() { return m_connection; }
    // The journal: an editor may add a stroke from another thread before it hands the stroke
    // to submit(), which then does not write it again.
    StrokeJournal& journal() { return m_journal; }
    bool isOnline() const { return m_online; }
    // The connection broke in a call made on it beside the session (the presence's): the
    // strokes wait from now on, until a reconnect succeeds.
    void markOffline() { m_online = false; }
    // Strokes in the journal, not yet committed ("offline: N strokes waiting").
    std::size_t waitingCount() const { return m_waiting.size(); }

    // Commits `stroke`, which `copy` already shows (the editor applied it, or applyStroke()
    // did). While other strokes wait, it waits behind them: commitWaiting() sends them all.
    // The stroke is journalled first unless the journal holds it already.
    // Throws std::out_of_range for an edit outside the facet, FileError when the journal
    // cannot be written (nothing was sent then).
    SubmitReport submit(const Stroke& stroke, FacetCopy& copy);
    // Commits the waiting strokes, oldest first, each on the blocks the server holds now;
    // stops when the connection breaks again. One report per stroke that left the journal.
    std::vector<SubmitReport> commitWaiting(FacetCopy& copy);
    // Tries to connect again; true when the session is online.
    bool reconnect();
    // The same without waiting, for an event loop: startReconnect(), then reconnectStep()
    // now and then while it says Connecting. A new start gives up the attempt under way.
    enum class Reconnect { Connecting, Online, Failed };
    void startReconnect();
    Reconnect reconnectStep();

    // Brings the blocks that `news` names into `copy` when the server holds newer ones than
    // the copy (the session's own commits are skipped), with the waiting strokes shown over
    // them. Returns how many blocks were replaced. A replaced facet is not handled here: the
    // map is opened again. Throws ConnectionLost (the session is offline then).
    std::size_t applyChanges(const FeedNews& news, FacetCopy& copy);
    // Compares every block's revision with the server's and brings the newer ones in: after
    // a time without notifications (the feed's connection broke). Returns how many.
    std::size_t resynchronise(FacetCopy& copy);

private:
    StrokeBlocks blocksOf(const Stroke& stroke) const;
    BlockSet fromCopy(const StrokeBlocks& blocks, const FacetCopy& copy) const;
    // Applies the stroke to the server's blocks and commits, until no one came between.
    SubmitReport merge(const Stroke& stroke, const StrokeBlocks& blocks, FacetCopy& copy,
                       bool waiting);
    SubmitReport refuse(const Stroke& stroke, const StrokeBlocks& blocks, FacetCopy& copy,
                        const WriteRefused& refusal);
    // Puts server blocks into the copy with the waiting strokes over them, and notes their
    // revisions.
    void put(const BlockSet& blocks, FacetCopy& copy);
    // Queues `stroke` behind the waiting ones, its journal file made durable.
    void wait(const Stroke& stroke);
    void noteRevisions(const BlockSet& blocks);
    std::size_t bringIn(std::vector<std::uint32_t> land, std::vector<std::uint32_t> statics,
                        FacetCopy& copy);
    std::size_t fetchAndPut(std::vector<std::uint32_t> land, std::vector<std::uint32_t> statics,
                            FacetCopy& copy);

    ShareConnection m_connection;
    FacetInfo m_info;
    FacetRevisions m_revisions;
    StrokeJournal m_journal;
    std::deque<Stroke> m_waiting;
    bool m_online = true;
    bool m_reconnecting = false;
};

struct OpenedShare {
    ShareSession session;
    SharedFacet copy;
    // Listening since before the snapshot was read, so no change is missed; it may also
    // name changes the copy holds already, which applyChanges() skips.
    ChangeFeed feed;
    std::vector<SubmitReport> replayed; // the journal's strokes committed on opening
};

} // namespace tb
