#pragma once
// The meter's frame decoder. The meter streams its display as 10-byte frames:
//
//   F0 11 <function> <range> <d0> <d1> <d2> <d3> <status> 05
//
// d0..d3 are ASCII hex digits of the count (d1 d0 the low byte, d3 d2 the high byte),
// status bit 0 is count bit 16, bit 4 overload, bit 5 negative. ReadFrames decodes
// every complete frame waiting on the open port into session.reading and the live
// readout; only the last one stays visible.

#include <QString>

#include "clock.h"
#include "serial_library.h"
#include "session.h"

namespace quillon {

// "00010000" for 0x10: the 8 bits of a byte, most significant first.
QString ByteToBits(int b);
// The same text from a table of all 256 bytes, built on first use.
const QString& BitsOf(int b);
// A 32-character binary text as a signed 32-bit number (first character the sign
// bit, any character but "0" sets it); any other length gives 0.
qint32 BitsToLong(const QString& text);

// The value text of a reading: v rounded half-to-even to `decimals` places, "." as
// the decimal point, a leading "-" only when the rounded value is not zero.
QString FormatReading(float v, int decimals);

class FrameDecoder {
  public:
    // At most this many bytes are taken from the port per ReadFrames: a line flooded
    // with noise cannot hold up the window, and a 9600 baud line (under 500 bytes a
    // tick) is still read to its end on every call.
    static constexpr int kMaxBytesPerCall = 8192;
    // The rest of a frame must arrive within this time after its sync byte.
    static constexpr qint64 kFrameWaitMs = 100;

    FrameDecoder(Session& session, SerialLibrary& library, Clock& clock);

    // Decodes every complete frame waiting on session.link.portSettings.port (up to
    // kMaxBytesPerCall bytes). Never waits: a frame whose rest has not arrived yet stays
    // pending, and a later call takes it if the rest came in time, else skips it.
    void ReadFrames();
    // The alarm limit check on the value shown; sets alarmOn and the limit colours.
    void CheckLimits();
    // The clock session.link.lastFrameTick is read from.
    Clock& clock() const { return clock_; }

  private:
    // frame: bytes 1..9 of a frame whose byte 1 and byte 9 are right.
    void decode(const unsigned char* frame);
    // Takes bytes up to the next sync byte; false when the queue or the budget ran out.
    bool skipToSyncByte(int port, int& budget);

    Session& s_;
    SerialLibrary& lib_;
    Clock& clock_;
    float value_ = 0;  // signed value of the frame being decoded
    // A sync byte was taken and the rest of its frame is awaited since syncTick_.
    bool pending_ = false;
    qint64 syncTick_ = 0;
};

}  // namespace quillon
