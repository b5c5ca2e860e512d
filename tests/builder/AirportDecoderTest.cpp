#include <gtest/gtest.h>

#include "builder/AirportDecoder.h"
#include "builder/BglEncodings.h"
#include "builder/Headings.h"
#include "scenerywriter/BglWriter.h"

namespace scopewatch {
namespace {

using scenery::BglAirport;
using scenery::BglFile;
using scenery::BglIls;
using scenery::BglRunway;
using scenery::Bytes;

constexpr double kMetresPerDegree = 40007000.0 / 360.0;

AirportRecord DecodeRecords(const std::vector<Bytes>& records, const MagVarGrid& grid = {}) {
    BglFile file;
    const int32_t block = file.Append(scenery::FacilityBlock(records));
    const FileBuffer buffer(file.Take());
    AirportRecord airport;
    DecodeAirport(buffer, block, grid, airport);
    return airport;
}

AirportRecord Decode(const BglAirport& airport, const MagVarGrid& grid = {}) {
    return DecodeRecords(scenery::FacilityRecords(airport), grid);
}

BglRunway Runway(int32_t number, int32_t designator, double heading = 0.0,
                 int32_t lengthFt = 5000) {
    BglRunway runway;
    runway.latitude = 40.0;
    runway.longitude = 10.0;
    runway.trueHeading = heading;
    runway.lengthFt = lengthFt;
    runway.widthFt = 100;
    runway.number = number;
    runway.designator = designator;
    return runway;
}

BglAirport AirportAt(double latitude, double longitude) {
    BglAirport airport;
    airport.latitude = latitude;
    airport.longitude = longitude;
    return airport;
}

// An invalid number (40, 37) or designator (7) keeps the names of the runway before.
TEST(AirportDecoder, RunwayNamesFromNumberAndDesignatorInvalidOnesKeepThePrevious) {
    BglAirport airport = AirportAt(40, 10);
    airport.runways = {Runway(40, 1), Runway(9, 1),  Runway(37, 0), Runway(36, 0),
                       Runway(12, 7), Runway(18, 3), Runway(27, 2), Runway(36, 4)};
    std::vector<std::string> names;
    for (const RunwayRecord& runway : Decode(airport).runways) {
        names.push_back(runway.primaryName + "/" + runway.secondaryName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"/", "9L/27R", "9L/27R", "36/18", "36/18", "18C/36C",
                                               "27R/9L", "36H/18H"}));
}

TEST(AirportDecoder, RunwaysLongerThan300MetresAreDrawn60MetresShorterAndWrapAt180) {
    BglAirport airport = AirportAt(40, 10);
    airport.runways = {Runway(36, 0, 0.0, 2000), Runway(36, 0, 0.0, 900)};
    const AirportRecord decoded = Decode(airport);
    ASSERT_EQ(decoded.runwayCount(), 2);
    for (const auto& [runway, metres] :
         {std::pair{decoded.runways[0], 549.6}, std::pair{decoded.runways[1], 274.32}}) {
        EXPECT_NEAR((runway.end2Latitude - runway.end1Latitude) * kMetresPerDegree, metres, 1e-3);
        EXPECT_NEAR(runway.end1Longitude, runway.end2Longitude, 1e-12);
    }
    EXPECT_EQ(decoded.runways[0].lengthFt, 2000);
    EXPECT_EQ(decoded.runways[0].widthFt, 100);

    // A runway end across the 180th meridian wraps.
    BglRunway dateLine = Runway(9, 0, 90.0, 3000);
    dateLine.latitude = -16.8;
    dateLine.longitude = 179.999;
    airport.runways = {dateLine};
    const AirportRecord wrapped = Decode(airport);
    EXPECT_GT(wrapped.runways[0].end1Longitude, 179.99);
    EXPECT_LT(wrapped.runways[0].end2Longitude, -179.99);
}

TEST(AirportDecoder, WestboundRunwayDecodesNegativeAndStillGivesHeadingsInRange) {
    MagVarGrid grid;
    // 10 degrees east at 40 N 10 E.
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(40, 10))] = 1820;
    ASSERT_EQ(grid.VariationDegreesAt(40, 10), 9);
    BglAirport airport = AirportAt(40, 10);
    airport.runways = {Runway(27, 0, 270.0), Runway(18, 0, 181.0)};
    const AirportRecord decoded = Decode(airport, grid);
    EXPECT_NEAR(HeadingFromRaw(scenery::EncodeHeading(270.0)), -90.0, 1e-9);
    // Heading 270 starts at the east end.
    EXPECT_GT(decoded.runways[0].end1Longitude, decoded.runways[0].end2Longitude);
    EXPECT_EQ(decoded.runways[0].primaryMagHeading, 261);
    EXPECT_EQ(decoded.runways[0].secondaryMagHeading, 81);
    // The reverse of 181 degrees is 1, magnetic 352, not a negative heading.
    EXPECT_EQ(decoded.runways[1].primaryMagHeading, 172);
    EXPECT_EQ(decoded.runways[1].secondaryMagHeading, 352);
}

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
    // Hexadecimal digits read as decimal.
    EXPECT_EQ(FrequencyText(0x01183000), "118.3");
    EXPECT_EQ(FrequencyText(0x01080500), "108.05");
    EXPECT_EQ(FrequencyText(0x01220000), "122");
    EXPECT_EQ(FrequencyText(0), "0");
    EXPECT_EQ(FrequencyText(0x011A3000), "");  // not a frequency
}

TEST(AirportDecoder, TaxiPointsAndParkingsStandAroundTheReferencePoint) {
    BglAirport airport = AirportAt(36.5, -97.0);
    airport.taxiPoints = {{1000, -250, 7}, {0, 0, 0}};
    airport.parkings = {{0, 0, 3.048, 20, 14, 12, 0xABC},  // GATE C 12, upper bits ignored
                        {-50, 40, 0, 20, 0, 7, 0},         // code 0: the name of the one before
                        {10, 10, 0, 20, 60, 8191, 0}};
    const AirportRecord decoded = Decode(airport);
    // The reference point as stored (whole raw units).
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

    // The first parking with an unknown code has no name.
    airport.parkings = {{0, 0, 0, 20, 38, 4, 0}, {0, 0, 0, 20, 11, 2, 0}};
    const AirportRecord unnamed = Decode(airport);
    EXPECT_EQ(unnamed.parkings[0].label, " 4");
    EXPECT_EQ(unnamed.parkings[1].label, "DOCK 2");
}

TEST(AirportDecoder, SegmentsTakeTaxiwayAndRunwayNames) {
    BglAirport airport = AirportAt(0, 0);
    airport.runways = {Runway(9, 1, 90.0), Runway(18, 0, 180.0)};
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
    // A numeric name is not renamed again (3); without name 7 or runway 5 the index stays;
    // parking links keep their number; names are cut to eight characters.
    EXPECT_EQ(names, (std::vector<std::string>{"B", "3", "7", "Runway 18", "Runway 9L", "3", "5",
                                               "Bravo123"}));
    EXPECT_EQ(decoded.taxiSegments[5], (TaxiSegmentRecord{kTaxiToParking, 0, 0, "3"}));
    EXPECT_EQ(decoded.taxiSegments[7].firstIndex, 2);
}

TEST(AirportDecoder, IlsStandsAtTheRunwayEndItServes) {
    BglAirport airport = AirportAt(40, 10);
    BglRunway runway = Runway(27, 0, 270.0, 8000);
    const auto ils = [](const std::string& ident, double heading, int32_t kind) {
        return BglIls{ident, 40.01, 10.02, heading, 109.9, kind};
    };
    runway.ils = {ils("I27", 270.0, 4), ils("I09", 90.0, 4), ils("IX", 45.0, 4),
                  ils("GS", 270.0, 2)};
    airport.runways = {runway};
    const AirportRecord decoded = Decode(airport);
    ASSERT_EQ(decoded.ilsCount(), 3);
    const RunwayRecord& r = decoded.runways[0];
    EXPECT_EQ(decoded.ilsList[0],
              (IlsRecord{"I27", r.end1Latitude, r.end1Longitude, 270, "109.9"}));
    EXPECT_EQ(decoded.ilsList[1], (IlsRecord{"I09", r.end2Latitude, r.end2Longitude, 90, "109.9"}));
    EXPECT_NEAR(decoded.ilsList[2].latitude, 40.01, 1e-5);
    EXPECT_NEAR(decoded.ilsList[2].longitude, 10.02, 1e-6);
}

TEST(AirportDecoder, UnknownRecordEndsTheAirportOtherFacilitiesAreSkipped) {
    const std::vector<Bytes> records = {
        scenery::BglRecord(bgl::kOtherFacility3, Bytes(12, 0xFF)),
        scenery::IcaoBytes("KAAA"),
        scenery::BglRecord(bgl::kIls, Bytes(60, 0)),  // not after a runway: skipped
        scenery::BglRecord(bgl::kOtherFacility5, Bytes(4, 0)),
        scenery::FrequencyBytes({bgl::kTowerFrequency, 118.7}),
        scenery::BglRecord(0x7777, Bytes(8, 0)),
        scenery::IcaoBytes("KBBB"),
        scenery::AirportHeaderBytes(10, 10, 100)};
    const AirportRecord decoded = DecodeRecords(records);
    EXPECT_EQ(decoded.icaoId, "KAAA");
    EXPECT_EQ(decoded.towerFreq, "118.7");
    EXPECT_EQ(decoded.latitude, 0.0);  // no header before the end
    EXPECT_EQ(decoded.longitude, 0.0);
    EXPECT_EQ(decoded.ilsCount(), 0);
}

TEST(AirportDecoder, LaterTaxiDataReplacesOnlyTheListsItCarries) {
    BglAirport first = AirportAt(0, 0);
    first.taxiPoints = {{1, 1}, {2, 2}, {3, 3}};
    first.parkings = {{0, 0, 0, 20, 1, 1, 0}};
    BglAirport second = AirportAt(0, 0);
    second.taxiPoints = {{5, 5}};
    const AirportRecord decoded =
        DecodeRecords({scenery::AirportHeaderBytes(0, 0, 0), scenery::TaxiDataBytes(first),
                       scenery::TaxiDataBytes(second)});
    EXPECT_EQ(decoded.taxiPointCount(), 1);
    EXPECT_EQ(decoded.parkingCount(), 1);
}

}  // namespace
}  // namespace scopewatch
