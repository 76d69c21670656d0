#include "shell/FileStamp.h"

#include "shell/FileIdentity.h"

namespace fs = std::filesystem;

namespace tb {

FileStamp FileStamp::take(const fs::path& file) {
    FileStamp stamp;
    stamp.m_file = file;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec)
        return stamp;
    const fs::file_time_type modified = fs::last_write_time(file, ec);
    if (ec)
        return stamp;
    stamp.m_state = State{size, modified};
    return stamp;
}

bool FileStamp::names(const fs::path& other) const {
    return !empty() && sameFile(m_file, other);
}

bool FileStamp::changedOnDisk() const {
    return !empty() && !(take(m_file) == *this);
}

} // namespace tb
