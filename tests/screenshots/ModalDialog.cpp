#include "ModalDialog.h"

#include "WidgetDriver.h"
#include "testsupport/RecordingPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <exception>

namespace shots {

void withModalDialog(tbtest::RecordingPrompts& prompts, const QString& dialogName,
                     const std::function<void()>& trigger,
                     const std::function<void(QDialog&)>& whileOpen) {
    bool seen = false;
    std::exception_ptr failure;
    auto visit = [&](QDialog& dialog) {
        seen = true;
        try {
            if (dialog.objectName() != dialogName)
                throw ScreenshotError(QString("%1 opened instead of %2")
                                          .arg(dialog.objectName(), dialogName)
                                          .toStdString());
            settle();
            whileOpen(dialog);
        } catch (...) {
            failure = std::current_exception();
        }
    };

    // Dialogs shown through the prompts: shown here instead of run.
    prompts.onDialog = [&](QDialog& dialog) {
        if (!seen) {
            dialog.show();
            visit(dialog);
            dialog.hide();
        }
        return int(QDialog::Rejected);
    };
    // Dialogs run with exec(): found from inside their own event loop.
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (clock.elapsed() > 60'000)
                poll.stop(); // the trigger opened nothing; reported below
            return;
        }
        poll.stop();
        if (!seen)
            visit(*dialog);
        dialog->reject();
    });
    poll.start();
    trigger();
    poll.stop();
    settle();
    prompts.onDialog = nullptr;

    if (failure)
        std::rethrow_exception(failure);
    if (!seen)
        throw ScreenshotError(QString("%1 did not open").arg(dialogName).toStdString());
}

} // namespace shots
