#pragma once
// What the tool windows may ask of the main editor window: the place it shows, the jump
// boxes, the loaded map. The main window implements it; tests give a small fake.

#include <QString>

namespace tb {
class MapDocument;
class MapImage;
} // namespace tb

namespace tbapp {

class MapEditorLink {
public:
    virtual ~MapEditorLink() = default;

    // Puts the texts into the X and Y jump boxes without jumping.
    virtual void setJumpTexts(const QString& x, const QString& y) = 0;
    // Runs the jump of the main window with the texts now in its jump boxes.
    virtual void jumpToBoxes() = 0;
    // The map cell under the pointer (the current cell).
    virtual int currentX() const = 0;
    virtual int currentY() const = 0;
    // The loaded map, or nullptr while no map is loaded.
    virtual const tb::MapImage* loadedMap() = 0;
    // The document of the loaded map, through which every change of its cells goes (the
    // view follows its notifications), or nullptr while no map is loaded.
    virtual tb::MapDocument* mapDocument() = 0;
    // Redraws the visible part of the map view.
    virtual void repaintMap() = 0;
};

} // namespace tbapp
