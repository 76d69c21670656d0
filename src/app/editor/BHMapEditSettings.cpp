// TBHMapEditForm, view settings: the seven values kept in the settings store, read at
// creation and at first show, written at close.

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/RadioGroup.h"
#include "shell/Settings.h"

#include "editor/ViewSettings.h"

#include <QLineEdit>
#include <QSettings>

namespace {

std::int32_t storedNumber(const QString& text) {
    return tb::parseStoredDecimal(text.toStdString());
}

} // namespace

// Applies the stored values in their order. An empty value leaves its control as it is;
// a value that is not a decimal number throws, so the values after it are not applied.
// An item index outside its group leaves the group as it is.
void TBHMapEditForm::readViewSettings() {
    auto text = [this](const char* name) { return tbapp::readSettingText(m_settings, name); };
    if (const QString x = text("CoordX"); !x.isEmpty())
        XJumpEdit->setText(x);
    if (const QString y = text("CoordY"); !y.isEmpty())
        YJumpEdit->setText(y);
    if (const QString z = text("CoordZ"); !z.isEmpty())
        ZValueEdit->setText(z);
    if (const QString zoom = text("ZoomLevel"); !zoom.isEmpty()) {
        tb::applyStoredZoom(m_zoom, storedNumber(zoom));
        applyCellSize();
    }
    if (const QString mode = text("AltitudeModify"); !mode.isEmpty())
        AltitudeRadioGroup->setItemIndex(storedNumber(mode));
    if (const QString show = text("ShowAltitude"); !show.isEmpty()) {
        ShowAltitudeRadioGroup->setItemIndex(storedNumber(show));
        updateCellSwitches();
    }
    if (const QString grid = text("Grid"); !grid.isEmpty()) {
        GridBox->setItemIndex(storedNumber(grid));
        MainDrawGrid->setGridLineWidth(GridBox->itemIndex() == 0 ? 1 : 0);
    }
    updateZoomControls();
}

// Writes the seven values in their order (at close, whether or not a map was loaded). A
// store that cannot be written throws the error naming its file.
void TBHMapEditForm::writeViewSettings() {
    tbapp::writeSettingText(m_settings, "CoordX", XJumpEdit->text());
    tbapp::writeSettingText(m_settings, "CoordY", YJumpEdit->text());
    tbapp::writeSettingText(m_settings, "CoordZ", ZValueEdit->text());
    tbapp::writeSettingText(m_settings, "ZoomLevel", QString::number(m_zoom.level));
    tbapp::writeSettingText(m_settings, "AltitudeModify",
                            QString::number(AltitudeRadioGroup->itemIndex()));
    tbapp::writeSettingText(m_settings, "ShowAltitude",
                            QString::number(ShowAltitudeRadioGroup->itemIndex()));
    tbapp::writeSettingText(m_settings, "Grid", QString::number(GridBox->itemIndex()));
    tbapp::syncSettingsStore(m_settings);
}
