#pragma once

#include <cstdint>
#include <string>

namespace scopewatch {

// Colours are 24-bit values written 0xBBGGRR (blue in the high byte), as the scope's
// drawing state keeps them.
using GdiColor = uint32_t;

inline constexpr GdiColor kBlack = 0x000000;
inline constexpr GdiColor kScopeGreen = 0x00C000;
inline constexpr GdiColor kWhite = 0xFFFFFF;

enum LineStyle : int16_t { kSolidLine = 0, kDashedLine = 1, kDottedLine = 2 };
enum FillMode : int16_t { kSolidFill = 0, kTransparentFill = 1 };

// The room a text takes on the surface, in pixels.
struct TextSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The pen and brush every drawing call uses; the standard state is solid green lines of
// width 1 with transparent fill.
struct DrawingState {
    GdiColor foreColor = kScopeGreen;
    int16_t drawWidth = 1;
    LineStyle drawStyle = kSolidLine;
    FillMode fillStyle = kTransparentFill;
    GdiColor fillColor = kBlack;

    bool operator==(const DrawingState&) const = default;
};

// The scope's drawing surface: a drawing state set as properties, and the device calls
// the layers make with it. Coordinates are device pixels; boxes may be given in any
// corner order (bottom-up boxes are normalised), and nothing is clipped by the caller.
class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    void ForeColor(GdiColor colour) { state_.foreColor = colour; }
    void DrawWidth(int16_t width) { state_.drawWidth = width; }
    void DrawStyle(LineStyle style) { state_.drawStyle = style; }
    void FillStyle(FillMode style) { state_.fillStyle = style; }
    void FillColor(GdiColor colour) { state_.fillColor = colour; }
    void ResetDrawingState() { state_ = scopewatch::DrawingState{}; }
    const scopewatch::DrawingState& State() const { return state_; }

    // Clears the whole surface to black.
    virtual void Cls() = 0;
    // Sets the current position.
    virtual void MoveToEx(int32_t x, int32_t y) = 0;
    // Line from the current position to (x, y), which becomes the current position.
    virtual void LineTo(int32_t x, int32_t y) = 0;
    // Ellipse inside the box, outlined with the pen and filled as the fill style says.
    virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Arc of the ellipse inside the box, counter-clockwise from the ray through the start
    // point to the ray through the end point (equal rays: the whole ellipse).
    virtual void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                     int32_t yStart, int32_t xEnd, int32_t yEnd) = 0;
    // Single-byte (Windows-1252) text with its top-left corner at (x, y), transparent
    // background, in the fore colour.
    virtual void TextOutA(int32_t x, int32_t y, const std::string& text) = 0;
    // The size the text takes when written.
    virtual TextSize TextExtent(const std::string& text) const = 0;

  private:
    scopewatch::DrawingState state_;
};

}  // namespace scopewatch
