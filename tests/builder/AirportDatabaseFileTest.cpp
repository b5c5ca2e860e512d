#include <gtest/gtest.h>

#include "builder/AirportDatabaseFile.h"
#include "platform/ByteWriter.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

AirportRecord RichAirport() {
    AirportRecord airport;
    airport.name = "Eldorado Intl \xE9";  // Windows-1252 e-acute kept as a byte
    airport.icaoId = "KELD";
    airport.latitude = 33.221111;
    airport.longitude = -92.813333;
    airport.altitudeFt = 277;
    airport.towerFreq = "118.300";
    airport.atisFreq = "127.750";
    airport.runways = {{"04", "22", 33.2, -92.8, 33.23, -92.79, 277, 41, -139, 6601, 150},
                       {"13", "31", 33.21, -92.82, 33.22, -92.80, 270, 128, 308, 5200, 100}};
    airport.ilsList = {{"IELD", 33.2, -92.8, 41, "110.30"}};
    airport.taxiPoints = {{7, 33.2201, -92.8101}, {0x10002, 33.2202, -92.8102}};
    airport.parkings = {{"GATE A 1", 33.2203, -92.8103, 280}};
    airport.taxiSegments = {{kTaxiToTaxi, 0, 1, "A"}, {kTaxiToParking, 1, 0, "B"}};
    return airport;
}

std::vector<uint8_t> RecordBytes(const AirportRecord& airport) {
    ByteWriter writer;
    WriteAirportRecord(writer, airport);
    return writer.Take();
}

uint16_t Word16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t Word32(const std::vector<uint8_t>& bytes, size_t at) {
    return Word16(bytes, at) | (static_cast<uint32_t>(Word16(bytes, at + 2)) << 16);
}

TEST(AirportDatabaseFileTest, EmptyRecordsHaveTheirFixedSizesAndAreAllZero) {
    const std::vector<uint8_t> airport = RecordBytes(AirportRecord{});
    EXPECT_EQ(airport, std::vector<uint8_t>(68, 0));

    // One runway: the list holds it and an empty element of 52 bytes.
    AirportRecord withRunway;
    withRunway.runways.push_back({"09", "27", 1, 2, 3, 4, 5, 6, 7, 8, 9});
    const size_t runwayBytes = RecordBytes(withRunway).size() - 68;
    EXPECT_EQ(runwayBytes, 4u + 4u + 56u + 52u);  // dims is counted in the 68 already

    AirportRecord withIls;
    withIls.ilsList.push_back(IlsRecord{});
    EXPECT_EQ(RecordBytes(withIls).size() - 68, 4u + 4u + 22u + 22u);
}

TEST(AirportDatabaseFileTest, TwoRunwaysGiveThreeListElementsAndAbsentTaxiLists) {
    AirportRecord airport;
    airport.name = "A";
    airport.runways = RichAirport().runways;
    const std::vector<uint8_t> bytes = RecordBytes(airport);
    // name (2+1), icao 2, two doubles, altitude, seven empty frequencies.
    const size_t runwayList = 3 + 2 + 16 + 4 + 14;
    EXPECT_EQ(Word16(bytes, runwayList), 1);
    EXPECT_EQ(Word32(bytes, runwayList + 2), 3u);
    EXPECT_EQ(Word32(bytes, runwayList + 6), 0u);
    const size_t afterList = bytes.size() - (4 + 6 + 6 + 6 + 6);
    EXPECT_EQ(Word32(bytes, afterList), 2u);  // runwayCount
    // ILS and the three taxi lists: absent (dims 0) with count 0.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + static_cast<long>(afterList) + 4, bytes.end()),
              std::vector<uint8_t>(24, 0));
    // The third runway element is empty: the last 52 bytes before runwayCount are zero.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + static_cast<long>(afterList) - 52,
                                   bytes.begin() + static_cast<long>(afterList)),
              std::vector<uint8_t>(52, 0));
}

TEST(AirportDatabaseFileTest, RoundTripKeepsEveryFieldAndAddsTheEmptyLastRecord) {
    const std::vector<AirportRecord> airports = {RichAirport(), AirportRecord{}, RichAirport()};
    const std::vector<uint8_t> bytes = EncodeAirportDatabase(airports);
    const AirportDatabaseContent read = DecodeAirportDatabase(bytes, 3);
    ASSERT_EQ(read.records.size(), 4u);
    EXPECT_EQ(read.recordsRead, 4);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.records[0], RichAirport());
    EXPECT_EQ(read.records[2], RichAirport());
    EXPECT_EQ(read.records[3], AirportRecord{});
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 68, bytes.end()), std::vector<uint8_t>(68, 0));
}

TEST(AirportDatabaseFileTest, NoAirportsWriteNoBytesAndANewFileReplacesALongerOne) {
    EXPECT_TRUE(EncodeAirportDatabase({}).empty());

    testing::TempDir dir;
    const auto file = dir / "world_airports.dat";
    ASSERT_FALSE(WriteAirportDatabase(file, {RichAirport(), RichAirport()}));
    ASSERT_FALSE(WriteAirportDatabase(file, {RichAirport()}));
    EXPECT_EQ(testing::ReadBytes(file), EncodeAirportDatabase({RichAirport()}));
    const AirportDatabaseContent read = ReadAirportDatabase(file, 1);
    EXPECT_EQ(read.records[0], RichAirport());
    EXPECT_TRUE(read.fileFound);
}

TEST(AirportDatabaseFileTest, AShortFileLeavesTheMissingRecordsEmpty) {
    const std::vector<uint8_t> bytes = EncodeAirportDatabase({RichAirport()});
    const AirportDatabaseContent read = DecodeAirportDatabase(bytes, 4);
    ASSERT_EQ(read.records.size(), 5u);
    EXPECT_EQ(read.recordsRead, 2);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.records[0], RichAirport());
    EXPECT_EQ(read.records[4], AirportRecord{});
}

TEST(AirportDatabaseFileTest, ALengthRunningPastTheEndStopsThereAndSaysWhere) {
    std::vector<uint8_t> bytes = EncodeAirportDatabase({RichAirport(), RichAirport()});
    const size_t second = RecordBytes(RichAirport()).size();
    bytes[second] = 0xFF;  // the second name's length now runs far past the end
    bytes[second + 1] = 0xFF;
    const AirportDatabaseContent read = DecodeAirportDatabase(bytes, 2);
    EXPECT_EQ(read.recordsRead, 1);
    EXPECT_EQ(read.records[0], RichAirport());
    EXPECT_EQ(read.records[1], AirportRecord{});
    EXPECT_NE(read.problem.find("record 1 at offset " + std::to_string(second)), std::string::npos)
        << read.problem;

    // Cut inside a record, and a list announcing more elements than the file can hold.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 100);
    EXPECT_NE(DecodeAirportDatabase(cut, 1).problem, "");
    std::vector<uint8_t> huge = EncodeAirportDatabase({RichAirport()});
    const size_t runwayList = 2 + RichAirport().name.size() + 2 + 4 + 16 + 4 + 14 + 14;
    huge[runwayList + 2] = 0xFF;
    huge[runwayList + 5] = 0x7F;
    const AirportDatabaseContent hugeRead = DecodeAirportDatabase(huge, 1);
    EXPECT_EQ(hugeRead.recordsRead, 0);
    EXPECT_NE(hugeRead.problem.find("cannot hold"), std::string::npos) << hugeRead.problem;
}

TEST(AirportDatabaseFileTest, ImpossibleCountsAndMissingFilesGiveOneEmptyRecord) {
    EXPECT_EQ(DecodeAirportDatabase({}, -5).records.size(), 1u);
    EXPECT_EQ(DecodeAirportDatabase({}, kMaxAirportCount + 1).records.size(), 1u);
    EXPECT_NE(DecodeAirportDatabase({}, -5).problem, "");

    testing::TempDir dir;
    const AirportDatabaseContent missing = ReadAirportDatabase(dir / "none.dat", 2);
    EXPECT_FALSE(missing.fileFound);
    EXPECT_EQ(missing.records.size(), 3u);
}

}  // namespace
}  // namespace scopewatch
