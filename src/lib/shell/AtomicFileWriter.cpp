#include "shell/AtomicFileWriter.h"

#include "shell/Errors.h"
#include "shell/FileReplace.h"
#include "shell/TemporaryFiles.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace tb {
namespace {

[[noreturn]] void fail(const fs::path& path, const char* what, const std::error_code& error) {
    throw FileError(fileErrorText(path, what, error));
}

// The file a write to `path` replaces: a symbolic link's target (followed link by link, so a
// link to a file not made yet stays a link too), else `path` itself.
fs::path replacedFile(const fs::path& path) {
    fs::path file = path;
    std::error_code ec;
    for (int depth = 0; depth < 40 && fs::is_symlink(file, ec); ++depth) {
        fs::path target = fs::read_symlink(file, ec);
        if (ec)
            break;
        file = target.is_relative() ? (file.parent_path() / target).lexically_normal() : target;
    }
    return file;
}

// Temporary files of this target that a crashed or killed writer left behind. Only old ones
// go: a younger one may belong to another copy of the program writing right now.
void removeStaleTemporaries(const fs::path& dir, const fs::path& prefix) {
    const auto staleBefore = fs::file_time_type::clock::now() - std::chrono::hours(24);
    const fs::path::string_type& start = prefix.native();
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path::string_type name = it->path().filename().native();
        if (name.size() <= start.size() || name.compare(0, start.size(), start) != 0 ||
            !std::all_of(name.begin() + std::ptrdiff_t(start.size()), name.end(),
                         [](auto c) { return c >= '0' && c <= '9'; }))
            continue;
        std::error_code timeError;
        const auto written = it->last_write_time(timeError);
        if (!timeError && written < staleBefore && it->is_regular_file(timeError))
            fs::remove(it->path(), timeError);
    }
}

} // namespace

void checkReplaceable(const fs::path& path) {
    // Renamed over, a device, a pipe or a socket (or a link to one) would itself be replaced
    // by a file.
    std::error_code ec;
    const fs::file_type type = fs::status(path, ec).type();
    // A link that loops (or that cannot be followed at all) leads to no file to replace; the
    // rename would put a file in place of the link itself.
    if (ec && type != fs::file_type::not_found)
        fail(path, "write", ec);
    if (type == fs::file_type::directory)
        fail(path, "replace", make_error_code(std::errc::is_a_directory));
    if (type != fs::file_type::regular && type != fs::file_type::not_found &&
        type != fs::file_type::none)
        fail(path, "write", notRegularFileError(type));
}

AtomicFileWriter::AtomicFileWriter(const fs::path& path)
    : m_target(path), m_replaced(replacedFile(path)) {
    // What could not be written in place is not replaced either: a read-only file is
    // refused, as is a folder, before any work is done.
    checkReplaceable(path);
    if (const std::error_code error = checkFileWritable(m_replaced))
        fail(path, "write", error);
    std::random_device rd;
    const fs::path dir = m_replaced.has_parent_path() ? m_replaced.parent_path() : fs::path(".");
    // Built from the file name as a path, so its characters stay as they are on any system.
    fs::path tempPrefix = ".";
    tempPrefix += m_replaced.filename();
    tempPrefix += ".tmp";
    removeStaleTemporaries(dir, tempPrefix);
    // Opened exclusively, so two writers never share a temporary file. The name is noted
    // before the file exists, so that an interrupted tbmap removes it whenever the signal
    // comes; a name taken by another writer is forgotten at once.
    std::error_code error;
    for (int attempt = 0; attempt < 50; ++attempt) {
        fs::path name = tempPrefix;
        name += std::to_string(rd());
        m_temp = dir / name;
        m_noted = noteTemporaryFile(m_temp.c_str());
        error = m_file.open(m_temp, NativeFile::Mode::CreateNew);
        if (error != std::errc::file_exists)
            break;
        forgetTemporary();
    }
    if (error) {
        forgetTemporary();
        m_temp.clear();
        fail(path, "create", error);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    m_file.close();
    if (!m_temp.empty()) {
        std::error_code ignored;
        fs::remove(m_temp, ignored);
        forgetTemporary();
    }
}

void AtomicFileWriter::forgetTemporary() {
    if (m_noted)
        forgetTemporaryFile(m_temp.c_str());
    m_noted = false;
}

void AtomicFileWriter::copyCurrentContent() {
    NativeFile in;
    if (const std::error_code error = in.open(m_target, NativeFile::Mode::Read))
        fail(m_target, "open", error);
    std::int64_t size = 0;
    if (const std::error_code error = in.size(size))
        fail(m_target, "read", error);
    std::int64_t done = m_file.copyInSystem(in, size);
    std::vector<unsigned char> buffer(done < size ? std::size_t(1) << 20 : 0);
    while (done < size) {
        const std::size_t want =
            std::size_t(std::min<std::int64_t>(size - done, std::int64_t(buffer.size())));
        std::size_t got = 0;
        if (const std::error_code error = in.readAt(done, buffer.data(), want, got))
            fail(m_target, "read", error);
        if (got == 0) // the file shrank while we copied it
            fail(m_target, "read", make_error_code(std::errc::io_error));
        writeAt(done, buffer.data(), got);
        done += std::int64_t(got);
    }
    m_appendAt = size;
}

void AtomicFileWriter::readAt(std::int64_t offset, void* data, std::size_t size) const {
    std::size_t got = 0;
    if (const std::error_code error = m_file.readAt(offset, data, size, got))
        fail(m_target, "read", error);
    if (got < size)
        fail(m_target, "read", make_error_code(std::errc::io_error));
}

void AtomicFileWriter::append(const void* data, std::size_t size) {
    writeAt(m_appendAt, data, size);
    m_appendAt += std::int64_t(size);
}

void AtomicFileWriter::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    if (const std::error_code error = m_file.writeAt(offset, data, size))
        fail(m_target, "write", error);
}

void AtomicFileWriter::commit() {
    if (const std::error_code error = m_file.flushToDisk())
        fail(m_target, "write", error);
    keepReplacedAttributes(m_file, m_temp, m_replaced);
    if (const std::error_code error = m_file.close())
        fail(m_target, "write", error);
    if (const std::error_code error = moveOver(m_temp, m_replaced))
        fail(m_target, "replace", error);
    forgetTemporary();
    m_temp.clear();
}

void writeFileAtomically(const fs::path& path,
                         const std::function<void(const AppendBytes&)>& produce) {
    AtomicFileWriter writer(path);
    produce([&](const void* data, std::size_t size) { writer.append(data, size); });
    writer.commit();
}

void writeFileAtomically(const fs::path& path, const void* data, std::size_t size) {
    writeFileAtomically(path, [&](const AppendBytes& append) { append(data, size); });
}

void writeFileAtomically(const fs::path& path, const void* data, std::size_t size,
                         Progress& progress, std::string_view caption,
                         const std::string& stoppedMessage) {
    constexpr std::size_t kPieceBytes = std::size_t(16) << 20;
    writeFileAtomically(path, [&](const AppendBytes& append) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        std::size_t written = 0;
        do {
            const std::size_t piece = std::min(kPieceBytes, size - written);
            append(bytes + written, piece);
            written += piece;
            reportStep(progress, caption, std::int64_t(written), std::int64_t(size),
                       stoppedMessage);
        } while (written < size);
    });
}

void writeFileAtomically(const fs::path& path, std::string_view text) {
    writeFileAtomically(path, text.data(), text.size());
}

} // namespace tb
