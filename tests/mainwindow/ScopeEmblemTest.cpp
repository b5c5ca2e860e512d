#include <gtest/gtest.h>

#include <QImage>

#include "mainwindow/ui/ScopeEmblem.h"

namespace scopewatch {
namespace {

// A round dark scope on a transparent square, with the bright green of rings and sweep on it.
TEST(ScopeEmblemTest, ADarkRoundScopeWithGreenOnATransparentSquare) {
    for (const int size : {32, 160}) {
        SCOPED_TRACE(size);
        const QImage image = ScopeEmblem(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
        const QColor inside = image.pixelColor(size / 2 - size / 5, size / 2 + size / 9);
        EXPECT_EQ(inside.alpha(), 255);
        EXPECT_LT(inside.lightness(), 60);
        int green = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QColor colour = image.pixelColor(x, y);
                green += colour.green() > 150 && colour.red() < 120 ? 1 : 0;
            }
        }
        EXPECT_GT(green, size / 2);
    }
}

}  // namespace
}  // namespace scopewatch
