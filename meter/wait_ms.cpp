#include "wait_ms.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace quillon {

void WaitMs(qint64 ms) {
    if (ms <= 0) return;
    if (!QCoreApplication::instance()) {
        QThread::msleep(ulong(ms));  // no events to run
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(int(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace quillon
