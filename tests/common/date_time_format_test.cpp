#include "date_time_format.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

std::string Str(const QString& s) { return s.toStdString(); }

// Every listed format on single- and two-digit months and days.
TEST(DateTimeFormats, WriteEveryListedFormatAndReadBack) {
    const char* dates[][2] = {
        {"2024/6/5", "1999/12/31"},   {"2024/06/05", "1999/12/31"}, {"2024-6-5", "1999-12-31"},
        {"2024-06-05", "1999-12-31"}, {"2024.6.5", "1999.12.31"},   {"2024.06.05", "1999.12.31"},
        {"2024 6 5", "1999 12 31"},   {"2024 06 05", "1999 12 31"}, {"24 6 5", "99 12 31"},
        {"24 06 05", "99 12 31"},     {"6/5/2024", "12/31/1999"},   {"06/05/2024", "12/31/1999"},
        {"6/5/24", "12/31/99"},       {"06/05/24", "12/31/99"},     {"5/6/2024", "31/12/1999"},
        {"05/06/2024", "31/12/1999"}, {"5/6/24", "31/12/99"},       {"05/06/24", "31/12/99"}};
    ASSERT_EQ(DateFormats().size(), 18);
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(Str(FormatDate(QDate(2024, 6, 5), DateFormats()[i])), dates[i][0]) << i;
        EXPECT_EQ(Str(FormatDate(QDate(1999, 12, 31), DateFormats()[i])), dates[i][1]) << i;
    }
    EXPECT_EQ(Str(FormatDate(QDate(2024, 6, 5), "yyyymmdd") + FormatDate(QDate(), "yyyy/mm/dd") +
                  FormatDate(QDate(2024, 6, 5), " MM/DD/YYYY")),
              "20240605 06/05/2024");
    // Listed formats at 9:05:07, 0:00:00 and 23:59:59.
    const char* times[][3] = {{"9:05:07", "0:00:00", "23:59:59"},
                              {"09:05:07", "00:00:00", "23:59:59"},
                              {"AM 09:05:07", "AM 12:00:00", "PM 11:59:59"},
                              {"AM 9:05:07", "AM 12:00:00", "PM 11:59:59"},
                              {"09:05:07 AM", "12:00:00 AM", "11:59:59 PM"},
                              {"9:05:07 AM", "12:00:00 AM", "11:59:59 PM"}};
    const QTime at[] = {QTime(9, 5, 7), QTime(0, 0, 0), QTime(23, 59, 59)};
    ASSERT_EQ(TimeFormats().size(), 6);
    for (int i = 0; i < 6; ++i)
        for (int t = 0; t < 3; ++t)
            EXPECT_EQ(Str(FormatTime(at[t], TimeFormats()[i])), times[i][t]) << i;
    // "mm" is a minute in a time format.
    EXPECT_EQ(
        Str(FormatTime(QTime(12, 0, 0), "AM/PM hh:nn:ss|") +
            FormatTime(QTime(13, 4, 5), "hh:nn:ss AM/PM|") +
            FormatTime(QTime(8, 7, 6), "HH:mm:ss|") + FormatTime(QTime(15, 0, 0), "h:nn am/pm|") +
            FormatDateTime(QDateTime(QDate(2024, 1, 31), QTime(14, 25, 0)), "yyyymmdd", "hhnnss")),
        "PM 12:00:00|01:04:05 PM|08:07:06|3:00 pm|20240131 142500");
    // Whatever a format writes, the same format reads back.
    std::vector<QDate> days = {QDate(2029, 12, 31), QDate(2000, 2, 29), QDate(2024, 10, 1)};
    for (QDate d(1930, 1, 1); d.year() < 2030; d = d.addDays(13)) days.push_back(d);
    const QStringList dateFormats = QStringList(DateFormats()) << "yyyymmdd";
    for (const QString& f : dateFormats)
        for (const QDate& d : days) ASSERT_EQ(ParseDate(FormatDate(d, f), f), d) << Str(f);
    const QStringList timeFormats = QStringList(TimeFormats()) << "hhnnss";
    for (const QString& f : timeFormats) {
        for (int s = 0; s < 86400; s += 7)
            for (const QTime& t : {QTime(0, 0).addSecs(s), QTime(23, 59, 59).addSecs(-s)})
                ASSERT_EQ(ParseTime(FormatTime(t, f), f), t) << Str(f) << " " << Str(t.toString());
    }
    // One letter takes two digits, two letters take one; blanks around are allowed.
    const QDate june5(2024, 6, 5);
    EXPECT_EQ(ParseDate("2024/06/05", "yyyy/m/d"), june5);
    EXPECT_EQ(ParseDate("6/5/2024", "mm/dd/yyyy"), june5);
    EXPECT_EQ(ParseDate("06/05/2024", "MM/DD/YYYY"), june5);
    EXPECT_EQ(ParseDate("  30 1 1 ", "yy m d"), QDate(1930, 1, 1));
    for (const char* bad :
         {"2023/02/29", "2024/13/01", "24/06/05", "2024-06-05", "2024/06/05x", "2024/06/005", ""})
        EXPECT_EQ(ParseDate(bad, "yyyy/mm/dd"), std::nullopt) << bad;
    EXPECT_FALSE(ParseDate("2024065", "yyyymmdd") || ParseDate("06/05", "mm/dd"));
    const QString h12 = "AM/PM hh:nn:ss";
    EXPECT_EQ(ParseTime("am 12:30:00", h12), QTime(0, 30));
    EXPECT_EQ(ParseTime("PM 12:30:00", h12), QTime(12, 30));
    EXPECT_EQ(ParseTime("1:00:00 PM", "h:nn:ss AM/PM"), QTime(13, 0));
    EXPECT_EQ(ParseTime("9:5:00", "H:nn:ss"), QTime(9, 5));
    for (const char* bad : {"PM 13:00:00", "AM 00:30:00", "09:00:00"})
        EXPECT_EQ(ParseTime(bad, h12), std::nullopt) << bad;
    for (const char* bad : {"AM 09:00:00", "24:00:00", "9:60:00", "9:00", "abc"})
        EXPECT_EQ(ParseTime(bad, "H:nn:ss"), std::nullopt) << bad;
    EXPECT_EQ(ParseAnyDate("01/02/2024", "dd/mm/yyyy"), QDate(2024, 2, 1));
    EXPECT_EQ(ParseAnyDate("01/02/2024", ""), QDate(2024, 1, 2)) << "month first in the list";
    EXPECT_EQ(ParseAnyDate("31/12/1999", "mm/dd/yyyy"), QDate(1999, 12, 31));
    EXPECT_EQ(ParseAnyTime("11:59:59 PM", "HH:nn:ss"), QTime(23, 59, 59));
    EXPECT_EQ(ParseAnyTime("14:30", "HH:nn:ss"), QTime(14, 30));
    EXPECT_EQ(ParseAnyTime("142500", "hhnnss"), QTime(14, 25));
}

}  // namespace
