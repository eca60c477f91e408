#pragma once
// The record table's column header, which does not highlight the sections of selected
// cells. Qt measures header texts in bold whatever the header's font (highlighted
// sections are drawn in bold), which loaded a bold font at start-up only to measure with
// it; and it repaints the sections under a selection that changes, which every record
// did as it became the current cell. Unless told to highlight, this header measures its
// texts in the font it draws them with and leaves its sections alone when the selection
// changes. Whether it highlights is read when it measures: set it before the model and
// the font.

#include <QHeaderView>

namespace quillon {

class RecordHeaderView final : public QHeaderView {
  public:
    explicit RecordHeaderView(Qt::Orientation orientation, QWidget* parent = nullptr);

  protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
};

}  // namespace quillon
