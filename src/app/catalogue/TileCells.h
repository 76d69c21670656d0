#pragma once
// The cells of the dialogs' tile grids: a tile picture stretched over the cell, a red frame
// round the selected (or found) cell and the id label on a white box; and the built-in
// "BRUSHNODRAW" picture of a brush cell without a tile.

#include <QColor>
#include <QImage>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QPainter;
class QRect;
class QWidget;

namespace tbapp {
class DrawGrid;

// Fills `rect` with `image` stretched over it, or with `emptyColour` when the image is
// null; frames it in red when `framed`; writes `label` (when not empty) at one pixel right
// of and below the corner, black on white.
void drawTileCell(QPainter& painter, const QRect& rect, const QImage& image,
                  const QColor& emptyColour, bool framed, const QString& label);

// The id label of a grid cell: " " + the id as spaced hex of two bytes + " ".
QString tileIdLabel(int tileId);

// The 44 x 44, 16-colour picture of a brush cell that draws nothing.
const QImage& brushNoDrawPicture();

// The tile size of the dialogs' grids.
inline constexpr int kDialogCellSize = 44;

// The rows of the dialogs' tile grids: the ids of textures/tileids.lst as four hex
// digits. A file that cannot be read, or a line that is no integer, is reported through
// `fail` (with the rows read before it kept).
std::vector<std::string> loadDialogTileRows(const std::filesystem::path& appDir,
                                            const std::function<void(const std::exception&)>& fail);

// Makes a one-column grid (Qt::Vertical: it scrolls up and down) just wide enough for its
// cells, or a one-row grid (Qt::Horizontal) just high enough, with its scroll bar.
void fitGridToOneCell(DrawGrid* grid, Qt::Orientation scrolling);

// Double-clicks on a grid's cells run `action` (the dialogs' "add the selected tile").
void onGridDoubleClick(DrawGrid* grid, std::function<void()> action);

} // namespace tbapp
