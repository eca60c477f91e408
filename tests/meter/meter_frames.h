#pragma once
// Builds meter frames for the tests from the protocol's own description, without the
// decoder's code: F0 11 <function> <range> <four ASCII hex digits of the count, lowest
// digit first> <status> 05, status bit 0 = count bit 16, bit 4 overload, bit 5 negative.

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
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray bytes;
    bytes += char(0xF0);
    bytes += char(0x11);
    bytes += char(f.function);
    bytes += char(f.rangeByte);
    for (int digit = 0; digit < 4; ++digit) bytes += kHex[(f.count >> (4 * digit)) & 0xF];
    int status = (f.count >> 16) & 1;
    if (f.overload) status |= 0x10;
    if (f.negative) status |= 0x20;
    bytes += char(status);
    bytes += char(0x05);
    return bytes;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b += char(v);
    return b;
}

}  // namespace quillon::test
