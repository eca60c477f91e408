// The readout's bar graph, put together from two drawings: the pixels of the drawing
// made segment by segment, for every reading and for sizes that round differently.
#include "artwork.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(BarGraph, EveryReadingHasThePixelsOfTheWholeDrawing) {
    const QSize sizes[] = {{240, 26}, {61, 10}, {97, 23}, {60, 12}, {59, 12}, {367, 41}, {1, 1}};
    for (const QSize size : sizes)
        for (int n = 0; n <= kBarIdle + 1; ++n)
            ASSERT_TRUE(BarGraphImage(n, size) == BarGraphDrawnWhole(n, size))
                << "reading " << n << " at " << size.width() << "x" << size.height();
}

}  // namespace
}  // namespace quillon
