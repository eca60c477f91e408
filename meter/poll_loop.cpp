#include "poll_loop.h"

#include "flag_scope.h"
#include "number_format.h"

namespace quillon {
namespace {

constexpr double kSilenceLimitMs = 15000;
constexpr int kAlarmHz = 2200;
constexpr int kAlarmMs = 80;
constexpr int kFirstMajorWithSoundFile = 7;

}  // namespace

PollLoop::PollLoop(Session& session, SerialLibrary& library, FrameDecoder& decoder, MeterLink& link,
                   MessageBoxes& boxes, AlarmSound& sound, QString programFolder)
    : s_(session),
      lib_(library),
      decoder_(decoder),
      link_(link),
      boxes_(boxes),
      sound_(sound),
      programFolder_(std::move(programFolder)) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { beat(); });
    link_.setOnListenEnded([this] { continueLinkBetweenTicks(); });
}

void PollLoop::continueLinkBetweenTicks() {
    if (inTick_ || (mayRun_ && !mayRun_())) return;
    const bool linkWasOn = s_.link.linkOn;
    {
        FlagScope scope(inTick_);
        link_.continueAttempt();
    }
    // Only a link that came up shows: a silent port's end changes nothing on the window.
    if (s_.link.linkOn != linkWasOn) Call(s_.hooks.refresh);
}

void PollLoop::setTimerEnabled(bool on) {
    s_.link.pollTimerOn = on;
    if (on && !timer_.isActive()) {
        timer_.setInterval(qMax(1, s_.link.pollIntervalMs));
        timer_.start();
    }
}

void PollLoop::beat() {
    if (timer_.interval() != qMax(1, s_.link.pollIntervalMs))
        timer_.setInterval(qMax(1, s_.link.pollIntervalMs));
    if (s_.link.pollTimerOn) pollTick();
}

void PollLoop::pollTick() {
    if (inTick_) return;
    {
        FlagScope scope(inTick_);
        runTick();
    }
    // The readout changed outside a command: let the window show it.
    Call(s_.hooks.refresh);
}

void PollLoop::runTick() {
    LinkState& link = s_.link;
    RecordingState& rec = s_.rec;

    // 1. Without a link, try to open it (unless a file is viewed or a command ran). An
    // attempt spans several ticks; each tick takes its due steps.
    bool portIsTheMeters = true;
    if (!link.linkOn) {
        if (rec.state != kRunViewingFile && rec.state != kRunCommand) {
            s_.readout.indicator[kIndRS232] = !s_.readout.indicator[kIndRS232];
            if (link.foundPort == 0)
                link_.FindMeterPort();
            else
                link_.ReopenMeterPort();
            // A scheduled recording waiting for its meter still ends on time; a scheduled
            // start waits for the link.
            if (rec.nextRecord > 0 && s_.sched.scheduledRecordingRunning)
                Call(s_.hooks.scheduleCheck);
            return;
        }
        s_.readout.indicator[kIndRS232] = false;
        // An attempt begun before the command still runs its course; the port it
        // listens to is not the meter's yet, and its bytes are the listen's.
        if (link_.attemptRunning()) {
            link_.continueAttempt();
            portIsTheMeters = false;
        }
    }

    // The alarm's player is made ready before the first alarm of a recording is due.
    if (rec.running && s_.settings.alarmEnabled == 1) sound_.prepare();

    // 2. Decode when at least one whole frame is waiting.
    if (portIsTheMeters && lib_.sio_iqueue(link.portSettings.port) > 9) {
        decoder_.ReadFrames();
        if (!IsNumeric(s_.reading.valueText) && s_.settings.stopOnOverload == 1 &&
            rec.nextRecord > 1)
            Call(s_.hooks.stopRecording);
    }

    // 3. Record step and alarm, only while a recording runs.
    if (rec.state == kRunRecording && rec.running) {
        Call(s_.hooks.recordStep);
        if (link.alarmOn) SoundAlarm();
    }

    // 4. A meter that stopped sending: its reading is soon no longer live, and after 15 s
    //    the link ends, or (keeping a recording for the meter's return) closes quietly
    //    and is reopened on the next ticks.
    if (link.linkOn) {
        showWhetherLive();
        ++link.ticksWithoutData;
        if (kSilenceLimitMs / qMax(1, link.pollIntervalMs) < link.ticksWithoutData) {
            if (s_.settings.keepRecording == 1 && rec.nextRecord > 0) {
                closeLinkKeepRecording();
            } else {
                Call(s_.hooks.refresh);  // the box stands over the window as it is now
                boxes_.show(QStringLiteral("Time out! Please check your connector."), QString(),
                            MsgButtons::Ok, MsgIcon::None);
                link_.linkOff();
            }
        }
    }

    // 5. The recording schedule.
    Call(s_.hooks.scheduleCheck);
}

void PollLoop::showWhetherLive() {
    // By the clock since the decoder last accepted a frame (not since it last ran: noise
    // alone keeps it running), with the record step's rule: late ticks change nothing.
    const bool stale =
        !ReadingIsLive(s_.link.lastFrameTick, decoder_.clock().tickMs(), s_.link.pollIntervalMs);
    Readout& out = s_.readout;
    out.stale = stale;
    out.indicator[kIndRS232] = !stale;
    out.indicator[kIndWait] = stale;
}

void PollLoop::closeLinkKeepRecording() {
    LinkState& link = s_.link;
    link.lastResult = lib_.sio_close(link.portSettings.port);
    link.linkOn = false;
    link.ticksWithoutData = 0;
    s_.readout.stale = true;
    s_.readout.indicator[kIndRS232] = false;
    s_.readout.indicator[kIndWait] = true;
}

void PollLoop::SoundAlarm() {
    if (s_.link.systemMajorVersion < kFirstMajorWithSoundFile)
        sound_.tone(kAlarmHz, kAlarmMs);
    else
        sound_.playFile(programFolder_ + QStringLiteral("/ding.wav"));
}

}  // namespace quillon
