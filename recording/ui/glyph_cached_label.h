#pragma once
// A label for large text that changes often (the readout's value). Qt draws glyphs this
// large as outlines, filling each path anew on every repaint; this label draws each
// character from a picture made once, so a new reading costs a few image copies.
// Text it cannot draw that way (rich text, several lines, word wrap) is left to QLabel.

#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QPoint>

namespace quillon {

class GlyphCachedLabel final : public QLabel {
  public:
    explicit GlyphCachedLabel(QWidget* parent = nullptr) : QLabel(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Glyph {
        QPixmap picture;
        QPoint offset;  // of the picture's top left from the pen position on the baseline
    };
    const Glyph& glyph(QChar c);

    QHash<QChar, Glyph> glyphs_;
    qreal glyphsRatio_ = 0;  // device pixel ratio the glyphs were made for
};

}  // namespace quillon
