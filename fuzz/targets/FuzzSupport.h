#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "geo/MagVarGrid.h"
#include "model/AirportData.h"
#include "model/DisplayFlags.h"
#include "model/TrafficTable.h"
#include "scope/PointerInfo.h"
#include "scope/ScopePainter.h"
#include "scope/ScopeScene.h"
#include "scope/ScopeView.h"
#include "support/RecordingSurface.h"

// What the fuzz targets share: a check that stops the run like a crash, a scratch folder, a
// cursor over the fuzzer's bytes for targets that take a few values before the file, a
// variation grid and a scope that draws what was read.
namespace scopewatch::fuzzing {

// A broken promise of the code under test is a finding like a crash: libFuzzer keeps the
// input that caused it.
inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A folder of the target's own under the temporary directory, one per process so that
// libFuzzer's parallel jobs never write each other's files; removed when the run ends.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& target)
        : path_(std::filesystem::temp_directory_path() /
                ("scopewatch-fuzz-" + target + "-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Takes little-endian values off the front of the fuzzer's input; what is left is the file.
// Values past the end read as 0.
class InputPrefix {
  public:
    InputPrefix(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    int32_t Int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(Byte()) << (8 * i);
        }
        return static_cast<int32_t>(value);
    }
    uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::vector<uint8_t> Rest() const {
        return std::vector<uint8_t>(data_ + position_, data_ + size_);
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// A variation grid with values spread over the whole range, the same on every run, so that
// headings and reference points are computed with variations other than 0.
inline const MagVarGrid& SpreadGrid() {
    static const MagVarGrid grid = [] {
        MagVarGrid filled;
        for (size_t i = 0; i < filled.values.size(); ++i) {
            filled.values[i] = static_cast<int16_t>(i * 40503U);
        }
        return filled;
    }();
    return grid;
}

// Paints the loaded airport as the main window does at the zoom level, centred on the
// airport, the first airspace selected, and asks for the hover text at the pointer.
inline void PaintAndHover(LoadedAirportData& airport, int16_t zoomLevel, double pointerLatitude,
                          double pointerLongitude) {
    ScopeView view =
        InitialView(800, 600, {airport.currentAirport.latitude, airport.currentAirport.longitude});
    while (view.ZoomLevel < zoomLevel && ZoomIn(view)) {
    }
    SelectedAirspace selection;
    if (!airport.airspaces.empty()) {
        const AirspaceRecord& first = airport.airspaces.front();
        selection = {kSelectedAirspaceMarker, first.typeName, first.latitude, first.longitude};
    }
    const TrafficTable traffic;
    const DisplayFlags flags;
    const ScopeScene scene{view, airport, traffic, flags, selection};
    RecordingSurface surface;
    RepaintScope(surface, scene);
    HoverInfoAt(scene, PointerPosition{static_cast<float>(pointerLongitude),
                                       static_cast<float>(pointerLatitude)});
}

}  // namespace scopewatch::fuzzing
