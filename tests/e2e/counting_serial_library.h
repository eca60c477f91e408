#pragma once
// The real serial backend, counting the open attempts per COM number so that a test can
// tell a scan from a reopen of the port found before.

#include <QHash>

#include "posix_serial_library.h"

namespace quillon {

class CountingSerialLibrary final : public SerialLibrary {
  public:
    explicit CountingSerialLibrary(PortTable ports) : real_(std::move(ports)) {}

    int sio_open(int port) override {
        const int result = real_.sio_open(port);
        ++opens[port];
        if (result != SIO_OK) ++failedOpens[port];
        return result;
    }
    int sio_close(int port) override { return real_.sio_close(port); }
    int sio_ioctl(int port, int baud, int mode) override {
        return real_.sio_ioctl(port, baud, mode);
    }
    int sio_flowctrl(int port, int mask) override { return real_.sio_flowctrl(port, mask); }
    int sio_DTR(int port, int on) override { return real_.sio_DTR(port, on); }
    int sio_RTS(int port, int on) override { return real_.sio_RTS(port, on); }
    int sio_iqueue(int port) override { return real_.sio_iqueue(port); }
    int sio_getch(int port) override { return real_.sio_getch(port); }
    int sio_read(int port, char* buffer, int len) override {
        return real_.sio_read(port, buffer, len);
    }
    int sio_AbortRead(int port) override { return real_.sio_AbortRead(port); }
    PortTable ports() const override { return real_.ports(); }
    int descriptor(int port) const override { return real_.descriptor(port); }

    QHash<int, int> opens;
    QHash<int, int> failedOpens;

  private:
    PosixSerialLibrary real_;
};

}  // namespace quillon
