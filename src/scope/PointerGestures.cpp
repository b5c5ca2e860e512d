#include "scope/PointerGestures.h"

#include <Qt>
#include <cmath>

namespace scopewatch {

void ClickOrDrag::Press(double xPx, double yPx) {
    pressX_ = xPx;
    pressY_ = yPx;
    pressed_ = true;
    wandered_ = false;
}

void ClickOrDrag::Move(double xPx, double yPx) {
    if (pressed_) {
        Reach(xPx, yPx);
    }
}

bool ClickOrDrag::ReleaseIsClick(double xPx, double yPx) {
    if (!pressed_) {
        return false;
    }
    Reach(xPx, yPx);
    pressed_ = false;
    return !wandered_;
}

void ClickOrDrag::Reach(double xPx, double yPx) {
    wandered_ = wandered_ || std::hypot(xPx - pressX_, yPx - pressY_) > kClickTolerancePx;
}

int WheelNotches::Turn(int angleDelta) {
    pending_ += angleDelta;
    const int notches = pending_ / kNotch;  // towards zero, the rest kept with its sign
    pending_ -= notches * kNotch;
    return notches;
}

std::optional<ScopeKeyAction> ScopeKeyActionFor(int key) {
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:  // "+" without Shift on most layouts
            return ScopeKeyAction::ZoomIn;
        case Qt::Key_Minus:
            return ScopeKeyAction::ZoomOut;
        case Qt::Key_Left:
            return ScopeKeyAction::Left;
        case Qt::Key_Right:
            return ScopeKeyAction::Right;
        case Qt::Key_Up:
            return ScopeKeyAction::Up;
        case Qt::Key_Down:
            return ScopeKeyAction::Down;
        case Qt::Key_Home:
            return ScopeKeyAction::Centre;
        case Qt::Key_Escape:
            return ScopeKeyAction::EndSelection;
        default:
            return std::nullopt;
    }
}

}  // namespace scopewatch
