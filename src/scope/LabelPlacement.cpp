#include "scope/LabelPlacement.h"

#include <algorithm>
#include <array>

namespace scopewatch {
namespace {

constexpr int32_t kGapPx = 3;      // between a dot and a label in its usual place
constexpr int32_t kLeaderPx = 10;  // the length of a leader line to a moved label
// The spots in the order they are tried: the usual one right of the dot, then round it,
// the right-hand side first.
constexpr std::array<int, LabelPlacer::kSpots> kTryOrder = {0, 1, 7, 2, 6, 3, 5, 4};

// The label's box at a spot: 0 right of the dot, then counter-clockwise in steps of 45
// degrees (1 above right, 2 above, ... 7 below right). Diagonal spots stand a leader line's
// length off the dot at 45 degrees.
LabelBox BoxAt(int spot, const LabelDot& dot, const TextSize& size) {
    const int32_t near = dot.radius + kGapPx;
    const int32_t far = dot.radius + kLeaderPx;
    const int32_t diagonal = far * 7 / 10;
    const int32_t w = size.width;
    const int32_t h = size.height;
    switch (spot) {
        case 0:
            return {dot.x + near, dot.y - h / 2, w, h};
        case 1:
            return {dot.x + diagonal, dot.y - diagonal - h, w, h};
        case 2:
            return {dot.x - w / 2, dot.y - far - h, w, h};
        case 3:
            return {dot.x - diagonal - w, dot.y - diagonal - h, w, h};
        case 4:
            return {dot.x - far - w, dot.y - h / 2, w, h};
        case 5:
            return {dot.x - diagonal - w, dot.y + diagonal, w, h};
        case 6:
            return {dot.x - w / 2, dot.y + far, w, h};
        default:
            return {dot.x + diagonal, dot.y + diagonal, w, h};
    }
}

LabelBox DotBox(const LabelDot& dot) {
    return {dot.x - dot.radius, dot.y - dot.radius, 2 * dot.radius + 1, 2 * dot.radius + 1};
}

// How many of the labels placed so far, of the obstacles and of the other aircraft's dots the
// box overlaps.
int Cost(const LabelBox& box, const std::vector<PlacedLabel>& placed,
         const std::vector<LabelBox>& obstacles, const std::vector<LabelDot>& dots, size_t self) {
    int cost = 0;
    for (const PlacedLabel& other : placed) {
        cost += box.Overlaps(other.box) ? 1 : 0;
    }
    for (const LabelBox& obstacle : obstacles) {
        cost += box.Overlaps(obstacle) ? 1 : 0;
    }
    for (size_t i = 0; i < dots.size(); ++i) {
        cost += i != self && box.Overlaps(DotBox(dots[i])) ? 1 : 0;
    }
    return cost;
}

}  // namespace

bool LabelBox::Overlaps(const LabelBox& other) const {
    return left < other.left + other.width && other.left < left + width &&
           top < other.top + other.height && other.top < top + height;
}

std::vector<PlacedLabel> LabelPlacer::Place(const std::vector<std::string>& names,
                                            const std::vector<LabelDot>& dots,
                                            const std::vector<TextSize>& sizes,
                                            const std::vector<LabelBox>& obstacles) {
    std::vector<PlacedLabel> placed;
    std::map<std::string, int> spots;
    for (size_t i = 0; i < names.size(); ++i) {
        const auto before = spots_.find(names[i]);
        int best = before != spots_.end() ? before->second : kTryOrder[0];
        int bestCost = Cost(BoxAt(best, dots[i], sizes[i]), placed, obstacles, dots, i);
        for (const int spot : kTryOrder) {
            if (bestCost == 0) {
                break;  // free where it stands
            }
            const int cost = Cost(BoxAt(spot, dots[i], sizes[i]), placed, obstacles, dots, i);
            if (cost < bestCost) {
                best = spot;
                bestCost = cost;
            }
        }
        PlacedLabel label{BoxAt(best, dots[i], sizes[i]), best != 0, 0, 0};
        label.anchorX = std::clamp(dots[i].x, label.box.left, label.box.left + label.box.width);
        label.anchorY = std::clamp(dots[i].y, label.box.top, label.box.top + label.box.height);
        placed.push_back(label);
        spots[names[i]] = best;
    }
    spots_ = std::move(spots);
    lastBoxes_.clear();
    for (const PlacedLabel& label : placed) {
        lastBoxes_.push_back(label.box);
    }
    return placed;
}

int OverlappingPairs(const std::vector<LabelBox>& boxes) {
    int pairs = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            pairs += boxes[i].Overlaps(boxes[j]) ? 1 : 0;
        }
    }
    return pairs;
}

}  // namespace scopewatch
