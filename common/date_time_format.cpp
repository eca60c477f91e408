#include "date_time_format.h"

#include <QVector>

namespace quillon {

namespace {

enum class Kind { Date, Time };
enum class Field { Literal, Year4, Year2, Month, Day, Hour, Minute, Second, HalfDay };

struct Token {
    Field field = Field::Literal;
    int width = 1;  // 2 for a doubled letter (zero-padded)
    QChar literal;
    bool lowerHalfDay = false;  // "am/pm" writes "am"/"pm"
};

bool IsNumberField(Field f) { return f != Field::Literal && f != Field::HalfDay; }

// Splits a pattern into fields and literal characters. Letters are read in either
// case; letters of the other kind (a "d" in a time pattern) are literal text.
QVector<Token> Tokenize(const QString& pattern, Kind kind) {
    static const QString kHalfDay = QStringLiteral("AM/PM");
    QVector<Token> tokens;
    int i = 0;
    while (i < pattern.size()) {
        Token t;
        if (kind == Kind::Time &&
            QStringView(pattern).mid(i, 5).compare(kHalfDay, Qt::CaseInsensitive) == 0) {
            t.field = Field::HalfDay;
            t.lowerHalfDay = pattern[i].isLower();
            tokens.append(t);
            i += 5;
            continue;
        }
        const QChar c = pattern[i].toLower();
        int run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == c) ++run;
        Field field = Field::Literal;
        int consumed = 1;
        if (kind == Kind::Date && c == QLatin1Char('y') && run >= 2) {
            field = run >= 4 ? Field::Year4 : Field::Year2;
            consumed = run >= 4 ? 4 : 2;
        } else {
            if (kind == Kind::Date) {
                if (c == QLatin1Char('m')) field = Field::Month;
                if (c == QLatin1Char('d')) field = Field::Day;
            } else {
                if (c == QLatin1Char('h')) field = Field::Hour;
                if (c == QLatin1Char('m') || c == QLatin1Char('n')) field = Field::Minute;
                if (c == QLatin1Char('s')) field = Field::Second;
            }
            if (field != Field::Literal) consumed = qMin(run, 2);
        }
        t.field = field;
        t.width = field == Field::Literal ? 1 : consumed;
        t.literal = pattern[i];
        tokens.append(t);
        i += consumed;
    }
    return tokens;
}

bool HasHalfDay(const QVector<Token>& tokens) {
    for (const Token& t : tokens) {
        if (t.field == Field::HalfDay) return true;
    }
    return false;
}

QString Padded(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// Writes a date and/or time with tokens of one kind.
QString Render(const QVector<Token>& tokens, const QDate& date, const QTime& time) {
    const bool twelveHour = HasHalfDay(tokens);
    QString out;
    for (const Token& t : tokens) {
        switch (t.field) {
            case Field::Literal:
                out += t.literal;
                break;
            case Field::Year4:
                out += Padded(date.year(), 4);
                break;
            case Field::Year2:
                out += Padded(qAbs(date.year()) % 100, 2);
                break;
            case Field::Month:
                out += Padded(date.month(), t.width);
                break;
            case Field::Day:
                out += Padded(date.day(), t.width);
                break;
            case Field::Hour: {
                int h = time.hour();
                if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
                out += Padded(h, t.width);
                break;
            }
            case Field::Minute:
                out += Padded(time.minute(), t.width);
                break;
            case Field::Second:
                out += Padded(time.second(), t.width);
                break;
            case Field::HalfDay: {
                const QString marker =
                    time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
                out += t.lowerHalfDay ? marker.toLower() : marker;
                break;
            }
        }
    }
    return out;
}

// The numbers a text holds for each field of the pattern, -1 for fields it lacks.
struct Parsed {
    int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
    int halfDay = -1;  // 0 AM, 1 PM
};

// Reads `text` against the tokens. A field of one letter takes one or two digits, and
// so does a doubled letter between separators; a doubled letter packed against another
// number field ("yyyymmdd") takes exactly two digits, "yyyy" four and "yy" two.
std::optional<Parsed> Match(const QVector<Token>& tokens, const QString& text) {
    Parsed p;
    int pos = 0;
    for (int k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.field == Field::Literal) {
            if (pos >= text.size() || text[pos] != t.literal) return std::nullopt;
            ++pos;
            continue;
        }
        if (t.field == Field::HalfDay) {
            const QStringView marker = QStringView(text).mid(pos, 2);
            if (marker.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0) {
                p.halfDay = 0;
            } else if (marker.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0) {
                p.halfDay = 1;
            } else {
                return std::nullopt;
            }
            pos += 2;
            continue;
        }
        const bool packed = (k + 1 < tokens.size() && IsNumberField(tokens[k + 1].field)) ||
                            (k > 0 && IsNumberField(tokens[k - 1].field));
        int maxDigits = 2;
        int minDigits = (t.width == 2 && packed) ? 2 : 1;
        if (t.field == Field::Year4) minDigits = maxDigits = 4;
        if (t.field == Field::Year2) minDigits = maxDigits = 2;
        int value = 0;
        int digits = 0;
        while (digits < maxDigits && pos < text.size() && text[pos] >= QLatin1Char('0') &&
               text[pos] <= QLatin1Char('9')) {
            value = value * 10 + (text[pos].unicode() - '0');
            ++pos;
            ++digits;
        }
        if (digits < minDigits) return std::nullopt;
        switch (t.field) {
            case Field::Year4:
                p.year = value;
                break;
            case Field::Year2:
                p.year = value < 30 ? 2000 + value : 1900 + value;
                break;
            case Field::Month:
                p.month = value;
                break;
            case Field::Day:
                p.day = value;
                break;
            case Field::Hour:
                p.hour = value;
                break;
            case Field::Minute:
                p.minute = value;
                break;
            case Field::Second:
                p.second = value;
                break;
            default:
                break;
        }
    }
    if (pos != text.size()) return std::nullopt;
    return p;
}

}  // namespace

const QStringList& DateFormats() {
    static const QStringList formats = {
        QStringLiteral("yyyy/m/d"),   QStringLiteral("yyyy/mm/dd"), QStringLiteral("yyyy-m-d"),
        QStringLiteral("yyyy-mm-dd"), QStringLiteral("yyyy.m.d"),   QStringLiteral("yyyy.mm.dd"),
        QStringLiteral("yyyy m d"),   QStringLiteral("yyyy mm dd"), QStringLiteral("yy m d"),
        QStringLiteral("yy mm dd"),   QStringLiteral("m/d/yyyy"),   QStringLiteral("mm/dd/yyyy"),
        QStringLiteral("m/d/yy"),     QStringLiteral("mm/dd/yy"),   QStringLiteral("d/m/yyyy"),
        QStringLiteral("dd/mm/yyyy"), QStringLiteral("d/m/yy"),     QStringLiteral("dd/mm/yy"),
    };
    return formats;
}

const QStringList& TimeFormats() {
    static const QStringList formats = {
        QStringLiteral("H:nn:ss"),        QStringLiteral("HH:nn:ss"),
        QStringLiteral("AM/PM hh:nn:ss"), QStringLiteral("AM/PM h:nn:ss"),
        QStringLiteral("hh:nn:ss AM/PM"), QStringLiteral("h:nn:ss AM/PM"),
    };
    return formats;
}

QString FormatDate(const QDate& date, const QString& pattern) {
    if (!date.isValid()) return {};
    return Render(Tokenize(pattern, Kind::Date), date, QTime(0, 0));
}

QString FormatTime(const QTime& time, const QString& pattern) {
    if (!time.isValid()) return {};
    return Render(Tokenize(pattern, Kind::Time), QDate(), time);
}

QString FormatDateTime(const QDateTime& dt, const QString& datePattern,
                       const QString& timePattern) {
    return FormatDate(dt.date(), datePattern) + QLatin1Char(' ') +
           FormatTime(dt.time(), timePattern);
}

std::optional<QDate> ParseDate(const QString& text, const QString& pattern) {
    const auto p = Match(Tokenize(pattern, Kind::Date), text.trimmed());
    if (!p || p->year < 0 || p->month < 0 || p->day < 0) return std::nullopt;
    const QDate date(p->year, p->month, p->day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::optional<QTime> ParseTime(const QString& text, const QString& pattern) {
    const auto p = Match(Tokenize(pattern, Kind::Time), text.trimmed());
    if (!p || p->hour < 0) return std::nullopt;
    int hour = p->hour;
    if (p->halfDay >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (p->halfDay == 1 ? 12 : 0);
    }
    const QTime time(hour, qMax(0, p->minute), qMax(0, p->second));
    if (!time.isValid() || hour > 23) return std::nullopt;
    return time;
}

std::optional<QDate> ParseAnyDate(const QString& text, const QString& preferred) {
    if (!preferred.isEmpty()) {
        if (auto d = ParseDate(text, preferred)) return d;
    }
    for (const QString& pattern : DateFormats()) {
        if (auto d = ParseDate(text, pattern)) return d;
    }
    return std::nullopt;
}

namespace {
// True when the pattern writes the day before the month.
bool DayFirst(const QString& pattern) {
    const QString p = pattern.toLower();
    const qsizetype day = p.indexOf(QLatin1Char('d'));
    const qsizetype month = p.indexOf(QLatin1Char('m'));
    return day >= 0 && month >= 0 && day < month;
}
}  // namespace

QStringList DateFormatsToTry(const QString& preferred) {
    QStringList order;
    if (!preferred.isEmpty()) order << preferred;
    const bool dayFirst = DayFirst(preferred);
    for (const QString& f : DateFormats())
        if (DayFirst(f) == dayFirst && f != preferred) order << f;
    for (const QString& f : DateFormats())
        if (DayFirst(f) != dayFirst && f != preferred) order << f;
    return order;
}

QString DateFormatOfTexts(const QStringList& texts, const QString& preferred) {
    // Texts that no listed format reads keep their own text; they decide nothing.
    QStringList readable;
    for (const QString& t : texts)
        if (ParseAnyDate(t, preferred)) readable << t;
    for (const QString& f : DateFormatsToTry(preferred)) {
        bool all = true;
        for (const QString& t : readable) {
            if (!ParseDate(t, f)) {
                all = false;
                break;
            }
        }
        if (all) return f;
    }
    return {};
}

std::optional<QTime> ParseAnyTime(const QString& text, const QString& preferred) {
    if (!preferred.isEmpty()) {
        if (auto t = ParseTime(text, preferred)) return t;
    }
    for (const QString& pattern : TimeFormats()) {
        if (auto t = ParseTime(text, pattern)) return t;
    }
    return ParseTime(text, QStringLiteral("H:nn"));
}

}  // namespace quillon
