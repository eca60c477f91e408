#pragma once
// The simulator's own reader of QUILLON's raw capture files (the program's
// `--capture FILE`), so that a captured line can be played back:
//
//   # QUILLON serial capture 1              lines starting with "#" are notes
//   0.501234 F0                             seconds since the start, then the bytes
//   0.501240 11 02 31 30 30 30 30 00 05     of one read in hexadecimal
//
// It knows nothing of frames: the bytes are played as they were received. Reads are
// taken one at a time, so a capture of many hours is never held in memory.

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace quillon::metersim {

struct CapturedRead {
    double seconds = 0;               // since the start of the capture
    std::vector<std::uint8_t> bytes;  // at least one
};

class CaptureReader {
  public:
    explicit CaptureReader(std::istream& in) : in_(in) {}

    // The next read of the capture; false at its end or at a bad line (then error()
    // says which and why). A last line without its line end that cannot be read (a
    // capture cut off mid-write) ends the capture quietly.
    bool next(CapturedRead* read);
    // "line N: why", or "" while every line was good.
    const std::string& error() const { return error_; }

  private:
    std::istream& in_;
    int lineNumber_ = 0;
    double lastSeconds_ = 0;
    std::string error_;
};

struct CaptureSummary {
    long reads = 0;
    long bytes = 0;
    double seconds = 0;  // from the first read to the last
    std::string error;   // as CaptureReader::error()
};

// Reads a whole capture to check it.
CaptureSummary SummarizeCapture(std::istream& in);

}  // namespace quillon::metersim
