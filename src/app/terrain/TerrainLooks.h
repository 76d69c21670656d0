#pragma once
// How the terrain windows show a terrain: its colour beside the picture of its fill tile.

#include "catalogue/TerrainSet.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <cstdint>
#include <functional>

namespace tbapp {

// The land art picture of a tile at a square size, or a null image (no map and art loaded,
// no picture for the id). The same as the tool bar's TilePictureSource.
using TilePictures = std::function<QImage(std::uint16_t tileId, int size)>;

QColor terrainColour(const tb::Terrain& terrain);

// A `size` x `size` square of the terrain's colour and, beside it, `fill` (when not null):
// a list's icon.
QPixmap terrainSwatch(const tb::Terrain& terrain, const QImage& fill, int size);

// The tool bar's glyph of the Terrain tool: a tile of grass with a corner of sand.
QIcon terrainToolIcon();

} // namespace tbapp
