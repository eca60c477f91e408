#pragma once
// The widget of the graph picture box (object name "Picture1"): shows the picture of a
// TrendGraph and, unless told otherwise, re-lays the picture out to its own size. It
// chains itself onto TrendGraph::onChanged when built, so a listener set later must call
// the one it replaces.

#include <QWidget>

#include "trend_graph.h"

namespace quillon {

class GraphView : public QWidget {
  public:
    explicit GraphView(TrendGraph& graph, QWidget* parent = nullptr);

    // Off: the owner sets the picture's size and factors itself (TrendGraph::Relayout).
    void setFollowSize(bool on) { followSize_ = on; }

    QSize sizeHint() const override { return TrendGraph::DesignSize(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    TrendGraph& graph_;
    bool followSize_ = true;
};

}  // namespace quillon
