#pragma once
// Shared fixtures for the test suites: temporary folders and the real client files.

#include <filesystem>
#include <string>
#include <vector>

namespace tbtest {

// A fresh empty folder under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// The folder of real client files (shared/real-data beside the project), or an empty
// path when it is absent; tests that need it skip with a message.
std::filesystem::path realDataDir();

// The folder that holds the built programs and the default catalogues.
std::filesystem::path binDir();

// The project's source folder.
std::filesystem::path sourceDir();

// The exit code of a program that std::system ran, or -1 when it did not exit by itself.
int exitCodeOf(int systemStatus);

std::vector<unsigned char> readBytes(const std::filesystem::path& path);
// The file's bytes as a string, for text files compared whole.
std::string readText(const std::filesystem::path& path);
// How many entries a folder holds (left-over temporaries show up here).
std::size_t entriesIn(const std::filesystem::path& dir);
void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

} // namespace tbtest
