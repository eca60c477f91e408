#pragma once
// Raw capture of a meter line: a serial library that passes every call on to another one
// and writes every byte the program receives, with the time it took it, to a file. What
// went over the line is kept for a later look, or for playing it back with
// `quillon-meter-sim --replay`.
//
// The file is text, one line per read, each line written as soon as the bytes arrive:
//
//   # QUILLON serial capture 1
//   # started 2024-05-01T10:00:00.123+02:00
//   # 0.000210 COM1 opened
//   0.501234 F0
//   0.501240 11 02 31 30 30 30 30 00 05
//   # 21.400125 COM1 closed
//
// A data line is the time in seconds since the start (six decimals), then the bytes of one
// read as two-digit hexadecimal numbers. Lines starting with "#" are notes. The time is
// when the program took the bytes from the port, so it is as fine as the program reads.

#include <QString>
#include <functional>

#include "serial_library.h"

namespace quillon {

class CaptureSerialLibrary final : public SerialLibrary {
  public:
    // Microseconds of a monotonic clock.
    using MicrosecondClock = std::function<qint64()>;

    // Creates or empties the capture file at `path`; see isCapturing() and errorText().
    CaptureSerialLibrary(SerialLibrary& line, const QString& path, MicrosecondClock clock = {});
    ~CaptureSerialLibrary() override;
    CaptureSerialLibrary(const CaptureSerialLibrary&) = delete;
    CaptureSerialLibrary& operator=(const CaptureSerialLibrary&) = delete;

    // False once the file could not be made or written; the calls go on regardless.
    bool isCapturing() const { return fd_ >= 0; }
    // "<path>: <reason>" when capturing stopped or never started, otherwise "".
    QString errorText() const { return error_; }

    int sio_open(int port) override;
    int sio_close(int port) override;
    int sio_ioctl(int port, int baud, int mode) override;
    int sio_flowctrl(int port, int mask) override;
    int sio_DTR(int port, int on) override;
    int sio_RTS(int port, int on) override;
    int sio_iqueue(int port) override;
    int sio_getch(int port) override;
    int sio_read(int port, char* buffer, int len) override;
    int sio_AbortRead(int port) override;
    QString openFailureReason(int port) const override;
    PortTable ports() const override { return line_.ports(); }
    void refreshPorts() override { line_.refreshPorts(); }
    int descriptor(int port) const override { return line_.descriptor(port); }

  private:
    void writeBytes(const char* bytes, int count);
    void writeNote(const QString& text);
    QByteArray timeText() const;
    void writeLine(const QByteArray& line);

    SerialLibrary& line_;
    QString path_;
    MicrosecondClock clock_;
    qint64 startUs_ = 0;
    int fd_ = -1;
    QString error_;
};

}  // namespace quillon
