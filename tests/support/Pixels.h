#pragma once

#include <QImage>
#include <QRect>

namespace scopewatch::testing {

// How many pixels of the area of the image (all of it when the area is empty) have the colour.
inline int CountPixels(const QImage& image, QRgb colour, const QRect& area = {}) {
    const QRect inside = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

}  // namespace scopewatch::testing
