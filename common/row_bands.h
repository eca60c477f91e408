#pragma once
// Qt's raster painter hands a fill of 96 spans or more (a span: a run of pixels on one
// row; a one-pixel line is a span for each pixel) to its thread pool. For the few
// thousand pixels of a grid line or a strip of the graph, the hand-over (threads woken
// and waited for, every time) costs more than the drawing, and it was a good part of
// what a record cost. Filling such things in bands of fewer rows (a one-pixel line along
// a row or a column as the rectangle of its pixels) keeps the work on the painting thread.

#include <QRect>
#include <algorithm>

namespace quillon {

constexpr int kRowsPerBand = 90;

// Calls paint(band) for the parts of `area` at most kRowsPerBand rows tall, top down.
template <typename Paint>
void ForEachRowBand(const QRect& area, Paint&& paint) {
    if (area.isEmpty()) return;
    for (int top = area.top(); top <= area.bottom(); top += kRowsPerBand)
        paint(
            QRect(area.left(), top, area.width(), std::min(kRowsPerBand, area.bottom() + 1 - top)));
}

}  // namespace quillon
