// The hostile-input table (hostile-inputs.txt): tbmap run as a careless user or an attacker
// would, each run in a folder of its own that is compared file by file before and after.
// A new command gets the same treatment by a few more lines in the table.
#include "RunTbmap.h"

#include "../app/testsupport/TestWorld.h"
#include "StaticsFixtures.h"
#include "UopFixtures.h"

#include "core/MapConvert.h"
#include "diff/DiffFormat.h"

#include "TestPaths.h"

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
    std::ofstream(base / "p.qvp", std::ios::binary) << "[0]\r\nX=1\r\nY=2\r\nZ=3\r\n";

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
void linkTree(const fs::path& from, const fs::path& to) {
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = to / entry.path().lexically_relative(from);
        if (entry.is_directory())
            fs::create_directories(target);
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

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct RunSetup {
    bool skipped = false; // a device could not be made here
    rlim_t sizeLimit = RLIM_INFINITY;
    std::vector<std::string> changes;
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
        if (verb != "limit" && verb != "diffsets" && verb != "changes" && verb != "remove")
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
        } else {
            FAIL() << "unknown directive: " << directive;
        }
    }
}

struct RunResult {
    int exitCode = -1;
    bool hung = false;
    std::string output; // stderr, then stdout
};

// tbmap with `arguments` (split at blanks) in `dir`, under `sizeLimit`; killed after 30 s.
RunResult runIn(const fs::path& dir, const std::string& arguments, rlim_t sizeLimit,
                const fs::path& outputs) {
    std::vector<std::string> words{clitest::programPath()};
    std::istringstream in(arguments);
    for (std::string word; in >> word;)
        words.push_back(word);
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
        const auto before = snapshot(dir.path());
        const RunResult run = runIn(dir.path(), row.arguments, setup.sizeLimit, outputs.path());
        for (int s : setup.sockets)
            ::close(s);
        EXPECT_FALSE(run.hung) << "still running after 30 seconds";
        EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
        EXPECT_NE(run.output.find(row.message), std::string::npos) << run.output;
        if (row.exitCode == 1) {
            EXPECT_EQ(run.output.rfind("tbmap: ", 0), 0u) << run.output;
        }
        auto after = snapshot(dir.path());
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
