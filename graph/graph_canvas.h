#pragma once
// The graph's picture: an off-screen image in widget pixels with a user coordinate
// system. x runs from -1050 * scaleX at the left edge to 10455 * scaleX at the right,
// y upward from -300 * scaleY at the bottom to 3180 * scaleY at the top; at the design
// size (767 x 232 pixels, both factors 1) one drawing unit is a twip.
//
// Drawing stays on the image until it is cleared. Lines and points use pens in pixels;
// text is drawn upright with its top-left corner at the given point, in a small sans
// font whose size follows the picture.

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QRegion>
#include <QSize>
#include <QStaticText>
#include <QTransform>
#include <QVector>
#include <memory>

namespace quillon {

class GraphCanvas {
  public:
    static constexpr double kLeft = -1050, kRight = 10455, kBottom = -300, kTop = 3180;
    static QSize DesignSize() { return {767, 232}; }
    // Font height at the design size, in drawing units (8.25 points).
    static constexpr double kFontUnits = 165;

    explicit GraphCanvas(QSize pixels = DesignSize());
    ~GraphCanvas();

    // A new size gives a new, white image.
    void setSize(QSize pixels);
    void setScale(double scaleX, double scaleY);
    QSize size() const { return size_; }
    double scaleX() const { return scaleX_; }
    double scaleY() const { return scaleY_; }

    // The picture; any drawing in progress is finished first.
    const QImage& image();

    void clear(const QColor& background = Qt::white);
    // Filled box between two corners (both inside).
    void fillBox(double x1, double y1, double x2, double y2, const QColor& color);
    void line(double x1, double y1, double x2, double y2, const QColor& color, int widthPx = 1);
    // Separate segments with one pen, as if drawn one by one.
    void lines(const QVector<QLineF>& segments, const QColor& color, int widthPx);
    void point(double x, double y, const QColor& color);
    void points(const QVector<QPointF>& at, const QColor& color);
    void text(double x, double y, const QString& text, const QColor& color = Qt::black);
    // The same on a white box of the text's size: drawing it again leaves the same
    // pixels (blended text drawn over itself would grow bolder each time).
    void textOnWhite(double x, double y, const QString& text);
    // Width of a text in drawing units along x.
    double textWidth(const QString& text) const;

    QPointF toPixels(double x, double y) const { return window_.map(QPointF(x, y)); }
    const QFont& font() const { return font_; }

    // Ends the painter kept open between drawing calls.
    void finish();

    // The pixels drawn on since the last call (a rectangle that holds them all), so that
    // a window shows the picture by repainting only what changed.
    QRegion takeChangedArea();
    // The pixels drawn on since the last call (the whole picture after a clear or a new
    // size), kept apart from what the window takes.
    QRegion takeDrawnArea();

  private:
    // A text laid out once for the current font: the time labels and captions are drawn
    // again after every record, and laying out text was the largest cost of that.
    struct LaidOutText {
        QStaticText layout;
        QRectF ink;  // from the pen position on the baseline
        double advance = 0;
    };
    // Null for a text with line breaks or control characters, which is drawn as it comes.
    const LaidOutText* laidOut(const QString& text) const;
    double advance(const QString& text) const;  // in pixels
    const QFontMetricsF& metrics() const;
    double textDrop() const {  // pixels; worked out with the metrics
        metrics();
        return textDrop_;
    }
    QPainter& painter();
    // The picture, made white on first use after a new size.
    const QImage& picture() const;
    void makePicture(const QColor& background) const;
    void updateMapping();
    void setPen(const QColor& color, int widthPx);
    void changed(const QRect& pixels) {
        if (!allChanged_) changed_ |= pixels;
        drawn_ |= pixels;
    }
    void allChanged() {
        changed_ = drawn_ = QRect(QPoint(0, 0), size_);
        allChanged_ = true;
    }

    QSize size_;
    mutable QImage image_;  // null until picture() makes it
    double scaleX_ = 1;
    double scaleY_ = 1;
    QTransform window_;  // drawing units -> pixels
    QFont font_;
    double fontAlongY_ = 0;  // the font's size the picture's height allows, in pixels
    mutable std::unique_ptr<QFontMetricsF> metrics_;  // made by metrics()
    mutable double textDrop_ = 0;                     // set with metrics_; see textDrop()
    mutable QHash<QString, LaidOutText> laidOut_;     // for metrics_'s font
    QPainter painter_;
    QColor penColor_;
    int penWidth_ = -1;
    QRegion changed_;
    bool allChanged_ = false;  // changed_ is the whole picture
    QRegion drawn_;
};

// Draws the lines with the painter's pen of this width, as QPainter::drawLines does,
// except that with a plain opaque one-pixel pen on untransformed pixels a line along a row
// or a column covers both its ends, filled in pieces small enough to stay on the painting
// thread (see row_bands.h).
void DrawLinesInBands(QPainter& painter, const QVector<QLine>& lines, int widthPx);

}  // namespace quillon
