#pragma once
// Everything a window asks of the user besides its own controls: messages, error reports,
// Yes/No questions, input boxes, file and folder dialogs, "Save changes to <file>?", the
// question about a file changed on disk, item progress and nested modal dialogs. Each
// window receives one Prompts from its creator, so tests answer them with a recording
// double and nothing blocks.

#include "shell/Progress.h"

#include <QString>

#include <exception>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace tbapp {

// One file dialog: what it shows and how it treats the chosen name.
struct FileDialogRequest {
    QString name{};          // the dialog's object name ("MapSave"), so tests tell dialogs apart
    QString title{};         // empty: the toolkit's own title
    QString filter{};        // "QVBrimholt Patch (*.qvp)"
    QString directory{};     // empty: wherever the dialog starts by itself
    QString defaultName{};   // preselected file name, may be empty
    QString defaultSuffix{}; // added to a typed name without one, may be empty
    bool confirmOverwrite = false; // save dialogs: ask before an existing file is replaced
};

// The answers to "Save changes to <file name>?".
enum class SaveChangesAnswer { Save, Discard, Cancel };

// The answers to "<file name> has changed on disk since it was loaded." before a Save.
enum class DiskChangeAnswer { Overwrite, Reload, Cancel };

// One run's item progress window, closed when the object is destroyed (also on error). It is
// the run's progress: report() moves the bar to item `done` (from 0) of the last item
// `total` and shows `caption`. Reports may come from a job's thread, as often as the job
// likes: the window shows the latest one when it next refreshes. stopRequested() turns true
// when the user presses its Cancel.
class ItemProgress : public tb::Progress {};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A plain message titled with the application's name (a refusal with its literal text).
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // A plain message without icon under a title of its own, with an OK button.
    virtual void showTitledMessage(QWidget* parent, const QString& title, const QString& text) = 0;
    // The standard error report for a failed conversion or file operation.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // The same with `details` behind its Details button (what a program or server said
    // word for word, for whoever looks into it).
    virtual void showDetailedError(QWidget* parent, const QString& text,
                                   const QString& details) = 0;
    // A box titled "Confirm" with Yes and No; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // An input box; the answer, or nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& preset) = 0;
    // An open dialog for an existing file: the chosen file, or an empty text when cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // A save dialog: the chosen file, or an empty text when cancelled.
    virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // A folder dialog titled `title`, opened at `startDir` (empty: wherever it starts by
    // itself): the chosen folder, or an empty text when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& title,
                                 const QString& startDir) = 0;
    // "Save changes to <file name>?" with Save, Discard and Cancel; Escape answers Cancel.
    virtual SaveChangesAnswer askSaveChanges(QWidget* parent, const QString& fileName) = 0;
    // "<file name> has changed on disk since it was loaded." with Overwrite, Reload and
    // Cancel; Escape answers Cancel.
    virtual DiskChangeAnswer askChangedOnDisk(QWidget* parent, const QString& fileName) = 0;
    // A fresh "Progress ..." window without owner, shown, its bar running from 0 to
    // itemCount - 1, with a Cancel button.
    virtual std::unique_ptr<ItemProgress> startProgress(int itemCount) = 0;
    // Shows a dialog the window built modally; its result (QDialog::Accepted or Rejected).
    virtual int execDialog(QDialog& dialog) = 0;

    // The error report for a failure (exception), with the exception's own message. A job's
    // stop is told apart from its failure by its runner (JobRunner.h).
    void showFailure(QWidget* parent, const std::exception& error);
};

// Runs `work`; an exception ends it and is shown by the error report. Returns false when
// the work failed.
template <typename Work> bool runReported(Prompts& prompts, QWidget* parent, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        prompts.showFailure(parent, error);
        return false;
    }
}

} // namespace tbapp
