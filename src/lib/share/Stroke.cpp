#include "share/Stroke.h"

#include <algorithm>
#include <random>

namespace tb {

StrokeId newStrokeId() {
    // One generator per thread, seeded from the system: ids must differ between editors
    // started at the same moment.
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    StrokeId id;
    for (std::size_t i = 0; i < id.size(); i += 8) {
        const std::uint64_t bits = generator();
        for (std::size_t k = 0; k < 8; ++k)
            id[i + k] = static_cast<unsigned char>(bits >> (8 * k));
    }
    id[6] = static_cast<unsigned char>((id[6] & 0x0F) | 0x40);
    id[8] = static_cast<unsigned char>((id[8] & 0x3F) | 0x80);
    return id;
}

std::string strokeIdText(const StrokeId& id) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text.push_back('-');
        text.push_back(digits[id[i] >> 4]);
        text.push_back(digits[id[i] & 15]);
    }
    return text;
}

Stroke inverseStroke(const Stroke& stroke) {
    Stroke inverse;
    inverse.id = newStrokeId();
    inverse.mode = StrokeMode::WhereUnchanged;
    inverse.cells.reserve(stroke.cells.size());
    for (auto it = stroke.cells.rbegin(); it != stroke.cells.rend(); ++it)
        inverse.cells.push_back({it->x, it->y, it->after, it->before});
    for (auto it = stroke.items.rbegin(); it != stroke.items.rend(); ++it) {
        ItemEdit edit;
        switch (it->kind) {
        case ItemEditKind::Add:
            edit.kind = ItemEditKind::Remove;
            edit.before = it->after;
            break;
        case ItemEditKind::Remove:
            edit.kind = ItemEditKind::Add;
            edit.after = it->before;
            break;
        case ItemEditKind::Replace:
            edit.kind = ItemEditKind::Replace;
            edit.before = it->after;
            edit.after = it->before;
            break;
        }
        inverse.items.push_back(edit);
    }
    return inverse;
}

} // namespace tb
