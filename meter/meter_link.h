#pragma once
// Finding and opening the meter's port, configuring the line, and the Link Up / Link
// Off commands with their "RS232" and "WAIT" indicators.
//
// The program never sends to the meter: a port is the meter's when, after opening and
// configuring it, more than one byte arrives within a short wait. An opening attempt (a
// scan, three tries of the configured port, or a reopen) is a sequence of such listens.
// It never waits inside a call: each call takes the steps that are due and returns, and
// the listener's wake-up (bytes, or the time being up) says when the next step is due.

#include <QEventLoop>
#include <QVector>
#include <functional>
#include <optional>

#include "clock.h"
#include "messages.h"
#include "port_listener.h"
#include "port_table.h"
#include "serial_library.h"
#include "session.h"

namespace quillon {

class MeterLink {
  public:
    // Scans a copy of `ports`, fixed for the link's life.
    MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes,
              PortTable ports);
    // Scans the library's port table, read afresh before each scan.
    MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes);

    // Starts an attempt to open the meter's port, or takes the due steps of the one under
    // way: a scan of every COM number of the port table (twice), or three tries of the
    // configured one. Used while no port has been found yet.
    void FindMeterPort();
    // Starts listening on the port the meter was last found on for 500 ms (or takes the
    // due steps of the attempt under way).
    void ReopenMeterPort();
    // Takes the steps of the attempt under way that are due: the verdict of a listen that
    // has ended, the opening of the next port and the start of its listen.
    void continueAttempt();
    bool attemptRunning() const { return attempt_.has_value(); }
    // Runs the attempt under way to its end. Timers and repaints run meanwhile, user
    // input waits until it is over.
    void finishAttempt();

    // Called from the event loop when a listen has ended and the attempt can go on. Its
    // owner continues the attempt when nothing else runs; by default it goes on at once.
    void setOnListenEnded(std::function<void()> f) { onListenEnded_ = std::move(f); }

    // Applies the fixed line settings; a failing step shows its error. True on success.
    bool ConfigurePort();
    // Starts (or goes on with) an attempt and returns at once; the indicators follow
    // when the meter is heard.
    void linkUp();
    // Link Up for a command that needs the outcome (Start): waits for the attempt's end.
    void linkUpAndWait();
    // Stops the recording (hooks.stopRecording), ends any attempt and closes the port.
    void linkOff();

  private:
    enum class Kind { Scan, ConfiguredPort, Reopen };
    struct Attempt {
        Kind kind = Kind::Scan;
        int last = 0;   // scan: the highest COM number tried
        int pass = 0;   // scan: passes finished
        int port = 0;   // the port being tried (scan: 0 before the first)
        int tries = 0;  // opening tries made (configured port, reopen)
    };

    void fillPortSettings(int port);
    void start(Attempt attempt);
    // The attempt's next opening: opens and configures the next port and starts its
    // listen, or ends the attempt when no port is left.
    void openNext();
    void listenEnded(bool heard);
    // Opens and configures a port and starts listening on it; closes it again when
    // either fails.
    void listenIfOpened(int port, qint64 ms);
    void endAttempt();
    void showLinkState();
    void linkFound(int port);
    const PortTable& portTable();

    Session& s_;
    SerialLibrary& lib_;
    Clock& clock_;
    MessageBoxes& boxes_;
    std::optional<PortTable> fixedPorts_;
    PortTable libraryPorts_;
    PortListener listener_;
    std::optional<Attempt> attempt_;
    bool stepping_ = false;
    std::function<void()> onListenEnded_;
    QVector<QEventLoop*> waiters_;  // finishAttempt's loops, innermost last
};

}  // namespace quillon
