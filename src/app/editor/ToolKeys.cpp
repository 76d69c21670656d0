#include "app/editor/ToolKeys.h"

#include <QKeyEvent>

namespace tbapp {

std::optional<tb::ToolKey> toolKeyOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers();
    const bool ctrl = held & Qt::ControlModifier;
    const bool alt = held & Qt::AltModifier;
    switch (event.key()) {
    case Qt::Key_Delete:
        return tb::ToolKey::Delete;
    case Qt::Key_Escape:
        return tb::ToolKey::Escape;
    case Qt::Key_Up:
        return alt && !ctrl ? std::optional(tb::ToolKey::RaiseMore) : std::nullopt;
    case Qt::Key_Down:
        return alt && !ctrl ? std::optional(tb::ToolKey::LowerMore) : std::nullopt;
    case Qt::Key_C:
        if (ctrl)
            return tb::ToolKey::Copy;
        break;
    case Qt::Key_V:
        if (ctrl)
            return tb::ToolKey::Paste;
        break;
    default:
        break;
    }
    if (ctrl)
        return std::nullopt;
    if (event.text() == "+" || event.text() == "=")
        return tb::ToolKey::RaiseOne;
    if (event.text() == "-")
        return tb::ToolKey::LowerOne;
    return std::nullopt;
}

} // namespace tbapp
