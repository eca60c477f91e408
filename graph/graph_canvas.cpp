#include "graph_canvas.h"

#include <algorithm>
#include <cmath>

#include "row_bands.h"

namespace quillon {

namespace {
constexpr double kSpanX = GraphCanvas::kRight - GraphCanvas::kLeft;  // 11505
constexpr double kSpanY = GraphCanvas::kTop - GraphCanvas::kBottom;  // 3480
constexpr int kDotsPerMeter96Dpi = 3780;

// Clips a segment to a rectangle (Liang-Barsky). False when nothing of it is inside or
// a coordinate is not finite. Values far outside the picture (a hand-edited report can
// hold 1e300) never reach the rasteriser.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y()))
        return false;
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                         box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx, dy) * t0;
    b = start + QPointF(dx, dy) * t1;
    return true;
}

QPoint Pixel(const QPointF& p) { return QPoint(qRound(p.x()), qRound(p.y())); }

// Texts laid out before are kept up to this many; then the store starts anew (a long
// recording draws a new time label every few records).
constexpr int kLaidOutTexts = 256;

bool IsOneLine(const QString& text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    });
}

// The pixels from a to b, both included (for a rectangle given from right to left or
// bottom to top, QRect::normalized moves both ends in by a pixel).
QRect Spanning(const QPoint& a, const QPoint& b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

// The pixels a line drawn with a pen of this width can touch.
QRect LineArea(const QPoint& a, const QPoint& b, int widthPx) {
    const int m = widthPx + 1;
    return Spanning(a, b).adjusted(-m, -m, m, m);
}
}  // namespace

// The painter draws a one-pixel line a pixel at a time, each pixel a span of its own:
// for the long lines of the grid that was most of what drawing a frame cost. With a plain
// opaque pen on untransformed pixels, a one-pixel line along a row or a column is filled
// instead, in bands (see row_bands.h), from one end to the other: the painter's own lines
// leave out one end or the other depending on their direction and on the line drawn
// before. Other lines are drawn by the painter. An opaque colour painted over itself
// stays the same, so the order of the lines does not matter.
void DrawLinesInBands(QPainter& p, const QVector<QLine>& lines, int widthPx) {
    const QPen& pen = p.pen();
    const bool fillable = widthPx == 1 && pen.style() == Qt::SolidLine &&
                          pen.brush().style() == Qt::SolidPattern && pen.color().alpha() == 255 &&
                          p.compositionMode() == QPainter::CompositionMode_SourceOver &&
                          p.opacity() == 1.0 && !p.testRenderHint(QPainter::Antialiasing) &&
                          p.deviceTransform().isIdentity();
    if (!fillable) {
        p.drawLines(lines);
        return;
    }
    const QColor color = pen.color();
    QVector<QLine> slanted;
    for (const QLine& l : lines) {
        if (l.dx() != 0 && l.dy() != 0)
            slanted.append(l);
        else
            ForEachRowBand(Spanning(l.p1(), l.p2()),
                           [&](const QRect& band) { p.fillRect(band, color); });
    }
    if (!slanted.isEmpty()) p.drawLines(slanted);
}

GraphCanvas::GraphCanvas(QSize pixels) {
    font_.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                       QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font_.setStyleHint(QFont::SansSerif);
    setSize(pixels);
}

GraphCanvas::~GraphCanvas() { finish(); }

void GraphCanvas::setSize(QSize pixels) {
    finish();
    const QSize size = pixels.expandedTo(QSize(1, 1));
    if (size != size_) {
        // The picture of the new size is made when something needs it: the one of the
        // size given at construction is replaced by the window's first layout unused.
        size_ = size;
        image_ = QImage();
    } else if (!image_.isNull()) {
        // A layout that leaves the picture's size as it is keeps the picture rather
        // than making it again.
        image_.fill(Qt::white);
    }
    allChanged();
    updateMapping();
}

void GraphCanvas::makePicture(const QColor& background) const {
    // Three bytes a pixel: the picture has no alpha, and it is the largest block of
    // memory the program keeps. Drawing and saving give the pixels and files of RGB32.
    image_ = QImage(size_, QImage::Format_RGB888);
    image_.setDotsPerMeterX(kDotsPerMeter96Dpi);
    image_.setDotsPerMeterY(kDotsPerMeter96Dpi);
    image_.fill(background);
}

const QImage& GraphCanvas::picture() const {
    if (image_.isNull()) makePicture(Qt::white);
    return image_;
}

void GraphCanvas::setScale(double scaleX, double scaleY) {
    finish();
    scaleX_ = scaleX > 0 && std::isfinite(scaleX) ? scaleX : 1;
    scaleY_ = scaleY > 0 && std::isfinite(scaleY) ? scaleY : 1;
    updateMapping();
}

void GraphCanvas::updateMapping() {
    const double w = size_.width(), h = size_.height();
    const double sx = w / (kSpanX * scaleX_);
    const double sy = h / (kSpanY * scaleY_);
    window_ = QTransform(sx, 0, 0, -sy, -kLeft * scaleX_ * sx, kTop * scaleY_ * sy);
    // The font keeps its design proportion to the picture; in a picture stretched one
    // way only it follows the shorter side, so labels never grow into each other.
    fontAlongY_ = kFontUnits * h / kSpanY;
    const double px = kFontUnits * std::min(w / kSpanX, h / kSpanY);
    font_.setPixelSize(std::max(1, qRound(px)));
    // Measured on first use: loading a font size costs more than a whole redraw, and
    // the picture made before the window's first layout never draws any text.
    metrics_.reset();
    laidOut_.clear();
}

const QFontMetricsF& GraphCanvas::metrics() const {
    if (!metrics_) {
        metrics_ = std::make_unique<QFontMetricsF>(font_, &picture());
        // A font smaller than the picture's height would allow keeps the vertical centre
        // the text has at the design size (axis numbers stay on their lines).
        textDrop_ = std::max(
            0.0, (fontAlongY_ - font_.pixelSize()) * metrics_->height() / font_.pixelSize() / 2);
    }
    return *metrics_;
}

const QImage& GraphCanvas::image() {
    finish();
    return picture();
}

QRegion GraphCanvas::takeChangedArea() {
    const QRegion area = changed_ & QRect(QPoint(0, 0), size_);
    changed_ = QRegion();
    allChanged_ = false;
    return area;
}

QRegion GraphCanvas::takeDrawnArea() {
    QRegion area;
    area.swap(drawn_);
    return area;
}

void GraphCanvas::finish() {
    if (painter_.isActive()) painter_.end();
}

QPainter& GraphCanvas::painter() {
    if (!painter_.isActive()) {
        picture();
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setFont(font_);
        penWidth_ = -1;
    }
    return painter_;
}

void GraphCanvas::setPen(const QColor& color, int widthPx) {
    if (penWidth_ == widthPx && penColor_ == color) return;
    QPen pen(color);
    pen.setWidth(widthPx);
    pen.setCosmetic(true);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
    penColor_ = color;
    penWidth_ = widthPx;
}

void GraphCanvas::clear(const QColor& background) {
    finish();
    if (image_.isNull())
        makePicture(background);
    else
        image_.fill(background);
    allChanged();
}

void GraphCanvas::fillBox(double x1, double y1, double x2, double y2, const QColor& color) {
    const QPointF a = toPixels(x1, y1), b = toPixels(x2, y2);
    if (!std::isfinite(a.x() + a.y() + b.x() + b.y())) return;
    const QRectF r = QRectF(a, b).normalized();
    const double w = size_.width(), h = size_.height();
    if (r.right() < 0 || r.bottom() < 0 || r.left() > w || r.top() > h) return;
    const QRect pixels(
        QPoint(qRound(std::max(r.left(), -1.0)), qRound(std::max(r.top(), -1.0))),
        QPoint(qRound(std::min(r.right(), w + 1)), qRound(std::min(r.bottom(), h + 1))));
    ForEachRowBand(pixels, [&](const QRect& band) { painter().fillRect(band, color); });
    changed(pixels);
}

void GraphCanvas::line(double x1, double y1, double x2, double y2, const QColor& color,
                       int widthPx) {
    QPointF a = toPixels(x1, y1), b = toPixels(x2, y2);
    if (!ClipSegment(a, b, QRectF(QPointF(0, 0), QSizeF(size_)).adjusted(-8, -8, 8, 8))) return;
    QPainter& p = painter();
    setPen(color, widthPx);
    DrawLinesInBands(p, {QLine(Pixel(a), Pixel(b))}, widthPx);
    changed(LineArea(Pixel(a), Pixel(b), widthPx));
}

void GraphCanvas::lines(const QVector<QLineF>& segments, const QColor& color, int widthPx) {
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size_)).adjusted(-8, -8, 8, 8);
    QVector<QLine> pixels;
    pixels.reserve(segments.size());
    for (const QLineF& s : segments) {
        QPointF a = toPixels(s.x1(), s.y1()), b = toPixels(s.x2(), s.y2());
        if (!ClipSegment(a, b, box)) continue;
        pixels.append(QLine(Pixel(a), Pixel(b)));
        changed(LineArea(pixels.back().p1(), pixels.back().p2(), widthPx));
    }
    if (pixels.isEmpty()) return;
    QPainter& p = painter();
    setPen(color, widthPx);
    DrawLinesInBands(p, pixels, widthPx);
}

void GraphCanvas::point(double x, double y, const QColor& color) {
    const QPointF a = toPixels(x, y);
    if (!std::isfinite(a.x()) || !std::isfinite(a.y())) return;
    if (!QRectF(QPointF(-1, -1), QSizeF(size_) + QSizeF(2, 2)).contains(a)) return;
    QPainter& p = painter();
    setPen(color, 1);
    p.drawPoint(Pixel(a));
    changed(LineArea(Pixel(a), Pixel(a), 1));
}

void GraphCanvas::points(const QVector<QPointF>& at, const QColor& color) {
    const QRectF box(QPointF(-1, -1), QSizeF(size_) + QSizeF(2, 2));
    QVector<QPoint> pixels;
    pixels.reserve(at.size());
    for (const QPointF& p : at) {
        const QPointF a = toPixels(p.x(), p.y());
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !box.contains(a)) continue;
        pixels.append(Pixel(a));
        changed(LineArea(pixels.back(), pixels.back(), 1));
    }
    if (pixels.isEmpty()) return;
    QPainter& p = painter();
    setPen(color, 1);
    p.drawPoints(pixels.constData(), int(pixels.size()));
}

const GraphCanvas::LaidOutText* GraphCanvas::laidOut(const QString& text) const {
    if (!IsOneLine(text)) return nullptr;
    auto it = laidOut_.find(text);
    if (it != laidOut_.end()) return &*it;
    if (laidOut_.size() >= kLaidOutTexts) laidOut_.clear();
    LaidOutText t;
    t.layout.setText(text);
    t.layout.setTextFormat(Qt::PlainText);
    t.layout.prepare(QTransform(), font_);
    t.ink = metrics().boundingRect(text);
    t.advance = metrics().horizontalAdvance(text);
    return &*laidOut_.insert(text, t);
}

void GraphCanvas::text(double x, double y, const QString& text, const QColor& color) {
    if (text.isEmpty()) return;
    const QPointF a = toPixels(x, y);
    if (!std::isfinite(a.x()) || !std::isfinite(a.y())) return;
    QPainter& p = painter();
    setPen(color, 1);
    const QPointF top(qRound(a.x()), qRound(a.y() + textDrop()));
    const QPointF baseline = top + QPointF(0, metrics().ascent());
    const LaidOutText* t = laidOut(text);
    if (t)
        p.drawStaticText(top, t->layout);  // the same pixels as drawText at the baseline
    else
        p.drawText(baseline, text);
    // The ink's box, with room for smoothing and hinting.
    const QRectF ink = t ? t->ink : metrics().boundingRect(text);
    changed(ink.translated(baseline).toAlignedRect().adjusted(-2, -2, 2, 2));
}

void GraphCanvas::textOnWhite(double x, double y, const QString& text) {
    if (text.isEmpty()) return;
    const QPointF a = toPixels(x, y);
    if (!std::isfinite(a.x()) || !std::isfinite(a.y())) return;
    const QRectF box(QPointF(qRound(a.x()), qRound(a.y() + textDrop())),
                     QSizeF(advance(text), metrics().height()));
    painter().fillRect(box.toAlignedRect(), Qt::white);
    changed(box.toAlignedRect());
    this->text(x, y, text);
}

double GraphCanvas::advance(const QString& text) const {
    const LaidOutText* t = laidOut(text);
    return t ? t->advance : metrics().horizontalAdvance(text);
}

double GraphCanvas::textWidth(const QString& text) const { return advance(text) / window_.m11(); }

}  // namespace quillon
