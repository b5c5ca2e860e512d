#include <gtest/gtest.h>

#include "builder/AirportDatabaseFile.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using Bytes = std::vector<uint8_t>;

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

const AirportRecord kRich = RichAirport();

Bytes RecordBytes(const AirportRecord& airport) {
    return EncodeAirportRecords({airport});
}

// The record's layout, byte for byte: an empty record is 68 zero bytes; every list carries
// one empty element more than it holds, after a one-dimension header with lower bound 0.
TEST(AirportDatabaseFileTest, RecordsAreByteExact) {
    AirportRecord oneIls;
    oneIls.ilsList = {IlsRecord{}};
    for (const auto& [name, airport, what] :
         {std::tuple{"record-empty.hex", AirportRecord{}, "an empty airport record"},
          {"record-one-ils.hex", oneIls, "a record whose ILS list holds one empty ILS"},
          {"record-rich.hex", kRich, "a record with two runways and one of every other list"}}) {
        testing::ExpectBytesMatchGolden(RecordBytes(airport), std::string("builder/") + name, what);
    }
}

// A write replaces a longer file whole and ends with the empty last record; a file shorter
// than the settings announce gives the records it holds, without complaint.
TEST(AirportDatabaseFileTest, RoundTripAddsTheEmptyLastRecordAndReplacesALongerFile) {
    EXPECT_TRUE(EncodeAirportDatabase({}).empty());
    testing::TempDir dir;
    const auto file = dir / "world_airports.dat";
    ASSERT_TRUE(WriteAirportDatabase(file, {kRich, kRich, kRich}).ok());
    ASSERT_TRUE(WriteAirportDatabase(file, {kRich, AirportRecord{}}).ok());
    const Bytes bytes = testing::ReadBytes(file);
    EXPECT_EQ(bytes, EncodeAirportDatabase({kRich, AirportRecord{}}));
    EXPECT_EQ(Bytes(bytes.end() - 68, bytes.end()), Bytes(68, 0));
    for (const int32_t count : {2, 4}) {
        const AirportDatabaseContent read = ReadAirportDatabase(file, count);
        ASSERT_EQ(read.records.size(), 3u);
        EXPECT_EQ(read.recordsRead, 3);
        EXPECT_EQ(read.problem, "");
        EXPECT_EQ(read.records[0], kRich);
        EXPECT_EQ(read.records[2], AirportRecord{});
    }
}

// Damage (a length past the end, a list too long for the file, a bad count) stops the
// reading and names the record and its offset. Settings that announce the most airports a
// database may hold make no room for more records than the few bytes can hold.
TEST(AirportDatabaseFileTest, DamageStopsTheReadingAndSaysWhere) {
    Bytes bytes = EncodeAirportDatabase({kRich, kRich});
    const size_t second = RecordBytes(kRich).size();
    bytes[second + 1] = 0xFF;  // the second name's length now runs past the end
    const AirportDatabaseContent read = DecodeAirportDatabase(bytes, 2);
    EXPECT_EQ(read.recordsRead, 1);
    EXPECT_EQ(read.records, std::vector<AirportRecord>{kRich});
    EXPECT_NE(read.problem.find("record 1 at offset " + std::to_string(second)), std::string::npos)
        << read.problem;

    Bytes huge = EncodeAirportDatabase({kRich});
    const size_t runwayList = 2 + kRich.name.size() + 2 + 4 + 16 + 4 + 14 + 7;
    huge[runwayList + 5] = 0x7F;  // the runway list's element count, high byte
    EXPECT_NE(DecodeAirportDatabase(huge, 1).problem.find("cannot hold"), std::string::npos);

    const AirportDatabaseContent announced =
        DecodeAirportDatabase(EncodeAirportDatabase({kRich}), kMaxAirportCount);
    EXPECT_EQ(announced.records.size(), 2u);
    EXPECT_LE(announced.records.capacity(), 10u);
    EXPECT_EQ(DecodeAirportDatabase({}, -5).records.size(), 1u);
    EXPECT_NE(DecodeAirportDatabase({}, kMaxAirportCount + 1).problem, "");
    testing::TempDir dir;
    EXPECT_FALSE(ReadAirportDatabase(dir / "none.dat", 2).fileFound);
}

}  // namespace
}  // namespace scopewatch
