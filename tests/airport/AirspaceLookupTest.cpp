#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "airport/AirspaceLookup.h"
#include "builder/FileBuffer.h"
#include "platform/FileSystem.h"
#include "scenerywriter/AirspaceWriter.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using scenery::BglAirspace;
using scenery::BoundaryStep;
using scenery::BuildAirspaceBgl;
using scenery::Bytes;

constexpr double kLat = 36.5;
constexpr double kLon = -97.0;

BglAirspace Circle(int32_t radius, int32_t lowerFt, int32_t upperFt) {
    return scenery::CircleAirspace(kLat, kLon, radius, lowerFt, upperFt);
}

BglAirspace Boxed(double south, double west, double north, double east) {
    BglAirspace airspace = Circle(5, 0, 2500);
    airspace.box = scenery::BglBox{south, west, north, east};
    return airspace;
}

class AirspaceLookupTest : public ::testing::Test {
  protected:
    AirspaceLookupTest() {
        airport.latitude = kLat;
        airport.longitude = kLon;
        airport.altitudeFt = 1200;
    }

    void WriteFile(const std::string& name, const Bytes& bytes) {
        dir.Write("Scenery/AFD/" + name, bytes);
    }

    std::vector<AirspaceFileProblem> Find(const std::string& folder = "scenery\\afd") {
        FileBuffer buffer;
        const AirspaceScanProgress progress{[this](int count) { fileCount = count; },
                                            [this] { ++filesDone; }};
        return FindAirspaces(FileSystem(dir.path()), folder, {airport, grid}, buffer, found,
                             progress);
    }

    testing::TempDir dir;
    AirportRecord airport;
    MagVarGrid grid;
    std::vector<AirspaceRecord> found;
    int fileCount = -1;
    int filesDone = 0;
};

TEST_F(AirspaceLookupTest, BoundingBoxMustContainTheAirportStrictly) {
    WriteFile("a.bgl", BuildAirspaceBgl({Boxed(kLat, kLon - 1, kLat + 1, kLon + 1),
                                         Boxed(kLat - 1, kLon - 1, kLat + 1, kLon),
                                         Boxed(kLat - 0.5, kLon - 0.5, kLat + 0.5, kLon + 0.5),
                                         Boxed(kLat + 1, kLon - 1, kLat + 2, kLon + 1)}));
    EXPECT_TRUE(Find().empty());
    ASSERT_EQ(found.size(), 1U);
    // The reference point lies half-way down the box's diagonal.
    EXPECT_NEAR(found[0].latitude, kLat, 0.02);
    EXPECT_NEAR(found[0].longitude, kLon, 0.02);
    EXPECT_EQ(fileCount, 1);
    EXPECT_EQ(filesDone, 1);
}

TEST_F(AirspaceLookupTest, EachAcceptedBoxOfARecordStartsAnAirspace) {
    BglAirspace first = Circle(5, 0, 2500);
    first.shortNames = {"ABCD"};
    BglAirspace outside = Boxed(kLat + 1, kLon - 1, kLat + 2, kLon + 1);
    outside.shortNames = {"NOPE"};
    BglAirspace second = Circle(10, 2500, 4000);
    second.shortNames = {"EFGH"};
    scenery::BglFile file;
    file.SetSecondSection(file.Append(
        scenery::Concat({scenery::AirspaceGroupBytes(
                             {scenery::SharedAirspaceRecordBytes({first, outside, second})}),
                         scenery::EndRecord()})));
    WriteFile("shared.bgl", file.Take());
    EXPECT_TRUE(Find().empty());
    ASSERT_EQ(found.size(), 2U);
    // A box that is not taken leaves the airspace before it current.
    EXPECT_EQ(found[0].shortName, "ABCD  NOPE");
    EXPECT_EQ(found[1].shortName, "EFGH");
    EXPECT_EQ(found[1].points.size(), second.boundary.size());
}

TEST_F(AirspaceLookupTest, ClassificationByLimitsAndNames) {
    BglAirspace centre = Circle(200, 18000, 60000);
    centre.fullName = "KANSAS CITY CENTER";
    centre.frequenciesMhz = {127.5};
    WriteFile("classes.bgl", BuildAirspaceBgl({Circle(5, 0, 2500), Circle(10, 0, 4000),
                                               Circle(20, 0, 4001), Circle(20, 2501, 2000), centre},
                                              2));
    Find();
    std::vector<std::string> types;
    for (const AirspaceRecord& airspace : found) {
        types.push_back(airspace.typeName);
    }
    EXPECT_EQ(types,
              (std::vector<std::string>{"Airspace Class D", "Airspace Class C", "Airspace Class B",
                                        "Airspace Class C", "ARTCC/FIR"}));
}

TEST_F(AirspaceLookupTest, NamesFrequenciesAndBoundary) {
    BglAirspace airspace;
    airspace.shortNames = {"ELD", "B"};
    airspace.frequenciesMhz = {118.5, 124.35};
    airspace.fullName = "ELDORADO";
    airspace.lowerFt = 3000;
    airspace.upperFt = 9000;
    airspace.boundary = {{BoundaryStep::Centre, kLat, kLon, 0},
                         {BoundaryStep::Move, kLat + 0.25, kLon, 0},
                         {BoundaryStep::Skipped, 0, 0, 0},
                         {BoundaryStep::ClockwiseArc, kLat, kLon + 0.3, 0},
                         {BoundaryStep::Line, kLat - 0.25, kLon + 0.3, 0},
                         {BoundaryStep::CounterClockwiseArc, kLat - 0.25, kLon, 0},
                         {BoundaryStep::Circle, 0, 0, 7}};
    BglAirspace early = Circle(5, 0, 2000);
    early.shortNames = {"EARLY"};
    early.namesBeforeBox = true;  // passed over: the airspace is not taken yet
    WriteFile("one.bgl", BuildAirspaceBgl({airspace, early}));
    Find();
    ASSERT_EQ(found.size(), 2U);
    const AirspaceRecord& a = found[0];
    EXPECT_EQ(a.shortName, "ELD  B");
    EXPECT_EQ(a.frequencyText, "118.5 Mhz  124.35 Mhz  ");
    EXPECT_EQ(a.fullName, "ELDORADO");
    EXPECT_EQ(a.floorFt, 3000);
    EXPECT_EQ(a.ceilingFt, 9000);
    EXPECT_EQ(a.points, (std::vector<AirspacePoint>{{kCentre, kLat, kLon, 0},
                                                    {kMoveTo, kLat + 0.25, kLon, 0},
                                                    {kClockwiseArc, kLat, kLon + 0.3, 0},
                                                    {kLineTo, kLat - 0.25, kLon + 0.3, 0},
                                                    {kCounterClockwiseArc, kLat - 0.25, kLon, 0},
                                                    {kCircle, 0.0, 0.0, 7}}));
    EXPECT_EQ(found[1].shortName, "");
}

TEST_F(AirspaceLookupTest, GeneratedTraconAndASecondLookup) {
    WriteFile("near.bgl", BuildAirspaceBgl({Circle(5, 0, 2500)}));
    airport.departureFreq = "119.1";
    airport.approachFreq = "124.3";
    Find();
    ASSERT_EQ(found.size(), 2U);
    const AirspaceRecord& tracon = found[1];
    EXPECT_EQ(tracon.typeName, "TRACON (Departure/Approach)");
    EXPECT_EQ(tracon.frequencyText, "119.1 Mhz  124.3 Mhz  ");
    EXPECT_EQ(tracon.floorFt, 1200);
    EXPECT_EQ(tracon.ceilingFt, 11200);
    EXPECT_EQ(tracon.points,
              (std::vector<AirspacePoint>{{kCentre, kLat, kLon, 0}, {kCircle, 0.0, 0.0, 20}}));
    airport.departureFreq.clear();
    EXPECT_EQ(GeneratedTracon(airport)->frequencyText, "124.3 Mhz  ");
    // Found by fuzzing: an elevation near the largest value, from a damaged database, made
    // the ceiling overflow. It stops at the largest value instead.
    airport.altitudeFt = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(GeneratedTracon(airport)->ceilingFt, std::numeric_limits<int32_t>::max());
    airport.altitudeFt = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(GeneratedTracon(airport)->ceilingFt, std::numeric_limits<int32_t>::min() + 10000);

    // Another airport elsewhere, without frequencies: nothing of the first stays.
    airport = AirportRecord{};
    airport.latitude = -33.0;
    Find();
    EXPECT_TRUE(found.empty());
}

TEST_F(AirspaceLookupTest, FilesWithoutMarkerFormatOrChainAddNothing) {
    Bytes noMarker = BuildAirspaceBgl({Circle(5, 0, 2500)});
    Bytes format2 = noMarker;
    Bytes noChain = noMarker;
    noMarker[118] = 0x22;
    format2[144] = 2;
    std::fill(noChain.begin() + 164, noChain.begin() + 168, 0);
    WriteFile("a.bgl", noMarker);
    WriteFile("b.bgl", format2);
    WriteFile("c.bgl", noChain);
    WriteFile("d.bgl", Bytes(50, 0x21));
    WriteFile("e.txt", BuildAirspaceBgl({Circle(5, 0, 2500)}));
    EXPECT_TRUE(Find().empty());
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(filesDone, 4);
    // Without a facility data folder nothing is listed, not even the working directory's.
    dir.Write("root.bgl", BuildAirspaceBgl({Circle(5, 0, 2500)}));
    Find("");
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(fileCount, 0);
}

// Other records in the chains (b.bgl) are passed over.
TEST_F(AirspaceLookupTest, DamagedFilesStopAtTheBadRecordAndKeepTheEarlierOnes) {
    Bytes damaged = BuildAirspaceBgl({Circle(5, 0, 2500), Circle(6, 0, 2500)}, 1);
    damaged.resize(damaged.size() - 40);  // cuts into the second airspace
    WriteFile("a.bgl", damaged);
    const Bytes skipped = scenery::BglRecord(1, Bytes{7, 0, 0, 0, 0, 0, 0, 0});
    const Bytes index = scenery::BglRecord(0x30001, Bytes(12, 0));
    const Bytes group = scenery::AirspaceGroupBytes(
        {skipped, index, scenery::AirspaceRecordBytes(Circle(7, 0, 2500))});
    scenery::BglFile mixed;
    mixed.SetSecondSection(
        mixed.Append(scenery::Concat({index, skipped, group, scenery::EndRecord()})));
    WriteFile("b.bgl", mixed.Take());
    scenery::BglFile looping;
    looping.SetSecondSection(looping.Append({1, 0, 0, 0, 0xF8, 0xFF, 0xFF, 0xFF}));  // size -8
    WriteFile("c.bgl", looping.Take());
    const auto problems = Find();
    ASSERT_EQ(problems.size(), 2U);
    EXPECT_EQ(problems[0].file, "scenery\\afd\\a.bgl");
    EXPECT_EQ(problems[0].recordId, 1);
    EXPECT_GT(problems[0].recordOffset, 176);
    EXPECT_EQ(problems[1].recordOffset, 176);
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].points[1].radius, 5);
    EXPECT_EQ(found[1].points[1].radius, 7);
}

// A frequency word with a digit above 9 is no frequency and adds no text; the full name
// still counts.
TEST_F(AirspaceLookupTest, AWordThatIsNoFrequencyAddsNoText) {
    BglAirspace airspace = Circle(5, 0, 9000);
    airspace.frequenciesMhz = {118.5, 124.35};
    airspace.fullName = "ELDORADO";
    Bytes bytes = BuildAirspaceBgl({airspace});
    // 0x01243500 (124.35) becomes 0x0124A500.
    const Bytes word = {0x00, 0x35, 0x24, 0x01};
    const auto at = std::search(bytes.begin(), bytes.end(), word.begin(), word.end());
    ASSERT_NE(at, bytes.end());
    at[1] = 0xA5;
    WriteFile("one.bgl", bytes);
    Find();
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found[0].frequencyText, "118.5 Mhz  ");
    EXPECT_EQ(found[0].fullName, "ELDORADO");
    EXPECT_EQ(found[0].typeName, "ARTCC/FIR");
}

// Found by fuzzing: a frequency name record whose length word is the smallest value made the
// name's length overflow. The name reads empty, and the record's negative size stops the walk.
TEST_F(AirspaceLookupTest, AFrequencyNameOfTheSmallestLengthStopsTheWalk) {
    BglAirspace center = Circle(5, 0, 2500);
    center.fullName = "Center";
    center.frequenciesMhz = {127.45};
    Bytes file = BuildAirspaceBgl({center});
    const Bytes frequencyName = {0x01, 0x00, 0x02, 0x00};
    const auto at =
        std::search(file.begin(), file.end(), frequencyName.begin(), frequencyName.end()) + 4;
    ASSERT_LT(at, file.end());
    std::copy_n(Bytes{0x00, 0x00, 0x00, 0x80}.begin(), 4, at);
    const auto problem = ExamineAirspaceFile(FileBuffer(file), {airport, grid}, found);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->what, "record size -2147483648 is negative");
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace scopewatch
