#pragma once
// Small generated maps and random sources for the painting, undo and overview tests.

#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "editor/MapDocument.h"
#include "shell/RandomSource.h"

#include <deque>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace edtest {

// The known variant with this file name and size text, e.g. ("map2.mul", "2304x1600").
inline tb::MapVariant variantOf(std::string_view fileName) {
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.fileName == fileName)
            return v;
    throw std::logic_error("no such variant");
}

// An Ilshenar map (2304 x 1600) of zeros held in memory, every cell tile 0 altitude 0.
inline tb::MapImage ilshenarMap() {
    const tb::MapVariant v = variantOf("map2.mul");
    return tb::MapImage(std::vector<unsigned char>(std::size_t(v.fileSize), 0), v);
}

// Hands out the values it was given, in order, and remembers the ranges asked for.
class ScriptedRandom : public tb::RandomSource {
public:
    explicit ScriptedRandom(std::deque<int> values = {}) : m_values(std::move(values)) {}
    int uniform(int n) override {
        ranges.push_back(n);
        if (m_values.empty())
            throw std::logic_error("scripted random source ran dry");
        const int v = m_values.front();
        m_values.pop_front();
        if (v < 0 || v >= n)
            throw std::logic_error("scripted value outside the range asked for");
        return v;
    }
    std::vector<int> ranges;

private:
    std::deque<int> m_values;
};

// Keeps every notification of the document it listens to.
class ChangeRecorder : public tb::DocumentListener {
public:
    explicit ChangeRecorder(tb::MapDocument& document) : m_document(document) {
        m_connection = document.connect(this);
    }

    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    void cellsChanged(const tb::CellChange& change) override { changes.push_back(change); }
    void documentReplaced() override { ++replaced; }
    void modifiedChanged(bool modified) override { modifiedStates.push_back(modified); }

    // The cells the notifications list, in order, as (x, y) pairs.
    std::vector<std::pair<int, int>> cells() const {
        std::vector<std::pair<int, int>> out;
        for (const tb::CellChange& change : changes)
            for (const tb::CellPoint& c : change.cells)
                out.emplace_back(c.x, c.y);
        return out;
    }
    void clear() { changes.clear(); }

    std::vector<tb::CellChange> changes;
    std::vector<bool> modifiedStates;
    int replaced = 0;

private:
    tb::MapDocument& m_document;
    tb::ListenerConnection m_connection;
};

} // namespace edtest
