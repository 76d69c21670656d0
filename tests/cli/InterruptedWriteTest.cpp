// tbmap ended by a signal while it writes its picture: the old file stays and no temporary
// file is left beside it.
#include "RunTbmap.h"

#include "../app/testsupport/TestWorld.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using namespace tbtest;

namespace {

bool hasTemporary(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().starts_with(".out.png.tmp"))
            return true;
    return false;
}

} // namespace

TEST(InterruptedWrite, TheSignalRemovesTheTemporaryFileAndTheOldFileStays) {
    TempDir dir;
    writeGameDir(dir / "game");
    makeTestMap().save(dir / "map2.mul");
    writeBytes(dir / "out.png", {'o', 'l', 'd'});
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        // The largest picture: seconds of drawing after its temporary file is made.
        std::string words[] = {clitest::programPath(),
                               "render",
                               (dir / "map2.mul").string(),
                               (dir / "game").string(),
                               "0",
                               "0",
                               "7",
                               "7",
                               (dir / "out.png").string(),
                               "--cell",
                               "2048"};
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        // Whatever the test was started with, the program gets the signals' usual handling.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t reset;
        sigemptyset(&reset);
        sigaddset(&reset, SIGINT);
        sigaddset(&reset, SIGTERM);
        posix_spawnattr_setsigdefault(&attributes, &reset);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, &attributes, argv.data(), environ), 0);
        posix_spawnattr_destroy(&attributes);

        int status = 0;
        bool ended = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!hasTemporary(dir.path()) && !ended && std::chrono::steady_clock::now() < deadline) {
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_FALSE(ended) << "the render ended before its temporary file was seen";
        ::kill(pid, signal);
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(hasTemporary(dir.path()));
        EXPECT_EQ(readText(dir / "out.png"), "old");
        EXPECT_EQ(entriesIn(dir.path()), 3u); // game, map2.mul, out.png
    }
}
