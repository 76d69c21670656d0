#include "shell/TemporaryFiles.h"

#include <atomic>

namespace tb {
namespace {

// Lock-free slots, so that a signal handler may read them at any moment. A program writes a
// handful of files at once; more than this are simply not noted.
constexpr int kSlots = 64;
std::atomic<const NativePathChar*> g_noted[kSlots];

} // namespace

bool noteTemporaryFile(const NativePathChar* name) {
    for (auto& slot : g_noted) {
        const NativePathChar* expected = nullptr;
        if (slot.compare_exchange_strong(expected, name))
            return true;
    }
    return false;
}

void forgetTemporaryFile(const NativePathChar* name) {
    for (auto& slot : g_noted) {
        const NativePathChar* expected = name;
        if (slot.compare_exchange_strong(expected, nullptr))
            return;
    }
}

void removeNotedTemporaryFiles() noexcept {
    for (auto& slot : g_noted)
        if (const NativePathChar* name = slot.load())
            removeFileInSignal(name);
}

} // namespace tb
