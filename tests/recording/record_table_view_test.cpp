#include "record_table_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>

#include "record_table.h"

using namespace quillon;

namespace {
void Add(RecordTable& t, int n) {
    for (int i = 0; i < n; ++i) {
        const int row = t.rows() - 1;
        t.addRow();
        t.setCell(row, RecordTable::ColNo, QString::number(row));
        t.setCell(row, RecordTable::ColValue, QString::number(row * 1.5, 'f', 3));
    }
}
}  // namespace

// A view that only lays out the rows added at the end shows what a view laid out in full
// shows: the same pixels and the same scroll range, as records come one by one, and after
// rows are taken away.
TEST(RecordTableView, ShowsWhatAFullLayoutShows) {
    RecordTable table;
    RecordTableView fast;
    QTableView full;
    for (QTableView* v : {static_cast<QTableView*>(&fast), &full}) {
        v->setModel(&table);
        v->resize(300, 160);
        v->show();
    }
    auto expectSame = [&](const char* step) {
        QApplication::processEvents();
        fast.scrollToBottom();
        full.scrollToBottom();
        QApplication::processEvents();
        EXPECT_EQ(fast.verticalScrollBar()->maximum(), full.verticalScrollBar()->maximum()) << step;
        EXPECT_EQ(fast.grab().toImage(), full.grab().toImage()) << step;
    };
    for (int i = 0; i < 12; ++i) {
        Add(table, 1);
        expectSame("one more record");
    }
    Add(table, 5);
    expectSame("five records at once");
    table.setRows(4);
    expectSame("rows removed");
    Add(table, 3);
    expectSame("records after the removal");
}
