// TBHMapEditForm, navigation: the keys of the map view (arrow keys, Insert, the bookmark
// chords), Ctrl+digit in the jump boxes, and the ten bookmarks kept in bookmarklist.xml.
// The pointer tracking and the jump itself live with the map view (BHMapEditView.cpp).

#include "editor/BHMapEditForm.h"

#include "patch/PatchEditorWindow.h"
#include "shell/DrawGrid.h"
#include "shell/Prompts.h"

#include "catalogue/TextureList.h"
#include "editor/Navigation.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

namespace {

// Hands the key presses of a widget to a function before the widget sees them.
class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QObject* parent, std::function<bool(QKeyEvent*)> handler)
        : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && m_handler(static_cast<QKeyEvent*>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QKeyEvent*)> m_handler;
};

std::optional<tb::ArrowKey> arrowKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return tb::ArrowKey::Left;
    case Qt::Key_Up:
        return tb::ArrowKey::Up;
    case Qt::Key_Right:
        return tb::ArrowKey::Right;
    case Qt::Key_Down:
        return tb::ArrowKey::Down;
    default:
        return std::nullopt;
    }
}

// The other keys the grid moves its selected cell for.
bool movesByPage(int key) {
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home ||
           key == Qt::Key_End;
}

// The digit 0..9 of a key of the main keyboard, or -1 (keypad digits are not chords).
int mainKeyboardDigit(const QKeyEvent* event) {
    if (event->modifiers() & Qt::KeypadModifier)
        return -1;
    const int key = event->key();
    return key >= Qt::Key_0 && key <= Qt::Key_9 ? key - Qt::Key_0 : -1;
}

// bookmarklist.xml beside the program, found without regard to case like the other files
// there (a file of another case is read and replaced, not joined by a second one).
std::filesystem::path bookmarkPath(const QString& applicationDir) {
    return tb::resolveAppPath(std::filesystem::path(applicationDir.toStdU16String()),
                              tb::kBookmarkFileName);
}

} // namespace

void TBHMapEditForm::connectNavigation() {
    MainDrawGrid->setKeyHandler([this](QKeyEvent* event) { return MainDrawGridKeyDown(event); });
    auto* jumpKeys =
        new KeyPressFilter(this, [this](QKeyEvent* event) { return JumpEditKeyDown(event); });
    XJumpEdit->installEventFilter(jumpKeys);
    YJumpEdit->installEventFilter(jumpKeys);
}

tbapp::PatchEditorWindow* TBHMapEditForm::patchEditor() const {
    return qobject_cast<tbapp::PatchEditorWindow*>(m_patchEditor);
}

// The keys of the map view. An arrow key scrolls one step and sets the key navigation
// flag, then the grid moves its selected cell as usual (the flag keeps that move from
// painting). Insert hands the current cell to the visible patch editor. The digit chords
// come last: Ctrl+Alt+N toggles bookmark N at the selected cell, Ctrl+N (also with Alt)
// recalls it. Ctrl with Z undoes one row and Ctrl with Y redoes one, whatever else is held.
bool TBHMapEditForm::MainDrawGridKeyDown(QKeyEvent* event) {
    if (const std::optional<tb::ArrowKey> arrow = arrowKey(event->key())) {
        setKeyNavigation();
        const tb::ScrollPosition next =
            tb::scrollForArrowKey(*arrow, {MainDrawGrid->leftCol(), MainDrawGrid->topRow()},
                                  MainDrawGrid->colCount(), MainDrawGrid->rowCount());
        MainDrawGrid->setLeftCol(next.leftColumn);
        MainDrawGrid->setTopRow(next.topRow);
        refreshStatusBar();
        return false;
    }
    if (movesByPage(event->key())) {
        // The grid moves its selected cell for these keys too; that move must not paint
        // either.
        setKeyNavigation();
        return false;
    }
    if (event->key() == Qt::Key_Insert) {
        tbapp::PatchEditorWindow* editor = patchEditor();
        if (editor && editor->isVisible() && m_mapLoaded) {
            // The editor refuses a listed cell with "This coords are on list!" itself.
            editor->insertCurrentCell();
            refreshStatusBar();
        }
        return true;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (ctrl && event->key() == Qt::Key_Z) {
        TlUndoClick();
        return true;
    }
    if (ctrl && event->key() == Qt::Key_Y) {
        TlRedoClick();
        return true;
    }
    if (const int digit = mainKeyboardDigit(event); digit >= 0) {
        const tb::BookmarkChordResult chord = tb::bookmarkChord(
            m_bookmarkList, digit, ctrl, alt, MainDrawGrid->col(), MainDrawGrid->row());
        if (chord.repaintView) {
            showBookmarks();
            MainDrawGrid->invalidateGrid();
        }
        if (chord.jumpTo)
            recallBookmark(digit);
        return ctrl;
    }
    return false;
}

// Ctrl+digit in XJumpEdit or YJumpEdit recalls bookmark N; no other key is taken.
bool TBHMapEditForm::JumpEditKeyDown(QKeyEvent* event) {
    const int digit = mainKeyboardDigit(event);
    if (digit < 0 || !(event->modifiers() & Qt::ControlModifier))
        return false;
    if (m_bookmarkList.recall(digit))
        recallBookmark(digit);
    return true;
}

// Puts an enabled bookmark's cell into the jump boxes and jumps there.
void TBHMapEditForm::recallBookmark(int number) {
    const std::optional<tb::CellPoint> cell = m_bookmarkList.recall(number);
    if (!cell)
        return;
    setJumpTexts(QString::number(cell->x), QString::number(cell->y));
    CoordGoBtnClick();
}

// Creation: bookmarklist.xml beside the program, in file order. A missing file leaves all
// ten at (0, 0, disabled); a Col or Row that is no number is reported and the entries
// read before it stay.
void TBHMapEditForm::readBookmarks() {
    tbapp::runReported(prompts(), this, [&] {
        tb::readBookmarkFile(bookmarkPath(m_applicationDir), m_bookmarkList);
    });
    showBookmarks();
}

// Closing: all ten bookmarks, replacing the file.
void TBHMapEditForm::writeBookmarks() {
    tbapp::runReported(prompts(), this, [&] {
        tb::writeBookmarkFile(bookmarkPath(m_applicationDir), m_bookmarkList);
    });
}

void TBHMapEditForm::showBookmarks() {
    for (int i = 0; i < tb::kBookmarkCount; ++i) {
        const tb::Bookmark& b = m_bookmarkList.at(i);
        m_bookmarks[std::size_t(i)] = CellBookmark{b.col, b.row, b.enabled};
    }
}
