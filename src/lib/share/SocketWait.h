#pragma once
// Waiting for a connection's socket to have something to read, or room to write.
// SocketWaitPosix.cpp implements it (the shared world's library is built where libpq and POSIX
// are).

#include <chrono>

namespace tb {

// True when `socket` became readable within `timeout`; false when the time ran out.
// Throws std::system_error when the wait fails.
bool waitReadable(int socket, std::chrono::milliseconds timeout);
// The same for writing.
bool waitWritable(int socket, std::chrono::milliseconds timeout);

} // namespace tb
