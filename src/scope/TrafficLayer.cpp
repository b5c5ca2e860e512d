#include "scope/TrafficLayer.h"

#include <algorithm>
#include <cmath>

#include "geo/Geodesy.h"
#include "scope/LabelPlacement.h"
#include "scope/ScopeColours.h"
#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr float kAircraftDotPercent = 0.8F;
constexpr int16_t kHeadingLineFt = 500;

GdiColor ColourOf(const TrafficRecord& aircraft, const TrafficLook* look) {
    if (look != nullptr &&
        std::find(look->red.begin(), look->red.end(), aircraft.playerName) != look->red.end()) {
        return kConflictRed;
    }
    return kScopeGreen;
}

// The dot and the heading line; the label too unless it is placed apart.
void DrawAircraft(DrawingSurface& surface, const ScopeView& view, const TrafficRecord& aircraft,
                  const MagVarGrid& grid, bool withLabel, GdiColor colour) {
    const GeoPoint position{aircraft.latitude, aircraft.longitude};
    const ScopePoint p = ProjectToScope(view, position);
    const int16_t trueHeading = MagneticToTrue(RoundToInt16(aircraft.heading), position, grid);
    const ScopePoint tip =
        ProjectToScope(view, DestinationFt(position, trueHeading, kHeadingLineFt));
    const int32_t r = AircraftDotRadius(view);

    surface.ForeColor(colour);
    surface.FillColor(colour);
    surface.FillStyle(kSolidFill);
    surface.Ellipse(p.x - r, p.y + r, p.x + r, p.y - r);
    surface.MoveToEx(p.x, p.y);
    surface.LineTo(tip.x, tip.y);
    if (withLabel) {
        surface.TextOutA(p.x, p.y, TrafficLabel(aircraft));
    }
}

// The label's size, with the note as a second line under it.
TextSize LabelSize(const DrawingSurface& surface, const std::string& label,
                   const std::string& note) {
    TextSize size = surface.TextExtent(label);
    if (!note.empty()) {
        const TextSize noteSize = surface.TextExtent(note);
        size.width = std::max(size.width, noteSize.width);
        size.height += noteSize.height;
    }
    return size;
}

void DrawReadableLabels(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                        const ReadableLabels& readable, const TrafficLook* look) {
    std::vector<std::string> names;
    std::vector<LabelDot> dots;
    std::vector<TextSize> sizes;
    std::vector<std::string> labels;
    std::vector<std::string> notes;
    const int32_t r = AircraftDotRadius(view);
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        const ScopePoint p = ProjectToScope(view, {aircraft.latitude, aircraft.longitude});
        names.push_back(aircraft.playerName);
        dots.push_back({p.x, p.y, r});
        labels.push_back(TrafficLabel(aircraft));
        notes.push_back(look != nullptr && look->notes != nullptr
                            ? look->notes->Of(aircraft.playerName)
                            : std::string());
        sizes.push_back(LabelSize(surface, labels.back(), notes.back()));
    }
    const std::vector<PlacedLabel> placed =
        readable.placer.Place(names, dots, sizes, readable.obstacles);
    for (size_t i = 0; i < placed.size(); ++i) {
        const PlacedLabel& label = placed[i];
        surface.ForeColor(ColourOf(traffic.InUse()[i], look));
        if (label.moved) {
            // From the edge of the dot towards the label.
            const double dx = label.anchorX - dots[i].x;
            const double dy = label.anchorY - dots[i].y;
            const double length = std::max(1.0, std::hypot(dx, dy));
            surface.MoveToEx(dots[i].x + RoundToInt32(dx * r / length),
                             dots[i].y + RoundToInt32(dy * r / length));
            surface.LineTo(label.anchorX, label.anchorY);
        }
        surface.TextOutA(label.box.left, label.box.top, labels[i]);
        if (!notes[i].empty()) {
            const int32_t lineHeight = surface.TextExtent(labels[i]).height;
            surface.TextOutA(label.box.left, label.box.top + lineHeight, notes[i]);
        }
    }
}

}  // namespace

int32_t AircraftDotRadius(const ScopeView& view) {
    return WidthPercentPx(kAircraftDotPercent, view.WidthPx);
}

std::string TrafficLabel(const TrafficRecord& aircraft) {
    return aircraft.playerName + " Hdg: " + ShortestNumberText(aircraft.heading) +
           " Alt: " + std::to_string(aircraft.altitudeFt);
}

void DrawTraffic(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                 const MagVarGrid& grid, const ReadableLabels* readable, const TrafficLook* look) {
    if (traffic.trafficCount < 1) {
        return;
    }
    surface.ResetDrawingState();
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        DrawAircraft(surface, view, aircraft, grid, readable == nullptr, ColourOf(aircraft, look));
    }
    if (readable != nullptr) {
        DrawReadableLabels(surface, view, traffic, *readable, look);
    }
    surface.ResetDrawingState();
}

}  // namespace scopewatch
