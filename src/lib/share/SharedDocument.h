#pragma once
// An editor document on a shared facet, on the editor's thread, in step with the session
// worker that talks to the server. The builder's edits are taken from the document's copy
// (DocumentFacetCopy) as strokes, journalled here (a file, not the network), handed to the
// worker and made entries of the document's one undo history: each stroke a command whose
// undo and redo take it back, or bring it back, as a new stroke where things still stand as
// the builder left them. What the worker reports is applied in the order it happened, a
// little at a time, so the editor's thread never waits long.
//
// Two copies of the facet follow one another: the worker's, as committed, and the
// document's. The worker takes the strokes in the order they were handed over and reports
// each one taken before anything it did after; the document's copy is the worker's with
// the strokes handed over and not yet reported taken laid over every block the worker puts
// (as the session lays its waiting strokes over blocks from the server), and the builder's
// edits not yet taken over that. Laying a stroke over a put block gives what the worker
// gets when it takes the stroke after that put: the same stroke applied to the same block,
// in the same order. So once the worker has taken everything, both copies hold the same.

#include "share/DocumentFacetCopy.h"
#include "share/ShareWorker.h"
#include "share/StrokeBlocks.h"

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tb {

class SharedDocument {
public:
    // `document` shows `map` and `statics` already (copies of the worker's copy); it and
    // `worker` must outlive this object.
    SharedDocument(MapDocument& document, MapImage map, StaticsMap statics, ShareWorker& worker);
    ~SharedDocument();
    SharedDocument(const SharedDocument&) = delete;
    SharedDocument& operator=(const SharedDocument&) = delete;

    // Hands the builder's edits since the last call to the worker as one stroke, which
    // takes the place of the history steps they made; nothing when there are none.
    void commitEdits();
    bool hasEdits() const { return m_copy.hasEdits(); }
    // The document was replaced: this object no longer describes it.
    bool detached() const { return m_copy.detached(); }

    // What applying the worker's events brought that the builder should hear of.
    struct Notes {
        std::vector<SubmitReport> refusals;
        std::vector<std::string> failures;
        bool facetReplaced = false;
        bool buildersChanged = false;
        bool linkChanged = false;
        // Events are left for the next call: the time was up.
        bool more = false;
    };
    // Applies the worker's events, for about `budget` at most.
    Notes applyEvents(std::chrono::microseconds budget);

    bool online() const { return m_online; }
    // Strokes not on the server that wait for it, in the journal.
    std::size_t waiting() const;
    // Strokes handed over that the worker has not reported taken yet.
    std::size_t inFlight() const { return m_inFlight.size(); }
    // Strokes handed over whose outcome (committed, refused, failed) has not come back.
    std::size_t unsettled() const { return m_unsettled.size(); }
    const std::vector<PresentBuilder>& builders() const { return m_builders; }

    // What the last undo or redo left because others had changed it since; none after a
    // stroke.
    struct TakeBack {
        bool undo = true;
        StrokeApplication counts;
    };
    const std::optional<TakeBack>& lastTakeBack() const { return m_takeBack; }

private:
    struct CommandState;
    class StrokeCommand;
    struct InFlight {
        std::unique_ptr<Stroke> stroke;
        std::unique_ptr<StrokeBlocks> blocks;
    };

    void takeBack(const std::shared_ptr<CommandState>& state, bool undo);
    // Journals `stroke` (the worker does it when this fails, and says why) and hands it over.
    void send(const Stroke& stroke);
    void applyPut(const BlockPut& put);
    void markSaved();
    void handle(const WorkerEvent& event, Notes& notes);

    MapDocument& m_document;
    ShareWorker& m_worker;
    DocumentFacetCopy m_copy;
    int m_widthBlocks;
    int m_heightBlocks;
    UndoList::Mark m_mark;
    // The commands in the history find their way back here while this object lives.
    std::shared_ptr<SharedDocument*> m_self;
    // The command of each stroke whose outcome is not known yet, by the stroke's id.
    std::map<StrokeId, std::weak_ptr<CommandState>> m_pending;
    std::deque<InFlight> m_inFlight;
    std::set<StrokeId> m_unsettled;
    // The worker's events not applied yet, and how far the first one's puts were.
    std::deque<WorkerEvent> m_events;
    std::size_t m_putsDone = 0;
    bool m_online = true;
    std::size_t m_waiting = 0;
    bool m_journalFailed = false;
    std::vector<PresentBuilder> m_builders;
    std::optional<TakeBack> m_takeBack;
    std::optional<StrokeId> m_takeBackStroke;
};

} // namespace tb
