#include "quiet_scroll_bar.h"

#include <QPaintEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace quillon {

void QuietScrollBar::sliderChange(SliderChange) { lookLater(); }

// Looked at once the changes of this turn of the event loop are over (a new range, then
// a new value): in between the bar may look different for a moment. A posted call comes
// before the window's paint request, so a change is still painted with the rest of the
// window. Hover, presses, focus, palette and size repaint the bar by other ways.
void QuietScrollBar::lookLater() {
    if (lookPending_) return;
    lookPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            lookPending_ = false;
            const Look now = look();
            if (!shows(now)) update(changedPart(now));
        },
        Qt::QueuedConnection);
}

// A slider moved or resized changes only the pixels from where it was to where it is;
// the groove either side keeps its picture.
QRect QuietScrollBar::changedPart(const Look& now) const {
    if (!painted_ || now.atMinimum != painted_->atMinimum || now.atMaximum != painted_->atMaximum ||
        !now.slider.isValid() || !painted_->slider.isValid())
        return rect();
    return now.slider.united(painted_->slider).adjusted(-2, -2, 2, 2) & rect();
}

void QuietScrollBar::paintEvent(QPaintEvent* event) {
    // Only a paint that covers what changed brings the picture up to date; a smaller one
    // (a button pressed, say) leaves the rest to a later paint.
    const Look now = look();
    if (!shows(now)) {
        if ((QRegion(changedPart(now)) - event->region()).isEmpty())
            painted_ = now;
        else
            lookLater();
    }
    QScrollBar::paintEvent(event);
}

QuietScrollBar::Look QuietScrollBar::look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look l;
    l.slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    l.atMinimum = value() == minimum();
    l.atMaximum = value() == maximum();
    return l;
}

}  // namespace quillon
