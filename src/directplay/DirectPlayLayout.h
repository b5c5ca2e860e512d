#pragma once

#include <cstdint>

// Markers and fixed sizes of the wire layout, shared by the encoder and the decoder.
namespace scopewatch::directplay {

inline constexpr uint32_t kSignature = 0x79616C70;  // "play"
inline constexpr uint32_t kPackedFixedSize = 48;
inline constexpr uint32_t kSpDataSize = 32;
inline constexpr uint32_t kDescSize = 80;
inline constexpr uint32_t kSuperPackedSize = 16;

}  // namespace scopewatch::directplay
