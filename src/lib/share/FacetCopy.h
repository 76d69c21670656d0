#pragma once
// A builder's copy of a shared facet, as the session reads and updates it: the editor's
// document, or SharedFacet for tools and tests. The session puts whole blocks into it as
// the server holds them (another builder's change, a stroke merged on top of a newer block,
// a refused stroke taken back); each put is one change of the copy.

#include "core/MapImage.h"
#include "core/StaticsMap.h"

#include <cstdint>
#include <span>

namespace tb {

class FacetCopy {
public:
    virtual ~FacetCopy() = default;
    virtual const MapImage& map() const = 0;
    virtual const StaticsMap& statics() const = 0;
    // Replaces land block `block` with `bytes` (196: header and 64 cells).
    virtual void putLandBlock(std::uint32_t block, std::span<const unsigned char> bytes) = 0;
    // Replaces the statics of block `block` with `records` (7 bytes each, file order).
    virtual void putStaticsBlock(std::uint32_t block, std::span<const unsigned char> records) = 0;
};

} // namespace tb
