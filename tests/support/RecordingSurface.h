#pragma once

#include <string>
#include <vector>

#include "scope/DrawingSurface.h"

namespace scopewatch {

enum class DrawOp { Cls, MoveToEx, LineTo, Ellipse, Arc, TextOutA };

// One device call as it was made, with the drawing state in force at that moment.
struct DrawCall {
    DrawOp op = DrawOp::Cls;
    std::vector<int32_t> args;
    std::string text;
    DrawingState state;

    bool operator==(const DrawCall&) const = default;
};

// A drawing surface that only writes down what it is asked to draw, so that the layers can
// be checked without pixels.
class RecordingSurface : public DrawingSurface {
  public:
    void Cls() override;
    void MoveToEx(int32_t x, int32_t y) override;
    void LineTo(int32_t x, int32_t y) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
             int32_t yStart, int32_t xEnd, int32_t yEnd) override;
    void TextOutA(int32_t x, int32_t y, const std::string& text) override;
    // A fixed-width font: 7 pixels a character, 13 high.
    TextSize TextExtent(const std::string& text) const override {
        return {static_cast<int32_t>(7 * text.size()), 13};
    }

    const std::vector<DrawCall>& calls() const { return calls_; }
    std::vector<DrawCall> CallsOf(DrawOp op) const;
    // The texts written, in order.
    std::vector<std::string> Texts() const;
    void Clear() { calls_.clear(); }

  private:
    void Record(DrawOp op, std::vector<int32_t> args, std::string text = {});

    std::vector<DrawCall> calls_;
};

}  // namespace scopewatch
