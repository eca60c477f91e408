// Numbers and dates must be written and read with "." whatever the user's locale.
#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <string>

#include "date_time_format.h"
#include "number_format.h"

using namespace quillon;

namespace {

TEST(CommaLocale, NumbersDatesAndTimesKeepTheirForm) {
    const QLocale savedQt;
    const std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bool cLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
        if (!cLocale && std::setlocale(LC_NUMERIC, name)) cLocale = true;
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    if (cLocale) EXPECT_EQ(std::string(std::localeconv()->decimal_point), ",");

    EXPECT_EQ(FormatNumber(-2.352, "###0.000"), "-2.352");
    EXPECT_EQ(FormatNumber(12345.5, "####0.0"), "12345.5") << "no thousands separator";
    EXPECT_EQ(PlainSingle(-10.5f), "-10.5");
    EXPECT_EQ(PlainDouble(0.0333), "0.0333");
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.135, 2), 0.14);
    EXPECT_DOUBLE_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1,5"), 1.0);
    EXPECT_TRUE(IsNumeric("2.5"));
    EXPECT_FALSE(IsNumeric("2,5"));
    EXPECT_DOUBLE_EQ(NumberOr("-4.25", 0), -4.25);
    EXPECT_EQ(FormatDate(QDate(2024, 6, 5), "yyyy.mm.dd"), "2024.06.05");
    EXPECT_EQ(FormatTime(QTime(13, 4, 5), "hh:nn:ss AM/PM"), "01:04:05 PM");
    EXPECT_EQ(ParseDate("2024.06.05", "yyyy.mm.dd"), QDate(2024, 6, 5));
    EXPECT_EQ(ParseAnyTime("PM 01:04:05", "HH:nn:ss"), QTime(13, 4, 5));

    QLocale::setDefault(savedQt);
    std::setlocale(LC_NUMERIC, savedC.c_str());
}

}  // namespace
