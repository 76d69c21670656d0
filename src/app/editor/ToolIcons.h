#pragma once
// The pictures of the main window's tool bar, drawn here rather than shipped as files, so
// they scale with the button and need no image plugin.

#include <QIcon>
#include <QImage>

#include <cstdint>
#include <functional>

namespace tbapp {

// The land art picture of a tile at the given square size, or a null image when there is
// none (no map and art loaded yet, or no picture for the id).
using TilePictureSource = std::function<QImage(std::uint16_t tileId, int size)>;

QIcon paintToolIcon(); // a pencil
QIcon fillToolIcon();  // a rectangle with its two corners marked
QIcon brushToolIcon(); // a paint brush
QIcon exitIcon();      // a door with an arrow leaving it
QIcon overviewIcon();  // a framed map with a marked spot

// The 3 x 3 frame with the cells stamp button `button` (1 to 14) writes: each cell's land
// picture when `pictures` gives one, else a schematic where the stamped cells are filled.
QIcon stampIcon(int button, const TilePictureSource& pictures);

} // namespace tbapp
