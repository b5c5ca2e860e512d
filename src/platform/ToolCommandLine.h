#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <string>
#include <vector>

namespace scopewatch {

// What every command-line tool prints for --version.
inline constexpr const char* kVersionText = "Scopewatch 1.0";

// The exit code of a command line the tool cannot run with.
inline constexpr int kUsageExitCode = 2;

// What a tool does after reading its command line: run, or end at once with exitCode after
// printing output (help or version, to standard output) or error (one line, standard error).
struct CommandLineVerdict {
    bool run = false;
    int exitCode = 0;
    std::string output;
    std::string error;
};

// One positional argument of a tool, such as the folder it writes into.
struct PositionalArgument {
    QString name;
    QString description;
};

// The command line of one of the command-line tools: its options and positional arguments,
// with -h/--help and -v/--version added. Reading rejects an unknown option, an option given
// twice and a wrong number of positional arguments, each with a one-line message.
class ToolCommandLine {
  public:
    // synopsis follows the tool's name in the usage line, e.g. "[options] DIR".
    ToolCommandLine(std::string tool, std::string synopsis, const QString& description,
                    const QList<QCommandLineOption>& options,
                    std::vector<PositionalArgument> positionals = {});

    // Where the tool reads its option values after Read.
    const QCommandLineParser& parser() const { return parser_; }

    // The arguments as QCoreApplication::arguments() gives them: the program first.
    CommandLineVerdict Read(const QStringList& arguments);

    // The verdict for a value the tool cannot use: "tool: text (see tool --help)".
    CommandLineVerdict Refuse(const std::string& text) const;

    // The positional arguments after Read, as local file names.
    std::vector<std::string> Positionals() const;

    std::string HelpText() const;

  private:
    std::string tool_;
    std::string synopsis_;
    std::vector<PositionalArgument> positionals_;
    QCommandLineParser parser_;
};

// Prints the verdict's texts; gives the exit code.
int PrintVerdict(const CommandLineVerdict& verdict);

}  // namespace scopewatch
