#pragma once
// The left panel of the main window, top to bottom: brush size and random altitude (written
// into the editor state), zoom, the jump boxes with Go and List, and the Altitude and Grid
// switches of the map view.

#include "editor/EditorState.h"
#include "editor/Zoom.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace tbapp {
class RadioGroup;

class LeftPanel : public QWidget {
    Q_OBJECT
public:
    LeftPanel(tb::EditorState& state, QWidget* parent);

    // Paint's brush size (BrushSizeMover), which the Terrain tool's panel shows too.
    void setBrushSize(int size);
    QString jumpX() const;
    QString jumpY() const;
    void setJumpTexts(const QString& x, const QString& y);
    // Altitude numbers on the map ("On") and grid lines ("On").
    bool altitudeShown() const;
    bool gridShown() const;
    // The item indexes as the settings keep them (0 On, 1 Off); another index is ignored.
    int altitudeItem() const;
    int gridItem() const;
    void setAltitudeItem(int item);
    void setGridItem(int item);
    // The zoom buttons' enabled state and the group's caption.
    void showZoom(const tb::ZoomState& zoom);

signals:
    void brushSizeChanged(int size);
    void zoomOutClicked();
    void zoomInClicked();
    void defaultZoomClicked();
    void jumpClicked();
    void listClicked();
    // Ctrl + a digit key in a jump box: recall that bookmark.
    void bookmarkKeyPressed(int digit);
    void altitudeSwitched();
    void gridSwitched();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* createBrushGroup();
    QGroupBox* createZoomGroup();
    QGroupBox* createCoordsGroup();

    tb::EditorState& m_state;
    QLineEdit* m_brushSizeEdit = nullptr;
    QSpinBox* m_brushSizeSpin = nullptr;
    QCheckBox* m_randomAltitudeCheck = nullptr;
    QLineEdit* m_randomRangeEdit = nullptr;
    QSpinBox* m_randomRangeSpin = nullptr;
    QGroupBox* m_zoomGroup = nullptr;
    QToolButton* m_zoomOutButton = nullptr;
    QToolButton* m_zoomInButton = nullptr;
    QPushButton* m_defaultZoomButton = nullptr;
    QLineEdit* m_jumpXEdit = nullptr;
    QLineEdit* m_jumpYEdit = nullptr;
    QPushButton* m_jumpButton = nullptr;
    QPushButton* m_listButton = nullptr;
    RadioGroup* m_altitudeSwitch = nullptr;
    RadioGroup* m_gridSwitch = nullptr;
};

} // namespace tbapp
