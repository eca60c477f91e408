#pragma once
// The built meter simulator as a separate process, its link in a private temporary folder.

#include <QProcess>
#include <QTemporaryDir>
#include <functional>

namespace quillon::testing {

// Lets events run until `done` holds or `ms` have passed; returns `done()`.
bool RunUntil(const std::function<bool()>& done, int ms);

class SimProcess {
  public:
    // args: the simulator's options after the link path (e.g. {"-e", "func dcv; ..."}).
    explicit SimProcess(QStringList args) : args_(std::move(args)) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~SimProcess() { stop(2000); }

    // Starts it and waits for its "ready" line; false (the reason in error()) when it fails.
    bool start();
    // Asks it to stop (SIGTERM) and waits for it; false when it had to be killed.
    bool stop(int timeoutMs = 5000);
    bool waitForExit(int timeoutMs) {
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
    }

    QString linkPath() const { return folder_.path() + "/ttyMETER"; }
    QString error() const { return error_; }
    QProcess& process() { return process_; }

    // The simulator program: $QUILLON_SIM, else beside the test program.
    static QString program();

  private:
    bool waitForReady(int timeoutMs);
    QTemporaryDir folder_;
    QStringList args_;
    QProcess process_;
    QString error_;
};

}  // namespace quillon::testing
