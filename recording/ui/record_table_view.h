#pragma once
// The record table's view. Rows added at the end of the table (a new record while
// recording) repaint only themselves: Qt's table view lays out and repaints every visible
// row whenever rows are inserted, which made the table the largest cost of a record on
// the window. Any other change (rows removed, a new table, a font) is laid out in full.

#include <QTableView>

namespace quillon {

class RecordTableView final : public QTableView {
  public:
    explicit RecordTableView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void doItemsLayout() override;
    void reset() override;

  protected:
    bool event(QEvent* event) override;

  private:
    void rowsAdded(const QModelIndex& parent, int first, int last);
    void fullLayoutDue() { fullLayoutDue_ = true; }

    // Set by anything but rows added at the end; the next layout is Qt's own.
    bool fullLayoutDue_ = true;
    int firstAddedRow_ = -1;  // since the last layout; -1: none
};

}  // namespace quillon
