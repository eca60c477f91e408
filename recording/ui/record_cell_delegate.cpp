#include "record_cell_delegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>

namespace quillon {

namespace {

QStyle* StyleOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->style() : QApplication::style();
}

void FillFixedColumn(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (index.column() == 0) p->fillRect(option.rect, option.palette.color(QPalette::Button));
}

}  // namespace

void RecordCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    FillFixedColumn(p, option, index);
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    if (quickUnder(StyleOf(o)) && paintPlainText(p, o)) return;
    StyleOf(o)->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
}

void RecordCellDelegate::paintByStyle(QPainter* p, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    FillFixedColumn(p, option, index);
    QStyledItemDelegate::paint(p, option, index);
}

// The steps of the common style's item drawing, for a cell with one line of text that
// fits (wrapped or not, it is the same line): the panel, then the text laid out once in
// the cell less its margins, placed on the height the layout takes.
bool RecordCellDelegate::paintPlainText(QPainter* p, const QStyleOptionViewItem& o) const {
    const auto unusual =
        QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;
    if ((o.features & unusual) || !o.showDecorationSelected || o.direction != Qt::LeftToRight ||
        (o.state & (QStyle::State_Editing | QStyle::State_HasFocus)))
        return false;
    for (const QChar c : o.text)
        if (c == '\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) return false;

    QStyle* style = StyleOf(o);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, o.widget) + 1;
    const QRect textRect = o.rect.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    const bool wrap = o.features & QStyleOptionViewItem::WrapText;
    textOption.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
    textOption.setTextDirection(o.direction);
    textOption.setAlignment(QStyle::visualAlignment(o.direction, o.displayAlignment));
    QTextLayout layout(o.text, o.font);
    layout.setTextOption(textOption);
    QPointF at;
    if (!o.text.isEmpty()) {
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, 0));
        const bool moreLines = layout.createLine().isValid();
        layout.endLayout();
        // Wrapped or elided: the style's way.
        if (moreLines || line.naturalTextWidth() > textRect.width()) return false;
        const QRect placed = QStyle::alignedRect(Qt::LeftToRight, o.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        at = QPointF(textRect.x(), placed.top());
    }

    p->save();
    p->setClipRegion(p->hasClipping() ? (p->clipRegion() & o.rect) : QRegion(o.rect));
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, p, o.widget);
    if (!o.text.isEmpty()) {
        QPalette::ColorGroup group =
            (o.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(o.state & QStyle::State_Active))
            group = QPalette::Inactive;
        p->setPen(o.palette.color(group, (o.state & QStyle::State_Selected)
                                             ? QPalette::HighlightedText
                                             : QPalette::Text));
        layout.draw(p, at);
    }
    p->restore();
    return true;
}

bool RecordCellDelegate::quickUnder(QStyle* style) const {
    if (checkedStyle_ == style) return sameAsStyle_;
    checkedStyle_ = style;
    sameAsStyle_ = true;
    QStyleOptionViewItem o;
    const auto* view = qobject_cast<const QWidget*>(parent());
    if (view) o.initFrom(view);
    o.widget = view;
    o.state &= ~QStyle::State_HasFocus;
    o.rect = QRect(0, 0, 90, 18);
    o.features = QStyleOptionViewItem::HasDisplay;
    o.showDecorationSelected = true;
    o.displayAlignment = Qt::AlignCenter;
    o.text = QStringLiteral("-0.5678 mV");
    for (const bool selected : {false, true}) {
        o.state = (o.state & ~QStyle::State_Selected) |
                  (selected ? QStyle::State_Selected : QStyle::State_None);
        QImage ours(o.rect.size(), QImage::Format_ARGB32_Premultiplied);
        QImage theirs(o.rect.size(), QImage::Format_ARGB32_Premultiplied);
        ours.fill(Qt::transparent);
        theirs.fill(Qt::transparent);
        {
            QPainter p(&ours);
            p.setFont(o.font);
            if (!paintPlainText(&p, o)) sameAsStyle_ = false;
        }
        {
            QPainter p(&theirs);
            p.setFont(o.font);
            style->drawControl(QStyle::CE_ItemViewItem, &o, &p, o.widget);
        }
        if (ours != theirs) sameAsStyle_ = false;
    }
    return sameAsStyle_;
}

}  // namespace quillon
