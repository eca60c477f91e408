#pragma once
// A recorder over a session filled by hand: the test plays meter, decoder and poll loop.

#include <gtest/gtest.h>

#include "recorder.h"  // with the session, clock and message boxes it works on

namespace quillon {

class RecorderTest : public ::testing::Test {
  protected:
    RecorderTest() : clock(QDateTime(QDate(2024, 1, 31), QTime(10, 0, 0))) {
        session.settings.recordIntervalMs = 1000;
        session.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        RecorderCalls& c = recorder.calls();
        c.UnitTable = [](int f, int r) { return f == 4 ? QString("Ω%1").arg(r) : "V"; };
        c.FunctionTable = [](int func) { return QString("F%1").arg(func); };
        c.linkUp = [this] { session.link.linkOn = linkWorks; };
        c.UpdateMaxMin = [this] { ++statsCalls; };
        c.PlotNewPoint = [this] { plottedRows.push_back(session.table.currentRow); };
        c.PromptUnsavedRecord = [this] { ++saveOffers; };
        c.endScheduledRecording = [this] { ++scheduleEnds; };
        recorder.InstallHooks();
        recorder.SetIdleState();
        recorder.InitGrid();
    }

    // The meter sends this reading until silence(); what the decoder leaves after a frame.
    void feed(const QString& value, int func = 2, int range = 1, float dec = 1) {
        session.reading.valueText = session.readout.value = value;
        session.reading.function = func;
        session.reading.range = range;
        session.reading.decimalIndex = dec;
        meterSends = true;
    }
    void silence() { meterSends = false; }
    void tick(qint64 ms = 0) {
        clock.advance(ms);
        if (meterSends) session.link.lastFrameTick = clock.tickMs();
        if (session.rec.state == kRunRecording && session.rec.running) recorder.recordStep();
    }
    void restartAt(QTime time) {
        recorder.stopRecording();
        clock.setNow(QDateTime(QDate(2024, 1, 31), time));
        recorder.startRecording();
        feed("1.000");
        tick();
    }

    QString cell(int row, int col) const { return session.table.cell(row, col); }
    QString line(int row) const {
        QStringList cells;
        for (int col = 0; col < RecordTable::kColumns; ++col) cells << cell(row, col);
        return cells.join(' ');
    }
    QStringList column(int col) const {
        QStringList cells;
        for (int row = 1; row <= records(); ++row) cells << cell(row, col);
        return cells;
    }
    int records() const { return session.table.recordCount(); }
    bool checked(Control c) const { return session.controls.isChecked(c); }

    Session session;
    FakeClock clock;
    ScriptedMessageBoxes messages;
    Recorder recorder{session, clock, messages};
    bool linkWorks = true, meterSends = false;
    int statsCalls = 0, saveOffers = 0, scheduleEnds = 0;
    QVector<int> plottedRows;
};

// A shown message box as "title|text|buttons|icon".
inline QString Describe(const ScriptedMessageBoxes::Shown& m) {
    return QString("%1|%2|%3|%4").arg(m.title, m.text).arg(int(m.buttons)).arg(int(m.icon));
}

}  // namespace quillon
