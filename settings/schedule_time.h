#pragma once
// Reading the date and time fields of a schedule entry. One reader serves both the tick
// check and Save, so a field accepted by one is accepted by the other.
//
// Dates are month/day/year: one or two digits for month and day, a four-digit year or a
// two-digit one (taken as 20yy), separated by "/", "-" or ".".
// Times: "AM 09:00:00" / "PM 9:00:00", "09:00:00 AM", or 24-hour "9:00:00" / "21:00:00";
// seconds may be left out ("9:00"). Blanks around the text are ignored.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace quillon {

std::optional<QDate> ParseScheduleDate(const QString& text);
std::optional<QTime> ParseScheduleTime(const QString& text);
// The date-time of a date field and a time field, to the second; nothing when either fails.
std::optional<QDateTime> ParseScheduleDateTime(const QString& date, const QString& time);

// The number of whole-second boundaries from `from` to `to`: negative when `to` is earlier.
qint64 SecondsBetween(const QDateTime& from, const QDateTime& to);

}  // namespace quillon
