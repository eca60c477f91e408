// The record table's cells: the delegate's quick way draws the pixels the style draws.
#include "record_cell_delegate.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>

namespace quillon {
namespace {

class Table final : public QTableView {
  public:
    using QTableView::initViewItemOption;
};

TEST(RecordCellDelegate, CellsHaveThePixelsTheStyleGivesThem) {
    Table view;
    QStandardItemModel model(1, 2);
    view.setModel(&model);
    view.setFont(QFont("Times New Roman", 8.25));
    auto* delegate = new RecordCellDelegate(&view);
    view.setItemDelegate(delegate);
    view.show();
    EXPECT_TRUE(delegate->quickUnder(view.style())) << "the quick way is in use";

    const QString texts[] = {"",
                             "1",
                             "-0.5678",
                             "12:34:56",
                             "10:58:58 PM",
                             "2031/05/06",
                             "OL",
                             "a text far wider than any of these cells"};
    const QSize sizes[] = {{38, 18}, {72, 18}, {60, 17}, {101, 25}};
    for (const Qt::Alignment align :
         {Qt::Alignment(Qt::AlignCenter), Qt::AlignLeft | Qt::AlignVCenter})
        for (const QString& text : texts)
            for (const QSize size : sizes)
                for (int column = 0; column < 2; ++column)
                    for (const bool selected : {false, true}) {
                        const QModelIndex index = model.index(0, column);
                        model.setData(index, text);
                        model.setData(index, int(align), Qt::TextAlignmentRole);
                        QStyleOptionViewItem option;
                        view.initViewItemOption(&option);
                        option.rect = QRect(QPoint(0, 0), size);
                        if (selected) option.state |= QStyle::State_Selected;
                        QImage quick(size, QImage::Format_ARGB32_Premultiplied);
                        quick.fill(Qt::white);
                        QImage styled = quick;
                        {
                            QPainter p(&quick);
                            delegate->paint(&p, option, index);
                        }
                        {
                            QPainter p(&styled);
                            delegate->paintByStyle(&p, option, index);
                        }
                        EXPECT_TRUE(quick == styled)
                            << qPrintable(text) << " in " << size.width() << "x" << size.height()
                            << ", column " << column << (selected ? ", selected" : "")
                            << ", alignment " << int(align);
                    }
}

}  // namespace
}  // namespace quillon
