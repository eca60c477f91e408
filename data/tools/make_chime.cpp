// Writes the alarm chime "ding.wav": a short two-partial bell tone, 16-bit mono PCM.
//
// Usage: quillon_make_chime <output.wav>
// The sound is computed, not recorded, so the repository holds no binary audio.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 22050;
constexpr double kSeconds = 0.3;
constexpr double kPi = 3.14159265358979323846;

// A bell-like "ding": a fundamental with a softer fifth-plus-octave partial, a 4 ms
// attack (no click) and an exponential decay that has faded out at the end.
std::vector<int16_t> ChimeSamples() {
    const int count = static_cast<int>(kSampleRate * kSeconds);
    std::vector<int16_t> samples(count);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.004);
        const double decay = std::exp(-t * 14.0);
        const double fadeOut = std::min(1.0, (kSeconds - t) / 0.02);  // ends on silence
        const double tone = 0.70 * std::sin(2 * kPi * 1318.5 * t) +
                            0.25 * std::sin(2 * kPi * 1975.5 * t) * std::exp(-t * 10.0) +
                            0.05 * std::sin(2 * kPi * 2637.0 * t);
        const double value = 0.55 * tone * attack * decay * fadeOut;
        samples[i] = static_cast<int16_t>(std::lround(value * 32767.0));
    }
    return samples;
}

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

// RIFF/WAVE with one "fmt " chunk (PCM) and one "data" chunk, little endian.
std::string WaveFile(const std::vector<int16_t>& samples) {
    const uint16_t channels = 1;
    const uint16_t bits = 16;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    std::string out;
    out += "RIFF";
    PutU32(out, 36 + dataBytes);
    out += "WAVE";
    out += "fmt ";
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, channels);
    PutU32(out, kSampleRate);
    PutU32(out, kSampleRate * channels * bits / 8);
    PutU16(out, channels * bits / 8);
    PutU16(out, bits);
    out += "data";
    PutU32(out, dataBytes);
    for (int16_t s : samples) PutU16(out, static_cast<uint16_t>(s));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    const std::string bytes = WaveFile(ChimeSamples());
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
