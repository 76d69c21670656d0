#pragma once
// Whole-file writes that never leave a half-written file under the target's name: the
// bytes go to a temporary file beside the target, which is then renamed over it.

#include "shell/NativeFile.h"
#include "shell/Progress.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tb {

// Writes `size` bytes to `path`, replacing it atomically. Throws FileError naming the
// path when any step fails; the old file is then left as it was.
void writeFileAtomically(const std::filesystem::path& path, const void* data, std::size_t size);
void writeFileAtomically(const std::filesystem::path& path, std::string_view text);
// The same in pieces of a few megabytes: `progress` gets the bytes written of `size` under
// `caption` after each, and a stop between two throws OperationStopped with
// `stoppedMessage`, the target untouched.
void writeFileAtomically(const std::filesystem::path& path, const void* data, std::size_t size,
                         Progress& progress, std::string_view caption,
                         const std::string& stoppedMessage);

// For writers that produce their output in pieces (large files, progress): `produce` is
// given a callback that appends bytes to the temporary file. If `produce` throws, the
// temporary file is removed and the target is untouched.
using AppendBytes = std::function<void(const void* data, std::size_t size)>;
void writeFileAtomically(const std::filesystem::path& path,
                         const std::function<void(const AppendBytes&)>& produce);

// Throws FileError naming `path` when no file may be written there in place of what is
// there: a folder, a device, a pipe or a socket, a link to one, or a link that cannot be
// followed (one that loops). Writers check this before any work; AtomicFileWriter checks it
// again.
void checkReplaceable(const std::filesystem::path& path);

// For writers that need positioned writes as well (a file laid out first, then filled in):
// a temporary file beside `path` that replaces it on commit(). Destroyed uncommitted, it
// removes the temporary file and leaves the target untouched. Errors are FileError naming
// the target. A target that is a symbolic link stays one: the file it points to is replaced.
// A target that is a folder, a device, a pipe or a socket (or a link to one), or a file this
// process may not write, is refused at once; the replaced file keeps its permissions, and
// its owner where the process may give it away (on Windows: its hidden, system and archive
// attributes).
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::filesystem::path& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Starts the temporary file as a copy of the target as it is now, for writers that
    // change a few parts of a large file (the target itself is never written).
    void copyCurrentContent();

    void append(const void* data, std::size_t size);
    void writeAt(std::int64_t offset, const void* data, std::size_t size);
    // Reads back what the temporary file holds; a read past its end is a FileError.
    void readAt(std::int64_t offset, void* data, std::size_t size) const;
    // Flushes, closes and renames the temporary file over the target.
    void commit();

private:
    void forgetTemporary();

    std::filesystem::path m_target;   // as the caller named it, for messages
    std::filesystem::path m_replaced; // the file renamed over: a symbolic link's target
    std::filesystem::path m_temp;
    NativeFile m_file;
    std::int64_t m_appendAt = 0; // where append() writes next
    bool m_noted = false;        // m_temp is in the list an interrupt clears
};

} // namespace tb
