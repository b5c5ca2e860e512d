#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace scopewatch::scenery {

// The variation value (65536 = 360 degrees) for a whole-degree cell, lon 0..359 east.
using VariationAt = std::function<int16_t(int latitude, int longitude)>;

// A magdec.bgl: a 110-byte preamble, the table offset at 110, then the table at offset + 8
// (65160 values, longitude-major, south to north). tableOffset must be at least 114.
std::vector<uint8_t> BuildMagdecBgl(const VariationAt& variation, int32_t tableOffset = 128);

// A plausible world: west variation over the Americas, east over Europe and Asia, varying
// smoothly with position.
int16_t DemoWorldVariation(int latitude, int longitude);

}  // namespace scopewatch::scenery
