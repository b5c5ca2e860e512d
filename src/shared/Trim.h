#pragma once

#include <string>

namespace scopewatch {

// The text without its leading and trailing spaces (only the space character; tabs stay).
std::string TrimSpaces(const std::string& text);

}  // namespace scopewatch
