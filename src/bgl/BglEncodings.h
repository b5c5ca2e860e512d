#pragma once

#include <cstdint>
#include <string>

// How scenery files encode positions, elevations, headings and frequencies in 32-bit words.
namespace scopewatch {

// Degrees north: raw * 90 / 10001750.
double LatitudeFromRaw(int32_t raw);
// Degrees east: raw * 360 / 2^32.
double LongitudeFromRaw(int32_t raw);
// A 32-bit word read as an IEEE single, decoded by hand: an exponent field of 0 is read
// as a normal number and an exponent field of 255 gives 0.
float DecodeSingle(int32_t word);

// True heading in degrees from a word read signed: past 180 degrees it comes out negative.
double HeadingFromRaw(int32_t raw);
// The word's hexadecimal digits read as a decimal number, divided by 10000, in the shortest
// decimal form: 0x01183000 gives "118.3". A word with a hexadecimal digit above 9 is no
// frequency and gives the empty text. The program's one frequency text: the database's
// frequency fields and the airspace lookup's frequencies are both written by it, with a
// decimal point whatever the locale.
std::string FrequencyText(int32_t word);

}  // namespace scopewatch
