#include "DelayProxy.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace sharetest {
namespace {

// How often the loop looks at the clock when nothing happens.
constexpr int kTickMs = 5;

void nonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

DelayProxy::DelayProxy(int targetPort) : m_targetPort(targetPort) {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_listen < 0)
        throw std::system_error(errno, std::generic_category(), "socket");
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listen, 16) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const int error = errno;
        ::close(m_listen);
        throw std::system_error(error, std::generic_category(), "listen");
    }
    m_port = ntohs(address.sin_port);
    nonBlocking(m_listen);
    m_thread = std::thread([this] { run(); });
}

DelayProxy::~DelayProxy() {
    {
        const std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_thread.join();
    for (Pair& pair : m_pairs) {
        ::close(pair.client);
        ::close(pair.server);
    }
    ::close(m_listen);
}

void DelayProxy::setDelay(std::chrono::milliseconds delay) {
    const std::lock_guard lock(m_lock);
    m_delay = delay;
}

void DelayProxy::setHeld(bool held) {
    const std::lock_guard lock(m_lock);
    m_held = held;
}

void DelayProxy::dropAll() {
    const std::lock_guard lock(m_lock);
    m_drop = true;
}

int DelayProxy::connectionsMade() const {
    const std::lock_guard lock(m_lock);
    return m_made;
}

void DelayProxy::accept() {
    for (;;) {
        const int client = ::accept(m_listen, nullptr, nullptr);
        if (client < 0)
            return;
        const int server = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in target = loopback(m_targetPort);
        if (server < 0 ||
            ::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
            ::close(client);
            if (server >= 0)
                ::close(server);
            continue;
        }
        nonBlocking(client);
        nonBlocking(server);
        Pair pair;
        pair.client = client;
        pair.server = server;
        m_pairs.push_back(std::move(pair));
        const std::lock_guard lock(m_lock);
        ++m_made;
    }
}

bool DelayProxy::readInto(int from, std::deque<Chunk>& queue, Clock::time_point due) {
    char buffer[65536];
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got == 0)
        return false;
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    queue.push_back({due, std::vector<char>(buffer, buffer + got), 0});
    return true;
}

bool DelayProxy::writeDue(int to, std::deque<Chunk>& queue, Clock::time_point now) {
    while (!queue.empty() && queue.front().due <= now) {
        Chunk& chunk = queue.front();
        const ssize_t put = ::send(to, chunk.bytes.data() + chunk.sent,
                                   chunk.bytes.size() - chunk.sent, MSG_NOSIGNAL);
        if (put < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        chunk.sent += std::size_t(put);
        if (chunk.sent < chunk.bytes.size())
            return true;
        queue.pop_front();
    }
    return true;
}

void DelayProxy::run() {
    for (;;) {
        std::chrono::milliseconds delay;
        bool held = false;
        {
            const std::lock_guard lock(m_lock);
            if (m_stop)
                return;
            delay = m_delay;
            held = m_held;
            if (std::exchange(m_drop, false))
                for (Pair& pair : m_pairs)
                    pair.closed = true;
        }
        std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
        for (const Pair& pair : m_pairs) {
            fds.push_back({pair.client, POLLIN, 0});
            fds.push_back({pair.server, POLLIN, 0});
        }
        ::poll(fds.data(), nfds_t(fds.size()), kTickMs);
        if (fds[0].revents & POLLIN)
            accept();
        const Clock::time_point now = Clock::now();
        for (std::size_t i = 0; i < m_pairs.size() && 1 + 2 * i + 1 < fds.size(); ++i) {
            Pair& pair = m_pairs[i];
            if (pair.closed)
                continue;
            const short fromClient = fds[1 + 2 * i].revents;
            const short fromServer = fds[2 + 2 * i].revents;
            if ((fromClient & (POLLIN | POLLHUP | POLLERR)) &&
                !readInto(pair.client, pair.toServer, now + delay))
                pair.closed = true;
            if ((fromServer & (POLLIN | POLLHUP | POLLERR)) &&
                !readInto(pair.server, pair.toClient, now + delay))
                pair.closed = true;
        }
        for (Pair& pair : m_pairs)
            if (!pair.closed && !held &&
                (!writeDue(pair.server, pair.toServer, now) ||
                 !writeDue(pair.client, pair.toClient, now)))
                pair.closed = true;
        std::erase_if(m_pairs, [](const Pair& pair) {
            if (!pair.closed)
                return false;
            ::close(pair.client);
            ::close(pair.server);
            return true;
        });
    }
}

} // namespace sharetest
