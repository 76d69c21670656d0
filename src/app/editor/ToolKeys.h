#pragma once
// The keys a map tool may take, read from the keyboard the same way in every map view:
// Delete, Escape, "+" and "-" as typed (main keyboard or keypad; "=" is "+" unshifted on many
// layouts) by 1, Alt+Up and Alt+Down by 5 whatever the layout, Ctrl+C and Ctrl+V.

#include "editor/MapTool.h"

#include <optional>

class QKeyEvent;

namespace tbapp {

std::optional<tb::ToolKey> toolKeyOf(const QKeyEvent& event);

} // namespace tbapp
