#pragma once
// The record table's column header. Qt measures header texts in bold whatever the
// header's font, for sections it would draw in bold when highlighted; this header never
// highlights, so the bold font was loaded (a font engine and its glyphs, a good part of
// the table's cost at start-up) only to be measured. It measures its texts in the font it
// draws them with.

#include <QHeaderView>

namespace quillon {

class RecordHeaderView final : public QHeaderView {
  public:
    explicit RecordHeaderView(Qt::Orientation orientation, QWidget* parent = nullptr);

  protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
};

}  // namespace quillon
