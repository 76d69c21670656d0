#pragma once
// An open file of the operating system, for the places that need more than the standard
// streams give: positioned reads and writes, the size before reading, exclusive creation
// and a flush to the disk. NativeFilePosix.cpp and NativeFileWindows.cpp implement it; a
// path reaches POSIX as its bytes and Windows as a wide string, so a folder named
// "Übersee" or "地图" works on both.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tb {

class NativeFile {
public:
    enum class Mode {
        Read,      // an existing regular file, read only
        ReadWrite, // an existing regular file, read and written in place
        CreateNew, // a new file, read and written; fails when the name is taken
    };

    NativeFile() = default;
    ~NativeFile();
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    // Opens `path`, closing whatever was open before. A folder is refused with
    // errc::is_a_directory, anything else that is no regular file (a device, a pipe, a
    // socket) with notRegularFileError, without waiting for a pipe's other end; on failure
    // the file stays closed.
    std::error_code open(const std::filesystem::path& path, Mode mode);
    bool isOpen() const { return m_handle != kClosed; }

    // The size of the open file in bytes.
    std::error_code size(std::int64_t& bytes) const;
    // Reads `size` bytes at `offset`; `done` is how many arrived, fewer only where the file
    // ends.
    std::error_code readAt(std::int64_t offset, void* data, std::size_t size,
                           std::size_t& done) const;
    // Writes all `size` bytes at `offset`.
    std::error_code writeAt(std::int64_t offset, const void* data, std::size_t size);
    // Cuts the file to its first `size` bytes (takes back what a failed append wrote).
    std::error_code truncate(std::int64_t size);
    // Copies the first `size` bytes of `from` to the start of this file inside the system
    // where it offers that (a clone, where the file system shares extents). Returns how many
    // bytes it copied, 0 where it cannot; the caller copies the rest by hand.
    std::int64_t copyInSystem(const NativeFile& from, std::int64_t size);
    // Returns once the written bytes are on the disk.
    std::error_code flushToDisk();
    // For tests: every flushToDisk() from now on fails with `error` without flushing; an
    // empty error lets flushes work again. Not for use while other threads write.
    static void failFlushesForTesting(std::error_code error);
    // Closes the file; an error here may mean that written bytes were lost.
    std::error_code close();

    // The descriptor (POSIX) or handle (Windows), for the platform files of this folder.
    std::intptr_t nativeHandle() const { return m_handle; }

private:
    std::error_code flushToDiskNow(); // per system

    // -1 is both the closed descriptor and Windows' INVALID_HANDLE_VALUE.
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t m_handle = kClosed;
};

// The error for a path that is there but is no regular file and no folder: its message
// says what it is ("it is a pipe (FIFO), not a regular file").
std::error_code notRegularFileError(std::filesystem::file_type type);

// "Cannot <what> file "<path>": <why>", the text of every FileError about one file.
std::string fileErrorText(const std::filesystem::path& path, std::string_view what,
                          std::string_view why);
std::string fileErrorText(const std::filesystem::path& path, std::string_view what,
                          const std::error_code& error);

} // namespace tb
