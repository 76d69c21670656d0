#pragma once
// Map copy: a rectangle of cells from one known map file into another (or the same) known
// map file at a chosen place. Tile ids and altitudes travel together; block headers and
// every cell outside the target rectangle stay as they are. The changed destination
// replaces the old one whole, so an interrupted or failed copy never leaves half of it.

#include "core/MapVariant.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tb {

inline constexpr const char* kWrongCoordinatesMessage = "You entered wrong coordinates!";
inline constexpr const char* kUnknownMapMessage = "Unknown map!";
inline constexpr const char* kZeroCoordinatesMessage = "Coordinates X1,Y1,X2,Y2 cannot be 0!";
inline constexpr const char* kCopyStoppedMessage =
    "The map copy was stopped: the destination map was not changed.";

// The inclusive source rectangle X1..X2 by Y1..Y2 and the target cell (DX, DY) where its
// corner (X1, Y1) lands.
struct CopyRect {
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int32_t dx = 0, dy = 0;
};

// The caption the copy window shows for a variant: as everywhere, except that a map1.mul of
// the 7168 x 4096 size reads "Mondains Legacy".
std::string copyMapCaption(const MapVariant& variant);

// The checks of the coordinate edits. A source coordinate is out of range below 0 or past
// the side's last cell (`last`; 0 for a side not identified). A target coordinate d is out
// of range below 0, past `last` of the destination, or when d + c2 - c1 is past it.
bool sourceCoordinateOutOfRange(std::int64_t value, std::int32_t last);
bool targetCoordinateOutOfRange(std::int64_t d, std::int64_t c1, std::int64_t c2,
                                std::int32_t last);

// The percentage after source column x: x * 100 div X2, and 100 when X2 is 0 (the single
// column x = 0 is then the whole copy).
int copyProgressPercent(std::int32_t x, std::int32_t x2);
// "Copying (n%)", the caption of a copy's progress at percentage n.
std::string copyProgressText(int percent);

// Copies the rectangle, after the checks of the window in its order: any coordinate out of
// range (bounds 0 for a side not identified) refuses with kWrongCoordinatesMessage, a side
// not identified (identifyMapFile: a .mul or a container) with kUnknownMapMessage,
// X1 = Y1 = X2 = Y2 = 0 with kZeroCoordinatesMessage (all as ToolRefusal, before any file
// is opened). X2 < X1 or Y2 < Y1 copies nothing. A container destination is written back
// as a container with the layout it was read with.
//
// `progress` gets copyProgressPercent(x, X2) of 100 (caption copyProgressText) once per
// source column x, X1 to X2 in order. Asked to stop, the copy ends between two batches of
// block columns with OperationStopped (kCopyStoppedMessage) and the destination as it was.
// When source and destination are one file, the result is that of copying from a snapshot
// of the source rectangle taken before the copy starts. An input/output error throws
// FileError with both files closed and the destination as it was.
void copyMapCells(const std::filesystem::path& source, const CopyRect& rect,
                  const std::filesystem::path& destination, Progress& progress = noProgress());

} // namespace tb
