#include "sim_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>

#include "meter_frame.h"
#include "meter_ranges.h"

namespace quillon::metersim {

namespace {

constexpr double kMaxRate = 96;  // a 10-byte frame takes 10.4 ms at 9600 baud
constexpr double kMaxSeconds = 24 * 3600;

std::optional<double> ToNumber(std::string text) {
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Whole number in [low, high].
std::optional<double> ToWhole(const std::string& text, double low, double high) {
    const auto value = ToNumber(text);
    if (!value || *value != std::floor(*value) || *value < low || *value > high)
        return std::nullopt;
    return value;
}

// Seconds, with an optional "s": "2.5" or "2.5s".
std::optional<double> ToSeconds(std::string text) {
    if (!text.empty() && text.back() == 's') text.pop_back();
    const auto value = ToNumber(text);
    if (!value || *value < 0 || *value > kMaxSeconds) return std::nullopt;
    return value;
}

// A byte in hexadecimal, "F0" or "0xF0".
std::optional<std::uint8_t> ToHexByte(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
    if (text.empty() || text.size() > 2) return std::nullopt;
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

class LineParser {
  public:
    LineParser(int line, std::vector<std::string> words) : line_(line), words_(std::move(words)) {}

    // The command of this line, or an error text.
    std::optional<Command> parse(std::string* error);

  private:
    bool argumentCount(std::size_t low, std::size_t high);
    bool fail(const std::string& what) {
        error_ = what;
        return false;
    }
    bool number(std::size_t i, std::optional<double> value, const char* what) {
        if (!value) return fail("'" + words_[i] + "' is not " + what);
        command_.numbers.push_back(*value);
        return true;
    }
    bool parseArguments();

    int line_;
    std::vector<std::string> words_;
    Command command_;
    std::string error_;
};

bool LineParser::argumentCount(std::size_t low, std::size_t high) {
    const std::size_t given = words_.size() - 1;
    if (given >= low && given <= high) return true;
    if (low == high) return fail(words_[0] + " takes " + std::to_string(low) + " argument(s)");
    return fail(words_[0] + " takes " + std::to_string(low) + " to " + std::to_string(high) +
                " arguments");
}

std::optional<Command> LineParser::parse(std::string* error) {
    command_.line = line_;
    if (!parseArguments()) {
        *error = "line " + std::to_string(line_) + ": " + error_;
        return std::nullopt;
    }
    return command_;
}

bool LineParser::parseArguments() {
    const std::string& name = words_[0];
    const auto& w = words_;
    auto signedArgument = [&](std::size_t i) {
        command_.negative = !w[i].empty() && w[i][0] == '-';
        return command_.negative ? w[i].substr(1) : w[i];
    };

    if (name == "rate") {
        command_.op = Op::Rate;
        if (!argumentCount(1, 1)) return false;
        const auto rate = ToNumber(w[1]);
        if (!rate || *rate < 0.1 || *rate > kMaxRate)
            return fail("rate must lie between 0.1 and 96 frames per second");
        command_.numbers.push_back(*rate);
        return true;
    }
    if (name == "func" || name == "function") {
        command_.op = Op::Function;
        if (!argumentCount(1, 1)) return false;
        std::string lower = w[1];
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        const auto code = FunctionByName(lower);
        if (!code) return fail("unknown function '" + w[1] + "'");
        command_.numbers.push_back(*code);
        return true;
    }
    if (name == "range") {
        command_.op = Op::Range;
        return argumentCount(1, 1) && number(1, ToWhole(w[1], 0, 7), "a range 0..7");
    }
    if (name == "rangebyte") {
        command_.op = Op::RangeByte;
        if (!argumentCount(1, 1)) return false;
        const auto byte = ToHexByte(w[1]);
        if (!byte) return fail("'" + w[1] + "' is not a hexadecimal byte");
        command_.numbers.push_back(*byte);
        return true;
    }
    if (name == "value") {
        command_.op = Op::Value;
        if (!argumentCount(1, 1)) return false;
        const auto magnitude = ToNumber(signedArgument(1));
        if (!magnitude || *magnitude < 0) return fail("'" + w[1] + "' is not a number");
        command_.numbers.push_back(command_.negative ? -*magnitude : *magnitude);
        return true;
    }
    if (name == "count") {
        command_.op = Op::Count;
        return argumentCount(1, 1) &&
               number(1, ToWhole(signedArgument(1), 0, kMaxCount), "a count 0..131071");
    }
    if (name == "overload" || name == "ol") {
        command_.op = Op::Overload;
        if (!argumentCount(0, 1)) return false;
        if (w.size() == 2 && w[1] != "-" && w[1] != "+") return fail("overload takes + or -");
        command_.negative = w.size() == 2 && w[1] == "-";
        return true;
    }
    if (name == "send") {
        command_.op = Op::Send;
        if (!argumentCount(0, 1)) return false;
        if (w.size() == 1) {
            command_.numbers.push_back(1);
            return true;
        }
        return number(1, ToWhole(w[1], 1, 1e6), "a number of frames");
    }
    if (name == "hold" || name == "silence") {
        command_.op = name == "hold" ? Op::Hold : Op::Silence;
        return argumentCount(1, 1) && number(1, ToSeconds(w[1]), "a time in seconds");
    }
    if (name == "sine") {
        command_.op = Op::Sine;
        if (!argumentCount(4, 4) || !number(1, ToNumber(w[1]), "a number") ||
            !number(2, ToNumber(w[2]), "a number") ||
            !number(3, ToSeconds(w[3]), "a period in seconds") ||
            !number(4, ToSeconds(w[4]), "a time in seconds"))
            return false;
        if (command_.numbers[2] <= 0) return fail("the period must be above 0");
        return true;
    }
    if (name == "ramp") {
        command_.op = Op::Ramp;
        return argumentCount(3, 3) && number(1, ToNumber(w[1]), "a number") &&
               number(2, ToNumber(w[2]), "a number") &&
               number(3, ToSeconds(w[3]), "a time in seconds");
    }
    if (name == "steps") {
        command_.op = Op::Steps;
        if (!argumentCount(4, 4) || !number(1, ToNumber(w[1]), "a number") ||
            !number(2, ToNumber(w[2]), "a number") || !number(3, ToNumber(w[3]), "a number") ||
            !number(4, ToSeconds(w[4]), "a time in seconds"))
            return false;
        const double span = command_.numbers[1] - command_.numbers[0];
        const double step = command_.numbers[2];
        if (step == 0 || (span != 0 && (span > 0) != (step > 0)))
            return fail("the step must be non-zero and lead from <from> to <to>");
        if (span / step > 10000) return fail("more than 10000 steps");
        return true;
    }
    if (name == "noise") {
        command_.op = Op::Noise;
        return argumentCount(1, 1) && number(1, ToWhole(w[1], 1, 100000), "a byte count");
    }
    if (name == "flood") {
        command_.op = Op::Flood;
        if (!argumentCount(1, 2) || !number(1, ToSeconds(w[1]), "a time in seconds")) return false;
        if (w.size() == 2) return true;  // no share: every byte value alike
        const auto share = ToNumber(w[2]);
        if (!share || *share < 0 || *share > 1) return fail("the sync share lies between 0 and 1");
        command_.numbers.push_back(*share);
        return true;
    }
    if (name == "bytes") {
        command_.op = Op::Bytes;
        if (!argumentCount(1, 1000)) return false;
        for (std::size_t i = 1; i < w.size(); ++i) {
            const auto byte = ToHexByte(w[i]);
            if (!byte) return fail("'" + w[i] + "' is not a hexadecimal byte");
            command_.bytes.push_back(*byte);
        }
        return true;
    }
    if (name == "torn") {
        command_.op = Op::Torn;
        if (!argumentCount(0, 1)) return false;
        if (w.size() == 1) {
            command_.numbers.push_back(5);
            return true;
        }
        return number(1, ToWhole(w[1], 1, kFrameSize - 1), "a byte count 1..9");
    }
    if (name == "hangup") {
        command_.op = Op::Hangup;
        if (!argumentCount(0, 1)) return false;
        if (w.size() == 1) return true;  // no numbers: exit
        return number(1, ToSeconds(w[1]), "a time in seconds");
    }
    if (name == "loop") {
        command_.op = Op::Loop;
        return argumentCount(0, 0);
    }
    if (name == "seed") {
        command_.op = Op::Seed;
        return argumentCount(1, 1) && number(1, ToWhole(w[1], 0, 4294967295.0), "a seed");
    }
    return fail("unknown command '" + name + "'");
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

ParsedScript ParseScript(const std::string& text) {
    ParsedScript result;
    std::istringstream lines(text);
    int lineNumber = 0;
    for (std::string line; std::getline(lines, line);) {
        ++lineNumber;
        line = line.substr(0, line.find('#'));
        std::istringstream parts(line);
        for (std::string part; std::getline(parts, part, ';');) {
            std::vector<std::string> words = Words(part);
            if (words.empty()) continue;
            std::transform(words[0].begin(), words[0].end(), words[0].begin(),
                           [](unsigned char c) { return std::tolower(c); });
            auto command = LineParser(lineNumber, std::move(words)).parse(&result.error);
            if (!command) {
                result.commands.clear();
                return result;
            }
            result.commands.push_back(std::move(*command));
        }
    }
    return result;
}

}  // namespace quillon::metersim
