// The airspaces around an airport read from the facility data folder's BGL files, kept in
// tests/data/airport/airspace-files/ (a folder of hex files per case, each named after the file
// it becomes): what each case's files yield (airspaces, problems and file counts) is in
// tests/data/airport/airspace-lookup.txt.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "airport/AirspaceLookup.h"
#include "bgl/FileBuffer.h"
#include "platform/FileSystem.h"
#include "shared/NumberText.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// The cases in the order of the golden text; case n's files are in
// airport/airspace-files/<testing::CaseDataName(n, heading)>/.
const std::vector<std::string> kHeadings = {"boxes",
                                            "a shared record",
                                            "classes, fields and steps",
                                            "files that are not airspace files",
                                            "no facility data folder",
                                            "damaged files",
                                            "a frequency with a digit above 9"};

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
        airport.latitude = 36.5;
        airport.longitude = -97.0;
        airport.altitudeFt = 1200;
    }

    // Writes case n's files into a fresh facility data folder (into the scenery folder itself
    // for the case without one), looks for the airspaces and describes what was found under
    // the heading. The airport has departure and approach frequencies in the case of classes.
    void Look(size_t number, const std::string& heading) {
        const bool noFolder = heading == "no facility data folder";
        const bool classes = heading == "classes, fields and steps";
        airport.departureFreq = classes ? "119.1" : "";
        airport.approachFreq = classes ? "124.3" : "";
        std::filesystem::remove_all(dir / "Scenery");
        const std::string files =
            "airport/airspace-files/" + testing::CaseDataName(number, heading);
        for (const std::string& file : testing::GoldenFilesIn(files)) {
            const std::string name = std::filesystem::path(file).stem().string();  // without .hex
            dir.Write((noFolder ? "" : "Scenery/AFD/") + name, testing::ReadGoldenBytes(file));
        }
        FileBuffer buffer;
        int fileCount = -1;
        int filesDone = 0;
        const AirspaceScanProgress progress{[&](int count) { fileCount = count; },
                                            [&] { ++filesDone; }};
        std::vector<AirspaceRecord> found(2);  // an earlier airport's, replaced
        const auto problems = FindAirspaces(FileSystem(dir.path()), noFolder ? "" : "scenery\\afd",
                                            {airport, grid}, buffer, found, progress);
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
    for (size_t i = 0; i < kHeadings.size(); ++i) {
        Look(i + 1, kHeadings[i]);
    }
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

    const auto bytes = testing::ReadGoldenBytes("airport/smallest-name-length.bgl.hex");
    std::vector<AirspaceRecord> found;
    const auto problem = ExamineAirspaceFile(FileBuffer(bytes), {airport, grid}, found);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->what, "record size -2147483648 is negative");
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace scopewatch
