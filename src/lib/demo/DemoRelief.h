#pragma once
// The land's shape between the coast and the mountains, and the textures that let the
// isometric view stretch its tiles over it.

#include <cstdint>

namespace tb::demo {

// The lowland rolls by up to this many altitude steps over hills some twenty cells across:
// neighbouring cells differ by a step here and there, so the land is drawn sloped.
inline constexpr int kReliefSteps = 3;

// The rise of cell (x, y) of the world of `seed` above its lowland base: 0..kReliefSteps.
int lowlandRelief(std::uint64_t seed, int x, int y);

// The texture the tiledata names for land tile `landId`: the first texture of its family,
// 0 for tiles of no family (the cave walls, which are never stretched).
std::uint16_t demoLandTexture(std::uint16_t landId);

struct DemoArtFiles;

// The land drawn stretched takes the light of its corners, 0.854 where the land is level,
// while the land tiles' art has its light in it: the textures are made brighter by as much,
// so level land looks the same drawn either way.
void lightenTexturesForSlopes(DemoArtFiles& art);

} // namespace tb::demo
