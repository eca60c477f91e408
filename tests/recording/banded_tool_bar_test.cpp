// The toolbar painted in bands has the pixels of QToolBar's own painting.
#include "banded_tool_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>

namespace quillon {
namespace {

QImage ToolbarPicture(QToolBar* bar, int windowWidth) {
    QMainWindow window;
    bar->setMovable(false);
    bar->setFixedHeight(36);
    for (const char* text : {"Start", "Pause", "Stop", "Save", "Print"}) bar->addAction(text);
    window.addToolBar(bar);
    window.resize(windowWidth, 200);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return bar->grab().toImage();
}

TEST(BandedToolBar, PaintsAsQToolBarDoes) {
    for (const int width : {1188, 517, 120}) {  // the last one too narrow: buttons overflow
        const QImage banded = ToolbarPicture(new BandedToolBar("Toolbar"), width);
        const QImage plain = ToolbarPicture(new QToolBar("Toolbar"), width);
        EXPECT_FALSE(banded.isNull());
        EXPECT_TRUE(banded == plain) << "window " << width << " wide";
    }
}

}  // namespace
}  // namespace quillon
