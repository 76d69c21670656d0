#pragma once
// The pictures of the main window's tool bar: the fixed glyphs are SVG files compiled into
// the program's resources (src/app/editor/icons/), the stamp frames are drawn here from the
// land art.

#include <QIcon>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>

namespace tbapp {

// The land art picture of a tile at the given square size, or a null image when there is
// none (no map and art loaded yet, or no picture for the id).
using TilePictureSource = std::function<QImage(std::uint16_t tileId, int size)>;

// The SVG file at `path` (a resource such as ":/icons/paint.svg") drawn at the tool bar's
// sizes; a null icon when the file is missing or not SVG.
QIcon svgIcon(const QString& path);

QIcon paintToolIcon();     // a pencil
QIcon fillToolIcon();      // a paint bucket pouring
QIcon brushToolIcon();     // a paint brush
QIcon exitIcon();          // a door with an arrow leaving it
QIcon overviewIcon();      // a map with the frame of the part in view
QIcon placeItemIcon();     // a crate with a plus
QIcon selectItemsIcon();   // a dashed frame round a crate
QIcon isometricViewIcon(); // a tile seen from the side

// The 3 x 3 frame with the cells stamp button `button` (1 to 14) writes: each cell's land
// picture when `pictures` gives one, else a schematic where the stamped cells are filled.
QIcon stampIcon(int button, const TilePictureSource& pictures);

} // namespace tbapp
