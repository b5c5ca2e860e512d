#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <limits>
#include <string>

#include "scope/QPainterSurface.h"

namespace scopewatch {
namespace {

constexpr QRgb kBlackPixel = 0xFF000000;
constexpr QRgb kGreenPixel = 0xFF00C000;

// Draws on a 200 x 200 image through the surface, after clearing it.
QImage Draw(const std::function<void(DrawingSurface&)>& draw) {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QPainterSurface surface(painter);
    surface.Cls();
    draw(surface);
    painter.end();
    return image;
}

// A filled ellipse in a bottom-up box: the fill colour (written 0xBBGGRR) inside, the outline
// in the fore colour up to, not including, the far edge, the cleared black outside.
// Shapes and texts at the ends of the int range (an aircraft reported far away, at fine zoom)
// draw nothing on the image and overflow nothing.
TEST(QPainterSurfaceTest, FilledEllipseInABottomUpBoxAndNothingAtTheEndsOfTheIntRange) {
    const QImage image = Draw([](DrawingSurface& s) {
        s.FillStyle(kSolidFill);
        s.FillColor(0x0000FF);
        s.Ellipse(50, 150, 150, 50);
    });
    EXPECT_EQ(
        (std::vector{image.pixel(100, 100), image.pixel(50, 100), image.pixel(149, 100),
                     image.pixel(150, 100), image.pixel(55, 55), image.pixel(0, 0)}),
        (std::vector{0xFFFF0000, kGreenPixel, kGreenPixel, kBlackPixel, kBlackPixel, kBlackPixel}));

    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const QImage far = Draw([](DrawingSurface& s) {
        s.FillStyle(kSolidFill);
        s.Ellipse(kMax - 10, kMin + 10, kMax, kMin);
        s.MoveToEx(kMax, kMax);
        s.LineTo(kMax, kMax - 100);
        s.TextOutA(kMax, kMax, "far away");
        s.TextOutA(kMin, kMin, "far away");
    });
    EXPECT_EQ(far, Draw([](DrawingSurface&) {}));
}

// An arc runs counter-clockwise from the start ray to the end ray, in either box direction:
// for each quarter of the circle in the box 50..150 (upper right, upper left, lower left,
// lower right), '1' when a pixel near its middle is lit. Line patterns apply at width 1 only.
TEST(QPainterSurfaceTest, ArcRunsCounterClockwiseAndPatternsApplyOnlyAtWidthOne) {
    const auto litQuarters = [](const QImage& image) {
        QImage dark(5, 5, QImage::Format_RGB32);
        dark.fill(Qt::black);
        std::string lit;
        for (const QPoint middle :
             {QPoint(135, 65), QPoint(65, 65), QPoint(65, 135), QPoint(135, 135)}) {
            lit += image.copy(QRect(middle - QPoint(2, 2), QSize(5, 5))) == dark ? '0' : '1';
        }
        return lit;
    };
    // From the ray east to the ray north; then the same rays the other way round.
    EXPECT_EQ(
        litQuarters(Draw([](DrawingSurface& s) { s.Arc(50, 50, 150, 150, 190, 100, 100, 0); })),
        "1000");
    EXPECT_EQ(
        litQuarters(Draw([](DrawingSurface& s) { s.Arc(50, 150, 150, 50, 100, 0, 190, 100); })),
        "0111");

    const auto gaps = [](int16_t width, LineStyle style) {
        const QImage image = Draw([=](DrawingSurface& s) {
            s.DrawWidth(width);
            s.DrawStyle(style);
            s.MoveToEx(10, 100);
            s.LineTo(190, 100);
        });
        int dark = 0;
        for (int x = 12; x < 188; ++x) {
            dark += image.pixel(x, 100) == kBlackPixel ? 1 : 0;
        }
        return dark;
    };
    EXPECT_EQ(gaps(1, kSolidLine), 0);
    EXPECT_GT(gaps(1, kDottedLine), 60);
    EXPECT_GT(gaps(1, kDashedLine), 20);
    EXPECT_LT(gaps(1, kDashedLine), 60);
    EXPECT_EQ(gaps(2, kDottedLine), 0);
}

}  // namespace
}  // namespace scopewatch
