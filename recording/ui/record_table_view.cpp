#include "record_table_view.h"

#include <QEvent>

namespace quillon {

RecordTableView::RecordTableView(QWidget* parent) : QTableView(parent) {}

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
    updateGeometries();
    if (firstAddedRow_ >= 0) {
        const int top = qMax(0, rowViewportPosition(firstAddedRow_));
        if (top < viewport()->height())
            viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
        firstAddedRow_ = -1;
    }
}

}  // namespace quillon
