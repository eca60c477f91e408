#include "sim_runner.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "capture_file.h"
#include "pseudo_terminal.h"

namespace quillon::metersim {

namespace {

using SteadyClock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// One start bit, eight data bits, one stop bit at 9600 baud.
constexpr Seconds kByteTime{10.0 / 9600.0};
// Late by more than this (a busy machine): start afresh instead of sending in a burst.
constexpr std::chrono::milliseconds kMaxLag{100};
constexpr std::chrono::milliseconds kStopCheck{50};
// Replays: how often the line is looked at, the longest wait for the reader to take what
// was sent, reads closer than kBurstGap belong to one go of the program, and the most a
// go is sent ahead of its captured time after a poll.
constexpr std::chrono::milliseconds kReaderCheck{2};
constexpr std::chrono::seconds kLongestReadWait{3};
constexpr std::chrono::milliseconds kSettle{10};
// A go of reads that waited longer than this for the reader was taken by a poll.
constexpr std::chrono::milliseconds kPolled{40};
constexpr double kBurstGap = 0.02;
constexpr double kMostAhead = 0.25;

// Sleeps until `when`; false when a stop was asked for meanwhile.
bool SleepUntil(SteadyClock::time_point when, const volatile std::sig_atomic_t& stop) {
    while (!stop) {
        const auto now = SteadyClock::now();
        if (now >= when) return true;
        const auto slice = std::min<SteadyClock::duration>(when - now, kStopCheck);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(slice).count();
        timespec pause{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        nanosleep(&pause, nullptr);  // a signal cuts it short, which is what we want
    }
    return false;
}

// Keeps the line full with `bytes` until `end`: a reader gets them as fast as it reads;
// what is left at the end is dropped.
void FloodUntil(PseudoTerminal& pty, const std::vector<std::uint8_t>& bytes,
                SteadyClock::time_point end, const volatile std::sig_atomic_t& stop) {
    std::size_t sent = 0;
    while (!stop && sent < bytes.size()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - SteadyClock::now());
        if (left.count() <= 0) break;
        const int waitMs =
            static_cast<int>(std::min<std::int64_t>(left.count(), kStopCheck.count()));
        sent += pty.writeSome(bytes.data() + sent, bytes.size() - sent, waitMs);
    }
    SleepUntil(end, stop);
}

class Line {
  public:
    explicit Line(const RunOptions& options) : options_(options) {}

    bool open() {
        std::string error;
        if (!pty_.open(&error) || !link_.create(options_.linkPath, pty_.slavePath(), &error)) {
            std::fprintf(stderr, "quillon-meter-sim: %s\n", error.c_str());
            pty_.close();
            return false;
        }
        std::printf("ready %s -> %s\n", options_.linkPath.c_str(), pty_.slavePath().c_str());
        std::fflush(stdout);
        return true;
    }

    // announce: "hangup" for a hang-up of the script, "stopped" at a stop request.
    void close(const char* announce) {
        link_.remove();
        pty_.close();
        std::printf("%s\n", announce);
        std::fflush(stdout);
    }

    PseudoTerminal& pty() { return pty_; }

  private:
    const RunOptions& options_;
    PseudoTerminal pty_;
    SlaveLink link_;
};

// Waits until a program holds the line; false when a stop was asked for meanwhile.
bool WaitForReader(PseudoTerminal& pty, const volatile std::sig_atomic_t& stop) {
    while (!pty.heldByReader()) {
        if (!SleepUntil(SteadyClock::now() + kReaderCheck, stop)) return false;
    }
    std::printf("playing\n");
    std::fflush(stdout);
    return true;
}

// Waits while the program holding the line has bytes left to read, at most
// kLongestReadWait; false when a stop was asked for meanwhile. *readAt is when the line
// was found read. Bytes written reach the reader's queue a moment after the write: they
// are looked for from kSettle after the last one sent.
bool WaitUntilRead(PseudoTerminal& pty, SteadyClock::time_point lastSent,
                   const volatile std::sig_atomic_t& stop, SteadyClock::time_point* readAt) {
    if (!SleepUntil(lastSent + kSettle, stop)) return false;
    const auto limit = SteadyClock::now() + kLongestReadWait;
    while (pty.unreadBytes() > 0 && pty.heldByReader() && SteadyClock::now() < limit) {
        if (!SleepUntil(SteadyClock::now() + kReaderCheck, stop)) return false;
    }
    *readAt = SteadyClock::now();
    return true;
}

// Returns when the bytes went out.
SteadyClock::time_point Send(PseudoTerminal& pty, const std::vector<std::uint8_t>& bytes) {
    pty.dropUnreadBacklog();
    for (const std::uint8_t b : bytes) pty.writeByte(b);
    return SteadyClock::now();
}

SteadyClock::duration Span(double seconds) {
    return std::chrono::duration_cast<SteadyClock::duration>(Seconds(seconds));
}

}  // namespace

int RunReplay(const RunOptions& options, std::istream& capture, double speed,
              const volatile std::sig_atomic_t& stop, std::string* error) {
    CaptureReader reader(capture);
    Line line(options);
    if (!line.open()) return 1;
    CapturedRead read;
    bool going = WaitForReader(line.pty(), stop) && reader.next(&read);
    const double first = read.seconds;
    double previous = first;
    auto anchor = SteadyClock::now();  // where the capture's first read falls
    auto goSent = anchor;              // when the first read of the last go went out
    auto lastSent = anchor;
    auto readAt = anchor;
    while (going) {
        auto when = anchor + Span((read.seconds - first) / speed);
        const double gap = read.seconds - previous;
        const bool newGo = gap >= kBurstGap;
        if (newGo) {
            going = WaitUntilRead(line.pty(), lastSent, stop, &readAt);
            // A program that polls left the last go waiting: this one follows that read by
            // the captured time between the two, less a little (half of it, at most a
            // quarter of a second), so that it is there for the poll that took it then.
            if (readAt - goSent > kPolled) {
                when = readAt + Span((gap - std::min(gap / 2, kMostAhead)) / speed);
                anchor = when - Span((read.seconds - first) / speed);
            }
        }
        if (!going || !SleepUntil(when, stop)) break;
        if (options.verbose)
            std::fprintf(stderr, "%.6f %s\n", read.seconds,
                         HexText(read.bytes.data(), read.bytes.size()).c_str());
        lastSent = Send(line.pty(), read.bytes);
        if (newGo) goSent = lastSent;
        previous = read.seconds;
        going = reader.next(&read);
    }
    *error = reader.error();
    if (stop || !WaitUntilRead(line.pty(), lastSent, stop, &readAt)) {
        line.close("stopped");
        return 0;
    }
    line.close("hangup");
    return 0;
}

int RunSimulator(const RunOptions& options, Player& player,
                 const volatile std::sig_atomic_t& stop) {
    Line line(options);
    if (!line.open()) return 1;
    auto next = SteadyClock::now();
    while (!stop) {
        const Output out = player.next();
        if (options.verbose) std::fprintf(stderr, "%s\n", out.description.c_str());

        if (out.kind == Output::Hangup) {
            line.close("hangup");
            if (out.reopenSeconds < 0) return 0;
            const auto back =
                SteadyClock::now() +
                std::chrono::duration_cast<SteadyClock::duration>(Seconds(out.reopenSeconds));
            if (!SleepUntil(back, stop)) {
                std::printf("stopped\n");  // the line is already closed
                std::fflush(stdout);
                return 0;
            }
            if (!line.open()) return 1;
            next = SteadyClock::now();
            continue;
        }

        const auto now = SteadyClock::now();
        if (next < now - kMaxLag) next = now;
        const auto start = next;
        if (!SleepUntil(start, stop)) break;
        if (out.unpaced) {
            next =
                start + std::chrono::duration_cast<SteadyClock::duration>(Seconds(out.slotSeconds));
            FloodUntil(line.pty(), out.bytes, next, stop);
            continue;
        }
        line.pty().dropUnreadBacklog();
        for (std::size_t i = 0; i < out.bytes.size(); ++i) {
            if (!SleepUntil(
                    start + std::chrono::duration_cast<SteadyClock::duration>(kByteTime * i), stop))
                break;
            line.pty().writeByte(out.bytes[i]);
        }
        const Seconds lineTime = kByteTime * static_cast<double>(out.bytes.size());
        next = start + std::chrono::duration_cast<SteadyClock::duration>(
                           std::max(Seconds(out.slotSeconds), lineTime));
    }
    line.close("stopped");
    return 0;
}

}  // namespace quillon::metersim
