#include "shell/Terminal.h"

#include <cstdio>
#include <io.h>

namespace tb {

bool errorStreamIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

} // namespace tb
