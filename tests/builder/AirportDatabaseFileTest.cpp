#include <gtest/gtest.h>

#include "builder/AirportDatabaseFile.h"
#include "platform/ByteCursor.h"
#include "platform/ByteWriter.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

AirportRecord RichAirport() {
    AirportRecord airport;
    airport.name = "Eldorado Intl \xE9";  // Windows-1252 e-acute, kept as a byte
    airport.icaoId = "KELD";
    airport.latitude = 33.221111;
    airport.longitude = -92.813333;
    airport.altitudeFt = 277;
    airport.towerFreq = "118.300";
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

TEST(AirportDatabaseFileTest, EmptyRecordsAndListShapesAreByteExact) {
    EXPECT_EQ(RecordBytes(AirportRecord{}), std::vector<uint8_t>(68, 0));
    AirportRecord withIls;
    withIls.ilsList.push_back(IlsRecord{});  // the list holds it and an empty 22-byte element
    EXPECT_EQ(RecordBytes(withIls).size(), 68u + 4 + 4 + 22 + 22);

    AirportRecord airport;
    airport.runways = RichAirport().runways;
    const std::vector<uint8_t> bytes = RecordBytes(airport);
    ByteCursor cursor(bytes);
    cursor.Skip(2 + 2 + 16 + 4 + 14);
    EXPECT_EQ(cursor.UInt16(), 1);   // one dimension
    EXPECT_EQ(cursor.UInt32(), 3u);  // two runways and the empty third
    EXPECT_EQ(cursor.Int32(), 0);    // lower bound
    const size_t runwayCountAt = bytes.size() - 28;
    // The third element is 52 zero bytes, then runwayCount 2, then four absent lists.
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 28 - 52, bytes.end() - 28),
              std::vector<uint8_t>(52, 0));
    EXPECT_EQ(bytes[runwayCountAt], 2);
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 24, bytes.end()), std::vector<uint8_t>(24, 0));
}

// A short file leaves the missing records empty without complaint.
TEST(AirportDatabaseFileTest, RoundTripAddsTheEmptyLastRecordAndReplacesALongerFile) {
    EXPECT_TRUE(EncodeAirportDatabase({}).empty());
    testing::TempDir dir;
    const auto file = dir / "world_airports.dat";
    ASSERT_FALSE(WriteAirportDatabase(file, {RichAirport(), RichAirport(), RichAirport()}));
    ASSERT_FALSE(WriteAirportDatabase(file, {RichAirport(), AirportRecord{}}));
    const std::vector<uint8_t> bytes = testing::ReadBytes(file);
    EXPECT_EQ(bytes, EncodeAirportDatabase({RichAirport(), AirportRecord{}}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 68, bytes.end()), std::vector<uint8_t>(68, 0));

    const AirportDatabaseContent read = ReadAirportDatabase(file, 2);
    EXPECT_EQ(read.recordsRead, 3);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.records[0], RichAirport());
    EXPECT_EQ(read.records[2], AirportRecord{});

    const AirportDatabaseContent shortRead = ReadAirportDatabase(file, 4);
    ASSERT_EQ(shortRead.records.size(), 5u);
    EXPECT_EQ(shortRead.recordsRead, 3);
    EXPECT_EQ(shortRead.problem, "");
    EXPECT_EQ(shortRead.records[0], RichAirport());
}

TEST(AirportDatabaseFileTest, DamageStopsTheReadingAndSaysWhere) {
    std::vector<uint8_t> bytes = EncodeAirportDatabase({RichAirport(), RichAirport()});
    const size_t second = RecordBytes(RichAirport()).size();
    bytes[second + 1] = 0xFF;  // the second name's length now runs past the end
    const AirportDatabaseContent read = DecodeAirportDatabase(bytes, 2);
    EXPECT_EQ(read.recordsRead, 1);
    EXPECT_EQ(read.records[1], AirportRecord{});
    EXPECT_NE(read.problem.find("record 1 at offset " + std::to_string(second)), std::string::npos)
        << read.problem;

    std::vector<uint8_t> huge = EncodeAirportDatabase({RichAirport()});
    const size_t runwayList = 2 + RichAirport().name.size() + 2 + 4 + 16 + 4 + 14 + 7;
    huge[runwayList + 5] = 0x7F;  // the runway list's element count, high byte
    EXPECT_NE(DecodeAirportDatabase(huge, 1).problem.find("cannot hold"), std::string::npos);

    EXPECT_EQ(DecodeAirportDatabase({}, -5).records.size(), 1u);
    EXPECT_NE(DecodeAirportDatabase({}, kMaxAirportCount + 1).problem, "");
    testing::TempDir dir;
    EXPECT_FALSE(ReadAirportDatabase(dir / "none.dat", 2).fileFound);
}

}  // namespace
}  // namespace scopewatch
