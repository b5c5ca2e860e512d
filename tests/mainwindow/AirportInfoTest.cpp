#include <gtest/gtest.h>

#include "mainwindow/AirportInfo.h"

namespace scopewatch {
namespace {

// Empty fields leave their labels alone on their lines: the main window's test shows them.
TEST(AirportInfoTest, NineLabelledLinesWithTheFieldsAsStored) {
    AirportRecord airport;
    airport.name = "Z\xfcrich Intl";  // Windows-1252 bytes pass through unchanged
    airport.icaoId = "LSZH";
    airport.atisFreq = "128.52";
    airport.clearanceFreq = "121.80";
    airport.groundFreq = " 121.90 ";  // no trimming
    airport.towerFreq = "118.10";
    airport.departureFreq = "125.95";
    airport.approachFreq = "118.00";
    airport.centerFreq = "132.60";
    airport.latitude = 47.46;  // fields that are not listed stay out
    EXPECT_EQ(AirportGeneralInfoText(airport),
              "Airport Name: Z\xfcrich Intl\r\n"
              "ICAO ID: LSZH\r\n"
              "ATIS Freq: 128.52\r\n"
              "Clearance Freq: 121.80\r\n"
              "Ground Freq:  121.90 \r\n"
              "Tower Freq: 118.10\r\n"
              "Departure Freq: 125.95\r\n"
              "Approach Freq: 118.00\r\n"
              "Center Freq: 132.60");
}

}  // namespace
}  // namespace scopewatch
