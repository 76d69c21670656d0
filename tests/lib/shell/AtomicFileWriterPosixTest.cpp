// What the POSIX side of the atomic replace keeps: permissions and owner; the refusal of a
// file the process may not write and of what is no regular file; and reads that refuse a
// pipe instead of waiting for its writer.
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileBytes.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using tbtest::entriesIn;
using tbtest::readText;

TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFile) {
    tbtest::TempDir dir;
    const auto target = dir / "map0.mul";
    tb::writeFileAtomically(target, std::string_view("a"));
    ::chmod(target.c_str(), 0640);
    tb::writeFileAtomically(target, std::string_view("b"));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFileWriter, AReadOnlyFileIsRefusedBeforeAnyWork) {
    // Refused for anyone but root, who may write it anyway (checked in a child that drops to
    // an unprivileged user).
    tbtest::TempDir dir;
    const auto file = dir / "map0.mul";
    tb::writeFileAtomically(file, std::string_view("kept"));
    ::chmod(file.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        try {
            tb::AtomicFileWriter writer(file);
            ::_exit(1);
        } catch (const tb::FileError& e) {
            ::_exit(std::string(e.what()).find("map0.mul") != std::string::npos ? 0 : 2);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot drop to an unprivileged user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not refused, 2: the error does not name the file";
    EXPECT_EQ(readText(file), "kept");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, TheReplacedFileKeepsItsOwnerWhereTheWriterMayGiveItAway) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give files away";
    tbtest::TempDir dir;
    const auto file = dir / "tilelist.xml";
    tb::writeFileAtomically(file, std::string_view("old"));
    if (::chown(file.c_str(), 1000, 1000) != 0) // e.g. root of a user namespace of its own
        GTEST_SKIP() << "cannot give a file away here";
    tb::writeFileAtomically(file, std::string_view("new"));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1000u);
    EXPECT_EQ(st.st_gid, 1000u);
}

TEST(AtomicFileWriter, WhatIsNoRegularFileIsRefusedAndKeptAlsoThroughALink) {
    tbtest::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "socket").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::vector<std::pair<std::string, std::string>> targets{{"pipe", "pipe (FIFO)"},
                                                             {"socket", "socket"}};
    // A device of our own, so that a failure here replaces nothing of the system's.
    if (::mknod((dir / "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        targets.emplace_back("device", "character device");
    for (const auto& [name, kind] : targets)
        fs::create_symlink(name, dir / (name + ".link"));
    const std::size_t entries = entriesIn(dir.path());
    for (const auto& [name, kind] : targets) {
        for (const std::string& target : {name, name + ".link"}) {
            try {
                tb::writeFileAtomically(dir / target, std::string_view("x"));
                ADD_FAILURE() << target << " was replaced";
            } catch (const tb::FileError& e) {
                EXPECT_NE(std::string(e.what()).find("\"" + (dir / target).string() + "\""),
                          std::string::npos)
                    << e.what();
                EXPECT_NE(std::string(e.what()).find("it is a " + kind), std::string::npos)
                    << e.what();
            }
        }
        EXPECT_FALSE(fs::is_regular_file(dir / name)) << name;
        EXPECT_TRUE(fs::is_symlink(dir / (name + ".link"))) << name;
    }
    EXPECT_EQ(entriesIn(dir.path()), entries) << "a temporary file was left";
    ::close(sock);
}

TEST(FileBytes, APipeIsRefusedWithoutWaitingForItsWriter) {
    tbtest::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "art.mul").c_str(), 0600), 0);
    ::alarm(20); // a read that waits for a writer would never end
    try {
        tb::readFileBytes(dir / "art.mul");
        ADD_FAILURE() << "a pipe was read";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("art.mul\": it is a pipe (FIFO), not a regular file"),
                  std::string::npos)
            << e.what();
    }
    ::alarm(0);
}
