#pragma once

#include <string>
#include <utility>
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
    void Cls() override { Record(DrawOp::Cls, {}); }
    void MoveToEx(int32_t x, int32_t y) override { Record(DrawOp::MoveToEx, {x, y}); }
    void LineTo(int32_t x, int32_t y) override { Record(DrawOp::LineTo, {x, y}); }
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        Record(DrawOp::Ellipse, {left, top, right, bottom});
    }
    void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
             int32_t yStart, int32_t xEnd, int32_t yEnd) override {
        Record(DrawOp::Arc, {left, top, right, bottom, xStart, yStart, xEnd, yEnd});
    }
    void TextOutA(int32_t x, int32_t y, const std::string& text) override {
        Record(DrawOp::TextOutA, {x, y}, text);
    }
    // A fixed-width font: 7 pixels a character, 13 high.
    TextSize TextExtent(const std::string& text) const override {
        return {static_cast<int32_t>(7 * text.size()), 13};
    }

    const std::vector<DrawCall>& calls() const { return calls_; }
    void Clear() { calls_.clear(); }

  private:
    void Record(DrawOp op, std::vector<int32_t> args, std::string text = {}) {
        calls_.push_back({op, std::move(args), std::move(text), State()});
    }

    std::vector<DrawCall> calls_;
};

}  // namespace scopewatch
