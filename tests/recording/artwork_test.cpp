// The bar-graph pictures: one lit segment per thousand counts.
#include "artwork.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(Artwork, BarGraphLightsOneSegmentPerThousandCountsAndSignsDiffer) {
    const struct {
        int image, lit;
    } cases[] = {{1, 0}, {2, 1}, {31, 30}, {61, 60}, {kBarNotANumber, 0}, {kBarIdle, 0}, {99, 0}};
    for (const auto& c : cases) {
        // Lit runs along the bar's upper half (clear of the not-a-number picture's outline).
        const QImage img = BarGraphImage(c.image, QSize(600, 36));
        int runs = 0;
        for (int x = 2, on = 0, was = 0; x < img.width() - 2; ++x, was = on) {
            on = (img.pixel(x, img.height() / 4) & 0xFFFFFF) == 0xFFF078;  // qRgb(255, 240, 120)
            runs += on && !was;
        }
        EXPECT_EQ(runs, c.lit) << "image " << c.image;
    }
    EXPECT_NE(SignImage(1, QSize(30, 30)), SignImage(2, QSize(30, 30)));
}

}  // namespace
}  // namespace quillon
