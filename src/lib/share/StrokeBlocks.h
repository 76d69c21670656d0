#pragma once
// A stroke's edits sorted by the blocks they fall in, applied to blocks: the builder's copy,
// or blocks fetched from the server when someone else changed them first.

#include "share/FacetCopy.h"
#include "share/Stroke.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

namespace tb {

// What applying a stroke did.
struct StrokeApplication {
    std::size_t cellsWritten = 0;
    std::size_t cellsLeft = 0; // not as the stroke expected (WhereUnchanged): left alone
    std::size_t itemsApplied = 0;
    std::size_t itemsLeft = 0; // not found where the stroke expected them: left alone
};

class StrokeBlocks {
public:
    // Sorts the edits of `stroke`, which must outlive this object, for a facet of the given
    // blocks. Throws std::out_of_range for an edit outside the facet.
    StrokeBlocks(const Stroke& stroke, int widthBlocks, int heightBlocks);

    // The blocks the stroke writes, ascending.
    const std::vector<std::uint32_t>& landBlocks() const { return m_land; }
    const std::vector<std::uint32_t>& staticsBlocks() const { return m_statics; }

    // Applies the stroke's cells in land block `block` to its 196 bytes.
    void applyLand(std::uint32_t block, std::span<unsigned char> bytes,
                   StrokeApplication& counts) const;
    // Applies the stroke's item edits, in order, to `records`: the records of the blocks in
    // staticsBlocks(), or of some of them, where the edits' parts in those blocks are
    // applied (the builder's waiting strokes shown over blocks fetched anew).
    void applyItems(std::map<std::uint32_t, std::vector<StaticRecord>>& records,
                    StrokeApplication& counts) const;

private:
    std::uint32_t blockOf(std::int32_t x, std::int32_t y) const;

    const Stroke& m_stroke;
    int m_widthBlocks;
    int m_heightBlocks;
    std::vector<std::uint32_t> m_land;
    std::vector<std::uint32_t> m_statics;
    // (block, index of the cell edit), by block and then in stroke order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_cellsByBlock;
};

// The 7-byte form of `records`, in their order.
std::vector<unsigned char> staticRecordBytes(const std::vector<StaticRecord>& records);

// Applies `stroke` to `copy`, block by block; returns what it did.
StrokeApplication applyStroke(const Stroke& stroke, FacetCopy& copy);

} // namespace tb
