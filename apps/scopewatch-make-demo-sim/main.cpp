#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "demo/DemoSimulator.h"
#include "platform/ToolCommandLine.h"

// scopewatch-make-demo-sim [options] DIR: writes a small made-up simulator folder into DIR,
// whose path can be entered in the program's setup in place of the real simulator's folder.
int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    scopewatch::ToolCommandLine commandLine(
        "scopewatch-make-demo-sim", "[options] DIR",
        "Writes a small made-up simulator folder (scenery.cfg, magdec.bgl, fifteen airports\n"
        "and airspaces) into DIR, to enter in setup in place of the simulator's main folder.",
        {}, {{"DIR", "The folder to write; made if missing."}});
    if (const auto verdict = commandLine.Read(application.arguments()); !verdict.run) {
        return scopewatch::PrintVerdict(verdict);
    }
    const std::filesystem::path dir = std::filesystem::absolute(commandLine.Positionals().front());
    try {
        scopewatch::demo::WriteDemoSimulator(dir);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scopewatch-make-demo-sim: %s\n", error.what());
        return 1;
    }
    size_t airports = 0;
    for (const auto& file : scopewatch::demo::DemoSceneryFiles()) {
        airports += file.airports.size();
    }
    std::printf("Demo simulator written to %s (%zu airports). Enter this folder in setup.\n",
                dir.string().c_str(), airports);
    return 0;
}
