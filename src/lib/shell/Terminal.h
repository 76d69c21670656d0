#pragma once
// Whether a person watches the program's error stream, for tools that draw progress there
// only then. TerminalPosix.cpp and TerminalWindows.cpp implement it.

namespace tb {

// True when the standard error stream is a terminal (a console window on Windows).
bool errorStreamIsTerminal();

} // namespace tb
