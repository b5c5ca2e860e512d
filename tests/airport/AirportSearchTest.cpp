#include <gtest/gtest.h>

#include "airport/AirportSearch.h"

namespace scopewatch {
namespace {

std::vector<AirportRecord> Airports(const std::vector<std::string>& names) {
    std::vector<AirportRecord> airports(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        airports[i].name = names[i];
    }
    return airports;
}

// The search finds the trimmed text in any letter case (accents of Windows-1252 fold too)
// from record 0 on, in database order; spaces alone match every named airport, and a name
// holding "Index:" still gives its line.
TEST(AirportSearchTest, FindsTheTextInAnyLetterCaseInDatabaseOrderSpacesMatchEveryName) {
    const auto airports =
        Airports({"Camden Intl", "Eldorado Intl", "South Field", "INTLAND", "Eldorado Intl", ""});
    const std::vector<std::string> expected = {"Camden Intl   Index: 0", "Eldorado Intl   Index: 1",
                                               "INTLAND   Index: 3", "Eldorado Intl   Index: 4"};
    EXPECT_EQ(SearchAirports(airports, "intl"), expected);
    EXPECT_EQ(SearchAirports(airports, "  InTl   "), expected);
    EXPECT_TRUE(SearchAirports(airports, "heliport").empty());

    const auto others = Airports({"A", "", "\xC9vreux Fauville", "Index: 7 Field"});
    EXPECT_EQ(SearchAirports(others, "   "),
              (std::vector<std::string>{"A   Index: 0", "\xC9vreux Fauville   Index: 2",
                                        "Index: 7 Field   Index: 3"}));
    EXPECT_EQ(SearchAirports(others, "\xE9vreux").size(), 1u);  // e-acute in Windows-1252
}

}  // namespace
}  // namespace scopewatch
