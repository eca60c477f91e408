#pragma once
// The record table's view. Rows added at the end of the table (a new record while
// recording) repaint only themselves and the vertical scroll bar: Qt's table view lays
// out and repaints every visible row whenever rows are inserted, and its scroll area
// repaints both scroll bars and everything behind them whenever the scroll range changes,
// which made the table the largest cost of a record on the window. Any other change (rows
// removed, a new table, a font) is laid out in full.

#include <QTableView>

namespace quillon {

class RecordTableView final : public QTableView {
  public:
    explicit RecordTableView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void doItemsLayout() override;
    void reset() override;
    // Runs a layout that is due (rows added since the last one) now, before scrolling.
    void layOutPendingRows() { executeDelayedItemsLayout(); }

  protected:
    bool event(QEvent* event) override;

  private:
    void rowsAdded(const QModelIndex& parent, int first, int last);
    void fullLayoutDue() { fullLayoutDue_ = true; }
    bool growScrollRange();

    // Set by anything but rows added at the end; the next layout is Qt's own.
    bool fullLayoutDue_ = true;
    int firstAddedRow_ = -1;  // since the last layout; -1: none
};

}  // namespace quillon
