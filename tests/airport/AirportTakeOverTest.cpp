#include <gtest/gtest.h>

#include "airport/AirportSearch.h"
#include "airport/AirportTakeOver.h"
#include "support/CommaDecimalLocale.h"

namespace scopewatch {
namespace {

// The index is the number after the last "Index:" label (a name holding one does not hide
// it), rounded halves to even; without the label it is read from the sixth character on.
TEST(AirportTakeOverTest, ReadsTheNumberAfterTheLastIndexLabel) {
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Eldorado Intl", 1234)), 1234);
    EXPECT_EQ(ParseIndexFromLine("Eldorado Intl   Index:    42   "), 42);
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Index: 7 Field", 1)), 1);
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Runway Index: 99999", 3)), 3);
    EXPECT_EQ(ParseIndexFromLine("X   Index: 2.5"), 2);  // halves to even
    EXPECT_EQ(ParseIndexFromLine("X   Index: 3.5abc"), 4);
    EXPECT_EQ(ParseIndexFromLine("X   Index:"), 0);
    EXPECT_EQ(ParseIndexFromLine("abcde17 rest"), 17);
    EXPECT_EQ(ParseIndexFromLine("abc"), 0);
}

// Qt applies the user's locale at start-up; the index is still read with a point.
TEST(AirportTakeOverTest, ReadsTheIndexWithAPointUnderACommaDecimalLocale) {
    const testing::CommaDecimalLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << testing::CommaDecimalLocale::skipReason();
    }
    EXPECT_EQ(ParseIndexFromLine("X   Index: 13.5"), 14);
    EXPECT_EQ(ParseIndexFromLine(ResultLine("Eldorado Intl", 12)), 12);
}

// Taking over copies the record whole and empties the list; an index outside the list
// changes nothing.
TEST(AirportTakeOverTest, CopiesTheRecordWholeAndEmptiesTheList) {
    LoadedAirportData data;
    data.airportList.resize(3);
    data.currentAirport.name = "Kept";
    EXPECT_FALSE(TakeOverAirport(data, 3) || TakeOverAirport(data, -1));
    EXPECT_EQ(data.currentAirport.name, "Kept");
    EXPECT_EQ(data.airportList.size(), 3u);
    data.airportList[1].name = "Eldorado Intl";
    data.airportList[1].runways.push_back({"04", "22", 1, 2, 3, 4, 5, 6, 7, 8, 9});
    data.airportList[1].parkings.push_back({"GATE A 1", 1, 2, 3});
    const AirportRecord expected = data.airportList[1];
    ASSERT_TRUE(TakeOverAirport(data, 1));
    EXPECT_EQ(data.currentAirport, expected);
    EXPECT_TRUE(data.airportList.empty());
}

}  // namespace
}  // namespace scopewatch
