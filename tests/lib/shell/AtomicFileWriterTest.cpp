#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/NativeFile.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;
using tbtest::entriesIn;
using tbtest::readText;

TEST(AtomicFile, CreatesAndReplacesWithoutLeavingTemporaries) {
    tbtest::TempDir dir;
    const auto target = dir / "list.txt";
    tb::writeFileAtomically(target, std::string_view("first"));
    EXPECT_EQ(readText(target), "first");
    tb::writeFileAtomically(target, std::string_view("second, longer"));
    EXPECT_EQ(readText(target), "second, longer");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFile, AFailingProducerLeavesTheOldFile) {
    tbtest::TempDir dir;
    const auto target = dir / "tilelist.xml";
    tb::writeFileAtomically(target, std::string_view("old"));
    EXPECT_THROW(tb::writeFileAtomically(target,
                                         [](const tb::AppendBytes& append) {
                                             append("new", 3);
                                             throw std::runtime_error("stop");
                                         }),
                 std::runtime_error);
    EXPECT_EQ(readText(target), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFile, AMissingFolderIsAFileErrorNamingTheTarget) {
    tbtest::TempDir dir;
    const auto target = dir / "no-such-folder" / "coords.def";
    try {
        tb::writeFileAtomically(target, std::string_view("x"));
        FAIL() << "wrote into a missing folder";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
}

TEST(AtomicFileWriter, PositionedWritesLandInTheCommittedFile) {
    tbtest::TempDir dir;
    const auto target = dir / "map0.mul";
    tb::writeFileAtomically(target, std::string_view("old contents"));
    {
        tb::AtomicFileWriter writer(target);
        writer.append("0000000000", 10);
        writer.writeAt(3, "abc", 3);
        EXPECT_EQ(readText(target), "old contents"); // nothing visible before commit
        writer.commit();
    }
    EXPECT_EQ(readText(target), "000abc0000");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, AWriterDroppedWithoutCommitLeavesTheTargetAndNoTemporary) {
    tbtest::TempDir dir;
    const auto target = dir / "map0.mul";
    tb::writeFileAtomically(target, std::string_view("kept"));
    {
        tb::AtomicFileWriter writer(target);
        writer.append("half", 4);
    }
    EXPECT_EQ(readText(target), "kept");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, StartsFromTheCurrentContentAndReadsBackItsOwnWrites) {
    tbtest::TempDir dir;
    const auto target = dir / "map0.mul";
    std::string big(3'000'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 % 251);
    tb::writeFileAtomically(target, big);
    {
        tb::AtomicFileWriter writer(target);
        writer.copyCurrentContent();
        writer.writeAt(2'999'998, "zz", 2);
        char back[4] = {};
        writer.readAt(2'999'996, back, 4);
        EXPECT_EQ(std::string(back, 4), big.substr(2'999'996, 2) + "zz");
        EXPECT_THROW(writer.readAt(2'999'999, back, 2), tb::FileError) << "a read past the end";
        EXPECT_EQ(readText(target), big); // the old file is never written
        writer.commit();
    }
    big.replace(2'999'998, 2, "zz");
    EXPECT_EQ(readText(target), big);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, ASymbolicLinkStaysALinkAndItsFileIsReplaced) {
    tbtest::TempDir dir;
    fs::create_directory(dir / "real");
    const auto file = dir / "real" / "tilelist.xml";
    tb::writeFileAtomically(file, std::string_view("old"));
    fs::create_symlink(file, dir / "link.xml");
    tb::writeFileAtomically(dir / "link.xml", std::string_view("new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.xml"));
    EXPECT_EQ(readText(file), "new");
    EXPECT_EQ(entriesIn(dir / "real"), 1u) << "the temporary file goes beside the real file";
}

TEST(AtomicFileWriter, ALinkToAFileNotMadeYetStaysALink) {
    tbtest::TempDir dir;
    fs::create_directory(dir / "real");
    fs::create_symlink("real/bookmarklist.xml", dir / "link.xml");
    tb::writeFileAtomically(dir / "link.xml", std::string_view("first"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.xml"));
    EXPECT_EQ(readText(dir / "real" / "bookmarklist.xml"), "first");
}

// The flush to the disk before the rename is what makes the new file survive a crash; a
// failing one must stop the replace like a failing write.
TEST(AtomicFileWriter, AFailingFlushLeavesTheOldFileAndNamesTheTarget) {
    tbtest::TempDir dir;
    const auto target = dir / "map0.mul";
    tb::writeFileAtomically(target, std::string_view("old"));
    struct FlushFailure {
        FlushFailure() {
            tb::NativeFile::failFlushesForTesting(make_error_code(std::errc::io_error));
        }
        ~FlushFailure() { tb::NativeFile::failFlushesForTesting({}); }
    } failing;
    try {
        tb::writeFileAtomically(target, std::string_view("new, never flushed"));
        ADD_FAILURE() << "replaced without a flush";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
    EXPECT_EQ(readText(target), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, AFolderIsRefusedBeforeAnyWork) {
    tbtest::TempDir dir;
    fs::create_directory(dir / "patch.qmz");
    EXPECT_THROW(tb::AtomicFileWriter{dir / "patch.qmz"}, tb::FileError);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, OldTemporariesOfACrashedWriterAreClearedNewOnesKept) {
    tbtest::TempDir dir;
    const auto target = dir / "map0.mul";
    const auto stale = dir / ".map0.mul.tmp123";
    const auto recent = dir / ".map0.mul.tmp456";
    const auto other = dir / ".map0.mul.tmpnotours";
    for (const auto& p : {stale, recent, other})
        tbtest::writeBytes(p, {1, 2, 3});
    const auto twoDaysAgo = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(stale, twoDaysAgo);
    fs::last_write_time(other, twoDaysAgo);
    tb::writeFileAtomically(target, std::string_view("new"));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(recent)) << "may belong to a copy writing right now";
    EXPECT_TRUE(fs::exists(other)) << "not a name this writer makes";
    EXPECT_EQ(readText(target), "new");
}
