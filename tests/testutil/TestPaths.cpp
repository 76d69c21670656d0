#include "TestPaths.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace tbtest {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const auto base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            base / ("tbtest-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

fs::path sourceDir() {
    if (const char* env = std::getenv("TB_SOURCE_DIR"))
        return env;
    return TB_DEFAULT_SOURCE_DIR;
}

fs::path binDir() {
    if (const char* env = std::getenv("TB_BIN_DIR"))
        return env;
    return TB_DEFAULT_BIN_DIR;
}

fs::path realDataDir() {
    const auto dir = sourceDir().parent_path() / "shared" / "real-data";
    std::error_code ec;
    return fs::is_directory(dir, ec) ? dir : fs::path{};
}

int exitCodeOf(int systemStatus) {
#ifdef _WIN32
    return systemStatus; // the program's own exit code
#else
    return WIFEXITED(systemStatus) ? WEXITSTATUS(systemStatus) : -1;
#endif
}

// In one read: the tests compare whole maps of up to 86 MB, which a byte-by-byte read makes
// take seconds each in the sanitizer build.
std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    const std::streamoff size = in.tellg();
    if (size < 0 || !in.seekg(0))
        throw std::runtime_error("cannot read " + path.string());
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size)))
        throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

std::string readText(const fs::path& path) {
    const std::vector<unsigned char> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::size_t entriesIn(const fs::path& dir) {
    return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

void writeBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace tbtest
