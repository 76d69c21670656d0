#include "shell/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace tbapp {
namespace {

MessageSink& currentSink() {
    static MessageSink sink;
    return sink;
}

void deliver(QWidget* parent, MessageKind kind, const QString& text) {
    if (const MessageSink& sink = currentSink()) {
        sink(parent, kind, text);
        return;
    }
    const QString title = QApplication::applicationName();
    if (kind == MessageKind::Error)
        QMessageBox::critical(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
}

} // namespace

MessageSink setMessageSink(MessageSink sink) {
    return std::exchange(currentSink(), std::move(sink));
}

void showErrorReport(QWidget* parent, const std::exception& error) {
    deliver(parent, MessageKind::Error, QString::fromLocal8Bit(error.what()));
}

void showErrorReport(QWidget* parent, const QString& text) {
    deliver(parent, MessageKind::Error, text);
}

void showMessage(QWidget* parent, const QString& text) {
    deliver(parent, MessageKind::Information, text);
}

} // namespace tbapp
