#include "app/shell/StandardPrompts.h"

#include "app/shell/ItemProgressDialog.h"

#include "shell/Progress.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <string>

namespace tbapp {
namespace {

// The "Progress ..." window of one run. The run reports from its own thread as often as it
// likes; the window takes the latest report a few dozen times a second, so showing costs
// the run nothing.
class ProgressWindow : public ItemProgress {
public:
    explicit ProgressWindow(int itemCount) : m_window(new tbapp::ItemProgressDialog(nullptr)) {
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window->startItems(itemCount);
        QObject::connect(m_window, &ItemProgressDialog::cancelClicked, m_window,
                         [this] { m_stop.store(true, std::memory_order_relaxed); });
        auto* refresh = new QTimer(m_window);
        refresh->setInterval(40);
        QObject::connect(refresh, &QTimer::timeout, m_window, [this] { showLatest(); });
        refresh->start();
        m_window->show();
    }
    ~ProgressWindow() override { delete m_window; }

    void report(std::string_view caption, std::int64_t done, std::int64_t) override {
        const std::lock_guard lock(m_mutex);
        m_caption.assign(caption);
        m_done = done;
        m_fresh = true;
    }
    bool stopRequested() const override { return m_stop.load(std::memory_order_relaxed); }

private:
    void showLatest() {
        QString caption;
        int done = 0;
        {
            const std::lock_guard lock(m_mutex);
            if (!m_fresh)
                return;
            m_fresh = false;
            caption = QString::fromStdString(m_caption);
            done = int(m_done);
        }
        m_window->showItem(done, caption);
    }

    tbapp::ItemProgressDialog* m_window;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::string m_caption;
    std::int64_t m_done = 0;
    bool m_fresh = false;
};

QString runFileDialog(QWidget* parent, const FileDialogRequest& request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.directory, request.filter);
    dialog.setObjectName(request.name);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.defaultName.isEmpty())
        dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

void Prompts::showFailure(QWidget* parent, const std::exception& error) {
    showError(parent, QString::fromLocal8Bit(error.what()));
}

void StandardPrompts::showMessage(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

void StandardPrompts::showTitledMessage(QWidget* parent, const QString& title,
                                        const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void StandardPrompts::showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void StandardPrompts::showDetailedError(QWidget* parent, const QString& text,
                                        const QString& details) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.setDetailedText(details);
    box.exec();
}

bool StandardPrompts::confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QStringLiteral("Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> StandardPrompts::inputText(QWidget* parent, const QString& title,
                                                  const QString& prompt, const QString& preset) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, preset, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

QString StandardPrompts::openFileName(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString StandardPrompts::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

QString StandardPrompts::chooseFolder(QWidget* parent, const QString& title,
                                      const QString& startDir) {
    return QFileDialog::getExistingDirectory(parent, title, startDir);
}

SaveChangesAnswer StandardPrompts::askSaveChanges(QWidget* parent, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QString("Save changes to %1?").arg(fileName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChangesAnswer::Save;
    case QMessageBox::Discard:
        return SaveChangesAnswer::Discard;
    default:
        return SaveChangesAnswer::Cancel;
    }
}

DiskChangeAnswer StandardPrompts::askChangedOnDisk(QWidget* parent, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QString("%1 has changed on disk since it was loaded.").arg(fileName),
                    QMessageBox::NoButton, parent);
    QPushButton* overwrite = box.addButton("Overwrite", QMessageBox::DestructiveRole);
    QPushButton* reload = box.addButton("Reload", QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    // The safe answer is the one Enter gives.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == overwrite)
        return DiskChangeAnswer::Overwrite;
    if (box.clickedButton() == reload)
        return DiskChangeAnswer::Reload;
    return DiskChangeAnswer::Cancel;
}

std::unique_ptr<ItemProgress> StandardPrompts::startProgress(int itemCount) {
    return std::make_unique<ProgressWindow>(itemCount);
}

int StandardPrompts::execDialog(QDialog& dialog) {
    return dialog.exec();
}

} // namespace tbapp
