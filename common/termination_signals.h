#pragma once
// SIGTERM, SIGHUP and SIGINT handed to the event loop. The handler does nothing but
// write the signal's number into a pipe; a socket notifier reads it on the thread that
// made this object and runs the callback there, where the program may do anything.

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace quillon {

class TerminationSignals {
  public:
    // One per process. onSignal runs on the event loop for every signal that arrives.
    explicit TerminationSignals(std::function<void(int signalNumber)> onSignal);
    // Puts the previous handlers back.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool installed() const { return installed_; }

  private:
    void readPipe();

    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool installed_ = false;
};

}  // namespace quillon
