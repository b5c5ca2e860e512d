#include <gtest/gtest.h>

#include "startup/Settings.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

SettingsRecord SetupRecord() {
    SettingsRecord record;
    record.header = kSettingsHeader;
    record.marker = 1;
    record.simVersion = 1;
    record.simFolder = "C:\\FS2002";
    return record;
}

TEST(SettingsTest, FreshRecordIsFortyThreeBytesInTableOrder) {
    const std::vector<uint8_t> bytes = EncodeSettings(SetupRecord());
    ASSERT_EQ(bytes.size(), 43U);
    EXPECT_EQ(bytes[0], 22);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 24), "Scopewatch Version 1.0");
    EXPECT_EQ(bytes[24], 1);  // marker
    EXPECT_EQ(bytes[25], 1);  // simVersion
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 26, bytes.begin() + 30),
              (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(bytes[30], 9);
    EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 41), "C:\\FS2002");
    EXPECT_EQ(bytes[41], 0);
    EXPECT_EQ(bytes[42], 0);
}

TEST(SettingsTest, WriteThenReadCopiesTheFourSharedValues) {
    testing::TempDir dir;
    SettingsRecord record = SetupRecord();
    record.airportCount = 23456;
    record.facilityDataFolder = "C:\\FS2002\\Scenery\\Afd\\scenery";
    ASSERT_TRUE(WriteSettings(dir / kSettingsFileName, record).ok);

    SettingsRecord read;
    SettingsValues values;
    ASSERT_TRUE(ReadSettings(dir / kSettingsFileName, read, values).ok);
    EXPECT_EQ(read, record);
    EXPECT_EQ(values.simVersion, 1);
    EXPECT_EQ(values.airportCount, 23456);
    EXPECT_EQ(values.simFolder, "C:\\FS2002");
    EXPECT_EQ(values.facilityDataFolder, "C:\\FS2002\\Scenery\\Afd\\scenery");
}

TEST(SettingsTest, UpdateKeepsTheOtherFields) {
    testing::TempDir dir;
    SettingsRecord written = SetupRecord();
    written.simVersion = 0;
    written.marker = 7;
    ASSERT_TRUE(WriteSettings(dir / kSettingsFileName, written).ok);

    SettingsValues shared;
    shared.simFolder = "something else";
    shared.airportCount = 12;
    shared.facilityDataFolder = "D:\\afd";
    ASSERT_TRUE(UpdateSettings(dir / kSettingsFileName, shared).ok);

    const auto decoded = DecodeSettings(testing::ReadBytes(dir / kSettingsFileName));
    ASSERT_TRUE(decoded.record);
    written.airportCount = 12;
    written.facilityDataFolder = "D:\\afd";
    EXPECT_EQ(*decoded.record, written);
    EXPECT_FALSE(std::filesystem::exists(dir / "atc_settings.tcs.partial"));
}

TEST(SettingsTest, DamagedFilesAreRefusedAndChangeNothing) {
    std::vector<uint8_t> bytes = EncodeSettings(SetupRecord());
    for (size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        EXPECT_FALSE(DecodeSettings(cut).record) << "length " << length;
    }
    bytes[30] = 0xFF;  // simFolder length runs past the end
    EXPECT_FALSE(DecodeSettings(bytes).record);

    testing::TempDir dir;
    dir.Write(kSettingsFileName, std::vector<uint8_t>{22, 0, 'S'});
    SettingsRecord record = SetupRecord();
    SettingsValues values;
    values.simFolder = "kept";
    const SettingsResult result = ReadSettings(dir / kSettingsFileName, record, values);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("too short"), std::string::npos);
    EXPECT_EQ(values.simFolder, "kept");
    EXPECT_FALSE(UpdateSettings(dir / kSettingsFileName, values).ok);
    EXPECT_FALSE(ReadSettings(dir / "missing.tcs", record, values).ok);
}

}  // namespace
}  // namespace scopewatch
