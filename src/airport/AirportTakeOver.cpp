#include "airport/AirportTakeOver.h"

#include "shared/NumberText.h"
#include "shared/Rounding.h"
#include "shared/Trim.h"

namespace scopewatch {
namespace {

constexpr const char* kIndexLabel = "Index:";
constexpr size_t kIndexLabelLength = 6;

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
    return RoundTo<int64_t>(LeadingNumber(TrimSpaces(line.substr(start))).value_or(0.0));
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
