#pragma once
// Making a folder's entries (files made or renamed in it) durable. FolderSyncPosix.cpp and
// FolderSyncWindows.cpp implement it.

#include <filesystem>
#include <system_error>

namespace tb {

// Returns once the names in `folder` are on the disk.
std::error_code syncFolder(const std::filesystem::path& folder);

} // namespace tb
