// The record table's header measures its texts in the font it draws them with.
#include "record_header_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include "paint_counter.h"

namespace quillon {
namespace {

struct Headers {
    Headers() : model(0, 5) {
        model.setHorizontalHeaderLabels({"No.", "Time", "Value", "Unit", "Function"});
        ours.setModel(&model);
        qts.setModel(&model);
        qts.setHighlightSections(false);
    }
    void setFont(const QFont& font) {
        ours.setFont(font);
        qts.setFont(font);
    }
    QStandardItemModel model;
    RecordHeaderView ours{Qt::Horizontal};
    QHeaderView qts{Qt::Horizontal};
};

TEST(RecordHeaderView, SectionsFitTheirTextsInTheHeadersFont) {
    Headers h;
    int lastHeight = 0;
    for (const qreal pt : {8.0, 16.0}) {
        QFont font("Times New Roman");
        font.setPointSizeF(pt);
        h.setFont(font);
        const QFontMetrics regular(font);
        QFont boldFont = font;
        boldFont.setBold(true);
        const int height = h.ours.sizeHint().height();
        EXPECT_GE(height, regular.height()) << pt;
        EXPECT_GT(height, lastHeight) << "follows the font, " << pt;
        lastHeight = height;
        // Qt's header measures in bold; where bold is as tall, the heights agree.
        if (QFontMetrics(boldFont).height() == regular.height()) {
            EXPECT_EQ(height, h.qts.sizeHint().height()) << pt;
        }

        h.ours.resizeSections(QHeaderView::ResizeToContents);
        h.qts.resizeSections(QHeaderView::ResizeToContents);
        for (int c = 0; c < h.model.columnCount(); ++c) {
            const QString text = h.model.headerData(c, Qt::Horizontal).toString();
            EXPECT_GE(h.ours.sectionSize(c), regular.horizontalAdvance(text)) << c;
            // Not measured in bold: narrower where the bold text is wider.
            const bool boldIsWider =
                QFontMetrics(boldFont).horizontalAdvance(text) > regular.horizontalAdvance(text);
            if (boldIsWider) {
                EXPECT_LT(h.ours.sectionSize(c), h.qts.sectionSize(c)) << c;
            } else {
                EXPECT_LE(h.ours.sectionSize(c), h.qts.sectionSize(c)) << c;
            }
        }
    }
}

// Highlighted sections are drawn in bold: then Qt's measure in bold holds.
TEST(RecordHeaderView, HighlightedSectionsAreMeasuredAsQtDoes) {
    Headers h;
    h.ours.setHighlightSections(true);
    h.qts.setHighlightSections(true);
    QFont font("Times New Roman");
    font.setPointSizeF(12);
    h.setFont(font);
    h.ours.resizeSections(QHeaderView::ResizeToContents);
    h.qts.resizeSections(QHeaderView::ResizeToContents);
    for (int c = 0; c < h.model.columnCount(); ++c)
        EXPECT_EQ(h.ours.sectionSize(c), h.qts.sectionSize(c)) << c;
    EXPECT_EQ(h.ours.sizeHint(), h.qts.sizeHint());
}

// Each record becomes the table's current cell: the header's sections, which look the
// same whatever is selected, are not painted again; highlighted ones are.
TEST(RecordHeaderView, SectionsStayUnpaintedAsTheCurrentCellMoves) {
    QStandardItemModel model(3, 5);
    QTableView table;
    auto* header = new RecordHeaderView(Qt::Horizontal);
    table.setHorizontalHeader(header);
    table.setModel(&model);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.resize(400, 300);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    PaintCounter counter;
    header->viewport()->installEventFilter(&counter);
    const auto headerPaintsAsRowsAreAdded = [&] {
        QApplication::processEvents();
        counter.paints = 0;
        for (int i = 0; i < 3; ++i) {
            model.appendRow(QList<QStandardItem*>{new QStandardItem("x")});
            table.setCurrentIndex(model.index(model.rowCount() - 1, 0));
            QApplication::processEvents();
        }
        return counter.paints;
    };
    EXPECT_EQ(headerPaintsAsRowsAreAdded(), 0);
    header->setHighlightSections(true);
    EXPECT_GT(headerPaintsAsRowsAreAdded(), 0);
}

}  // namespace
}  // namespace quillon
