#include "shell/NativeFile.h"

#include <algorithm>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tb {
namespace {

std::error_code lastError() {
    return {int(::GetLastError()), std::system_category()};
}

HANDLE handle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

// ReadFile and WriteFile take at most a DWORD of bytes at a time.
constexpr std::size_t kMostPerCall = std::size_t(1) << 30;

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED where{};
    where.Offset = DWORD(std::uint64_t(offset) & 0xFFFFFFFFu);
    where.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    return where;
}

} // namespace

std::error_code NativeFile::open(const std::filesystem::path& path, Mode mode) {
    close();
    const DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = mode == Mode::CreateNew ? CREATE_NEW : OPEN_EXISTING;
    // Others may read, write, rename and delete while the file is open, as on POSIX: a file
    // being read can still be replaced.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE opened = ::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const std::error_code error = lastError();
        // A folder cannot be opened as a file; say so rather than "access denied".
        std::error_code ignored;
        if (error.value() == ERROR_ACCESS_DENIED && mode != Mode::CreateNew &&
            std::filesystem::is_directory(path, ignored))
            return make_error_code(std::errc::is_a_directory);
        return error;
    }
    if (const DWORD type = ::GetFileType(opened); type != FILE_TYPE_DISK) {
        ::CloseHandle(opened);
        return notRegularFileError(type == FILE_TYPE_PIPE   ? std::filesystem::file_type::fifo
                                   : type == FILE_TYPE_CHAR ? std::filesystem::file_type::character
                                                            : std::filesystem::file_type::unknown);
    }
    m_handle = reinterpret_cast<std::intptr_t>(opened);
    return {};
}

std::error_code NativeFile::size(std::int64_t& bytes) const {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(handle(m_handle), &value))
        return lastError();
    bytes = value.QuadPart;
    return {};
}

std::error_code NativeFile::readAt(std::int64_t offset, void* data, std::size_t size,
                                   std::size_t& done) const {
    auto* p = static_cast<unsigned char*>(data);
    done = 0;
    while (done < size) {
        OVERLAPPED where = at(offset + std::int64_t(done));
        DWORD got = 0;
        if (!::ReadFile(handle(m_handle), p + done, DWORD(std::min(size - done, kMostPerCall)),
                        &got, &where)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return lastError();
        }
        if (got == 0)
            break;
        done += got;
    }
    return {};
}

std::error_code NativeFile::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED where = at(offset + std::int64_t(done));
        DWORD written = 0;
        if (!::WriteFile(handle(m_handle), p + done, DWORD(std::min(size - done, kMostPerCall)),
                         &written, &where))
            return lastError();
        if (written == 0)
            return make_error_code(std::errc::io_error);
        done += written;
    }
    return {};
}

std::error_code NativeFile::truncate(std::int64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (!::SetFileInformationByHandle(handle(m_handle), FileEndOfFileInfo, &end, sizeof end))
        return lastError();
    return {};
}

std::int64_t NativeFile::copyInSystem(const NativeFile&, std::int64_t) {
    return 0; // Windows copies whole files only; the caller copies by hand
}

std::error_code NativeFile::flushToDiskNow() {
    if (!::FlushFileBuffers(handle(m_handle)))
        return lastError();
    return {};
}

std::error_code NativeFile::close() {
    if (m_handle == kClosed)
        return {};
    HANDLE closing = handle(m_handle);
    m_handle = kClosed;
    if (!::CloseHandle(closing))
        return lastError();
    return {};
}

} // namespace tb
