#pragma once
// The serial-port library: the ten calls the program makes, addressed by COM number
// (1 = COM1), each returning 0, a count or a byte on success and a negative code on
// failure. PosixSerialLibrary works on the device files of the port table;
// ScriptedSerialLibrary (tests) plays scripted ports from memory.

#include <QString>

#include "port_table.h"

namespace quillon {

// Result codes of the library.
enum SerialCode : int {
    SIO_OK = 0,
    SIO_BADPORT = -1,        // port number invalid or port not opened
    SIO_BADPARM_BOARD = -2,  // the board does not support this function
    SIO_NODATA = -4,         // no data to read
    SIO_OPEN_FAIL = -5,      // no such port, or port occupied by another program
    SIO_RTS_BY_HW = -6,      // RTS cannot be set under hardware flow control
    SIO_BADPARM = -7,        // bad parameter
    SIO_WIN32FAIL = -8,      // system call failed (no message shown)
    SIO_BOARDNOTSUPPORT = -9,
    SIO_ABORTWRITE = -11,
    SIO_WRITETIMEOUT = -12,
};

class SerialLibrary {
  public:
    virtual ~SerialLibrary() = default;
    virtual int sio_open(int port) = 0;
    virtual int sio_close(int port) = 0;
    // baud: 12 = 9600; mode: data bits | parity | stop bits, 3 = 8-N-1.
    virtual int sio_ioctl(int port, int baud, int mode) = 0;
    // mask: 3 hardware flow, 12 software flow, 0 none.
    virtual int sio_flowctrl(int port, int mask) = 0;
    virtual int sio_DTR(int port, int on) = 0;
    virtual int sio_RTS(int port, int on) = 0;
    // Bytes waiting in the input queue.
    virtual int sio_iqueue(int port) = 0;
    // The next received byte 0..255, or a negative code.
    virtual int sio_getch(int port) = 0;
    // Reads up to len bytes; returns the count read or a negative code.
    virtual int sio_read(int port, char* buffer, int len) = 0;
    virtual int sio_AbortRead(int port) = 0;

    // Why the last sio_open of this COM number failed, in words ("" when it did not
    // fail or the reason is unknown); the settings dialog shows it beside the port.
    virtual QString openFailureReason(int port) const {
        Q_UNUSED(port);
        return {};
    }

    // The COM numbers this library can open and their devices.
    virtual PortTable ports() const = 0;
    // Reads the table again where it follows the system's devices (an adapter plugged in
    // after start-up); a table given once stays.
    virtual void refreshPorts() {}
    // The file descriptor of an open port, so that a caller can sleep until input comes
    // (poll, a notifier) instead of asking again and again; -1 when there is none.
    virtual int descriptor(int port) const {
        Q_UNUSED(port);
        return -1;
    }
};

}  // namespace quillon
