#include "scenerywriter/MagdecWriter.h"

#include <cmath>

#include "bgl/BglLayout.h"
#include "geo/GeoMath.h"
#include "shared/ByteWriter.h"

namespace scopewatch::scenery {

std::vector<uint8_t> BuildMagdecBgl(const VariationAt& variation, int32_t tableOffset) {
    ByteWriter writer;
    writer.UInt16(0x0001);  // format word, not read
    writer.Zeros(static_cast<size_t>(bgl::kMagdecTableOffsetPosition) - writer.Size());
    writer.Int32(tableOffset);
    writer.Zeros(static_cast<size_t>(tableOffset + bgl::kMagdecTableHeaderSize) - writer.Size());
    for (int lon = 0; lon < 360; ++lon) {
        for (int lat = -90; lat <= 90; ++lat) {
            writer.Int16(variation(lat, lon));
        }
    }
    return writer.Take();
}

int16_t DemoWorldVariation(int latitude, int longitude) {
    constexpr double kDegreesToUnits = 65536.0 / 360.0;
    const double lon = longitude * kPi / 180.0;
    const double lat = latitude * kPi / 180.0;
    // Roughly -15 degrees over North America, +10 over Asia, with latitude shaping.
    const double degrees =
        12.0 * std::sin(lon + 0.6) * std::cos(lat * 0.8) + 3.0 * std::sin(lat * 2.0);
    return static_cast<int16_t>(std::lround(degrees * kDegreesToUnits));
}

}  // namespace scopewatch::scenery
