// What the POSIX side of the atomic replace keeps: permissions and owner; and the refusal
// of a file the process may not write.
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
