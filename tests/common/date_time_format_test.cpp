#include "date_time_format.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

using namespace quillon;

namespace {

std::string Str(const QString& s) { return s.toStdString(); }

TEST(DateTimeFormats, ListsHoldEighteenDatesAndSixTimes) {
    EXPECT_EQ(DateFormats().size(), 18);
    EXPECT_EQ(TimeFormats().size(), 6);
    EXPECT_EQ(Str(DateFormats().at(1)), "yyyy/mm/dd");
    EXPECT_EQ(Str(TimeFormats().at(1)), "HH:nn:ss");
}

TEST(FormatDate, EveryListedFormat) {
    // 5 June 2024 shows single-digit month and day; 31 December 1999 two-digit ones.
    const QDate june(2024, 6, 5);
    const QDate newYearsEve(1999, 12, 31);
    const std::vector<std::array<const char*, 3>> cases = {
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
        EXPECT_EQ(Str(FormatDate(june, c[0])), c[1]) << c[0];
        EXPECT_EQ(Str(FormatDate(newYearsEve, c[0])), c[2]) << c[0];
    }
    EXPECT_EQ(Str(FormatDate(QDate(), "yyyy/mm/dd")), "");
}

TEST(FormatTime, HoursMinutesSecondsAndHalfDay) {
    struct Case {
        const char* name;
        QTime time;
        const char* pattern;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"24h_single_hour", QTime(9, 5, 7), "H:nn:ss", "9:05:07"},
        {"24h_padded", QTime(9, 5, 7), "HH:nn:ss", "09:05:07"},
        {"24h_late", QTime(23, 59, 59), "HH:nn:ss", "23:59:59"},
        {"24h_midnight", QTime(0, 0, 0), "H:nn:ss", "0:00:00"},
        {"12h_midnight_is_12_am", QTime(0, 0, 0), "AM/PM hh:nn:ss", "AM 12:00:00"},
        {"12h_noon_is_12_pm", QTime(12, 0, 0), "AM/PM hh:nn:ss", "PM 12:00:00"},
        {"12h_morning", QTime(9, 0, 0), "AM/PM h:nn:ss", "AM 9:00:00"},
        {"12h_afternoon_marker_after", QTime(13, 4, 5), "hh:nn:ss AM/PM", "01:04:05 PM"},
        {"12h_last_second", QTime(23, 59, 59), "h:nn:ss AM/PM", "11:59:59 PM"},
        {"record_name_time", QTime(14, 25, 0), "hhnnss", "142500"},
        {"mm_is_minute_in_time", QTime(8, 7, 6), "HH:mm:ss", "08:07:06"},
        {"lower_case_marker", QTime(15, 0, 0), "h:nn am/pm", "3:00 pm"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(FormatTime(c.time, c.pattern)), c.expected) << c.name;
    EXPECT_EQ(
        Str(FormatDateTime(QDateTime(QDate(2024, 1, 31), QTime(14, 25, 0)), "yyyymmdd", "hhnnss")),
        "20240131 142500");
}

// Whatever a format writes, the same format reads back.
TEST(ParseDate, ReadsBackEveryFormat) {
    std::vector<QDate> dates = {QDate(1930, 1, 1),   QDate(2029, 12, 31), QDate(2000, 2, 29),
                                QDate(1999, 12, 31), QDate(2024, 6, 5),   QDate(2024, 10, 1)};
    for (QDate d(1930, 1, 1); d.year() < 2030; d = d.addDays(13)) dates.push_back(d);
    QStringList formats = DateFormats();
    formats << "yyyymmdd";
    for (const QString& f : formats) {
        for (const QDate& d : dates) {
            const QString text = FormatDate(d, f);
            const auto back = ParseDate(text, f);
            ASSERT_TRUE(back.has_value()) << Str(f) << " " << Str(text);
            ASSERT_EQ(*back, d) << Str(f) << " " << Str(text);
        }
    }
}

TEST(ParseTime, ReadsBackEveryFormat) {
    QStringList formats = TimeFormats();
    formats << "hhnnss";
    for (const QString& f : formats) {
        for (int s = 0; s < 86400; s += 7) {
            for (const QTime& t : {QTime(0, 0).addSecs(s), QTime(12, 0).addSecs(s % 3600)}) {
                const QString text = FormatTime(t, f);
                const auto back = ParseTime(text, f);
                ASSERT_TRUE(back.has_value()) << Str(f) << " " << Str(text);
                ASSERT_EQ(*back, t) << Str(f) << " " << Str(text);
            }
        }
        ASSERT_EQ(ParseTime(FormatTime(QTime(23, 59, 59), f), f), QTime(23, 59, 59)) << Str(f);
    }
}

TEST(ParseDate, ToleranceAndRejects) {
    struct Case {
        const char* name;
        const char* text;
        const char* pattern;
        std::optional<QDate> expected;
    };
    const std::vector<Case> cases = {
        {"one_letter_takes_two_digits", "2024/06/05", "yyyy/m/d", QDate(2024, 6, 5)},
        {"doubled_letter_before_separator_takes_one", "6/5/2024", "mm/dd/yyyy", QDate(2024, 6, 5)},
        {"blanks_around", "  2024/06/05 ", "yyyy/mm/dd", QDate(2024, 6, 5)},
        {"yy_29_is_2029", "29 1 1", "yy m d", QDate(2029, 1, 1)},
        {"yy_30_is_1930", "30 1 1", "yy m d", QDate(1930, 1, 1)},
        {"upper_case_pattern", "06/05/2024", "MM/DD/YYYY", QDate(2024, 6, 5)},
        {"no_such_day", "2023/02/29", "yyyy/mm/dd", std::nullopt},
        {"no_such_month", "2024/13/01", "yyyy/mm/dd", std::nullopt},
        {"short_year", "24/06/05", "yyyy/mm/dd", std::nullopt},
        {"other_separator", "2024-06-05", "yyyy/mm/dd", std::nullopt},
        {"trailing_text", "2024/06/05x", "yyyy/mm/dd", std::nullopt},
        {"three_digit_day", "2024/06/005", "yyyy/mm/dd", std::nullopt},
        {"empty", "", "yyyy/mm/dd", std::nullopt},
        {"packed_too_short", "2024065", "yyyymmdd", std::nullopt},
        {"pattern_without_year", "06/05", "mm/dd", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDate(c.text, c.pattern), c.expected) << c.name;
}

TEST(ParseTime, ToleranceAndRejects) {
    struct Case {
        const char* name;
        const char* text;
        const char* pattern;
        std::optional<QTime> expected;
    };
    const std::vector<Case> cases = {
        {"marker_any_case", "am 09:00:00", "AM/PM hh:nn:ss", QTime(9, 0)},
        {"twelve_am_is_midnight", "AM 12:30:00", "AM/PM hh:nn:ss", QTime(0, 30)},
        {"twelve_pm_is_noon", "PM 12:30:00", "AM/PM hh:nn:ss", QTime(12, 30)},
        {"one_pm", "1:00:00 PM", "h:nn:ss AM/PM", QTime(13, 0)},
        {"single_digit_minute_before_separator", "9:5:00", "H:nn:ss", QTime(9, 5)},
        {"no_hour_13_in_12h", "PM 13:00:00", "AM/PM hh:nn:ss", std::nullopt},
        {"no_hour_0_in_12h", "AM 00:30:00", "AM/PM hh:nn:ss", std::nullopt},
        {"missing_marker", "09:00:00", "AM/PM hh:nn:ss", std::nullopt},
        {"marker_in_24h", "AM 09:00:00", "HH:nn:ss", std::nullopt},
        {"hour_24", "24:00:00", "H:nn:ss", std::nullopt},
        {"minute_60", "9:60:00", "H:nn:ss", std::nullopt},
        {"missing_seconds", "9:00", "H:nn:ss", std::nullopt},
        {"words", "abc", "HH:nn:ss", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseTime(c.text, c.pattern), c.expected) << c.name;
}

TEST(ParseAny, PreferredFormatFirstThenTheLists) {
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
