#pragma once
// Picture controls of the main window: a drawn picture chosen by number (bar graph,
// sign, symbols), and the graph picture box, which shows the image the graph draws.

#include <QImage>
#include <QWidget>
#include <functional>

namespace quillon {

class ArtBox final : public QWidget {
  public:
    // Draws picture n at the box's size, opaque: the box paints nothing under it.
    using Draw = std::function<QImage(int n, QSize size)>;
    ArtBox(QWidget* parent, Draw draw, int n = 1);
    void setNumber(int n);
    int number() const { return n_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    Draw draw_;
    int n_;
};

class GraphBox final : public QWidget {
  public:
    explicit GraphBox(QWidget* parent);
    // Where the picture comes from; without a source the box stays white.
    void setSource(std::function<QImage()> source) { source_ = std::move(source); }
    QImage image() const { return source_ ? source_() : QImage(); }
    // Repaints the part of the box that shows this area of the picture.
    void showChanged(const QRegion& imageArea);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::function<QImage()> source_;
};

}  // namespace quillon
