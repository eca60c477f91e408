#pragma once
// The acquisition poll loop: every tick (500 ms) keeps trying to open the link while
// there is none, decodes the frames that have arrived, stops a recording on an
// overload when so configured, takes a due record and sounds the alarm, shows whether the
// reading is live, ends the link after 15 s without data, and runs the schedule check.

#include <QString>
#include <QTimer>
#include <functional>

#include "alarm_sound.h"
#include "frame_decoder.h"
#include "messages.h"
#include "meter_link.h"
#include "serial_library.h"
#include "session.h"

namespace quillon {

class PollLoop {
  public:
    PollLoop(Session& session, SerialLibrary& library, FrameDecoder& decoder, MeterLink& link,
             MessageBoxes& boxes, AlarmSound& sound, QString programFolder);

    // One tick, then hooks.refresh. A tick that would start while another is still
    // running (inside a message box or a wait that lets events run) is skipped.
    void pollTick();
    // One alarm sound: a 2200 Hz / 80 ms tone when systemMajorVersion is below 7, else the file
    // "ding.wav" of the program's folder.
    void SoundAlarm();

    // The poll timer: ticks every session.link.pollIntervalMs ms while session.link.pollTimerOn
    // is set. The first enable starts a heartbeat that runs from then on and honours
    // the flag at every beat, so a command may also just set the flag.
    void setTimerEnabled(bool on);
    bool tickRunning() const { return inTick_; }

    // Whether a tick could run now, asked before an opening attempt goes on between
    // ticks (the program's main window: no command, no modal box, no tick of its own).
    // Unset: always.
    void setMayRun(std::function<bool()> mayRun) { mayRun_ = std::move(mayRun); }

  private:
    void beat();
    void runTick();
    // A listen of the opening attempt ended between ticks: go on with the attempt
    // unless something else runs now (then the next tick goes on with it).
    void continueLinkBetweenTicks();
    // "RS232" while the reading is live (ReadingIsLive), "WAIT" once it is not.
    void showWhetherLive();
    // The time-out while a recording waits for the meter to return: the port closes
    // without a message and without ending the recording.
    void closeLinkKeepRecording();

    Session& s_;
    SerialLibrary& lib_;
    FrameDecoder& decoder_;
    MeterLink& link_;
    MessageBoxes& boxes_;
    AlarmSound& sound_;
    QString programFolder_;
    QTimer timer_;
    bool inTick_ = false;
    std::function<bool()> mayRun_;
};

}  // namespace quillon
