// scopewatch-replay-info [--json] FILE
// Says what the DirectPlay session in a capture file did: the session, its machines and players,
// the joins step by step, the messages by kind, the frames that could not be read or would be
// refused, each aircraft's first and last position and the duration.

#include <QCoreApplication>
#include <cstdio>

#include "platform/ToolCommandLine.h"
#include "replay/ReadRecording.h"
#include "replay/ReplayReport.h"

namespace {

scopewatch::ToolCommandLine InfoCommandLine() {
    return scopewatch::ToolCommandLine(
        "scopewatch-replay-info", "[--json] FILE",
        "Says what the DirectPlay session in a capture file (pcap or pcapng: a recording of\n"
        "Scopewatch's, or a capture made with tcpdump, Wireshark or tshark) did, as an observer\n"
        "of every machine saw it: the session (name, flags, dialect, host), every machine and\n"
        "player with its id, name and addresses, the joins step by step, the messages per\n"
        "DirectPlay command and per game message kind, the frames that could not be read or\n"
        "that the sender rules would refuse (each with where it is in the file), each\n"
        "aircraft's first and last position, and the duration. Exits with 1 when the file\n"
        "cannot be read as a capture of a DirectPlay session.",
        {{"json", "Prints the same as one JSON document."}}, {{"FILE", "The capture file."}});
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    scopewatch::ToolCommandLine commandLine = InfoCommandLine();
    if (const auto verdict = commandLine.Read(application.arguments()); !verdict.run) {
        return scopewatch::PrintVerdict(verdict);
    }
    const std::string file = commandLine.Positionals().front();
    const auto read = scopewatch::replay::ReadRecording(
        file, scopewatch::replay::RecordingOptions{false, nullptr});
    if (!read.ok()) {
        std::fprintf(stderr, "scopewatch-replay-info: %s\n", read.failure.c_str());
        return 1;
    }
    const std::string report = commandLine.parser().isSet("json")
                                   ? scopewatch::replay::ReportJson(*read.value)
                                   : scopewatch::replay::ReportText(*read.value);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}
