#include "patch/UiPrompts.h"

#include "shell/ErrorReport.h"
#include "shell/ProgressForm.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class ProgressFormWindow : public ItemProgressWindow {
public:
    explicit ProgressFormWindow(int itemCount) : m_form(new TProgressForm(nullptr)) {
        m_form->setAttribute(Qt::WA_DeleteOnClose, false);
        m_form->startItems(itemCount);
        m_form->show();
        m_form->repaint();
    }
    ~ProgressFormWindow() override { delete m_form; }
    void showItem(int index, const QString& text) override { m_form->showItem(index, text); }

private:
    TProgressForm* m_form;
};

QString startPath(const FileDialogSpec& request) {
    if (request.directory.isEmpty())
        return request.defaultName;
    return request.defaultName.isEmpty() ? request.directory
                                         : QDir(request.directory).filePath(request.defaultName);
}

} // namespace

void UiPrompts::showMessage(QWidget* parent, const QString& text) {
    tbapp::showMessage(parent, text);
}

void UiPrompts::showError(QWidget* parent, const QString& text) {
    tbapp::showErrorReport(parent, text);
}

QString UiPrompts::openFileName(QWidget* parent, const FileDialogSpec& request) {
    return QFileDialog::getOpenFileName(parent, request.title, startPath(request), request.filter);
}

QString UiPrompts::saveFileName(QWidget* parent, const FileDialogSpec& request) {
    return QFileDialog::getSaveFileName(parent, request.title, startPath(request), request.filter,
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

UnsavedChangesAnswer UiPrompts::askSaveChanges(QWidget* parent, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QString("Save changes to %1?").arg(fileName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedChangesAnswer::Save;
    case QMessageBox::Discard:
        return UnsavedChangesAnswer::Discard;
    default:
        return UnsavedChangesAnswer::Cancel;
    }
}

std::unique_ptr<ItemProgressWindow> UiPrompts::startProgress(int itemCount) {
    return std::make_unique<ProgressFormWindow>(itemCount);
}

UiPrompts& UiPrompts::standard() {
    static UiPrompts prompts;
    return prompts;
}

std::filesystem::path uiPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}
