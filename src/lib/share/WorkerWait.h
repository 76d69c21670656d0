#pragma once
// What a session worker waits on: a wake-up from another thread (work was handed over) and
// the sockets of its connections; and how a call that hangs on a socket is ended from
// another thread. WorkerWaitPosix.cpp implements it (the shared world's library is built
// where libpq and POSIX are).

#include <chrono>
#include <cstdint>
#include <span>

namespace tb {

// A wake-up any thread may send without blocking; the waiting thread polls fd().
class WakeSignal {
public:
    // Throws std::system_error when the system has no pipe to give.
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void wake();
    // Forgets the wake-ups sent so far.
    void clear();
    int fd() const { return m_read; }

private:
    int m_read = -1;
    int m_write = -1;
};

// Waits until `wake` is sent, one of `sockets` (negative ones are skipped, at most 32)
// becomes readable or `timeout` passes. Bit i of the result is set when sockets[i] is
// readable (or closed). Throws std::system_error when the wait fails.
std::uint32_t waitForWork(const WakeSignal& wake, std::span<const int> sockets,
                          std::chrono::milliseconds timeout);

// Ends both directions of `socket`: a call waiting on it returns at once and finds the
// connection broken. The descriptor stays open; its owner closes it as usual.
void shutDownSocket(int socket);

} // namespace tb
