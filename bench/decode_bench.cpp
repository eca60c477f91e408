// Decoding throughput: ReadFrames over a large backlog of queued frames (target: under
// 1 microsecond per frame in a Release build), and one call on a line flooded with
// noise, the most work a poll tick can meet (target: far under the 50 ms a window may
// be held up).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "frame_decoder.h"

namespace {

using namespace quillon;

// A port that serves a prepared byte buffer and does nothing else, so the figure is
// the decoder's own cost.
class BufferPort final : public SerialLibrary {
  public:
    QByteArray data;
    qsizetype pos = 0;

    int sio_open(int) override { return 0; }
    int sio_close(int) override { return 0; }
    int sio_ioctl(int, int, int) override { return 0; }
    int sio_flowctrl(int, int) override { return 0; }
    int sio_DTR(int, int) override { return 0; }
    int sio_RTS(int, int) override { return 0; }
    int sio_iqueue(int) override { return int(data.size() - pos); }
    int sio_getch(int) override {
        if (pos >= data.size()) return SIO_NODATA;
        return static_cast<unsigned char>(data[pos++]);
    }
    int sio_read(int, char* buffer, int len) override {
        const int n = int(qMin<qsizetype>(len, data.size() - pos));
        std::memcpy(buffer, data.constData() + pos, size_t(n));
        pos += n;
        return n;
    }
    int sio_AbortRead(int) override { return 0; }
    PortTable ports() const override { return {}; }
};

QByteArray Frame(int function, int range, int count, int status) {
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray f;
    f += char(0xF0);
    f += char(0x11);
    f += char(function);
    f += char(range);
    for (int d = 0; d < 4; ++d) f += kHex[(count >> (4 * d)) & 0xF];
    f += char(status);
    f += char(0x05);
    return f;
}

void BM_ReadFramesBacklog(benchmark::State& state) {
    const int frames = int(state.range(0));
    const bool alarm = state.range(1) != 0;
    QByteArray stream;
    for (int i = 0; i < frames; ++i)
        stream += Frame(2, 0x31, (i * 37) % 6000, (i % 3 == 0) ? 0x20 : 0x00);

    Session session;
    session.link.portSettings.port = 1;
    session.settings.alarmEnabled = alarm ? 1 : 0;
    session.settings.limitsTested = 3;
    session.settings.limitTexts = {"5", "-5"};
    BufferPort port;
    port.data = stream;
    SystemClock clock;
    FrameDecoder decoder(session, port, clock);

    for (auto _ : state) {
        port.pos = 0;
        while (port.pos < port.data.size()) decoder.ReadFrames();
        benchmark::DoNotOptimize(session.reading.valueText);
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(state.iterations()) * frames,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadFramesBacklog)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

// One call on a flooded line: random bytes, with the given percentage of sync bytes
// (0: every byte value alike), and a valid frame every 200 bytes.
void BM_ReadFramesFlood(benchmark::State& state) {
    const int syncPercent = int(state.range(0));
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> percent(0, 99);
    QByteArray stream;
    while (stream.size() < 4 * FrameDecoder::kMaxBytesPerCall) {
        for (int i = 0; i < 190; ++i)
            stream += char(syncPercent > 0 && percent(rng) < syncPercent ? 0xF0 : byte(rng));
        stream += Frame(2, 0x31, 1234, 0x00);
    }
    Session session;
    session.link.portSettings.port = 1;
    BufferPort port;
    port.data = stream;
    SystemClock clock;
    FrameDecoder decoder(session, port, clock);
    for (auto _ : state) {
        port.pos = 0;
        decoder.ReadFrames();
        benchmark::DoNotOptimize(session.reading.valueText);
    }
    state.counters["bytes_per_call"] = double(port.pos);
}
BENCHMARK(BM_ReadFramesFlood)->Arg(0)->Arg(30)->Unit(benchmark::kMicrosecond);

}  // namespace
