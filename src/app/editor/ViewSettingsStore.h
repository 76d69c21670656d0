#pragma once
// The main window's view values in the settings store: the jump coordinates, Z, zoom,
// altitude mode, the Altitude and Grid switches, "Show statics" and the window's place.

class QMainWindow;
class QSettings;
class QWidget;

namespace tbapp {

class BottomPanel;
class LeftPanel;
class MainMenus;
class MapView;

// The controls that show the stored values.
struct ViewSettingsControls {
    LeftPanel& left;
    BottomPanel& bottom;
    MapView& view;
    MainMenus& menus;
};

// Applies the stored values in their order. An empty value leaves its control as it is; a
// value that is not a decimal number throws ConversionError, so the values after it are
// not applied. The cell switches read from the controls must be applied by the caller.
void readViewSettings(const QSettings& settings, const ViewSettingsControls& controls);

// Writes the view values in their order, then the window's size, position and maximised
// state, and syncs the store. Throws FileError naming the store when it cannot be written.
void writeViewSettings(QSettings& settings, const ViewSettingsControls& controls,
                       const QWidget& window);

// Puts the window where it was when the values were last written; the first time, at its
// default size in the middle of the screen.
void placeWindow(const QSettings& settings, QWidget& window);
// Opens and places the docks as they were when the values were last written (call once
// every dock is made).
void restoreWindowState(const QSettings& settings, QMainWindow& window);

} // namespace tbapp
