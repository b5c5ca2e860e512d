#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "airport/AirspaceLookup.h"
#include "bgl/FileBuffer.h"
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

BglAirspace Circle(int32_t radius, int32_t lowerFt, int32_t upperFt,
                   const std::vector<std::string>& shortNames = {}) {
    BglAirspace airspace = scenery::CircleAirspace(kLat, kLon, radius, lowerFt, upperFt);
    airspace.shortNames = shortNames;
    return airspace;
}

BglAirspace Boxed(double south, double west, double north, double east,
                  const std::vector<std::string>& shortNames = {}) {
    BglAirspace airspace = Circle(5, 0, 2500, shortNames);
    airspace.box = scenery::BglBox{south, west, north, east};
    return airspace;
}

// An airport at 36.5 N 97 W, 1200 ft, and the facility data folder Scenery/AFD.
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

    std::vector<BglProblem> Find(const std::string& folder = "scenery\\afd") {
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

// Only a box strictly containing the airport is taken; its reference point lies half-way down
// the box's diagonal. Each accepted box of a shared record starts an airspace; one that is not
// taken leaves the airspace before it current (its names go to that one).
TEST_F(AirspaceLookupTest,
       BoundingBoxMustContainTheAirportStrictlyEachAcceptedOneStartsAnAirspace) {
    WriteFile("a.bgl", BuildAirspaceBgl({Boxed(kLat, kLon - 1, kLat + 1, kLon + 1),
                                         Boxed(kLat - 1, kLon - 1, kLat + 1, kLon),
                                         Boxed(kLat - 0.5, kLon - 0.5, kLat + 0.5, kLon + 0.5),
                                         Boxed(kLat + 1, kLon - 1, kLat + 2, kLon + 1)}));
    EXPECT_TRUE(Find().empty());
    ASSERT_EQ(found.size(), 1U);
    EXPECT_NEAR(found[0].latitude, kLat, 0.02);
    EXPECT_NEAR(found[0].longitude, kLon, 0.02);
    EXPECT_EQ(std::pair(fileCount, filesDone), std::pair(1, 1));

    const BglAirspace second = Circle(10, 2500, 4000, {"EFGH"});
    scenery::BglFile file;
    file.SetSecondSection(file.Append(
        scenery::Concat({scenery::AirspaceGroupBytes({scenery::SharedAirspaceRecordBytes(
                             {Circle(5, 0, 2500, {"ABCD"}),
                              Boxed(kLat + 1, kLon - 1, kLat + 2, kLon + 1, {"NOPE"}), second})}),
                         scenery::EndRecord()})));
    WriteFile("a.bgl", file.Take());
    found.clear();
    EXPECT_TRUE(Find().empty());
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].shortName, "ABCD  NOPE");
    EXPECT_EQ(found[1].shortName, "EFGH");
    EXPECT_EQ(found[1].points.size(), second.boundary.size());
}

// Class D up to 2500 ft, C up to 4000, B above; with a full name and a frequency ARTCC/FIR.
// Names, frequencies, limits and every kind of boundary step are read (a skipped step left
// out); names before the box are passed over.
TEST_F(AirspaceLookupTest, ClassificationNamesFrequenciesAndBoundary) {
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

    BglAirspace airspace{{"ELD", "B"},
                         {118.5, 124.35},
                         "ELDORADO",
                         3000,
                         9000,
                         std::nullopt,
                         {{BoundaryStep::Centre, kLat, kLon, 0},
                          {BoundaryStep::Move, kLat + 0.25, kLon, 0},
                          {BoundaryStep::Skipped, 0, 0, 0},
                          {BoundaryStep::ClockwiseArc, kLat, kLon + 0.3, 0},
                          {BoundaryStep::Line, kLat - 0.25, kLon + 0.3, 0},
                          {BoundaryStep::CounterClockwiseArc, kLat - 0.25, kLon, 0},
                          {BoundaryStep::Circle, 0, 0, 7}},
                         false};
    BglAirspace early = Circle(5, 0, 2000, {"EARLY"});
    early.namesBeforeBox = true;
    WriteFile("classes.bgl", BuildAirspaceBgl({airspace, early}));
    found.clear();
    Find();
    ASSERT_EQ(found.size(), 2U);
    const AirspaceRecord& a = found[0];
    EXPECT_EQ(std::tuple(a.shortName, a.frequencyText, a.fullName, a.floorFt, a.ceilingFt),
              std::tuple("ELD  B", "118.5 Mhz  124.35 Mhz  ", "ELDORADO", 3000, 9000));
    EXPECT_EQ(a.points, (std::vector<AirspacePoint>{{kCentre, kLat, kLon, 0},
                                                    {kMoveTo, kLat + 0.25, kLon, 0},
                                                    {kClockwiseArc, kLat, kLon + 0.3, 0},
                                                    {kLineTo, kLat - 0.25, kLon + 0.3, 0},
                                                    {kCounterClockwiseArc, kLat - 0.25, kLon, 0},
                                                    {kCircle, 0.0, 0.0, 7}}));
    EXPECT_EQ(found[1].shortName, "");
}

// The airport's own TRACON follows the found airspaces: 20 nm from the field elevation up
// 10000 ft with the departure and approach frequencies. A second lookup for another airport
// without frequencies keeps nothing of the first.
TEST_F(AirspaceLookupTest, GeneratedTraconAndASecondLookup) {
    WriteFile("near.bgl", BuildAirspaceBgl({Circle(5, 0, 2500)}));
    airport.departureFreq = "119.1";
    airport.approachFreq = "124.3";
    Find();
    ASSERT_EQ(found.size(), 2U);
    const AirspaceRecord& tracon = found[1];
    EXPECT_EQ(std::tuple(tracon.typeName, tracon.frequencyText, tracon.floorFt, tracon.ceilingFt),
              std::tuple("TRACON (Departure/Approach)", "119.1 Mhz  124.3 Mhz  ", 1200, 11200));
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

    airport = AirportRecord{};
    airport.latitude = -33.0;
    Find();
    EXPECT_TRUE(found.empty());
}

// Files without the marker, of another section format, without a chain, too short or not
// named .bgl add nothing; without a facility data folder nothing is listed, not even the
// working directory's files.
TEST_F(AirspaceLookupTest, FilesWithoutMarkerFormatOrChainAddNothing) {
    const Bytes good = BuildAirspaceBgl({Circle(5, 0, 2500)});
    Bytes noMarker = good;
    Bytes format2 = good;
    Bytes noChain = good;
    noMarker[118] = 0x22;
    format2[144] = 2;
    std::fill(noChain.begin() + 164, noChain.begin() + 168, 0);
    WriteFile("a.bgl", noMarker);
    WriteFile("b.bgl", format2);
    WriteFile("c.bgl", noChain);
    WriteFile("d.bgl", Bytes(50, 0x21));
    WriteFile("e.txt", good);
    EXPECT_TRUE(Find().empty());
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(filesDone, 4);
    dir.Write("root.bgl", good);
    Find("");
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(fileCount, 0);
}

// A damaged file stops at the bad record, keeping the airspaces before it; other records in
// the chains (b.bgl) are passed over; a record of negative size (c.bgl) stops the walk.
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

// A frequency word with a digit above 9 is no frequency and adds no text; the full name still
// counts. Found by fuzzing: a frequency name record whose length word is the smallest value
// made the name's length overflow; the name reads empty, and the record's negative size stops
// the walk.
TEST_F(AirspaceLookupTest, BadFrequencyWordsAddNoTextAndTheSmallestNameLengthStopsTheWalk) {
    BglAirspace airspace = Circle(5, 0, 9000);
    airspace.frequenciesMhz = {118.5, 124.35};
    airspace.fullName = "ELDORADO";
    const auto patched = [&](const Bytes& word, size_t at, const Bytes& patch) {
        Bytes bytes = BuildAirspaceBgl({airspace});
        const auto where = std::search(bytes.begin(), bytes.end(), word.begin(), word.end());
        EXPECT_LT(where + static_cast<long>(at), bytes.end());
        std::copy(patch.begin(), patch.end(), where + static_cast<long>(at));
        return bytes;
    };
    // 0x01243500 (124.35) becomes 0x0124A500.
    WriteFile("one.bgl", patched({0x00, 0x35, 0x24, 0x01}, 1, {0xA5}));
    EXPECT_TRUE(Find().empty());
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(std::tuple(found[0].frequencyText, found[0].fullName, found[0].typeName),
              std::tuple("118.5 Mhz  ", "ELDORADO", "ARTCC/FIR"));

    found.clear();
    const auto problem = ExamineAirspaceFile(
        FileBuffer(patched({0x01, 0x00, 0x02, 0x00}, 4, {0x00, 0x00, 0x00, 0x80})), {airport, grid},
        found);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->what, "record size -2147483648 is negative");
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace scopewatch
