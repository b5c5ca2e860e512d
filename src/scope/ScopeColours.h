#pragma once

#include "scope/DrawingSurface.h"

namespace scopewatch {

// The scope's colours, 0xBBGGRR.
inline constexpr GdiColor kBrown = 0x404080;          // parking dots
inline constexpr GdiColor kGrey = 0xC0C0C0;           // taxiway lines
inline constexpr GdiColor kYellow = 0x00FFFF;         // ILS courses, the selected airspace
inline constexpr GdiColor kCyan = 0xFFFF00;           // airspaces
inline constexpr GdiColor kDimGrey = 0x606060;        // range rings, under everything else
inline constexpr GdiColor kConflictRed = 0x2020FF;    // aircraft in conflict and their line
inline constexpr GdiColor kSelectedWhite = 0xF0F0F0;  // the selected aircraft's square and trail

}  // namespace scopewatch
