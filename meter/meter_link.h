#pragma once
// Finding and opening the meter's port, configuring the line, and the Link Up / Link
// Off commands with their "RS232" and "WAIT" indicators.
//
// The program never sends to the meter: a port is the meter's when, after opening and
// configuring it, more than one byte arrives within a short wait.

#include "clock.h"
#include "messages.h"
#include "poll_wait.h"
#include "port_table.h"
#include "serial_library.h"
#include "session.h"

namespace quillon {

class MeterLink {
  public:
    // `ports` must outlive the link; a scan tries only the COM numbers it has.
    MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes,
              const PortTable& ports);
    // Scans the port table of a PosixSerialLibrary, else the table of the environment.
    MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes);

    // Opens the meter's port: a scan of every COM number of the port table (twice), or
    // three tries of the configured one. Used while no port has been found yet.
    void FindMeterPort();
    // Opens the port the meter was last found on and listens for 500 ms.
    void ReopenMeterPort();
    // Applies the fixed line settings; a failing step shows its error. True on success.
    bool ConfigurePort();
    void mnlinkon_Click();
    // Stops the recording (hooks.mnstop_Click) and closes the port.
    void mnlinkoff_Click();
    // Waits ms milliseconds while window events run.
    void WaitMs(qint64 ms);

    // Runs between polls of every wait, after window events in the waits that process
    // them. The default sleeps about 1 ms; tests advance their fake clock here.
    void setIdle(IdleFn idle) { idle_ = std::move(idle); }
    // True while an opening attempt runs (a command inside one of its waits sees it).
    bool attemptRunning() const { return attemptRunning_; }

  private:
    void fillPortSettings(int port);
    // Waits until more than one byte is waiting on the port or more than ms have passed.
    bool meterHeard(int port, qint64 ms, bool processEvents);
    // Opens and configures the port and listens for the meter; closes the port again
    // when any of that fails. True when the meter was heard (the port stays open).
    bool openAndListen(int port, bool processEvents);
    void showLinkState();
    void linkFound(int port);
    void processEventsThenIdle();

    Session& s_;
    SerialLibrary& lib_;
    Clock& clock_;
    MessageBoxes& boxes_;
    PortTable ownPorts_;  // used by the constructor without a table
    const PortTable& ports_;
    IdleFn idle_ = SleepAboutOneMs;
    bool attemptRunning_ = false;
};

}  // namespace quillon
