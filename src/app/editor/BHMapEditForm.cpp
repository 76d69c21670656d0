// TBHMapEditForm: creation, first show, closing, the menu and the windows it opens.

#include "editor/BHMapEditForm.h"

#include "catalogue/OptionsDialog.h"
#include "shell/AboutDialog.h"
#include "shell/DrawGrid.h"
#include "shell/Prompts.h"
#include "shell/Settings.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

TBHMapEditForm::TBHMapEditForm(QSettings& settings, const QString& applicationDir,
                               std::mt19937& random, tbapp::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_applicationDir(applicationDir),
      m_random(random) {
    m_prompts = &prompts;
    setObjectName("TBHMapEditForm");
    setWindowTitle("Tolvane Brimholt 1.4.1");
    setFont(QFont("MS Sans Serif", 8));

    createMenu();
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(createTopPanel());
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(createLeftPanel());
    createMapView();
    middle->addWidget(MainDrawGrid, 1);
    middle->addWidget(createRightPanel());
    outer->addLayout(middle, 1);
    outer->addWidget(createBottomPanel());
    outer->addWidget(createFileNamePanel());
    setCentralWidget(central);
    createStatusBar();
    // The view follows the document: every change of cells is drawn from its notification.
    m_viewRefresher = std::make_unique<MapViewRefresher>(m_document, *MainDrawGrid);
    m_document.addListener(this);
    connectNavigation();
    connectToolWindows();

    resize(701, 553 + menuBar()->sizeHint().height() + 22);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

TBHMapEditForm::~TBHMapEditForm() {
    m_document.removeListener(this);
}

void TBHMapEditForm::setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow) {
    m_patchEditor = patchEditor;
    m_diffWindow = diffWindow;
}

// Creation, once before the window is shown.
void TBHMapEditForm::FormCreate() {
    // "[*]" shows Qt's mark of unsaved changes; without changes the caption reads as before.
    setWindowTitle(windowTitle() + " (x64)[*]");
    tbapp::runReported(prompts(), this, [&] { readViewSettings(); });
    // Painting: the empty brush cell list, the tile groups (drawing-mode list) and the
    // texture lists.
    createPaintingSteps();
    readBookmarks();
    listBrushes();
    tbapp::runReported(prompts(), this, [&] { readRadarColours(); });
    resetPainting();
    m_mapLoaded = false;
    m_cellPainter.setMap(nullptr);
    m_cellPainter.setArt(&m_art);
    m_cellPainter.setBookmarks(&m_bookmarks);
    m_cellPainter.setFont(MainDrawGrid->font());
    updateCellSwitches();
}

void TBHMapEditForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // The first-show steps run once the window is on screen.
        QTimer::singleShot(0, this, [this] { FormShow(); });
    }
}

// First show: seed the random source, restore the two paths (which identifies the map
// but loads nothing), reset the draw mode and read the view settings again.
void TBHMapEditForm::FormShow() {
    m_random.seed(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    auto assign = [](QLineEdit* box, const QString& text, void (TBHMapEditForm::*handler)(),
                     TBHMapEditForm* form) {
        // Every assignment validates, also one that leaves the text as it was.
        if (box->text() == text)
            (form->*handler)();
        else
            box->setText(text);
    };
    assign(MapEdit, tbapp::readSettingText(m_settings, "MAPx.mul"), &TBHMapEditForm::MapEditChange,
           this);
    assign(UOPathEdit, tbapp::readSettingText(m_settings, "UOPath"),
           &TBHMapEditForm::UOPathEditChange, this);
    identifyMap();
    SelectDrawingModeComboBox->setCurrentIndex(0);
    tbapp::runReported(prompts(), this, [&] { readViewSettings(); });
    refreshStatusBar();
}

void TBHMapEditForm::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        // Unsaved changes are not lost without a question; while Save runs, or while that
        // question is open, the window stays.
        if (m_saving || m_settling || !settleUnsavedChanges()) {
            event->ignore();
            return;
        }
        m_closed = true;
        m_cellPainter.setMap(nullptr);
        m_cellPainter.setArt(nullptr);
        m_document.replace(tb::MapImage(), {});
        m_art = tb::ArtFiles();
        tbapp::runReported(prompts(), this, [&] { writeViewSettings(); });
        writeBookmarks();
        emit formClosed();
    }
    event->accept();
}

void TBHMapEditForm::createMenu() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, const QString& name, const QString& text, bool checkable,
                      bool checked) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        action->setCheckable(checkable);
        action->setChecked(checked);
        return action;
    };
    QMenu* file = bar->addMenu("&File");
    Exit1 = add(file, "Exit1", "E&xit", false, false);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = bar->addMenu("Edit");
    // The entries carry their keys as text: Ctrl+Z and Ctrl+Y work in the map view only.
    Undo1 = add(edit, "Undo1", "Undo          CTRL+Z", false, false);
    Redo1 = add(edit, "Redo1", "Redo          CTRL+Y", false, false);
    UndoStroke1 = add(edit, "UndoStroke1", "Undo stroke", false, false);
    UndoStroke1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Z));
    RedoStroke1 = add(edit, "RedoStroke1", "Redo stroke", false, false);
    RedoStroke1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Y));

    QMenu* extra = bar->addMenu("&Extra");
    ShowTextureID1 = add(extra, "ShowTextureID1", "Show Texture ID", true, true);
    extra->addSeparator();
    coloredAltitude = add(extra, "coloredAltitude", "Colored Altitude", true, false);
    ShowonlyColor1 = add(extra, "ShowonlyColor1", "Show only Color", true, false);
    ShowAltitude1 = add(extra, "ShowAltitude1", "Show Number", true, true);
    extra->addSeparator();
    PatchMapfromfile1 = add(extra, "PatchMapfromfile1", "Patch Map from file", false, false);
    PatchEditor1 = add(extra, "PatchEditor1", "Patch Editor", false, false);
    CreateDiffpatch1 = add(extra, "CreateDiffpatch1", "Create Diff patch", false, false);
    EnlargemaptoML1 = add(extra, "EnlargemaptoML1", "Enlarge map to ML", false, false);
    MapCopy1 = add(extra, "MapCopy1", "Map Copy", false, false);
    extra->addSeparator();
    Options1 = add(extra, "Options1", "&Options...", false, false);
    connect(coloredAltitude, &QAction::triggered, this, &TBHMapEditForm::coloredAltitudeClick);
    connect(ShowonlyColor1, &QAction::triggered, this, &TBHMapEditForm::ShowonlyColor1Click);
    connect(ShowAltitude1, &QAction::triggered, this, &TBHMapEditForm::ShowAltitude1Click);
    connect(PatchEditor1, &QAction::triggered, this, &TBHMapEditForm::PatchEditor1Click);
    connect(CreateDiffpatch1, &QAction::triggered, this, &TBHMapEditForm::CreateDiffpatch1Click);
    connect(Options1, &QAction::triggered, this, &TBHMapEditForm::Options1Click);

    QMenu* info = bar->addMenu("&Info");
    About1 = add(info, "About1", "About", false, false);
    connect(About1, &QAction::triggered, this, &TBHMapEditForm::About1Click);
}

// Extra > "Patch Editor": the long-lived patch editor, modeless.
void TBHMapEditForm::PatchEditor1Click() {
    if (m_patchEditor) {
        m_patchEditor->show();
        m_patchEditor->raise();
    }
}

// Extra > "Create Diff patch": the long-lived diff window, modal.
void TBHMapEditForm::CreateDiffpatch1Click() {
    if (m_diffWindow)
        m_diffWindow->exec();
}

// Extra > "&Options...": BHMapEditPalette.cpp.

// Info > "About": a new about box each time, modeless; it releases itself.
void TBHMapEditForm::About1Click() {
    auto* about = new tbapp::AboutDialog(this);
    about->show();
}

void TBHMapEditForm::setJumpTexts(const QString& x, const QString& y) {
    XJumpEdit->setText(x);
    YJumpEdit->setText(y);
}

void TBHMapEditForm::jumpToBoxes() {
    CoordGoBtnClick();
}

void TBHMapEditForm::repaintMap() {
    MainDrawGrid->invalidateGrid();
}

void TBHMapEditForm::modifiedChanged(bool modified) {
    setWindowModified(modified);
}
