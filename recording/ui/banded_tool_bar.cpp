#include "banded_tool_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QToolButton>

#include "row_bands.h"

namespace quillon {

void BandedToolBar::paintEvent(QPaintEvent* event) {
    // QToolBar fills and frames a toolbar shown whole over its overflowing buttons, or
    // floating; that is left to it.
    const auto* extension = findChild<QToolButton*>("qt_toolbar_ext_button");
    if (isWindow() || (extension && extension->isVisible())) {
        QToolBar::paintEvent(event);
        return;
    }
    QPainter p(this);
    QStyleOptionToolBar option;
    initStyleOption(&option);
    for (int left = 0; left < width(); left += kRowsPerBand) {
        p.save();
        p.setClipRect(QRect(left, 0, kRowsPerBand, height()));
        style()->drawControl(QStyle::CE_ToolBar, &option, &p, this);
        p.restore();
    }
    option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
    if (option.rect.isValid())
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &p, this);
}

}  // namespace quillon
