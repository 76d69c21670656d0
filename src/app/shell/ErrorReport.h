#pragma once
// The application's standard error report: the one place where a failure that ended a
// user's command, or a refusal the program detected itself, is shown to the user. Tests
// install a recorder instead of the message boxes, so nothing blocks.

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace tbapp {

enum class MessageKind { Error, Information };

// Shows `text` to the user. The default shows a modal message box titled with the
// application's name.
using MessageSink = std::function<void(QWidget* parent, MessageKind kind, const QString& text)>;

// Replaces the sink for the whole application and returns the previous one; an empty
// sink restores the message boxes.
MessageSink setMessageSink(MessageSink sink);

// A failure (exception) with its own message.
void showErrorReport(QWidget* parent, const std::exception& error);
void showErrorReport(QWidget* parent, const QString& text);
// A plain message, such as a refusal with a literal text.
void showMessage(QWidget* parent, const QString& text);

// Runs `work`; an exception ends it and is shown by the standard error report. Returns
// false when the work failed.
template <typename Work> bool runReported(QWidget* parent, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        showErrorReport(parent, error);
        return false;
    }
}

} // namespace tbapp
