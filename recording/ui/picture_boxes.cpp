#include "picture_boxes.h"

#include <QPainter>

namespace quillon {

ArtBox::ArtBox(QWidget* parent, Draw draw, int n)
    : QWidget(parent), draw_(std::move(draw)), n_(n) {}

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

void GraphBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage img = image();
    if (img.isNull()) {
        p.fillRect(rect(), Qt::white);
    } else {
        p.fillRect(rect(), Qt::white);
        p.drawImage(rect(), img);
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace quillon
