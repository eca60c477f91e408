#pragma once
// The window's toolbar, painted as QToolBar paints it but in bands of columns: the style
// draws the toolbar's edge as a line across the whole window, which Qt's painter hands
// to its thread pool (see row_bands.h), starting its threads for that line alone. An
// extended or floating toolbar is painted by QToolBar itself.

#include <QToolBar>

namespace quillon {

class BandedToolBar final : public QToolBar {
  public:
    using QToolBar::QToolBar;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quillon
