// tbmap share, run as the built program against the test server: import, export, the
// refusal to overwrite a facet, and files that come back byte for byte.
#include "ShareTestWorld.h"
#include "TestPaths.h"

#include "core/MapImage.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using namespace sharetest;

namespace {

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome tbmap(const tbtest::TempDir& dir, const std::string& words) {
#ifdef TB_TBMAP_PATH
    const fs::path program = TB_TBMAP_PATH;
#else
    const fs::path program = tbtest::binDir() / "tbmap";
#endif
    const std::string command = "'" + program.string() + "' " + words + " >'" +
                                (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() +
                                "' </dev/null";
    const int status = std::system(command.c_str());
    return {tbtest::exitCodeOf(status), tbtest::readText(dir / "out.txt"),
            tbtest::readText(dir / "err.txt")};
}

std::string q(const std::string& text) {
    return "'" + text + "'";
}

} // namespace

TEST(ShareCommands, ExportAfterImportGivesTheSameFiles) {
    TestWorld world;
    tbtest::TempDir scratch;
    const fs::path in = scratch / "in";
    const fs::path out = scratch / "out";
    const fs::path uop = scratch / "uop";
    fs::create_directories(in);
    const FacetFiles files = makeFacetFiles(11);
    writeFacetFiles(files, in);
    const std::string db = " --db " + q(world.uri());

    Outcome r = tbmap(scratch, "share init" + db);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "The database holds the shared world's tables already.\n");
    r = tbmap(scratch, "share import " + q(in.string()) + db + " --facet 4");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Facet 4 imported from map4.mul: 32761 land blocks"), std::string::npos)
        << r.out;

    r = tbmap(scratch, "share export" + db + " --facet 4 " + q(out.string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(tbtest::readBytes(out / "map4.mul"), files.map);
    EXPECT_EQ(tbtest::readBytes(out / "staidx4.mul"), files.index);
    EXPECT_EQ(tbtest::readBytes(out / "statics4.mul"), files.data);

    // A facet that is there is not overwritten by mistake.
    r = tbmap(scratch, "share import " + q(in.string()) + db + " --facet 4");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "tbmap: The shared world holds facet 4 already. Give --replace to overwrite it.\n");

    // The container form, through the database and back.
    r = tbmap(scratch, "share export" + db + " --facet 4 " + q(uop.string()) + " --uop");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto container = tbtest::readBytes(uop / "map4LegacyMUL.uop");
    EXPECT_EQ(tb::MapImage::load(uop / "map4LegacyMUL.uop").bytes(), files.map);
    r = tbmap(scratch, "share import " + q(uop.string()) + db + " --facet 4 --replace");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Facet 4 replaced from map4LegacyMUL.uop"), std::string::npos) << r.out;
    fs::remove_all(uop);
    r = tbmap(scratch, "share export" + db + " --facet 4 " + q(uop.string()) + " --uop");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(tbtest::readBytes(uop / "map4LegacyMUL.uop"), container);
    EXPECT_EQ(tbtest::readBytes(uop / "statics4.mul"), files.data);

    r = tbmap(scratch, "share export --facet 4 " + q(out.string()));
    EXPECT_EQ(r.exitCode, 2);

    // A right given says what it gives.
    world.uriAs("tbt_granted");
    r = tbmap(scratch, "share grant" + db + " tbt_granted write --facet 4 --rect 0 64 63 127");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "tbt_granted may now write cells 0,64 to 63,127 of facet 4.\n");
    r = tbmap(scratch, "share grant" + db + " tbt_granted read");
    EXPECT_EQ(r.out, "tbt_granted may now read every facet.\n") << r.err;
}

TEST(ShareCommands, AContainerOfAnotherToolComesOutAsItsMap) {
    const fs::path real = tbtest::realDataDir() / "uop";
    if (tbtest::realDataDir().empty())
        GTEST_SKIP() << "no real client files beside the project";
    TestWorld world;
    tbtest::TempDir scratch;
    fs::create_directories(scratch / "in");
    fs::copy_file(real / "map4LegacyMUL.uop", scratch / "in" / "map4LegacyMUL.uop");
    const std::string db = " --db " + q(world.uri());
    Outcome r = tbmap(scratch, "share import " + q((scratch / "in").string()) + db + " --facet 4");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("(no statics pair in the folder)"), std::string::npos) << r.out;
    r = tbmap(scratch, "share export" + db + " --facet 4 " + q((scratch / "out").string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(tbtest::readBytes(scratch / "out" / "map4.mul"),
              tbtest::readBytes(real / "map4.mul"));
}
