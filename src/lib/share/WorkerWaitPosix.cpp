#include "share/WorkerWait.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace tb {

WakeSignal::WakeSignal() {
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    m_read = ends[0];
    m_write = ends[1];
    // Neither end may block: a full pipe already says "wake up".
    for (int fd : ends) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

WakeSignal::~WakeSignal() {
    ::close(m_read);
    ::close(m_write);
}

void WakeSignal::wake() {
    const char byte = 1;
    while (::write(m_write, &byte, 1) < 0 && errno == EINTR) {
    }
}

void WakeSignal::clear() {
    char bytes[64];
    while (::read(m_read, bytes, sizeof bytes) > 0) {
    }
}

std::uint32_t waitForWork(const WakeSignal& wake, std::span<const int> sockets,
                          std::chrono::milliseconds timeout) {
    std::vector<pollfd> fds{{wake.fd(), POLLIN, 0}};
    for (int socket : sockets.first(std::min<std::size_t>(sockets.size(), 32)))
        fds.push_back({socket, POLLIN, 0});
    for (;;) {
        const int ready = ::poll(fds.data(), nfds_t(fds.size()), int(timeout.count()));
        if (ready >= 0)
            break;
        if (errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
    }
    std::uint32_t readable = 0;
    for (std::size_t i = 1; i < fds.size(); ++i)
        if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
            readable |= std::uint32_t(1) << (i - 1);
    return readable;
}

void shutDownSocket(int socket) {
    if (socket >= 0)
        ::shutdown(socket, SHUT_RDWR);
}

} // namespace tb
