#include "graph_view.h"

#include <QPainter>
#include <QPointer>
#include <QResizeEvent>

namespace quillon {

GraphView::GraphView(TrendGraph& graph, QWidget* parent) : QWidget(parent), graph_(graph) {
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 40);
    // Repaint whenever the picture changes; whoever listened before still hears it.
    QPointer<GraphView> self(this);
    auto previous = graph_.onChanged;
    graph_.onChanged = [self, previous] {
        if (previous) previous();
        if (self) self->update();
    };
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage& image = graph_.image();
    if (image.size() == size()) {
        p.drawImage(0, 0, image);
    } else {
        p.fillRect(rect(), Qt::white);
        p.drawImage(rect(), image);
    }
}

void GraphView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (followSize_ && !event->size().isEmpty()) graph_.Relayout(event->size());
}

}  // namespace quillon
