// The airspaces around an airport read from the facility data folder's BGL files: what each
// written file yields (airspaces, problems and file counts) is in
// tests/data/airport/airspace-lookup.txt.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "airport/AirspaceLookup.h"
#include "bgl/FileBuffer.h"
#include "platform/FileSystem.h"
#include "scenerywriter/AirspaceWriter.h"
#include "shared/NumberText.h"
#include "support/Golden.h"
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

// One line per airspace: type, names, frequencies, limits, reference point and boundary.
std::string Describe(const AirspaceRecord& a) {
    std::string text = a.typeName + " '" + a.shortName + "' '" + a.fullName + "' '" +
                       a.frequencyText + "' " + std::to_string(a.floorFt) + "-" +
                       std::to_string(a.ceilingFt) + " ft at " + FixedNumberText(a.latitude, 3) +
                       "," + FixedNumberText(a.longitude, 3) + ":";
    for (const AirspacePoint& point : a.points) {
        text += " " + std::to_string(point.kind) + "(" + FixedNumberText(point.latitude, 3) + "," +
                FixedNumberText(point.longitude, 3) + "," + std::to_string(point.radius) + ")";
    }
    return text + "\n";
}

// An airport at 36.5 N 97 W, 1200 ft, and the facility data folder Scenery/AFD.
class AirspaceLookupTest : public ::testing::Test {
  protected:
    AirspaceLookupTest() {
        airport.latitude = kLat;
        airport.longitude = kLon;
        airport.altitudeFt = 1200;
    }

    // Writes the files into a fresh folder, looks for the airspaces and describes what was
    // found under the heading.
    void Look(const std::string& heading, const std::vector<std::pair<std::string, Bytes>>& files,
              const std::string& folder = "scenery\\afd") {
        std::filesystem::remove_all(dir / "Scenery");
        for (const auto& [name, bytes] : files) {
            dir.Write("Scenery/AFD/" + name, bytes);
        }
        FileBuffer buffer;
        int fileCount = -1;
        int filesDone = 0;
        const AirspaceScanProgress progress{[&](int count) { fileCount = count; },
                                            [&] { ++filesDone; }};
        std::vector<AirspaceRecord> found(2);  // an earlier airport's, replaced
        const auto problems =
            FindAirspaces(FileSystem(dir.path()), folder, {airport, grid}, buffer, found, progress);
        text += "# " + heading + ": " + std::to_string(filesDone) + " of " +
                std::to_string(fileCount) + " files\n";
        for (const AirspaceRecord& airspace : found) {
            text += Describe(airspace);
        }
        for (const BglProblem& problem : problems) {
            text += "problem in " + problem.file + ": " + problem.Describe() + "\n";
        }
    }

    testing::TempDir dir;
    AirportRecord airport;
    MagVarGrid grid;
    std::string text;
};

// Only a box strictly containing the airport is taken, its reference point half-way down the
// box's diagonal; each accepted box of a shared record starts an airspace, and one not taken
// leaves the airspace before it current (its names go to that one). The type follows names
// and limits: D up to 2500 ft, C up to 4000, B above, ARTCC/FIR with a full name and a
// frequency. Names, frequencies, limits and every kind of boundary step are read (a skipped
// step left out); names before the box are passed over. The airport's own TRACON follows: 20 nm
// from the field elevation up 10000 ft with its frequencies. Files without the marker, of
// another section format, without a chain, too short or not named .bgl add nothing; without a
// facility data folder nothing is listed. A damaged file stops at the bad record keeping the
// airspaces before it; other records in the chains are passed over, one of negative size stops
// the walk. A frequency word with a digit above 9 adds no text.
TEST_F(AirspaceLookupTest, EveryFileYieldsTheAirspacesOfItsGoldenDescription) {
    Look("boxes",
         {{"a.bgl", BuildAirspaceBgl({Boxed(kLat, kLon - 1, kLat + 1, kLon + 1),
                                      Boxed(kLat - 1, kLon - 1, kLat + 1, kLon),
                                      Boxed(kLat - 0.5, kLon - 0.5, kLat + 0.5, kLon + 0.5),
                                      Boxed(kLat + 1, kLon - 1, kLat + 2, kLon + 1)})}});
    scenery::BglFile shared;
    shared.SetSecondSection(shared.Append(scenery::Concat(
        {scenery::AirspaceGroupBytes({scenery::SharedAirspaceRecordBytes(
             {Circle(5, 0, 2500, {"ABCD"}), Boxed(kLat + 1, kLon - 1, kLat + 2, kLon + 1, {"NOPE"}),
              Circle(10, 2500, 4000, {"EFGH"})})}),
         scenery::EndRecord()})));
    Look("a shared record", {{"a.bgl", shared.Take()}});

    BglAirspace centre = Circle(200, 18000, 60000);
    centre.fullName = "KANSAS CITY CENTER";
    centre.frequenciesMhz = {127.5};
    const BglAirspace steps{{"ELD", "B"},
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
    airport.departureFreq = "119.1";
    airport.approachFreq = "124.3";
    Look("classes, fields and steps",
         {{"classes.bgl", BuildAirspaceBgl({Circle(5, 0, 2500), Circle(10, 0, 4000),
                                            Circle(20, 0, 4001), Circle(20, 2501, 2000), centre},
                                           2)},
          {"fields.bgl", BuildAirspaceBgl({steps, early})}});
    airport.departureFreq.clear();
    airport.approachFreq.clear();

    const Bytes good = BuildAirspaceBgl({Circle(5, 0, 2500)});
    Bytes noMarker = good;
    Bytes format2 = good;
    Bytes noChain = good;
    noMarker[118] = 0x22;
    format2[144] = 2;
    std::fill(noChain.begin() + 164, noChain.begin() + 168, 0);
    Look("files that are not airspace files", {{"a.bgl", noMarker},
                                               {"b.bgl", format2},
                                               {"c.bgl", noChain},
                                               {"d.bgl", Bytes(50, 0x21)},
                                               {"e.txt", good}});
    dir.Write("root.bgl", good);
    Look("no facility data folder", {}, "");

    Bytes damaged = BuildAirspaceBgl({Circle(5, 0, 2500), Circle(6, 0, 2500)}, 1);
    damaged.resize(damaged.size() - 40);  // cuts into the second airspace
    const Bytes skipped = scenery::BglRecord(1, Bytes{7, 0, 0, 0, 0, 0, 0, 0});
    const Bytes index = scenery::BglRecord(0x30001, Bytes(12, 0));
    scenery::BglFile mixed;
    mixed.SetSecondSection(mixed.Append(
        scenery::Concat({index, skipped,
                         scenery::AirspaceGroupBytes(
                             {skipped, index, scenery::AirspaceRecordBytes(Circle(7, 0, 2500))}),
                         scenery::EndRecord()})));
    scenery::BglFile looping;
    looping.SetSecondSection(looping.Append({1, 0, 0, 0, 0xF8, 0xFF, 0xFF, 0xFF}));  // size -8
    Look("damaged files", {{"a.bgl", damaged}, {"b.bgl", mixed.Take()}, {"c.bgl", looping.Take()}});

    BglAirspace frequencies = Circle(5, 0, 9000);
    frequencies.frequenciesMhz = {118.5, 124.35};
    frequencies.fullName = "ELDORADO";
    Bytes badDigit = BuildAirspaceBgl({frequencies});
    const Bytes word{0x00, 0x35, 0x24, 0x01};  // 0x01243500 (124.35) becomes 0x0124A500
    *(std::search(badDigit.begin(), badDigit.end(), word.begin(), word.end()) + 1) = 0xA5;
    Look("a frequency with a digit above 9", {{"one.bgl", badDigit}});
    testing::ExpectTextMatchesGolden(text, "airport/airspace-lookup.txt",
                                     "the airspaces (and problems) the lookup finds in each file");
}

// Found by fuzzing: an elevation near the largest value, from a damaged database, made the
// TRACON's ceiling overflow; it stops at the largest value instead. A frequency name record
// whose length word is the smallest value made the name's length overflow: the name reads
// empty, and the record's negative size stops the walk.
TEST_F(AirspaceLookupTest, ExtremeElevationsAndNameLengthsDoNotOverflow) {
    airport.approachFreq = "124.3";
    airport.altitudeFt = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(GeneratedTracon(airport)->ceilingFt, std::numeric_limits<int32_t>::max());
    airport.altitudeFt = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(GeneratedTracon(airport)->ceilingFt, std::numeric_limits<int32_t>::min() + 10000);

    BglAirspace named = Circle(5, 0, 9000);
    named.frequenciesMhz = {118.5};
    named.fullName = "ELDORADO";
    Bytes bytes = BuildAirspaceBgl({named});
    const Bytes nameRecord{0x01, 0x00, 0x02, 0x00};
    const auto at = std::search(bytes.begin(), bytes.end(), nameRecord.begin(), nameRecord.end());
    std::copy_n(Bytes{0x00, 0x00, 0x00, 0x80}.begin(), 4, at + 4);
    std::vector<AirspaceRecord> found;
    const auto problem = ExamineAirspaceFile(FileBuffer(bytes), {airport, grid}, found);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->what, "record size -2147483648 is negative");
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace scopewatch
