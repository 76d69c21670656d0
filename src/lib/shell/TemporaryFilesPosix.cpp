#include "shell/TemporaryFiles.h"

#include <signal.h>
#include <unistd.h>

namespace tb {
namespace {

void removeThenEnd(int number) {
    removeNotedTemporaryFiles();
    // Ended by the signal itself, so that the caller sees why.
    struct sigaction original {};
    original.sa_handler = SIG_DFL;
    ::sigemptyset(&original.sa_mask);
    ::sigaction(number, &original, nullptr);
    ::raise(number);
}

} // namespace

void removeFileInSignal(const NativePathChar* name) noexcept {
    ::unlink(name);
}

void ignoreFileSizeLimitSignal() {
    ::signal(SIGXFSZ, SIG_IGN);
}

void removeTemporaryFilesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = removeThenEnd;
    ::sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored by the caller (nohup, a background job) stays ignored.
        struct sigaction before {};
        if (::sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        ::sigaction(number, &action, nullptr);
    }
}

} // namespace tb
