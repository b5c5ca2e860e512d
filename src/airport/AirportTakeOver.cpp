#include "airport/AirportTakeOver.h"

#include <cctype>
#include <cstdlib>

#include "platform/Rounding.h"
#include "platform/Trim.h"

namespace scopewatch {
namespace {

constexpr const char* kIndexLabel = "Index:";
constexpr size_t kIndexLabelLength = 6;

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The longest leading part of the text that reads as a decimal number: a sign, digits and
// one decimal point.
double LeadingNumber(const std::string& text) {
    size_t end = 0;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    bool digits = false;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
        digits = true;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && IsDigit(text[end])) {
            ++end;
            digits = true;
        }
    }
    return digits ? std::strtod(text.substr(0, end).c_str(), nullptr) : 0.0;
}

}  // namespace

int64_t ParseIndexFromLine(const std::string& line) {
    // The search appends the label and the index after the name, so the last label is the
    // one it wrote, also when the name itself holds "Index:". The number starts after it;
    // without a label, at the sixth character.
    const size_t found = line.rfind(kIndexLabel);
    const size_t start =
        found == std::string::npos ? kIndexLabelLength - 1 : found + kIndexLabelLength;
    if (start >= line.size()) {
        return 0;
    }
    return RoundTo<int64_t>(LeadingNumber(TrimSpaces(line.substr(start))));
}

bool TakeOverAirport(LoadedAirportData& data, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(data.airportList.size())) {
        return false;
    }
    data.currentAirport = data.airportList[static_cast<size_t>(index)];
    data.airportList.clear();
    data.airportList.shrink_to_fit();
    return true;
}

}  // namespace scopewatch
