#pragma once
// Pictures of whole cells with items: a land picture with the items of a cell drawn over it,
// kept by the land picture and the items' ids in drawing order, so a cell with items costs
// one copy like a cell without. Town floors and walls repeat, and a repaint of the same view
// (pointer moves, overlays, strokes, small scrolls) finds its cells again. An item's picture
// depends on its id, its hue and the cell size only: its z gave the order.
// A cell gets a picture the second time it is asked for: a scroll over new ground draws its
// items over the land as before, instead of filling pictures it may never show again.
// Bounded to kBudgetBytes of pixels; pictures not found again lately make room.

#include "core/StaticsMap.h"

#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tbrender {

class ComposedCellCache {
public:
    static constexpr std::size_t kBudgetBytes = std::size_t(32) << 20;

    explicit ComposedCellCache(std::size_t budgetBytes = kBudgetBytes) : m_budget(budgetBytes) {}

    // The size of the pictures and the pixels each has past its end (for the wide row copy);
    // drops every picture when either changes.
    void setSize(int width, int height, std::size_t padding);
    // Drops every picture (the land pictures or the item pictures changed).
    void clear();
    // A new row: the pictures handed out from here on stay until the next row begins.
    void beginRow() { ++m_row; }

    struct Picture {
        QRgb* pixels = nullptr; // nullptr: first sight or no room, draw the cell another way
        bool composed = false;  // false: new, the caller draws it before use
    };
    // The picture of `land` with `items` over it.
    Picture find(const QRgb* land, std::span<const tb::StaticRecord> items);

    // How many pictures fit in the budget, and how many are kept.
    std::size_t capacity() const { return m_capacity; }
    std::size_t kept() const { return m_slots.size(); }

private:
    struct Slot {
        std::uint64_t key = 0;
        const QRgb* land = nullptr;
        std::vector<std::uint32_t> ids; // id | hue << 16 of each item
        std::unique_ptr<QRgb[]> pixels;
        std::uint64_t row = 0; // the row that last used it
        bool recent = false;   // found again since the clock hand last passed
    };
    bool holds(const Slot& slot, const QRgb* land, std::span<const tb::StaticRecord> items) const;
    // A slot to reuse, or -1 when each one is used by the current row.
    int freeSlot();
    Picture fill(int at, std::uint64_t key, const QRgb* land,
                 std::span<const tb::StaticRecord> items);
    // The slot holding `key`, or -1.
    int slotOf(std::uint64_t key) const;
    void addKey(std::uint64_t key, int slot);
    // The table anew from the slots: rid of the keys of reused slots, grown with the slots.
    void rebuildKeys();
    // Whether `key` was asked for before; remembers it.
    bool seenBefore(std::uint64_t key);

    std::size_t m_budget;
    int m_width = 0;
    std::size_t m_pixels = 0; // per picture, with the padding
    std::size_t m_capacity = 0;
    std::vector<Slot> m_slots;
    // Keys to slots, open addressing, a power of two long; an entry whose slot now holds
    // another key is stale and is skipped (a look-up is a few reads of one small array).
    struct KeyEntry {
        std::uint64_t key = 0;
        int slot = -1; // -1: empty
    };
    std::vector<KeyEntry> m_keys;
    std::size_t m_keysAdded = 0; // since the last rebuild, stale ones included
    // Keys asked for without a picture, open addressing too (0: empty); emptied when half full.
    std::vector<std::uint64_t> m_seen;
    std::size_t m_seenCount = 0;
    std::size_t m_hand = 0;
    std::uint64_t m_row = 1;
};

} // namespace tbrender
