#pragma once
// The server the shared world's tests run against, a fresh database per test, and the
// facet they share: facet 4 (Tokuno, 1448 x 1448 cells, the smallest known map) with random
// cells and a statics pair laid out as the client's files are.

#include "core/MapImage.h"
#include "core/StaticsMap.h"
#include "share/ShareConnection.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sharetest {

inline constexpr int kFacet = 4;
inline constexpr int kSide = 1448;
inline constexpr int kBlocksHigh = 181;

// The folder of the server the ctest fixture started; empty when TB_SHARE_URI names
// another server.
std::filesystem::path serverDir();
// Runs scripts/share-server.sh with `action` (start or stop) on serverDir(); its exit code.
int serverScript(const std::string& action);
// The server's TCP port on 127.0.0.1 and its superuser's password; 0 and empty when the
// script did not start it.
int serverTcpPort();
std::string serverPassword();

// A database of its own for the running test, with the shared world's tables, dropped at
// the end. Connections go through the server's Unix socket.
class TestWorld {
public:
    TestWorld();
    ~TestWorld();
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // The database as its owner (the server's superuser).
    const std::string& uri() const { return m_uri; }
    // The database as login role `role`, made when missing, without any right.
    std::string uriAs(const std::string& role) const;
    // The database as its owner over TCP to 127.0.0.1:`port` (a proxy in the way), with the
    // password; empty when the server was not started by the script (TB_SHARE_URI).
    std::string tcpUri(int port) const;
    tb::ShareConnection connect() const { return tb::ShareConnection::open(m_uri); }
    // Runs `sql` as the owner; the first column of the first row as text ("" for none).
    std::string query(const std::string& sql) const;

private:
    std::string m_name;
    std::string m_uri;
};

// The files of the test facet.
struct FacetFiles {
    std::vector<unsigned char> map;   // map4.mul
    std::vector<unsigned char> index; // staidx4.mul
    std::vector<unsigned char> data;  // statics4.mul
};
// Random cells; statics on about one block in eight, every index entry's third word set,
// and empty entries of both kinds the files hold (-1 -1 -1 and -1 0 0).
FacetFiles makeFacetFiles(unsigned seed);
void writeFacetFiles(const FacetFiles& files, const std::filesystem::path& dir);
// The files as a map and statics in memory.
tb::MapImage mapOf(const FacetFiles& files);
tb::StaticsMap staticsOf(const FacetFiles& files);

// Imports the files as facet 4 of `world`.
void importFacet(const TestWorld& world, const FacetFiles& files);

} // namespace sharetest
