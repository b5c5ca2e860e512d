#include "support/RecordingSurface.h"

#include <utility>

namespace scopewatch {

void RecordingSurface::Record(DrawOp op, std::vector<int32_t> args, std::string text) {
    calls_.push_back({op, std::move(args), std::move(text), State()});
}

void RecordingSurface::Cls() {
    Record(DrawOp::Cls, {});
}

void RecordingSurface::MoveToEx(int32_t x, int32_t y) {
    Record(DrawOp::MoveToEx, {x, y});
}

void RecordingSurface::LineTo(int32_t x, int32_t y) {
    Record(DrawOp::LineTo, {x, y});
}

void RecordingSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Record(DrawOp::Ellipse, {left, top, right, bottom});
}

void RecordingSurface::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                           int32_t yStart, int32_t xEnd, int32_t yEnd) {
    Record(DrawOp::Arc, {left, top, right, bottom, xStart, yStart, xEnd, yEnd});
}

void RecordingSurface::TextOutA(int32_t x, int32_t y, const std::string& text) {
    Record(DrawOp::TextOutA, {x, y}, text);
}

std::vector<DrawCall> RecordingSurface::CallsOf(DrawOp op) const {
    std::vector<DrawCall> found;
    for (const DrawCall& call : calls_) {
        if (call.op == op) {
            found.push_back(call);
        }
    }
    return found;
}

std::vector<std::string> RecordingSurface::Texts() const {
    std::vector<std::string> texts;
    for (const DrawCall& call : CallsOf(DrawOp::TextOutA)) {
        texts.push_back(call.text);
    }
    return texts;
}

}  // namespace scopewatch
