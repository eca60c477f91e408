#include "frame_decoder.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "meter_tables.h"
#include "number_format.h"

namespace quillon {
namespace {

constexpr int kSyncByte = 0xF0;
constexpr int kFrameRest = 9;  // bytes after the sync byte
constexpr unsigned char kSecondByte = 0x11;
constexpr unsigned char kLastByte = 0x05;

// Bar-graph pictures: n + 1 for n thousand counts, then these two.
constexpr int kBarNotANumber = 62;
constexpr int kBarIdle = 63;
constexpr int kSignPositive = 1;
constexpr int kSignNegative = 2;

// Overload pattern shown in the readout, by decimal index (where the point sits).
const std::array<QString, 5>& OverloadPatterns() {
    static const std::array<QString, 5> patterns = {
        QStringLiteral(". OL "), QStringLiteral(".OL  "), QStringLiteral(" O.L "),
        QStringLiteral(" OL. "), QStringLiteral(" OL  ")};
    return patterns;
}

// Functions whose readout has no bar graph.
bool HasNoBarGraph(int func) {
    return func == 0 || func == 5 || func == 9 || func == 20 || func == 22 || func == 30;
}

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Two hex digit characters read like a hex literal: reading stops at the first
// character that is not a digit; no leading digit gives 0.
int HexPair(unsigned char high, unsigned char low) {
    const int h = HexDigit(high);
    if (h < 0) return 0;
    const int l = HexDigit(low);
    return l < 0 ? h : h * 16 + l;
}

// The decimal index as an index into the per-index tables, or -1.
int DecimalIndex(float decIdx) {
    const int i = int(decIdx);
    return (float(i) == decIdx && i >= 0 && i <= 4) ? i : -1;
}

// The number a text shows, when it is one (the rules of IsNumeric). Plain decimal texts,
// all the decoder writes, take a fast path.
bool ReadNumber(const QString& t, double* value) {
    char buf[32];
    const qsizetype n = t.size();
    bool plain = n > 0 && n < qsizetype(sizeof buf);
    int digits = 0;
    bool point = false;
    for (qsizetype i = 0; plain && i < n; ++i) {
        const char16_t c = t.at(i).unicode();
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && !point)
            point = true;
        else if (c != u'-' || i != 0)
            plain = false;
        buf[i] = char(c);
    }
    if (plain && digits > 0) {
        const char* begin = buf[0] == '-' ? buf + 1 : buf;
        double v = 0;
        const auto res = std::from_chars(begin, buf + n, v);
        if (res.ec == std::errc() && res.ptr == buf + n) {
            *value = buf[0] == '-' ? -v : v;
            return true;
        }
    }
    if (!IsNumeric(t)) return false;
    *value = NumberOr(t, 0);
    return true;
}

bool IsOverloadText(const QString& t) {
    return t == QLatin1String("OL") || t == QLatin1String("-OL");
}

}  // namespace

// ------------------------------------------------------------------ bit texts ----

QString ByteToBits(int b) {
    QString bits(8, QLatin1Char('0'));
    for (int k = 0; k < 8; ++k)
        if (b & (1 << k)) bits[7 - k] = QLatin1Char('1');
    return bits;
}

const QString& BitsOf(int b) {
    static const std::array<QString, 256> table = [] {
        std::array<QString, 256> t;
        for (int i = 0; i < 256; ++i) t[i] = ByteToBits(i);
        return t;
    }();
    return table[b & 0xFF];
}

qint32 BitsToLong(const QString& text) {
    if (text.size() != 32) return 0;
    quint32 bits = text.at(0) != QLatin1Char('0') ? 0x80000000u : 0u;
    for (int i = 1; i < 32; ++i) bits += quint32(text.at(i).unicode() - u'0') << (31 - i);
    return qint32(bits);
}

// ------------------------------------------------------------- value text ----

QString FormatReading(float v, int decimals) {
    // The shortest text that reads back as v, then rounded on its decimal digits, so
    // the float's binary error never shows (2.352f stays 2.352).
    if (!std::isfinite(v)) return {};
    char text[64];
    const auto res = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
    if (res.ec != std::errc() || decimals < 0 || decimals > 8) return {};
    const char* p = text;
    const bool negative = *p == '-';
    if (negative) ++p;
    const char* dot = static_cast<const char*>(std::memchr(p, '.', size_t(res.ptr - p)));
    const char* intEnd = dot ? dot : res.ptr;
    const char* frac = dot ? dot + 1 : res.ptr;
    const int fracLen = int(res.ptr - frac);

    // digits[1..]: the integer digits, then the kept decimals; digits[0] takes a carry.
    char digits[80];
    int len = 1;
    digits[0] = '0';
    for (const char* q = p; q < intEnd; ++q) digits[len++] = *q;
    for (int i = 0; i < decimals; ++i) digits[len++] = i < fracLen ? frac[i] : '0';
    if (fracLen > decimals) {
        const char next = frac[decimals];
        bool restNonZero = false;
        for (const char* q = frac + decimals + 1; q < res.ptr; ++q) restNonZero |= *q != '0';
        const bool lastOdd = (digits[len - 1] - '0') % 2 == 1;
        if (next > '5' || (next == '5' && (restNonZero || lastOdd))) {
            int i = len - 1;
            while (digits[i] == '9') digits[i--] = '0';
            ++digits[i];
        }
    }
    int first = digits[0] == '0' ? 1 : 0;
    bool zero = true;
    for (int i = first; i < len; ++i) zero &= digits[i] == '0';

    char out[96];
    int o = 0;
    if (negative && !zero) out[o++] = '-';
    const int intDigits = len - first - decimals;
    for (int i = 0; i < intDigits; ++i) out[o++] = digits[first + i];
    if (decimals > 0) {
        out[o++] = '.';
        for (int i = len - decimals; i < len; ++i) out[o++] = digits[i];
    }
    return QString::fromLatin1(out, o);
}

// ---------------------------------------------------------------- decoder ----

FrameDecoder::FrameDecoder(Session& session, SerialLibrary& library, Clock& clock)
    : s_(session), lib_(library), clock_(clock) {}

bool FrameDecoder::skipToSyncByte(int port, int& budget) {
    while (budget > 0) {
        const int b = lib_.sio_getch(port);
        if (b < 0) return false;  // queue empty (or device gone)
        --budget;
        if (b == kSyncByte) return true;
    }
    return false;
}

void FrameDecoder::ReadFrames() {
    const int port = s_.link.portSettings.port;
    s_.link.ticksWithoutData = 0;
    value_ = 0;
    int budget = kMaxBytesPerCall;
    for (;;) {
        if (!pending_) {
            if (!skipToSyncByte(port, budget)) return;
            pending_ = true;
            syncTick_ = clock_.tickMs();
        }
        if (clock_.tickMs() - syncTick_ > kFrameWaitMs) {
            // Too late: the synchronisation skips what came of this frame.
            pending_ = false;
            continue;
        }
        if (lib_.sio_iqueue(port) < kFrameRest) return;  // the rest may still come in time
        pending_ = false;
        unsigned char frame[kFrameRest] = {};
        budget -= lib_.sio_read(port, reinterpret_cast<char*>(frame), kFrameRest);
        if (frame[0] == kSecondByte && frame[8] == kLastByte) decode(frame);
        if (lib_.sio_iqueue(port) < kFrameRest + 1 || budget <= 0) return;
    }
}

void FrameDecoder::decode(const unsigned char* f) {
    Reading& r = s_.reading;
    Readout& out = s_.readout;

    s_.link.lastFrameTick = clock_.tickMs();
    const int prevFunc = r.function;
    const int prevRange = r.range;
    r.function = f[1];
    // The range is the low hex digit of its byte; "A".."F" is no range and keeps it.
    if ((f[2] & 0x0F) <= 9) r.range = f[2] & 0x0F;
    const int func = r.function;
    const int range = r.range;
    const bool inTables = InMeterTables(func, range);
    const bool knownFunc = func < kFunctionCount;

    // Unlisted pairs have no decimal index; the previous one stays.
    if (inTables) {
        const QString dec = DecimalTable(func, range);
        if (!dec.isEmpty()) r.decimalIndex = float(dec.at(0).digitValue());
    }

    if (func == 14) {
        out.buzzerShown = true;
        out.diodeShown = false;
    } else if (func == 15) {
        out.diodeShown = true;
        out.buzzerShown = false;
    } else {
        if (knownFunc) out.coupling = CouplingTable(func);
        out.buzzerShown = false;
        out.diodeShown = false;
    }

    if (s_.rec.running) {
        if (knownFunc) s_.rec.shownFunction = FunctionTable(func);
        if (inTables) s_.rec.shownUnit = UnitTable(func, range);
    }

    // New limits for the first frame after a cleared readout and on every change of
    // function or range.
    const bool changed = func != prevFunc || range != prevRange;
    if (out.value.isEmpty() || changed) {
        OverloadLimits& limits = SharedOverloadLimits();
        limits.selectRange(func, range);
        r.rangeHigh = limits.high;
        r.rangeLow = limits.low;
        if (!out.value.isEmpty()) {
            r.valueText.clear();
            out.barImage = kBarIdle;
            out.signImage = kSignPositive;
        }
    }

    const QString& status = BitsOf(f[7]);
    const bool negative = status.at(2) != QLatin1Char('0');  // bit 5
    const bool overload = status.at(3) != QLatin1Char('0');  // bit 4
    QChar sign = negative ? QLatin1Char('-') : QLatin1Char('+');
    const int dec = DecimalIndex(r.decimalIndex);

    if (overload) {
        r.valueText = negative ? QStringLiteral("-OL") : QStringLiteral("OL");
    } else {
        const int bit16 = status.at(7) == QLatin1Char('1') ? 1 : 0;
        const int count = bit16 * 65536 + HexPair(f[6], f[5]) * 256 + HexPair(f[4], f[3]);
        if (dec >= 0) value_ = float(negative ? -count : count) * ResolutionTable(dec);

        // REL shows the reading relative to the held reference: reading minus reference.
        // The difference may lie outside the range's own limits and is still a reading.
        if (s_.stats.statFlags[3]) {
            // A reference that is no (finite) number leaves the value as it is.
            if (IsNumeric(s_.stats.relValue)) {
                const float difference = float(double(value_) - NumberOr(s_.stats.relValue, 0));
                if (std::isfinite(difference)) value_ = difference;
            }
            sign = value_ < 0 ? QLatin1Char('-') : QLatin1Char('+');
        }
        if (dec >= 0) {
            r.valueText = FormatReading(value_, 4 - dec);
            // A negative reading of zero keeps its sign: "-0.0000".
            if (value_ == 0 && sign == QLatin1Char('-')) r.valueText.prepend(QLatin1Char('-'));
        }
    }

    if (!overload && !IsOverloadText(r.valueText)) {
        out.value = r.valueText;
    } else {
        if (dec >= 0) {
            r.overloadPattern = OverloadPatterns()[dec];
            if (sign == QLatin1Char('-')) r.overloadPattern.prepend(QLatin1Char('-'));
        }
        out.value = r.overloadPattern;
    }

    if (inTables) out.unit = UnitTable(func, range);

    if (!HasNoBarGraph(func)) {
        double shown = 0;
        if (!ReadNumber(r.valueText, &shown)) {
            out.barImage = kBarNotANumber;
        } else if (dec >= 0) {
            const double thousands = std::fabs(shown) / double(ResolutionTable(dec)) / 1000.0;
            // nearbyint rounds halves to even in the default rounding mode.
            const double image = std::nearbyint(thousands) + 1;
            if (image >= 1 && image <= kBarIdle) out.barImage = int(image);
        }
        out.signImage = negative ? kSignNegative : kSignPositive;
    }

    if (s_.settings.alarmEnabled == 1) CheckLimits();
}

void FrameDecoder::CheckLimits() {
    const QString& text = s_.readout.value;
    const int select = s_.settings.limitsTested;
    const bool testHigh = select == 1 || select == 3;
    const bool testLow = select == 2 || select == 3;
    bool high = false;
    bool low = false;
    double shown = 0;
    if (ReadNumber(text, &shown)) {
        // A limit that is not a number ends the check with nothing changed.
        const auto& limit = s_.settings.limitTexts;
        double highLimit = 0;
        double lowLimit = 0;
        if (!ReadNumber(limit[0], &highLimit) || !ReadNumber(limit[1], &lowLimit)) return;
        high = shown > highLimit && testHigh;
        low = shown < lowLimit && testLow;
    } else {
        high = text == QLatin1String("+OL") && testHigh;
        low = text == QLatin1String("-OL") && testLow;
    }
    if (s_.rec.running) {
        s_.readout.limitRed[0] = high;
        s_.readout.limitRed[1] = low;
    }
    s_.link.alarmOn = high || low;
}

}  // namespace quillon
