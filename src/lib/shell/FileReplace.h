#pragma once
// The steps of an atomic replace that differ between systems; AtomicFile.cpp does the rest
// (the temporary file beside the target, its writes, and what goes when a write fails).
// FileReplacePosix.cpp and FileReplaceWindows.cpp implement them.

#include "shell/NativeFile.h"

#include <filesystem>
#include <system_error>

namespace tb {

// The error of writing `file` when it exists and this process may not write it (a
// read-only file); none when it may, or when there is no such file yet.
std::error_code checkFileWritable(const std::filesystem::path& file);

// Gives the finished temporary file `temp`, open at `tempPath`, what the file it replaces
// had: owner and permissions on POSIX (the owner only where this process may give files
// away), the hidden, system and archive attributes on Windows. Without a file to replace,
// the new one gets the usual permissions. A file that cannot keep them is still written.
void keepReplacedAttributes(NativeFile& temp, const std::filesystem::path& tempPath,
                            const std::filesystem::path& replaced);

// Moves the closed file `tempPath` over `target` in one step: readers see the old file or
// the new one, never a mix.
std::error_code moveOver(const std::filesystem::path& tempPath,
                         const std::filesystem::path& target);

} // namespace tb
