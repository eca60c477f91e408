#include "record_table_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>

#include "record_table.h"

using namespace quillon;

// The view that lays out only the rows added at the end shows what a fully laid out view
// shows (pixels and scroll range) as records come one by one, several at once, and after
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
    const auto addThenCompare = [&](int n, const char* step) {
        for (int i = 0; i < n; ++i) {
            const int row = table.rows() - 1;
            table.addRow();
            table.setCell(row, RecordTable::ColNo, QString::number(row));
            table.setCell(row, RecordTable::ColValue, QString::number(row * 1.5, 'f', 3));
        }
        QApplication::processEvents();
        fast.scrollToBottom();
        full.scrollToBottom();
        QApplication::processEvents();
        EXPECT_EQ(fast.verticalScrollBar()->maximum(), full.verticalScrollBar()->maximum()) << step;
        EXPECT_EQ(fast.grab().toImage(), full.grab().toImage()) << step;
    };
    for (int i = 0; i < 12; ++i) addThenCompare(1, "one more record");
    addThenCompare(5, "five records at once");
    table.setRows(4);
    addThenCompare(0, "rows removed");
    addThenCompare(3, "records after the removal");
}
