#pragma once
// A scroll bar that paints itself again only where what it shows changes. The record
// table's range grows with every record: the slider moves or shrinks by a pixel or two,
// and once the table is long it keeps its pixels from one record to the next. Painting
// the whole bar every time was wasted work.

#include <QRect>
#include <QScrollBar>
#include <optional>

namespace quillon {

class QuietScrollBar final : public QScrollBar {
  public:
    explicit QuietScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr)
        : QScrollBar(orientation, parent) {}

  protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // What a change of range, value or step can alter in the picture.
    struct Look {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look& o) const {
            return slider == o.slider && atMinimum == o.atMinimum && atMaximum == o.atMaximum;
        }
    };
    Look look() const;
    bool shows(const Look& now) const { return painted_ && *painted_ == now; }
    QRect changedPart(const Look& now) const;  // of the bar, since the look last painted
    void lookLater();

    std::optional<Look> painted_;
    bool lookPending_ = false;  // a look at the changes is posted
};

}  // namespace quillon
