// The airport decoder against facility blocks the scenery writer built, kept in
// tests/data/bgl/airport-decoder/ (one hex file per case): what each block decodes to is in
// tests/data/bgl/airport-decoder.txt.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bgl/AirportDecoder.h"
#include "bgl/BglEncodings.h"
#include "scenerywriter/BglWriter.h"
#include "support/AirportText.h"
#include "support/Golden.h"

namespace scopewatch {
namespace {

// The cases in the order of the golden text; case n's block is in
// bgl/airport-decoder/<testing::CaseDataName(n, heading)>.hex.
const std::vector<std::string> kHeadings = {"runway names",
                                            "2000 and 900 ft runways",
                                            "a runway across the 180th meridian",
                                            "westbound and southbound with 9 degrees east",
                                            "header, ICAO and frequencies",
                                            "taxi points and gates",
                                            "a first parking of unknown code",
                                            "segment names",
                                            "localizers and a glide slope",
                                            "other records and an unknown one",
                                            "taxi data twice"};

// Decodes a case's block placed after the header of a scenery writer's file, as the airport
// index would find it; the 9-degrees-east case has that variation around 40 N 10 E.
AirportRecord DecodeCase(size_t number, const std::string& heading) {
    MagVarGrid grid;
    if (heading == "westbound and southbound with 9 degrees east") {
        grid.values[static_cast<size_t>(MagVarGrid::IndexAt({40, 10}))] = 1820;
    }
    scenery::BglFile file;
    const int32_t block = file.Append(testing::ReadGoldenBytes(
        "bgl/airport-decoder/" + testing::CaseDataName(number, heading) + ".hex"));
    AirportRecord airport;
    DecodeAirport(FileBuffer(file.Take()), block, grid, airport);
    return airport;
}

void Word(std::string& text, const char* kind, uint32_t word, const std::string& value) {
    char line[80];
    std::snprintf(line, sizeof line, "%s 0x%08X: %s\n", kind, word, value.c_str());
    text += line;
}

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
TEST(AirportDecoderTest, EveryBlockDecodesToItsGoldenDescription) {
    std::string text;
    for (size_t i = 0; i < kHeadings.size(); ++i) {
        text += "# " + kHeadings[i] + "\n" + testing::AirportText(DecodeCase(i + 1, kHeadings[i]));
    }
    text += "# encodings\n";
    Word(text, "heading", static_cast<uint32_t>(scenery::EncodeHeading(270.0)),
         ShortestNumberText(HeadingFromRaw(scenery::EncodeHeading(270.0))));
    for (const uint32_t word : {0x01183000U, 0x01080500U, 0x01220000U, 0U, 0x011A3000U}) {
        Word(text, "frequency", word, FrequencyText(static_cast<int32_t>(word)));
    }
    for (const uint32_t word : {0x3F800000U, 0xC0000000U, 0U, 0x42F6E979U, 0xBE000000U, 0x7F800000U,
                                0x7FC00000U, 0x80000000U, 1U}) {
        char value[32];
        std::snprintf(value, sizeof value, "%.9g", DecodeSingle(static_cast<int32_t>(word)));
        Word(text, "single", word, value);
    }
    testing::ExpectTextMatchesGolden(text, "bgl/airport-decoder.txt",
                                     "what each facility block decodes to, and the encodings");
}

}  // namespace
}  // namespace scopewatch
