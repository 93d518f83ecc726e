// Helpers of the GUI tests: comparing painted regions with the sprite sheet.
#pragma once

#include "layout.h"
#include "paint.h"

#include <QImage>

#include <gtest/gtest.h>

namespace ombrix::test {

inline const QColor kTeal(0, 128, 128), kYellow(255, 255, 0), kRed(255, 0, 0), kBlue(0, 0, 255);
inline const QRect kStatusLine(30, 30, 420, 19);

// How many pixels of `image` at (x, y) differ from the sprite `r`; `w`, `h`
// may shrink the compared area.
inline int RegionDiff(const QImage& image, int x, int y, const SpriteRect& r, int w = -1,
                      int h = -1) {
    const QImage& sheet = SpriteSheet();
    if (w < 0) w = r.w;
    if (h < 0) h = r.h;
    int diff = 0;
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx)
            if (image.pixel(x + dx, y + dy) != sheet.pixel(r.x + dx, r.y + dy)) ++diff;
    return diff;
}

// Counts pixels of colour `c` inside a rectangle.
inline int CountColour(const QImage& image, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QColor(image.pixel(x, y)) == c) ++n;
    return n;
}

// Yellow pixels in the status line's band, as far as `image` reaches.
inline int StatusYellow(const QImage& image) {
    return CountColour(image, kStatusLine.intersected(image.rect()), kYellow);
}

} // namespace ombrix::test
