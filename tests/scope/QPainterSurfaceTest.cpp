#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

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

bool LitNear(const QImage& image, int x, int y) {
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (image.pixel(x + dx, y + dy) != kBlackPixel) {
                return true;
            }
        }
    }
    return false;
}

TEST(QPainterSurfaceTest, FilledEllipseInABottomUpBox) {
    const QImage image = Draw([](DrawingSurface& s) {
        s.FillStyle(kSolidFill);
        s.FillColor(0x0000FF);  // red, written 0xBBGGRR
        s.Ellipse(50, 150, 150, 50);
    });
    EXPECT_EQ(image.pixel(100, 100), 0xFFFF0000);
    EXPECT_EQ(image.pixel(50, 100), kGreenPixel);   // the outline, in the fore colour
    EXPECT_EQ(image.pixel(149, 100), kGreenPixel);  // up to, not including, the far edge
    EXPECT_EQ(image.pixel(150, 100), kBlackPixel);
    EXPECT_EQ(image.pixel(55, 55), kBlackPixel);
    EXPECT_EQ(image.pixel(0, 0), kBlackPixel);
}

TEST(QPainterSurfaceTest, ArcRunsCounterClockwiseFromStartToEnd) {
    // From the ray east to the ray north: the upper right quarter only.
    const QImage quarter =
        Draw([](DrawingSurface& s) { s.Arc(50, 50, 150, 150, 190, 100, 100, 0); });
    EXPECT_TRUE(LitNear(quarter, 135, 65));
    EXPECT_FALSE(LitNear(quarter, 65, 65));
    EXPECT_FALSE(LitNear(quarter, 65, 135));
    EXPECT_FALSE(LitNear(quarter, 135, 135));
    // The same rays the other way round, in a bottom-up box: all but the upper right.
    const QImage rest = Draw([](DrawingSurface& s) { s.Arc(50, 150, 150, 50, 100, 0, 190, 100); });
    EXPECT_FALSE(LitNear(rest, 135, 65));
    EXPECT_TRUE(LitNear(rest, 65, 65));
    EXPECT_TRUE(LitNear(rest, 65, 135));
    EXPECT_TRUE(LitNear(rest, 135, 135));
}

TEST(QPainterSurfaceTest, PatternsOnlyAtWidthOne) {
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
