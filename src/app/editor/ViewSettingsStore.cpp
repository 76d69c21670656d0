#include "app/editor/ViewSettingsStore.h"

#include "app/editor/BottomPanel.h"
#include "app/editor/LeftPanel.h"
#include "app/editor/MainMenus.h"
#include "app/editor/MapView.h"

#include "app/shell/Settings.h"

#include "editor/ViewSettings.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

namespace tbapp {
namespace {

// The window's size, position and maximised state, kept beside the view settings.
constexpr const char* kGeometrySetting = "WindowGeometry";
constexpr const char* kWindowStateSetting = "WindowState";
// Extra > "Show statics": 1 on, 0 off.
constexpr const char* kShowStaticsSetting = "ShowStatics";

} // namespace

void readViewSettings(const QSettings& settings, const ViewSettingsControls& controls) {
    auto text = [&settings](const char* name) { return readSettingText(settings, name); };
    auto number = [](const QString& value) { return tb::parseStoredDecimal(value.toStdString()); };
    const QString x = text("CoordX");
    const QString y = text("CoordY");
    controls.left.setJumpTexts(x.isEmpty() ? controls.left.jumpX() : x,
                               y.isEmpty() ? controls.left.jumpY() : y);
    if (const QString z = text("CoordZ"); !z.isEmpty())
        controls.bottom.setZText(z);
    if (const QString zoom = text("ZoomLevel"); !zoom.isEmpty())
        controls.view.applyStoredZoom(number(zoom));
    if (const QString mode = text("AltitudeModify"); !mode.isEmpty())
        controls.bottom.setAltitudeItem(number(mode));
    if (const QString show = text("ShowAltitude"); !show.isEmpty())
        controls.left.setAltitudeItem(number(show));
    if (const QString grid = text("Grid"); !grid.isEmpty()) {
        controls.left.setGridItem(number(grid));
        controls.view.setGridLines(controls.left.gridShown());
    }
    if (const QString statics = text(kShowStaticsSetting); !statics.isEmpty())
        controls.menus.setShowStatics(number(statics) != 0);
}

void writeViewSettings(QSettings& settings, const ViewSettingsControls& controls,
                       const QWidget& window) {
    writeSettingText(settings, "CoordX", controls.left.jumpX());
    writeSettingText(settings, "CoordY", controls.left.jumpY());
    writeSettingText(settings, "CoordZ", controls.bottom.zText());
    writeSettingText(settings, "ZoomLevel", QString::number(controls.view.zoom().level));
    writeSettingText(settings, "AltitudeModify", QString::number(controls.bottom.altitudeItem()));
    writeSettingText(settings, "ShowAltitude", QString::number(controls.left.altitudeItem()));
    writeSettingText(settings, "Grid", QString::number(controls.left.gridItem()));
    writeSettingText(settings, kShowStaticsSetting, controls.menus.showStatics() ? "1" : "0");
    writeSettingText(settings, kGeometrySetting,
                     QString::fromLatin1(window.saveGeometry().toBase64()));
    if (const auto* main = qobject_cast<const QMainWindow*>(&window))
        writeSettingText(settings, kWindowStateSetting,
                         QString::fromLatin1(main->saveState().toBase64()));
    syncSettingsStore(settings);
}

// Which docks are open and where, as the window was closed.
void restoreWindowState(const QSettings& settings, QMainWindow& window) {
    const QString state = readSettingText(settings, kWindowStateSetting);
    if (!state.isEmpty())
        window.restoreState(QByteArray::fromBase64(state.toLatin1()));
}

void placeWindow(const QSettings& settings, QWidget& window) {
    window.resize(900, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    const QString geometry = readSettingText(settings, kGeometrySetting);
    if (!geometry.isEmpty())
        window.restoreGeometry(QByteArray::fromBase64(geometry.toLatin1()));
}

} // namespace tbapp
