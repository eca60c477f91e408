#pragma once
// Builds meter frames from the protocol's own description, without the decoder's code:
// F0 11 <function> <range> <count as four ASCII hex digits, lowest first> <status> 05,
// status bit 0 = count bit 16, bit 4 overload, bit 5 negative.

#include <QByteArray>

namespace quillon::test {

struct FrameSpec {
    int function = 2;
    int rangeByte = 0x30;
    int count = 0;
    bool negative = false;
    bool overload = false;
};

inline QByteArray EncodeFrame(const FrameSpec& f) {
    QByteArray bytes("\xF0\x11", 2);
    bytes += char(f.function);
    bytes += char(f.rangeByte);
    for (int digit = 0; digit < 4; ++digit)
        bytes += "0123456789ABCDEF"[(f.count >> (4 * digit)) & 0xF];
    bytes += char(((f.count >> 16) & 1) | (f.overload ? 0x10 : 0) | (f.negative ? 0x20 : 0));
    return bytes + char(0x05);
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b += char(v);
    return b;
}

}  // namespace quillon::test
