#include "capture_serial_library.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <chrono>
#include <cstdio>

namespace quillon {
namespace {

qint64 SteadyMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CaptureSerialLibrary::CaptureSerialLibrary(SerialLibrary& line, const QString& path,
                                           MicrosecondClock clock)
    : line_(line), path_(path), clock_(clock ? std::move(clock) : SteadyMicroseconds) {
    startUs_ = clock_();
    fd_ =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error_ = path_ + ": " + QString::fromLocal8Bit(strerror(errno));
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    writeLine("# QUILLON serial capture 1\n# started " +
              now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs).toUtf8() + "\n");
}

CaptureSerialLibrary::~CaptureSerialLibrary() {
    if (fd_ >= 0) ::close(fd_);
}

QByteArray CaptureSerialLibrary::timeText() const {
    const qint64 us = qMax<qint64>(0, clock_() - startUs_);
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(us / 1000000),
                  static_cast<long long>(us % 1000000));
    return text;
}

void CaptureSerialLibrary::writeLine(const QByteArray& line) {
    if (fd_ < 0) return;
    qint64 done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_, line.constData() + done, size_t(line.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // A full disk or a vanished file: the capture ends here, the recording goes on.
        error_ = path_ + ": " + QString::fromLocal8Bit(strerror(n < 0 ? errno : EIO));
        ::close(fd_);
        fd_ = -1;
        std::fprintf(stderr, "capture stopped: %s\n", qPrintable(error_));
        return;
    }
}

void CaptureSerialLibrary::writeBytes(const char* bytes, int count) {
    if (fd_ < 0 || count <= 0) return;
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray line = timeText();
    line.reserve(line.size() + 3 * count + 1);
    for (int i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 15];
    }
    line += '\n';
    writeLine(line);
}

void CaptureSerialLibrary::writeNote(const QString& text) {
    if (fd_ < 0) return;
    writeLine("# " + timeText() + ' ' + text.toUtf8() + '\n');
}

int CaptureSerialLibrary::sio_open(int port) {
    const int result = line_.sio_open(port);
    if (result == SIO_OK) writeNote(QStringLiteral("COM%1 opened").arg(port));
    return result;
}

int CaptureSerialLibrary::sio_close(int port) {
    const int result = line_.sio_close(port);
    if (result == SIO_OK) writeNote(QStringLiteral("COM%1 closed").arg(port));
    return result;
}

int CaptureSerialLibrary::sio_ioctl(int port, int baud, int mode) {
    return line_.sio_ioctl(port, baud, mode);
}

int CaptureSerialLibrary::sio_flowctrl(int port, int mask) {
    return line_.sio_flowctrl(port, mask);
}

int CaptureSerialLibrary::sio_DTR(int port, int on) { return line_.sio_DTR(port, on); }

int CaptureSerialLibrary::sio_RTS(int port, int on) { return line_.sio_RTS(port, on); }

int CaptureSerialLibrary::sio_iqueue(int port) { return line_.sio_iqueue(port); }

int CaptureSerialLibrary::sio_getch(int port) {
    const int result = line_.sio_getch(port);
    if (result >= 0) {
        const char byte = char(result);
        writeBytes(&byte, 1);
    }
    return result;
}

int CaptureSerialLibrary::sio_read(int port, char* buffer, int len) {
    const int result = line_.sio_read(port, buffer, len);
    if (result > 0) writeBytes(buffer, result);
    return result;
}

int CaptureSerialLibrary::sio_AbortRead(int port) { return line_.sio_AbortRead(port); }

QString CaptureSerialLibrary::openFailureReason(int port) const {
    return line_.openFailureReason(port);
}

}  // namespace quillon
