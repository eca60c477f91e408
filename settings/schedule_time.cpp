#include "schedule_time.h"

#include <QRegularExpression>

namespace quillon {

std::optional<QDate> ParseScheduleDate(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const int month = m.captured(1).toInt();
    const int day = m.captured(3).toInt();
    int year = m.captured(4).toInt();
    if (m.captured(4).size() == 2) year += 2000;  // a schedule lies ahead, never last century
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::optional<QTime> ParseScheduleTime(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^(?:(AM|PM)\\s*)?(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?(?:\\s*(AM|PM))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const QString before = m.captured(1).toUpper();
    const QString after = m.captured(5).toUpper();
    if (!before.isEmpty() && !after.isEmpty()) return std::nullopt;
    const QString marker = before.isEmpty() ? after : before;
    int hour = m.captured(2).toInt();
    const int minute = m.captured(3).toInt();
    const int second = m.captured(4).isEmpty() ? 0 : m.captured(4).toInt();
    if (!marker.isEmpty()) {
        if (hour > 12) return std::nullopt;
        if (hour == 12) hour = 0;
        if (marker == "PM") hour += 12;
    }
    const QTime time(hour, minute, second);
    if (!time.isValid()) return std::nullopt;
    return time;
}

std::optional<QDateTime> ParseScheduleDateTime(const QString& date, const QString& time) {
    const auto d = ParseScheduleDate(date);
    const auto t = ParseScheduleTime(time);
    if (!d || !t) return std::nullopt;
    const QDateTime dt(*d, *t);
    if (!dt.isValid()) return std::nullopt;  // a local time skipped by a clock change
    return dt;
}

qint64 SecondsBetween(const QDateTime& from, const QDateTime& to) {
    auto wholeSeconds = [](const QDateTime& t) {
        const qint64 ms = t.toMSecsSinceEpoch();
        return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    };
    return wholeSeconds(to) - wholeSeconds(from);
}

}  // namespace quillon
