// The record table's scroll bar paints itself again only when its picture changes.
#include "quiet_scroll_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace quillon {
namespace {

class PaintCounter final : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

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

}  // namespace
}  // namespace quillon
