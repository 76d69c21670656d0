#pragma once
// The pictures the isometric painter draws, made from the game's art: land tiles as their
// diamonds, land stretched over its corners with the texture lit, items in their hues.

#include "render/IsoSprite.h"

#include "core/ArtFiles.h"
#include "core/HueFile.h"
#include "core/ItemArt.h"
#include "iso/LandSurface.h"

namespace tbrender {

// The diamond of a land tile (tb::makeLandDiamondImage) at scale `half`: 2 * half pixels
// a side, each pixel the mean of the art's pixels it covers. With `grid`, the diamond's
// upper edges are darkened, so the tiles together show a grid of cells.
IsoSprite makeLandTileSprite(const tb::Image15& diamond, int half, bool grid);

// A land tile stretched over its corners: `texture` (64 or 128 texels a side) laid over the
// quad (its top-left corner at the quad's top corner, its top edge along the quad's upper
// right edge), each pixel's colour times the light interpolated between the corners. The
// sprite's offset is its top-left from the point the quad's coordinates are relative to.
IsoSprite makeStretchedTileSprite(const tb::Image15& texture, const tb::iso::Quad& quad,
                                  const tb::iso::CornerLights& lights, bool grid);

// An item's art at scale `half`: in `hue` when given (only its grey pixels when
// `onlyGrey`), at alpha kTranslucentAlpha when `translucent`.
IsoSprite makeItemSprite(const tb::ItemImage& art, const tb::HueEntry* hue, bool onlyGrey,
                         bool translucent, int half);

} // namespace tbrender
