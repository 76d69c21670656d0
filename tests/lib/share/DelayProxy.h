#pragma once
// A TCP proxy for the shared world's tests, in the way between an editor and the server:
// it holds every chunk it reads for a while before passing it on (a slow network), can hold
// everything (a link that went dead without a word, or a server stopped dead) and can drop
// every connection (the server restarting). Plain POSIX sockets, one thread.

#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace sharetest {

class DelayProxy {
public:
    // Listens on a free port of 127.0.0.1 and passes each connection on to `targetPort`
    // there. Throws std::system_error when it cannot listen.
    explicit DelayProxy(int targetPort);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    int port() const { return m_port; }
    // Each chunk is passed on this long after it was read, in each direction.
    void setDelay(std::chrono::milliseconds delay);
    // While held, nothing is passed on (and nothing is lost: it goes on when released).
    void setHeld(bool held);
    // Closes every connection made so far.
    void dropAll();
    // Connections made so far.
    int connectionsMade() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        Clock::time_point due;
        std::vector<char> bytes;
        std::size_t sent = 0;
    };
    struct Pair {
        int client = -1;
        int server = -1;
        std::deque<Chunk> toServer;
        std::deque<Chunk> toClient;
        bool closed = false;
    };

    void run();
    void accept();
    // Reads what `from` has into `queue`; false when it closed.
    bool readInto(int from, std::deque<Chunk>& queue, Clock::time_point due);
    // Writes what is due of `queue` to `to`; false when it failed.
    static bool writeDue(int to, std::deque<Chunk>& queue, Clock::time_point now);

    int m_listen = -1;
    int m_port = 0;
    int m_targetPort = 0;
    mutable std::mutex m_lock;
    std::chrono::milliseconds m_delay{0};
    bool m_held = false;
    bool m_drop = false;
    bool m_stop = false;
    int m_made = 0;
    std::vector<Pair> m_pairs; // the proxy's thread only
    std::thread m_thread;
};

} // namespace sharetest
