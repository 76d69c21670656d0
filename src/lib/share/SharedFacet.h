#pragma once
// A copy of a shared facet held in memory by itself: a map and its statics, for tbmap and the
// tests, where no editor document holds them.

#include "share/FacetCopy.h"

namespace tb {

class SharedFacet : public FacetCopy {
public:
    SharedFacet() = default;
    SharedFacet(MapImage map, StaticsMap statics)
        : m_map(std::move(map)), m_statics(std::move(statics)) {}

    const MapImage& map() const override { return m_map; }
    const StaticsMap& statics() const override { return m_statics; }
    void putLandBlock(std::uint32_t block, std::span<const unsigned char> bytes) override;
    void putStaticsBlock(std::uint32_t block, std::span<const unsigned char> records) override;

    // Hands the map and statics over (to an editor document); the copy is empty afterwards.
    MapImage takeMap() { return std::move(m_map); }
    StaticsMap takeStatics() { return std::move(m_statics); }

private:
    MapImage m_map;
    StaticsMap m_statics;
};

} // namespace tb
