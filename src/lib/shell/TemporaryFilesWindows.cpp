#include "shell/TemporaryFiles.h"

#include <csignal>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tb {
namespace {

void removeThenEnd(int number) {
    removeNotedTemporaryFiles();
    std::signal(number, SIG_DFL);
    std::raise(number);
}

} // namespace

void removeFileInSignal(const NativePathChar* name) noexcept {
    // The writer still holds the file open, shared for deletion: it goes when the program
    // ends.
    ::DeleteFileW(name);
}

void ignoreFileSizeLimitSignal() {}

void removeTemporaryFilesOnInterrupt() {
    std::signal(SIGINT, removeThenEnd);
    std::signal(SIGTERM, removeThenEnd);
}

} // namespace tb
