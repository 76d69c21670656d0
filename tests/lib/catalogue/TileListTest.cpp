#include "catalogue/TileList.h"
#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tb;
using Groups = std::vector<TileNamed>;

namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
    tbtest::writeBytes(path, {text.begin(), text.end()});
}

std::string fileText(const std::filesystem::path& path) {
    const auto bytes = tbtest::readBytes(path);
    return {bytes.begin(), bytes.end()};
}

Groups readFrom(const std::string& xml) {
    tbtest::TempDir dir;
    writeText(dir / "tilelist.xml", xml);
    return readTileList(dir / "tilelist.xml");
}

} // namespace

namespace tb {
void PrintTo(const TileNamed& group, std::ostream* os) {
    *os << "{\"" << group.tileName << "\":";
    for (const auto& id : group.tileIds)
        *os << " \"" << id << "\"";
    *os << "}";
}
} // namespace tb

TEST(TileList, ReadsGroupsInFileOrder) {
    const Groups groups = readFrom("<?xml version=\"1.0\" ?>\r\n<TileList>\r\n"
                                   "  <Tile id=\"0\">\r\n    <Name id=\"0\">Random grass</Name>\r\n"
                                   "    <TileId id=\"0\">$0003</TileId>\r\n"
                                   "    <TileId id=\"1\">  $0245  </TileId>\r\n"
                                   "    <TileId id=\"2\"></TileId>\r\n"
                                   "    <TileId id=\"3\"> \t </TileId>\r\n  </Tile>\r\n"
                                   "  <Tile id=\"1\">\r\n    <Name id=\"1\">Random grass</Name>\r\n"
                                   "    <TileId id=\"0\">$0004</TileId>\r\n  </Tile>\r\n"
                                   "</TileList>\r\n");
    EXPECT_EQ(groups, (Groups{{"Random grass", {"$0003", "$0245"}}, {"Random grass", {"$0004"}}}));
}

TEST(TileList, KeepsTheWorkingNameAndDropsStrayIds) {
    // The second group has no Name; ids before and after the groups are dropped; an
    // empty-element Tile and other elements yield nothing; names are case-sensitive.
    const Groups groups = readFrom("<Root><TileId>$0001</TileId>"
                                   "<Tile><Name>Sand</Name><TileId>$0016</TileId></Tile>"
                                   "<Tile><TileId>$0017</TileId><tileid>$0099</tileid></Tile>"
                                   "<Tile/><Other><Name>Cave</Name></Other><TileId>$0002</TileId>"
                                   "<Tile><TileId>$0244</TileId><![CDATA[x]]></Tile>"
                                   "<TileId>$0005</TileId></Root>");
    // Text after an end tag carries that tag's name, so the CDATA after </TileId> is an id.
    EXPECT_EQ(groups, (Groups{{"Sand", {"$0016"}}, {"Sand", {"$0017"}}, {"Cave", {"$0244", "x"}}}));
    // The first group without a name has an empty one; CDATA counts as text.
    EXPECT_EQ(readFrom("<Tile><TileId><![CDATA[$0003]]></TileId></Tile>"),
              (Groups{{"", {"$0003"}}}));
    // A truncated file gives the groups completed before the cut.
    EXPECT_EQ(readFrom("<TileList><Tile><Name>A</Name><TileId>1</TileId></Tile><Tile><Name>B"),
              (Groups{{"A", {"1"}}}));
}

TEST(TileList, MissingFileGivesNoGroups) {
    tbtest::TempDir dir;
    EXPECT_TRUE(readTileList(dir / "tilelist.xml").empty());
    EXPECT_TRUE(readTileList(dir.path()).empty());
}

TEST(TileList, WritesTheExactLines) {
    tbtest::TempDir dir;
    const auto path = dir / "tilelist.xml";
    writeTileList(path, {{"Random grass", "$0003,$0004"}, {"Cave", "$0245,$0246,"}, {"None", ""}});
    EXPECT_EQ(fileText(path), "<?xml version=\"1.0\" ?>\r\n"
                              "<TileList>\r\n"
                              "  <Tile id=\"0\">\r\n"
                              "    <Name id=\"0\">Random grass</Name>\r\n"
                              "    <TileId id=\"0\">$0003</TileId>\r\n"
                              "    <TileId id=\"1\">$0004</TileId>\r\n"
                              "  </Tile>\r\n"
                              "  <Tile id=\"1\">\r\n"
                              "    <Name id=\"1\">Cave</Name>\r\n"
                              "    <TileId id=\"0\">$0245</TileId>\r\n"
                              "    <TileId id=\"1\">$0246</TileId>\r\n"
                              "    <TileId id=\"2\"></TileId>\r\n"
                              "  </Tile>\r\n"
                              "  <Tile id=\"2\">\r\n"
                              "    <Name id=\"2\">None</Name>\r\n"
                              "    <TileId id=\"0\"></TileId>\r\n"
                              "  </Tile>\r\n"
                              "</TileList>\r\n");
    writeTileList(path, {});
    EXPECT_EQ(fileText(path), "<?xml version=\"1.0\" ?>\r\n<TileList>\r\n</TileList>\r\n");
}

TEST(TileList, AnyWindows1252NameSurvivesAWriteAndARead) {
    tbtest::TempDir dir;
    const auto path = dir / "tilelist.xml";
    writeTileList(path, {{"Sand & <stones> > 1", "$0016,&7<"},
                         {"Caf\u00E9 \u20AC\u00FF", "$0003"},
                         {"  &amp; spaced  ", "$0001"},
                         {"Omega \u03A9", "$0002"}});
    const std::string text = fileText(path);
    EXPECT_NE(text.find("<Name id=\"0\">Sand &amp; &lt;stones&gt; &gt; 1</Name>"),
              std::string::npos);
    EXPECT_NE(text.find("Caf\xC3\xA9 \xE2\x82\xAC\xC3\xBF"), std::string::npos); // UTF-8
    EXPECT_EQ(readTileList(path),
              (Groups{{"Sand & <stones> > 1", {"$0016", "&7<"}},
                      {"Caf\u00E9 \u20AC\u00FF", {"$0003"}},
                      {"&amp; spaced", {"$0001"}},    // the reader trims white space
                      {"Omega \u00BF", {"$0002"}}})); // not in the code page
}

TEST(TileList, FailedWriteKeepsTheOldFile) {
    tbtest::TempDir dir;
    EXPECT_THROW(writeTileList(dir / "no-such-folder" / "tilelist.xml", {{"A", "1"}}), FileError);
    // The target is a folder: the rename fails and the folder stays.
    std::filesystem::create_directory(dir / "taken");
    writeText(dir / "taken" / "keep", "x");
    EXPECT_THROW(writeTileList(dir / "taken", {{"A", "1"}}), FileError);
    EXPECT_EQ(fileText(dir / "taken" / "keep"), "x");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1); // no temporary left behind
}
