#include "sim_player.h"

#include <algorithm>
#include <cmath>

#include "meter_ranges.h"

namespace quillon::metersim {

namespace {
constexpr double kPi = 3.14159265358979323846;
// Random bytes offered per frame slot of a flood: more than any reader takes, so the
// line stays full.
constexpr std::size_t kFloodBytesPerSlot = 32 * 1024;
constexpr std::uint8_t kSyncByte = 0xF0;
}  // namespace

Player::Player(std::vector<Command> commands, double rate, std::uint32_t seed)
    : commands_(std::move(commands)), rate_(rate), noise_(seed) {}

Output Player::next() {
    if (!advanceToOutput()) return frameOutput("frame");
    Output out = outputOfCurrent();
    ++step_;
    if (!out.bytes.empty() || out.slotSeconds > 0 || out.reopenSeconds > 0) passTookTime_ = true;
    return out;
}

bool Player::advanceToOutput() {
    while (index_ < commands_.size()) {
        const Command& c = commands_[index_];
        const double arg = c.numbers.empty() ? 0 : c.numbers[0];
        switch (c.op) {
            case Op::Rate:
                rate_ = arg;
                break;
            case Op::Function:
                fields_.function = static_cast<std::uint8_t>(arg);
                break;
            case Op::Range:
                fields_.rangeByte = RangeByte(static_cast<int>(arg));
                break;
            case Op::RangeByte:
                fields_.rangeByte = static_cast<std::uint8_t>(arg);
                break;
            case Op::Value:
                setValue(arg, c.negative);
                break;
            case Op::Count:
                fields_.count = static_cast<std::uint32_t>(arg);
                fields_.negative = c.negative;
                fields_.overload = false;
                break;
            case Op::Overload:
                fields_.overload = true;
                fields_.negative = c.negative;
                break;
            case Op::Seed:
                noise_.seed(static_cast<std::uint32_t>(arg));
                break;
            case Op::Loop:
                // A pass that neither sends nor waits ("silence 0", "hangup 0") would
                // loop for ever without a pause.
                if (passTookTime_) {
                    index_ = 0;
                    step_ = 0;
                    passTookTime_ = false;
                    continue;
                }
                break;
            default:
                if (step_ < outputCountOfCurrent()) return true;
                break;
        }
        ++index_;
        step_ = 0;
    }
    return false;
}

std::size_t Player::framesFor(double seconds) const {
    return static_cast<std::size_t>(std::llround(seconds * rate_));
}

std::size_t Player::outputCountOfCurrent() const {
    const Command& c = commands_[index_];
    switch (c.op) {
        case Op::Send:
            return static_cast<std::size_t>(c.numbers[0]);
        case Op::Hold:
            return framesFor(c.numbers[0]);
        case Op::Sine:
            return framesFor(c.numbers[3]);
        case Op::Ramp:
            return framesFor(c.numbers[2]);
        case Op::Flood:
            return std::max<std::size_t>(1, framesFor(c.numbers[0]));
        case Op::Steps: {
            const auto count = static_cast<std::size_t>(
                std::floor((c.numbers[1] - c.numbers[0]) / c.numbers[2] + 1e-9) + 1);
            return count * std::max<std::size_t>(1, framesFor(c.numbers[3]));
        }
        default:
            return 1;  // noise, bytes, torn, silence, hangup
    }
}

Output Player::outputOfCurrent() {
    const Command& c = commands_[index_];
    const std::vector<double>& n = c.numbers;
    Output out;
    switch (c.op) {
        case Op::Send:
        case Op::Hold:
            return frameOutput("frame");
        case Op::Sine: {
            const double t = static_cast<double>(step_) / rate_;
            setValue(n[0] + n[1] * std::sin(2 * kPi * t / n[2]), false);
            return frameOutput("sine");
        }
        case Op::Ramp: {
            const std::size_t frames = outputCountOfCurrent();
            const double share = frames < 2 ? 1.0 : static_cast<double>(step_) / (frames - 1);
            setValue(n[0] + (n[1] - n[0]) * share, false);
            return frameOutput("ramp");
        }
        case Op::Steps: {
            const std::size_t perStep = std::max<std::size_t>(1, framesFor(n[3]));
            setValue(n[0] + n[2] * static_cast<double>(step_ / perStep), false);
            return frameOutput("step");
        }
        case Op::Torn: {
            const Frame frame = EncodeFrame(fields_);
            out.bytes.assign(frame.begin(), frame.begin() + static_cast<int>(n[0]));
            out.slotSeconds = 1 / rate_;
            out.description = "torn frame " + HexText(out.bytes.data(), out.bytes.size());
            return out;
        }
        case Op::Noise: {
            std::uniform_int_distribution<int> byte(0, 254);
            for (int i = 0; i < static_cast<int>(n[0]); ++i) {
                const int b = byte(noise_);
                out.bytes.push_back(
                    static_cast<std::uint8_t>(b >= 0xF0 ? b + 1 : b));  // never a sync byte
            }
            out.description = "noise, " + std::to_string(out.bytes.size()) + " bytes";
            return out;
        }
        case Op::Flood:
            return floodOutput(c);
        case Op::Bytes:
            out.bytes = c.bytes;
            out.description = "bytes " + HexText(out.bytes.data(), out.bytes.size());
            return out;
        case Op::Silence:
            out.slotSeconds = n[0];
            out.description = "silence";
            return out;
        case Op::Hangup:
            out.kind = Output::Hangup;
            out.reopenSeconds = n.empty() ? -1 : n[0];
            out.description = "hang-up";
            return out;
        default:
            return frameOutput("frame");
    }
}

void Player::setValue(double value, bool negativeText) {
    const auto range = FindRange(fields_.function, fields_.rangeByte & 0x0F);
    const Count count = CountForValue(value, range ? range->decimals : 0, negativeText);
    fields_.count = count.count;
    fields_.negative = count.negative;
    fields_.overload = count.overload;
}

Output Player::frameOutput(const std::string& what) const {
    Output out;
    const Frame frame = EncodeFrame(fields_);
    out.bytes.assign(frame.begin(), frame.end());
    out.slotSeconds = 1 / rate_;
    out.description = what + " " + HexText(frame.data(), frame.size()) + "  " + readingText();
    return out;
}

Output Player::floodOutput(const Command& c) {
    // The frame first, so it is on the line before the noise fills it.
    Output out = frameOutput("flood");
    const bool shared = c.numbers.size() > 1;
    std::bernoulli_distribution sync(shared ? c.numbers[1] : 0.0);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> other(0, 254);
    for (std::size_t i = 0; i < kFloodBytesPerSlot; ++i) {
        if (!shared) {
            out.bytes.push_back(static_cast<std::uint8_t>(any(noise_)));
        } else if (sync(noise_)) {
            out.bytes.push_back(kSyncByte);
        } else {
            const int b = other(noise_);
            out.bytes.push_back(static_cast<std::uint8_t>(b >= kSyncByte ? b + 1 : b));
        }
    }
    out.unpaced = true;
    out.description = "flood, " + out.description;
    return out;
}

std::string Player::readingText() const {
    const int range = fields_.rangeByte & 0x0F;
    std::string text = FunctionLabel(fields_.function) + " range " + std::to_string(range) + ": ";
    if (fields_.overload) return text + (fields_.negative ? "-OL" : "OL");
    const auto info = FindRange(fields_.function, range);
    if (!info)
        return text + "count " + (fields_.negative ? "-" : "") + std::to_string(fields_.count);
    return text + DisplayText(fields_.count, fields_.negative, info->decimals) + " " + info->unit;
}

}  // namespace quillon::metersim
