#include <cstdio>
#include <exception>
#include <filesystem>

#include "demo/DemoSimulator.h"

// scopewatch-make-demo-sim DIR: writes a small made-up simulator folder into DIR, whose path
// can be entered in the program's setup in place of the real simulator's folder.
int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scopewatch-make-demo-sim DIR\n");
        return 2;
    }
    const std::filesystem::path dir = std::filesystem::absolute(argv[1]);
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
