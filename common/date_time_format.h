#pragma once
// The date and time display formats a user can choose, written and read back.
//
// Pattern letters: y year ("yyyy" four digits, "yy" two), m month, d day, H or h hour
// (12-hour when the pattern contains "AM/PM", otherwise 24-hour), n minute, s second,
// "AM/PM" the half-day marker ("AM" or "PM"). A doubled letter pads to two digits.
// Everything else is written as it stands. "mm" in a time pattern is the minute too.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

namespace quillon {

// The 18 date formats and the 6 time formats offered to the user, in list order.
const QStringList& DateFormats();
const QStringList& TimeFormats();

QString FormatDate(const QDate& date, const QString& pattern);
QString FormatTime(const QTime& time, const QString& pattern);
// Date part with the date pattern, a blank, time part with the time pattern.
QString FormatDateTime(const QDateTime& dt, const QString& datePattern, const QString& timePattern);

// Reads a text written with `pattern` back. Blanks around the text are ignored; the
// text must match the pattern (one or two digits where the pattern has one letter or
// a doubled letter between separators, exactly two for a doubled letter packed
// against another number as in "hhnnss"; "yyyy" four digits, "yy" two, taken as
// 1930..2029; "AM"/"PM" in either case, 12-hour hours 1..12). Nothing when the text
// does not match or names no real date or time. A date needs y, m and d in the
// pattern, a time at least the hour (missing minutes or seconds count as 0).
std::optional<QDate> ParseDate(const QString& text, const QString& pattern);
std::optional<QTime> ParseTime(const QString& text, const QString& pattern);

// Reads a date whose format is not known for sure: `preferred` first, then every
// format of DateFormats(). Used for report files written with another format.
std::optional<QDate> ParseAnyDate(const QString& text, const QString& preferred);
// The same for times: `preferred`, then every format of TimeFormats(), then 24-hour
// "H:nn" without seconds.
std::optional<QTime> ParseAnyTime(const QString& text, const QString& preferred);

// The date formats to try on a file written with a format that is not known, best first:
// `preferred`, then the formats of DateFormats() that put day and month in the same order
// as `preferred`, then the others (so "7/12/2026" reads as 7 December for a user of
// "dd/mm/yyyy" whenever the file allows it).
QStringList DateFormatsToTry(const QString& preferred);

// The one format for all the dates of a file: the first of DateFormatsToTry that reads
// every text that any listed format reads. Empty when no single format reads them all.
QString DateFormatOfTexts(const QStringList& texts, const QString& preferred);

}  // namespace quillon
