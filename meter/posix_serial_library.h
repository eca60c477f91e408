#pragma once
// The serial library on the device files of the port table: plain termios, opened
// non-blocking and exclusively, raw 9600 8-N-1 without flow control.
//
// A device that goes away while open (cable pulled, simulator ended) is remembered as
// hung up: from then on the port reports no bytes waiting and reads return nothing,
// so the poll loop's time-out ends the link instead of the program spinning.

#include <QByteArray>
#include <QHash>
#include <functional>

#include "port_table.h"
#include "serial_library.h"

namespace quillon {

class PosixSerialLibrary final : public SerialLibrary {
  public:
    // Without QUILLON_PORTS in the environment the table follows the system's devices
    // (see refreshPorts); with it, the table stays as given.
    explicit PosixSerialLibrary(PortTable ports);
    // A table that `detect` gives anew on each refreshPorts.
    PosixSerialLibrary(PortTable ports, std::function<PortTable()> detect);
    ~PosixSerialLibrary() override;
    PosixSerialLibrary(const PosixSerialLibrary&) = delete;
    PosixSerialLibrary& operator=(const PosixSerialLibrary&) = delete;

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

    PortTable ports() const override { return ports_; }
    // Reads the table again, when it follows the system and no port is open (an open
    // port keeps its COM number): an adapter plugged in after start-up gets scanned.
    void refreshPorts() override;
    int descriptor(int port) const override;

  private:
    // Input is read from the device in blocks into `ahead` and handed out from there, so
    // taking bytes one at a time costs no system call each.
    struct OpenPort {
        int fd = -1;
        bool hungUp = false;
        QByteArray ahead;
        int aheadPos = 0;
        int buffered() const { return int(ahead.size()) - aheadPos; }
    };
    OpenPort* find(int port);
    int setModemLine(int port, int line, int on);
    // Reads without blocking; marks the port hung up on end of file or EIO.
    int readSome(OpenPort& p, char* buffer, int len);
    // Refills the read-ahead block once it is used up; false when nothing came.
    bool fillAhead(OpenPort& p);
    static void dropAhead(OpenPort& p);

    PortTable ports_;
    std::function<PortTable()> detect_;
    QHash<int, OpenPort> open_;
    QHash<int, QString> failure_;
};

}  // namespace quillon
