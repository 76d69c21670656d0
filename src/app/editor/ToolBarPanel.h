#pragma once
// The tool bar of the main window: Exit, the painting tools (Paint, Fill, the fourteen
// stamps, Brush) in one exclusive group, Overview, and the custom brush box with "Edit".
// The tool that is down and the chosen brush are written into the editor state. Every
// button has an accessible name and a tool tip; P, F and B pick Paint, Fill and Brush.
// Beside them, in the same group, the Terrain tool (T) and the item tools: Place item and
// Select.

#include "app/editor/ToolIcons.h"

#include "editor/EditorState.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

class QAction;
class QComboBox;
class QHBoxLayout;
class QSpinBox;
class QToolButton;

namespace tbapp {
class Prompts;

// Which kind of tool is down: one of the land tools (the editor state says which), the
// Terrain tool, or an item tool.
enum class ToolKind { Land, Terrain, PlaceItem, SelectItems };

class ToolBarPanel : public QWidget {
    Q_OBJECT
public:
    // `state` must outlive the panel; brushes are read from `applicationDir`/brushes.
    ToolBarPanel(tb::EditorState& state, const QString& applicationDir, Prompts& prompts,
                 QWidget* parent);

    bool stampToolDown() const;
    ToolKind toolKind() const;
    // Adds a tool button for a checkable view action (the isometric view) named `name`.
    void addViewToggle(QAction* action, const QString& name);
    // Land and items above it are not drawn ("Max Z", -128 to 127).
    int maxZ() const;
    // Fills the brush box from the brush files; the text typed or chosen stays and the
    // current brush is not read again.
    void listBrushes();
    QStringList brushNames() const;
    // Draws the stamp buttons' pictures from the land art, or as schematics when
    // `pictures` gives no picture.
    void showStampPictures(const TilePictureSource& pictures);

signals:
    void exitClicked();
    void overviewClicked();
    void editBrushesClicked();
    // Another tool went down.
    void toolChanged();
    void maxZChanged(int maxZ);

private:
    QToolButton* addToolButton(const QString& name, const QIcon& icon,
                               const QString& accessibleName, const QString& hint);
    void updateTool();
    void readBrush();

    tb::EditorState& m_state;
    QString m_applicationDir;
    Prompts& m_prompts;
    QToolButton* m_exitButton = nullptr;
    QToolButton* m_paintButton = nullptr;
    QToolButton* m_fillButton = nullptr;
    std::array<QToolButton*, 14> m_stampButtons{}; // by number - 1
    QToolButton* m_brushButton = nullptr;
    QToolButton* m_terrainButton = nullptr;
    QToolButton* m_placeItemButton = nullptr;
    QToolButton* m_selectItemsButton = nullptr;
    QToolButton* m_overviewButton = nullptr;
    QComboBox* m_brushBox = nullptr;
    QToolButton* m_editBrushButton = nullptr;
    QSpinBox* m_maxZSpin = nullptr;
    QHBoxLayout* m_viewToggles = nullptr;
};

} // namespace tbapp
