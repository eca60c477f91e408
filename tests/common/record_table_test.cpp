#include "record_table.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace quillon;

namespace {

// Qt's model checker aborts on row counts that do not match the signals sent.
struct CheckedTable {
    RecordTable table;
    QAbstractItemModelTester tester{&table, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST(RecordTable, RowCountsCellBoundsViewRowsAndChangeSignals) {
    // setRows -> rows, records, rows in the view: never below the header row.
    const int cases[][4] = {{0, 1, 0, 0}, {-3, 1, 0, 0}, {1, 1, 0, 0},
                            {2, 2, 0, 1}, {3, 3, 1, 2},  {10002, 10002, 10000, 10001}};
    for (const auto& c : cases) {
        CheckedTable t;
        t.table.setRows(5);
        t.table.setRows(c[0]);
        EXPECT_EQ(QList<int>({t.table.rows(), t.table.recordCount(), t.table.rowCount()}),
                  QList<int>({c[1], c[2], c[3]}))
            << c[0];
    }
    CheckedTable t;
    EXPECT_EQ(t.table.rows(), 2) << "header row and one empty row";
    t.table.setRows(4);
    t.table.setCell(1, RecordTable::ColNo, "0001");
    t.table.setCell(3, RecordTable::ColUnit, "V");
    t.table.setRows(3);
    EXPECT_EQ(t.table.cell(1, RecordTable::ColNo), "0001") << "rows that stay keep their cells";
    t.table.setRows(4);
    EXPECT_EQ(t.table.cell(3, RecordTable::ColUnit), "") << "a dropped row comes back empty";
    for (const auto& [row, col] : {std::pair(-1, 0), {4, 0}, {1, -1}, {1, 5}}) {
        t.table.setCell(row, col, "x");
        EXPECT_EQ(t.table.cell(row, col), "") << row << "," << col;
    }
    EXPECT_EQ(t.table.rows(), 4) << "writing outside does not grow the table";
    CheckedTable v;  // view rows are records; signals point at them
    QSignalSpy inserted(&v.table, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&v.table, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&v.table, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&v.table, &QAbstractItemModel::headerDataChanged);
    v.table.setRows(5);
    v.table.setRows(3);
    ASSERT_EQ(inserted.size(), 1);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(QList<int>({inserted[0][1].toInt(), inserted[0][2].toInt(), removed[0][1].toInt(),
                          removed[0][2].toInt()}),
              QList<int>({1, 3, 2, 3}));
    v.table.setCell(2, RecordTable::ColTime, "10:00:01");
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>(), v.table.index(1, RecordTable::ColTime));
    v.table.setCell(0, RecordTable::ColValue, "Value");
    EXPECT_EQ(header.size(), 1);
    EXPECT_EQ(changed.size(), 1) << "the header row is no data row";
    v.table.setCell(1, RecordTable::ColValue, "-2.352");
    EXPECT_EQ(v.table.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Value");
    EXPECT_EQ(v.table.data(v.table.index(0, 3), Qt::DisplayRole).toString(), "-2.352");
    EXPECT_EQ(v.table.data(v.table.index(1, 3), Qt::DisplayRole).toString(), "");
    EXPECT_EQ(v.table.headerData(0, Qt::Vertical, Qt::DisplayRole).toInt(), 1) << "record 1";
    // With redraw off, everything comes as one reset when it is back on.
    QSignalSpy reset(&v.table, &QAbstractItemModel::modelReset);
    changed.clear();
    inserted.clear();
    v.table.setRedraw(false);
    v.table.setRedraw(false);
    for (int r = 2; r <= 500; ++r) {
        v.table.setCell(r, RecordTable::ColNo, QString::number(r));
        v.table.addRow();
    }
    EXPECT_EQ(inserted.size() + changed.size() + reset.size(), 0);
    v.table.setRedraw(true);
    v.table.setRedraw(true);
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(v.table.recordCount(), 500);
    EXPECT_EQ(v.table.data(v.table.index(499, 0), Qt::DisplayRole).toString(), "500");
    v.table.setCell(1, RecordTable::ColNo, "0001");
    EXPECT_EQ(changed.size(), 1) << "cell signals are back";
}

}  // namespace
