#include "meter_link.h"

#include <QCoreApplication>

#include "flag_scope.h"
#include "posix_serial_library.h"
#include "show_port_error.h"

namespace quillon {
namespace {

constexpr int kHighestComNumber = 256;
constexpr int kScanPasses = 2;
constexpr int kConfiguredPortTries = 3;
constexpr qint64 kListenMs = 100;
constexpr qint64 kReopenListenMs = 500;

PortTable TableOf(const SerialLibrary& library) {
    if (auto* posix = dynamic_cast<const PosixSerialLibrary*>(&library)) return posix->ports();
    return PortTable::fromEnvironment();
}

}  // namespace

MeterLink::MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes,
                     const PortTable& ports)
    : s_(session), lib_(library), clock_(clock), boxes_(boxes), ports_(ports) {}

MeterLink::MeterLink(Session& session, SerialLibrary& library, Clock& clock, MessageBoxes& boxes)
    : s_(session),
      lib_(library),
      clock_(clock),
      boxes_(boxes),
      ownPorts_(TableOf(library)),
      ports_(ownPorts_) {}

void MeterLink::fillPortSettings(int port) {
    s_.link.portSettings = PortSettings{};
    s_.link.portSettings.port = port;
}

void MeterLink::processEventsThenIdle() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    if (idle_) idle_();
}

bool MeterLink::meterHeard(int port, qint64 ms, bool processEvents) {
    const IdleFn idle = processEvents ? IdleFn([this] { processEventsThenIdle(); }) : idle_;
    PollUntil(
        clock_, ms, TimeLimit::MoreThan, [&] { return lib_.sio_iqueue(port) > 1; }, idle);
    return lib_.sio_iqueue(port) > 1;
}

void MeterLink::showLinkState() {
    s_.readout.indicator[kIndRS232] = s_.link.LinkOn;
    s_.readout.indicator[kIndWait] = !s_.link.LinkOn;
}

void MeterLink::linkFound(int port) {
    s_.link.FoundPort = port;
    s_.link.LinkOn = true;
    showLinkState();
}

bool MeterLink::openAndListen(int port, bool processEvents) {
    LinkState& link = s_.link;
    link.PortResult = lib_.sio_open(port);
    if (link.PortResult == SIO_OK && ConfigurePort() && meterHeard(port, kListenMs, processEvents))
        return true;
    link.PortResult = lib_.sio_close(port);
    return false;
}

void MeterLink::FindMeterPort() {
    if (s_.link.LinkOn || attemptRunning_) return;
    FlagScope scope(attemptRunning_);
    LinkState& link = s_.link;
    fillPortSettings(1);
    // Devices come and go (a USB adapter plugged in after start-up): scan what is there.
    if (auto* posix = dynamic_cast<PosixSerialLibrary*>(&lib_)) {
        posix->refreshPorts();
        if (&ports_ == &ownPorts_) ownPorts_ = posix->ports();
    }

    if (s_.settings.autoScan == 0) {
        // Only the COM numbers that have a device; the scan's waits let no events run.
        const int last = qMin(ports_.count(), kHighestComNumber);
        for (int pass = 0; pass < kScanPasses; ++pass) {
            for (int p = 1; p <= last; ++p) {
                link.portSettings.port = p;
                if (openAndListen(p, false)) {
                    linkFound(p);
                    return;
                }
            }
        }
        if (last > 0) link.PortResult = lib_.sio_close(last);
        return;
    }

    const int p = s_.settings.comp;
    link.portSettings.port = p;
    for (int attempt = 0; attempt < kConfiguredPortTries; ++attempt) {
        if (openAndListen(p, true)) {
            linkFound(p);
            return;
        }
    }
    link.PortResult = lib_.sio_close(p);
}

void MeterLink::ReopenMeterPort() {
    if (attemptRunning_) return;
    FlagScope scope(attemptRunning_);
    LinkState& link = s_.link;
    fillPortSettings(link.FoundPort);
    const int port = link.portSettings.port;
    link.PortResult = lib_.sio_open(port);
    // -5 includes a port still open from before: listen without configuring again.
    if (link.PortResult == SIO_OK && !ConfigurePort()) {
        link.LinkOn = false;
        return;
    }
    if (link.PortResult != SIO_OK && link.PortResult != SIO_OPEN_FAIL) {
        link.LinkOn = false;
        return;
    }
    link.LinkOn = meterHeard(port, kReopenListenMs, true);
    if (link.LinkOn) showLinkState();
}

bool MeterLink::ConfigurePort() {
    LinkState& link = s_.link;
    const PortSettings& ps = link.portSettings;
    auto step = [&](const char* name, int result) {
        link.PortResult = result;
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

void MeterLink::mnlinkon_Click() {
    s_.rec.RunState = kRunIdle;
    if (s_.link.FoundPort == 0)
        FindMeterPort();
    else
        ReopenMeterPort();
    showLinkState();
}

void MeterLink::mnlinkoff_Click() {
    Call(s_.hooks.mnstop_Click);
    s_.controls.setChecked(QStringLiteral("mnlinkoff"), true);
    s_.controls.setChecked(QStringLiteral("mnlinkon"), false);
    s_.link.PortResult = lib_.sio_close(s_.link.portSettings.port);
    s_.link.LinkOn = false;
    showLinkState();
}

void MeterLink::WaitMs(qint64 ms) {
    PollUntil(clock_, ms, TimeLimit::AtLeast, nullptr, [this] { processEventsThenIdle(); });
}

}  // namespace quillon
