// The poll tick over a scripted port, a fake clock and a fake alarm sound.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "meter_frames.h"
#include "poll_loop.h"
#include "scripted_serial_library.h"
#include "wait_ms.h"

namespace quillon {
namespace {

using test::EncodeFrame;

class FakeAlarmSound final : public AlarmSound {
  public:
    void prepare() override { played << "prepare"; }
    void tone(int hz, int ms) override { played << QStringLiteral("tone %1 %2").arg(hz).arg(ms); }
    void playFile(const QString& path) override { played << "file " + path; }
    QStringList played;
};

// Message boxes that run something while "open", as a real modal box runs events.
class EventfulBoxes final : public MessageBoxes {
  public:
    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override {
        shown << QString("%1|%2|%3|%4").arg(text, title).arg(int(buttons)).arg(int(icon));
        if (whileOpen) whileOpen();
        return MsgResult::Ok;
    }
    QStringList shown;  // text|title|buttons|icon
    std::function<void()> whileOpen;
};

class PollTest : public ::testing::Test {
  protected:
    PollTest() {
        lib.logDataCalls = false;
        s.hooks.stopRecording = [this] { ++stops; };
        s.hooks.recordStep = [this] { ++recordSteps; };
        s.hooks.scheduleCheck = [this] { ++scheduleChecks; };
        s.link.systemMajorVersion = 6;
    }
    // A link that is up on COM1.
    void linkUp() {
        lib.setOpenResult(1, SIO_OK);
        lib.sio_open(1);
        s.link.portSettings.port = s.link.foundPort = 1;
        s.link.linkOn = true;
    }
    void tick(const QByteArray& arriving = {}) {
        if (!arriving.isEmpty()) lib.appendInput(1, arriving);
        loop.pollTick();
        clock.advance(500);
    }
    void record(bool running, int recNo = 3) {
        s.rec.nextRecord = recNo;
        s.rec.state = recNo > 0 ? kRunRecording : kRunIdle;
        s.rec.running = running;
    }
    // "live" with RS232 shown, "wait" with WAIT shown, else what is mixed up.
    QString shown() const {
        const bool rs232 = s.readout.indicator[kIndRS232], wait = s.readout.indicator[kIndWait];
        if (!s.readout.stale && rs232 && !wait) return "live";
        if (s.readout.stale && !rs232 && wait) return "wait";
        return QString::asprintf("stale %d RS232 %d WAIT %d", s.readout.stale, rs232, wait);
    }

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    EventfulBoxes boxes;
    PortTable ports{QStringList{"/dev/ttyFAKE1", "/dev/ttyFAKE2"}};
    MeterLink link{s, lib, clock, boxes, ports};
    FrameDecoder decoder{s, lib, clock};
    FakeAlarmSound sound;
    PollLoop loop{s, lib, decoder, link, boxes, sound, "/opt/QUILLON"};
    int stops = 0, recordSteps = 0, scheduleChecks = 0;
};

// The real timer stops when disabled and comes back when a command only sets the flag.
TEST_F(PollTest, TimerRunsTicksWhileEnabled) {
    const auto waitFor = [](const std::function<bool()>& done) {
        for (int i = 0; i < 500 && !done(); ++i) WaitMs(10);
    };
    s.link.pollIntervalMs = 5;
    s.rec.state = kRunCommand;  // ticks do nothing but the schedule check
    loop.setTimerEnabled(true);
    waitFor([&] { return scheduleChecks >= 2; });
    EXPECT_GE(scheduleChecks, 2);
    loop.setTimerEnabled(false);
    EXPECT_FALSE(s.link.pollTimerOn);
    const int seen = scheduleChecks;
    WaitMs(30);
    EXPECT_EQ(scheduleChecks, seen);
    s.link.pollTimerOn = true;
    waitFor([&] { return scheduleChecks > seen; });
    EXPECT_GT(scheduleChecks, seen);
}

// "WAIT" once the last frame may be 1.5 s old; the 30th silent tick times out.
TEST_F(PollTest, SilentMeterShowsWaitThenTimesOut) {
    const struct {
        const char* name;
        int keepRecording, recNo;
        bool box;
    } cases[] = {
        {"recording", 0, 3, true},
        {"recording, keep recording on", 1, 3, false},
        {"idle, keep recording on", 1, 0, true},
    };
    int stepsShown = -1, stepsShownUnderBox = -1;
    bool linkOnUnderBox = false;  // Link Off follows the message
    s.hooks.refresh = [&] { stepsShown = recordSteps; };
    // While the time-out message is open the timer would fire again: that tick is skipped.
    boxes.whileOpen = [&] {
        stepsShownUnderBox = stepsShown;
        linkOnUnderBox = s.link.linkOn;
        loop.pollTick();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        stops = scheduleChecks = 0;
        linkUp();
        s.settings.keepRecording = c.keepRecording;
        record(c.recNo > 0, c.recNo);
        QStringList seen;
        tick(EncodeFrame({2, 0x31, 1000}));
        seen << shown() + QString::number(s.link.ticksWithoutData);
        tick();  // half a second without a frame
        seen << shown();
        tick();  // the last frame may have come 1.5 s ago
        seen << shown();
        tick(QByteArray(12, '\x01'));  // noise is no frame
        seen << shown();
        tick(EncodeFrame({2, 0x31, 1000}));
        seen << shown();
        clock.advance(700);  // a late tick: the clock counts, not the ticks
        loop.pollTick();
        seen << shown();
        EXPECT_EQ(seen.join(' '), "live1 live wait wait live wait");

        for (int i = 0; i < 28; ++i) tick();
        EXPECT_EQ(s.link.ticksWithoutData, 30);
        EXPECT_TRUE(boxes.shown.isEmpty());
        tick();
        EXPECT_EQ(boxes.shown.size(), c.box ? 1 : 0);
        EXPECT_EQ(stops, c.box ? 1 : 0);
        EXPECT_FALSE(s.link.linkOn || lib.isOpen(1));
        EXPECT_EQ(shown(), "wait");
        if (c.box) {
            EXPECT_EQ(scheduleChecks, 35);
            EXPECT_EQ(boxes.shown[0], "Time out! Please check your connector.||0|0");
            EXPECT_EQ(stepsShownUnderBox, recordSteps);
            EXPECT_TRUE(linkOnUnderBox);
        } else {
            const int opens = lib.logText("sio_open").size(), checks = scheduleChecks;
            tick();
            EXPECT_EQ(lib.logText("sio_open").size(), opens + 1) << "reopened on the next tick";
            EXPECT_EQ(scheduleChecks, checks) << "no schedule check without a link";
            s.sched.scheduledRecordingRunning = true;
            tick();
            EXPECT_EQ(scheduleChecks, checks + 1) << "a scheduled recording's stop is checked";
            s.sched.scheduledRecordingRunning = false;
        }
    }
}

TEST_F(PollTest, OverloadStopsRecording) {
    const struct {
        const char* name;
        int count, olStop, recNo;
        bool running, negative, stops;
    } cases[] = {
        {"after the first record", 0, 1, 2, true, false, true},
        {"while paused", 0, 1, 2, false, true, true},
        {"no record yet", 0, 1, 1, true, false, false},
        {"no recording", 0, 1, 0, false, false, false},
        {"setting off", 0, 0, 5, true, false, false},
        {"numeric reading", 1234, 1, 5, true, false, false},
    };
    linkUp();
    for (const auto& c : cases) {
        stops = 0;
        s.settings.stopOnOverload = c.olStop;
        record(c.running, c.recNo);
        tick(EncodeFrame({2, 0x31, c.count, c.negative, c.count == 0}));
        EXPECT_EQ(stops, c.stops ? 1 : 0) << c.name;
    }
}

TEST_F(PollTest, AlarmSoundsOnlyWhileRecordingRuns) {
    linkUp();
    s.settings.alarmEnabled = 1;
    s.link.alarmOn = true;
    record(false);
    tick();
    EXPECT_TRUE(sound.played.isEmpty());  // not even made ready
    EXPECT_EQ(recordSteps, 0);
    s.rec.running = true;
    tick();
    s.link.systemMajorVersion = 7;
    tick();
    EXPECT_EQ(sound.played.join(", "),
              "prepare, tone 2200 80, prepare, file /opt/QUILLON/ding.wav");
    EXPECT_EQ(recordSteps, 2);
    // Without the alarm setting a recording never loads the player.
    s.settings.alarmEnabled = 0;
    s.link.alarmOn = false;
    sound.played.clear();
    tick();
    EXPECT_TRUE(sound.played.isEmpty());
}

TEST_F(PollTest, OpeningAttemptSpansTicksAndNothingElseRuns) {
    lib.setOpenResult(1, SIO_OK);
    for (int state : {int(kRunViewingFile), int(kRunCommand)}) {
        s.rec.state = state;
        s.readout.indicator[kIndRS232] = true;
        tick();
        EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    }
    EXPECT_TRUE(lib.logText("sio_open").isEmpty());
    EXPECT_EQ(scheduleChecks, 2);
    // Idle: the indicator blinks and a scan listens to COM1, COM2 (no device), COM1 again.
    s.rec.state = kRunIdle;
    tick();
    EXPECT_TRUE(s.readout.indicator[kIndRS232]);
    EXPECT_EQ(lib.logText("sio_open"), QStringList({"sio_open 1"}));
    tick();
    EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    EXPECT_EQ(lib.logText("sio_open"), QStringList({"sio_open 1", "sio_open 2", "sio_open 1"}));
    EXPECT_EQ(scheduleChecks, 2);
    // A command now: the attempt goes on, but no tick reads the port it listens to.
    s.rec.state = kRunCommand;
    lib.appendInput(1, QByteArray(30, '\x02'));
    tick();
    EXPECT_TRUE(s.link.linkOn);
    EXPECT_EQ(s.link.foundPort, 1);
    EXPECT_EQ(lib.queued(1), 30);
    EXPECT_EQ(scheduleChecks, 3);
    tick();
    EXPECT_EQ(lib.queued(1), 0);  // now it is the meter's port
}

// Multimedia loads with the module on first use; no module or device is silent.
TEST(AlarmSoundModule, LoadsMultimediaOnFirstUseAndIsSilentWithoutDevice) {
    auto mapped = [] {
        QFile maps("/proc/self/maps");
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
    };
    AlarmSoundModule missing("/nonexistent/quillon-alarm-sound.so");
    missing.prepare();
    missing.tone(2200, 80);
    AlarmSoundModule sound(QCoreApplication::applicationDirPath() + "/quillon-alarm-sound.so");
    EXPECT_FALSE(mapped());
    sound.prepare();
    EXPECT_TRUE(mapped()) << "the module did not load";
    sound.tone(2200, 80);
    sound.playFile("/nonexistent/ding.wav");
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace quillon
