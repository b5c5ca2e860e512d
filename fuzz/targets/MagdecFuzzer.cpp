// magdec.bgl, the magnetic variation table the database build and "GET AIRPORT" load, and
// the lookups made in it. The input is the file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "FuzzSupport.h"
#include "bgl/FileBuffer.h"
#include "bgl/MagdecFile.h"
#include "geo/Headings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    const FileBuffer buffer(std::vector<uint8_t>(data, data + size));
    MagVarGrid grid;
    const MagVarLoadResult result = LoadMagVarGrid(buffer, grid);
    MagVarLoadNote(result);
    if (result != MagVarLoadResult::Loaded) {
        Require(grid.values == MagVarGrid{}.values, "a table not loaded leaves the grid alone");
        return 0;
    }
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const double positions[][2] = {{0.0, 0.0},        {-90.0, -180.0},     {90.0, 359.6},
                                   {45.5, -120.5},    {-33.9, 151.2},      {1.0e9, -1.0e9},
                                   {kInfinity, -0.0}, {std::nan(""), 10.0}};
    for (const auto& [latitude, longitude] : positions) {
        const int variation = grid.VariationDegreesAt({latitude, longitude});
        Require(variation >= -180 && variation <= 180, "a variation is within half a turn");
        const int16_t heading = MagneticHeading(90, {latitude, longitude}, grid);
        Require(heading >= 0 && heading <= 360, "a magnetic heading lies in 0..360");
    }
    return 0;
}
