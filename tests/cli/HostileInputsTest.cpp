// The hostile-input table (hostile-inputs.txt): tbmap run as a careless user or an attacker
// would, each run in a folder of its own that is compared file by file before and after.
// A new command gets the same treatment by a few more lines in the table.
#include "RunTbmap.h"

#include "../app/testsupport/TestWorld.h"
#include "StaticsFixtures.h"
#include "UopFixtures.h"

#include "core/MapConvert.h"
#include "core/StaticsSave.h"
#include "diff/DiffFormat.h"

#include "TestPaths.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Row {
    int line = 0;
    std::string name, setup, arguments, message;
    int exitCode = -1;
};

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
         from = at + separator.size())
        parts.push_back(trim(text.substr(from, at - from)));
    parts.push_back(trim(text.substr(from)));
    return parts;
}

std::vector<Row> readTable(const fs::path& file) {
    std::ifstream in(file);
    std::vector<Row> rows;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (trim(line).empty() || line[0] == '#')
            continue;
        const std::vector<std::string> f = split(line, "|");
        if (f.size() < 4)
            throw std::runtime_error("line " + std::to_string(number) + ": fewer than 4 fields");
        rows.push_back({number, f[0], f[1], f[2], f.size() > 4 ? f[4] : "", std::stoi(f[3])});
    }
    return rows;
}

// Statics pairs of facet 4 beside the fixture's pair (block 0: items 7 and 9 on (2, 0)),
// copied beside the map by the runs that want them: pairs/newer with item 0x63 added on
// (30, 30); pairs/odd with a record at column 9 in block 0 and the entry of block (50, 50)
// pointing at the end of the statics file; pairs/padded with 4096 unused bytes before the
// records (4110 in all); and interrupted/, a compaction killed after it
// replaced the statics file but not the index, with map4.mul beside it.
void makeStaticsPairs(const fs::path& base, const tbtest::StaticsPair& statics) {
    using namespace tbtest;
    const std::size_t blocksHigh = 181;
    StaticsPair newer = statics;
    newer.setBlock(3 * blocksHigh + 3, {{0x63, 6, 6, 0}});
    StaticsPair odd = statics;
    odd.setBlock(0, {{7, 2, 0, 5}, {9, 2, 0, -3}, {11, 9, 1, 0}});
    odd.setEntry(50 * blocksHigh + 50, std::int32_t(odd.data.size()), 7);
    // 4096 unused bytes first: room under a file size limit for the messages of a run.
    StaticsPair padded(statics.index.size() / 12);
    padded.data.assign(4096, 0);
    padded.setBlock(0, {{7, 2, 0, 5}, {9, 2, 0, -3}});
    for (const auto& [name, pair] :
         {std::pair{"newer", &newer}, std::pair{"odd", &odd}, std::pair{"padded", &padded}}) {
        fs::create_directories(base / "pairs" / name);
        writeBytes(base / "pairs" / name / "staidx4.mul", pair->index);
        writeBytes(base / "pairs" / name / "statics4.mul", pair->data);
    }

    // Block 0 written twice, so that a compaction drops the first copy and moves the second.
    StaticsPair loose = statics;
    loose.setBlock(0, {{7, 2, 0, 5}, {9, 2, 0, -3}, {0x63, 3, 3, 0}});
    const fs::path dir = base / "interrupted";
    fs::create_directories(dir);
    fs::create_hard_link(base / "map4.mul", dir / "map4.mul");
    const tb::StaticsFilePaths files{dir / "staidx4.mul", dir / "statics4.mul"};
    writeBytes(files.index, loose.index);
    writeBytes(files.data, loose.data);
    const pid_t child = ::fork();
    if (child == 0) {
        tb::setCompactionStepHookForTesting([](tb::CompactionStep step) {
            if (step == tb::CompactionStep::DataReplaced)
                ::_exit(0);
        });
        try {
            tb::compactStatics(files, 181, 181);
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the compaction was not interrupted where it should be");
}

// The files every run starts from, made once: a Tokuno map in both forms, a game folder,
// containers broken two ways, a damaged palette picture, a patch, and statics diff sets.
void makeFixture(const fs::path& dir) {
    using namespace tbtest;
    const fs::path base = dir / "base";
    writeGameDir(base / "game");
    const tb::MapVariant* tokuno = nullptr;
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.fileName == "map4.mul")
            tokuno = &v;
    std::vector<unsigned char> map(std::size_t(tokuno->fileSize));
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<unsigned char>((i * 131) >> 3);
    writeBytes(base / "map4.mul", map);
    tb::convertMapFile(base / "map4.mul", base / "map4LegacyMUL.uop");
    StaticsPair statics(std::size_t(tokuno->widthBlocks()) * std::size_t(tokuno->heightBlocks()));
    statics.setBlock(0, {{7, 2, 0, 5}, {9, 2, 0, -3}});
    for (const char* facet : {"4", "0"}) {
        writeBytes(base / "game" / ("staidx" + std::string(facet) + ".mul"), statics.index);
        writeBytes(base / "game" / ("statics" + std::string(facet) + ".mul"), statics.data);
    }
    makeStaticsPairs(base, statics);
    std::ofstream(base / "p.qvp", std::ios::binary) << "[0]\r\nX=1\r\nY=2\r\nZ=3\r\n";

    // A picture of the wrong size for a heightmap.
    QImage small(10, 10, QImage::Format_Grayscale8);
    small.fill(128);
    small.save(QString::fromStdString((base / "small.png").string()));

    // Entry 3 of 8 holds nothing; the last entry lacks its last block.
    std::vector<uoptest::HandEntry> entries;
    for (std::uint32_t i = 0; i < 8; ++i)
        entries.push_back(uoptest::mapEntry(map, 4, i));
    auto zero = entries;
    zero[3].bytes.clear();
    auto shortLast = entries;
    shortLast[7].bytes.resize(shortLast[7].bytes.size() - 196);
    fs::create_directories(base / "broken" / "zero");
    fs::create_directories(base / "broken" / "short");
    writeBytes(base / "broken" / "zero" / "map4LegacyMUL.uop", uoptest::buildContainer({zero}));
    writeBytes(base / "broken" / "short" / "map4LegacyMUL.uop",
               uoptest::buildContainer({shortLast}));
    // Entry 3's slot (one table at 40, slots of 34 bytes after its 12-byte head) damaged three
    // ways: a stored length of 0, zlib flags on bytes stored plainly, unknown flags.
    const std::size_t slot3 = 40 + 12 + 3 * 34;
    for (const auto& [name, at, value, size] :
         {std::tuple{"stored0", slot3 + 12, 0, 4}, std::tuple{"flags1", slot3 + 32, 1, 2},
          std::tuple{"flags3", slot3 + 32, 3, 2}}) {
        uoptest::Bytes container = uoptest::buildContainer({entries});
        uoptest::put(container, at, std::uint64_t(value), size);
        fs::create_directories(base / "broken" / name);
        writeBytes(base / "broken" / name / "map4LegacyMUL.uop", container);
    }

    // A palette picture of the map's size whose pixels all point past its two colours.
    auto bigEndian = [](std::string& out, uLong value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += char(value >> shift);
    };
    auto chunk = [&](std::string& png, const char* type, const std::string& data) {
        const std::string typed = type + data;
        bigEndian(png, uLong(data.size()));
        png += typed;
        bigEndian(png, crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size())));
    };
    std::string header = {0, 0, 5, char(0xA8), 0, 0, 5, char(0xA8), 8, 3, 0, 0, 0}; // 1448 x 1448
    std::string rows;
    for (int y = 0; y < 1448; ++y)
        rows += '\0' + std::string(1448, '\5');
    uLongf packedSize = compressBound(uLong(rows.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()));
    packed.resize(packedSize);
    std::string png = "\x89PNG\r\n\x1A\n";
    chunk(png, "IHDR", header);
    chunk(png, "PLTE", std::string("\x10\x20\x30\x40\x50\x60", 6));
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    std::ofstream(base / "bad-palette.png", std::ios::binary) << png;

    // Statics diff sets: block (3, 5) has records in both, whole in orig/, cut in mod/.
    for (const char* set : {"orig", "mod"}) {
        std::vector<unsigned char> index(std::size_t(tb::kStaIdxBytes), 0xFF);
        const std::size_t at = (3 * 512 + 5) * 12;
        const std::uint32_t length = set == std::string("orig") ? 14 : 8;
        for (int i = 0; i < 4; ++i) {
            index[at + std::size_t(i)] = 0;
            index[at + 4 + std::size_t(i)] = static_cast<unsigned char>(length >> (8 * i));
        }
        fs::create_directories(dir / "diff" / set);
        writeBytes(dir / "diff" / set / "staidx0.mul", index);
        writeBytes(dir / "diff" / set / "statics0.mul", std::vector<unsigned char>(14, 1));
    }
}

// Hard links of every file under `from`, in folders of their own under `to`: runs replace
// files, never write into them, so a run cannot change the fixture behind another's back.
// The one file written in place, a statics file that a save appends to (or a backup that
// becomes one), is copied.
void linkTree(const fs::path& from, const fs::path& to) {
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = to / entry.path().lexically_relative(from);
        if (entry.is_directory())
            fs::create_directories(target);
        else if (entry.path().filename().string().starts_with("statics"))
            fs::copy_file(entry.path(), target);
        else
            fs::create_hard_link(entry.path(), target);
    }
}

std::string describe(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "gone";
    if (S_ISLNK(st.st_mode))
        return "link to " + fs::read_symlink(path).string();
    if (S_ISDIR(st.st_mode))
        return "folder";
    if (!S_ISREG(st.st_mode))
        return "special " + std::to_string(st.st_mode) + " " + std::to_string(st.st_rdev);
    // A large file (the maps) by its identity and times: a replace gives a new inode, and any
    // write in place moves its change time, which no program can set back. Small files by
    // their bytes.
    if (st.st_size > (1 << 20))
        return "file " + std::to_string(st.st_ino) + " of " + std::to_string(st.st_size) +
               " bytes, written " + std::to_string(st.st_mtim.tv_sec) + "." +
               std::to_string(st.st_mtim.tv_nsec) + ", changed " +
               std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec);
    std::string bytes(std::size_t(st.st_size), '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), st.st_size);
    const std::size_t hash = std::hash<std::string>()(bytes);
    return "file of " + std::to_string(st.st_size) + " bytes, hash " + std::to_string(hash);
}

std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
         ++it)
        files[it->path().lexically_relative(dir).string()] = describe(it->path());
    return files;
}

// "{N*c}" in `text` as N times the character c.
std::string expandRuns(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t star = text.find('*', i);
        const std::size_t close = text.find('}', i);
        if (text[i] == '{' && star != std::string::npos && close == star + 2 &&
            text.find_first_not_of("0123456789", i + 1) == star && star > i + 1) {
            out.append(std::stoull(text.substr(i + 1, star - i - 1)), text[star + 1]);
            i = close;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The text of a "text" directive: \n a CR LF line end, \r a lone CR, \l a lone LF, \0 a
// NUL byte, and runs as expandRuns() reads them.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && std::string("nrl0").find(next) != std::string::npos && next) {
            out += next == 'n'   ? "\r\n"
                   : next == 'r' ? "\r"
                   : next == 'l' ? "\n"
                                 : std::string(1, '\0');
            ++i;
        } else {
            out += text[i];
        }
    }
    return expandRuns(out);
}

struct RunSetup {
    bool skipped = false; // a device could not be made here
    rlim_t sizeLimit = RLIM_INFINITY;
    std::vector<std::string> changes;
    std::vector<std::string> removes;
    std::vector<int> sockets;
};

// Carries out the setup directives in `dir`; the parent folders of each path are made.
void prepare(const std::string& directives, const fs::path& dir, const fs::path& fixture,
             RunSetup& setup) {
    if (directives.empty())
        return;
    for (const std::string& directive : split(directives, "; ")) {
        std::istringstream words(directive);
        std::string verb, path, rest;
        words >> verb >> path;
        std::getline(words >> std::ws, rest);
        const fs::path at = dir / path;
        if (verb != "limit" && verb != "diffsets" && verb != "changes" && verb != "remove" &&
            verb != "removes")
            fs::create_directories(at.parent_path());
        if (verb == "fifo") {
            ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0) << directive;
        } else if (verb == "socket") {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const std::string name = at.string();
            ASSERT_LT(name.size(), sizeof address.sun_path) << directive;
            name.copy(address.sun_path, name.size());
            ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            setup.sockets.push_back(s);
        } else if (verb == "device") {
            if (::mknod(at.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                setup.skipped = true;
        } else if (verb == "dir") {
            fs::create_directories(at);
        } else if (verb == "link") {
            fs::create_symlink(rest, at);
        } else if (verb == "hardlink") {
            fs::create_hard_link(dir / rest, at);
        } else if (verb == "copy") {
            fs::copy_file(dir / rest, at);
        } else if (verb == "text") {
            std::ofstream(at, std::ios::binary) << unescape(rest);
        } else if (verb == "zeros") {
            tbtest::writeBytes(at, {});
            fs::resize_file(at, std::stoull(rest));
        } else if (verb == "remove") {
            ASSERT_TRUE(fs::remove(at)) << directive;
        } else if (verb == "diffsets") {
            linkTree(fixture / "diff", dir);
        } else if (verb == "limit") {
            setup.sizeLimit = rlim_t(std::stoull(path));
        } else if (verb == "changes") {
            setup.changes.push_back(path);
        } else if (verb == "removes") {
            setup.removes.push_back(path);
        } else {
            FAIL() << "unknown directive: " << directive;
        }
    }
}

// At most the first 2000 characters of a run's output, for a failure message.
std::string shown(const std::string& output) {
    return output.size() <= 2000
               ? output
               : output.substr(0, 2000) + "... (" + std::to_string(output.size()) + " characters)";
}

struct RunResult {
    int exitCode = -1;
    bool hung = false;
    std::string output; // stderr, then stdout
};

// The words of `arguments`: split at blanks, where '...' is one word (blanks kept, '' empty).
std::vector<std::string> wordsOf(const std::string& arguments) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size();) {
        if (arguments[i] == ' ') {
            ++i;
        } else if (arguments[i] == '\'') {
            const std::size_t close = arguments.find('\'', i + 1);
            words.push_back(arguments.substr(i + 1, close - i - 1));
            i = close == std::string::npos ? arguments.size() : close + 1;
        } else {
            const std::size_t end = std::min(arguments.find(' ', i), arguments.size());
            words.push_back(arguments.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

// tbmap with `arguments` (wordsOf) in `dir`, under `sizeLimit`; killed after 30 s.
RunResult runOnce(const fs::path& dir, const std::string& arguments, rlim_t sizeLimit,
                  const fs::path& outputs) {
    std::vector<std::string> words{clitest::programPath()};
    for (std::string& word : wordsOf(arguments))
        words.push_back(std::move(word));
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const std::string err = (outputs / "err").string(), out = (outputs / "out").string();
    // Spawned rather than forked: a fork copies the whole test process first. The size
    // limit is the test's own for that moment, and the program inherits it.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limit{sizeLimit, before.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::setrlimit(RLIMIT_FSIZE, &before);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot run " + words[0]);
    RunResult run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.output = tbtest::readText(err) + tbtest::readText(out);
    return run;
}

// The runs of `arguments` separated by " && ", in turn while each exits with 0: the last
// one's exit status, and every run's output.
RunResult runIn(const fs::path& dir, const std::string& arguments, rlim_t sizeLimit,
                const fs::path& outputs) {
    RunResult all;
    for (const std::string& one : split(arguments, " && ")) {
        const RunResult run = runOnce(dir, one, sizeLimit, outputs);
        all.exitCode = run.exitCode;
        all.hung = all.hung || run.hung;
        all.output += run.output;
        if (run.exitCode != 0 || run.hung)
            break;
    }
    return all;
}

} // namespace

TEST(HostileInputs, EveryRunOfTheTableFailsCleanlyOrDoesOnlyWhatItSays) {
    const std::vector<Row> rows = readTable(tbtest::sourceDir() / "tests/cli/hostile-inputs.txt");
    ASSERT_GE(rows.size(), 40u);
    tbtest::TempDir fixture;
    makeFixture(fixture.path());
    tbtest::TempDir outputs;
    int skipped = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE("hostile-inputs.txt:" + std::to_string(row.line) + " " + row.name);
        tbtest::TempDir dir;
        linkTree(fixture / "base", dir.path());
        RunSetup setup;
        prepare(row.setup, dir.path(), fixture.path(), setup);
        if (::testing::Test::HasFatalFailure())
            return;
        if (setup.skipped) {
            ++skipped;
            continue;
        }
        auto before = snapshot(dir.path());
        const RunResult run = runIn(dir.path(), row.arguments, setup.sizeLimit, outputs.path());
        for (int s : setup.sockets)
            ::close(s);
        EXPECT_FALSE(run.hung) << "still running after 30 seconds";
        EXPECT_EQ(run.exitCode, row.exitCode) << shown(run.output);
        // Each part of the message is found, or with "!" before it, is not.
        for (const std::string& part : split(row.message, " && ")) {
            const std::string text = expandRuns(part.starts_with('!') ? part.substr(1) : part);
            EXPECT_EQ(run.output.find(text) == std::string::npos, part.starts_with('!'))
                << "\"" << shown(text) << "\" in: " << shown(run.output);
        }
        if (row.exitCode == 1) {
            EXPECT_EQ(run.output.rfind("tbmap: ", 0), 0u) << shown(run.output);
        }
        auto after = snapshot(dir.path());
        for (const std::string& gone : setup.removes) {
            EXPECT_TRUE(before.count(gone) && !after.count(gone)) << gone << " was not removed";
            before.erase(gone);
        }
        for (const std::string& changed : setup.changes) {
            EXPECT_TRUE(after.count(changed) &&
                        (!before.count(changed) || after.at(changed) != before.at(changed)))
                << changed << " was not written";
            after.erase(changed);
        }
        auto expected = before;
        for (const std::string& changed : setup.changes)
            expected.erase(changed);
        EXPECT_EQ(after, expected) << "files changed, appeared or went";
    }
    if (skipped > 0)
        std::cout << "skipped " << skipped << " runs that need a device node (mknod)\n";
}
