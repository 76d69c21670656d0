#pragma once
// The prompts of the window tests: every message, question and dialog is recorded and
// answered from a script, so nothing blocks and a test can check the literal texts a
// window showed.

#include "app/shell/Prompts.h"
#include "app/shell/StandardPrompts.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tbtest {

class RecordingPrompts : public tbapp::Prompts {
public:
    // One item progress window as the run drove it (from the run's thread: read it once
    // the run has ended).
    struct ProgressRun {
        int itemCount = 0;
        QList<int> indices;
        QStringList texts;
        bool open = true;
        int cancelAtItem = -1;
        std::atomic<bool> cancelled{false};
    };

    // --- what was shown ---
    QStringList messages;      // plain and titled messages
    QStringList titles;        // the title of each titled message
    QStringList errors;        // error reports
    QStringList errorDetails;  // the details of each error report ("" for none)
    QStringList shown;         // messages and error reports in the order shown
    QStringList confirmations; // texts of the Yes/No boxes
    QStringList inputs;        // "title|prompt|preset" of every input box
    QList<tbapp::FileDialogRequest> openRequests, saveRequests;
    QStringList folderTitles;       // the title of each folder dialog
    QStringList saveChangesAsked;   // file names of "Save changes to <file>?"
    QStringList changedOnDiskAsked; // file names of "<file> has changed on disk ..."
    std::vector<std::shared_ptr<ProgressRun>> progressRuns;
    bool progressOpenAtError = false; // an error was reported while a progress window was open

    // --- the answers ---
    std::deque<bool> confirmAnswers; // No once they run out
    // Input answers in turn; a null text stands for Cancel, and Cancel is the answer once
    // they run out.
    std::deque<QString> inputAnswers;
    // "" or running out: the dialog was cancelled
    QStringList openAnswers, saveAnswers, folderAnswers;
    QList<tbapp::SaveChangesAnswer> saveChangesAnswers;  // Discard once they run out
    QList<tbapp::DiskChangeAnswer> changedOnDiskAnswers; // Cancel once they run out
    std::function<int(QDialog&)> onDialog; // runs a nested dialog in place of exec(); unset:
                                           // rejected
    bool realProgress = false;             // show the real progress window instead of recording
    // The user presses Cancel in the progress windows started from now on as soon as they
    // show this item (-1: never).
    int cancelAtItem = -1;
    // Called at the start of every prompt, so a test can look at the window at that moment.
    std::function<void()> whenAsked;

    // Forgets the messages and error reports shown so far.
    void forgetShown() {
        messages.clear();
        titles.clear();
        errors.clear();
        errorDetails.clear();
        shown.clear();
    }

    QStringList openNames() const { return names(openRequests); }
    QStringList saveNames() const { return names(saveRequests); }
    QStringList openTitles() const {
        QStringList list;
        for (const tbapp::FileDialogRequest& request : openRequests)
            list << request.title;
        return list;
    }

    void showMessage(QWidget*, const QString& text) override {
        asked();
        messages << text;
        shown << text;
    }
    void showTitledMessage(QWidget*, const QString& title, const QString& text) override {
        asked();
        titles << title;
        messages << text;
        shown << text;
    }
    void showError(QWidget* parent, const QString& text) override {
        showDetailedError(parent, text, QString());
    }
    void showDetailedError(QWidget*, const QString& text, const QString& details) override {
        asked();
        errors << text;
        errorDetails << details;
        shown << text;
        for (const auto& run : progressRuns)
            if (run->open)
                progressOpenAtError = true;
    }
    bool confirm(QWidget*, const QString& text) override {
        asked();
        confirmations << text;
        return next(confirmAnswers).value_or(false);
    }
    std::optional<QString> inputText(QWidget*, const QString& title, const QString& prompt,
                                     const QString& preset) override {
        asked();
        inputs << title + "|" + prompt + "|" + preset;
        const std::optional<QString> answer = next(inputAnswers);
        if (!answer || answer->isNull())
            return std::nullopt;
        return answer;
    }
    QString openFileName(QWidget*, const tbapp::FileDialogRequest& request) override {
        asked();
        openRequests << request;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFileName(QWidget*, const tbapp::FileDialogRequest& request) override {
        asked();
        saveRequests << request;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QString chooseFolder(QWidget*, const QString& title, const QString&) override {
        asked();
        folderTitles << title;
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    tbapp::SaveChangesAnswer askSaveChanges(QWidget*, const QString& fileName) override {
        asked();
        saveChangesAsked << fileName;
        return saveChangesAnswers.isEmpty() ? tbapp::SaveChangesAnswer::Discard
                                            : saveChangesAnswers.takeFirst();
    }
    tbapp::DiskChangeAnswer askChangedOnDisk(QWidget*, const QString& fileName) override {
        asked();
        changedOnDiskAsked << fileName;
        return changedOnDiskAnswers.isEmpty() ? tbapp::DiskChangeAnswer::Cancel
                                              : changedOnDiskAnswers.takeFirst();
    }
    std::unique_ptr<tbapp::ItemProgress> startProgress(int itemCount) override {
        asked();
        if (realProgress)
            return tbapp::StandardPrompts().startProgress(itemCount);
        auto run = std::make_shared<ProgressRun>();
        run->itemCount = itemCount;
        run->cancelAtItem = cancelAtItem;
        progressRuns.push_back(run);
        return std::make_unique<RecordedProgress>(run);
    }
    int execDialog(QDialog& dialog) override {
        asked();
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }

private:
    class RecordedProgress : public tbapp::ItemProgress {
    public:
        explicit RecordedProgress(std::shared_ptr<ProgressRun> run) : m_run(std::move(run)) {}
        ~RecordedProgress() override { m_run->open = false; }
        void report(std::string_view caption, std::int64_t done, std::int64_t) override {
            const std::lock_guard lock(m_mutex);
            m_run->indices.append(int(done));
            m_run->texts.append(QString::fromUtf8(caption.data(), qsizetype(caption.size())));
            if (m_run->cancelAtItem >= 0 && done >= m_run->cancelAtItem)
                m_run->cancelled = true;
        }
        bool stopRequested() const override { return m_run->cancelled; }

    private:
        std::shared_ptr<ProgressRun> m_run;
        std::mutex m_mutex;
    };

    void asked() {
        if (whenAsked)
            whenAsked();
    }
    template <typename T> static std::optional<T> next(std::deque<T>& answers) {
        if (answers.empty())
            return std::nullopt;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
    static QStringList names(const QList<tbapp::FileDialogRequest>& requests) {
        QStringList list;
        for (const tbapp::FileDialogRequest& request : requests)
            list << request.name;
        return list;
    }
};

} // namespace tbtest
