#pragma once
// TBHMapEditForm: the main editor window. It owns the loaded map, the art, the radar
// colours and the view state for the whole run. Its code is split by region, each file
// creating its controls beside their handlers:
//   BHMapEditForm.cpp      creation, first show, closing, menu, the other windows
//   BHMapEditFiles.cpp     file name panel: path boxes, "..." dialogs, Load, Save
//   BHMapEditSettings.cpp  view settings read and written
//   BHMapEditStatus.cpp    status bar
//   BHMapEditView.cpp      map view, zoom, coords, altitude and grid groups, Extra switches
//   BHMapEditTools.cpp     top tool bar, right palette panel, bottom altitude/draw panel
//   BHMapEditPaint.cpp     painting, undo and redo, the controls that feed the editor state
// The map itself is a tb::MapDocument: every change of cells goes through it, and the view
// repaints from its notifications (MapViewRefresher).

#include "editor/MapCellPainter.h"
#include "editor/MapViewRefresher.h"
#include "shell/MapEditorLink.h"

#include "core/LandArt.h"
#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "editor/Bookmarks.h"
#include "editor/EditorState.h"
#include "editor/EngineRandomSource.h"
#include "editor/MapDocument.h"
#include "editor/Painting.h"
#include "editor/UndoList.h"
#include "editor/Zoom.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <random>

class DrawGrid;
class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;
class QSpinBox;
class QStatusBar;
class QToolButton;
class QTreeWidget;
namespace tbapp {
class RadioGroup;
}
class QActionGroup;
class QMenu;
namespace tbapp {
struct CatalogueContext;
}
class QKeyEvent;
namespace tbapp {
class PatchEditorWindow;
}
namespace tbapp {
class Prompts;
}

class TBHMapEditForm : public QMainWindow,
                       public tbapp::MapEditorLink,
                       private tb::DocumentListener {
    Q_OBJECT
public:
    // `settings` and `random` must outlive the window; `applicationDir` ends with a
    // separator and holds the lists beside the program.
    TBHMapEditForm(QSettings& settings, const QString& applicationDir, std::mt19937& random,
                   tbapp::Prompts& prompts, QWidget* parent = nullptr);
    ~TBHMapEditForm() override;

    // The long-lived windows created after this one that its menu shows; either may be null.
    void setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow);

    // MapEditorLink
    void setJumpTexts(const QString& x, const QString& y) override;
    void jumpToBoxes() override;
    int currentX() const override { return m_currentX; }
    int currentY() const override { return m_currentY; }
    const tb::MapImage* loadedMap() override { return m_mapLoaded ? &m_document.image() : nullptr; }
    tb::MapDocument* mapDocument() override { return m_mapLoaded ? &m_document : nullptr; }
    void repaintMap() override;
    // The map being edited (without a loaded map: one without cells).
    tb::MapDocument& document() { return m_document; }
    // What the painting tools work with, as the controls have set it.
    const tb::EditorState& editorState() const { return m_state; }

    bool mapLoaded() const { return m_mapLoaded; }
    const tb::ZoomState& zoom() const { return m_zoom; }
    const QString& applicationDir() const { return m_applicationDir; }
    const tb::RadarColours& radarColours() const { return m_radarColours; }
    // The text of status bar panel 0 or 1.
    QString statusPanelText(int panel) const;
    // The width status bar panel 0 or 1 is given (half the bar, set on every resize).
    int statusPanelWidth(int panel) const;
    // Rebuilds both status bar texts (other parts call it after their changes).
    void refreshStatusBar();
    // Sets the current cell (the cell under the pointer) and refreshes the status bar.
    void setCurrentCell(int x, int y);

    // --- Top bar (BHMapEditTools.cpp)
    QWidget* TopPanel = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* btnDefault = nullptr;
    QToolButton* btnRectFill = nullptr;
    std::array<QToolButton*, 14> btnHoehle{}; // btnHoehle1 .. btnHoehle14
    QToolButton* btnCustomBrush = nullptr;
    QToolButton* TlMap = nullptr;
    QComboBox* cbCustomBrushes = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    // --- Left panel (brush: BHMapEditTools.cpp; the rest: BHMapEditView.cpp)
    QWidget* LeftPanel = nullptr;
    QGroupBox* BrushSizeGroup = nullptr;
    QLineEdit* BrushSizeEdt = nullptr;
    QSpinBox* BrushSizeMover = nullptr;
    QCheckBox* cbAddRAl = nullptr;
    QLineEdit* edRauschen = nullptr;
    QSpinBox* udRValue = nullptr;
    QGroupBox* ZoomGroup = nullptr;
    QToolButton* SpeedButton2 = nullptr; // zoom out
    QToolButton* SpeedButton3 = nullptr; // zoom in
    QPushButton* TLZoomLevel = nullptr;  // "Default"
    QGroupBox* CoordsGroup = nullptr;
    QLineEdit* XJumpEdit = nullptr;
    QLineEdit* YJumpEdit = nullptr;
    QPushButton* CoordGoBtn = nullptr;
    QPushButton* List = nullptr;
    tbapp::RadioGroup* ShowAltitudeRadioGroup = nullptr;
    tbapp::RadioGroup* GridBox = nullptr;
    // --- Centre
    DrawGrid* MainDrawGrid = nullptr;
    // --- Right panel (BHMapEditTools.cpp)
    QWidget* RightPanel = nullptr;
    QLineEdit* edFindID = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnCustomTextures = nullptr;
    QCheckBox* cbSortet = nullptr;
    DrawGrid* TextureDrawGrid = nullptr;
    DrawGrid* SortedTextureGrid = nullptr;
    // --- Bottom panel (BHMapEditTools.cpp)
    QWidget* BottomPanel = nullptr;
    tbapp::RadioGroup* AltitudeRadioGroup = nullptr;
    QLineEdit* ZValueEdit = nullptr;
    QSpinBox* XValueUpDown = nullptr;
    QComboBox* SelectDrawingModeComboBox = nullptr;
    QTreeWidget* UndoList = nullptr;
    // --- File name panel (BHMapEditFiles.cpp)
    QWidget* FileNamePanel = nullptr;
    QLineEdit* MapEdit = nullptr;
    QPushButton* TlLoadMap = nullptr;
    QPushButton* btnLoad = nullptr;
    QLineEdit* UOPathEdit = nullptr;
    QPushButton* TlSelectDir = nullptr;
    QPushButton* btnSave = nullptr;
    QGroupBox* MapInfoGroup = nullptr;
    QLabel* MapInfo = nullptr;
    QLabel* MapSize = nullptr;
    // --- Status bar (BHMapEditStatus.cpp)
    QStatusBar* StatusBar = nullptr;
    std::array<QLabel*, 2> StatusPanels{};
    // --- Menu entries (BHMapEditForm.cpp)
    QAction* Exit1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* UndoStroke1 = nullptr;
    QAction* RedoStroke1 = nullptr;
    QAction* ShowTextureID1 = nullptr;
    QAction* coloredAltitude = nullptr;
    QAction* ShowonlyColor1 = nullptr;
    QAction* ShowAltitude1 = nullptr;
    QAction* PatchMapfromfile1 = nullptr;
    QAction* PatchEditor1 = nullptr;
    QAction* CreateDiffpatch1 = nullptr;
    QAction* EnlargemaptoML1 = nullptr;
    QAction* MapCopy1 = nullptr;
    QAction* Options1 = nullptr;
    QAction* About1 = nullptr;

    // Handlers, named after their control and event.
    void FormCreate();
    void FormShow();
    void MapEditChange();
    void UOPathEditChange();
    void TlLoadMapClick();
    void TlSelectDirClick();
    void btnLoadClick();
    void btnSaveClick();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void TLZoomLevelClick();
    void CoordGoBtnClick();
    void GridBoxClick();
    void ShowAltitudeRadioGroupClick();
    void coloredAltitudeClick();
    void ShowonlyColor1Click();
    void ShowAltitude1Click();
    void AltitudeRadioGroupClick();
    void SelectDrawingModeComboBoxChange();
    void About1Click();
    void PatchEditor1Click();
    void CreateDiffpatch1Click();
    void Options1Click();
    void MainDrawGridMouseMove(const QPoint& pos);
    void MainDrawGridDrawCell(QPainter& painter, int col, int row, const QRect& rect,
                              bool selected);

    // The painter the view draws cells with (the benchmark and tests reach the cache).
    MapCellPainter& cellPainter() { return m_cellPainter; }

    // --- Navigation and bookmarks (BHMapEditNavigate.cpp)
    // Key presses on the map view, before the grid's own cursor moves: the arrow keys,
    // Insert and the digit chords. True when the grid must not move for the key.
    bool MainDrawGridKeyDown(QKeyEvent* event);
    // Ctrl+digit in the jump boxes recalls a bookmark. True when the key was taken.
    bool JumpEditKeyDown(QKeyEvent* event);
    const tb::Bookmarks& bookmarks() const { return m_bookmarkList; }
    // --- Tool windows of the menu and the tool bar (BHMapEditMenus.cpp)
    void TlMapClick();
    void ListClick();
    void PatchMapClick();
    void EnlargemaptoML1Click();
    void MapCopy1Click();
    // The messages and file dialogs of "Patch Map from file" and the coordinate list, and
    // the question before unsaved changes would be lost; null: the real ones.
    void setPrompts(tbapp::Prompts* prompts) { m_prompts = prompts; }

    // --- Painting, undo, palettes and brushes (BHMapEditPaint.cpp, BHMapEditPalette.cpp)
    QMenu* pmCustomTextures = nullptr; // the texture list menu of btnCustomTextures
    // The map view's selection event: the tool that is down changes cells from (col, row).
    void MainDrawGridSelectCell(int col, int row);
    // The map view's mouse press: the right button picks the tile under the pointer into
    // the palette; other buttons are not handled here.
    void MainDrawGridMouseDown(const QPoint& pos, Qt::MouseButton button);
    // Each arrow key of the map view calls this before the grid moves: the next selection
    // event then changes nothing.
    void setKeyNavigation() { m_painter.setKeyNavigation(); }
    void TlUndoClick();       // Edit > "Undo          CTRL+Z" and Ctrl+Z in the map view
    void TlRedoClick();       // Edit > "Redo          CTRL+Y" and Ctrl+Y in the map view
    void TlUndoStrokeClick(); // Edit > "Undo stroke", Alt+Z
    void TlRedoStrokeClick(); // Edit > "Redo stroke", Alt+Y
    void BrushSizeMoverClick();
    void udRValueClick();
    void XValueUpDownClick();
    void LoadTileGroups();
    void LoadTextureList(const QString& relativePath);
    void BuildListMenu(const QString& currentPath);
    void btnFindClick();
    void btnCustomTexturesClick();
    void cbSortetClick();
    void ShowTextureID1Click();
    void cbCustomBrushesChange();
    void SpeedButton6Click();
    void listBrushes();
    // The tile that "Selected tile from list" paints (set by a palette click, "Go" and the
    // right-click pick).
    std::int32_t paletteTile() const { return m_state.paletteTile; }
    // The tile of the row the visible palette shows as selected (the status bar's).
    std::int32_t selectedPaletteTile() const;
    // The palette row framed red by the last "Go" or pick in each view, or -1.
    int markedPaletteRow(bool sortedView) const {
        return sortedView ? m_sortedMarkedRow : m_fullMarkedRow;
    }
    const tb::UndoList& undoList() const { return m_document.undoList(); }
    const tb::MapPainter& mapPainter() const { return m_painter; }
    const std::vector<tb::TileNamed>& tileGroups() const { return m_tileGroups; }
    const std::vector<std::string>& sortedPaletteRows() const { return m_sortedRows; }
    const QString& textureListPath() const { return m_textureListPath; }
    // The prompts and nested dialogs of the brush editor and the options dialog; null:
    // the real boxes.
    void setCataloguePrompts(tbapp::Prompts* prompts) { m_cataloguePrompts = prompts; }

signals:
    // The window has run its closing steps; the program ends its event loop on it.
    void formClosed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Layout, one region each.
    void createMenu();
    QWidget* createTopPanel();
    QWidget* createLeftPanel();
    QGroupBox* createBrushSizeGroup(QWidget* parent);
    QWidget* createRightPanel();
    QWidget* createBottomPanel();
    QWidget* createFileNamePanel();
    void createStatusBar();
    void createMapView();

    // Settings
    void readViewSettings();
    void writeViewSettings();
    // Files
    void identifyMap();
    void readRadarColours();
    // View
    void applyCellSize();
    void updateZoomControls();
    void updateCellSwitches();
    bool anyStampButtonDown() const;
    // Unsaved changes before they would be lost: asks "Save changes to <file>?". True when
    // the caller may go on (nothing to save, Discard, or a Save that succeeded).
    // What Discard does to the map: it goes anyway (closing, Load), or it stays open and
    // is read again from its file (a new map path).
    enum class AfterDiscard { DropMap, KeepMap };
    bool settleUnsavedChanges(AfterDiscard afterDiscard = AfterDiscard::DropMap);
    // Writes the map to `path` as Save does; false (after the error report) when it failed.
    bool saveMapAs(const QString& path);
    tbapp::Prompts& prompts() const;
    // tb::DocumentListener: the caption marks unsaved changes.
    void cellsChanged(const tb::CellChange&) override {}
    void modifiedChanged(bool modified) override;

    QSettings& m_settings;
    QString m_applicationDir;
    std::mt19937& m_random;
    QWidget* m_patchEditor = nullptr;
    QDialog* m_diffWindow = nullptr;

    tb::MapDocument m_document;
    tb::ArtFiles m_art;
    tb::RadarColours m_radarColours;
    bool m_mapLoaded = false;
    int m_currentX = 0;
    int m_currentY = 0;
    tb::ZoomState m_zoom;
    CellBookmarks m_bookmarks;
    MapCellPainter m_cellPainter;
    std::unique_ptr<MapViewRefresher> m_viewRefresher;

    // --- Navigation and bookmarks (BHMapEditNavigate.cpp), tool windows (BHMapEditMenus.cpp)
    void connectNavigation();
    void connectToolWindows();
    void readBookmarks();
    void writeBookmarks();
    void showBookmarks(); // hands the bookmarks to the cell painter
    void recallBookmark(int number);
    tbapp::PatchEditorWindow* patchEditor() const;
    tb::Bookmarks m_bookmarkList;
    tbapp::Prompts* m_prompts = nullptr;
    QString m_patchInitialDir; // the "Patch Map from file" dialog's starting folder

    // --- Painting, undo, palettes and brushes (BHMapEditPaint.cpp, BHMapEditPalette.cpp)
    void connectPainting();
    void connectPalette();
    void createPaintingSteps(); // creation: brush, tile groups, texture lists
    void resetPainting();
    // The controls write into the editor state when they change; these read one group.
    void toolChanged();
    void drawModeChanged();
    void syncEditorState(); // every control once, at creation
    void paletteGoTo(std::int32_t id);
    void paletteCellSelected(bool sortedView, int row);
    void drawPaletteCell(bool sortedView, QPainter& painter, int row, const QRect& rect,
                         bool selected);
    tbapp::CatalogueContext catalogueContext();
    void loadTextureListFile(const std::string& relativePath); // throws
    tb::EngineRandomSource m_randomSource{m_random};
    tb::MapPainter m_painter{m_randomSource};
    tb::EditorState m_state;
    std::vector<tb::TileNamed> m_tileGroups;
    std::vector<std::string> m_sortedRows;
    int m_fullSelectedRow = 0;
    int m_sortedSelectedRow = 0;
    int m_fullMarkedRow = -1;
    int m_sortedMarkedRow = -1;
    QString m_textureListPath;
    QActionGroup* m_listMenuGroup = nullptr;
    tbapp::Prompts* m_cataloguePrompts = nullptr;

    bool m_firstMapPathChange = true;
    bool m_shown = false;
    bool m_closed = false;
    bool m_saving = false;     // Save runs (it lets the window repaint once)
    bool m_settling = false;   // the question about unsaved changes is open
    QString m_acceptedMapPath; // the map path box's text as last accepted
};
