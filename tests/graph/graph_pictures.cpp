// Renders a few recordings into PNG files for looking at by eye. Runs only when
// QUILLON_GRAPH_PNG is set; the pictures go to /tmp/quillon-graph-<name>.png.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>

#include "recording_fixture.h"

namespace quillon::testing {
namespace {

class Pictures : public RecordingFixture {
  protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QUILLON_GRAPH_PNG"))
            GTEST_SKIP() << "set QUILLON_GRAPH_PNG=1 to write the pictures";
        s.settings.Graph_Title = 1;
        s.settings.Graph_txt = QStringLiteral("Bench supply, channel 2");
        s.rec.unitLabel = QStringLiteral("set");
    }

    void Save(const QString& name, QSize size) {
        graph->Relayout(size);
        const QString path = QDir::tempPath() + "/quillon-graph-" + name + ".png";
        EXPECT_TRUE(graph->image().save(path)) << path.toStdString();
    }
};

TEST_F(Pictures, Sine) {
    RecordMany(250, [](int i) { return QString::number(2.5 * std::sin(i / 8.0), 'f', 3); });
    graph->setPageBox("2");
    Save("sine", TrendGraph::DesignSize());
    Save("sine-large", QSize(1534, 464));
    Save("sine-wide", QSize(1400, 232));
    Save("sine-tall", QSize(500, 420));
    Save("sine-small", QSize(400, 120));
}

TEST_F(Pictures, RampWithOverloads) {
    s.settings.Fdt[1] = QStringLiteral("AM/PM hh:nn:ss");
    RecordMany(180, [](int i) {
        if (i % 23 == 11) return QStringLiteral("OL");
        return QString::number(i * 0.7, 'f', 1);
    });
    Save("ramp", TrendGraph::DesignSize());
    graph->setPageBox("1");
    Save("ramp-page1-large", QSize(1534, 464));
}

TEST_F(Pictures, ResistanceRangeChange) {
    for (int i = 0; i < 40; ++i) Record(QString::number(900 + i * 2.5, 'f', 2), 4, 0);
    for (int i = 0; i < 40; ++i) Record(QString::number(1.0 + i * 0.01, 'f', 4), 4, 1);
    Save("resistance", TrendGraph::DesignSize());
    Save("resistance-large", QSize(1150, 348));
}

TEST_F(Pictures, SmallValuesWithFourDecimals) {
    for (int i = 0; i < 60; ++i) Record(QString::number(-0.0123 + i * 0.0004, 'f', 4), 2, 0);
    Save("decimals", TrendGraph::DesignSize());
}

}  // namespace
}  // namespace quillon::testing
