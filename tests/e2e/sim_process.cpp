#include "sim_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace quillon::testing {

bool RunUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    for (t.start(); !done() && t.elapsed() < ms; QThread::msleep(5))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QString SimProcess::program() {
    const QString fromEnv = qEnvironmentVariable("QUILLON_SIM");
    return fromEnv.isEmpty() ? QCoreApplication::applicationDirPath() + "/quillon-meter-sim"
                             : fromEnv;
}

bool SimProcess::start() {
    if (!QFileInfo(program()).isExecutable()) {
        error_ = "simulator not found at " + program();
        return false;
    }
    process_.start(program(), QStringList{linkPath()} + args_);
    if (!process_.waitForStarted(5000))
        error_ = "simulator did not start: " + process_.errorString();
    else if (!waitForReady(5000))
        error_ = "simulator did not report ready";
    return error_.isEmpty();
}

bool SimProcess::waitForReady(int timeoutMs) {
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired();) {
        while (process_.canReadLine())
            if (process_.readLine().startsWith("ready ")) return true;
        if (process_.state() == QProcess::NotRunning) return false;
        process_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return false;
}

bool SimProcess::stop(int timeoutMs) {
    if (process_.state() == QProcess::NotRunning) return true;
    process_.terminate();
    if (process_.waitForFinished(timeoutMs)) return true;
    process_.kill();
    process_.waitForFinished(2000);
    return false;
}

}  // namespace quillon::testing
