#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace scopewatch {
namespace {

TEST(CodePageTest, MapsTheWindows1252HighCodes) {
    EXPECT_EQ(FromAnsi("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(FromAnsi("\x9F"), QString(QChar(0x0178)));
    EXPECT_EQ(FromAnsi("Z\xFCrich"), QString::fromUtf8("Zürich"));
    EXPECT_EQ(FromAnsi("\x81"), QString(QChar(0x0081)));  // undefined: its C1 control
    EXPECT_EQ(ToAnsi(QString::fromUtf8("€ Zürich")), "\x80 Z\xFCrich");
}

TEST(CodePageTest, EveryByteRoundTrips) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

TEST(CodePageTest, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(ToAnsi(QString::fromUtf8("Tōkyō 東京")), "T?ky? ??");
}

TEST(CodePageTest, LowerCaseCoversAccentedLetters) {
    EXPECT_EQ(AnsiLower("ELDORADO Intl"), "eldorado intl");
    EXPECT_EQ(AnsiLower("Z\xDCRICH \xC9"), "z\xFCrich \xE9");
    EXPECT_EQ(AnsiLower("\xD7\x8A"), "\xD7\x9A");  // the multiplication sign stays
    EXPECT_EQ(AnsiUpper("kjfk z\xFCrich \xF7\xFF"), "KJFK Z\xDCRICH \xF7\x9F");
}

}  // namespace
}  // namespace scopewatch
