#include <gtest/gtest.h>

#include "startup/Settings.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

SettingsRecord SetupRecord() {
    return {kSettingsHeader, 1, 1, 0, "C:\\FS2002", ""};
}

// A fresh record is 43 bytes: header length and text, marker, simVersion, airportCount,
// simFolder, empty facility data folder.
TEST(SettingsTest, FreshRecordIsByteExact) {
    testing::ExpectBytesMatchGolden(EncodeSettings(SetupRecord()), "startup/settings-fresh.hex",
                                    "the settings record setup writes for C:\\FS2002");
}

// Reading copies the four shared values; an update writes the airport count and the facility
// data folder, keeps the other fields as they stand in the file and leaves nothing beside it.
TEST(SettingsTest, WriteThenReadCopiesTheFourSharedValuesAndUpdateKeepsTheOtherFields) {
    testing::TempDir dir;
    const SettingsRecord record{
        kSettingsHeader, 1, 1, 23456, "C:\\FS2002", "C:\\FS2002\\Scenery\\Afd\\scenery"};
    ASSERT_TRUE(WriteSettings(dir / kSettingsFileName, record).ok());

    SettingsRecord read;
    SettingsValues values;
    ASSERT_TRUE(ReadSettings(dir / kSettingsFileName, read, values).ok());
    EXPECT_EQ(read, record);
    EXPECT_EQ(std::tuple(values.simVersion, values.airportCount, values.simFolder,
                         values.facilityDataFolder),
              std::tuple(uint8_t{1}, 23456, record.simFolder, record.facilityDataFolder));

    ASSERT_TRUE(
        WriteSettings(dir / kSettingsFileName, {kSettingsHeader, 7, 0, 0, "C:\\FS2002", ""}).ok());
    ASSERT_TRUE(UpdateSettings(dir / kSettingsFileName, {0, 12, "something else", "D:\\afd"}).ok());

    const auto decoded = DecodeSettings(testing::ReadBytes(dir / kSettingsFileName));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(*decoded.value, (SettingsRecord{kSettingsHeader, 7, 0, 12, "C:\\FS2002", "D:\\afd"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "atc_settings.tcs.partial"));
}

// A cut or overlong record is refused; a damaged or missing file is reported and changes
// nothing.
TEST(SettingsTest, DamagedFilesAreRefusedAndChangeNothing) {
    std::vector<uint8_t> bytes = EncodeSettings(SetupRecord());
    for (size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        EXPECT_FALSE(DecodeSettings(cut).ok()) << "length " << length;
    }
    bytes[30] = 0xFF;  // simFolder length runs past the end
    EXPECT_FALSE(DecodeSettings(bytes).ok());

    testing::TempDir dir;
    dir.Write(kSettingsFileName, std::vector<uint8_t>{22, 0, 'S'});
    SettingsRecord record = SetupRecord();
    SettingsValues values;
    values.simFolder = "kept";
    const Status result = ReadSettings(dir / kSettingsFileName, record, values);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.failure.find("too short"), std::string::npos);
    EXPECT_EQ(values.simFolder, "kept");
    EXPECT_FALSE(UpdateSettings(dir / kSettingsFileName, values).ok());
    EXPECT_FALSE(ReadSettings(dir / "missing.tcs", record, values).ok());
}

}  // namespace
}  // namespace scopewatch
