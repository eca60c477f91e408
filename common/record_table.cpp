#include "record_table.h"

namespace quillon {

RecordTable::RecordTable(QObject* parent) : QAbstractTableModel(parent) { cells_.resize(2); }

void RecordTable::setRows(int n) {
    n = qMax(1, n);
    const int old = rows();
    if (n == old) return;
    if (!redraw_) {
        cells_.resize(n);
        return;
    }
    // View rows are grid rows minus the header row.
    if (n > old) {
        beginInsertRows({}, old - 1, n - 2);
        cells_.resize(n);
        endInsertRows();
    } else {
        beginRemoveRows({}, n - 1, old - 2);
        cells_.resize(n);
        endRemoveRows();
    }
}

QString RecordTable::cell(int row, int col) const {
    if (row < 0 || row >= rows() || col < 0 || col >= kColumns) return {};
    return cells_[row][col];
}

void RecordTable::setCell(int row, int col, const QString& text) {
    if (row < 0 || row >= rows() || col < 0 || col >= kColumns) return;
    cells_[row][col] = text;
    if (!redraw_) return;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex i = index(row - 1, col);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void RecordTable::setRedraw(bool on) {
    if (on == redraw_) return;
    if (!on) {
        beginResetModel();
        redraw_ = false;
    } else {
        redraw_ = true;
        endResetModel();
    }
}

int RecordTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows() - 1;
}

int RecordTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecordTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return cell(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

QVariant RecordTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return cell(0, section);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace quillon
