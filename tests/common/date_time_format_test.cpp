#include "date_time_format.h"

#include <gtest/gtest.h>

#include <optional>

using namespace quillon;

namespace {

std::string Str(const QString& s) { return s.toStdString(); }

TEST(FormatDate, EveryListedFormat) {
    EXPECT_EQ(DateFormats().size(), 18);
    EXPECT_EQ(TimeFormats().size(), 6);
    EXPECT_EQ(Str(DateFormats().at(1)), "yyyy/mm/dd");
    EXPECT_EQ(Str(TimeFormats().at(1)), "HH:nn:ss");
    // 5 June 2024 shows single-digit month and day; 31 December 1999 two-digit ones.
    const char* cases[][3] = {
        {"yyyy/m/d", "2024/6/5", "1999/12/31"}, {"yyyy/mm/dd", "2024/06/05", "1999/12/31"},
        {"yyyy-m-d", "2024-6-5", "1999-12-31"}, {"yyyy-mm-dd", "2024-06-05", "1999-12-31"},
        {"yyyy.m.d", "2024.6.5", "1999.12.31"}, {"yyyy.mm.dd", "2024.06.05", "1999.12.31"},
        {"yyyy m d", "2024 6 5", "1999 12 31"}, {"yyyy mm dd", "2024 06 05", "1999 12 31"},
        {"yy m d", "24 6 5", "99 12 31"},       {"yy mm dd", "24 06 05", "99 12 31"},
        {"m/d/yyyy", "6/5/2024", "12/31/1999"}, {"mm/dd/yyyy", "06/05/2024", "12/31/1999"},
        {"m/d/yy", "6/5/24", "12/31/99"},       {"mm/dd/yy", "06/05/24", "12/31/99"},
        {"d/m/yyyy", "5/6/2024", "31/12/1999"}, {"dd/mm/yyyy", "05/06/2024", "31/12/1999"},
        {"d/m/yy", "5/6/24", "31/12/99"},       {"dd/mm/yy", "05/06/24", "31/12/99"},
        {"yyyymmdd", "20240605", "19991231"},   {"MM/DD/YYYY", "06/05/2024", "12/31/1999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(FormatDate(QDate(2024, 6, 5), c[0])), c[1]) << c[0];
        EXPECT_EQ(Str(FormatDate(QDate(1999, 12, 31), c[0])), c[2]) << c[0];
    }
    EXPECT_EQ(Str(FormatDate(QDate(), "yyyy/mm/dd")), "");
}

TEST(FormatTime, HoursMinutesSecondsAndHalfDay) {
    const struct {
        QTime time;
        const char *pattern, *expected;
    } cases[] = {
        {{9, 5, 7}, "H:nn:ss", "9:05:07"},
        {{9, 5, 7}, "HH:nn:ss", "09:05:07"},
        {{23, 59, 59}, "HH:nn:ss", "23:59:59"},
        {{0, 0, 0}, "H:nn:ss", "0:00:00"},
        {{0, 0, 0}, "AM/PM hh:nn:ss", "AM 12:00:00"},
        {{12, 0, 0}, "AM/PM hh:nn:ss", "PM 12:00:00"},
        {{9, 0, 0}, "AM/PM h:nn:ss", "AM 9:00:00"},
        {{13, 4, 5}, "hh:nn:ss AM/PM", "01:04:05 PM"},
        {{23, 59, 59}, "h:nn:ss AM/PM", "11:59:59 PM"},
        {{14, 25, 0}, "hhnnss", "142500"},
        {{8, 7, 6}, "HH:mm:ss", "08:07:06"},
        {{15, 0, 0}, "h:nn am/pm", "3:00 pm"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(FormatTime(c.time, c.pattern)), c.expected);
    EXPECT_EQ(
        Str(FormatDateTime(QDateTime(QDate(2024, 1, 31), QTime(14, 25, 0)), "yyyymmdd", "hhnnss")),
        "20240131 142500");
}

// Whatever a format writes, the same format reads back.
TEST(ParseDateTime, ReadsBackEveryFormat) {
    std::vector<QDate> dates = {QDate(2029, 12, 31), QDate(2000, 2, 29), QDate(2024, 10, 1)};
    for (QDate d(1930, 1, 1); d.year() < 2030; d = d.addDays(13)) dates.push_back(d);
    const QStringList dateFormats = QStringList(DateFormats()) << "yyyymmdd";
    for (const QString& f : dateFormats)
        for (const QDate& d : dates) ASSERT_EQ(ParseDate(FormatDate(d, f), f), d) << Str(f);
    const QStringList timeFormats = QStringList(TimeFormats()) << "hhnnss";
    for (const QString& f : timeFormats) {
        for (int s = 0; s < 86400; s += 7)
            for (const QTime& t : {QTime(0, 0).addSecs(s), QTime(12, 0).addSecs(s % 3600)})
                ASSERT_EQ(ParseTime(FormatTime(t, f), f), t) << Str(f) << " " << Str(t.toString());
        ASSERT_EQ(ParseTime(FormatTime(QTime(23, 59, 59), f), f), QTime(23, 59, 59)) << Str(f);
    }
}

TEST(ParseDateTime, ToleranceAndRejects) {
    // One letter takes two digits, two letters take one; blanks around are allowed.
    const QDate june5(2024, 6, 5);
    EXPECT_EQ(ParseDate("2024/06/05", "yyyy/m/d"), june5);
    EXPECT_EQ(ParseDate("6/5/2024", "mm/dd/yyyy"), june5);
    EXPECT_EQ(ParseDate("  2024/06/05 ", "yyyy/mm/dd"), june5);
    EXPECT_EQ(ParseDate("06/05/2024", "MM/DD/YYYY"), june5);
    EXPECT_EQ(ParseDate("29 1 1", "yy m d"), QDate(2029, 1, 1));
    EXPECT_EQ(ParseDate("30 1 1", "yy m d"), QDate(1930, 1, 1));
    for (const char* bad :
         {"2023/02/29", "2024/13/01", "24/06/05", "2024-06-05", "2024/06/05x", "2024/06/005", ""})
        EXPECT_EQ(ParseDate(bad, "yyyy/mm/dd"), std::nullopt) << bad;
    EXPECT_EQ(ParseDate("2024065", "yyyymmdd"), std::nullopt);
    EXPECT_EQ(ParseDate("06/05", "mm/dd"), std::nullopt);

    const QString h12 = "AM/PM hh:nn:ss";
    EXPECT_EQ(ParseTime("am 09:00:00", h12), QTime(9, 0));
    EXPECT_EQ(ParseTime("AM 12:30:00", h12), QTime(0, 30));
    EXPECT_EQ(ParseTime("PM 12:30:00", h12), QTime(12, 30));
    EXPECT_EQ(ParseTime("1:00:00 PM", "h:nn:ss AM/PM"), QTime(13, 0));
    EXPECT_EQ(ParseTime("9:5:00", "H:nn:ss"), QTime(9, 5));
    for (const char* bad : {"PM 13:00:00", "AM 00:30:00", "09:00:00"})
        EXPECT_EQ(ParseTime(bad, h12), std::nullopt) << bad;
    for (const char* bad : {"AM 09:00:00", "24:00:00", "9:60:00", "9:00", "abc"})
        EXPECT_EQ(ParseTime(bad, "H:nn:ss"), std::nullopt) << bad;
}

TEST(ParseDateTime, PreferredFormatFirstThenTheLists) {
    EXPECT_EQ(ParseAnyDate("01/02/2024", "dd/mm/yyyy"), QDate(2024, 2, 1));
    EXPECT_EQ(ParseAnyDate("01/02/2024", ""), QDate(2024, 1, 2)) << "month first in the list";
    EXPECT_EQ(ParseAnyDate("2024.06.05", "dd/mm/yyyy"), QDate(2024, 6, 5));
    EXPECT_EQ(ParseAnyDate("31/12/1999", "mm/dd/yyyy"), QDate(1999, 12, 31));
    EXPECT_EQ(ParseAnyDate("junk", "yyyy/mm/dd"), std::nullopt);
    EXPECT_EQ(ParseAnyTime("AM 09:00:00", "HH:nn:ss"), QTime(9, 0));
    EXPECT_EQ(ParseAnyTime("11:59:59 PM", "HH:nn:ss"), QTime(23, 59, 59));
    EXPECT_EQ(ParseAnyTime("14:30", "HH:nn:ss"), QTime(14, 30));
    EXPECT_EQ(ParseAnyTime("142500", "hhnnss"), QTime(14, 25));
    EXPECT_EQ(ParseAnyTime("noon", "HH:nn:ss"), std::nullopt);
}

}  // namespace
