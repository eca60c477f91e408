// The readout's bar graph, put together from two drawings: the pixels of the drawing
// made segment by segment, for every reading and for sizes that round differently.
#include "artwork.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(BarGraph, EveryReadingHasThePixelsOfTheWholeDrawing) {
    const QSize sizes[] = {{240, 26}, {61, 10}, {97, 23}, {60, 12}, {59, 12}, {367, 41}, {1, 1}};
    for (const QSize size : sizes)
        for (int i = 0; i <= 2 * (kBarIdle + 1); ++i) {
            const int n = i <= kBarIdle + 1 ? i : 2 * (kBarIdle + 1) - i;  // up, then down
            ASSERT_TRUE(BarGraphImage(n, size) == BarGraphDrawnWhole(n, size))
                << "reading " << n << " at " << size.width() << "x" << size.height();
        }
    // A picture still held keeps its pixels when the next reading comes.
    const QImage held = BarGraphImage(30, sizes[0]);
    BarGraphImage(5, sizes[0]);
    EXPECT_TRUE(held == BarGraphDrawnWhole(30, sizes[0]));
}

}  // namespace
}  // namespace quillon
