#include "number_format.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <cmath>
#include <tuple>

using namespace quillon;

namespace {

// Halves go to even (float ones judged on their decimal text); no sign on a zero result.
TEST(NumberText, PatternsRoundingReadingAndPlainText) {
    using Pattern = std::tuple<double, const char*, const char*>;
    const Pattern cases[] = {{-2.352, "###0.000", "-2.352"},
                             {-0.0, "###0.0000", "0.0000"},
                             {-4e-5, "###0.0000", "0.0000"},
                             {123456.7, "#0.0", "123456.7"},
                             {0.25, "#0.0000", "0.2500"},
                             {2.3535f, "###0.000", "2.354"},
                             {99.95, "###0.0", "100.0"},
                             {0.125, "##0.00", "0.12"},
                             {1.5, "##0.##", "1.5"},
                             {-2.5, "####0", "-2"},
                             {7, "0000", "0007"},
                             {10000, "0000", "10000"}};
    for (const auto& [value, pattern, expected] : cases)
        EXPECT_EQ(FormatNumber(value, pattern).toStdString(), expected) << value;
    EXPECT_EQ(FormatNumber(1e20, "0.0") + " " + FormatNumber(std::nan(""), "0"),
              "100000000000000000000.0 NaN");
    const double rounded[][3] = {
        {-2.5, 0, -2},    {0.5, 0, 0},         {1.5, 0, 2},     {2.5000001, 0, 3}, {0.125, 2, 0.12},
        {0.135, 2, 0.14}, {2.3525f, 3, 2.352}, {1.25, 4, 1.25}, {1e20, 2, 1e20},   {7.5, -1, 8}};
    for (const auto& c : rounded)
        EXPECT_DOUBLE_EQ(RoundHalfEven(c[0], int(c[1])), c[2]) << c[0] << " " << c[1];
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.4))) << "no negative zero";
    // Every meter count, held in single precision as the decoder does, shows its own digits.
    const char* patterns[] = {"####0", "###0.0", "###0.00", "###0.000", "###0.0000"};
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const float resolution = float(std::pow(10.0, -decimals));
        for (int count = 0; count <= 131071; count += 3) {
            const QString digits = QString::number(count / std::pow(10.0, decimals), 'f', decimals);
            ASSERT_EQ(FormatNumber(float(-count * double(resolution)), patterns[decimals]),
                      (count == 0 ? "" : "-") + digits)
                << "count " << count << " decimals " << decimals;
        }
    }
    // Text is read as typed and written plain.
    for (const char* yes : {"1.5", " -2.5 ", "+3", ".5", "5.", "1e3", "1E-3", "-0.0000"})
        EXPECT_TRUE(IsNumeric(yes)) << yes;
    for (const char* no :
         {"OL", "-OL", "", "  ", "-", ".", "1.2.3", "1e", "1,5", "12abc", "1 2", "e5"})
        EXPECT_FALSE(IsNumeric(no)) << no;
    const std::pair<const char*, double> leading[] = {
        {"1.5abc", 1.5},    {"abc", 0}, {"", 0},    {" -2.5", -2.5},
        {"2e3V", 2000},     {"3e", 3},  {"3e+", 3}, {"-.5x", -0.5},
        {"1.2.3", 1.2},     {"+7", 7},  {"- 5", 0}, {"\t42", 42},
        {"1e999", HUGE_VAL}};
    for (const auto& [text, value] : leading) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
    EXPECT_EQ(QList<double>({NumberOr("OL", 99), NumberOr("12V", 99), NumberOr(" 4.5 ", 99),
                             Fix(-2.7), Fix(2.7)}),
              QList<double>({99, 99, 4.5, -2, 2}));
    const std::pair<float, const char*> singles[] = {
        {0.333f, "0.333"},     {-10.5f, "-10.5"},  {0.0f, "0"},          {-0.0f, "0"},
        {1200.0f, "1200"},     {1e-5f, "0.00001"}, {0.1f + 0.2f, "0.3"}, {2.0f / 3.0f, "0.6666667"},
        {1.5e-20f, "1.5e-20"}, {3e25f, "3e25"}};
    for (const auto& [value, text] : singles) EXPECT_EQ(PlainSingle(value).toStdString(), text);
    EXPECT_EQ(PlainDouble(0.1 + 0.2) + " " + PlainDouble(1.0 / 3.0) + " " + PlainDouble(1e15),
              "0.3 0.333333333333333 1000000000000000");
}

// Numbers are written and read with "." whatever the user's locale.
TEST(CommaLocale, NumbersKeepTheirForm) {
    const QLocale savedQt;
    const std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
        if (std::setlocale(LC_NUMERIC, name)) break;
    EXPECT_EQ(FormatNumber(-2.352, "###0.000") + " " + FormatNumber(12345.5, "####0.0") + " " +
                  PlainSingle(-10.5f) + " " + PlainDouble(0.0333),
              "-2.352 12345.5 -10.5 0.0333");
    EXPECT_EQ(QList<double>({LeadingNumber("1.5"), LeadingNumber("1,5"), NumberOr("-4.25", 0)}),
              QList<double>({1.5, 1.0, -4.25}));
    EXPECT_TRUE(IsNumeric("2.5") && !IsNumeric("2,5"));
    QLocale::setDefault(savedQt);
    std::setlocale(LC_NUMERIC, savedC.c_str());
}

}  // namespace
