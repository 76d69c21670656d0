#pragma once
// A file's size and modification time as they were when it was read, so that a program can
// tell whether another writer changed the file since (other editors check the same two).

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tb {

class FileStamp {
public:
    // Stamps no file: never changed, names nothing.
    FileStamp() = default;

    // The stamp of `file` as it is on disk now; a missing or unreadable file is stamped as
    // absent, so its coming back counts as a change.
    static FileStamp take(const std::filesystem::path& file);

    // The file stamped; empty for a default stamp.
    const std::filesystem::path& file() const { return m_file; }
    bool empty() const { return m_file.empty(); }
    // The file was there when stamped.
    bool exists() const { return m_state.has_value(); }
    // True when `other` names the stamped file, however spelled (sameFile).
    bool names(const std::filesystem::path& other) const;
    // The file's size or modification time differs from the stamp now, or it appeared or
    // went; false for a default stamp.
    bool changedOnDisk() const;

    // Same file path, and the same size and time (or both absent).
    friend bool operator==(const FileStamp& a, const FileStamp& b) = default;

private:
    struct State {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified{};
        friend bool operator==(const State& a, const State& b) = default;
    };

    std::filesystem::path m_file;
    std::optional<State> m_state; // none: the file was absent
};

} // namespace tb
