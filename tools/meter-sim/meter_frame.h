#pragma once
// One frame of the meter's serial protocol, built from its fields.
//
// A frame is 10 bytes: F0 11 <function> <range> <d0> <d1> <d2> <d3> <status> 05.
// The count (17 bits) travels as four ASCII hexadecimal digits, lowest nibble first
// (d0 = bits 0-3 ... d3 = bits 12-15), and its bit 16 as bit 0 of the status byte.
// Status bit 4 marks an overload, bit 5 a negative reading.

#include <array>
#include <cstdint>
#include <string>

namespace quillon::metersim {

constexpr std::uint32_t kMaxCount = 0x1FFFF;  // 131071, the largest count a frame carries
constexpr int kFrameSize = 10;

using Frame = std::array<std::uint8_t, kFrameSize>;

struct FrameFields {
    std::uint8_t function = 0;
    std::uint8_t rangeByte = '0';  // the meter sends the range index as an ASCII digit
    std::uint32_t count = 0;       // bits above bit 16 are not sent
    bool negative = false;
    bool overload = false;
};

Frame EncodeFrame(const FrameFields& fields);

// The range byte the meter sends for a range index 0..7: "0".."7" (0x30..0x37).
std::uint8_t RangeByte(int rangeIndex);

// "F0 11 02 ..." for logs and test messages.
std::string HexText(const std::uint8_t* bytes, std::size_t size);

}  // namespace quillon::metersim
