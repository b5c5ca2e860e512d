// scopewatch-fuzz-seeds OUTDIR: writes the seed corpora of the fuzz targets into
// OUTDIR/<target>/ (scripts/fuzz.sh --seeds puts them into fuzz/corpus/). The demo simulator
// and the demo's loopback sessions are made afresh in a temporary folder for it.
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "FileSeeds.h"
#include "IntakeSeeds.h"
#include "TrafficSeeds.h"

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: scopewatch-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / "scopewatch-fuzz-seeds";
    try {
        std::filesystem::remove_all(work);
        scopewatch::fuzzing::WriteFileSeeds(work, out);
        scopewatch::fuzzing::WriteTrafficSeeds(out);
        scopewatch::fuzzing::WriteEncoderSeeds(out);
        scopewatch::fuzzing::WriteIntakeSeeds(out);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scopewatch-fuzz-seeds: %s\n", error.what());
        return 1;
    }
    std::filesystem::remove_all(work);
    return 0;
}
