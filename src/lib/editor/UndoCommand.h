#pragma once
// An undo step that knows how to take itself back: what another store of the map keeps (a
// shared map's stroke, which goes back to the server) instead of cell rows or item blocks.
// It changes the document through its own edits, which record nothing.

#include <cstddef>

namespace tb {

class UndoCommand {
public:
    virtual ~UndoCommand() = default;
    // Takes the change back; the next call of redo() brings it back, and so on.
    virtual void undo() = 0;
    virtual void redo() = 0;
    // Bytes the step holds.
    virtual std::size_t memoryBytes() const = 0;
};

} // namespace tb
