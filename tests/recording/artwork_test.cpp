// The bar-graph pictures: one lit segment per thousand counts.
#include "artwork.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

// Lit segments along the middle of the bar's upper half (the outline of the
// not-a-number picture lies outside the sampled span).
int LitSegments(const QImage& img) {
    const QRgb lit = qRgb(255, 240, 120);
    int count = 0;
    bool inside = false;
    const int y = img.height() / 4;
    for (int x = 2; x < img.width() - 2; ++x) {
        const bool on = (img.pixel(x, y) & 0xFFFFFF) == (lit & 0xFFFFFF);
        if (on && !inside) ++count;
        inside = on;
    }
    return count;
}

TEST(Artwork, BarGraphLightsOneSegmentPerThousandCounts) {
    const struct {
        int image;
        int lit;
    } cases[] = {{1, 0}, {2, 1}, {31, 30}, {61, 60}, {kBarNotANumber, 0}, {kBarIdle, 0}, {99, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(LitSegments(BarGraphImage(c.image, QSize(600, 36))), c.lit)
            << "image " << c.image;
    }
}

TEST(Artwork, SignPicturesDiffer) {
    EXPECT_NE(SignImage(1, QSize(30, 30)), SignImage(2, QSize(30, 30)));
}

}  // namespace
}  // namespace quillon
