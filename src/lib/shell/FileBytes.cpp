#include "shell/FileBytes.h"

#include "shell/Errors.h"
#include "shell/NativeFile.h"

#include <algorithm>

namespace tb {
namespace {

[[noreturn]] void failRead(const std::filesystem::path& path, const std::error_code& error) {
    throw FileError(fileErrorText(path, "read", error));
}

} // namespace

std::vector<unsigned char> readFileBytes(const std::filesystem::path& path) {
    return readFileBytes(path, noProgress(), {}, {});
}

// One allocation and a read loop: a map is up to 86 MB and loading should cost little more
// than reading the file. The pieces are large enough that the extra calls cost nothing and
// small enough that a stop is taken within a few milliseconds.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path, Progress& progress,
                                         std::string_view caption,
                                         const std::string& stoppedMessage) {
    constexpr std::size_t kPieceBytes = std::size_t(16) << 20;
    NativeFile file;
    if (const std::error_code error = file.open(path, NativeFile::Mode::Read))
        failRead(path, error);
    std::int64_t size = 0;
    if (const std::error_code error = file.size(size))
        failRead(path, error);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    std::size_t read = 0;
    do {
        const std::size_t piece = std::min(kPieceBytes, bytes.size() - read);
        std::size_t done = 0;
        if (const std::error_code error =
                file.readAt(std::int64_t(read), bytes.data() + read, piece, done))
            failRead(path, error);
        if (done < piece) // the file shrank while we read it
            failRead(path, make_error_code(std::errc::io_error));
        read += piece;
        reportStep(progress, caption, std::int64_t(read), size, stoppedMessage);
    } while (read < bytes.size());
    return bytes;
}

} // namespace tb
