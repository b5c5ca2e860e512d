#include <gtest/gtest.h>

#include "airport/AirportSearch.h"
#include "airport/AirportTakeOver.h"
#include "support/CommaDecimalLocale.h"

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
    EXPECT_EQ(SearchAirports(airports, "  InTl   "), expected);
    EXPECT_TRUE(SearchAirports(airports, "heliport").empty());
    const auto others = Airports({"A", "", "\xC9vreux Fauville", "Index: 7 Field"});
    EXPECT_EQ(SearchAirports(others, "   "),
              (std::vector<std::string>{"A   Index: 0", "\xC9vreux Fauville   Index: 2",
                                        "Index: 7 Field   Index: 3"}));
    EXPECT_EQ(SearchAirports(others, "\xE9vreux").size(), 1u);  // e-acute in Windows-1252
}

// The index is the number after the last "Index:" label (a name holding one does not hide
// it), rounded halves to even, read with a point under a comma-decimal locale too (Qt applies
// the user's at start-up); without the label it is read from the sixth character on.
TEST(AirportTakeOverTest, ReadsTheNumberAfterTheLastIndexLabel) {
    const testing::CommaDecimalLocale comma;
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Eldorado Intl", 1234)), 1234);
    EXPECT_EQ(ParseIndexFromLine("Eldorado Intl   Index:    42   "), 42);
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Index: 7 Field", 1)), 1);
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Runway Index: 99999", 3)), 3);
    EXPECT_EQ(ParseIndexFromLine("X   Index: 2.5"), 2);  // halves to even
    EXPECT_EQ(ParseIndexFromLine("X   Index: 13.5abc"), 14);
    EXPECT_EQ(ParseIndexFromLine("X   Index:"), 0);
    EXPECT_EQ(ParseIndexFromLine("abcde17 rest"), 17);
    EXPECT_EQ(ParseIndexFromLine("abc"), 0);
}

// Taking over copies the record whole and empties the list (tests/airport/AirportWindowTest);
// an index outside the list changes nothing.
TEST(AirportTakeOverTest, AnIndexOutsideTheListChangesNothing) {
    LoadedAirportData data;
    data.airportList.resize(3);
    data.currentAirport.name = "Kept";
    EXPECT_FALSE(TakeOverAirport(data, 3) || TakeOverAirport(data, -1));
    EXPECT_EQ(data.currentAirport.name, "Kept");
    EXPECT_EQ(data.airportList.size(), 3u);
}

}  // namespace
}  // namespace scopewatch
