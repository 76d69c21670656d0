#pragma once
// The prompts of the running program: the toolkit's message boxes, input box, file and
// folder dialogs, and the "Progress ..." window.

#include "app/shell/Prompts.h"

namespace tbapp {

class StandardPrompts : public Prompts {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    void showTitledMessage(QWidget* parent, const QString& title, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void showDetailedError(QWidget* parent, const QString& text, const QString& details) override;
    bool confirm(QWidget* parent, const QString& text) override;
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& preset) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& startDir) override;
    SaveChangesAnswer askSaveChanges(QWidget* parent, const QString& fileName) override;
    DiskChangeAnswer askChangedOnDisk(QWidget* parent, const QString& fileName) override;
    std::unique_ptr<ItemProgress> startProgress(int itemCount) override;
    int execDialog(QDialog& dialog) override;
};

} // namespace tbapp
