#include "render/ComposedCellCache.h"

#include <algorithm>
#include <bit>

namespace tbrender {
namespace {

// What an item's picture depends on: its id and hue.
std::uint32_t pictureOf(const tb::StaticRecord& item) {
    return std::uint32_t(item.id) | std::uint32_t(item.hue) << 16;
}

// FNV-1a over the land picture's address and the items' ids and hues, its bits then spread
// (splitmix64's finish) so the low ones that pick a table entry depend on all of them. A collision
// only costs a new picture.
std::uint64_t keyOf(const QRgb* land, std::span<const tb::StaticRecord> items) {
    std::uint64_t key = 0xCBF29CE484222325u;
    auto mix = [&](std::uint64_t value) { key = (key ^ value) * 0x100000001B3u; };
    mix(reinterpret_cast<std::uintptr_t>(land));
    for (const tb::StaticRecord& item : items)
        mix(pictureOf(item));
    key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9u;
    key = (key ^ (key >> 27)) * 0x94D049BB133111EBu;
    return key ^ (key >> 31);
}

} // namespace

void ComposedCellCache::setSize(int width, int height, std::size_t padding) {
    const std::size_t pixels = std::size_t(width) * std::size_t(height) + padding;
    if (pixels == m_pixels && width == m_width)
        return;
    clear();
    m_width = width;
    m_pixels = pixels;
    m_capacity = m_budget / (pixels * sizeof(QRgb));
}

void ComposedCellCache::clear() {
    m_slots.clear();
    m_keys.clear();
    m_keysAdded = 0;
    m_seen.clear();
    m_seenCount = 0;
    m_hand = 0;
}

bool ComposedCellCache::seenBefore(std::uint64_t key) {
    key = std::max<std::uint64_t>(key, 1);
    if (2 * (m_seenCount + 1) > m_seen.size()) {
        m_seen.assign(std::max<std::size_t>(64, std::bit_ceil(4 * m_capacity)), 0);
        m_seenCount = 0;
    }
    const std::size_t mask = m_seen.size() - 1;
    std::size_t at = key & mask;
    for (; m_seen[at] != 0; at = (at + 1) & mask)
        if (m_seen[at] == key)
            return true;
    m_seen[at] = key;
    ++m_seenCount;
    return false;
}

int ComposedCellCache::slotOf(std::uint64_t key) const {
    const std::size_t mask = m_keys.size() - 1;
    for (std::size_t at = key & mask;; at = (at + 1) & mask) {
        const KeyEntry& entry = m_keys[at];
        if (entry.slot < 0)
            return -1;
        if (entry.key == key && m_slots[std::size_t(entry.slot)].key == key)
            return entry.slot;
    }
}

// At most half the entries are taken, so a look-up soon meets an empty one.
void ComposedCellCache::addKey(std::uint64_t key, int slot) {
    if (2 * (m_keysAdded + 1) > m_keys.size())
        rebuildKeys();
    const std::size_t mask = m_keys.size() - 1;
    std::size_t at = key & mask;
    while (m_keys[at].slot >= 0)
        at = (at + 1) & mask;
    m_keys[at] = {key, slot};
    ++m_keysAdded;
}

void ComposedCellCache::rebuildKeys() {
    m_keys.assign(std::max<std::size_t>(64, std::bit_ceil(4 * m_slots.size())), {});
    m_keysAdded = 0;
    for (std::size_t at = 0; at < m_slots.size(); ++at)
        if (m_slots[at].pixels)
            addKey(m_slots[at].key, int(at));
}

bool ComposedCellCache::holds(const Slot& slot, const QRgb* land,
                              std::span<const tb::StaticRecord> items) const {
    return slot.land == land &&
           std::equal(slot.ids.begin(), slot.ids.end(), items.begin(), items.end(),
                      [](std::uint32_t id, const tb::StaticRecord& item) {
                          return id == pictureOf(item);
                      });
}

ComposedCellCache::Picture ComposedCellCache::find(const QRgb* land,
                                                   std::span<const tb::StaticRecord> items) {
    if (m_capacity == 0)
        return {};
    if (m_keys.empty())
        rebuildKeys();
    const std::uint64_t key = keyOf(land, items);
    if (const int at = slotOf(key); at >= 0) {
        Slot& slot = m_slots[std::size_t(at)];
        if (holds(slot, land, items)) {
            slot.recent = true;
            slot.row = m_row;
            return {slot.pixels.get(), true};
        }
        // Another cell of the same key: it gives up its slot, unless this row still shows it.
        if (slot.row == m_row)
            return {};
        return fill(at, key, land, items);
    }
    if (!seenBefore(key))
        return {};
    const int at = freeSlot();
    if (at < 0)
        return {};
    return fill(at, key, land, items);
}

// A clock over the slots: one found again since the hand last passed gets another round, so
// a picture seen in two repaints outlasts the ones a scroll went past once.
int ComposedCellCache::freeSlot() {
    if (m_slots.size() < m_capacity) {
        m_slots.emplace_back();
        return int(m_slots.size() - 1);
    }
    for (std::size_t n = 0; n < 2 * m_slots.size(); ++n) {
        const std::size_t at = m_hand;
        m_hand = (m_hand + 1) % m_slots.size();
        Slot& slot = m_slots[at];
        if (slot.row == m_row)
            continue;
        if (slot.recent) {
            slot.recent = false;
            continue;
        }
        return int(at);
    }
    return -1;
}

ComposedCellCache::Picture ComposedCellCache::fill(int at, std::uint64_t key, const QRgb* land,
                                                   std::span<const tb::StaticRecord> items) {
    Slot& slot = m_slots[std::size_t(at)];
    // A slot taken over from a cell of the same key keeps its entry. Added before the slot
    // changes, so a rebuild on the way sees it as it was.
    if (!slot.pixels || slot.key != key)
        addKey(key, at);
    if (!slot.pixels)
        slot.pixels = std::make_unique<QRgb[]>(m_pixels);
    slot.key = key;
    slot.land = land;
    slot.ids.clear();
    for (const tb::StaticRecord& item : items)
        slot.ids.push_back(pictureOf(item));
    slot.row = m_row;
    slot.recent = false;
    return {slot.pixels.get(), false};
}

} // namespace tbrender
