#pragma once
// The trend graph picture: the empty frame (plot area, grid, axis numbers,
// title, date, unit caption), the red curve of the recorded values one page of 100
// records at a time, the time labels, and the page box with its two buttons.
//
// Everything is drawn into an off-screen image (see GraphCanvas); the window shows
// image() and repaints when onChanged is called. The page box is held here as
// text in session.graph.pageBox: the window forwards typed keys to acceptsPageBoxKey,
// edits to setPageBox and button clicks to showPreviousPage/showNextPage, and shows
// pageBox() again.

#include <QImage>
#include <QSize>
#include <QVector>
#include <functional>
#include <optional>

#include "clock.h"
#include "graph_canvas.h"
#include "session.h"
#include "statistics_calc.h"

namespace quillon {

class TrendGraph {
  public:
    TrendGraph(Session& session, Clock& clock);

    // ---- picture
    // A new pixel size gives a blank picture; a new scale only changes the mapping.
    // Neither redraws: the window's re-layout calls Relayout (or drawEmptyFrame and
    // redrawPage itself).
    void setCanvasSize(QSize pixels);
    void setScale(double scaleX, double scaleY);  // also session.graph.scaleX/scaleY
    // Re-layout after a resize: new size and factors, then the frame and the curve.
    void Relayout(QSize pixels, double scaleX, double scaleY);
    // The same with the factors taken from the picture's own size against the design
    // size (scaleX follows the width, scaleY the height).
    void Relayout(QSize pixels);
    static QSize DesignSize() { return GraphCanvas::DesignSize(); }

    const QImage& image() { return canvas_.image(); }
    // Pixel of the picture at a point in drawing units.
    QPointF toPixels(double x, double y) const { return canvas_.toPixels(x, y); }
    // Called after every operation that changed the picture or the page box.
    std::function<void()> onChanged;
    // The part of the picture drawn on since the last call (pixels); empty when none.
    QRegion takeChangedArea() { return canvas_.takeChangedArea(); }

    // ---- frame
    void drawEmptyFrame();
    void DrawPlotArea();
    void DrawGrid();
    void DrawYAxisLabels();
    void DrawGraphCaption();
    void ClearLeftMargin();

    // ---- curve and pages
    void redrawPage();
    // Plots the record just written (nextRecord) when the newest page is shown, turning to a
    // new page as records fill one; a page the user turned back to stays as it is.
    void PlotNewPoint();
    // True when the page shown is the newest record's (or the one before it began).
    bool FollowsNewestRecord() const;

    // ---- the page box and its buttons "<< Back" and "Next >>"
    QString pageBox() const { return s_.graph.pageBox; }
    // Sets the page box text; runs pageBoxEdited when the text changes.
    void setPageBox(const QString& text);
    // Shows `page` from an empty frame (scale, frame, curve, each once), also when the
    // page box already holds that text. For a newly loaded record table.
    void ShowPage(const QString& page);
    void pageBoxEdited();
    // True when the typed character may go into the page box (Backspace, digits).
    static bool acceptsPageBoxKey(int key);
    // "<< Back" and "Next >>": one page back or on, within the records.
    void showPreviousPage();
    void showNextPage();

    StatisticsCalc& statistics() { return stats_; }

  private:
    class ChangeScope;
    friend class ChangeScope;

    // A value's height and a record's position, in drawing units.
    double XOf(qint64 record, qint64 page) const;
    double YOf(double value) const;
    bool CanPlot() const;
    void DrawPoint(qint64 record, qint64 page, double value);
    void FlushCurve();
    void DrawStripsAndTimeLabels(qint64 page);
    struct Caption {
        QString title, date, unit;  // empty: not drawn
        bool operator==(const Caption& o) const {
            return title == o.title && date == o.date && unit == o.unit;
        }
    };
    // What the strips above and below the plot show: the caption and the time labels
    // (x and text), at a scale.
    struct Strips {
        double scaleX = 0, scaleY = 0;
        Caption caption;
        QVector<std::pair<double, QString>> labels;
        bool operator==(const Strips& o) const {
            return scaleX == o.scaleX && scaleY == o.scaleY && caption == o.caption &&
                   labels == o.labels;
        }
    };
    Caption GraphCaption() const;
    void DrawCaption(const Caption& c);
    std::optional<double> PlotValue(int row) const;
    // The curve of a page starts at the height of its first record, or with no point
    // before it when that record holds no plottable value.
    void StartCurveAt(qint64 first);

    Session& s_;
    Clock& clock_;
    StatisticsCalc stats_;
    GraphCanvas canvas_;
    int changeDepth_ = 0;
    // Curve segments waiting to be drawn with the 2-pixel pen (flushed before any other
    // drawing, so the order on the picture is the order of the calls).
    QVector<QLineF> pendingCurve_;
    QVector<QPointF> pendingPoints_;  // 1-pixel points
    // Everything the strips were last drawn with. Drawn again after every record, they
    // are left as they are while this stays the same and nothing was drawn over them.
    std::optional<Strips> stripsDrawn_;
};

// Brackets every public operation: pending curve segments are drawn before anything
// else, and the window hears of the change once, when the outermost operation ends.
class TrendGraph::ChangeScope {
  public:
    explicit ChangeScope(TrendGraph& g) : g_(g) {
        if (g_.changeDepth_++ == 0) {
            const GraphState& st = g_.s_.graph;
            if (st.scaleX != g_.canvas_.scaleX() || st.scaleY != g_.canvas_.scaleY())
                g_.canvas_.setScale(st.scaleX, st.scaleY);
        }
        g_.FlushCurve();
    }
    ~ChangeScope() {
        if (--g_.changeDepth_ == 0) {
            g_.FlushCurve();
            if (g_.onChanged) g_.onChanged();
        }
    }

  private:
    TrendGraph& g_;
};

}  // namespace quillon
