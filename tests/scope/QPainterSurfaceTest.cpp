#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "scope/QPainterSurface.h"
#include "scope/ScopeColours.h"

namespace scopewatch {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreenPixel = 0xFF00C000;
constexpr QRgb kBlackPixel = 0xFF000000;

// Draws on a 200 x 200 image through the surface and hands back the picture.
QImage Draw(const std::function<void(DrawingSurface&)>& draw) {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QPainterSurface surface(painter);
        surface.Cls();
        draw(surface);
    }
    return image;
}

bool AnyLitNear(const QImage& image, int x, int y, int reach = 2) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (image.pixel(x + dx, y + dy) != kBlackPixel) {
                return true;
            }
        }
    }
    return false;
}

TEST(QPainterSurfaceTest, ClsLeavesABlackScope) {
    const QImage image = Draw([](DrawingSurface&) {});
    EXPECT_EQ(image.pixel(0, 0), kBlackPixel);
    EXPECT_EQ(image.pixel(199, 199), kBlackPixel);
}

TEST(QPainterSurfaceTest, FilledEllipseInABottomUpBox) {
    const QImage image = Draw([](DrawingSurface& s) {
        s.FillStyle(kSolidFill);
        s.FillColor(0x0000FF);  // red, written 0xBBGGRR
        s.Ellipse(50, 150, 150, 50);
    });
    EXPECT_EQ(image.pixel(100, 100), kRed);
    EXPECT_EQ(image.pixel(50, 100), kGreenPixel);   // the outline, in the fore colour
    EXPECT_EQ(image.pixel(149, 100), kGreenPixel);  // up to, not including, the far edge
    EXPECT_EQ(image.pixel(150, 100), kBlackPixel);
    EXPECT_EQ(image.pixel(100, 150), kBlackPixel);
    EXPECT_EQ(image.pixel(55, 55), kBlackPixel);  // a corner of the box
}

TEST(QPainterSurfaceTest, TransparentEllipseIsOnlyAnOutline) {
    const QImage image = Draw([](DrawingSurface& s) { s.Ellipse(50, 50, 150, 150); });
    EXPECT_EQ(image.pixel(100, 100), kBlackPixel);
    EXPECT_EQ(image.pixel(100, 50), kGreenPixel);
}

TEST(QPainterSurfaceTest, ArcRunsCounterClockwiseFromStartToEnd) {
    // From the ray east to the ray north: the upper right quarter only.
    const QImage image = Draw([](DrawingSurface& s) { s.Arc(50, 50, 150, 150, 190, 100, 100, 0); });
    EXPECT_TRUE(AnyLitNear(image, 135, 65));
    EXPECT_FALSE(AnyLitNear(image, 65, 65));
    EXPECT_FALSE(AnyLitNear(image, 65, 135));
    EXPECT_FALSE(AnyLitNear(image, 135, 135));

    // The same rays the other way round: three quarters, all but the upper right.
    const QImage rest = Draw([](DrawingSurface& s) { s.Arc(50, 150, 150, 50, 100, 0, 190, 100); });
    EXPECT_FALSE(AnyLitNear(rest, 135, 65));
    EXPECT_TRUE(AnyLitNear(rest, 65, 65));
    EXPECT_TRUE(AnyLitNear(rest, 65, 135));
    EXPECT_TRUE(AnyLitNear(rest, 135, 135));
}

TEST(QPainterSurfaceTest, ArcRaysMeetAFlatEllipseWhereTheyPoint) {
    // A wide ellipse: the ray at 45 degrees meets it nearer the top than the parametric
    // angle of 45 degrees would.
    const QImage image = Draw([](DrawingSurface& s) { s.Arc(0, 60, 200, 140, 200, 100, 200, 0); });
    EXPECT_TRUE(AnyLitNear(image, 190, 85));
    EXPECT_FALSE(AnyLitNear(image, 100, 61));
}

int DarkPixelsAlongRow(const QImage& image, int y, int from, int to) {
    int dark = 0;
    for (int x = from; x < to; ++x) {
        dark += image.pixel(x, y) == kBlackPixel ? 1 : 0;
    }
    return dark;
}

TEST(QPainterSurfaceTest, PatternsOnlyAtWidthOne) {
    const auto line = [](int16_t width, LineStyle style) {
        return Draw([=](DrawingSurface& s) {
            s.DrawWidth(width);
            s.DrawStyle(style);
            s.MoveToEx(10, 100);
            s.LineTo(190, 100);
        });
    };
    EXPECT_EQ(DarkPixelsAlongRow(line(1, kSolidLine), 100, 12, 188), 0);
    EXPECT_GT(DarkPixelsAlongRow(line(1, kDottedLine), 100, 12, 188), 60);
    const int dashGaps = DarkPixelsAlongRow(line(1, kDashedLine), 100, 12, 188);
    EXPECT_GT(dashGaps, 20);
    EXPECT_LT(dashGaps, 60);
    EXPECT_EQ(DarkPixelsAlongRow(line(2, kDottedLine), 100, 12, 188), 0);
}

TEST(QPainterSurfaceTest, TextHangsBelowAndRightOfItsPoint) {
    const QImage image = Draw([](DrawingSurface& s) {
        s.ForeColor(kWhite);
        s.TextOutA(100, 100, "WWW");
    });
    bool above = false;
    bool below = false;
    for (int x = 90; x < 199; ++x) {
        for (int y = 80; y < 100; ++y) {
            above = above || image.pixel(x, y) != kBlackPixel;
        }
        for (int y = 100; y < 130; ++y) {
            below = below || image.pixel(x, y) != kBlackPixel;
        }
    }
    EXPECT_FALSE(above);
    EXPECT_TRUE(below);
}

}  // namespace
}  // namespace scopewatch
