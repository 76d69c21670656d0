#pragma once
// The two views of the map in the main window, one on screen at a time: the chart from above
// (MapView) and the picture the game draws (IsoMapView, View > "Isometric view", Ctrl+I).
// Both forward their events to the same current tool; what the window hears of them comes
// through the signals below, whichever view sent it, so the window wires them once.

#include "editor/MapDocument.h"
#include "editor/MapTool.h"

#include <QImage>
#include <QStackedWidget>

#include <optional>

class QAction;

namespace tb {
struct ArtFiles;
class HueFile;
class TileData;
} // namespace tb

namespace tbapp {
class IsoMapView;
class MapView;

class MapViews : public QStackedWidget {
    Q_OBJECT
public:
    // `document` must outlive the views.
    MapViews(tb::MapDocument& document, QWidget* parent);

    MapView& topDown() { return *m_topDown; }
    IsoMapView& isometricView() { return *m_iso; }
    // The checkable action that switches between them.
    QAction* isometricAction() const { return m_isoAction; }
    bool isometric() const;
    void setIsometric(bool on);

    void setTool(tb::MapTool* tool);
    // The tool's cursor, status text or overlay changed.
    void toolChanged();
    // What the views draw with besides the map: the art read by Load, the tiledata, the hues.
    void setGameData(const tb::ArtFiles* art, const tb::TileData* tiledata,
                     const tb::HueFile* hues);
    // Land and items above it are not drawn (Max Z).
    void setMaxZ(int maxZ);
    // The isometric view's cell diamonds (the top-down view's grid lines are its own).
    void setGrid(bool on);
    void setItemsShown(bool shown);
    // The cell in the middle of the view on screen (a jump, a bookmark).
    void centreOn(int x, int y);
    // The cells the view on screen shows.
    tb::CellRect visibleCells() const;
    // The view on screen as a picture.
    QImage viewPicture();

signals:
    void cellSelected(int x, int y);
    void pointerMoved(int x, int y);
    void pointerLeftMap();
    void pointedItemChanged(std::optional<tb::PointedItem> item);
    // The left button went down or up: a stroke starts or ends (the document is told too).
    void strokeStarted();
    void strokeEnded();
    void tilePickRequested(int x, int y);
    void toolMenuRequested(const QPoint& globalPos);
    void navigatedByKey();
    void undoKeyPressed();
    void redoKeyPressed();
    void insertKeyPressed();
    void bookmarkRecalled(int x, int y);

private:
    template <typename View> void forward(View* view);

    tb::MapDocument& m_document;
    MapView* m_topDown = nullptr;
    IsoMapView* m_iso = nullptr;
    QAction* m_isoAction = nullptr;
};

} // namespace tbapp
