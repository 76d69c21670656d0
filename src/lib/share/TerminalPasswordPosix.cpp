#include "share/TerminalPassword.h"

#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace tb {

std::optional<std::string> readPasswordFromTerminal(const std::string& prompt) {
    if (!::isatty(STDIN_FILENO))
        return std::nullopt;
    std::cerr << prompt << std::flush;
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::string line;
    const bool read = bool(std::getline(std::cin, line));
    if (quiet)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << '\n';
    if (!read)
        return std::nullopt;
    return line;
}

} // namespace tb
