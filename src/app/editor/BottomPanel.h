#pragma once
// The bottom panel of the main window: "Modify the altitude", the altitude value Z with its
// up-down, and the draw mode list (three fixed modes, then the tile groups). Each change is
// written into the editor state, Z read as a number once per change of its text; the list
// positions are known only here.

#include "catalogue/TileGroup.h"
#include "editor/EditorState.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace tbapp {
class RadioGroup;

class BottomPanel : public QWidget {
    Q_OBJECT
public:
    BottomPanel(tb::EditorState& state, QWidget* parent);

    // Rebuilds the draw mode list: the fixed modes, then one item per group in order; the
    // first item ("Don't draw") is selected afterwards.
    void setTileGroups(const std::vector<tb::TileGroup>& groups);
    void setDrawMode(tb::DrawMode mode); // a fixed mode
    // ZValueEdit's text as typed: the settings keep it and the status bar shows it.
    QString zText() const;
    void setZText(const QString& text);
    // "Modify the altitude" as the settings keep it, the item index 0 to 3; another index
    // is ignored.
    int altitudeItem() const;
    void setAltitudeItem(int item);
    // The name of the tile group painted from, or empty.
    QString groupName() const;

signals:
    // The altitude mode, Z or the draw mode changed (the status bar names them).
    void modesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readDrawMode();

    tb::EditorState& m_state;
    std::vector<tb::TileGroup> m_groups;
    RadioGroup* m_altitudeModes = nullptr;
    QLineEdit* m_zEdit = nullptr;
    QSpinBox* m_zSpin = nullptr;
    QComboBox* m_drawModeBox = nullptr;
};

} // namespace tbapp
