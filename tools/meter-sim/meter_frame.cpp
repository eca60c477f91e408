#include "meter_frame.h"

#include <cstdio>

namespace quillon::metersim {

namespace {

std::uint8_t HexDigit(std::uint32_t nibble) {
    static const char kDigits[] = "0123456789ABCDEF";
    return static_cast<std::uint8_t>(kDigits[nibble & 0xF]);
}

}  // namespace

Frame EncodeFrame(const FrameFields& fields) {
    std::uint8_t status = 0;
    if (fields.count & 0x10000) status |= 0x01;
    if (fields.overload) status |= 0x10;
    if (fields.negative) status |= 0x20;
    return Frame{0xF0,
                 0x11,
                 fields.function,
                 fields.rangeByte,
                 HexDigit(fields.count),
                 HexDigit(fields.count >> 4),
                 HexDigit(fields.count >> 8),
                 HexDigit(fields.count >> 12),
                 status,
                 0x05};
}

std::uint8_t RangeByte(int rangeIndex) {
    return static_cast<std::uint8_t>('0' + (rangeIndex & 0x0F));
}

std::string HexText(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    char cell[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(cell, sizeof cell, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += cell;
    }
    return text;
}

}  // namespace quillon::metersim
