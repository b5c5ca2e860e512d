// scopewatch-fuzz-seeds OUTDIR: writes the seed corpora of the fuzz targets into
// OUTDIR/<target>/ (scripts/fuzz.sh --seeds puts them into fuzz/corpus/). The demo simulator
// and the demo's loopback sessions are made afresh in a temporary folder for it.
// scopewatch-fuzz-seeds --capture-cases FOLDER: writes only the capture reader's cases, as
// tests/data/capture/inputs/ holds them.
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "CaptureSeeds.h"
#include "FileSeeds.h"
#include "IntakeSeeds.h"
#include "TrafficSeeds.h"

namespace {

// The capture cases, but for the ones too large to make good seeds.
void WriteCaptureSeeds(const std::filesystem::path& folder) {
    scopewatch::fuzzing::WriteCaptureCases(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.file_size() > 16 * 1024) {
            std::filesystem::remove(entry.path());
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const bool casesOnly = argc == 3 && std::string(argv[1]) == "--capture-cases";
    if (argc != 2 && !casesOnly) {
        std::fprintf(stderr, "usage: scopewatch-fuzz-seeds OUTDIR | --capture-cases FOLDER\n");
        return 2;
    }
    if (casesOnly) {
        try {
            scopewatch::fuzzing::WriteCaptureCases(argv[2]);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "scopewatch-fuzz-seeds: %s\n", error.what());
            return 1;
        }
        return 0;
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
        WriteCaptureSeeds(out / "capture-reader");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scopewatch-fuzz-seeds: %s\n", error.what());
        return 1;
    }
    std::filesystem::remove_all(work);
    return 0;
}
