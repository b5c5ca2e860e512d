#include "airport/AirportSearch.h"

#include "platform/CodePage.h"
#include "shared/Trim.h"

namespace scopewatch {

std::string ResultLine(const std::string& name, size_t index) {
    return name + "   Index: " + std::to_string(index);
}

std::vector<std::string> SearchAirports(const std::vector<AirportRecord>& airports,
                                        const std::string& searchText) {
    const std::string pattern = AnsiLower(TrimSpaces(searchText));
    std::vector<std::string> lines;
    for (size_t i = 0; i < airports.size(); ++i) {
        const std::string& name = airports[i].name;
        // An empty name contains nothing, not even the empty text.
        if (!name.empty() && AnsiLower(name).find(pattern) != std::string::npos) {
            lines.push_back(ResultLine(name, i));
        }
    }
    return lines;
}

}  // namespace scopewatch
