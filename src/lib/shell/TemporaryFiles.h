#pragma once
// The temporary files of writes in progress, so that a program ended by a signal does not
// leave them behind, and the signals that would otherwise end a write half way.
// TemporaryFiles.cpp keeps the list; TemporaryFilesPosix.cpp and TemporaryFilesWindows.cpp
// remove the files and set up the signals.

#include <filesystem>

namespace tb {

using NativePathChar = std::filesystem::path::value_type;

// Notes a temporary file that an interrupted program removes; `name` must stay valid until
// it is forgotten. Returns false (the file is then not noted) when too many are open.
bool noteTemporaryFile(const NativePathChar* name);
void forgetTemporaryFile(const NativePathChar* name);

// Removes every noted temporary file; safe to call from a signal handler.
void removeNotedTemporaryFiles() noexcept;
// Removes one file by name without allocating, as a signal handler may (per system).
void removeFileInSignal(const NativePathChar* name) noexcept;

// Lets writes past a file size limit fail with an error (EFBIG) instead of ending the
// program by SIGXFSZ. Nothing to do on Windows.
void ignoreFileSizeLimitSignal();

// For programs without windows (tbmap): an interrupt or termination (SIGINT, SIGTERM,
// SIGHUP) removes the noted temporary files first, then ends the program as the signal
// would have.
void removeTemporaryFilesOnInterrupt();

} // namespace tb
