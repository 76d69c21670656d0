#include "RunTbmap.h"

#include "TestPaths.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {
namespace {

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    return text;
}

} // namespace

std::string programPath() {
    if (std::getenv("TB_BIN_DIR"))
        return (tbtest::binDir() / "tbmap").string();
    return TBMAP_PROGRAM;
}

RunResult runTbmap(const std::vector<std::string>& args) {
    const std::string program = programPath();
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    // Both outputs go to temporary files: pipes could fill up while we wait.
    tbtest::TempDir dir;
    const std::string outPath = (dir / "out").string(), errPath = (dir / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot run " + program);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("lost track of " + program);

    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    for (auto [path, text] : {std::pair{&outPath, &result.out}, std::pair{&errPath, &result.err}}) {
        const int fd = ::open(path->c_str(), O_RDONLY);
        if (fd >= 0) {
            *text = readAll(fd);
            ::close(fd);
        }
    }
    return result;
}

} // namespace clitest
