#include "number_format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quillon {

namespace {

// A finite number as decimal digits: value = 0.d1d2d3... x 10^pointPos, with `digits`
// free of leading and trailing zeros ("" for zero).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

// Reads the output of std::to_chars in scientific form ("d.ddde+XX").
DecimalDigits FromScientific(const char* begin, const char* end) {
    DecimalDigits d;
    const char* p = begin;
    if (p != end && *p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p != end && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') d.digits += *p;
    }
    int exponent = 0;
    if (p != end) std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
    d.pointPos = exponent + 1;
    const auto first = d.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        d.digits.clear();
        d.pointPos = 0;
        return d;
    }
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    return d;
}

template <typename T>
DecimalDigits ToDigits(T v, int significant = 0) {
    char buf[64];
    const auto res = significant > 0
                         ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific,
                                         significant - 1)
                         : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    return FromScientific(buf, res.ptr);
}

// The shortest decimal text of v. Readings are single precision and reach these
// helpers widened to double; a value that is exactly a float is read as the float's
// shortest text, so a reading of 2.3525 rounds like 2.3525 and not like the
// 2.35249996... that the widened float really holds.
DecimalDigits ShortestDigits(double v) {
    const bool fitsFloat =
        std::fabs(v) <= std::numeric_limits<float>::max() && double(float(v)) == v;
    return fitsFloat ? ToDigits(float(v)) : ToDigits(v);
}

// v x 10^decimals rounded half-to-even to a whole number, as a digit string without
// leading zeros ("0" for zero).
std::string ScaledRounded(const DecimalDigits& d, int decimals) {
    const int keep = d.pointPos + decimals;  // digits that stay left of the cut
    const int len = int(d.digits.size());
    std::string kept;
    if (d.digits.empty() || keep < 0) {
        kept = "0";
    } else if (keep >= len) {
        kept = d.digits + std::string(size_t(keep - len), '0');
    } else {
        kept = keep > 0 ? d.digits.substr(0, size_t(keep)) : "0";
        const char next = d.digits[size_t(keep)];
        const bool moreAfter = keep + 1 < len;  // digits carry no trailing zeros
        const bool lastOdd = (kept.back() - '0') % 2 == 1;
        if (next > '5' || (next == '5' && (moreAfter || lastOdd))) {
            int i = int(kept.size()) - 1;
            while (i >= 0 && kept[size_t(i)] == '9') kept[size_t(i--)] = '0';
            if (i >= 0) {
                ++kept[size_t(i)];
            } else {
                kept.insert(kept.begin(), '1');
            }
        }
    }
    const auto first = kept.find_first_not_of('0');
    return first == std::string::npos ? "0" : kept.substr(first);
}

QString NonFiniteText(double v) {
    if (std::isnan(v)) return QStringLiteral("NaN");
    return v < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
}

// Plain decimal text of digits; exponent form only for very large or very small values.
QString PlainText(const DecimalDigits& d) {
    if (d.digits.empty()) return QStringLiteral("0");
    const int len = int(d.digits.size());
    std::string out = d.negative ? "-" : "";
    if (d.pointPos > 21 || d.pointPos < -14) {
        out += d.digits.substr(0, 1);
        if (len > 1) out += "." + d.digits.substr(1);
        out += "e" + std::to_string(d.pointPos - 1);
    } else if (d.pointPos <= 0) {
        out += "0." + std::string(size_t(-d.pointPos), '0') + d.digits;
    } else if (d.pointPos >= len) {
        out += d.digits + std::string(size_t(d.pointPos - len), '0');
    } else {
        out += d.digits.substr(0, size_t(d.pointPos)) + "." + d.digits.substr(size_t(d.pointPos));
    }
    return QString::fromStdString(out);
}

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Length of the number at the start of `text` (sign, digits, one ".", exponent when it
// has digits), 0 when no digit is there.
int NumberLength(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    int digits = 0;
    while (i < n && IsAsciiDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && IsAsciiDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) ++j;
        if (j < n && IsAsciiDigit(text[j])) {
            while (j < n && IsAsciiDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

}  // namespace

double RoundHalfEven(double v) { return RoundHalfEven(v, 0); }

double RoundHalfEven(double v, int decimals) {
    if (!std::isfinite(v)) return v;
    decimals = qMax(0, decimals);
    const DecimalDigits d = ShortestDigits(v);
    const std::string scaled = ScaledRounded(d, decimals);
    std::string text = (d.negative ? "-" : "") + scaled + "e-" + std::to_string(decimals);
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result == 0 ? 0.0 : result;
}

QString FormatNumber(double v, const QString& pattern) {
    if (!std::isfinite(v)) return NonFiniteText(v);
    const int point = int(pattern.indexOf(QLatin1Char('.')));
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);

    // Digits the pattern forces: from the first "0" left of the point, up to the
    // last "0" right of it. At least one integer digit is always written.
    const int firstZero = int(intPattern.indexOf(QLatin1Char('0')));
    const int minInt = qMax(1, firstZero < 0 ? 0 : int(intPattern.size()) - firstZero);
    const int decimals =
        int(fracPattern.count(QLatin1Char('0')) + fracPattern.count(QLatin1Char('#')));
    int minFrac = 0;
    for (int i = 0, pos = 0; i < fracPattern.size(); ++i) {
        if (fracPattern[i] == QLatin1Char('0') || fracPattern[i] == QLatin1Char('#')) ++pos;
        if (fracPattern[i] == QLatin1Char('0')) minFrac = pos;
    }

    const DecimalDigits d = ShortestDigits(v);
    std::string scaled = ScaledRounded(d, decimals);
    const bool negative = d.negative && scaled != "0";  // no "-0.000"
    if (int(scaled.size()) < decimals + minInt) {
        scaled.insert(0, size_t(decimals + minInt - int(scaled.size())), '0');
    }
    std::string frac = scaled.substr(scaled.size() - size_t(decimals));
    const std::string whole = scaled.substr(0, scaled.size() - size_t(decimals));
    while (int(frac.size()) > minFrac && frac.back() == '0') frac.pop_back();

    std::string out = negative ? "-" : "";
    out += whole;
    if (!frac.empty()) out += "." + frac;
    return QString::fromStdString(out);
}

bool IsNumeric(const QString& text) {
    const QString t = text.trimmed();
    return !t.isEmpty() && NumberLength(t) == t.size();
}

double LeadingNumber(const QString& text) {
    int start = 0;
    while (start < text.size() && text[start].isSpace()) ++start;
    const QString rest = text.mid(start);
    const int len = NumberLength(rest);
    if (len == 0) return 0;
    const double v = rest.left(len).toDouble();  // QString::toDouble is locale-free
    return v == 0 ? 0.0 : v;
}

double NumberOr(const QString& text, double fallback) {
    return IsNumeric(text) ? LeadingNumber(text) : fallback;
}

double Fix(double v) { return std::trunc(v); }

QString PlainSingle(float v) {
    if (!std::isfinite(v)) return NonFiniteText(v);
    return PlainText(ToDigits(v, 7));
}

QString PlainDouble(double v) {
    if (!std::isfinite(v)) return NonFiniteText(v);
    return PlainText(ToDigits(v, 15));
}

}  // namespace quillon
