#include "record_table_view.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>

#include "quiet_scroll_bar.h"
#include "record_header_view.h"

namespace quillon {

RecordTableView::RecordTableView(QWidget* parent) : QTableView(parent) {
    auto* header = new RecordHeaderView(Qt::Horizontal, this);
    header->setSectionsClickable(true);  // as the header the table view makes itself
    setHorizontalHeader(header);
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
}

void RecordTableView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    fullLayoutDue();
    if (!model) return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &RecordTableView::rowsAdded);
    const auto full = &RecordTableView::fullLayoutDue;
    connect(model, &QAbstractItemModel::rowsRemoved, this, full);
    connect(model, &QAbstractItemModel::rowsMoved, this, full);
    connect(model, &QAbstractItemModel::columnsInserted, this, full);
    connect(model, &QAbstractItemModel::columnsRemoved, this, full);
    connect(model, &QAbstractItemModel::columnsMoved, this, full);
    connect(model, &QAbstractItemModel::modelReset, this, full);
    connect(model, &QAbstractItemModel::layoutChanged, this, full);
    connect(model, &QAbstractItemModel::headerDataChanged, this, full);
}

void RecordTableView::rowsAdded(const QModelIndex& parent, int first, int last) {
    if (parent.isValid() || last != model()->rowCount() - 1) {
        fullLayoutDue();
        return;
    }
    firstAddedRow_ = firstAddedRow_ < 0 ? first : qMin(firstAddedRow_, first);
}

void RecordTableView::reset() {
    fullLayoutDue();
    QTableView::reset();
}

bool RecordTableView::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::StyleChange:
        case QEvent::LayoutDirectionChange:
            fullLayoutDue();
            break;
        default:
            break;
    }
    return QTableView::event(event);
}

void RecordTableView::doItemsLayout() {
    if (fullLayoutDue_) {
        fullLayoutDue_ = false;
        firstAddedRow_ = -1;
        QTableView::doItemsLayout();
        return;
    }
    // Rows only came at the end: the scroll range grows, and what shows of the new rows
    // is drawn; the rows above them stay as they are.
    if (firstAddedRow_ < 0 || !growScrollRange()) updateGeometries();
    if (firstAddedRow_ >= 0) {
        const int top = qMax(0, rowViewportPosition(firstAddedRow_));
        if (top < viewport()->height())
            viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
        firstAddedRow_ = -1;
    }
}

// The vertical scroll range for rows added at the end, set as Qt's table view sets it,
// without a new layout of the scroll area. Only while the scroll bar shows and the rows
// are scrolled item by item; otherwise (the scroll bar is about to appear) Qt's own
// update runs. False when it did nothing.
bool RecordTableView::growScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    if (verticalScrollMode() != ScrollPerItem || bar->maximum() <= bar->minimum()) return false;
    const QHeaderView* rows = verticalHeader();
    const int height = viewport()->height();
    int rowsShown = 0;  // the last rows that fit the viewport whole
    for (int used = 0, visual = rows->count() - 1; visual >= 0; --visual) {
        const int row = rows->logicalIndex(visual);
        if (rows->isSectionHidden(row)) continue;
        used += rows->sectionSize(row);
        if (used > height) break;
        ++rowsShown;
    }
    rowsShown = qMax(rowsShown, 1);
    const int maximum = rows->count() - rows->hiddenSectionCount() - rowsShown;
    if (maximum <= bar->minimum()) return false;
    // The scroll area lays itself out again on every change of range it hears of, which
    // repaints both scroll bars and the frame; whether the bar shows does not change here.
    const QSignalBlocker quiet(bar);
    bar->setRange(bar->minimum(), maximum);
    bar->setPageStep(rowsShown);
    return true;
}

}  // namespace quillon
