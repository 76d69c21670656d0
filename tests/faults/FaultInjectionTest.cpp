// Every file writer of the library, made to fail while it writes: by a file size limit
// (RLIMIT_FSIZE with SIGXFSZ ignored, so write() fails with EFBIG), by a read-only folder and
// by a full device (a small tmpfs of the test's own, filled up). Each writer runs in a forked
// child, so the limit and the dropped privileges never reach the test process. Afterwards the
// previous file must be there byte for byte, the error must be a FileError naming the file, and no
// temporary file may be left beside it.
#include "ScratchMount.h"
#include "StaticsFixtures.h"
#include "TestPaths.h"

#include "catalogue/BrushFile.h"
#include "catalogue/TextureListWriter.h"
#include "catalogue/TileList.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/StaticsSave.h"
#include "diff/DiffGenerator.h"
#include "editor/Bookmarks.h"
#include "patch/CoordList.h"
#include "patch/PatchFile.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"
#include "shell/NativeFile.h"
#include "tools/MapCopy.h"
#include "tools/MapEnlarge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Fault { FileSizeLimit, ReadOnlyFolder, FullDevice };

const char* faultName(Fault f) {
    switch (f) {
    case Fault::FileSizeLimit:
        return "FileSizeLimit";
    case Fault::ReadOnlyFolder:
        return "ReadOnlyFolder";
    case Fault::FullDevice:
        return "FullDevice";
    }
    return "?";
}

// The user the read-only case drops to when the tests run as root (root writes into any
// folder whatever its mode).
constexpr uid_t kNobody = 65534;

struct Outcome {
    bool skipped = false; // the fault could not be set up here
    bool fileError = false;
    std::string message; // what() of the exception, or "no error" / "other: ..."
};

// Runs `write` in a child process under `fault` and reports how it ended.
Outcome runUnderFault(Fault fault, const std::vector<fs::path>& readOnlyFolders,
                      const std::function<void()>& write) {
    if (fault == Fault::ReadOnlyFolder)
        for (const fs::path& folder : readOnlyFolders)
            fs::permissions(folder, fs::perms(0555));
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string report;
        bool ready = true;
        if (fault == Fault::FileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{8, 8};
            ready = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        } else if (fault == Fault::ReadOnlyFolder && ::geteuid() == 0) {
            ready = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        }
        if (!ready) {
            report = "S:cannot set up the fault";
        } else {
            try {
                write();
                report = "N:no error";
            } catch (const tb::FileError& e) {
                report = std::string("E:") + e.what();
            } catch (const std::exception& e) {
                report = std::string("O:other: ") + e.what();
            }
        }
        const ssize_t n = ::write(pipeFds[1], report.data(), report.size());
        ::_exit(n == ssize_t(report.size()) ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (fault == Fault::ReadOnlyFolder)
        for (const fs::path& folder : readOnlyFolders)
            fs::permissions(folder, fs::perms(0755));
    if (!WIFEXITED(status) || report.size() < 2)
        return {false, false,
                "child ended without a report (status " + std::to_string(status) + ")"};
    return {report[0] == 'S', report[0] == 'E', report.substr(2)};
}

// One writer: the file it replaces (relative to the test folder) and the write itself.
struct Writer {
    std::string name;
    std::string file;
    std::function<void(const fs::path& dir)> write;
};

std::vector<std::string> manyLines() {
    return std::vector<std::string>(200, "a line long enough to pass any small limit");
}

std::vector<Writer> writers() {
    return {
        {"WriteFileAtomically", "data.bin",
         [](const fs::path& dir) {
             tb::writeFileAtomically(dir / "data.bin", std::string(4096, 'x'));
         }},
        {"WriteFileAtomicallyInPieces", "pieces.bin",
         [](const fs::path& dir) {
             tb::writeFileAtomically(dir / "pieces.bin", [](const tb::AppendBytes& append) {
                 const std::string piece(512, 'p');
                 for (int i = 0; i < 8; ++i)
                     append(piece.data(), piece.size());
             });
         }},
        {"LineFileWriteLines", "list.txt",
         [](const fs::path& dir) { tb::writeLines(dir / "list.txt", manyLines()); }},
        {"MapImageSave", "map4.mul",
         [](const fs::path& dir) {
             tb::MapImage(std::vector<unsigned char>(4096, 7), std::nullopt).save(dir / "map4.mul");
         }},
        {"WriteTileList", "tilelist.xml",
         [](const fs::path& dir) {
             tb::writeTileList(dir / "tilelist.xml", {{"Grass", "$0003,$0004"}, {"Sand", "$0016"}});
         }},
        {"WriteBrushLines", "brushes/Pond.brs",
         [](const fs::path& dir) { tb::writeBrushLines(dir, "Pond", manyLines()); }},
        {"WriteTextureList", "textures/coast.lst",
         [](const fs::path& dir) {
             tb::writeTextureList(dir, "coast.lst", std::vector<std::string>(100, "$0016"));
         }},
        {"WritePatchFile", "patch.qvp",
         [](const fs::path& dir) {
             tb::writePatchFile(dir / "patch.qvp",
                                std::vector<tb::PatchEntryText>(50, {"10", "20", "-5", "01 D3"}));
         }},
        {"WriteCoordFile", "coords.def",
         [](const fs::path& dir) {
             tb::writeCoordFile(dir / "coords.def",
                                std::vector<tb::CoordText>(50, {"1500", "1650"}));
         }},
        {"WriteBookmarkFile", "bookmarklist.xml",
         [](const fs::path& dir) {
             tb::Bookmarks marks;
             marks.toggle(3, 100, 200);
             tb::writeBookmarkFile(dir / "bookmarklist.xml", marks);
         }},
        {"GenerateDiff", "patch.qmz",
         [](const fs::path& dir) {
             tb::Progress& quiet = tb::noProgress();
             tb::DiffRunSettings small;
             small.grid = {2, 2};
             const fs::path in = dir / "source";
             tb::generateDiff({in / "staidx.orig", in / "statics.orig", in / "map.orig"},
                              {in / "staidx.orig", in / "statics.orig", in / "map.mod"},
                              dir / "patch.qmz", true, true, quiet, small);
         }},
        {"EnlargeMap", "enlarged.mul",
         [](const fs::path& dir) {
             tb::enlargeMap(dir / "source" / "map4.mul", dir / "enlarged.mul");
         }},
    };
}

constexpr const char* kPrevious = "the previous content\r\n";

class FaultInjection : public ::testing::TestWithParam<std::tuple<std::size_t, Fault>> {};

TEST_P(FaultInjection, FailedWriteKeepsThePreviousFileAndNamesIt) {
    const Writer writer = writers().at(std::get<0>(GetParam()));
    const Fault fault = std::get<1>(GetParam());
    tbtest::TempDir temp;
    std::optional<tbtest::ScratchMount> device;
    if (fault == Fault::FullDevice) {
        if (!tbtest::privateMountsAvailable())
            GTEST_SKIP() << "cannot mount a small device: " << tbtest::whyNoPrivateMounts();
        device.emplace(256 * 1024);
    }
    const fs::path dir = (device ? device->path() : temp.path()) / "app";
    for (const char* sub : {"brushes", "textures", "source"})
        fs::create_directories(dir / sub);
    fs::permissions(temp.path(), fs::perms(0755));
    // Diff inputs on a grid of 2 x 2 blocks: no statics, one map byte changed.
    tbtest::writeBytes(dir / "source" / "staidx.orig", std::vector<unsigned char>(48, 0xFF));
    tbtest::writeBytes(dir / "source" / "statics.orig", {});
    tbtest::writeBytes(dir / "source" / "map.orig", std::vector<unsigned char>(4 * 196, 0));
    {
        std::vector<unsigned char> modified(4 * 196, 0);
        modified[200] = 7;
        tbtest::writeBytes(dir / "source" / "map.mod", modified);
    }
    // A Tokuno-sized source map for the enlargement (sparse, all zero).
    {
        const fs::path source = dir / "source" / "map4.mul";
        tbtest::writeBytes(source, {});
        fs::resize_file(source, 6'421'156);
    }
    const fs::path target = dir / writer.file;
    const std::vector<unsigned char> previous(kPrevious, kPrevious + std::string(kPrevious).size());
    tbtest::writeBytes(target, previous);
    const auto entriesBefore = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            names.push_back(e.path().lexically_relative(dir).string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = entriesBefore();
    if (device)
        device->fillUp();

    const Outcome outcome =
        runUnderFault(fault, {dir, dir / "brushes", dir / "textures"}, [&] { writer.write(dir); });
    if (outcome.skipped) // e.g. no other user to drop to inside a user namespace
        GTEST_SKIP() << outcome.message;

    EXPECT_TRUE(outcome.fileError)
        << writer.name << " under " << faultName(fault) << ": " << outcome.message;
    EXPECT_NE(outcome.message.find(target.filename().string()), std::string::npos)
        << "the error does not name the file: " << outcome.message;
    EXPECT_EQ(tbtest::readBytes(target), previous) << "previous file not intact";
    EXPECT_EQ(entriesBefore(), before) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Writers, FaultInjection,
                         ::testing::Combine(::testing::Range<std::size_t>(0, writers().size()),
                                            ::testing::Values(Fault::FileSizeLimit,
                                                              Fault::ReadOnlyFolder,
                                                              Fault::FullDevice)),
                         [](const ::testing::TestParamInfo<FaultInjection::ParamType>& info) {
                             return writers().at(std::get<0>(info.param)).name + "_" +
                                    faultName(std::get<1>(info.param));
                         });

// A map copy replaces its destination whole: when it fails, the destination is as it was.
class MapCopyFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(MapCopyFaults, AFailedCopyLeavesTheDestinationAsItWas) {
    const Fault fault = GetParam();
    tbtest::TempDir temp;
    std::optional<tbtest::ScratchMount> device;
    if (fault == Fault::FullDevice) {
        if (!tbtest::privateMountsAvailable())
            GTEST_SKIP() << "cannot mount a small device: " << tbtest::whyNoPrivateMounts();
        device.emplace(16u << 20);
    }
    fs::permissions(temp.path(), fs::perms(0755));
    const fs::path dir = (device ? device->path() : temp.path()) / "app";
    fs::create_directories(dir / "source");
    fs::create_directories(dir / "dest");
    constexpr std::size_t kTokunoSize = 6'421'156;
    const fs::path source = dir / "source" / "map4.mul";
    tbtest::writeBytes(source, std::vector<unsigned char>(kTokunoSize, 0x11));
    const fs::path destination = dir / "dest" / "map4.mul";
    std::vector<unsigned char> previous(kTokunoSize);
    for (std::size_t i = 0; i < previous.size(); ++i)
        previous[i] = static_cast<unsigned char>(i * 31 % 253);
    tbtest::writeBytes(destination, previous);
    if (device)
        device->fillUp();

    const Outcome outcome = runUnderFault(fault, {dir / "dest"}, [&] {
        tb::copyMapCells(source, {0, 0, 300, 300, 40, 50}, destination);
    });
    if (outcome.skipped)
        GTEST_SKIP() << outcome.message;

    EXPECT_TRUE(outcome.fileError) << faultName(fault) << ": " << outcome.message;
    EXPECT_NE(outcome.message.find(destination.string()), std::string::npos)
        << "the error does not name the destination: " << outcome.message;
    EXPECT_TRUE(tbtest::readBytes(destination) == previous) << "previous destination not intact";
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "dest"))
        ++entries;
    EXPECT_EQ(entries, 1u) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Faults, MapCopyFaults,
                         ::testing::Values(Fault::FileSizeLimit, Fault::ReadOnlyFolder,
                                           Fault::FullDevice),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             return std::string(faultName(info.param));
                         });

// A statics save appends to the statics file and then replaces the index: failing at either
// step leaves a pair that loads, the old one or the new one, and names the file.
class StaticsSaveFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(StaticsSaveFaults, AFailedSaveLeavesAPairThatLoads) {
    const Fault fault = GetParam();
    tbtest::TempDir temp;
    std::optional<tbtest::ScratchMount> device;
    if (fault == Fault::FullDevice) {
        if (!tbtest::privateMountsAvailable())
            GTEST_SKIP() << "cannot mount a small device: " << tbtest::whyNoPrivateMounts();
        device.emplace(256 * 1024);
    }
    fs::permissions(temp.path(), fs::perms(0755));
    const fs::path dir = (device ? device->path() : temp.path()) / "app";
    fs::create_directories(dir);
    constexpr int kSide = 8;
    tbtest::StaticsPair before(kSide * kSide);
    before.setBlock(3, {{0x0CCA, 1, 1, 0}, {0x0CCB, 2, 2, 5}});
    const tb::StaticsFilePaths files{dir / "staidx0.mul", dir / "statics0.mul"};
    tbtest::writeBytes(files.index, before.index);
    tbtest::writeBytes(files.data, before.data);
    const auto load = [&] {
        return tb::StaticsMap(tbtest::readBytes(files.index), tbtest::readBytes(files.data), kSide,
                              kSide);
    };
    const tb::StaticsMap loaded = load();
    std::vector<std::vector<tb::StaticRecord>> oldRecords, newRecords;
    for (std::size_t b = 0; b < loaded.blockCount(); ++b)
        oldRecords.push_back(loaded.records(b));
    newRecords = oldRecords;
    // Enough records that the append alone passes every small limit.
    newRecords[10].assign(2000, {0x0CCA, 4, 4, 9, 0});
    if (device)
        device->fillUp();

    const Outcome outcome = runUnderFault(fault, {dir}, [&] {
        tb::StaticsMap statics = load();
        statics.setRecords(10, newRecords[10]);
        tb::saveStatics(statics, files);
    });
    if (outcome.skipped)
        GTEST_SKIP() << outcome.message;

    EXPECT_TRUE(outcome.fileError) << faultName(fault) << ": " << outcome.message;
    EXPECT_TRUE(outcome.message.find("statics0.mul") != std::string::npos ||
                outcome.message.find("staidx0.mul") != std::string::npos)
        << "the error names neither file: " << outcome.message;
    const tb::StaticsMap after = load();
    std::vector<std::vector<tb::StaticRecord>> now;
    for (std::size_t b = 0; b < after.blockCount(); ++b)
        now.push_back(after.records(b));
    EXPECT_TRUE(now == oldRecords || now == newRecords) << "the pair is neither old nor new";
    // What a failed save appended is taken back: the old pair, byte for byte.
    if (device)
        device->freeUp();
    EXPECT_EQ(tbtest::readBytes(files.data), before.data);
    EXPECT_EQ(tbtest::readBytes(files.index), before.index);
    EXPECT_EQ(tbtest::entriesIn(dir), 2u) << "a temporary file was left behind";
}

// The appended records must be on the disk before the index that points at them replaces
// the old one: with every flush failing, the save fails at the statics file and the index
// is never replaced.
TEST(StaticsFlushFaults, AFlushThatFailsStopsTheSaveBeforeTheIndex) {
    tbtest::TempDir dir;
    tbtest::StaticsPair before(64);
    before.setBlock(3, {{0x0CCA, 1, 1, 0}});
    const tb::StaticsFilePaths files{dir / "staidx0.mul", dir / "statics0.mul"};
    tbtest::writeBytes(files.index, before.index);
    tbtest::writeBytes(files.data, before.data);
    tb::StaticsMap statics(before.index, before.data, 8, 8);
    statics.setRecords(10, {{0x0CCB, 4, 4, 9, 0}});
    struct FlushFailure {
        FlushFailure() {
            tb::NativeFile::failFlushesForTesting(make_error_code(std::errc::io_error));
        }
        ~FlushFailure() { tb::NativeFile::failFlushesForTesting({}); }
    };
    try {
        const FlushFailure failing;
        tb::saveStatics(statics, files);
        ADD_FAILURE() << "the save succeeded without its flush";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + files.data.string() + "\""), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(tbtest::readBytes(files.index), before.index);
    EXPECT_EQ(tbtest::readBytes(files.data), before.data);
    EXPECT_TRUE(statics.isModified());
    EXPECT_EQ(tbtest::entriesIn(dir.path()), 2u);
}

// A compaction killed after each of its steps on disk (the process ends there, as at a power
// cut or a kill): a look at the pair changes nothing and reads the pair that recovering
// then leaves; that is the old pair until the index is replaced, the new one after, whole,
// with no backup or journal left; and a later compaction runs.
TEST(CompactionFaults, KilledAfterEachStepTheJournalGivesBackAWholePair) {
    using Step = tb::CompactionStep;
    constexpr int kBlocks = 8;
    tbtest::StaticsPair old(kBlocks * kBlocks);
    old.setBlock(3, {{0x0CCA, 1, 1, 0}});
    old.setBlock(3, {{0x0CCA, 1, 1, 0}, {0x0CCB, 2, 2, 4}}); // the first copy is unused
    old.setBlock(9, {{0x0D00, 7, 7, -3}});
    for (const Step step : {Step::JournalWritten, Step::DataBackupMade, Step::IndexBackupMade,
                            Step::DataReplaced, Step::IndexReplaced, Step::IndexBackupDropped,
                            Step::DataBackupDropped, Step::JournalDropped}) {
        SCOPED_TRACE(int(step));
        tbtest::TempDir dir;
        const tb::StaticsFilePaths files{dir / "staidx0.mul", dir / "statics0.mul"};
        tbtest::writeBytes(files.index, old.index);
        tbtest::writeBytes(files.data, old.data);
        const pid_t child = ::fork();
        if (child == 0) {
            tb::setCompactionStepHookForTesting([step](Step made) {
                if (made == step)
                    ::_exit(0);
            });
            try {
                tb::compactStatics(files, kBlocks, kBlocks);
            } catch (...) {
            }
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "not killed at the step";
        // Temporary files of the killed writer are no part of the pair's state.
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().starts_with("."))
                fs::remove(e.path());
        std::map<std::string, std::vector<unsigned char>> left;
        for (const auto& e : fs::directory_iterator(dir.path()))
            left[e.path().filename().string()] = tbtest::readBytes(e.path());

        const tb::CompactionCheck check = tb::checkCompaction(files);
        const auto seenIndex = tbtest::readBytes(check.pair.index);
        const auto seenData = tbtest::readBytes(check.pair.data);
        for (const auto& [name, bytes] : left)
            EXPECT_EQ(tbtest::readBytes(dir / name), bytes) << name << " changed by a look";

        tb::recoverInterruptedCompaction(files);
        const auto index = tbtest::readBytes(files.index);
        const auto data = tbtest::readBytes(files.data);
        EXPECT_EQ(index, seenIndex);
        EXPECT_EQ(data, seenData);
        const bool replaced = step >= Step::IndexReplaced;
        EXPECT_EQ(index == old.index && data == old.data, !replaced);
        EXPECT_EQ(data.size(), replaced ? 21u : old.data.size());
        const tb::StaticsMap statics(index, data, kBlocks, kBlocks);
        EXPECT_EQ(statics.records(3).size(), 2u);
        EXPECT_EQ(statics.records(9).size(), 1u);
        EXPECT_EQ(tbtest::entriesIn(dir.path()), 2u) << "backups or journal left";
        EXPECT_EQ(tb::compactStatics(files, kBlocks, kBlocks).bytesAfter, 21u);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, StaticsSaveFaults,
                         ::testing::Values(Fault::FileSizeLimit, Fault::ReadOnlyFolder,
                                           Fault::FullDevice),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             return std::string(faultName(info.param));
                         });

// Two writers replacing one file: whichever renames last wins with its whole content, and
// a reader never sees a mixture or a partial file.
TEST(AtomicReplace, LastWriterWinsWithAWholeFile) {
    tbtest::TempDir temp;
    const fs::path target = temp / "tilelist.xml";
    const std::string a(200'000, 'a');
    const std::string b(300'000, 'b');
    for (int round = 0; round < 20; ++round) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            try {
                tb::writeFileAtomically(target, a);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        tb::writeFileAtomically(target, b);
        // Whatever is there while the other copy may still write is one of the two files.
        const std::string seen = tb::readFileText(target);
        EXPECT_TRUE(seen == a || seen == b) << "round " << round << ": " << seen.size();
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const std::string last = tb::readFileText(target);
        EXPECT_TRUE(last == a || last == b) << "round " << round << ": " << last.size();
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(temp.path()))
        ++files;
    EXPECT_EQ(files, 1u) << "temporary files left behind";
}

} // namespace

// The faults themselves: each must really stop a write and be undone afterwards, or the
// window tests built on them would pass without testing anything.
namespace {

int writeFile(const fs::path& path, std::size_t bytes) {
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return errno;
    const std::string data(bytes, 'd');
    const ssize_t n = ::write(fd, data.data(), data.size());
    const int error = n == ssize_t(bytes) ? 0 : (n < 0 ? errno : EIO);
    ::close(fd);
    return error;
}

TEST(WriteFaults, EachFaultStopsAWriteAndIsUndone) {
    if (!tbtest::privateMountsAvailable())
        GTEST_SKIP() << "cannot mount a small device: " << tbtest::whyNoPrivateMounts();
    tbtest::ScratchMount device(64 * 1024);
    EXPECT_EQ(writeFile(device / "a", 5000), 0);

    device.fillUp();
    EXPECT_EQ(writeFile(device / "b", 100), ENOSPC);
    device.freeUp();
    EXPECT_EQ(writeFile(device / "b", 100), 0);

    device.makeReadOnly();
    EXPECT_EQ(writeFile(device / "c", 100), EROFS);
    EXPECT_EQ(tbtest::readBytes(device / "a").size(), 5000u);
    device.makeWritable();
    EXPECT_EQ(writeFile(device / "c", 100), 0);

    {
        tbtest::FileSizeLimit limit(1000);
        EXPECT_EQ(writeFile(device / "d", 5000), EIO) << "a write past the limit is cut short";
        EXPECT_EQ(writeFile(device / "d", 900), 0);
    }
    EXPECT_EQ(writeFile(device / "d", 5000), 0);
}

} // namespace
