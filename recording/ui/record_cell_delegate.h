#pragma once
// Paints the record table's cells; column 0 is a fixed column, in the fixed-cell colour.
// Qt's item delegate lays a cell's text out four times (twice to size it, twice to draw
// it), and a record repaints ten cells. A one-line text that fits its cell is laid out
// once here and drawn where the style draws it, with the same pixels; anything else (an
// icon, a check box, a text that wraps or is too wide, the focus frame, a style that draws
// cells its own way) is drawn by the style as before.

#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>

class QTextLayout;

namespace quillon {

class RecordCellDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Whether plain cells are drawn the quick way under this style: compared once for
    // each style, on a sample cell plain and selected. A style that draws cells its own
    // way keeps doing so.
    bool quickUnder(QStyle* style) const;
    // Draws as the style would, always (for comparing).
    void paintByStyle(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index) const;

  private:
    bool paintPlainText(QPainter* painter, const QStyleOptionViewItem& option) const;

    mutable QPointer<QStyle> checkedStyle_;  // the style last compared with
    mutable bool sameAsStyle_ = false;
};

}  // namespace quillon
