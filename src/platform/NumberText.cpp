#include "platform/NumberText.h"

#include <cstdio>

namespace scopewatch {

std::string ShortestNumberText(double value) {
    if (value == 0.0) {
        return "0";  // negative zero included
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace scopewatch
