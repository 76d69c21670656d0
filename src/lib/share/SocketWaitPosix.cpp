#include "share/SocketWait.h"

#include <cerrno>
#include <poll.h>
#include <system_error>

namespace tb {

bool waitReadable(int socket, std::chrono::milliseconds timeout) {
    pollfd fd{socket, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&fd, 1, int(timeout.count()));
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
    }
}

} // namespace tb
