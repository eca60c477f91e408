#pragma once
// The one source of time for the whole program: a monotonic millisecond counter for
// elapsed times and the local date-time for time stamps. Tests use FakeClock and move
// it by hand, so no test waits for real time to pass.

#include <QDateTime>
#include <QElapsedTimer>
#include <QtGlobal>

namespace quillon {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start; 64-bit, never wraps, never goes back.
    virtual qint64 tickMs() const = 0;
    // The local date and time now.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
  public:
    SystemClock() { timer_.start(); }
    qint64 tickMs() const override { return timer_.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }

  private:
    QElapsedTimer timer_;
};

// A clock that stands still until a test advances it. The tick counter and the
// date-time move together.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2024, 1, 31), QTime(14, 25, 0)))
        : now_(start) {}
    qint64 tickMs() const override { return tick_; }
    QDateTime now() const override { return now_; }

    void advance(qint64 ms) {
        tick_ += ms;
        now_ = now_.addMSecs(ms);
    }
    void setNow(const QDateTime& t) { now_ = t; }  // the tick counter is left as it is

  private:
    qint64 tick_ = 1000000;
    QDateTime now_;
};

}  // namespace quillon
