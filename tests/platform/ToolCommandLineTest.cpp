#include <gtest/gtest.h>

#include "platform/ToolCommandLine.h"

namespace scopewatch {
namespace {

// A tool like the database builder: one folder argument and one value option.
ToolCommandLine FolderTool() {
    return ToolCommandLine("sw-tool", "[options] DIR", "Does something with DIR.",
                           {{"size", "How big.", "WxH"}}, {{"DIR", "The folder to work in."}});
}

CommandLineVerdict ReadArguments(ToolCommandLine& commandLine, const QStringList& arguments) {
    return commandLine.Read(QStringList{"/some/path/sw-tool"} + arguments);
}

// Help and version print and end with success (the usage line names the tool, not the path it
// was started from); a good command line runs with its values, "--" ending the options.
TEST(ToolCommandLineTest, HelpAndVersionPrintAndEndWithSuccessAGoodCommandLineRuns) {
    ToolCommandLine commandLine = FolderTool();
    for (const char* help : {"--help", "-h"}) {
        const CommandLineVerdict verdict = ReadArguments(commandLine, {help, "--bogus"});
        EXPECT_FALSE(verdict.run);
        EXPECT_EQ(verdict.exitCode, 0);
        EXPECT_EQ(verdict.error, "");
        EXPECT_TRUE(verdict.output.starts_with("Usage: sw-tool [options] DIR\n")) << verdict.output;
        for (const char* part : {"Does something with DIR.", "--size <WxH>", "How big.",
                                 "--version", "The folder to work in."}) {
            EXPECT_NE(verdict.output.find(part), std::string::npos) << part;
        }
    }
    for (const char* version : {"--version", "-v"}) {
        const CommandLineVerdict verdict = ReadArguments(commandLine, {version});
        EXPECT_FALSE(verdict.run);
        EXPECT_EQ(verdict.exitCode, 0);
        EXPECT_EQ(verdict.output, "Scopewatch 1.0\n");
    }
    ToolCommandLine good = FolderTool();
    EXPECT_TRUE(ReadArguments(good, {"--size", "4x3", "--", "-folder é"}).run);
    EXPECT_EQ(good.parser().value("size"), "4x3");
    EXPECT_EQ(good.Positionals(), std::vector<std::string>{"-folder \xc3\xa9"});
    EXPECT_EQ(good.Refuse("--size needs WxH").error,
              "sw-tool: --size needs WxH (see sw-tool --help)\n");
}

// A wrong command line ends with one line naming the fault and a usage exit code.
TEST(ToolCommandLineTest, AWrongCommandLineEndsWithOneLineAndAUsageExitCode) {
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"--bogus", "dir"}, "sw-tool: Unknown option 'bogus'. (see sw-tool --help)\n"},
        {{"-bogus", "dir"}, "sw-tool: Unknown option 'bogus'. (see sw-tool --help)\n"},
        {{"dir", "--size"}, "sw-tool: Missing value after '--size'. (see sw-tool --help)\n"},
        {{"--size", "1x1", "--size=2x2", "dir"},
         "sw-tool: --size is given more than once (see sw-tool --help)\n"},
        {{}, "sw-tool: DIR is missing (see sw-tool --help)\n"},
        {{"dir", "other dir"}, "sw-tool: unexpected argument 'other dir' (see sw-tool --help)\n"},
    };
    for (const auto& [arguments, error] : cases) {
        ToolCommandLine commandLine = FolderTool();
        const CommandLineVerdict verdict = ReadArguments(commandLine, arguments);
        EXPECT_FALSE(verdict.run) << error;
        EXPECT_EQ(verdict.exitCode, kUsageExitCode);
        EXPECT_EQ(verdict.output, "");
        EXPECT_EQ(verdict.error, error);
    }
}

}  // namespace
}  // namespace scopewatch
