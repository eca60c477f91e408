#pragma once
// A part of the status bar: a label in a holder of its own. A status bar lays out and
// repaints all its parts whenever one label's text changes; here the bar is laid out
// again only when the text needs another size (the record count changes with every
// record, its width seldom).

#include <QLabel>
#include <QWidget>

namespace quillon {

class StatusField final : public QWidget {
  public:
    // The label takes `name` as its object name.
    StatusField(const char* name, QWidget* parent);

    QLabel* label() const { return label_; }
    void setText(const QString& text);

    QSize sizeHint() const override { return label_->sizeHint(); }
    QSize minimumSizeHint() const override { return label_->minimumSizeHint(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The size of the text alone, as the label measures it for its size hint; the hint
    // changes only when this does, as margins, frame and font stay as they are.
    QSize textSize(const QString& text) const;

    QLabel* label_;
    QSize shownTextSize_;  // of the label's text, in shownFont_
    QFont shownFont_;
};

}  // namespace quillon
