#pragma once
// Draws one cell of the map view: the land picture of its tile, the statics (their item
// pictures, or a marker), the selection frame, the altitude as a number or colour and the
// bookmark labels, in that order. Tile pictures are decoded once per tile and cell size and kept
// until the art or the cell size changes, so a repaint is a copy of ready pixels; so are the
// pictures of cells with items drawn over their land, as many as ComposedCellCache holds.
// Needs Qt Gui only, so tbmap draws its pictures with it too.

#include "render/ComposedCellCache.h"
#include "render/ItemPainter.h"
#include "render/PixelSurface.h"

#include "core/ArtFiles.h"
#include "core/MapImage.h"
#include "core/RadarPicture.h"
#include "core/StaticRadarColours.h"
#include "core/StaticsMap.h"

#include <QColor>
#include <QFont>
#include <QImage>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace tbrender {

// One numbered bookmark as the view shows it.
struct CellBookmark {
    std::int32_t col = 0;
    std::int32_t row = 0;
    bool enabled = false;
};
using CellBookmarks = std::array<CellBookmark, 10>;

// The switches that decide what a cell shows besides its picture.
struct CellViewSwitches {
    bool altitudeOn = false;      // the Altitude group is "On"
    bool coloredAltitude = false; // Extra > "Colored Altitude"
    bool showOnlyColor = false;   // Extra > "Show only Color"
    bool showNumber = true;       // Extra > "Show Number"
    bool stampButtonDown = false; // one of the stamp buttons is down: blue frame
    bool showStatics = false;     // Extra > "Show statics": a marker on each cell with statics
    // With showStatics: the items' pictures instead of the markers, from a cell size of
    // ItemPainter::kMinArtCellSize on, when the art holds item pictures.
    bool itemArt = false;
};

inline const QColor kSelectionFrameColour(255, 0, 0);
inline const QColor kStampSelectionFrameColour(0, 0, 255);
inline const QColor kBookmarkLabelColour(0, 0, 128);
inline const QColor kStaticsMarkerOutlineColour(0, 0, 0);

// The statics marker of a cell of a row: the cell's column and the marker's colour.
struct CellMarker {
    int col = 0;
    QRgb colour = 0;
};

class MapCellPainter {
public:
    MapCellPainter();

    // The loaded map, or nullptr while no map is loaded (every cell is black then).
    void setMap(const tb::MapImage* map) { m_map = map; }
    // The art the pictures (land and items) come from; drops every kept picture.
    void setArt(const tb::ArtFiles* art);
    void setSwitches(const CellViewSwitches& switches) { m_switches = switches; }
    const CellViewSwitches& switches() const { return m_switches; }
    void setBookmarks(const CellBookmarks* bookmarks) { m_bookmarks = bookmarks; }
    // The statics of the loaded map and the radar colours of static ids; nullptr for none.
    // Markers show while the showStatics switch is on and there are statics; without
    // colours they are black.
    // Call again after either changes: the markers' colours are kept between repaints.
    void setStatics(const tb::StaticsMap* statics, const tb::StaticRadarColours* colours) {
        m_statics = statics;
        m_staticColours = colours;
        m_items.setStatics(statics);
        m_bands.clear();
    }
    // The items of the statics given changed: the markers kept between repaints go.
    void staticsEdited() { m_bands.clear(); }
    // The hues the items are drawn in and the tiledata whose flags say how; nullptr for
    // none. Drops the kept pictures of cells with items.
    void setHues(const tb::HueFile* hues, const tb::TileData* tiledata) {
        m_items.setHues(hues, tiledata);
        m_composed.clear();
    }
    // Land above this altitude is drawn black, items above it not at all (the statics
    // markers stay: they stand for the cell's topmost item).
    void setMaxZ(int maxZ) {
        m_maxZ = maxZ;
        m_items.setMaxZ(maxZ);
    }
    // Whether cells of `cellSize` pixels show the items' pictures rather than markers.
    bool drawsItemArt(int cellSize) const {
        return staticsShown() && m_switches.itemArt && m_itemArtHeld &&
               ItemPainter::drawsArt(cellSize);
    }
    void setFont(const QFont& font) { m_font = font; }

    // Drops every kept picture (the art or the cell size changed).
    void dropCache();
    // When false, every cell decodes its picture anew (for comparison only).
    void setCacheEnabled(bool enabled) { m_cacheEnabled = enabled; }
    // The pictures of cells with items drawn over their land kept now.
    std::size_t composedCellsKept() const { return m_composed.kept(); }

    // Draws cell (x, y) into `rect`: the one place where a map cell is drawn. `surface`
    // is the pixels the painter paints on, when the caller has them: pictures are then
    // copied there directly instead of through the painter.
    void drawCell(QPainter& painter, const PixelSurface* surface, int x, int y, const QRect& rect,
                  bool selected);
    // The same for the cells firstCol..lastCol of one row (the grid's row handler).
    void drawRow(QPainter& painter, const PixelSurface* surface, int row, int firstCol, int lastCol,
                 const QRect& firstRect, int stepX, int selectedCol);

    // The picture of a tile at a cell size: the texture if there is one, else the land
    // tile, stretched to width x height; a null image when neither exists.
    QImage tilePicture(std::uint16_t tileId, int width, int height);

    // A 15-bit image as 24-bit colours, with the bit layout of tb::rgb555ToColor.
    static QImage toQImage(const tb::Image15& image);

    // The statics marker of a cell drawn into `cell`: a centred square of half the cell's
    // size, at least one pixel. From kMinOutlinedMarker pixels on, its outermost pixels are
    // the dark outline; smaller markers are all colour, or nothing of it would show.
    static QRect staticsMarkerRect(const QRect& cell);
    static constexpr int kMinOutlinedMarker = 4;

private:
    void drawCellIn(QPainter& painter, const PixelSurface* surface, int x, int y, const QRect& rect,
                    bool selected, bool bookmarksShown, bool pictureDrawn);
    bool staticsShown() const { return m_switches.showStatics && m_statics && m_map; }
    // The items' pictures of cell (x, y), or its marker, as the cell size asks.
    void drawStatics(QPainter& painter, const PixelSurface* surface, int x, int y,
                     const QRect& rect);
    // The cells of a row that have items get the kept picture of their land with their items
    // over it in m_rowPictures; the columns of those without one (seen first, or no room)
    // go into m_drawnOver with their items, drawn over the copied row (batch drawing).
    void composeRowItems(int row, int firstCol, int lastCol);
    // The marker of cell (x, y) when it has statics.
    void drawStaticsMarker(QPainter& painter, const PixelSurface* surface, int x, int y,
                           const QRect& rect);
    // The marker's colour: the radar colour of the cell's topmost static.
    QRgb staticsMarkerColour(const tb::StaticCell& statics) const {
        return tb::rgb555ToPixel(m_staticColours ? m_staticColours->colour(statics.topmostId) : 0);
    }
    // The markers of the cells of one row of blocks, per row of cells: their columns, left
    // to right, and their colours. Kept for the next repaint of the same block columns, as
    // the tile pictures are kept.
    struct MarkerBand {
        int firstBlockCol = -1;
        int lastBlockCol = -1;
        std::array<std::vector<CellMarker>, 8> rows;
    };
    const MarkerBand& markerBand(int blockRow, int firstBlockCol, int lastBlockCol);
    // The markers of the cells firstCol..lastCol of row `row`, drawn from `firstMarker` on
    // at `stepX` pixels apart: the run of those wholly inside the surface's columns, and the
    // ones cut by its left or right edge into m_cutMarkers.
    std::span<const CellMarker> rowMarkers(int surfaceWidth, int row, int firstCol, int lastCol,
                                           const QRect& firstMarker, int stepX);
    bool anyBookmarkEnabled() const;
    // The kept picture of a tile at width x height (rect size) pixels, or nullptr for none.
    const QRgb* cachedPicture(std::uint16_t tileId, int width, int height);
    // The pictures of a row's cells into m_rowPictures (black for none).
    void rowPictures(int row, int firstCol, int lastCol);
    // Drops the kept pictures when the cell size is not the kept one.
    void keepSize(int width, int height);
    // The picture of a tile at the kept size, decoded and kept; m_black's pixels for none.
    const QRgb* decodePicture(std::uint16_t tileId);
    void drawPicture(QPainter& painter, const PixelSurface* surface, const QRgb* picture,
                     const QRect& rect);
    void drawOpaqueText(QPainter& painter, const QString& text, QPoint topLeft,
                        const QColor& background, const QColor& foreground);

    const tb::MapImage* m_map = nullptr;
    const tb::ArtFiles* m_art = nullptr;
    const CellBookmarks* m_bookmarks = nullptr;
    const tb::StaticsMap* m_statics = nullptr;
    const tb::StaticRadarColours* m_staticColours = nullptr;
    ItemPainter m_items;
    bool m_itemArtHeld = false;           // the art has item pictures
    std::vector<MarkerBand> m_bands;      // per row of blocks, once drawn
    std::vector<CellMarker> m_cutMarkers; // the row being drawn: markers cut by its ends
    CellViewSwitches m_switches;
    QFont m_font;
    int m_maxZ = 127;

    bool m_cacheEnabled = true;
    int m_cacheWidth = 0;
    int m_cacheHeight = 0;
    // Per tile id: its kept picture, m_black's pixels for none, or nullptr until first use.
    // Each picture has its own allocation, so the pointers stay valid while more are kept.
    std::vector<const QRgb*> m_pictureOf;
    std::vector<std::unique_ptr<QRgb[]>> m_pictures;
    std::vector<const QRgb*> m_rowPictures; // the row being drawn
    ComposedCellCache m_composed;           // cells with items, at the kept size
    // The row being drawn: see composeRowItems.
    struct DrawnOver {
        int col;
        std::size_t first; // of its items in m_drawnOverItems
        std::size_t count;
    };
    std::vector<DrawnOver> m_drawnOver;
    std::vector<tb::StaticRecord> m_drawnOverItems;
    std::vector<QRgb> m_black; // a black picture of the kept size
    QImage m_uncached;         // the picture of the last cell when nothing is kept
    tb::Image15 m_work;        // reused by the decoders
};

} // namespace tbrender
