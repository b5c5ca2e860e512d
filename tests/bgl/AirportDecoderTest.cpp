// The airport decoder against facility blocks the scenery writer builds: what each block
// decodes to is in tests/data/bgl/airport-decoder.txt.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "bgl/AirportDecoder.h"
#include "bgl/BglEncodings.h"
#include "scenerywriter/BglWriter.h"
#include "support/AirportText.h"
#include "support/Golden.h"

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

// A runway 100 ft wide centred on 40 N 10 E.
BglRunway Runway(int32_t number, int32_t designator, double heading = 0, int32_t lengthFt = 5000) {
    return {40.0, 10.0, 0.0, heading, lengthFt, 100, number, designator, {}};
}

BglAirport AirportAt(double latitude, double longitude, std::vector<BglRunway> runways = {}) {
    return {"", "", latitude, longitude, 0.0, {}, std::move(runways), {}, {}, {}, {}};
}

class AirportDecoderTest : public ::testing::Test {
  protected:
    void Decode(const std::string& heading, const BglAirport& airport) {
        DecodeBlock(heading, scenery::FacilityRecords(airport));
    }
    void DecodeBlock(const std::string& heading, const std::vector<Bytes>& records) {
        text += "# " + heading + "\n" + testing::AirportText(DecodeRecords(records, grid));
    }
    void Word(const char* kind, uint32_t word, const std::string& value) {
        char line[80];
        std::snprintf(line, sizeof line, "%s 0x%08X: %s\n", kind, word, value.c_str());
        text += line;
    }

    MagVarGrid grid;
    std::string text;
};

// Runway names come from number and designator (an invalid number, 40 or 37, or designator,
// 7, keeps the names of the runway before); runways over 300 m are drawn 60 m shorter and an
// end across the 180th meridian wraps; heading 270 starts at the east end and magnetic
// headings stay in range (the reverse of 181 true is 1, magnetic 352). The header gives
// position and whole-metre elevation, the ICAO upper-cased, the first frequency of each type.
// Taxi points and parkings stand their metres from the reference point; a parking's name comes
// from its code (upper bits ignored), code 0 repeats the one before, a first unknown code has
// none. Segments take taxiway and runway names (a numeric one is not renamed, a missing name 7
// or runway 5 keeps the index, names cut to eight characters). A localizer on the runway's
// course stands at the end it serves, one off both courses at its own position; a glide slope
// is not listed. Other facility records are skipped, an ILS not after a runway too; an unknown
// record ends the airport; later taxi data replaces only the lists it carries. Frequency words
// are hexadecimal digits read as decimal; singles are IEEE for normal numbers, exponent 0 reads
// as a normal number (minus zero as -2^-127), exponent 255 as zero.
TEST_F(AirportDecoderTest, EveryBlockDecodesToItsGoldenDescription) {
    Decode("runway names", AirportAt(40, 10,
                                     {Runway(40, 1), Runway(9, 1), Runway(37, 0), Runway(36, 0),
                                      Runway(12, 7), Runway(18, 3), Runway(27, 2), Runway(36, 4)}));
    Decode("2000 and 900 ft runways",
           AirportAt(40, 10, {Runway(36, 0, 0, 2000), Runway(36, 0, 0, 900)}));
    Decode("a runway across the 180th meridian",
           AirportAt(40, 10, {{-16.8, 179.999, 0.0, 90.0, 3000, 100, 9, 0, {}}}));
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(40, 10))] = 1820;  // 9 degrees east
    Decode("westbound and southbound with 9 degrees east",
           AirportAt(40, 10, {Runway(27, 0, 270.0), Runway(18, 0, 181.0)}));
    grid = {};

    BglAirport header = AirportAt(-33.9465, 151.1772);
    header.elevationFt = 1180;
    header.icao = "kxyz";
    header.frequencies = {{bgl::kTowerFrequency, 118.3},
                          {bgl::kTowerFrequency, 119.1},
                          {bgl::kAtisFrequency, 127.85},
                          {bgl::kGroundFrequency, 121.9},
                          {bgl::kClearanceFrequency, 128.25},
                          {bgl::kApproachFrequency, 124.6},
                          {bgl::kDepartureFrequency, 122},
                          {bgl::kCenterFrequency, 132.4575},
                          {3, 130.0}};
    Decode("header, ICAO and frequencies", header);

    BglAirport parked = AirportAt(36.5, -97.0);
    parked.taxiPoints = {{1000, -250, 7}, {0, 0, 0}};
    parked.parkings = {
        {0, 0, 3.048, 20, 14, 12, 0xABC}, {-50, 40, 0, 20, 0, 7, 0}, {10, 10, 0, 20, 60, 8191, 0}};
    Decode("taxi points and gates", parked);
    parked.parkings = {{0, 0, 0, 20, 38, 4, 0}, {0, 0, 0, 20, 11, 2, 0}};
    Decode("a first parking of unknown code", parked);

    BglAirport segments = AirportAt(0, 0, {Runway(9, 1, 90.0), Runway(18, 0, 180.0)});
    segments.taxiPoints = {{0, 0}, {100, 0}, {200, 0}};
    segments.parkings = {{0, 50, 0, 20, 10, 1, 0}};
    segments.taxiwayNames = {"3", "B", "A", "Bravo123456"};
    segments.taxiSegments = {{0, 0, 1, 1}, {0, 1, 2, 0}, {0, 0, 2, 7}, {1, 0, 1, 1},
                             {1, 1, 2, 0}, {2, 0, 0, 3}, {1, 0, 2, 5}, {0, 2, 0, 3}};
    Decode("segment names", segments);

    BglRunway ils = Runway(27, 0, 270.0, 8000);
    for (const auto& [ident, heading, kind] :
         {std::tuple{"I27", 270.0, 4}, {"I09", 90.0, 4}, {"IX", 45.0, 4}, {"GS", 270.0, 2}}) {
        ils.ils.push_back({ident, 40.01, 10.02, heading, 109.9, kind});
    }
    Decode("localizers and a glide slope", AirportAt(40, 10, {ils}));

    DecodeBlock("other records and an unknown one",
                {scenery::BglRecord(bgl::kOtherFacility3, Bytes(12, 0xFF)),
                 scenery::IcaoBytes("KAAA"), scenery::BglRecord(bgl::kIls, Bytes(60, 0)),
                 scenery::BglRecord(bgl::kOtherFacility5, Bytes(4, 0)),
                 scenery::FrequencyBytes({bgl::kTowerFrequency, 118.7}),
                 scenery::BglRecord(0x7777, Bytes(8, 0)), scenery::IcaoBytes("KBBB"),
                 scenery::AirportHeaderBytes(10, 10, 100)});
    BglAirport first = AirportAt(0, 0);
    first.taxiPoints = {{1, 1}, {2, 2}, {3, 3}};
    first.parkings = {{0, 0, 0, 20, 1, 1, 0}};
    BglAirport second = AirportAt(0, 0);
    second.taxiPoints = {{5, 5}};
    DecodeBlock("taxi data twice", {scenery::AirportHeaderBytes(0, 0, 0),
                                    scenery::TaxiDataBytes(first), scenery::TaxiDataBytes(second)});

    text += "# encodings\n";
    Word("heading", static_cast<uint32_t>(scenery::EncodeHeading(270.0)),
         ShortestNumberText(HeadingFromRaw(scenery::EncodeHeading(270.0))));
    for (const uint32_t word : {0x01183000U, 0x01080500U, 0x01220000U, 0U, 0x011A3000U}) {
        Word("frequency", word, FrequencyText(static_cast<int32_t>(word)));
    }
    for (const uint32_t word : {0x3F800000U, 0xC0000000U, 0U, 0x42F6E979U, 0xBE000000U, 0x7F800000U,
                                0x7FC00000U, 0x80000000U, 1U}) {
        char value[32];
        std::snprintf(value, sizeof value, "%.9g", DecodeSingle(static_cast<int32_t>(word)));
        Word("single", word, value);
    }
    testing::ExpectTextMatchesGolden(text, "bgl/airport-decoder.txt",
                                     "what each facility block decodes to, and the encodings");
}

}  // namespace
}  // namespace scopewatch
