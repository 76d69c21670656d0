#pragma once
// What the tool windows may ask of the main editor window: the place it shows, the jump
// boxes, the loaded map, saving it and reading it again. The main window implements it;
// tests give a small fake.

#include "editor/CellRect.h"

#include <QString>

#include <filesystem>
#include <functional>

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
    // Saves the loaded map into its file as Save does; `then` runs once the file is
    // written (not after a failure, a refusal or the user's Cancel).
    virtual void saveMap(std::function<void()> then) = 0;
    // A tool has written `file`: when it is the loaded map's file, the map is read again
    // (a Load), the view staying where it is if it still fits.
    virtual void mapFileWritten(const std::filesystem::path& file) = 0;
    // The cells the map view on screen shows; empty when it shows none.
    virtual tb::CellRect visibleCells() const { return {}; }
};

} // namespace tbapp
