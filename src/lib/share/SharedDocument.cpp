#include "share/SharedDocument.h"

#include "core/StaticsMap.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace tb {

// The stroke a history command stands for as it was last sent: the builder's own, or the
// one that took it back. A stroke the server refused leaves nothing to take back.
struct SharedDocument::CommandState {
    Stroke stroke;
    bool refused = false;
};

class SharedDocument::StrokeCommand : public UndoCommand {
public:
    StrokeCommand(std::shared_ptr<SharedDocument*> owner, std::shared_ptr<CommandState> state)
        : m_owner(std::move(owner)), m_state(std::move(state)) {}

    void undo() override { run(true); }
    void redo() override { run(false); }
    std::size_t memoryBytes() const override {
        return sizeof(*this) + sizeof(CommandState) +
               m_state->stroke.cells.capacity() * sizeof(CellEdit) +
               m_state->stroke.items.capacity() * sizeof(ItemEdit);
    }

private:
    // Once the shared map is closed its steps do nothing: the server is not there to tell.
    void run(bool undo) {
        if (SharedDocument* owner = *m_owner)
            owner->takeBack(m_state, undo);
    }

    std::shared_ptr<SharedDocument*> m_owner;
    std::shared_ptr<CommandState> m_state;
};

SharedDocument::SharedDocument(MapDocument& document, MapImage map, StaticsMap statics,
                               ShareWorker& worker)
    : m_document(document), m_worker(worker), m_copy(document, std::move(map), std::move(statics)),
      m_widthBlocks(m_copy.map().width() / kCellsPerBlockSide),
      m_heightBlocks(m_copy.map().height() / kCellsPerBlockSide), m_mark(document.historyMark()),
      m_self(std::make_shared<SharedDocument*>(this)) {}

SharedDocument::~SharedDocument() {
    *m_self = nullptr;
}

std::size_t SharedDocument::waiting() const {
    // Offline, what is handed over waits too, and will be said to wait once taken.
    return m_waiting + (m_online ? 0 : m_inFlight.size());
}

void SharedDocument::markSaved() {
    // Everything the document holds is on the server or in the journal: nothing to save.
    if (!m_journalFailed && !m_copy.hasEdits() && m_document.isModified())
        m_document.markUnmodified();
}

void SharedDocument::send(const Stroke& stroke) {
    try {
        m_worker.journal().add(stroke);
    } catch (const std::exception&) {
        // The worker tries once more, and reports the failure when it fails again.
        m_journalFailed = true;
    }
    InFlight flight{std::make_unique<Stroke>(stroke), nullptr};
    flight.blocks = std::make_unique<StrokeBlocks>(*flight.stroke, m_widthBlocks, m_heightBlocks);
    m_inFlight.push_back(std::move(flight));
    m_unsettled.insert(stroke.id);
    m_worker.submit(stroke);
}

void SharedDocument::commitEdits() {
    if (m_copy.detached() || !m_copy.hasEdits())
        return;
    // Named after the operation whose steps it replaces; a change without steps (a stamp)
    // has none of its own.
    const UndoList::Mark now = m_document.historyMark();
    const bool stepsSinceMark = now.rows != m_mark.rows || now.bulks != m_mark.bulks;
    std::string name = stepsSinceMark ? m_document.undoList().newestName() : std::string();
    if (name.empty())
        name = "Edit";
    Stroke stroke = m_copy.takeStroke();
    auto state = std::make_shared<CommandState>(CommandState{stroke, false});
    m_pending[stroke.id] = state;
    try {
        m_document.replaceHistorySince(m_mark, std::make_unique<StrokeCommand>(m_self, state),
                                       name);
    } catch (const std::logic_error&) {
        // Steps below the mark were taken back meanwhile: the stroke becomes a step of its
        // own on top of what is there.
        m_document.replaceHistorySince(m_document.historyMark(),
                                       std::make_unique<StrokeCommand>(m_self, state), name);
    }
    m_mark = m_document.historyMark();
    m_takeBack.reset();
    m_takeBackStroke.reset();
    m_journalFailed = false;
    send(stroke);
    markSaved();
}

// Runs inside the document's undo or redo, with the history already moved: the builder's
// previous values go back as a new stroke, only where they still stand.
void SharedDocument::takeBack(const std::shared_ptr<CommandState>& state, bool undo) {
    if (state->refused || m_copy.detached())
        return;
    Stroke inverse = inverseStroke(state->stroke);
    const StrokeApplication counts = applyStroke(inverse, m_copy);
    m_pending.erase(state->stroke.id);
    state->stroke = inverse;
    m_pending[inverse.id] = state;
    m_takeBack = TakeBack{undo, counts};
    m_takeBackStroke = inverse.id;
    m_mark = m_document.historyMark();
    m_journalFailed = false;
    send(inverse);
    markSaved();
}

void SharedDocument::applyPut(const BlockPut& put) {
    StrokeApplication ignored;
    if (put.kind == BlockKind::Land) {
        std::vector<unsigned char> bytes = put.bytes;
        for (const InFlight& f : m_inFlight)
            f.blocks->applyLand(put.block, bytes, ignored);
        m_copy.putLandBlock(put.block, bytes);
        return;
    }
    if (m_inFlight.empty()) {
        m_copy.putStaticsBlock(put.block, put.bytes);
        return;
    }
    std::map<std::uint32_t, std::vector<StaticRecord>> records{
        {put.block, readStaticRecords(put.bytes)}};
    for (const InFlight& f : m_inFlight)
        f.blocks->applyItems(records, ignored);
    m_copy.putStaticsBlock(put.block, staticRecordBytes(records[put.block]));
}

void SharedDocument::handle(const WorkerEvent& event, Notes& notes) {
    switch (event.kind) {
    case WorkerEvent::Kind::Taken:
        // The worker takes strokes in the order they were handed over.
        if (!m_inFlight.empty() && m_inFlight.front().stroke->id == event.stroke)
            m_inFlight.pop_front();
        break;
    case WorkerEvent::Kind::Outcome: {
        const auto found = m_pending.find(event.stroke);
        std::shared_ptr<CommandState> state =
            found == m_pending.end() ? nullptr : found->second.lock();
        if (event.report.outcome != StrokeOutcome::Waiting) {
            if (found != m_pending.end())
                m_pending.erase(found);
            m_unsettled.erase(event.stroke);
        }
        if (event.report.outcome == StrokeOutcome::Refused) {
            if (state)
                state->refused = true;
            notes.refusals.push_back(event.report);
        }
        // Sent again on newer blocks: what it left there is what counts.
        if (event.report.merged && m_takeBack && m_takeBackStroke == event.stroke)
            m_takeBack->counts = event.report.applied;
        break;
    }
    case WorkerEvent::Kind::Puts:
        break; // applied by the caller, a few at a time
    case WorkerEvent::Kind::Link:
        notes.linkChanged = true;
        break;
    case WorkerEvent::Kind::Builders:
        m_builders = event.builders;
        notes.buildersChanged = true;
        break;
    case WorkerEvent::Kind::FacetReplaced:
        notes.facetReplaced = true;
        break;
    case WorkerEvent::Kind::Failed:
        notes.failures.push_back(event.message);
        m_unsettled.erase(event.stroke);
        break;
    }
    m_online = event.online;
    m_waiting = event.waiting;
}

SharedDocument::Notes SharedDocument::applyEvents(std::chrono::microseconds budget) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + budget;
    for (WorkerEvent& event : m_worker.takeEvents())
        m_events.push_back(std::move(event));
    Notes notes;
    if (m_copy.detached()) {
        m_events.clear();
        return notes;
    }
    while (!m_events.empty()) {
        WorkerEvent& event = m_events.front();
        // Puts one block at a time, looking at the clock every few.
        while (m_putsDone < event.puts.size()) {
            applyPut(event.puts[m_putsDone++]);
            if (m_putsDone % 8 == 0 && Clock::now() >= deadline) {
                notes.more = true;
                return notes;
            }
        }
        handle(event, notes);
        m_events.pop_front();
        m_putsDone = 0;
        if (Clock::now() >= deadline && !m_events.empty()) {
            notes.more = true;
            return notes;
        }
    }
    return notes;
}

} // namespace tb
