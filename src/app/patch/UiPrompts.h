#pragma once
// The messages, questions, file dialogs and progress windows of the patch windows and the
// main window, behind one interface so that tests answer them without blocking. The standard
// prompts show the real dialogs and report through the application's standard error report.

#include <QString>

#include <filesystem>
#include <memory>

class QWidget;

// One run's item progress window; closed when the object is destroyed (also on error).
class ItemProgressWindow {
public:
    virtual ~ItemProgressWindow() = default;
    // Moves the bar to item `index` (from 0), shows `text` and lets the window repaint.
    virtual void showItem(int index, const QString& text) = 0;
};

struct FileDialogSpec {
    QString title;
    QString filter;      // "QVBrimholt Patch (*.qvp)"
    QString directory;   // empty: wherever the dialog starts by itself
    QString defaultName; // preselected file name, may be empty
};

// The answers to "Save changes to <file name>?".
enum class UnsavedChangesAnswer { Save, Discard, Cancel };

class UiPrompts {
public:
    virtual ~UiPrompts() = default;

    // A plain message (the refusals with their literal texts), through the application's
    // standard report (shell/ErrorReport.h).
    virtual void showMessage(QWidget* parent, const QString& text);
    // The application's standard error report for a failed conversion or file operation.
    virtual void showError(QWidget* parent, const QString& text);
    // The chosen file, or an empty text when cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialogSpec& request);
    // The chosen file, or an empty text when cancelled; an existing file is replaced
    // without asking.
    virtual QString saveFileName(QWidget* parent, const FileDialogSpec& request);
    // "Save changes to <file name>?" with Save, Discard and Cancel, asked before unsaved
    // changes to a map would be lost. Escape answers Cancel.
    virtual UnsavedChangesAnswer askSaveChanges(QWidget* parent, const QString& fileName);
    // A fresh "Progress ..." window without owner, shown, its bar running from 0 to
    // itemCount - 1.
    virtual std::unique_ptr<ItemProgressWindow> startProgress(int itemCount);

    // The prompts that show the real dialogs.
    static UiPrompts& standard();
};

// A path for the library from a text of the user interface.
std::filesystem::path uiPath(const QString& text);
