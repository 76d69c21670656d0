#pragma once
// Shared pieces of the tool window tests: the recording prompts and generated map files.

#include "testsupport/RecordingPrompts.h"

#include <QStringList>

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>
#include <vector>

using tbtest::RecordingPrompts;

// A map-sized file of zeros (sparse, so it costs nothing).
inline QString sparseFile(const std::filesystem::path& path, std::int64_t size) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path).close();
    std::filesystem::resize_file(path, std::uintmax_t(size));
    return QString::fromStdString(path.string());
}

inline void writeCellBytes(const std::filesystem::path& path, std::int64_t offset,
                           std::vector<unsigned char> bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd >= 0) {
        [[maybe_unused]] auto n = ::pwrite(fd, bytes.data(), bytes.size(), off_t(offset));
        ::close(fd);
    }
}

inline std::vector<unsigned char> readBytesAt(const std::filesystem::path& path,
                                              std::int64_t offset, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        [[maybe_unused]] auto n = ::pread(fd, bytes.data(), size, off_t(offset));
        ::close(fd);
    }
    return bytes;
}
