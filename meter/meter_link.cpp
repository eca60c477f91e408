#include "meter_link.h"

#include <QCoreApplication>

#include "flag_scope.h"
#include "show_port_error.h"

namespace quillon {
namespace {

constexpr int kHighestComNumber = 256;
constexpr int kScanPasses = 2;
constexpr int kConfiguredPortTries = 3;
constexpr qint64 kListenMs = 100;
constexpr qint64 kReopenListenMs = 500;

}  // namespace

MeterLink::MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes,
                     PortTable ports)
    : MeterLink(session, library, clock, boxes) {
    fixedPorts_ = std::move(ports);
}

MeterLink::MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes)
    : s_(session), lib_(library), clock_(clock), boxes_(boxes), listener_(library, clock) {
    listener_.onEnded = [this] {
        if (!waiters_.isEmpty()) {
            waiters_.last()->quit();
        } else if (onListenEnded_) {
            onListenEnded_();
        } else {
            continueAttempt();
        }
    };
}

const PortTable& MeterLink::portTable() { return fixedPorts_ ? *fixedPorts_ : libraryPorts_; }

void MeterLink::fillPortSettings(int port) {
    s_.link.portSettings = PortSettings{};
    s_.link.portSettings.port = port;
}

void MeterLink::showLinkState() {
    s_.readout.indicator[kIndRS232] = s_.link.linkOn;
    s_.readout.indicator[kIndWait] = !s_.link.linkOn;
}

void MeterLink::linkFound(int port) {
    s_.link.foundPort = port;
    s_.link.linkOn = true;
    showLinkState();
}

void MeterLink::listenIfOpened(int port, qint64 ms) {
    LinkState& link = s_.link;
    link.lastResult = lib_.sio_open(port);
    if (link.lastResult == SIO_OK && ConfigurePort()) {
        // A Link Off inside the configuration's message box ended the attempt.
        if (attempt_) listener_.start(port, ms);
        return;
    }
    link.lastResult = lib_.sio_close(port);
}

void MeterLink::FindMeterPort() {
    if (s_.link.linkOn) return;
    if (attempt_) {
        continueAttempt();
        return;
    }
    if (stepping_) return;
    fillPortSettings(1);
    // Devices come and go (a USB adapter plugged in after start-up): scan what is there.
    lib_.refreshPorts();
    if (!fixedPorts_) libraryPorts_ = lib_.ports();

    Attempt attempt;
    if (s_.settings.autoScan == 0) {
        // Only the COM numbers that have a device.
        attempt.kind = Kind::Scan;
        attempt.last = qMin(portTable().count(), kHighestComNumber);
    } else {
        attempt.kind = Kind::ConfiguredPort;
        attempt.port = s_.settings.configuredPort;
        s_.link.portSettings.port = attempt.port;
    }
    start(attempt);
}

void MeterLink::ReopenMeterPort() {
    if (attempt_) {
        continueAttempt();
        return;
    }
    if (stepping_) return;
    fillPortSettings(s_.link.foundPort);
    Attempt attempt;
    attempt.kind = Kind::Reopen;
    attempt.port = s_.link.foundPort;
    start(attempt);
}

void MeterLink::start(Attempt attempt) {
    listener_.stop();
    attempt_ = attempt;
    continueAttempt();
}

void MeterLink::continueAttempt() {
    // A step may show a message box whose event loop wakes the link again: the step
    // under way goes on by itself.
    if (!attempt_ || stepping_) return;
    FlagScope scope(stepping_);
    while (attempt_) {
        if (!listener_.started()) {
            openNext();
        } else if (listener_.over()) {
            const bool heard = listener_.heard();
            listener_.stop();
            listenEnded(heard);
        } else {
            return;  // still listening
        }
    }
}

void MeterLink::openNext() {
    Attempt& a = *attempt_;
    LinkState& link = s_.link;
    switch (a.kind) {
        case Kind::Scan:
            if (++a.port > a.last) {
                a.port = 1;
                if (++a.pass == kScanPasses || a.last == 0) {
                    if (a.last > 0) link.lastResult = lib_.sio_close(a.last);
                    endAttempt();
                    return;
                }
            }
            link.portSettings.port = a.port;
            listenIfOpened(a.port, kListenMs);
            return;
        case Kind::ConfiguredPort:
            if (a.tries++ == kConfiguredPortTries) {
                link.lastResult = lib_.sio_close(a.port);
                endAttempt();
                return;
            }
            listenIfOpened(a.port, kListenMs);
            return;
        case Kind::Reopen:
            if (a.tries++ > 0) return endAttempt();
            link.lastResult = lib_.sio_open(a.port);
            // -5 includes a port still open from before: listen without configuring again.
            if ((link.lastResult == SIO_OK && !ConfigurePort()) ||
                (link.lastResult != SIO_OK && link.lastResult != SIO_OPEN_FAIL)) {
                link.linkOn = false;
                endAttempt();
                return;
            }
            if (attempt_) listener_.start(a.port, kReopenListenMs);
            return;
    }
}

void MeterLink::listenEnded(bool heard) {
    const Attempt a = *attempt_;
    if (a.kind == Kind::Reopen) {
        // Heard or not, the port stays open.
        s_.link.linkOn = heard;
        if (heard) showLinkState();
        endAttempt();
        return;
    }
    if (heard) {
        linkFound(a.port);
        endAttempt();
        return;
    }
    s_.link.lastResult = lib_.sio_close(a.port);
}

void MeterLink::endAttempt() {
    attempt_.reset();
    listener_.stop();
    for (QEventLoop* loop : std::as_const(waiters_)) loop->quit();
}

void MeterLink::finishAttempt() {
    // Inside a step (a message box of the attempt itself) nothing can be waited for.
    while (attempt_ && !stepping_ && QCoreApplication::instance()) {
        continueAttempt();
        if (!attempt_) break;
        QEventLoop loop;
        waiters_.append(&loop);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiters_.removeOne(&loop);
    }
}

bool MeterLink::ConfigurePort() {
    LinkState& link = s_.link;
    const PortSettings& ps = link.portSettings;
    auto step = [&](const char* name, int result) {
        link.lastResult = result;
        if (result == SIO_OK) return true;
        ShowPortError(boxes_, QString::fromLatin1(name), result);
        return false;
    };
    if (!step("sio_ioctl", lib_.sio_ioctl(ps.port, ps.baud, ps.parity | ps.dataBits | ps.stopBits)))
        return false;
    const int flowMask = (ps.hwFlow == 1 ? 3 : 0) + (ps.swFlow == 1 ? 12 : 0);
    if (!step("sio_flowctrl", lib_.sio_flowctrl(ps.port, flowMask))) return false;
    if (!step("sio_DTR", lib_.sio_DTR(ps.port, ps.dtr))) return false;
    if (ps.hwFlow == 0 && !step("sio_RTS", lib_.sio_RTS(ps.port, ps.rts))) return false;
    return true;
}

void MeterLink::linkUp() {
    s_.rec.state = kRunIdle;
    if (s_.link.foundPort == 0)
        FindMeterPort();
    else
        ReopenMeterPort();
    showLinkState();
}

void MeterLink::linkUpAndWait() {
    linkUp();
    finishAttempt();
    showLinkState();
}

void MeterLink::linkOff() {
    Call(s_.hooks.stopRecording);
    s_.controls.setChecked(Control::LinkOff, true);
    s_.controls.setChecked(Control::LinkUp, false);
    endAttempt();
    s_.link.lastResult = lib_.sio_close(s_.link.portSettings.port);
    s_.link.linkOn = false;
    showLinkState();
}

}  // namespace quillon
