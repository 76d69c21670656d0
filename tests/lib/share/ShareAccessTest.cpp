// Rights, enforced by the server: a read-only role and a role with a region write only where
// they may, and a refused stroke is taken back from the builder's copy whole.
#include "ShareTestWorld.h"
#include "TestPaths.h"

#include "share/ShareAccess.h"
#include "share/ShareErrors.h"
#include "share/ShareSession.h"

#include <gtest/gtest.h>

using namespace tb;
using namespace sharetest;

namespace {

Stroke paint(const FacetCopy& copy, std::vector<CellPoint> cells, MapCell value) {
    Stroke s{newStrokeId(), StrokeMode::BuilderWins, {}, {}};
    for (const CellPoint& c : cells)
        s.cells.push_back({c.x, c.y, copy.map().cell(c.x, c.y), value});
    return s;
}

OpenedShare openAs(const std::string& uri, const tbtest::TempDir& dir) {
    ShareOptions options;
    options.uri = uri;
    options.facet = kFacet;
    options.journalBase = dir.path();
    return ShareSession::open(options);
}

} // namespace

TEST(ShareAccess, RolesWriteOnlyWhereTheyMay) {
    TestWorld world;
    const FacetFiles files = makeFacetFiles(3);
    importFacet(world, files);
    tbtest::TempDir journals;
    const std::string readerUri = world.uriAs("tbt_reader");
    const std::string northUri = world.uriAs("tbt_north");
    {
        ShareConnection owner = world.connect();
        ShareAccess::grant(owner, {"tbt_reader", AccessLevel::Read, kFacet, std::nullopt});
        ShareAccess::grant(owner,
                           {"tbt_north", AccessLevel::Write, kFacet, CellRegion{0, 0, 63, 63}});
        ShareAccess::grant(owner,
                           {"tbt_north", AccessLevel::Write, kFacet, CellRegion{0, 0, 63, 63}});
        EXPECT_THROW(ShareAccess::grant(owner, {"tbt_north", AccessLevel::Write, kFacet,
                                                CellRegion{0, 0, 60, 63}}),
                     std::invalid_argument);
    }
    const MapCell original = mapOf(files).cell(100, 100);

    OpenedShare reader = openAs(readerUri, journals);
    Stroke s = paint(reader.copy, {{100, 100}}, {7, 7});
    applyStroke(s, reader.copy);
    SubmitReport report = reader.session.submit(s, reader.copy);
    EXPECT_EQ(report.outcome, StrokeOutcome::Refused);
    EXPECT_EQ(reader.copy.map().cell(100, 100), original);
    EXPECT_NE(report.refusal.find("tbt_reader may write nowhere: the role may only read facet 4"),
              std::string::npos)
        << report.refusal;

    OpenedShare north = openAs(northUri, journals);
    s = paint(north.copy, {{10, 10}}, {8, 8});
    applyStroke(s, north.copy);
    EXPECT_EQ(north.session.submit(s, north.copy).outcome, StrokeOutcome::Committed);

    // Inside and outside the region at once: all of it is refused.
    s = paint(north.copy, {{11, 10}, {100, 100}}, {9, 9});
    applyStroke(s, north.copy);
    report = north.session.submit(s, north.copy);
    EXPECT_EQ(report.outcome, StrokeOutcome::Refused);
    EXPECT_NE(report.refusal.find("tbt_north may write cells 0,0 to 63,63 of facet 4"),
              std::string::npos)
        << report.refusal;
    EXPECT_EQ(north.copy.map().cell(100, 100), original);
    EXPECT_EQ(north.copy.map().cell(11, 10), mapOf(files).cell(11, 10));
    EXPECT_EQ(north.session.waitingCount(), 0u);

    ShareConnection owner = world.connect();
    const FacetSnapshot stored = loadFacet(owner, kFacet);
    EXPECT_EQ(stored.copy.map().cell(10, 10), (MapCell{8, 8}));
    EXPECT_EQ(stored.copy.map().cell(11, 10), mapOf(files).cell(11, 10));
    EXPECT_EQ(stored.copy.map().cell(100, 100), original);
    EXPECT_EQ(world.query("SELECT count(*) FROM tb.change"), "1");

    // A role without any right does not even see the facet.
    ShareOptions stranger;
    stranger.uri = world.uriAs("tbt_stranger");
    stranger.facet = kFacet;
    stranger.journalBase = journals.path();
    EXPECT_THROW(ShareSession::open(stranger), ShareError);
}

// A write region that is neither square nor at the origin, beside a read right on the whole
// facet: the server tells columns from rows and a read right from a write right.
TEST(ShareAccess, AWriteRegionBesideAReadRightOnTheWholeFacet) {
    TestWorld world;
    const FacetFiles files = makeFacetFiles(5);
    importFacet(world, files);
    tbtest::TempDir journals;
    const std::string bandUri = world.uriAs("tbt_band");
    {
        ShareConnection owner = world.connect();
        ShareAccess::grant(owner, {"tbt_band", AccessLevel::Read, kFacet, std::nullopt});
        ShareAccess::grant(owner,
                           {"tbt_band", AccessLevel::Write, kFacet, CellRegion{0, 64, 63, 127}});
    }
    OpenedShare band = openAs(bandUri, journals);
    Stroke inside = paint(band.copy, {{10, 100}, {63, 64}}, {5, 5});
    applyStroke(inside, band.copy);
    EXPECT_EQ(band.session.submit(inside, band.copy).outcome, StrokeOutcome::Committed);
    // (100, 10) lies in the region with its bounds swapped; (10, 10) and (64, 100) beside it.
    for (const CellPoint outside :
         {CellPoint{100, 10}, CellPoint{10, 10}, CellPoint{64, 100}, CellPoint{10, 128}}) {
        SCOPED_TRACE(std::to_string(outside.x) + ", " + std::to_string(outside.y));
        Stroke s = paint(band.copy, {outside}, {6, 6});
        applyStroke(s, band.copy);
        const SubmitReport report = band.session.submit(s, band.copy);
        EXPECT_EQ(report.outcome, StrokeOutcome::Refused);
        EXPECT_NE(report.refusal.find("tbt_band may write cells 0,64 to 63,127 of facet 4"),
                  std::string::npos)
            << report.refusal;
        EXPECT_EQ(band.copy.map().cell(outside.x, outside.y),
                  mapOf(files).cell(outside.x, outside.y));
    }
    ShareConnection owner = world.connect();
    const FacetSnapshot stored = loadFacet(owner, kFacet);
    EXPECT_EQ(stored.copy.map().cell(10, 100), (MapCell{5, 5}));
    EXPECT_EQ(stored.copy.map().cell(63, 64), (MapCell{5, 5}));
    for (const CellPoint outside : {CellPoint{100, 10}, CellPoint{10, 10}, CellPoint{64, 100}})
        EXPECT_EQ(stored.copy.map().cell(outside.x, outside.y),
                  mapOf(files).cell(outside.x, outside.y));
}
