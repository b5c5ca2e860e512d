#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace scopewatch {

// Numbers in the program's own texts are written and read with a decimal point, whatever
// the user's locale (Qt applies the environment's locale at start-up, which would turn the
// printf family to a decimal comma under, say, de_DE).

// A number in its shortest general form: up to 15 significant digits, no trailing zeros,
// no decimal point for whole values ("270", "118.5", "-0.25").
std::string ShortestNumberText(double value);

// The same with up to 7 significant digits, as a single-precision value is written.
std::string ShortestSingleText(float value);

// A number with a fixed count of decimals ("0.01").
std::string FixedNumberText(double value, int decimals);

// A number in hexadecimal as the wire's documentation writes it: "0x1A2B".
std::string HexText(uint32_t value);

// The longest leading part of the text that reads as a decimal number (a sign, digits and
// one decimal point), or nothing when the text does not start with one.
std::optional<double> LeadingNumber(const std::string& text);

}  // namespace scopewatch
