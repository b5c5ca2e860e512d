// The walk through a scenery file's airport index: what each written file
// yields (airports, problems) is in tests/data/bgl/walker.txt.

#include <gtest/gtest.h>

#include <random>

#include "bgl/BglWalker.h"
#include "demo/DemoSimulator.h"
#include "scenerywriter/BglWriter.h"
#include "support/Golden.h"

namespace scopewatch {
namespace {

using scenery::BglAirport;
using scenery::Bytes;

BglAirport Airport(const std::string& name, double latitude) {
    return {name, "K" + name.substr(0, 3), latitude, -100.0, 0.0, {}, {}, {}, {}, {}, {}};
}

SceneryScanResult Scan(const Bytes& bytes, std::vector<AirportRecord>& list) {
    return ScanSceneryFile(FileBuffer(bytes), MagVarGrid{}, list);
}

// A file with one facility block per airport, whose index is given by the
// caller.
struct Fixture {
    scenery::BglFile file;
    std::vector<int32_t> blocks;

    explicit Fixture(const std::vector<BglAirport>& airports) {
        for (const BglAirport& airport : airports) {
            blocks.push_back(
                file.Append(scenery::FacilityBlock(scenery::FacilityRecords(airport))));
        }
    }
    Bytes Entry(const std::string& name, size_t block) const {
        return scenery::IndexEntry(name, blocks[block]);
    }
};

// Scans the file into a list holding one record already, and describes what the
// walk added (name, ICAO, latitude) and where it stopped.
void Walk(std::string& text, const std::string& heading, const Bytes& bytes) {
    std::vector<AirportRecord> list(1);
    const SceneryScanResult result = Scan(bytes, list);
    text += "# " + heading + ": " + std::to_string(result.airportsFound) + " found, " +
            (result.complete() ? "complete" : result.problem->Describe()) + "\n";
    for (size_t i = 1; i < list.size(); ++i) {
        text += list[i].name + " " + list[i].icaoId + " " + std::to_string(list[i].latitude) + "\n";
    }
}

// Airports of both index sections are appended in file order. Only sections of
// format 1 that start with a group are walked. The first section's chain holds
// empty groups and entries of other kinds; the second section holds records of
// id 1 between its chains and goes on after each chain's end. A cut inside the
// index, a negative record length (which would loop for ever) and a taxi list
// longer than its record stop the walk, keep what was stored and name the
// record.
TEST(BglWalker, EveryFileYieldsTheAirportsOfItsGoldenDescription) {
    std::string text;
    const Bytes good = scenery::BuildAirportBgl(
        {Airport("Alpha", 10), Airport("Bravo", 20), Airport("Charlie", 30), Airport("Delta", 40),
         Airport("Echo", 50)},
        {2, 3});
    Walk(text, "both sections", good);

    Fixture sections({Airport("Alpha", 10)});
    const Bytes chain =
        scenery::Concat({scenery::IndexGroup({sections.Entry("Alpha", 0)}), scenery::EndRecord()});
    const int32_t plain = sections.file.Append(chain);
    const int32_t led =
        sections.file.Append(scenery::Concat({scenery::BglRecord(0x30003, Bytes(8, 0)), chain}));
    for (const auto& [section, format] : {std::pair{plain, 1}, {plain, 2}, {led, 1}}) {
        sections.file.SetFirstSection(section);
        sections.file.SetSectionFormat(format);
        Walk(text, "format " + std::to_string(format) + (section == led ? ", led by a record" : ""),
             sections.file.bytes());
    }

    Fixture fixture({Airport("Alpha", 10), Airport("Bravo", 20), Airport("Charlie", 30)});
    const int32_t bad =
        fixture.file.Append(scenery::FacilityBlock({scenery::IcaoBytes("KBAD")}, 1, 2));
    fixture.file.SetFirstSection(fixture.file.Append(scenery::Concat(
        {scenery::IndexGroup({}),
         scenery::IndexGroup({
             scenery::IndexEntry("Other id", fixture.blocks[0], bgl::kAirportEntryKind, 0x30005),
             scenery::IndexEntry("Other kind", fixture.blocks[0], 0x50002),
             scenery::IndexEntry("No block", 0),
             scenery::IndexEntry("Bad block", bad),
             fixture.Entry("Alpha", 0),
         }),
         scenery::IndexGroup({}), scenery::IndexGroup({fixture.Entry("Bravo", 1)}),
         scenery::EndRecord()})));
    const Bytes skipped = scenery::BglRecord(1, Bytes(12, 0));
    fixture.file.SetSecondSection(fixture.file.Append(
        scenery::Concat({skipped, skipped, scenery::IndexGroup({fixture.Entry("Alpha", 0)}),
                         scenery::IndexGroup({fixture.Entry("Bravo", 1)}), skipped,
                         scenery::IndexGroup({fixture.Entry("Charlie", 2)}), scenery::EndRecord(),
                         scenery::IndexGroup({fixture.Entry("Never", 0)})})));
    Walk(text, "empty groups, other entries, records of id 1", fixture.file.bytes());

    const auto index =
        static_cast<size_t>(FileBuffer(good).reader().Int32At(bgl::kFirstSectionOffset));
    // Inside the second entry of the group (entries of 24 bytes from +24).
    Walk(text, "cut in the index",
         Bytes(good.begin(), good.begin() + static_cast<long>(index) + 58));
    Bytes negative = good;
    negative[index + 4 + 3] = 0xFF;  // the first group's length
    Walk(text, "a negative group length", negative);
    BglAirport taxied = Airport("Alpha", 10);
    taxied.taxiPoints = {{1, 1}, {2, 2}};
    Bytes overlong = scenery::BuildAirportBgl({taxied});
    // The taxi data record follows the header and ICAO records of the first
    // block.
    const size_t taxi = scenery::BglFile::kHeaderSize + 16 + 32 + 16;
    ASSERT_EQ(FileBuffer(overlong).reader().Int32At(taxi), bgl::kTaxiData);
    overlong[taxi + 8 + 3] = 0x40;  // a count of a billion items
    Walk(text, "a taxi list longer than its record", overlong);
    testing::ExpectTextMatchesGolden(text, "bgl/walker.txt",
                                     "the airports (and problem) the walk finds in each file");
}

// Truncations and byte flips of a rich file never read outside the buffer (run
// under the address sanitizer) and never hang.
TEST(BglWalker, DamagedFilesNeverReadOutOfBounds) {
    std::mt19937 random(20021);
    for (const size_t fileIndex : {0, 1}) {  // first section only; both sections
        const demo::DemoSceneryFile& sceneryFile = demo::DemoSceneryFiles()[fileIndex];
        const Bytes rich = scenery::BuildAirportBgl(sceneryFile.airports, sceneryFile.layout);
        for (int round = 0; round < 300; ++round) {
            Bytes damaged = rich;
            if (round < 100) {
                damaged.resize(random() % rich.size());
            } else {
                for (int flips = 1 + static_cast<int>(random() % 8); flips > 0; --flips) {
                    damaged[random() % damaged.size()] ^=
                        static_cast<uint8_t>(1U << (random() % 8));
                }
            }
            std::vector<AirportRecord> list;
            const SceneryScanResult result = Scan(damaged, list);
            EXPECT_TRUE(result.complete() || !result.problem->what.empty());
        }
    }
}

}  // namespace
}  // namespace scopewatch
