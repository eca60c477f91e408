// The record table's scroll bar paints itself again only when its picture changes.
#include "quiet_scroll_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "paint_counter.h"

namespace quillon {
namespace {

TEST(QuietScrollBar, PaintsOnlyWhatChangesItsPicture) {
    QuietScrollBar bar(Qt::Vertical);
    bar.resize(16, 300);
    bar.setRange(0, 5000);
    bar.setPageStep(15);
    bar.setValue(5000);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    PaintCounter counter;
    bar.installEventFilter(&counter);
    const auto paintsAfter = [&](auto change) {
        QApplication::processEvents();
        counter.paints = 0;
        change();
        QApplication::processEvents();
        QApplication::processEvents();
        return counter.paints;
    };
    // A record at the end of a long table: the range grows by one, the bar follows; for a
    // moment the slider is off the end.
    EXPECT_EQ(paintsAfter([&] {
                  bar.setMaximum(5001);
                  bar.setValue(5001);
              }),
              0);
    EXPECT_GT(paintsAfter([&] { bar.setValue(2000); }), 0) << "the slider moves";
    EXPECT_GT(paintsAfter([&] { bar.setMaximum(40); }), 0) << "the slider grows";
    EXPECT_GT(paintsAfter([&] { bar.setValue(0); }), 0) << "back to the top";
}

// What shows on screen after the bar painted only what changed is what a whole new
// picture of the bar gives.
TEST(QuietScrollBar, ShowsWhatAWholePaintShows) {
    QuietScrollBar bar(Qt::Vertical);
    bar.resize(16, 300);
    bar.setRange(0, 10);
    bar.setPageStep(15);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const auto settle = [] {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    };
    const auto shown = [&] {
        return bar.screen()
            ->grabWindow(bar.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto whole = [&] { return bar.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    settle();
    for (int records = 11; records <= 400; records += 7) {  // a table growing, followed
        bar.setMaximum(records);
        bar.setValue(records);
        settle();
        ASSERT_TRUE(shown() == whole()) << records << " records";
    }
    for (const int value : {200, 0, 400, 399, 1}) {
        bar.setValue(value);
        settle();
        ASSERT_TRUE(shown() == whole()) << "at " << value;
    }
    bar.setMaximum(20);
    settle();
    EXPECT_TRUE(shown() == whole()) << "a short table again";
    // A click on the down arrow paints the arrow at once, before the slider's move is
    // looked at.
    bar.setValue(5);
    settle();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, bar.height() - 4));
    settle();
    EXPECT_EQ(bar.value(), 6);
    EXPECT_TRUE(shown() == whole()) << "after a click on the arrow";
}

}  // namespace
}  // namespace quillon
