#include "ShareTestWorld.h"

#include "TestPaths.h"

#include "core/MapVariant.h"
#include "share/FacetImport.h"
#include "share/ShareErrors.h"
#include "share/ShareSchema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace sharetest {
namespace {

std::string trimmedLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::string serverUri() {
    if (const char* uri = std::getenv("TB_SHARE_URI"))
        return uri;
    const std::string uri = trimmedLine(serverDir() / "uri");
    if (uri.empty())
        throw std::runtime_error("no test server: " + (serverDir() / "uri").string() +
                                 " is missing (ctest starts one with ShareServerStart)");
    return uri;
}

// `uri` as keywords, with another database and, when given, another role.
std::string withDatabase(const std::string& uri, const std::string& database,
                         const std::string& user) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.c_str(), &error);
    if (!options) {
        const std::string why = error ? error : "cannot parse";
        PQfreemem(error);
        throw std::runtime_error(why);
    }
    auto quoted = [](const std::string& v) {
        std::string out = "'";
        for (char c : v) {
            if (c == '\'' || c == '\\')
                out.push_back('\\');
            out.push_back(c);
        }
        return out + "'";
    };
    std::string out;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        std::string key = o->keyword;
        std::string value = o->val ? o->val : "";
        if (key == "dbname")
            value = database;
        if (key == "user" && !user.empty())
            value = user;
        if (!value.empty())
            out += key + "=" + quoted(value) + " ";
    }
    PQconninfoFree(options);
    return out;
}

std::string testName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tbt_" + std::string(info ? info->test_suite_name() : "x") + "_" +
                       (info ? info->name() : "x");
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return std::isalnum(c) ? char(std::tolower(c)) : '_'; });
    return name.substr(0, 63);
}

void run(const std::string& uri, const std::string& sql) {
    tb::ShareConnection c = tb::ShareConnection::open(uri);
    c.execute(sql);
}

} // namespace

fs::path serverDir() {
    if (std::getenv("TB_SHARE_URI"))
        return {};
    if (const char* dir = std::getenv("TB_SHARE_SERVER"))
        return dir;
    return TB_SHARE_SERVER_DIR;
}

int serverScript(const std::string& action) {
    const std::string command = "bash '" + std::string(TB_SHARE_SCRIPT) + "' " + action + " '" +
                                serverDir().string() + "' >/dev/null";
    return tbtest::exitCodeOf(std::system(command.c_str()));
}

int serverTcpPort() {
    if (serverDir().empty())
        return 0;
    // postgresql://tb@127.0.0.1:PORT/world
    const std::string uri = trimmedLine(serverDir() / "tcp-uri");
    const auto colon = uri.rfind(':');
    const auto slash = uri.find('/', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || slash == std::string::npos)
        return 0;
    return std::atoi(uri.substr(colon + 1, slash - colon - 1).c_str());
}

std::string serverPassword() {
    return serverDir().empty() ? std::string() : trimmedLine(serverDir() / "password");
}

TestWorld::TestWorld() : m_name(testName()) {
    const std::string admin = serverUri();
    run(admin, "DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
    run(admin, "CREATE DATABASE " + m_name);
    // The cases test what is committed, not that it survives the machine's end: commits
    // here do not wait for the disk, so thousands of strokes fit the suite's time.
    run(admin, "ALTER DATABASE " + m_name + " SET synchronous_commit = off");
    m_uri = withDatabase(admin, m_name, {});
    tb::ShareConnection c = connect();
    tb::ShareSchema::create(c);
}

TestWorld::~TestWorld() {
    try {
        run(serverUri(), "DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
    } catch (const std::exception&) {
        // The server is gone: the next run drops the database first.
    }
}

std::string TestWorld::uriAs(const std::string& role) const {
    run(m_uri, "DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '" + role +
                   "') THEN CREATE ROLE " + role + " LOGIN; END IF; END $$");
    return withDatabase(m_uri, m_name, role);
}

std::string TestWorld::tcpUri(int port) const {
    if (serverTcpPort() == 0)
        return {};
    return "host=127.0.0.1 port=" + std::to_string(port) + " dbname=" + m_name +
           " user=tb password='" + serverPassword() + "'";
}

std::string TestWorld::query(const std::string& sql) const {
    tb::ShareConnection c = connect();
    tb::PgResult result(PQexec(c.handle(), sql.c_str()));
    c.check(result.get());
    if (PQntuples(result.get()) == 0)
        return {};
    return PQgetvalue(result.get(), 0, 0);
}

FacetFiles makeFacetFiles(unsigned seed) {
    std::mt19937 rng(seed);
    FacetFiles files;
    files.map.resize(std::size_t(kSide / 8) * kBlocksHigh * tb::kBlockSize);
    for (auto& b : files.map)
        b = static_cast<unsigned char>(rng());
    const std::size_t blocks = std::size_t(kSide / 8) * kBlocksHigh;
    files.index.assign(blocks * 12, 0xFF);
    for (std::size_t b = 0; b < blocks; ++b) {
        unsigned char* entry = files.index.data() + b * 12;
        const unsigned kind = rng() % 16;
        if (kind == 0) {
            // An empty entry as some tools write it: -1, 0, 0.
            std::fill(entry + 4, entry + 12, 0);
        } else if (kind <= 2) {
            const std::size_t records = 1 + rng() % 5;
            const std::uint32_t offset = std::uint32_t(files.data.size());
            for (std::size_t r = 0; r < records; ++r) {
                const unsigned char rec[7] = {static_cast<unsigned char>(rng()),
                                              static_cast<unsigned char>(rng() % 0x40),
                                              static_cast<unsigned char>(rng() % 8),
                                              static_cast<unsigned char>(rng() % 8),
                                              static_cast<unsigned char>(rng()),
                                              static_cast<unsigned char>(rng()),
                                              0};
                files.data.insert(files.data.end(), rec, rec + 7);
            }
            const std::uint32_t words[3] = {offset, std::uint32_t(records * 7),
                                            std::uint32_t(rng())};
            for (int w = 0; w < 3; ++w)
                for (int i = 0; i < 4; ++i)
                    entry[w * 4 + i] = static_cast<unsigned char>(words[w] >> (8 * i));
        }
    }
    return files;
}

void writeFacetFiles(const FacetFiles& files, const fs::path& dir) {
    tbtest::writeBytes(dir / "map4.mul", files.map);
    tbtest::writeBytes(dir / "staidx4.mul", files.index);
    tbtest::writeBytes(dir / "statics4.mul", files.data);
}

tb::MapImage mapOf(const FacetFiles& files) {
    return tb::MapImage(files.map,
                        tb::identifyMapVariant("map4.mul", std::int64_t(files.map.size())));
}

tb::StaticsMap staticsOf(const FacetFiles& files) {
    return tb::StaticsMap(files.index, files.data, kSide / 8, kBlocksHigh);
}

void importFacet(const TestWorld& world, const FacetFiles& files) {
    tb::ShareConnection c = world.connect();
    tb::storeFacet(c, kFacet, mapOf(files), staticsOf(files), "map4.mul", false);
}

} // namespace sharetest
