#include "capture_file.h"

#include <cmath>
#include <locale>
#include <sstream>

namespace quillon::metersim {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One data line; "" when it is good, otherwise why not.
std::string ParseRead(const std::string& line, CapturedRead* read) {
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    std::string time;
    in >> time;
    std::istringstream number(time);
    number.imbue(std::locale::classic());
    if (!(number >> read->seconds) || !number.eof() || !std::isfinite(read->seconds) ||
        read->seconds < 0)
        return "\"" + time + "\" is not a time in seconds";
    read->bytes.clear();
    std::string byte;
    while (in >> byte) {
        const int high = byte.size() == 2 ? HexDigit(byte[0]) : -1;
        const int low = byte.size() == 2 ? HexDigit(byte[1]) : -1;
        if (high < 0 || low < 0) return "\"" + byte + "\" is not a byte in hexadecimal";
        read->bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    if (read->bytes.empty()) return "a time without bytes";
    return {};
}

}  // namespace

bool CaptureReader::next(CapturedRead* read) {
    if (!error_.empty()) return false;
    std::string line;
    while (std::getline(in_, line)) {
        ++lineNumber_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::string why = ParseRead(line, read);
        if (why.empty() && read->seconds < lastSeconds_) why = "the time goes back";
        if (!why.empty()) {
            if (in_.eof()) return false;  // the last line, cut off mid-write: the end
            error_ = "line " + std::to_string(lineNumber_) + ": " + why;
            return false;
        }
        lastSeconds_ = read->seconds;
        return true;
    }
    return false;
}

CaptureSummary SummarizeCapture(std::istream& in) {
    CaptureSummary summary;
    CaptureReader reader(in);
    CapturedRead read;
    double first = -1;
    while (reader.next(&read)) {
        if (first < 0) first = read.seconds;
        ++summary.reads;
        summary.bytes += static_cast<long>(read.bytes.size());
        summary.seconds = read.seconds - first;
    }
    summary.error = reader.error();
    return summary;
}

}  // namespace quillon::metersim
