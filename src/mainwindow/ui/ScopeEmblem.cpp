#include "mainwindow/ui/ScopeEmblem.h"

#include <QConicalGradient>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace scopewatch {
namespace {

const QColor kScopeGreen(0x33, 0xff, 0x66);
constexpr double kSweepDegrees = 50.0;  // the sweep line, counter-clockwise from east
constexpr double kTrailDegrees = 80.0;  // the glowing trail behind it

struct Blip {
    double bearingDegrees;  // counter-clockwise from east, as Qt measures angles
    double rangeFraction;   // of the scope's radius
    const char* label;
};

constexpr std::array<Blip, 3> kBlips{{
    {100.0, 0.6, "N172"},
    {160.0, 0.42, "DAL1"},
    {285.0, 0.74, "UAL9"},
}};

QPointF PolarPoint(QPointF centre, double radius, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(radians), -radius * std::sin(radians));
}

void DrawFace(QPainter& painter, QPointF centre, double radius) {
    QRadialGradient face(centre, radius);
    face.setColorAt(0.0, QColor(0x06, 0x2a, 0x12));
    face.setColorAt(1.0, QColor(0x01, 0x0c, 0x05));
    painter.setPen(QPen(QColor(0x5a, 0x62, 0x5c), radius * 0.06));
    painter.setBrush(face);
    painter.drawEllipse(centre, radius, radius);
}

void DrawRangeRings(QPainter& painter, QPointF centre, double radius) {
    QColor ring = kScopeGreen;
    ring.setAlpha(110);
    painter.setPen(QPen(ring, std::max(1.0, radius / 90.0)));
    painter.setBrush(Qt::NoBrush);
    for (const double fraction : {0.25, 0.5, 0.75}) {
        painter.drawEllipse(centre, radius * fraction, radius * fraction);
    }
    ring.setAlpha(60);
    painter.setPen(QPen(ring, 1.0));
    painter.drawLine(PolarPoint(centre, radius, 0.0), PolarPoint(centre, radius, 180.0));
    painter.drawLine(PolarPoint(centre, radius, 90.0), PolarPoint(centre, radius, 270.0));
}

// A pie behind the sweep line whose green fades out over the trail's width.
void DrawSweep(QPainter& painter, QPointF centre, double radius) {
    QConicalGradient trail(centre, kSweepDegrees);
    QColor bright = kScopeGreen;
    bright.setAlpha(150);
    QColor faded = kScopeGreen;
    faded.setAlpha(0);
    trail.setColorAt(0.0, bright);
    trail.setColorAt(kTrailDegrees / 360.0, faded);
    trail.setColorAt(1.0, faded);
    const QRectF bounds(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath pie;
    pie.moveTo(centre);
    pie.arcTo(bounds, kSweepDegrees, kTrailDegrees);
    pie.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.fillPath(pie, trail);
    painter.setPen(QPen(kScopeGreen, std::max(1.5, radius / 60.0)));
    painter.drawLine(centre, PolarPoint(centre, radius, kSweepDegrees));
}

void DrawBlips(QPainter& painter, QPointF centre, double radius) {
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(8, static_cast<int>(radius / 9.0)));
    font.setBold(true);
    painter.setFont(font);
    const double dot = std::max(2.0, radius / 32.0);
    for (const Blip& blip : kBlips) {
        const QPointF at = PolarPoint(centre, radius * blip.rangeFraction, blip.bearingDegrees);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xd8, 0xff, 0xe0));
        painter.drawEllipse(at, dot, dot);
        painter.setPen(kScopeGreen);
        painter.drawText(at + QPointF(dot * 2.0, -dot * 1.5), blip.label);
    }
}

}  // namespace

QPixmap ScopeEmblem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    const double radius = size * 0.46;
    DrawFace(painter, centre, radius);
    DrawRangeRings(painter, centre, radius);
    DrawSweep(painter, centre, radius);
    DrawBlips(painter, centre, radius);
    return pixmap;
}

}  // namespace scopewatch
