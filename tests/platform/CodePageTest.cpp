#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace scopewatch {
namespace {

// Every byte goes to its character and back; what Windows-1252 lacks becomes "?", and the
// exact conversion refuses it instead (U+0080 is not the euro's 0x80; an undefined code such
// as 0x81 stands for its C1 control).
TEST(CodePageTest, MapsTheWindows1252HighCodesAndEveryByteRoundTrips) {
    EXPECT_EQ(FromAnsi("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(FromAnsi("\x9F"), QString(QChar(0x0178)));
    EXPECT_EQ(FromAnsi("Z\xFCrich"), QString::fromUtf8("Zürich"));
    EXPECT_EQ(FromAnsi("\x81"), QString(QChar(0x0081)));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("€ Zürich")), "\x80 Z\xFCrich");
    EXPECT_EQ(ToAnsi(QString::fromUtf8("Tōkyō 東京")), "T?ky? ??");
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);

    EXPECT_EQ(ToAnsiExactly(QString::fromUtf8("\u20AC Z\u00FCrich \u00FF")), "\x80 Z\xFCrich \xFF");
    EXPECT_EQ(ToAnsiExactly(QString(QChar(0x0081))), "\x81");
    EXPECT_EQ(ToAnsiExactly(QString(QChar(0x0080))), std::nullopt);
    EXPECT_EQ(ToAnsiExactly(QString::fromUtf8("T\u014Dky\u014D")), std::nullopt);
    EXPECT_EQ(ToAnsiExactly(QString()), "");
}

// Lower and upper case cover the accented letters; the multiplication and division signs stay.
TEST(CodePageTest, LowerAndUpperCaseCoverAccentedLetters) {
    EXPECT_EQ(AnsiLower("ELDORADO Intl"), "eldorado intl");
    EXPECT_EQ(AnsiLower("Z\xDCRICH \xC9"), "z\xFCrich \xE9");
    EXPECT_EQ(AnsiLower("\xD7\x8A"), "\xD7\x9A");
    EXPECT_EQ(AnsiUpper("kjfk z\xFCrich \xF7\xFF"), "KJFK Z\xDCRICH \xF7\x9F");
}

}  // namespace
}  // namespace scopewatch
