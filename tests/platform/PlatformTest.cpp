// The platform layer's small pieces: Windows-1252 texts, errors escaping event handlers and
// the command lines of the tools.

#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>

#include "platform/CodePage.h"
#include "platform/ToolCommandLine.h"
#include "platform/ui/GuardedApplication.h"
#include "support/EventErrors.h"
#include "support/Golden.h"
#include "support/SpinEventLoop.h"

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

// An error that escapes a timer's handler is reported, and the event loop goes on with the
// next event.
TEST(GuardedApplication, ReportsErrorsThatEscapeHandlersAndGoesOn) {
    testing::EventErrors& errors = testing::TheEventErrors();
    errors.expected = true;
    errors.seen.clear();

    QTimer::singleShot(0, [] { throw std::runtime_error("the tick failed"); });
    int later = 0;
    QTimer::singleShot(5, [&] { ++later; });
    ASSERT_TRUE(testing::SpinUntil([&] { return later == 1; }, 2000));

    QTimer::singleShot(0, [] { throw 42; });
    ASSERT_TRUE(testing::SpinUntil([&] { return errors.seen.size() == 2; }, 2000));

    errors.expected = false;
    EXPECT_EQ(errors.seen, (std::vector<std::string>{"the tick failed", "an unknown error"}));
    EXPECT_EQ(UnexpectedErrorText("x").rfind("An unexpected error stopped the last action: x.", 0),
              0U);
}

// A tool like the database builder (one folder argument, one value option), reading the
// arguments after the program's path.
CommandLineVerdict ReadArguments(ToolCommandLine& commandLine, const QStringList& arguments) {
    return commandLine.Read(QStringList{"/some/path/sw-tool"} + arguments);
}
ToolCommandLine FolderTool() {
    return ToolCommandLine("sw-tool", "[options] DIR", "Does something with DIR.",
                           {{"size", "How big.", "WxH"}}, {{"DIR", "The folder to work in."}});
}

// Help (as in tests/data/platform/tool-help.txt) and version print and end with success (the
// usage line names the tool, not the path it was started from); a good command line runs with its
// values, "--" ending the options; a wrong one ends with one line naming the fault and a usage exit
// code.
TEST(ToolCommandLineTest, HelpVersionAGoodAndEveryWrongCommandLine) {
    const std::vector<std::pair<QStringList, std::string>> verdicts = {
        {{"--help", "--bogus"}, "0 Usage: sw-tool [options] DIR\n"},
        {{"-h"}, "0 Usage: sw-tool [options] DIR\n"},
        {{"--version"}, "0 Scopewatch 1.0\n"},
        {{"-v"}, "0 Scopewatch 1.0\n"},
        {{"--bogus", "dir"}, "sw-tool: Unknown option 'bogus'."},
        {{"-bogus", "dir"}, "sw-tool: Unknown option 'bogus'."},
        {{"dir", "--size"}, "sw-tool: Missing value after '--size'."},
        {{"--size", "1x1", "--size=2x2", "dir"}, "sw-tool: --size is given more than once"},
        {{}, "sw-tool: DIR is missing"},
        {{"dir", "other dir"}, "sw-tool: unexpected argument 'other dir'"},
    };
    for (const auto& [arguments, expected] : verdicts) {
        ToolCommandLine commandLine = FolderTool();
        const CommandLineVerdict verdict = ReadArguments(commandLine, arguments);
        EXPECT_FALSE(verdict.run) << expected;
        if (expected.starts_with("0 ")) {
            EXPECT_EQ(std::to_string(verdict.exitCode) + " " + verdict.error +
                          verdict.output.substr(0, expected.size() - 2),
                      expected);
        } else {
            EXPECT_EQ(verdict.exitCode, kUsageExitCode);
            EXPECT_EQ(verdict.output + verdict.error, expected + " (see sw-tool --help)\n");
        }
    }
    ToolCommandLine help = FolderTool();
    testing::ExpectTextMatchesGolden(ReadArguments(help, {"-h"}).output, "platform/tool-help.txt",
                                     "the help a tool with a folder and a value option prints");
    ToolCommandLine good = FolderTool();
    EXPECT_TRUE(ReadArguments(good, {"--size", "4x3", "--", "-folder \u00e9"}).run);
    EXPECT_EQ(good.parser().value("size"), "4x3");
    EXPECT_EQ(good.Positionals(), std::vector<std::string>{"-folder \xc3\xa9"});
    EXPECT_EQ(good.Refuse("--size needs WxH").error,
              "sw-tool: --size needs WxH (see sw-tool --help)\n");
}

}  // namespace
}  // namespace scopewatch
