// The graph picture: frame colours, axis numbers, the curve, paging and the page box.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "axis_labels.h"
#include "recording_fixture.h"
#include "report_opener.h"
#include "report_writer.h"

namespace quillon::testing {
namespace {

const QColor kGrey(224, 224, 224), kOlive(128, 128, 0), kTickGrey(128, 128, 128), kRed(255, 0, 0);

// Pixel rectangle between two points in drawing units.
QRect PixelBox(TrendGraph& g, double x1, double y1, double x2, double y2) {
    return QRectF(g.toPixels(x1, y1), g.toPixels(x2, y2)).normalized().toAlignedRect();
}

int Count(const QImage& img, const QRect& box, const std::function<bool(QRgb)>& match) {
    int n = 0;
    const QRect r = box.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += match(img.pixel(x, y)) ? 1 : 0;
    return n;
}

int CountColour(const QImage& img, const QRect& box, const QColor& c) {
    return Count(img, box, [&](QRgb p) { return QColor(p) == c; });
}

int Ink(const QImage& img, const QRect& box) {
    return Count(img, box, [](QRgb p) { return qGray(p) < 128; });
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
    const QImage& img = graph->image();
    EXPECT_EQ(img.size(), TrendGraph::DesignSize());
    const double ux = s.graph.gridUnitX, uy = s.graph.gridUnitY;
    EXPECT_DOUBLE_EQ(ux, 102);
    EXPECT_DOUBLE_EQ(uy, 34);
    // Inside a grid cell: plot area grey only.
    const QRect cell = PixelBox(*graph, 41 * ux, 41 * uy, 49 * ux, 49 * uy).adjusted(1, 1, -1, -1);
    EXPECT_EQ(CountColour(img, cell, kGrey), cell.width() * cell.height());
    // Major lines at multiples of ten units, in both directions, including the stubs
    // into the left margin.
    EXPECT_GT(CountColour(img, PixelBox(*graph, 50 * ux - 20, 10, 50 * ux + 20, 2700), kOlive),
              100);
    EXPECT_GT(CountColour(img, PixelBox(*graph, 100, 40 * uy - 20, 10100, 40 * uy + 20), kOlive),
              500);
    EXPECT_GT(CountColour(img, PixelBox(*graph, -140, -20, -10, 20), kOlive), 3);
    EXPECT_EQ(CountColour(img, PixelBox(*graph, 41 * ux, 41 * uy, 49 * ux, 49 * uy), kOlive), 0);
    // Ticks along both axes.
    EXPECT_GT(CountColour(img, PixelBox(*graph, 0, 1 * uy, 80, 9 * uy), kTickGrey), 10);
    EXPECT_GT(CountColour(img, PixelBox(*graph, 1 * ux, 0, 9 * ux, 80), kTickGrey), 10);
    // No axis numbers and no curve without records.
    const QRect margin = PixelBox(*graph, -900, 0, -160, 2720);
    EXPECT_EQ(Count(img, margin, [](QRgb p) { return QColor(p) != Qt::white; }), 0);
    EXPECT_FALSE(RedBounds(img).isValid());
    Record("1.234");
    EXPECT_GT(Ink(graph->image(), margin), 50);
}

// The first record draws a short level stub ending at one unit; a non-number leaves a gap.
TEST_F(Picture, FirstRecordDrawsAStubAndANonNumberAGap) {
    int notices = 0;
    graph->onChanged = [&] { ++notices; };
    Record("1.000");
    EXPECT_EQ(notices, 1);
    const QRect red = RedBounds(graph->image());
    ASSERT_TRUE(red.isValid());
    EXPECT_NEAR(red.left(), graph->toPixels(0, 0).x(), 1.5);
    EXPECT_NEAR(red.right(), graph->toPixels(s.graph.gridUnitX, 0).x(), 1.5);
    EXPECT_LE(red.height(), 2);  // level, 2 pixels thick

    for (const char* v : {"1.000", "OL", "1.000", "1.000"}) Record(v);
    EXPECT_EQ(notices, 5);
    const QImage& img = graph->image();
    const double ux = s.graph.gridUnitX, y = graph->toPixels(0, 0).y();
    auto redAt = [&](double units) {
        const int x = qRound(graph->toPixels(units * ux, 0).x());
        return CountColour(img, QRect(x, 0, 1, int(y)), kRed);
    };
    EXPECT_GT(redAt(1.5), 0);
    EXPECT_EQ(redAt(2.5), 0);  // between record 2 and the resumed line
    EXPECT_GT(redAt(3.5), 0);  // resumes one unit left of record 4
    EXPECT_GT(redAt(4.5), 0);
}

// Record 101 moves to page 2 with one point, in the same range or the next one.
TEST(Paging, Record101MovesToPageTwoWithOnePoint) {
    for (const auto& [value, range] : {std::pair("1.100", 1), {"12.00", 2}}) {
        RecordingFixture t;
        t.RecordMany(100, [](int i) { return QString::number(1 + i % 7 * 0.1, 'f', 3); });
        EXPECT_EQ(t.graph->pageBox(), "1");
        EXPECT_GT(RedBounds(t.graph->image()).width(), 600);
        t.graph->setPageBox("1");
        t.Record(value, 2, range);
        EXPECT_EQ(t.graph->pageBox(), "2") << value;
        const QRect red = RedBounds(t.graph->image());
        ASSERT_TRUE(red.isValid());
        EXPECT_LE(red.right(), t.graph->toPixels(t.s.graph.gridUnitX, 0).x() + 1.5) << value;
    }
}

TEST_F(Picture, PageBoxIsClampedToTheRecords) {
    RecordMany(150, [](int) { return QStringLiteral("2.000"); });
    for (const auto& [typed, shown] :
         {std::pair("1", "1"), {"3", "2"}, {"abc", "1"}, {"2.7", "2"}}) {
        graph->setPageBox(typed);
        EXPECT_EQ(graph->pageBox(), shown) << typed;
    }
    for (int key : {8, int('0'), int('5'), int('9')})
        EXPECT_TRUE(TrendGraph::acceptsPageBoxKey(key));
    for (int key : {int('-'), int('.'), int('a'), int(' '), 13, 127})
        EXPECT_FALSE(TrendGraph::acceptsPageBoxKey(key)) << key;
}

TEST_F(Picture, NextReachesTheEmptyPageAndStops) {
    RecordMany(200, [](int i) { return QString::number(i % 10, 'f', 3); });
    EXPECT_EQ(graph->pageBox(), "2");
    graph->showNextPage();
    EXPECT_EQ(graph->pageBox(), "3");
    EXPECT_FALSE(RedBounds(graph->image()).isValid());
    graph->showNextPage();
    EXPECT_EQ(graph->pageBox(), "3");
    graph->showPreviousPage();
    graph->showPreviousPage();
    EXPECT_EQ(graph->pageBox(), "1");
    EXPECT_TRUE(RedBounds(graph->image()).isValid());
    graph->showPreviousPage();
    EXPECT_EQ(graph->pageBox(), "1");
}

// Looking back while recording: a page turned back to stays, also through a range
// change; back on the newest page the graph follows again, onto new pages too.
TEST_F(Picture, APageTurnedBackToStaysUntilTheNewestPageIsShownAgain) {
    RecordMany(250, [](int i) { return QString::number(1 + i % 9 * 0.1, 'f', 3); });
    graph->showPreviousPage();
    ASSERT_EQ(graph->pageBox(), "2");
    const QImage page2 = graph->image().copy();
    RecordMany(20, [](int) { return QStringLiteral("1.500"); });
    EXPECT_EQ(graph->pageBox(), "2");
    EXPECT_EQ(graph->image(), page2);
    Record("15.00", 2, 2);  // the next range: page 2 is redrawn in its unit, and stays
    EXPECT_EQ(graph->pageBox(), "2");
    EXPECT_FALSE(s.rec.rangeChanged);

    graph->showNextPage();
    ASSERT_EQ(graph->pageBox(), "3");
    for (int i = 0; i < 30; ++i) Record("15.00", 2, 2);  // up to record 301
    EXPECT_EQ(graph->pageBox(), "4");
}

TEST_F(Picture, RangeChangeRedrawsThePageInTheNewUnit) {
    for (int i = 0; i < 5; ++i) Record("950.00", 4, 0);  // Ω
    Record("1.2000", 4, 1);                              // KΩ
    EXPECT_FALSE(s.rec.rangeChanged);
    const QRect red = RedBounds(graph->image());
    const QRect plot = PixelBox(*graph, 0, 0, 10200, 2720).adjusted(-1, -1, 1, 1);
    ASSERT_TRUE(red.isValid());
    EXPECT_TRUE(plot.contains(red)) << "950 Ω must be drawn as 0.95 KΩ";
    EXPECT_GT(red.width(), 5 * s.graph.gridUnitX / 15 - 2);  // the earlier records are redrawn
}

// Captions redrawn with every record keep their look; time labels only for records there.
TEST_F(Picture, CaptionsAndTimeLabels) {
    s.rec.shownUnit = "V";
    s.settings.showGraphTitle = 1;
    s.settings.graphTitle = "Supply";
    Record("1.000");
    const QRect captions = PixelBox(*graph, -900, 2730, 10300, 3180);
    const QImage first = graph->image().copy(captions);
    RecordMany(29, [](int) { return QStringLiteral("1.000"); });
    const QImage& img = graph->image();
    EXPECT_EQ(img.copy(captions), first);
    auto inkUnder = [&](double x) { return Ink(img, PixelBox(*graph, x, -30, x + 400, -200)); };
    const double ux = s.graph.gridUnitX;
    EXPECT_GT(inkUnder(-70), 10);            // record 1
    EXPECT_GT(inkUnder(20 * ux - 200), 10);  // record 20
    EXPECT_EQ(inkUnder(40 * ux - 200), 0);   // record 40 does not exist yet
}

TEST_F(Picture, OpenedFileCaptionsSurviveLaterCommands) {
    s.settings.showGraphTitle = 1;
    s.settings.graphTitle = "Settings title";
    s.rec.fileTitle = "Oven run";
    s.rec.fileDate = "2023/12/24";
    const QRect captions = PixelBox(*graph, 4000, 2730, 10300, 3180);
    auto captionsAt = [&](int runState, bool saveEnabled) {
        s.rec.state = runState;
        s.controls.setEnabled(Control::SaveReport, saveEnabled);
        graph->drawEmptyFrame();
        return graph->image().copy(captions);
    };
    const QImage file = captionsAt(kRunViewingFile, false);
    const QImage settings = captionsAt(kRunIdle, true);
    EXPECT_NE(file, settings);
    // A print or file command sets state 3 while the opened file stays on show.
    EXPECT_EQ(captionsAt(kRunCommand, false), file);
    EXPECT_EQ(captionsAt(kRunCommand, true), settings);
}

TEST_F(Picture, RelayoutScalesThePicture) {
    RecordMany(50, [](int i) { return QString::number(std::sin(i / 5.0), 'f', 3); });
    graph->Relayout(QSize(767 * 2, 232 * 2));
    EXPECT_DOUBLE_EQ(s.graph.scaleX, 2);
    EXPECT_DOUBLE_EQ(s.graph.gridUnitX, 204);
    const QImage& img = graph->image();
    EXPECT_EQ(img.size(), QSize(1534, 464));
    // The plot area keeps its share of the picture.
    const QRect plot = PixelBox(*graph, 0, 0, 10200 * 2, 2720 * 2);
    EXPECT_NEAR(plot.width(), 2 * 680, 3);
    const QRect red = RedBounds(img);
    EXPECT_NEAR(red.right(), graph->toPixels(50 * s.graph.gridUnitX, 0).x(), 2);
}

TEST_F(Picture, ValuesFarOutsideAFixedScaleDoNotBreakTheDrawing) {
    s.settings.graphRangeMode = 2;
    s.settings.graphBottom = 0;
    s.settings.graphTop = 8;
    for (const char* v : {"1.000", "1e300", "-1e300", "2.000"}) Record(v);
    EXPECT_TRUE(RedBounds(graph->image()).isValid());
}

// A report written to disk, with `values` as its records (function, range of the file).
QString WriteReportFile(const QString& path, int func, int range, const QStringList& values) {
    RecordingFixture source;
    for (const QString& v : values) source.Record(v, func, range);
    EXPECT_TRUE(WriteReport(source.s, path).ok) << path.toStdString();
    return path;
}

// The graph of the program with the report reader wired to it as the program does.
struct Viewer {
    Viewer() : graph(s, clock) {
        s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        s.hooks.resetDisplay = [this] {
            graph.setPageBox("0");
            graph.drawEmptyFrame();
        };
        ReportOpenerCallbacks calls;
        calls.setPageBox = [this](const QString& t) { graph.setPageBox(t); };
        calls.showPage = [this](const QString& t) { graph.ShowPage(t); };
        calls.processEvents = [] {};
        opener = std::make_unique<ReportOpener>(s, messages, dialogs, calls);
        graph.drawEmptyFrame();
    }
    Session s;
    FakeClock clock;
    TrendGraph graph;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<ReportOpener> opener;
};

// A report whose first records are overloads: one frame, one scale and one curve that
// agree with each other, whatever file was shown before.
TEST(OpenedReport, OverloadsFirstGiveOneScaleAndOneCurve) {
    QTemporaryDir dir;
    QStringList ohms = {"OL", "OL"};
    for (int i = 0; i < 40; ++i) ohms << QString::number(5 + i * 0.05, 'f', 3);
    const QString resistance = WriteReportFile(dir.filePath("ohm.csv"), 4, 1, ohms);
    const QString volts =
        WriteReportFile(dir.filePath("dcv.csv"), 2, 1, {"1.000", "-3.000", "9.500"});

    Viewer fresh;
    ASSERT_TRUE(fresh.opener->LoadReport(resistance).ok);
    const QImage shown = fresh.graph.image().copy();
    Viewer after;
    ASSERT_TRUE(after.opener->LoadReport(volts).ok);
    ASSERT_TRUE(after.opener->LoadReport(resistance).ok);
    EXPECT_EQ(after.graph.image(), shown) << "the picture depends on the file shown before";

    // Drawing the final state from scratch gives the same picture: the axis numbers were
    // drawn with the scale the curve uses, and there is one curve.
    fresh.graph.drawEmptyFrame();
    fresh.graph.redrawPage();
    EXPECT_EQ(fresh.graph.image(), shown);

    // The curve spans 5.000 .. 6.950 on that scale, inside the plot area.
    const Session& s = fresh.s;
    EXPECT_LE(s.settings.graphBottom, 5.0f);
    EXPECT_GE(s.settings.graphTop, 6.95f);
    auto pixelY = [&](double v) {
        return fresh.graph
            .toPixels(0,
                      (v - s.settings.graphBottom) / s.graph.valuePerGridUnit * s.graph.gridUnitY)
            .y();
    };
    const QRect red = RedBounds(shown);
    ASSERT_TRUE(red.isValid());
    EXPECT_NEAR(red.top(), pixelY(6.95), 2);
    EXPECT_NEAR(red.bottom(), pixelY(5.0), 2);
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
