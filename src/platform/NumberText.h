#pragma once

#include <string>

namespace scopewatch {

// A number in its shortest general form: up to 15 significant digits, no trailing zeros,
// no decimal point for whole values ("270", "118.5", "-0.25").
std::string ShortestNumberText(double value);

}  // namespace scopewatch
