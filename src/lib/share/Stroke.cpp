#include "share/Stroke.h"

#include <algorithm>
#include <iterator>
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

namespace {

// For each record of `was`, the index of the record of `now` it stays as, or -1: a longest
// common subsequence of the two.
std::vector<std::ptrdiff_t> keptRecords(const std::vector<StaticRecord>& was,
                                        const std::vector<StaticRecord>& now) {
    const std::size_t n = was.size();
    const std::size_t m = now.size();
    // longest[i][j]: of was[i..] and now[j..].
    std::vector<std::uint32_t> longest((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
        return longest[i * (m + 1) + j];
    };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) =
                was[i] == now[j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    std::vector<std::ptrdiff_t> kept(n, -1);
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (was[i] == now[j]) {
            kept[i++] = std::ptrdiff_t(j++);
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    return kept;
}

} // namespace

std::vector<ItemEdit> itemEditsBetween(std::int32_t blockX, std::int32_t blockY,
                                       const std::vector<StaticRecord>& before,
                                       const std::vector<StaticRecord>& after) {
    auto items = [](const std::vector<StaticRecord>& records) {
        std::vector<StaticRecord> understood;
        std::copy_if(records.begin(), records.end(), std::back_inserter(understood),
                     [](const StaticRecord& r) { return r.understood(); });
        return understood;
    };
    const std::vector<StaticRecord> was = items(before);
    const std::vector<StaticRecord> now = items(after);
    auto placed = [&](const StaticRecord& r) {
        return PlacedItem{blockX * 8 + r.x, blockY * 8 + r.y, r.id, r.z, r.hue};
    };
    // Beyond this many pairs to compare, none is taken to stay: a block that large is rare.
    constexpr std::size_t kMostCompared = std::size_t(1) << 22;
    std::vector<std::ptrdiff_t> kept(was.size(), -1);
    if (was.size() * now.size() <= kMostCompared)
        kept = keptRecords(was, now);

    // Between two records that stay, an item gone and an item come on the same cell are one
    // item changed in place (its hue, z or id); the others were removed or added. Added items
    // go to the end of the block, as the editor places them.
    std::vector<ItemEdit> edits;
    std::vector<ItemEdit> added;
    std::size_t j = 0;
    std::size_t i = 0;
    while (i < was.size() || j < now.size()) {
        std::size_t wasEnd = i;
        while (wasEnd < was.size() && kept[wasEnd] < 0)
            ++wasEnd;
        const std::size_t nowEnd = wasEnd < was.size() ? std::size_t(kept[wasEnd]) : now.size();
        const std::size_t gap = j;
        std::vector<bool> paired(nowEnd - gap, false);
        for (; i < wasEnd; ++i) {
            std::size_t k = gap;
            while (k < nowEnd && (paired[k - gap] || now[k].x != was[i].x || now[k].y != was[i].y))
                ++k;
            if (k < nowEnd) {
                paired[k - gap] = true;
                edits.push_back({ItemEditKind::Replace, placed(was[i]), placed(now[k])});
            } else {
                edits.push_back({ItemEditKind::Remove, placed(was[i]), {}});
            }
        }
        for (; j < nowEnd; ++j)
            if (!paired[j - gap])
                added.push_back({ItemEditKind::Add, {}, placed(now[j])});
        if (i < was.size()) { // the record that stays
            ++i;
            ++j;
        }
    }
    edits.insert(edits.end(), added.begin(), added.end());
    return edits;
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
