#include "port_listener.h"

namespace quillon {
namespace {

// After input that is not yet enough (a single byte), look again this much later: an
// unread byte keeps the descriptor readable, so the notifier would fire without pause.
constexpr qint64 kRecheckMs = 5;

}  // namespace

PortListener::PortListener(SerialLibrary& library, const Clock& clock)
    : lib_(library), clock_(clock) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { wake(false); });
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { wake(true); });
}

void PortListener::start(int port, qint64 ms) {
    stop();
    port_ = port;
    ms_ = ms;
    start_ = clock_.tickMs();
    state_ = State::Listening;
    // One notifier serves every listen: only its descriptor changes.
    const int fd = lib_.descriptor(port);
    watching_ = fd >= 0;
    if (watching_) {
        notifier_.setSocket(fd);
        notifier_.setEnabled(true);
    }
    timer_.start(int(msLeft()));
}

void PortListener::stop() {
    timer_.stop();
    notifier_.setEnabled(false);
    state_ = State::Idle;
}

qint64 PortListener::msLeft() const {
    // "More than ms": the listen is over one millisecond after its time.
    return qMax<qint64>(0, ms_ + 1 - (clock_.tickMs() - start_));
}

bool PortListener::over() {
    if (state_ == State::Listening) {
        if (lib_.sio_iqueue(port_) > 1)
            end(State::Heard);
        else if (clock_.tickMs() - start_ > ms_)
            end(State::NotHeard);
    }
    return state_ == State::Heard || state_ == State::NotHeard;
}

void PortListener::end(State verdict) {
    state_ = verdict;
    timer_.stop();
    notifier_.setEnabled(false);
}

void PortListener::wake(bool byInput) {
    if (state_ != State::Listening) return;
    if (over()) {
        if (onEnded) onEnded();
        return;
    }
    if (byInput) {
        notifier_.setEnabled(false);
        timer_.start(int(qMin(kRecheckMs, msLeft())));
    } else {
        if (watching_) notifier_.setEnabled(true);
        timer_.start(int(msLeft()));
    }
}

}  // namespace quillon
