#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scope/DrawingSurface.h"

namespace scopewatch {

// A text's box on the scope, in pixels.
struct LabelBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool Overlaps(const LabelBox& other) const;
};

// An aircraft's dot: its centre and radius.
struct LabelDot {
    int32_t x = 0;
    int32_t y = 0;
    int32_t radius = 0;
};

// Where an aircraft's label goes, and whether it left its usual place right of the dot (a
// short leader line then joins the label to its dot: from the dot's edge to the anchor).
struct PlacedLabel {
    LabelBox box;
    bool moved = false;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
};

// Places the aircraft labels where they can be read. Of eight spots around each dot, a label
// takes the one whose box overlaps the fewest labels placed before it and dots, trying its
// usual spot first; it keeps the spot it had at the last repaint while that stays free, so
// labels do not jump from one repaint to the next.
class LabelPlacer {
  public:
    static constexpr int kSpots = 8;

    // One placement per aircraft, in order; the names tell the aircraft apart from one
    // repaint to the next. The obstacles (other texts of the scope) count as placed labels.
    std::vector<PlacedLabel> Place(const std::vector<std::string>& names,
                                   const std::vector<LabelDot>& dots,
                                   const std::vector<TextSize>& sizes,
                                   const std::vector<LabelBox>& obstacles = {});
    void Forget() { spots_.clear(); }
    // The boxes of the last placement.
    const std::vector<LabelBox>& lastBoxes() const { return lastBoxes_; }

  private:
    std::map<std::string, int> spots_;
    std::vector<LabelBox> lastBoxes_;
};

// How many pairs of the boxes overlap.
int OverlappingPairs(const std::vector<LabelBox>& boxes);

}  // namespace scopewatch
