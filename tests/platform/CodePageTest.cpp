#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace scopewatch {
namespace {

// Every byte goes to its character and back; what Windows-1252 lacks becomes "?".
TEST(CodePageTest, MapsTheWindows1252HighCodesAndEveryByteRoundTrips) {
    EXPECT_EQ(FromAnsi("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(FromAnsi("\x9F"), QString(QChar(0x0178)));
    EXPECT_EQ(FromAnsi("Z\xFCrich"), QString::fromUtf8("Zürich"));
    EXPECT_EQ(FromAnsi("\x81"), QString(QChar(0x0081)));  // undefined: its C1 control
    EXPECT_EQ(ToAnsi(QString::fromUtf8("€ Zürich")), "\x80 Z\xFCrich");
    EXPECT_EQ(ToAnsi(QString::fromUtf8("Tōkyō 東京")), "T?ky? ??");
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

TEST(CodePageTest, ExactConversionRefusesWhatWindows1252Lacks) {
    EXPECT_EQ(ToAnsiExactly(QString::fromUtf8("\u20AC Z\u00FCrich \u00FF")), "\x80 Z\xFCrich \xFF");
    EXPECT_EQ(ToAnsiExactly(QString(QChar(0x0081))), "\x81");        // an undefined code
    EXPECT_EQ(ToAnsiExactly(QString(QChar(0x0080))), std::nullopt);  // € is 0x80, not U+0080
    EXPECT_EQ(ToAnsiExactly(QString::fromUtf8("T\u014Dky\u014D")), std::nullopt);
    EXPECT_EQ(ToAnsiExactly(QString()), "");
}

TEST(CodePageTest, LowerCaseCoversAccentedLetters) {
    EXPECT_EQ(AnsiLower("ELDORADO Intl"), "eldorado intl");
    EXPECT_EQ(AnsiLower("Z\xDCRICH \xC9"), "z\xFCrich \xE9");
    EXPECT_EQ(AnsiLower("\xD7\x8A"), "\xD7\x9A");  // the multiplication sign stays
    EXPECT_EQ(AnsiUpper("kjfk z\xFCrich \xF7\xFF"), "KJFK Z\xDCRICH \xF7\x9F");
}

}  // namespace
}  // namespace scopewatch
