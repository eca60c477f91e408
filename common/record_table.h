#pragma once
// The record table: the single store of recorded readings. Cells are text, addressed
// like the grid the user sees: row 0 is the header row ("NO", "Date", "Time", "Value",
// "Unit"), record n is row n, and one empty row follows the last record. Everything
// that reads records (statistics, graph, report writer, printing) reads cells here.
//
// As a Qt item model it shows rows 1..rowCount-1 (the header row becomes the view's
// horizontal header), so a QTableView can display it directly.

#include <QAbstractTableModel>
#include <QString>
#include <QVector>
#include <array>

namespace quillon {

class RecordTable final : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kColumns = 5;
    enum Column { ColNo = 0, ColDate = 1, ColTime = 2, ColValue = 3, ColUnit = 4 };

    explicit RecordTable(QObject* parent = nullptr);

    // Grid view of the table (row 0 = header).
    int rows() const { return int(cells_.size()); }
    // Sets the row count: extra rows are dropped, new rows are empty. At least 1.
    void setRows(int n);
    void addRow() { setRows(rows() + 1); }
    // Text of a cell; "" for a cell outside the table.
    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString& text);
    // Number of records: rows - 2 (never below 0).
    int recordCount() const { return rows() >= 2 ? rows() - 2 : 0; }

    // The grid's current cell (selection), which follows the empty row while recording.
    int currentRow = 1;
    int currentCol = 0;

    // While redraw is off, cell changes send no per-cell signals; turning it on again
    // resets the views once (used while a file of many records is loaded).
    void setRedraw(bool on);
    bool redraw() const { return redraw_; }

    // Qt item model: view row r is grid row r + 1.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVector<std::array<QString, kColumns>> cells_;
    bool redraw_ = true;
};

}  // namespace quillon
