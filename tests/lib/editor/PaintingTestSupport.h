#pragma once
// Small generated maps and random sources for the painting, undo and overview tests.

#include "catalogue/BHTools.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"

#include <deque>
#include <stdexcept>
#include <string_view>
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

} // namespace edtest
