// Windows has neither private tmpfs mounts nor a file size limit: the tests that need them
// are left out of the Windows run (tests/LinuxOnlyTests.cmake), and these say why should
// one be started anyway.
#include "ScratchMount.h"

#include <stdexcept>

namespace tbtest {

namespace {

constexpr const char* kNoMounts = "Windows has no private tmpfs mounts";

[[noreturn]] void unavailable(const char* what) {
    throw std::runtime_error(what);
}

} // namespace

bool privateMountsAvailable() {
    return false;
}

std::string whyNoPrivateMounts() {
    return kNoMounts;
}

ScratchMount::ScratchMount(std::size_t) {
    unavailable(kNoMounts);
}

ScratchMount::~ScratchMount() = default;

void ScratchMount::fillUp() {
    unavailable(kNoMounts);
}

void ScratchMount::freeUp() {}

void ScratchMount::makeReadOnly() {
    unavailable(kNoMounts);
}

void ScratchMount::makeWritable() {
    unavailable(kNoMounts);
}

FileSizeLimit::FileSizeLimit(std::size_t) : m_softBefore(0), m_hardBefore(0), m_handlerBefore() {
    unavailable("Windows has no file size limit for a process");
}

FileSizeLimit::~FileSizeLimit() = default;

} // namespace tbtest
