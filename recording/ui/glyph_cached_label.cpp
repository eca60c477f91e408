#include "glyph_cached_label.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace quillon {

const GlyphCachedLabel::Glyph& GlyphCachedLabel::glyph(QChar c) {
    const qreal ratio = devicePixelRatioF();
    if (ratio != glyphsRatio_) {
        glyphs_.clear();
        glyphsRatio_ = ratio;
    }
    auto found = glyphs_.constFind(c);
    if (found != glyphs_.constEnd()) return *found;

    const QFontMetrics metrics(font());
    // Room around the ink for smoothing.
    const QRect ink = metrics.boundingRect(c).adjusted(-2, -2, 2, 2);
    Glyph g;
    g.offset = ink.topLeft();
    g.picture = QPixmap(ink.size() * ratio);
    g.picture.setDevicePixelRatio(ratio);
    g.picture.fill(Qt::transparent);
    QPainter p(&g.picture);
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    p.drawText(-ink.topLeft(), QString(c));
    return *glyphs_.insert(c, g);
}

void GlyphCachedLabel::paintEvent(QPaintEvent* event) {
    const QString t = text();
    if (t.isEmpty() || wordWrap() || t.contains(QLatin1Char('\n')) ||
        textFormat() == Qt::RichText || (textFormat() == Qt::AutoText && Qt::mightBeRichText(t))) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    drawFrame(&p);
    const QFontMetrics metrics(font());
    const QRect box = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int width = 0;
    for (QChar c : t) width += metrics.horizontalAdvance(c);
    const QRect line =
        QStyle::alignedRect(layoutDirection(), alignment(), QSize(width, metrics.height()), box);
    QPoint pen(line.left(), line.top() + metrics.ascent());
    for (QChar c : t) {
        const Glyph& g = glyph(c);
        p.drawPixmap(pen + g.offset, g.picture);
        pen.rx() += metrics.horizontalAdvance(c);
    }
}

void GlyphCachedLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange)
        glyphs_.clear();
    QLabel::changeEvent(event);
}

}  // namespace quillon
