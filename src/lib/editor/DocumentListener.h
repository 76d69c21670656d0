#pragma once
// What a map document tells those who follow it, and the connection that keeps one
// following it: the connection ends when it goes out of scope, whether the document or the
// listener goes first, so no owner has to order its teardown by hand.

#include "core/MapVariant.h"
#include "editor/CellRect.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace tb {

// What one operation changed.
struct CellChange {
    // The smallest rectangle holding every cell whose values were written; empty when none.
    CellRect bounds;
    // Cells written, a cell written twice counting twice.
    std::size_t count = 0;
    // The changed cells in the order they were written, as long as there are at most
    // kListedCells of them; beyond that it is empty and `bounds` alone describes the change.
    std::vector<CellPoint> cells;
    static constexpr std::size_t kListedCells = 1024;
    bool listsCells() const { return cells.size() == count; }
    // The smallest rectangle holding every cell whose items changed (an undo or redo of
    // items: every cell of the blocks concerned); empty when no item changed.
    CellRect itemBounds;
    bool changesItems() const { return !itemBounds.isEmpty(); }
    // Made by another writer (the server of a shared map), not by this builder: it is in no
    // undo step and leaves the document's modified state as it was.
    bool external = false;
};

// Told of every change of a document. Listeners must not throw and must not change the
// document from inside a notification.
class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    // One operation (a selection event of a tool, a Fill, an undo, a patch, an item edit...)
    // changed cells or items.
    virtual void cellsChanged(const CellChange& change) = 0;
    // Another map took the place of the old one, or its items were replaced: every cell may
    // differ.
    virtual void documentReplaced() {}
    // The document went from unmodified to modified or back.
    virtual void modifiedChanged(bool /*modified*/) {}
    // The undo or redo steps changed (their count or their names).
    virtual void historyChanged() {}
};

// The listeners of one document. A listener removed while they are being told is skipped
// from then on.
class ListenerList {
public:
    void add(DocumentListener* listener);
    void remove(DocumentListener* listener);
    // Calls `tell` for each listener, in the order they were added.
    template <typename Tell> void tellEach(Tell&& tell) {
        ++m_telling;
        for (std::size_t i = 0; i < m_listeners.size(); ++i)
            if (DocumentListener* listener = m_listeners[i])
                tell(*listener);
        if (--m_telling == 0 && m_removedWhileTelling) {
            std::erase(m_listeners, nullptr);
            m_removedWhileTelling = false;
        }
    }

private:
    std::vector<DocumentListener*> m_listeners;
    int m_telling = 0;
    bool m_removedWhileTelling = false; // left as null until the telling ends
};

// Keeps a listener connected to a document until it is destroyed, reset or moved from.
class ListenerConnection {
public:
    ListenerConnection() = default;
    ListenerConnection(std::weak_ptr<ListenerList> list, DocumentListener* listener)
        : m_list(std::move(list)), m_listener(listener) {}
    ~ListenerConnection() { reset(); }
    ListenerConnection(ListenerConnection&& other) noexcept
        : m_list(std::move(other.m_list)), m_listener(std::exchange(other.m_listener, nullptr)) {}
    ListenerConnection& operator=(ListenerConnection&& other) noexcept {
        if (this != &other) {
            reset();
            m_list = std::move(other.m_list);
            m_listener = std::exchange(other.m_listener, nullptr);
        }
        return *this;
    }
    ListenerConnection(const ListenerConnection&) = delete;
    ListenerConnection& operator=(const ListenerConnection&) = delete;

    void reset() {
        if (const std::shared_ptr<ListenerList> list = m_list.lock(); list && m_listener)
            list->remove(m_listener);
        m_list.reset();
        m_listener = nullptr;
    }
    bool connected() const { return m_listener != nullptr && !m_list.expired(); }

private:
    std::weak_ptr<ListenerList> m_list;
    DocumentListener* m_listener = nullptr;
};

} // namespace tb
