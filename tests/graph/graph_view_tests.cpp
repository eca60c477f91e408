// The Picture1 widget under the offscreen platform.
#include <gtest/gtest.h>

#include "graph_view.h"
#include "recording_fixture.h"

namespace quillon::testing {
namespace {

using GraphViewTest = RecordingFixture;

TEST_F(GraphViewTest, FollowsItsSizeAndShowsThePicture) {
    GraphView view(*graph);
    EXPECT_EQ(view.objectName(), "Picture1");
    view.resize(900, 300);
    view.show();
    EXPECT_EQ(graph->image().size(), QSize(900, 300));
    EXPECT_NEAR(s.graph.ScaleX, 900.0 / 767, 1e-9);
    Record("1.000");
    const QImage shown = view.grab().toImage();
    const QPoint inside = graph->toPixels(50 * s.graph.UnitX + 40, 5 * s.graph.UnitY).toPoint();
    EXPECT_EQ(QColor(shown.pixel(inside)), QColor(224, 224, 224));
}

}  // namespace
}  // namespace quillon::testing
