// Numbers and dates must be written and read with "." whatever the user's locale.
#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <string>

#include "date_time_format.h"
#include "number_format.h"

using namespace quillon;

namespace {

class CommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        savedQt_ = QLocale();
        savedC_ = std::setlocale(LC_NUMERIC, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
            if (std::setlocale(LC_NUMERIC, name)) {
                cLocaleSet_ = true;
                break;
            }
        }
        if (!cLocaleSet_) {
            RecordProperty("note", "no de_DE C locale installed; Qt default locale only");
        }
    }
    void TearDown() override {
        QLocale::setDefault(savedQt_);
        std::setlocale(LC_NUMERIC, savedC_.c_str());
    }
    bool cLocaleSet_ = false;

  private:
    QLocale savedQt_;
    std::string savedC_;
};

TEST_F(CommaLocale, NumbersKeepThePoint) {
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    if (cLocaleSet_) {
        ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    }

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
}

TEST_F(CommaLocale, DatesAndTimesUnchanged) {
    EXPECT_EQ(FormatDate(QDate(2024, 6, 5), "yyyy.mm.dd"), "2024.06.05");
    EXPECT_EQ(FormatTime(QTime(13, 4, 5), "hh:nn:ss AM/PM"), "01:04:05 PM");
    EXPECT_EQ(ParseDate("2024.06.05", "yyyy.mm.dd"), QDate(2024, 6, 5));
    EXPECT_EQ(ParseAnyTime("PM 01:04:05", "HH:nn:ss"), QTime(13, 4, 5));
}

}  // namespace
