#include <gtest/gtest.h>

#include "airport/AirportSearch.h"

namespace scopewatch {
namespace {

std::vector<AirportRecord> Airports(const std::vector<std::string>& names) {
    std::vector<AirportRecord> airports;
    for (const std::string& name : names) {
        AirportRecord airport;
        airport.name = name;
        airports.push_back(airport);
    }
    return airports;
}

TEST(AirportSearchTest, FindsTheTextInAnyLetterCaseFromRecordZeroOnInDatabaseOrder) {
    const auto airports =
        Airports({"Camden Intl", "Eldorado Intl", "South Field", "INTLAND", "Eldorado Intl", ""});
    const std::vector<std::string> expected = {"Camden Intl   Index: 0", "Eldorado Intl   Index: 1",
                                               "INTLAND   Index: 3", "Eldorado Intl   Index: 4"};
    EXPECT_EQ(SearchAirports(airports, "intl"), expected);
    EXPECT_EQ(SearchAirports(airports, "  InTl   "), expected);
    EXPECT_TRUE(SearchAirports(airports, "heliport").empty());
}

// A name holding "Index:" still gives its line.
TEST(AirportSearchTest, SpacesAloneMatchEveryNamedAirportAndAccentsFoldToo) {
    const auto airports = Airports({"A", "", "\xC9vreux Fauville", "Index: 7 Field"});
    EXPECT_EQ(SearchAirports(airports, "   "),
              (std::vector<std::string>{"A   Index: 0", "\xC9vreux Fauville   Index: 2",
                                        "Index: 7 Field   Index: 3"}));
    EXPECT_EQ(SearchAirports(airports, "\xE9vreux").size(), 1u);  // E-acute in Windows-1252
}

}  // namespace
}  // namespace scopewatch
