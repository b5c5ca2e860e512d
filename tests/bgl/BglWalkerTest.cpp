#include <gtest/gtest.h>

#include <random>

#include "bgl/BglWalker.h"
#include "demo/DemoSimulator.h"
#include "scenerywriter/BglWriter.h"

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

std::vector<std::string> Names(const std::vector<AirportRecord>& list) {
    std::vector<std::string> names;
    for (const AirportRecord& airport : list) {
        names.push_back(airport.name);
    }
    return names;
}

// A file with one facility block per airport, whose index is given by the caller.
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

// Airports of both index sections are appended in file order to what the list held.
TEST(BglWalker, FindsAirportsOfBothSectionsInFileOrder) {
    std::vector<AirportRecord> list(1);
    const SceneryScanResult result =
        Scan(scenery::BuildAirportBgl(
                 {Airport("Alpha", 10), Airport("Bravo", 20), Airport("Charlie", 30),
                  Airport("Delta", 40), Airport("Echo", 50)},
                 {2, 3}),
             list);
    EXPECT_TRUE(result.complete()) << result.problem->Describe();
    EXPECT_EQ(result.airportsFound, 5);
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{"", "Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
    EXPECT_EQ(list[4].icaoId, "KDEL");
    EXPECT_NEAR(list[4].latitude, 40.0, 1e-5);
}

// A section of format other than 1, or one that does not start with a group, adds nothing.
TEST(BglWalker, OnlySectionsOfFormatOneStartingWithAGroupAreWalked) {
    Fixture fixture({Airport("Alpha", 10)});
    const Bytes chain =
        scenery::Concat({scenery::IndexGroup({fixture.Entry("Alpha", 0)}), scenery::EndRecord()});
    const int32_t plain = fixture.file.Append(chain);
    const int32_t led =
        fixture.file.Append(scenery::Concat({scenery::BglRecord(0x30003, Bytes(8, 0)), chain}));
    std::vector<AirportRecord> list;
    for (const auto& [section, format, found] :
         {std::tuple{plain, 1, 1}, std::tuple{plain, 2, 0}, std::tuple{led, 1, 0}}) {
        fixture.file.SetFirstSection(section);
        fixture.file.SetSectionFormat(format);
        const SceneryScanResult result = Scan(fixture.file.bytes(), list);
        EXPECT_TRUE(result.complete());
        EXPECT_EQ(result.airportsFound, found) << section << " format " << format;
    }
    EXPECT_EQ(list.size(), 1U);
}

// The first section's chain holds empty groups and entries of other kinds; the second section
// holds records of id 1 between its chains and goes on after each chain's end.
TEST(BglWalker, PassesOverEmptyGroupsOtherEntriesAndRecordsOfIdOne) {
    Fixture fixture({Airport("Alpha", 10), Airport("Bravo", 20), Airport("Charlie", 30)});
    const int32_t bad =
        fixture.file.Append(scenery::FacilityBlock({scenery::IcaoBytes("KBAD")}, 1, 2));
    const Bytes chain = scenery::Concat(
        {scenery::IndexGroup({}),
         scenery::IndexGroup({
             scenery::IndexEntry("Other id", fixture.blocks[0], bgl::kAirportEntryKind, 0x30005),
             scenery::IndexEntry("Other kind", fixture.blocks[0], 0x50002),
             scenery::IndexEntry("No block", 0),
             scenery::IndexEntry("Bad block", bad),
             fixture.Entry("Alpha", 0),
         }),
         scenery::IndexGroup({}), scenery::IndexGroup({fixture.Entry("Bravo", 1)}),
         scenery::EndRecord()});
    fixture.file.SetFirstSection(fixture.file.Append(chain));
    const Bytes skipped = scenery::BglRecord(1, Bytes(12, 0));
    fixture.file.SetSecondSection(fixture.file.Append(
        scenery::Concat({skipped, skipped, scenery::IndexGroup({fixture.Entry("Alpha", 0)}),
                         scenery::IndexGroup({fixture.Entry("Bravo", 1)}), skipped,
                         scenery::IndexGroup({fixture.Entry("Charlie", 2)}), scenery::EndRecord(),
                         scenery::IndexGroup({fixture.Entry("Never", 0)})})));
    std::vector<AirportRecord> list;
    const SceneryScanResult result = Scan(fixture.file.bytes(), list);
    EXPECT_TRUE(result.complete()) << result.problem->Describe();
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{"Alpha", "Bravo", "Alpha", "Bravo", "Charlie"}));
}

// A cut inside the index, a negative record length (which would loop for ever) and a taxi
// list longer than its record each stop the walk, keep what was stored and name the record.
TEST(BglWalker, MalformedFileStopsAndSaysWhere) {
    const auto expectStop = [](const Bytes& bytes, int found, const std::string& where) {
        std::vector<AirportRecord> list;
        const SceneryScanResult result = Scan(bytes, list);
        EXPECT_EQ(result.airportsFound, found);
        const std::string problem = result.problem ? result.problem->Describe() : "";
        EXPECT_NE(problem.find(where), std::string::npos) << problem;
        return list;
    };
    const Bytes good = scenery::BuildAirportBgl({Airport("Alpha", 10), Airport("Bravo", 20)});
    const auto index = static_cast<size_t>(FileBuffer(good).ReadInt32(bgl::kFirstSectionOffset));
    // Inside the second entry of the group (entries of 24 bytes from +24).
    expectStop(Bytes(good.begin(), good.begin() + static_cast<long>(index) + 58), 1,
               "record 0x30002 at offset");
    Bytes negative = good;
    negative[index + 4 + 3] = 0xFF;  // the first group's length
    expectStop(negative, 0, "negative");

    BglAirport airport = Airport("Alpha", 10);
    airport.taxiPoints = {{1, 1}, {2, 2}};
    Bytes bytes = scenery::BuildAirportBgl({airport});
    // The taxi data record follows the header and ICAO records of the first block.
    const size_t taxi = scenery::BglFile::kHeaderSize + 16 + 32 + 16;
    ASSERT_EQ(FileBuffer(bytes).ReadInt32(static_cast<int64_t>(taxi)), bgl::kTaxiData);
    bytes[taxi + 8 + 3] = 0x40;  // a count of a billion items
    EXPECT_EQ(expectStop(bytes, 1, "record 0x11001").at(0).icaoId, "KALP");
}

// Truncations and byte flips of a rich file never read outside the buffer (run under the
// address sanitizer) and never hang.
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
