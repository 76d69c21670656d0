#pragma once
// A modal dialog seen while it is open. A window runs its dialogs through its prompts:
// `trigger` opens one, the prompts show it instead of running it, `whileOpen` runs on it (to
// drive it and take its picture), and then the dialog is cancelled.

#include <QString>

#include <functional>

class QDialog;

namespace tbtest {
class RecordingPrompts;
}

namespace shots {

// Throws ScreenshotError when no dialog named `dialogName` opened, another one opened
// instead, or `whileOpen` failed (its error is passed on).
void withModalDialog(tbtest::RecordingPrompts& prompts, const QString& dialogName,
                     const std::function<void()>& trigger,
                     const std::function<void(QDialog&)>& whileOpen);

} // namespace shots
