#include "quiet_scroll_bar.h"

#include <QStyle>
#include <QStyleOptionSlider>

namespace quillon {

void QuietScrollBar::sliderChange(SliderChange) {
    // Looked at once the changes of this turn of the event loop are over (a new range,
    // then a new value): in between the bar may look different for a moment. A posted
    // call comes before the window's paint request, so a change is still painted with
    // the rest of the window. Hover, presses, focus, palette and size repaint the bar by
    // other ways.
    if (lookPending_) return;
    lookPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            lookPending_ = false;
            if (!hasPainted_ || !(look() == painted_)) update();
        },
        Qt::QueuedConnection);
}

void QuietScrollBar::paintEvent(QPaintEvent* event) {
    painted_ = look();
    hasPainted_ = true;
    QScrollBar::paintEvent(event);
}

QuietScrollBar::Look QuietScrollBar::look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look l;
    l.slider = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                       this);
    l.atMinimum = value() == minimum();
    l.atMaximum = value() == maximum();
    return l;
}

}  // namespace quillon
