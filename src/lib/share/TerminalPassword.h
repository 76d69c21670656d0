#pragma once
// A password typed on the terminal without being shown, for tbmap when the server asks for
// one. TerminalPasswordPosix.cpp implements it.

#include <optional>
#include <string>

namespace tb {

// Shows `prompt` on the standard error stream and reads one line from the terminal with its
// echo off; nullopt when the standard input is no terminal or is at its end.
std::optional<std::string> readPasswordFromTerminal(const std::string& prompt);

} // namespace tb
