#include "ModalDialog.h"

#include "WidgetDriver.h"
#include "testsupport/RecordingPrompts.h"

#include <QDialog>

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

    // Shown here instead of run.
    prompts.onDialog = [&](QDialog& dialog) {
        if (!seen) {
            dialog.show();
            visit(dialog);
            dialog.hide();
        }
        return int(QDialog::Rejected);
    };
    trigger();
    settle();
    prompts.onDialog = nullptr;

    if (failure)
        std::rethrow_exception(failure);
    if (!seen)
        throw ScreenshotError(QString("%1 did not open").arg(dialogName).toStdString());
}

} // namespace shots
