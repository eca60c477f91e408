#include "picture_boxes.h"

#include <QPaintEvent>
#include <QPainter>

#include "row_bands.h"

namespace quillon {

ArtBox::ArtBox(QWidget* parent, Draw draw, int n) : QWidget(parent), draw_(std::move(draw)), n_(n) {
    // Every picture covers the whole box: nothing under it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ArtBox::setNumber(int n) {
    if (n == n_) return;
    n_ = n;
    update();
}

void ArtBox::paintEvent(QPaintEvent*) {
    if (!draw_ || width() <= 0 || height() <= 0) return;
    QPainter p(this);
    p.drawImage(0, 0, draw_(n_, size()));
}

GraphBox::GraphBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void GraphBox::showChanged(const QRegion& imageArea) {
    if (imageArea.isEmpty()) return;
    // The picture is drawn at the box's size; until it has that size it is scaled.
    if (image().size() == size()) {
        update(imageArea);
    } else {
        update();
    }
}

void GraphBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QImage img = image();
    if (img.size() != size()) p.fillRect(rect(), Qt::white);
    if (!img.isNull()) {
        if (img.size() == size()) {
            // Only the parts asked for: a record changes a few strips of the picture, and
            // their bounding box is most of it. In bands, to keep the copy on this thread.
            for (const QRect& r : event->region())
                ForEachRowBand(r, [&](const QRect& band) { p.drawImage(band, img, band); });
        } else {
            p.drawImage(rect(), img);
        }
    }
    // The one-pixel border as four fills: an outline drawn with a pen is stroked span by
    // span against the strips being repainted, which cost more than the strips.
    const QColor border = palette().color(QPalette::Mid);
    const int w = width(), h = height();
    p.fillRect(0, 0, w, 1, border);
    p.fillRect(0, h - 1, w, 1, border);
    for (const int x : {0, w - 1})
        ForEachRowBand(QRect(x, 0, 1, h), [&](const QRect& band) { p.fillRect(band, border); });
}

}  // namespace quillon
