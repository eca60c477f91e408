// Targets: quillon-record's work for one poll that decodes a frame and takes a record
// (journal line, statistics, printed line) stays far below what 0.5 % of a core allows
// at two polls a second (25 ms a poll), and its memory stays flat over 20000 records (two
// full recordings, the second in run_2.csv): the resident size after 20000 records is
// the one after 10000.
//
// The meter is scripted and the clock moved by hand, so the figure is the program's own
// work; journal and reports go into a folder under the working directory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "headless_recording.h"
#include "meter_frames.h"

namespace quillon {
namespace {

constexpr int kRecords = 20000;

// A meter on COM1 with the frame of this poll waiting, and nothing kept after it is read.
class SteadyMeter final : public SerialLibrary {
  public:
    void send(const QByteArray& frame) {
        waiting_ = frame;
        read_ = 0;
    }
    int sio_open(int) override { return SIO_OK; }
    int sio_close(int) override { return SIO_OK; }
    int sio_ioctl(int, int, int) override { return SIO_OK; }
    int sio_flowctrl(int, int) override { return SIO_OK; }
    int sio_DTR(int, int) override { return SIO_OK; }
    int sio_RTS(int, int) override { return SIO_OK; }
    int sio_iqueue(int) override { return int(waiting_.size()) - read_; }
    int sio_getch(int) override {
        if (read_ >= waiting_.size()) return SIO_NODATA;
        return static_cast<unsigned char>(waiting_[read_++]);
    }
    int sio_read(int, char* buffer, int len) override {
        const int n = qMin(len, sio_iqueue(1));
        std::copy_n(waiting_.constData() + read_, n, buffer);
        read_ += n;
        return n;
    }
    int sio_AbortRead(int) override { return SIO_OK; }
    PortTable ports() const override { return PortTable(QStringList{"/dev/scripted"}); }

  private:
    QByteArray waiting_;
    int read_ = 0;
};

long ResidentKb() {
    long pages = 0, resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_RecordEveryPoll(benchmark::State& state) {
    QTemporaryDir dir(QDir::currentPath() + "/record-bench-XXXXXX");
    SettingsStore store(dir.filePath("regtest.ini"));
    store.WriteSetting("Sav_Drv", dir.filePath("reports") + "/");
    store.WriteSetting("Mav", "111");
    FakeClock clock;
    SteadyMeter serial;
    const PortTable ports(QStringList{"/dev/scripted"});
    RecordOptions options;
    options.port = "/dev/scripted";
    options.intervalMs = 0;  // a record at every poll
    options.out = dir.filePath("reports/run.csv");
    FILE* sink = std::fopen("/dev/null", "w");
    HeadlessRecording recording(options, serial, ports, clock, sink, sink,
                                dir.filePath("journals"));
    if (recording.prepare(store)) {
        state.SkipWithError("the report folder takes no files");
        return;
    }
    int poll = 0;
    for (auto _ : state) {
        // A walk of counts, so the statistics keep changing.
        serial.send(test::EncodeFrame({2, 0x31, 1000 + (poll * 37) % 2000}));
        clock.advance(500);
        recording.tick();
        // The same moments of the first and the second recording: records 5000 and 9999.
        const int taken = poll++;
        if (taken % Recorder::kMaxRecords == 5000 || taken % Recorder::kMaxRecords == 9999)
            state.counters["rss_kB_at_" + std::to_string(taken)] = double(ResidentKb());
    }
    recording.requestEnd();
    if (recording.reportsWritten().size() != 2) state.SkipWithError("expected two reports");
    std::fclose(sink);
}
// One poll finds the meter and starts, then 20000 polls take 20000 records; the 200 ms
// pause at each record limit is part of the time.
BENCHMARK(BM_RecordEveryPoll)->Iterations(kRecords + 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillon

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
