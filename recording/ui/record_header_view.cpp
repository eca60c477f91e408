#include "record_header_view.h"

#include <QStyleOptionHeader>

namespace quillon {

RecordHeaderView::RecordHeaderView(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {
    setHighlightSections(false);
}

QSize RecordHeaderView::sectionSizeFromContents(int logicalIndex) const {
    // Sections drawn in bold, or sized or dressed by the model, are Qt's to measure.
    const QAbstractItemModel* m = model();
    if (highlightSections() || !m ||
        m->headerData(logicalIndex, orientation(), Qt::SizeHintRole).isValid() ||
        m->headerData(logicalIndex, orientation(), Qt::FontRole).isValid() ||
        m->headerData(logicalIndex, orientation(), Qt::DecorationRole).isValid())
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    ensurePolished();
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    option.text = m->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    if (isSortIndicatorShown()) option.sortIndicator = QStyleOptionHeader::SortDown;
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}

void RecordHeaderView::selectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
    // Sections that are not highlighted look the same whatever is selected.
    if (highlightSections()) QHeaderView::selectionChanged(selected, deselected);
}

}  // namespace quillon
