// TBHMapEditForm, the tool windows opened from the menu and the tool bar: the overview,
// the coordinate list, "Patch Map from file", map enlargement and map copy. The patch
// editor, the diff window, the options dialog and the about box are opened from
// BHMapEditForm.cpp.

#include "editor/BHMapEditForm.h"

#include "core/OverviewWindow.h"
#include "patch/CoordinateListDialog.h"
#include "patch/PatchMapAction.h"
#include "shell/DrawGrid.h"
#include "shell/PathBox.h"
#include "tools/MapCopyDialog.h"
#include "tools/MapEnlargeDialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

void TBHMapEditForm::connectToolWindows() {
    connect(TlMap, &QToolButton::clicked, this, &TBHMapEditForm::TlMapClick);
    connect(List, &QPushButton::clicked, this, &TBHMapEditForm::ListClick);
    connect(PatchMapfromfile1, &QAction::triggered, this, &TBHMapEditForm::PatchMapClick);
    connect(EnlargemaptoML1, &QAction::triggered, this, &TBHMapEditForm::EnlargemaptoML1Click);
    connect(MapCopy1, &QAction::triggered, this, &TBHMapEditForm::MapCopy1Click);
}

// "Overview": nothing without a loaded map of a known size; otherwise the overview runs
// modally and may jump the view before it closes.
void TBHMapEditForm::TlMapClick() {
    tbapp::OverviewWindow::openOverview(
        *this, m_radarColours, MapSize->text(), [this] { return tbapp::isPathBoxValid(MapEdit); },
        prompts(), this);
}

// "List": a new coordinate list for each opening, modal; it only fills the jump boxes.
void TBHMapEditForm::ListClick() {
    tbapp::CoordinateListDialog list(m_applicationDir, *this, XJumpEdit->text(), YJumpEdit->text(),
                                     prompts(), this);
    list.exec();
}

// Extra > "Patch Map from file": applies a patch file to the loaded map and repaints.
void TBHMapEditForm::PatchMapClick() {
    patchMapFromFile(this, *this, m_applicationDir, m_patchInitialDir, prompts());
    refreshStatusBar();
}

// Extra > "Enlarge map to ML": a new enlargement window, modal; it works on files only.
void TBHMapEditForm::EnlargemaptoML1Click() {
    tbapp::MapEnlargeDialog form(prompts(), this);
    form.exec();
}

// Extra > "Map Copy": a new map copy window, modal. The copy changes files only, so the
// loaded map is not reloaded; the view goes back to (0, 0) and is repainted.
void TBHMapEditForm::MapCopy1Click() {
    {
        tbapp::MapCopyDialog form(prompts(), this);
        form.exec();
    }
    setJumpTexts("0", "0");
    CoordGoBtnClick();
    repaintMap();
}
