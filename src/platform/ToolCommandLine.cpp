#include "platform/ToolCommandLine.h"

#include <QFile>
#include <cstdio>

namespace scopewatch {

namespace {

std::string Quoted(const QString& text) {
    return "'" + text.toStdString() + "'";
}

// The first value option given more than once, or an empty text.
QString RepeatedOption(const QCommandLineParser& parser) {
    for (const QString& name : parser.optionNames()) {
        if (parser.values(name).size() > 1) {
            return name;
        }
    }
    return {};
}

QString OptionSpelling(const QString& name) {
    return (name.size() == 1 ? "-" : "--") + name;
}

}  // namespace

ToolCommandLine::ToolCommandLine(std::string tool, std::string synopsis, const QString& description,
                                 const QList<QCommandLineOption>& options,
                                 std::vector<PositionalArgument> positionals)
    : tool_(std::move(tool)), synopsis_(std::move(synopsis)), positionals_(std::move(positionals)) {
    parser_.setApplicationDescription(description);
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption({{"h", "help"}, "Prints this help and ends."});
    parser_.addOption({{"v", "version"}, "Prints the version and ends."});
    parser_.addOptions(options);
    for (const PositionalArgument& positional : positionals_) {
        parser_.addPositionalArgument(positional.name, positional.description);
    }
}

CommandLineVerdict ToolCommandLine::Read(const QStringList& arguments) {
    // Asking for help or the version wins over mistakes elsewhere on the line.
    const bool parsed = parser_.parse(arguments);
    if (parser_.isSet("help")) {
        return {false, 0, HelpText(), ""};
    }
    if (parser_.isSet("version")) {
        return {false, 0, std::string(kVersionText) + "\n", ""};
    }
    if (!parsed) {
        return Refuse(parser_.errorText().toStdString());
    }
    if (const QString repeated = RepeatedOption(parser_); !repeated.isEmpty()) {
        return Refuse(OptionSpelling(repeated).toStdString() + " is given more than once");
    }
    const QStringList given = parser_.positionalArguments();
    if (given.size() > static_cast<qsizetype>(positionals_.size())) {
        return Refuse("unexpected argument " + Quoted(given.at(positionals_.size())));
    }
    if (given.size() < static_cast<qsizetype>(positionals_.size())) {
        return Refuse(positionals_.at(given.size()).name.toStdString() + " is missing");
    }
    return {true, 0, "", ""};
}

CommandLineVerdict ToolCommandLine::Refuse(const std::string& text) const {
    return {false, kUsageExitCode, "", tool_ + ": " + text + " (see " + tool_ + " --help)\n"};
}

std::vector<std::string> ToolCommandLine::Positionals() const {
    std::vector<std::string> names;
    for (const QString& argument : parser_.positionalArguments()) {
        names.push_back(QFile::encodeName(argument).toStdString());
    }
    return names;
}

std::string ToolCommandLine::HelpText() const {
    // Qt's text starts with a usage line naming the executable as it was started; ours
    // names the tool and shows the arguments the options need.
    const QString qtText = parser_.helpText();
    const qsizetype firstLineEnd = qtText.indexOf('\n');
    const QString rest = firstLineEnd < 0 ? QString() : qtText.mid(firstLineEnd + 1);
    return "Usage: " + tool_ + " " + synopsis_ + "\n" + rest.toStdString();
}

int PrintVerdict(const CommandLineVerdict& verdict) {
    std::fputs(verdict.output.c_str(), stdout);
    std::fputs(verdict.error.c_str(), stderr);
    return verdict.exitCode;
}

}  // namespace scopewatch
