// The graph picture: frame colours, axis numbers, the curve, paging and the page box.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>
#include <functional>

#include "axis_labels.h"
#include "graph_canvas.h"
#include "recording_fixture.h"
#include "report_opener.h"
#include "report_writer.h"

namespace quillon::testing {
namespace {

const QColor kGrey(224, 224, 224), kOlive(128, 128, 0), kTickGrey(128, 128, 128), kRed(255, 0, 0);

// Pixel rectangle between two points in drawing units.
QRect Box(TrendGraph& g, double x1, double y1, double x2, double y2) {
    return QRectF(g.toPixels(x1, y1), g.toPixels(x2, y2)).normalized().toAlignedRect();
}

int Count(const QImage& img, const QRect& box, const std::function<bool(QColor)>& match) {
    int n = 0;
    const QRect r = box.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += match(img.pixel(x, y)) ? 1 : 0;
    return n;
}
int CountColour(const QImage& img, const QRect& box, const QColor& c) {
    return Count(img, box, [&](QColor p) { return p == c; });
}
int Ink(const QImage& img, const QRect& box) {
    return Count(img, box, [](QColor p) { return qGray(p.rgb()) < 128; });
}

// Bounding box of the red curve.
QRect RedBounds(const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == kRed) r |= QRect(x, y, 1, 1);
    return r;
}

using Picture = RecordingFixture;

TEST_F(Picture, FrameHasGreyAreaOliveGridAndAxisNumbersOnlyWithRecords) {
    EXPECT_EQ(graph.image().size(), TrendGraph::DesignSize());
    const double ux = s.graph.gridUnitX, uy = s.graph.gridUnitY;
    EXPECT_DOUBLE_EQ(ux, 102);
    EXPECT_DOUBLE_EQ(uy, 34);
    const QImage& img = graph.image();
    // Inside a grid cell only grey; major lines every ten units both ways, with stubs into
    // the left margin; ticks along both axes.
    const QRect cell = Box(graph, 41 * ux, 41 * uy, 49 * ux, 49 * uy);
    EXPECT_EQ(CountColour(img, cell.adjusted(1, 1, -1, -1), kGrey),
              (cell.width() - 2) * (cell.height() - 2));
    EXPECT_EQ(CountColour(img, cell, kOlive), 0);
    EXPECT_GT(CountColour(img, Box(graph, 50 * ux - 20, 10, 50 * ux + 20, 2700), kOlive), 100);
    EXPECT_GT(CountColour(img, Box(graph, 100, 40 * uy - 20, 10100, 40 * uy + 20), kOlive), 500);
    EXPECT_GT(CountColour(img, Box(graph, -140, -20, -10, 20), kOlive), 3);
    EXPECT_GT(CountColour(img, Box(graph, 0, 1 * uy, 80, 9 * uy), kTickGrey), 10);
    EXPECT_GT(CountColour(img, Box(graph, 1 * ux, 0, 9 * ux, 80), kTickGrey), 10);
    // No axis numbers and no curve without records.
    const QRect margin = Box(graph, -900, 0, -160, 2720);
    EXPECT_EQ(Count(img, margin, [](QColor p) { return p != Qt::white; }), 0);
    EXPECT_FALSE(RedBounds(img).isValid());
    Record("1.234");
    EXPECT_GT(Ink(graph.image(), margin), 50);
}

// The first record draws a level stub ending at one unit; a non-number leaves a gap.
TEST_F(Picture, FirstRecordDrawsAStubAndANonNumberAGap) {
    int notices = 0;
    graph.onChanged = [&] { ++notices; };
    Record("1.000");
    EXPECT_EQ(notices, 1);
    const QRect red = RedBounds(graph.image());
    ASSERT_TRUE(red.isValid());
    EXPECT_NEAR(red.left(), graph.toPixels(0, 0).x(), 1.5);
    EXPECT_NEAR(red.right(), graph.toPixels(s.graph.gridUnitX, 0).x(), 1.5);
    EXPECT_EQ(red.height(), 2);  // level, 2 pixels thick
    for (const char* v : {"1.000", "OL", "1.000", "1.000"}) Record(v);
    EXPECT_EQ(notices, 5);
    const double ux = s.graph.gridUnitX;
    auto redAt = [&](double u) {
        return CountColour(graph.image(), Box(graph, u * ux, 0, u * ux + 1, 2720), kRed);
    };
    EXPECT_GT(redAt(1.5), 0);
    EXPECT_EQ(redAt(2.5), 0);  // between record 2 and the resumed line
    EXPECT_GT(redAt(3.5), 0);  // resumes one unit left of record 4
    EXPECT_GT(redAt(4.5), 0);
}

// Records 101 and 201 start pages with one point, in the same range or the next one.
TEST_F(Picture, NewPagesStartWithOnePointAndThePageBoxIsClamped) {
    const auto digits = [](int i) { return QString::number(1 + i % 7 * 0.1, 'f', 3); };
    RecordMany(100, digits);
    EXPECT_EQ(graph.pageBox(), "1");
    EXPECT_GT(RedBounds(graph.image()).width(), 600);
    for (const auto& [value, range, page] : {std::tuple("1.100", 1, "2"), {"12.00", 2, "3"}}) {
        Record(value, 2, range);
        EXPECT_EQ(graph.pageBox(), page) << value;
        const QRect red = RedBounds(graph.image());
        ASSERT_TRUE(red.isValid());
        EXPECT_LE(red.right(), graph.toPixels(s.graph.gridUnitX, 0).x() + 1.5) << value;
        RecordMany(99, digits);
    }
    EXPECT_EQ(graph.pageBox(), "3");
    for (const auto& [typed, shown] :
         {std::pair("1", "1"), {"5", "4"}, {"abc", "1"}, {"2.7", "2"}}) {
        graph.setPageBox(typed);
        EXPECT_EQ(graph.pageBox(), shown) << typed;
    }
    for (int key : {8, int('0'), int('5'), int('9')})
        EXPECT_TRUE(TrendGraph::acceptsPageBoxKey(key));
    for (int key : {int('-'), int('.'), int('a'), int(' '), 13, 127})
        EXPECT_FALSE(TrendGraph::acceptsPageBoxKey(key)) << key;
    graph.setPageBox("3");
    for (const char* expected : {"4", "4"}) {
        graph.showNextPage();
        EXPECT_EQ(graph.pageBox(), expected);
        EXPECT_FALSE(RedBounds(graph.image()).isValid());
    }
    for (const char* expected : {"3", "2", "1", "1"}) {
        graph.showPreviousPage();
        EXPECT_EQ(graph.pageBox(), expected);
        EXPECT_TRUE(RedBounds(graph.image()).isValid());
    }
}

// A page turned back to stays, also through a range change, until the newest is shown again.
TEST_F(Picture, APageTurnedBackToStaysUntilTheNewestPageIsShownAgain) {
    RecordMany(250, [](int i) { return QString::number(1 + i % 9 * 0.1, 'f', 3); });
    graph.showPreviousPage();
    ASSERT_EQ(graph.pageBox(), "2");
    const QImage page2 = graph.image().copy();
    RecordMany(20, [](int) { return QStringLiteral("1.500"); });
    EXPECT_EQ(graph.pageBox(), "2");
    EXPECT_EQ(graph.image(), page2);
    Record("15.00", 2, 2);  // the next range: page 2 is redrawn in its unit, and stays
    EXPECT_EQ(graph.pageBox(), "2");
    EXPECT_FALSE(s.rec.rangeChanged);
    graph.showNextPage();
    ASSERT_EQ(graph.pageBox(), "3");
    for (int i = 0; i < 30; ++i) Record("15.00", 2, 2);  // up to record 301
    EXPECT_EQ(graph.pageBox(), "4");
}

TEST_F(Picture, RangeChangeRedrawsThePageInTheNewUnit) {
    for (int i = 0; i < 5; ++i) Record("950.00", 4, 0);  // Ω
    Record("1.2000", 4, 1);                              // KΩ
    EXPECT_FALSE(s.rec.rangeChanged);
    const QRect red = RedBounds(graph.image());
    const QRect plot = Box(graph, 0, 0, 10200, 2720);
    ASSERT_TRUE(red.isValid());
    EXPECT_TRUE(plot.adjusted(-1, -1, 1, 1).contains(red)) << "950 Ω must be drawn as 0.95 KΩ";
    EXPECT_GT(red.width(), 5 * s.graph.gridUnitX / 15 - 2);  // the earlier records are redrawn
}

// Captions redrawn with every record keep their look; time labels only for records there.
TEST_F(Picture, CaptionsAndTimeLabels) {
    s.rec.shownUnit = "V";
    s.settings.showGraphTitle = 1;
    s.settings.graphTitle = "Supply";
    Record("1.000");
    const QRect captions = Box(graph, -900, 2730, 10300, 3180);
    const QImage first = graph.image().copy(captions);
    RecordMany(29, [](int) { return QStringLiteral("1.000"); });
    EXPECT_EQ(graph.image().copy(captions), first);
    auto inkUnder = [&](double x) { return Ink(graph.image(), Box(graph, x, -30, x + 400, -200)); };
    const double ux = s.graph.gridUnitX;
    EXPECT_GT(inkUnder(-70), 10);            // record 1
    EXPECT_GT(inkUnder(20 * ux - 200), 10);  // record 20
    EXPECT_EQ(inkUnder(40 * ux - 200), 0);   // record 40 does not exist yet
    // Strips that would come out the same are left alone; a caption cleared by other
    // drawing is drawn again with the next record.
    graph.takeChangedArea();
    Record("1.000");
    EXPECT_FALSE(graph.takeChangedArea().intersects(Box(graph, 0, -30, 10300, -200)));
    graph.ClearLeftMargin();
    ASSERT_EQ(Ink(graph.image(), Box(graph, -600, 3150, -200, 2900)), 0);
    Record("1.000");
    EXPECT_GT(Ink(graph.image(), Box(graph, -600, 3150, -200, 2900)), 0);
    // An opened file shows its own title and date instead of the settings' title.
    s.rec.fileTitle = "Oven run";
    s.rec.fileDate = "2023/12/24";
    auto captionsAt = [&](int runState) {
        s.rec.state = runState;
        graph.drawEmptyFrame();
        return graph.image().copy(Box(graph, 4000, 2730, 10300, 3180));
    };
    EXPECT_NE(captionsAt(kRunViewingFile), captionsAt(kRunIdle));
}

// A re-layout scales the picture; values far outside a fixed scale still draw.
TEST_F(Picture, RelayoutScalesThePictureAndFarValuesDraw) {
    RecordMany(50, [](int i) { return QString::number(std::sin(i / 5.0), 'f', 3); });
    graph.Relayout(QSize(767 * 2, 232 * 2));
    EXPECT_DOUBLE_EQ(s.graph.scaleX, 2);
    EXPECT_DOUBLE_EQ(s.graph.gridUnitX, 204);
    EXPECT_EQ(graph.image().size(), QSize(1534, 464));
    EXPECT_NEAR(graph.toPixels(10200 * 2, 0).x() - graph.toPixels(0, 0).x(), 2 * 680, 3);
    EXPECT_NEAR(RedBounds(graph.image()).right(), graph.toPixels(50 * s.graph.gridUnitX, 0).x(), 2);
    RecordingFixture t;
    t.s.settings.graphRangeMode = 2;
    t.s.settings.graphTop = 8;
    for (const char* v : {"1.000", "1e300", "-1e300", "2.000"}) t.Record(v);
    EXPECT_TRUE(RedBounds(t.graph.image()).isValid());
}

// The graph of the program with the report reader wired to it as the program does.
struct Viewer : RecordingFixture {
    Viewer() {
        s.graph.pageBox.clear();
        s.hooks.resetDisplay = [this] {
            graph.setPageBox("0");
            graph.drawEmptyFrame();
        };
        calls.setPageBox = [this](const QString& t) { graph.setPageBox(t); };
        calls.showPage = [this](const QString& t) { graph.ShowPage(t); };
        calls.processEvents = [] {};
    }
    bool Open(const QString& path) {
        return ReportOpener(s, messages, dialogs, calls).LoadReport(path).ok;
    }
    ReportOpenerCallbacks calls;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
};

// Overloads first: frame, scale and curve agree, whatever file was shown before.
TEST(OpenedReport, OverloadsFirstGiveOneScaleAndOneCurve) {
    QTemporaryDir dir;
    RecordingFixture ohm, dcv;
    for (const char* v : {"OL", "OL"}) ohm.Record(v, 4, 1);
    for (int i = 0; i < 40; ++i) ohm.Record(QString::number(5 + i * 0.05, 'f', 3), 4, 1);
    for (const char* v : {"1.000", "-3.000", "9.500"}) dcv.Record(v);
    const QString resistance = dir.filePath("ohm.csv"), volts = dir.filePath("dcv.csv");
    ASSERT_TRUE(WriteReport(ohm.s, resistance).ok && WriteReport(dcv.s, volts).ok);
    Viewer fresh, after;
    ASSERT_TRUE(fresh.Open(resistance));
    const QImage shown = fresh.graph.image().copy();
    ASSERT_TRUE(after.Open(volts) && after.Open(resistance));
    EXPECT_EQ(after.graph.image(), shown) << "the picture depends on the file shown before";
    // Drawn again from scratch: the axis numbers used the curve's scale, and one curve.
    fresh.graph.drawEmptyFrame();
    fresh.graph.redrawPage();
    EXPECT_EQ(fresh.graph.image(), shown);
    // The curve spans 5.000 .. 6.950 on that scale, inside the plot area.
    const Session& s = fresh.s;
    auto pixelY = [&](double v) {
        const double units = (v - s.settings.graphBottom) / s.graph.valuePerGridUnit;
        return fresh.graph.toPixels(0, units * s.graph.gridUnitY).y();
    };
    const QRect red = RedBounds(shown);
    ASSERT_TRUE(red.isValid());
    EXPECT_NEAR(red.top(), pixelY(6.95), 2);
    EXPECT_NEAR(red.bottom(), pixelY(5.0), 2);
}

// A text is laid out once and then drawn from that layout, with the pixels of drawing it
// directly; a text on two lines is drawn as it comes.
TEST(GraphCanvasText, LaidOutTextsDrawAsDrawnDirectly) {
    GraphCanvas canvas;
    QImage direct(canvas.size(), canvas.image().format());
    direct.fill(Qt::white);
    QPainter p(&direct);
    p.setFont(canvas.font());
    const QPointF at = canvas.toPixels(100, 1000);
    p.drawText(QPointF(qRound(at.x()), qRound(at.y()) + QFontMetricsF(canvas.font()).ascent()),
               "16:30:28");
    p.end();
    for (int i = 0; i < 2; ++i) {
        canvas.clear();
        canvas.text(100, 1000, "16:30:28");
        EXPECT_TRUE(canvas.image() == direct) << "drawing " << i + 1;
    }
    canvas.text(100, 2000, "two\nlines");
    EXPECT_GT(Ink(canvas.image(), canvas.image().rect()), Ink(direct, direct.rect()));
}

// A new size gives a white picture of that size whether or not the old one was ever
// made; the same size again wipes the drawing; a clear gives its colour.
TEST(GraphCanvasSize, NewSizeGivesWhitePicture) {
    auto allOf = [](const QImage& image, QColor color) {
        QImage expected(image.size(), image.format());
        expected.fill(color);
        return image == expected;
    };
    GraphCanvas canvas;
    canvas.setSize(QSize(300, 120));
    EXPECT_EQ(canvas.size(), QSize(300, 120));
    EXPECT_EQ(canvas.image().size(), QSize(300, 120));
    EXPECT_TRUE(allOf(canvas.image(), Qt::white));
    canvas.fillBox(0, 0, 5000, 2000, Qt::red);
    canvas.setSize(QSize(300, 120));
    EXPECT_TRUE(allOf(canvas.image(), Qt::white));
    canvas.setSize(QSize(200, 90));
    canvas.clear(Qt::black);
    EXPECT_EQ(canvas.takeChangedArea(), QRegion(0, 0, 200, 90));
    EXPECT_TRUE(allOf(canvas.image(), Qt::black));
}

// One-pixel lines along a row or a column cover every pixel from one end to the other,
// whichever way they run and however long (long ones are filled in bands), also when they
// meet or leave the picture; other lines, and wider ones, are the painter's.
TEST(GraphCanvasLines, OnePixelLinesRunFromEndToEnd) {
    QVector<QLine> axisLines;
    for (int x = 5, h = 0; h <= 400; x += 3, h = h * 3 / 2 + 1) {
        axisLines.append(QLine(x, 10, x, 10 + h));
        axisLines.append(QLine(x + 1, 420, x + 1, 420 - h));
    }
    for (int y = 0; y < 120; y += 7) axisLines.append(QLine(100, y, 100 + 3 * y, y));
    axisLines.append(QLine(395, 130, 2, 130));
    axisLines.append(QLine(200, 300, 200, 150));
    axisLines.append(QLine(200, 150, 260, 150));
    axisLines.append(QLine(260, 150, 260, 500));  // beyond the bottom
    axisLines.append(QLine(-30, 435, 50, 435));   // from left of the picture
    const QVector<QLine> slanted = {QLine(310, 5, 330, 400), QLine(340, 400, 390, 2)};
    const QColor ink(Qt::darkGreen);
    const auto blank = [] {
        QImage picture(400, 440, GraphCanvas().image().format());
        picture.fill(Qt::white);
        return picture;
    };
    // A painter with a one-pixel pen of that ink, set up by `setUp`.
    const auto drawn = [&](const QVector<QLine>& lines, bool byPainter,
                           const std::function<void(QPainter&, QPen&)>& setUp = {}) {
        QImage picture = blank();
        QPainter p(&picture);
        QPen pen(ink, 1);
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::FlatCap);
        if (setUp) setUp(p, pen);
        p.setPen(pen);
        if (byPainter)
            p.drawLines(lines);
        else
            DrawLinesInBands(p, lines, pen.width());
        return picture;
    };

    QImage expected = drawn(slanted, true);
    for (const QLine& l : axisLines) {
        const QPoint step((l.dx() > 0) - (l.dx() < 0), (l.dy() > 0) - (l.dy() < 0));
        for (QPoint at = l.p1();; at += step) {
            if (expected.rect().contains(at)) expected.setPixelColor(at, ink);
            if (at == l.p2()) break;
        }
    }
    EXPECT_TRUE(drawn(axisLines + slanted, false) == expected);

    // Pens and painters whose lines are not plain runs of pixels are the painter's.
    const std::vector<std::pair<const char*, std::function<void(QPainter&, QPen&)>>> others = {
        {"wider", [](QPainter&, QPen& pen) { pen.setWidth(2); }},
        {"dashed", [](QPainter&, QPen& pen) { pen.setStyle(Qt::DashLine); }},
        {"translucent", [](QPainter&, QPen& pen) { pen.setColor(QColor(0, 128, 0, 100)); }},
        {"antialiased", [](QPainter& p, QPen&) { p.setRenderHint(QPainter::Antialiasing); }},
        {"moved", [](QPainter& p, QPen&) { p.translate(7, 3); }},
        {"scaled", [](QPainter& p, QPen&) { p.setWindow(0, 0, 200, 220); }},
    };
    for (const auto& [name, setUp] : others)
        EXPECT_TRUE(drawn(axisLines + slanted, false, setUp) ==
                    drawn(axisLines + slanted, true, setUp))
            << name;
}

TEST(AxisNumbers, Texts) {
    EXPECT_EQ(AxisNumberText(0, 1, 3, 1), "30");
    EXPECT_EQ(AxisNumberText(0, 0.05, 2, 1), "1");       // a whole value, fractional step
    EXPECT_EQ(AxisNumberText(0, 0.0333, 1, 2), "0.33");  // too many decimals are rounded
    EXPECT_EQ(AxisNumberText(0, 0.025, 1, 2), "0.25");   // few enough stay plain
    EXPECT_EQ(AxisNumberText(-10.5f, 0.5, 1, 3), "-5.5");
    EXPECT_TRUE(AxisNumberText(0, 0.0333, 1, std::nullopt).isNull());  // unknown decimals
    EXPECT_EQ(AxisNumberLeft(0), -650);
    EXPECT_EQ(AxisNumberLeft(-10.5f), -700);
    EXPECT_EQ(AxisNumberLeft(-1.2345f), -900);
}

}  // namespace
}  // namespace quillon::testing
