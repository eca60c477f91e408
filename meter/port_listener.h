#pragma once
// Listening for the meter on an open port: the listen ends once more than one byte is
// waiting, or once more than its time has passed. Nothing polls meanwhile: a notifier
// on the port's descriptor and a timer wake the listener, and the window's events run.

#include <QSocketNotifier>
#include <QTimer>
#include <functional>

#include "clock.h"
#include "serial_library.h"

namespace quillon {

class PortListener {
  public:
    PortListener(SerialLibrary& library, const Clock& clock);
    PortListener(const PortListener&) = delete;
    PortListener& operator=(const PortListener&) = delete;

    // Starts listening on an open port for `ms` (a listen under way is forgotten).
    void start(int port, qint64 ms);
    // Forgets the listen and its verdict.
    void stop();
    bool started() const { return state_ != State::Idle; }
    // Looks at the port now: true once the listen is over; heard() gives the verdict.
    bool over();
    bool heard() const { return state_ == State::Heard; }

    // Runs from the event loop when a listen has just come to its end. The verdict is
    // taken at that moment, so it holds however late its owner gets round to it.
    std::function<void()> onEnded;

  private:
    enum class State { Idle, Listening, Heard, NotHeard };
    void wake(bool byInput);
    void end(State verdict);
    qint64 msLeft() const;

    SerialLibrary& lib_;
    const Clock& clock_;
    QTimer timer_;
    QSocketNotifier notifier_{QSocketNotifier::Read};
    bool watching_ = false;  // the port has a descriptor the notifier watches
    State state_ = State::Idle;
    int port_ = 0;
    qint64 ms_ = 0;
    qint64 start_ = 0;
};

}  // namespace quillon
