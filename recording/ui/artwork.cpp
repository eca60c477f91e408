#include "artwork.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cstring>

namespace quillon {

namespace {

const QColor kPanel(3, 127, 127);
const QColor kLit(255, 240, 120);
const QColor kDim(20, 90, 90);
const QColor kInk(235, 255, 255);
constexpr int kBarSegments = 60;

// Pictures 1..61 light n - 1 segments; any other lights none.
int LitSegments(int n) { return (n >= 1 && n <= kBarSegments + 1) ? n - 1 : 0; }

QImage Canvas(QSize size) {
    QImage img(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    img.fill(kPanel);
    return img;
}

}  // namespace

QImage BarGraphDrawnWhole(int n, QSize size) {
    QImage img = Canvas(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double w = img.width();
    const double h = img.height();
    const double barH = h * 0.55;
    const double step = w / kBarSegments;
    const int lit = LitSegments(n);
    for (int i = 0; i < kBarSegments; ++i) {
        const QRectF seg(i * step + 1, 1, qMax(1.0, step - 2), barH);
        p.fillRect(seg, i < lit ? kLit : kDim);
    }
    // Scale marks every 10 segments along the bottom.
    p.setPen(kInk);
    for (int i = 0; i <= kBarSegments; i += 5) {
        const double x = qMin(w - 1, i * step);
        p.drawLine(QPointF(x, barH + 2), QPointF(x, barH + 2 + (i % 10 == 0 ? h * 0.3 : h * 0.15)));
    }
    if (n == kBarNotANumber) {
        // Not a number: the whole scale outlined, nothing lit.
        p.setPen(QPen(kLit, 1));
        p.drawRect(QRectF(0.5, 0.5, w - 1, barH));
    }
    return img;
}

QImage BarGraphImage(int n, QSize size) {
    // Every reading repaints the bar, and drawing its 60 segments and marks is most of
    // that. The picture is put together from the scale drawn all dim and all lit at this
    // size, cut where the first dim segment starts: with a step of a pixel or more, every
    // segment ends before the next one starts, so the cut leaves each segment whole.
    const QSize s = size.expandedTo(QSize(1, 1));
    const double step = double(s.width()) / kBarSegments;
    if (n == kBarNotANumber || step < 1) return BarGraphDrawnWhole(n, s);
    static QSize drawnSize;
    static QImage dim, lit, shown;  // lit and shown: made when a reading first lights any
    static int shownCut = 0;        // the columns of `shown` taken from `lit`
    if (drawnSize != s) {
        dim = BarGraphDrawnWhole(0, s);
        lit = shown = QImage();
        drawnSize = s;
    }
    const int litSegments = LitSegments(n);
    if (litSegments == 0 && shown.isNull()) return dim;
    if (shown.isNull()) {
        lit = BarGraphDrawnWhole(kBarSegments + 1, s);
        shown = dim.copy();
        shownCut = 0;
    }
    const int cut = litSegments == 0 ? 0 : qMin(s.width(), qRound(litSegments * step + 1));
    // Only the columns between the last cut and this one change. The picture handed out
    // last is no longer held by then, so this writes in place; were it still held, the
    // picture would be copied first and the one held would stay as it is.
    const QImage& from = cut > shownCut ? lit : dim;
    const int left = qMin(cut, shownCut), bytesPerPixel = shown.depth() / 8;
    const size_t bytes = size_t(qAbs(cut - shownCut)) * size_t(bytesPerPixel);
    if (bytes > 0) {
        for (int y = 0; y < s.height(); ++y)
            memcpy(shown.scanLine(y) + left * bytesPerPixel,
                   from.constScanLine(y) + left * bytesPerPixel, bytes);
    }
    shownCut = cut;
    return shown;
}

QImage SignImage(int n, QSize size) {
    QImage img = Canvas(size);
    QPainter p(&img);
    const double w = img.width(), h = img.height();
    const double t = qMax(2.0, h * 0.16);
    p.fillRect(QRectF(w * 0.15, h / 2 - t / 2, w * 0.7, t), kLit);
    if (n != 2) p.fillRect(QRectF(w / 2 - t / 2, h * 0.15, t, h * 0.7), kLit);
    return img;
}

QImage BuzzerSymbol(QSize size) {
    QImage img = Canvas(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = img.width(), h = img.height();
    QPainterPath speaker;
    speaker.moveTo(w * 0.1, h * 0.38);
    speaker.lineTo(w * 0.3, h * 0.38);
    speaker.lineTo(w * 0.5, h * 0.15);
    speaker.lineTo(w * 0.5, h * 0.85);
    speaker.lineTo(w * 0.3, h * 0.62);
    speaker.lineTo(w * 0.1, h * 0.62);
    speaker.closeSubpath();
    p.fillPath(speaker, kLit);
    p.setPen(QPen(kLit, qMax(1.0, w * 0.06)));
    for (int k = 1; k <= 2; ++k) {
        const double r = w * 0.14 * k;
        p.drawArc(QRectF(w * 0.5 - r, h * 0.5 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }
    return img;
}

QImage DiodeSymbol(QSize size) {
    QImage img = Canvas(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = img.width(), h = img.height();
    p.setPen(QPen(kLit, qMax(1.0, w * 0.06)));
    p.drawLine(QPointF(w * 0.05, h / 2), QPointF(w * 0.95, h / 2));
    QPainterPath tri;
    tri.moveTo(w * 0.3, h * 0.2);
    tri.lineTo(w * 0.3, h * 0.8);
    tri.lineTo(w * 0.65, h * 0.5);
    tri.closeSubpath();
    p.fillPath(tri, kLit);
    p.drawLine(QPointF(w * 0.68, h * 0.2), QPointF(w * 0.68, h * 0.8));
    return img;
}

QIcon ToolbarIcon(const QString& key) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(40, 40, 40), 1.2);
    p.setPen(outline);
    if (key == "Open") {
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygonF({{2, 7}, {9, 7}, {11, 9}, {21, 9}, {21, 20}, {2, 20}}));
        p.setBrush(QColor(255, 225, 120));
        p.drawPolygon(QPolygonF({{4, 12}, {23, 12}, {21, 20}, {2, 20}}));
    } else if (key == "Save") {
        p.setBrush(QColor(60, 90, 170));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 12, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7, 14, 10, 7));
    } else if (key == "Print") {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2, 10, 8));
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 15, 10, 7));
    } else if (key == "Clear") {
        p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    } else if (key == "Link") {
        p.setPen(QPen(QColor(30, 110, 60), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(2, 8, 11, 8), 4, 4);
        p.drawRoundedRect(QRectF(11, 8, 11, 8), 4, 4);
    } else if (key == "Start") {
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(4, 4, 16, 16));
    } else if (key == "Pause") {
        p.setBrush(QColor(60, 60, 200));
        p.drawRect(QRectF(6, 5, 4, 14));
        p.drawRect(QRectF(14, 5, 4, 14));
    } else if (key == "Stop") {
        p.setBrush(QColor(50, 50, 50));
        p.drawRect(QRectF(5, 5, 14, 14));
    } else if (key == "Help") {
        p.setBrush(QColor(50, 120, 210));
        p.drawEllipse(QRectF(2, 2, 20, 20));
        // The question mark is drawn as strokes: set in type, it loaded a bold font at a
        // size nothing else on the window uses, a noticeable part of the start.
        const QRectF hook(8.5, 5.5, 7, 7);
        QPainterPath mark;
        mark.arcMoveTo(hook, 160);
        mark.arcTo(hook, 160, -220);
        mark.lineTo(12, 14.5);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(mark);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 18), 1.6, 1.6);
    }
    return QIcon(pm);
}

QIcon WindowIconFromFile(const QString& path) {
    constexpr int kLargest = 64;
    QIcon icon;
    QImageReader reader(path);
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        const QSize size = reader.size();
        if (size.isValid() && qMax(size.width(), size.height()) > kLargest) continue;
        const QImage image = reader.read();
        if (!image.isNull() && qMax(image.width(), image.height()) <= kLargest)
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QIcon ProgramIcon() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(240, 200, 40));
    p.drawRoundedRect(QRectF(10, 2, 44, 60), 8, 8);
    p.setBrush(kPanel);
    p.drawRect(QRectF(16, 8, 32, 18));
    p.setPen(QPen(kLit, 2));
    p.drawLine(QPointF(19, 20), QPointF(26, 13));
    p.drawLine(QPointF(26, 13), QPointF(33, 20));
    p.drawLine(QPointF(33, 20), QPointF(44, 12));
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(80, 80, 80));
    p.drawEllipse(QRectF(22, 32, 20, 20));
    return QIcon(pm);
}

}  // namespace quillon
