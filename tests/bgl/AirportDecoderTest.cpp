#include <gtest/gtest.h>

#include <cmath>

#include "bgl/AirportDecoder.h"
#include "bgl/BglEncodings.h"
#include "geo/Headings.h"
#include "scenerywriter/BglWriter.h"

namespace scopewatch {
namespace {

using scenery::BglAirport;
using scenery::BglRunway;
using scenery::Bytes;

AirportRecord DecodeRecords(const std::vector<Bytes>& records, const MagVarGrid& grid = {}) {
    scenery::BglFile file;
    const int32_t block = file.Append(scenery::FacilityBlock(records));
    AirportRecord airport;
    DecodeAirport(FileBuffer(file.Take()), block, grid, airport);
    return airport;
}

AirportRecord Decode(const BglAirport& airport, const MagVarGrid& grid = {}) {
    return DecodeRecords(scenery::FacilityRecords(airport), grid);
}

// A runway 100 ft wide centred on 40 N 10 E.
BglRunway Runway(int32_t number, int32_t designator, double heading = 0, int32_t lengthFt = 5000) {
    return {40.0, 10.0, 0.0, heading, lengthFt, 100, number, designator, {}};
}

BglAirport AirportAt(double latitude, double longitude, std::vector<BglRunway> runways = {}) {
    return {"", "", latitude, longitude, 0.0, {}, std::move(runways), {}, {}, {}, {}};
}

// Runway names come from number and designator; an invalid number (40, 37) or designator (7)
// keeps the names of the runway before.
TEST(AirportDecoder, RunwayNamesFromNumberAndDesignatorInvalidOnesKeepThePrevious) {
    const AirportRecord decoded =
        Decode(AirportAt(40, 10,
                         {Runway(40, 1), Runway(9, 1), Runway(37, 0), Runway(36, 0), Runway(12, 7),
                          Runway(18, 3), Runway(27, 2), Runway(36, 4)}));
    std::vector<std::string> names;
    for (const RunwayRecord& runway : decoded.runways) {
        names.push_back(runway.primaryName + "/" + runway.secondaryName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"/", "9L/27R", "9L/27R", "36/18", "36/18", "18C/36C",
                                               "27R/9L", "36H/18H"}));
}

// Runways over 300 m are drawn 60 m shorter, keep their length and width in feet, and an end
// across the 180th meridian wraps.
TEST(AirportDecoder, RunwaysLongerThan300MetresAreDrawn60MetresShorterAndWrapAt180) {
    const AirportRecord decoded =
        Decode(AirportAt(40, 10, {Runway(36, 0, 0.0, 2000), Runway(36, 0, 0.0, 900)}));
    ASSERT_EQ(decoded.runwayCount(), 2);
    const double metres[] = {549.6, 274.32};
    for (size_t i = 0; i < 2; ++i) {
        const RunwayRecord& runway = decoded.runways[i];
        EXPECT_NEAR((runway.end2Latitude - runway.end1Latitude) * 40007000.0 / 360.0, metres[i],
                    1e-3);
        EXPECT_NEAR(runway.end1Longitude, runway.end2Longitude, 1e-12);
    }
    EXPECT_EQ(std::pair(decoded.runways[0].lengthFt, decoded.runways[0].widthFt),
              std::pair(2000, 100));

    const RunwayRecord wrapped =
        Decode(AirportAt(40, 10, {{-16.8, 179.999, 0.0, 90.0, 3000, 100, 9, 0, {}}})).runways[0];
    EXPECT_GT(wrapped.end1Longitude, 179.99);
    EXPECT_LT(wrapped.end2Longitude, -179.99);
}

// Heading 270 reads back as -90 and starts at the east end; magnetic headings still come out
// in range (the reverse of 181 true is 1, magnetic 352, not a negative heading).
TEST(AirportDecoder, WestboundRunwayDecodesNegativeAndStillGivesHeadingsInRange) {
    MagVarGrid grid;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(40, 10))] = 1820;  // 9 degrees east
    EXPECT_NEAR(HeadingFromRaw(scenery::EncodeHeading(270.0)), -90.0, 1e-9);
    const AirportRecord decoded =
        Decode(AirportAt(40, 10, {Runway(27, 0, 270.0), Runway(18, 0, 181.0)}), grid);
    const RunwayRecord& west = decoded.runways[0];
    const RunwayRecord& south = decoded.runways[1];
    EXPECT_GT(west.end1Longitude, west.end2Longitude);
    EXPECT_EQ((std::vector{west.primaryMagHeading, west.secondaryMagHeading,
                           south.primaryMagHeading, south.secondaryMagHeading}),
              (std::vector<int16_t>{261, 81, 172, 352}));
}

// The header gives position and whole-metre elevation, the ICAO is upper-cased, the first
// frequency of each type wins; frequency words are hexadecimal digits read as decimal, and
// singles are decoded by hand.
TEST(AirportDecoder, HeaderIcaoAndFrequenciesFirstOfEachTypeWinsAsHexDigitsReadDecimal) {
    BglAirport airport = AirportAt(-33.9465, 151.1772);
    airport.elevationFt = 1180;
    airport.icao = "kxyz";
    airport.frequencies = {{bgl::kTowerFrequency, 118.3},
                           {bgl::kTowerFrequency, 119.1},
                           {bgl::kAtisFrequency, 127.85},
                           {bgl::kGroundFrequency, 121.9},
                           {bgl::kClearanceFrequency, 128.25},
                           {bgl::kApproachFrequency, 124.6},
                           {bgl::kDepartureFrequency, 122},
                           {bgl::kCenterFrequency, 132.4575},
                           {3, 130.0}};
    const AirportRecord decoded = Decode(airport);
    EXPECT_EQ(decoded.icaoId, "KXYZ");
    EXPECT_NEAR(decoded.latitude, -33.9465, 1e-5);
    EXPECT_NEAR(decoded.longitude, 151.1772, 1e-6);
    EXPECT_EQ(decoded.altitudeFt, 1181);  // 360 whole metres
    EXPECT_EQ(
        (std::vector{decoded.towerFreq, decoded.atisFreq, decoded.groundFreq, decoded.clearanceFreq,
                     decoded.approachFreq, decoded.departureFreq, decoded.centerFreq}),
        (std::vector<std::string>{"118.3", "127.85", "121.9", "128.25", "124.6", "122",
                                  "132.4575"}));
    // Hexadecimal digits read as decimal; the last word is no frequency.
    EXPECT_EQ((std::vector{FrequencyText(0x01183000), FrequencyText(0x01080500),
                           FrequencyText(0x01220000), FrequencyText(0), FrequencyText(0x011A3000)}),
              (std::vector<std::string>{"118.3", "108.05", "122", "0", ""}));
    // Singles are IEEE for normal numbers; exponent 0 reads as a normal number (so minus zero
    // reads as -1.0 * 2^-127), exponent 255 (infinity, NaN) as zero.
    const float tiny = static_cast<float>(std::ldexp(1.0, -127));
    const std::pair<uint32_t, float> singles[] = {
        {0x3F800000, 1.0F},     {0xC0000000, -2.0F},   {0, 0.0F},
        {0x42F6E979, 123.456F}, {0xBE000000, -0.125F}, {0x7F800000, 0.0F},
        {0x7FC00000, 0.0F},     {0x80000000, -tiny},   {1, tiny}};
    for (const auto& [word, value] : singles) {
        EXPECT_FLOAT_EQ(DecodeSingle(static_cast<int32_t>(word)), value) << std::hex << word;
    }
}

// Taxi points and parkings stand their metres away from the reference point as stored; a
// parking's name comes from its code (upper bits ignored), code 0 repeats the one before, and
// a first parking with an unknown code has no name.
TEST(AirportDecoder, TaxiPointsAndParkingsStandAroundTheReferencePoint) {
    BglAirport airport = AirportAt(36.5, -97.0);
    airport.taxiPoints = {{1000, -250, 7}, {0, 0, 0}};
    airport.parkings = {{0, 0, 3.048, 20, 14, 12, 0xABC},  // GATE C 12
                        {-50, 40, 0, 20, 0, 7, 0},
                        {10, 10, 0, 20, 60, 8191, 0}};
    const AirportRecord decoded = Decode(airport);
    const double latitude = decoded.latitude;
    const double longitude = decoded.longitude;
    EXPECT_NEAR(latitude, 36.5, 1e-5);
    EXPECT_EQ(decoded.taxiPoints, (std::vector<TaxiPointRecord>{
                                      {7, DestinationPoint(latitude, longitude, 180, 250).latitude,
                                       DestinationPoint(latitude, longitude, 90, 1000).longitude},
                                      {0, latitude, longitude}}));
    ASSERT_EQ(decoded.parkingCount(), 3);
    EXPECT_EQ(decoded.parkings[0], (ParkingRecord{"GATE C 12", latitude, longitude, 10}));
    EXPECT_EQ(decoded.parkings[1].label, "GATE C 7");
    EXPECT_EQ(decoded.parkings[2].label, "GATE C 8191");

    airport.parkings = {{0, 0, 0, 20, 38, 4, 0}, {0, 0, 0, 20, 11, 2, 0}};
    const AirportRecord unnamed = Decode(airport);
    EXPECT_EQ(unnamed.parkings[0].label, " 4");
    EXPECT_EQ(unnamed.parkings[1].label, "DOCK 2");
}

// A numeric name is not renamed again (3); without name 7 or runway 5 the index stays; parking
// links keep their number; names are cut to eight characters.
TEST(AirportDecoder, SegmentsTakeTaxiwayAndRunwayNames) {
    BglAirport airport = AirportAt(0, 0, {Runway(9, 1, 90.0), Runway(18, 0, 180.0)});
    airport.taxiPoints = {{0, 0}, {100, 0}, {200, 0}};
    airport.parkings = {{0, 50, 0, 20, 10, 1, 0}};
    airport.taxiwayNames = {"3", "B", "A", "Bravo123456"};
    airport.taxiSegments = {{0, 0, 1, 1}, {0, 1, 2, 0}, {0, 0, 2, 7}, {1, 0, 1, 1},
                            {1, 1, 2, 0}, {2, 0, 0, 3}, {1, 0, 2, 5}, {0, 2, 0, 3}};
    const AirportRecord decoded = Decode(airport);
    std::vector<std::string> names;
    for (const TaxiSegmentRecord& segment : decoded.taxiSegments) {
        names.push_back(segment.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"B", "3", "7", "Runway 18", "Runway 9L", "3", "5",
                                               "Bravo123"}));
    EXPECT_EQ(decoded.taxiSegments[5], (TaxiSegmentRecord{kTaxiToParking, 0, 0, "3"}));
    EXPECT_EQ(decoded.taxiSegments[7].firstIndex, 2);
}

// A localizer on the runway's course stands at the end it serves; one off both courses keeps
// its own position; a glide slope is not listed.
TEST(AirportDecoder, IlsStandsAtTheRunwayEndItServes) {
    BglRunway runway = Runway(27, 0, 270.0, 8000);
    for (const auto& [ident, heading, kind] :
         {std::tuple{"I27", 270.0, 4}, {"I09", 90.0, 4}, {"IX", 45.0, 4}, {"GS", 270.0, 2}}) {
        runway.ils.push_back({ident, 40.01, 10.02, heading, 109.9, kind});
    }
    const AirportRecord decoded = Decode(AirportAt(40, 10, {runway}));
    ASSERT_EQ(decoded.ilsCount(), 3);
    const RunwayRecord& r = decoded.runways[0];
    EXPECT_EQ(decoded.ilsList[0],
              (IlsRecord{"I27", r.end1Latitude, r.end1Longitude, 270, "109.9"}));
    EXPECT_EQ(decoded.ilsList[1], (IlsRecord{"I09", r.end2Latitude, r.end2Longitude, 90, "109.9"}));
    EXPECT_NEAR(decoded.ilsList[2].latitude, 40.01, 1e-5);
    EXPECT_NEAR(decoded.ilsList[2].longitude, 10.02, 1e-6);
}

// Other facility records are skipped, an ILS not after a runway too; an unknown record ends
// the airport, and later taxi data replaces only the lists it carries.
TEST(AirportDecoder, UnknownRecordEndsTheAirportLaterTaxiDataReplacesItsLists) {
    const AirportRecord decoded =
        DecodeRecords({scenery::BglRecord(bgl::kOtherFacility3, Bytes(12, 0xFF)),
                       scenery::IcaoBytes("KAAA"), scenery::BglRecord(bgl::kIls, Bytes(60, 0)),
                       scenery::BglRecord(bgl::kOtherFacility5, Bytes(4, 0)),
                       scenery::FrequencyBytes({bgl::kTowerFrequency, 118.7}),
                       scenery::BglRecord(0x7777, Bytes(8, 0)), scenery::IcaoBytes("KBBB"),
                       scenery::AirportHeaderBytes(10, 10, 100)});
    EXPECT_EQ(decoded.icaoId + " " + decoded.towerFreq, "KAAA 118.7");
    EXPECT_EQ(std::tuple(decoded.latitude, decoded.longitude, decoded.ilsCount()),
              std::tuple(0.0, 0.0, 0));  // no header before the end

    BglAirport first = AirportAt(0, 0);
    first.taxiPoints = {{1, 1}, {2, 2}, {3, 3}};
    first.parkings = {{0, 0, 0, 20, 1, 1, 0}};
    BglAirport second = AirportAt(0, 0);
    second.taxiPoints = {{5, 5}};
    const AirportRecord replaced =
        DecodeRecords({scenery::AirportHeaderBytes(0, 0, 0), scenery::TaxiDataBytes(first),
                       scenery::TaxiDataBytes(second)});
    EXPECT_EQ(std::pair(replaced.taxiPointCount(), replaced.parkingCount()), std::pair(1, 1));
}

}  // namespace
}  // namespace scopewatch
