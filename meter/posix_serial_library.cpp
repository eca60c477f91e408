#include "posix_serial_library.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace quillon {
namespace {

constexpr int kBaud9600 = 12;  // the library's code for 9600 baud
// Bytes read from the device at a time: one system call brings several seconds of a
// 9600 baud line.
constexpr int kReadAhead = 4096;

QString OpenErrorText(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return QStringLiteral("permission denied (join the dialout group)");
        case EBUSY:
            return QStringLiteral("in use by another program");
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return QStringLiteral("no such device");
        default:
            return QString::fromLocal8Bit(strerror(err));
    }
}

// Modem-control requests a pseudo-terminal cannot do fail with these; the line is as
// good as set.
bool NotSupportedByDevice(int err) { return err == ENOTTY || err == EINVAL; }

bool HungUp(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL));
}

}  // namespace

PosixSerialLibrary::PosixSerialLibrary(PortTable ports)
    : PosixSerialLibrary(std::move(ports), qEnvironmentVariableIsSet("QUILLON_PORTS")
                                               ? std::function<PortTable()>()
                                               : &PortTable::detect) {}

PosixSerialLibrary::PosixSerialLibrary(PortTable ports, std::function<PortTable()> detect)
    : ports_(std::move(ports)), detect_(std::move(detect)) {}

void PosixSerialLibrary::refreshPorts() {
    if (detect_ && open_.isEmpty()) ports_ = detect_();
}

PosixSerialLibrary::~PosixSerialLibrary() {
    for (const OpenPort& p : std::as_const(open_)) ::close(p.fd);
}

PosixSerialLibrary::OpenPort* PosixSerialLibrary::find(int port) {
    auto it = open_.find(port);
    return it == open_.end() ? nullptr : &it.value();
}

int PosixSerialLibrary::sio_open(int port) {
    // Already open here counts as occupied, which the reopen logic relies on. A port
    // whose device went away is closed instead and opened afresh: kept open, it would
    // hold the dead device for good, and a device that comes back (adapter plugged in
    // again, simulator restarted) could never be opened.
    if (OpenPort* p = find(port)) {
        if (!p->hungUp && !HungUp(p->fd)) {
            failure_[port] = QStringLiteral("already open");
            return SIO_OPEN_FAIL;
        }
        sio_close(port);
    }
    const QString path = ports_.device(port);
    if (path.isEmpty()) {
        failure_[port] = QStringLiteral("no such port");
        return SIO_OPEN_FAIL;
    }
    const QByteArray local = path.toLocal8Bit();
    const int fd = ::open(local.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        failure_[port] = OpenErrorText(err);
        return (err == EBUSY || err == ENOENT || err == ENODEV || err == ENXIO) ? SIO_OPEN_FAIL
                                                                                : SIO_WIN32FAIL;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        failure_[port] = QStringLiteral("not a serial device");
        return SIO_WIN32FAIL;
    }
    // TIOCEXCL keeps other programs out, but not a privileged one; the advisory lock
    // also catches a second program that plays by the same rules.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        failure_[port] = OpenErrorText(EBUSY);
        return SIO_OPEN_FAIL;
    }
    OpenPort opened;
    opened.fd = fd;
    open_.insert(port, opened);
    failure_.remove(port);
    return SIO_OK;
}

int PosixSerialLibrary::sio_close(int port) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    ::ioctl(p->fd, TIOCNXCL);
    ::close(p->fd);
    open_.remove(port);
    return SIO_OK;
}

int PosixSerialLibrary::sio_ioctl(int port, int baud, int mode) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    if (baud != kBaud9600) return SIO_BADPARM;
    termios tio{};
    if (::tcgetattr(p->fd, &tio) != 0) return SIO_WIN32FAIL;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    static const tcflag_t kDataBits[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kDataBits[mode & 3] | CLOCAL | CREAD;
    if (mode & 4) tio.c_cflag |= CSTOPB;
    switch (mode & 0x38) {
        case 0x00:
            break;  // none
        case 0x08:
            tio.c_cflag |= PARENB | PARODD;
            break;  // odd
        case 0x18:
            tio.c_cflag |= PARENB;
            break;  // even
        default:
            return SIO_BADPARM;
    }
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    // With VMIN 1 a non-blocking read of an empty queue fails with EAGAIN, so a read of
    // 0 bytes means end of file (hang-up).
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(p->fd, TCSANOW, &tio) != 0) return SIO_WIN32FAIL;
    return SIO_OK;
}

int PosixSerialLibrary::sio_flowctrl(int port, int mask) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    termios tio{};
    if (::tcgetattr(p->fd, &tio) != 0) return SIO_WIN32FAIL;
    const termios before = tio;
    tio.c_cflag &= ~CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF);
    if (mask & 3) tio.c_cflag |= CRTSCTS;
    if (mask & 12) tio.c_iflag |= IXON | IXOFF;
    // Already so (the line set up moments before): spare the driver a change.
    if (tio.c_cflag == before.c_cflag && tio.c_iflag == before.c_iflag) return SIO_OK;
    if (::tcsetattr(p->fd, TCSANOW, &tio) != 0) return SIO_WIN32FAIL;
    return SIO_OK;
}

int PosixSerialLibrary::setModemLine(int port, int line, int on) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    if (::ioctl(p->fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return SIO_OK;
    return NotSupportedByDevice(errno) ? SIO_OK : SIO_WIN32FAIL;
}

int PosixSerialLibrary::sio_DTR(int port, int on) { return setModemLine(port, TIOCM_DTR, on); }

int PosixSerialLibrary::sio_RTS(int port, int on) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    termios tio{};
    if (::tcgetattr(p->fd, &tio) == 0 && (tio.c_cflag & CRTSCTS)) return SIO_RTS_BY_HW;
    return setModemLine(port, TIOCM_RTS, on);
}

int PosixSerialLibrary::sio_iqueue(int port) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    int waiting = 0;
    if (!p->hungUp && ::ioctl(p->fd, FIONREAD, &waiting) != 0) p->hungUp = true;
    // Nothing waiting: find out whether the device is still there.
    if (!p->hungUp && waiting <= 0) p->hungUp = HungUp(p->fd);
    if (p->hungUp) {
        dropAhead(*p);  // what came before the hang-up is no reading any more
        return 0;
    }
    return p->buffered() + waiting;
}

int PosixSerialLibrary::readSome(OpenPort& p, char* buffer, int len) {
    if (p.hungUp) return 0;
    int total = 0;
    while (total < len) {
        const ssize_t n = ::read(p.fd, buffer + total, size_t(len - total));
        if (n > 0) {
            total += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EIO) p.hungUp = true;
        if (n == 0) p.hungUp = HungUp(p.fd);
        break;  // EAGAIN: nothing more for now
    }
    return total;
}

void PosixSerialLibrary::dropAhead(OpenPort& p) {
    p.ahead.clear();
    p.aheadPos = 0;
}

bool PosixSerialLibrary::fillAhead(OpenPort& p) {
    if (p.hungUp) dropAhead(p);
    if (p.buffered() > 0) return true;
    p.ahead.resize(kReadAhead);
    p.aheadPos = 0;
    p.ahead.resize(readSome(p, p.ahead.data(), kReadAhead));
    return !p.ahead.isEmpty();
}

int PosixSerialLibrary::sio_getch(int port) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    if (!fillAhead(*p)) return SIO_NODATA;
    return static_cast<unsigned char>(p->ahead.at(p->aheadPos++));
}

int PosixSerialLibrary::sio_read(int port, char* buffer, int len) {
    OpenPort* p = find(port);
    if (!p) return SIO_BADPORT;
    if (!buffer || len < 0) return SIO_BADPARM;
    if (p->hungUp) dropAhead(*p);
    const int fromAhead = qMin(len, p->buffered());
    if (fromAhead > 0) std::memcpy(buffer, p->ahead.constData() + p->aheadPos, size_t(fromAhead));
    p->aheadPos += fromAhead;
    return fromAhead + readSome(*p, buffer + fromAhead, len - fromAhead);
}

int PosixSerialLibrary::sio_AbortRead(int port) {
    // Reads never block here, so there is never a read to abort.
    return find(port) ? SIO_OK : SIO_BADPORT;
}

QString PosixSerialLibrary::openFailureReason(int port) const { return failure_.value(port); }

int PosixSerialLibrary::descriptor(int port) const {
    const auto it = open_.constFind(port);
    return it == open_.constEnd() ? -1 : it->fd;
}

}  // namespace quillon
