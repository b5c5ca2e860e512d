#include "scope/QPainterSurface.h"

#include <QColor>
#include <QFontMetrics>
#include <QList>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <algorithm>
#include <cmath>

#include "geo/GeoMath.h"
#include "platform/CodePage.h"

namespace scopewatch {
namespace {

QColor ToQColor(GdiColor colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

// Patterns of thin dashed and dotted pens, in pixels (on, off).
const QList<qreal> kDashPattern = {18, 6};
const QList<qreal> kDotPattern = {3, 3};

QPen PenFor(const DrawingState& state) {
    const int width = std::max<int>(1, state.drawWidth);
    QPen pen(ToQColor(state.foreColor));
    pen.setWidth(width);
    // Thin pens leave out the end pixel of a line; thick pens have round ends.
    pen.setCapStyle(width == 1 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    // Dashes and dots exist only for pens one pixel wide; wider pens draw solid.
    if (width == 1 && state.drawStyle == kDashedLine) {
        pen.setDashPattern(kDashPattern);
    } else if (width == 1 && state.drawStyle == kDottedLine) {
        pen.setDashPattern(kDotPattern);
    }
    return pen;
}

// The box of an ellipse in either corner order; the shape covers the pixels from the
// smaller corner up to, not including, the larger one.
QRectF ShapeBox(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const double x0 = std::min(left, right);
    const double y0 = std::min(top, bottom);
    const double width = std::abs(static_cast<double>(right) - left);
    const double height = std::abs(static_cast<double>(bottom) - top);
    return QRectF(x0, y0, std::max(0.0, width - 1.0), std::max(0.0, height - 1.0));
}

// The angle in degrees (counter-clockwise on screen from the +x axis) at which the ray
// from the box's centre through the point meets the ellipse, as Qt's arcs measure it.
double ArcAngle(const QRectF& box, int32_t x, int32_t y) {
    const double halfWidth = std::max(box.width() / 2.0, 0.5);
    const double halfHeight = std::max(box.height() / 2.0, 0.5);
    const double dx = (x - box.center().x()) / halfWidth;
    const double dy = (box.center().y() - y) / halfHeight;
    return std::atan2(dy, dx) * 180.0 / kPi;
}

}  // namespace

QFont ScopeFont() {
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);  // crisp texts in their exact colour
    return font;
}

QPainterSurface::QPainterSurface(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

void QPainterSurface::Cls() {
    const QPaintDevice* device = painter_.device();
    painter_.fillRect(QRect(0, 0, device->width(), device->height()), Qt::black);
}

void QPainterSurface::UsePenAndBrush(bool filled) {
    painter_.setPen(PenFor(State()));
    if (filled && State().fillStyle == kSolidFill) {
        painter_.setBrush(ToQColor(State().fillColor));
    } else {
        painter_.setBrush(Qt::NoBrush);
    }
}

void QPainterSurface::MoveToEx(int32_t x, int32_t y) {
    current_ = QPoint(x, y);
}

void QPainterSurface::LineTo(int32_t x, int32_t y) {
    UsePenAndBrush(false);
    const QPoint end(x, y);
    painter_.drawLine(current_, end);
    current_ = end;
}

void QPainterSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    UsePenAndBrush(true);
    painter_.drawEllipse(ShapeBox(left, top, right, bottom));
}

void QPainterSurface::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                          int32_t yStart, int32_t xEnd, int32_t yEnd) {
    UsePenAndBrush(false);
    const QRectF box = ShapeBox(left, top, right, bottom);
    const double start = ArcAngle(box, xStart, yStart);
    double span = std::fmod(ArcAngle(box, xEnd, yEnd) - start + 720.0, 360.0);
    if (span == 0.0) {
        span = 360.0;
    }
    painter_.drawArc(box, static_cast<int>(std::lround(start * 16.0)),
                     static_cast<int>(std::lround(span * 16.0)));
}

void QPainterSurface::TextOutA(int32_t x, int32_t y, const std::string& text) {
    painter_.setPen(ToQColor(State().foreColor));
    const QFontMetrics metrics(painter_.font());
    // In doubles: a point far off the scope may lie at the end of the int range.
    painter_.drawText(QPointF(x, static_cast<double>(y) + metrics.ascent()), FromAnsi(text));
}

TextSize QPainterSurface::TextExtent(const std::string& text) const {
    const QFontMetrics metrics(painter_.font());
    return {metrics.horizontalAdvance(FromAnsi(text)), metrics.height()};
}

}  // namespace scopewatch
