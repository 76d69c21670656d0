#include "shell/Terminal.h"

#include <unistd.h>

namespace tb {

bool errorStreamIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace tb
