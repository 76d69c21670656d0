#include "share/SocketWait.h"

#include <cerrno>
#include <poll.h>
#include <system_error>

namespace tb {

namespace {

bool waitFor(int socket, short events, std::chrono::milliseconds timeout) {
    pollfd fd{socket, events, 0};
    for (;;) {
        const int ready = ::poll(&fd, 1, int(timeout.count()));
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
    }
}

} // namespace

bool waitReadable(int socket, std::chrono::milliseconds timeout) {
    return waitFor(socket, POLLIN, timeout);
}

bool waitWritable(int socket, std::chrono::milliseconds timeout) {
    return waitFor(socket, POLLOUT, timeout);
}

} // namespace tb
