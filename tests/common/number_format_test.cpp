#include "number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace quillon;

namespace {

struct FormatCase {
    const char* name;
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatNumber, Patterns) {
    const std::vector<FormatCase> cases = {
        {"reading_three_decimals", -2.352, "###0.000", "-2.352"},
        {"zero_keeps_decimals", 0, "###0.0000", "0.0000"},
        {"negative_zero_has_no_sign", -0.0, "###0.0000", "0.0000"},
        {"negative_rounding_to_zero_has_no_sign", -0.00004, "###0.0000", "0.0000"},
        {"hashes_do_not_limit_integer_digits", 123456.7, "#0.0", "123456.7"},
        {"two_integer_hashes", 0.25, "#0.0000", "0.2500"},
        {"float_half_rounds_to_even_down", double(2.3525f), "###0.000", "2.352"},
        {"float_half_rounds_to_even_up", double(2.3535f), "###0.000", "2.354"},
        {"double_half_down", 0.125, "##0.00", "0.12"},
        {"double_half_up", 0.135, "##0.00", "0.14"},
        {"carry_through_nines", 99.95, "###0.0", "100.0"},
        {"whole_half_to_even_down", 2.5, "####0", "2"},
        {"whole_half_to_even_up", 3.5, "####0", "4"},
        {"whole_negative_half", -2.5, "####0", "-2"},
        {"whole_below_half", 0.4, "####0", "0"},
        {"zero_pad_four", 7, "0000", "0007"},
        {"zero_pad_exceeded", 10000, "0000", "10000"},
        {"optional_decimals_trimmed", 1.5, "##0.##", "1.5"},
        {"big_value_no_exponent", 1e20, "0.0", "100000000000000000000.0"},
        {"nan", std::nan(""), "0.0", "NaN"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, QString::fromLatin1(c.pattern)).toStdString(), c.expected)
            << c.name;
    }
}

// The decoder turns a count into count x 10^(decimals - 4) held in single precision;
// every such reading must come out as the count's own digits.
TEST(FormatNumber, EveryMeterCountFormatsAsItsDigits) {
    const char* patterns[] = {"###0.0000", "###0.000", "###0.00", "###0.0", "####0"};
    const float resolution[] = {0.0001f, 0.001f, 0.01f, 0.1f, 1.0f};
    for (int decIdx = 0; decIdx < 5; ++decIdx) {
        const int decimals = 4 - decIdx;
        for (int count = 0; count <= 131071; count += 3) {
            const float value = float(double(-count) * double(resolution[decIdx]));
            std::string digits = std::to_string(count);
            if (decimals > 0) {
                if (int(digits.size()) <= decimals) {
                    digits.insert(0, size_t(decimals + 1 - int(digits.size())), '0');
                }
                digits.insert(digits.size() - size_t(decimals), ".");
            }
            const std::string expected = (count == 0 ? "" : "-") + digits;
            ASSERT_EQ(FormatNumber(value, QString::fromLatin1(patterns[decIdx])).toStdString(),
                      expected)
                << "count " << count << " decIdx " << decIdx;
        }
    }
}

TEST(RoundHalfEven, HalvesGoToEvenJudgedOnDecimalText) {
    struct Case {
        const char* name;
        double value;
        int decimals;
        double expected;
    };
    const std::vector<Case> cases = {
        {"negative_half", -2.5, 0, -2},
        {"interval_500ms", 0.5, 0, 0},
        {"interval_1500ms", 1.5, 0, 2},
        {"just_above_half", 2.5000001, 0, 3},
        {"eighth", 0.125, 2, 0.12},
        {"binary_below_half", 0.135, 2, 0.14},
        {"float_reading", double(2.3525f), 3, 2.352},
        {"no_change", 1.25, 4, 1.25},
        {"huge", 1e20, 2, 1e20},
        {"negative_decimals_as_zero", 7.5, -1, 8},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundHalfEven(c.value, c.decimals), c.expected) << c.name;
    EXPECT_DOUBLE_EQ(RoundHalfEven(4.5), 4);
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.4))) << "no negative zero";
}

TEST(NumberText, IsNumeric) {
    struct Case {
        const char* text;
        bool numeric;
    };
    const std::vector<Case> cases = {
        {"1.5", true}, {" -2.5 ", true}, {"+3", true},      {".5", true},   {"5.", true},
        {"1e3", true}, {"1E-3", true},   {"-0.0000", true}, {"OL", false},  {"-OL", false},
        {"", false},   {"  ", false},    {"-", false},      {".", false},   {"1.2.3", false},
        {"1e", false}, {"1,5", false},   {"12abc", false},  {"1 2", false}, {"e5", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNumeric(QString::fromLatin1(c.text)), c.numeric) << '"' << c.text << '"';
}

TEST(NumberText, LeadingNumberReadsLikeTypedText) {
    struct Case {
        const char* text;
        double value;
    };
    const std::vector<Case> cases = {
        {"1.5abc", 1.5},     {"abc", 0}, {"", 0},    {" -2.5", -2.5},
        {"2e3V", 2000},      {"3e", 3},  {"3e+", 3}, {"-.5x", -0.5},
        {"1.2.3", 1.2},      {"+7", 7},  {"- 5", 0}, {"\t42", 42},
        {"1e999", HUGE_VAL},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(c.text)), c.value)
            << '"' << c.text << '"';
}

TEST(NumberText, NumberOrAndFix) {
    EXPECT_EQ(NumberOr("OL", 99), 99);
    EXPECT_EQ(NumberOr("12V", 99), 99);
    EXPECT_EQ(NumberOr(" 4.5 ", 99), 4.5);
    EXPECT_EQ(Fix(-2.7), -2);
    EXPECT_EQ(Fix(2.7), 2);
}

TEST(PlainText, SingleAndDouble) {
    struct Case {
        const char* name;
        QString text;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"third", PlainSingle(0.333f), "0.333"},
        {"negative", PlainSingle(-10.5f), "-10.5"},
        {"zero", PlainSingle(0.0f), "0"},
        {"negative_zero", PlainSingle(-0.0f), "0"},
        {"whole", PlainSingle(1200.0f), "1200"},
        {"small", PlainSingle(1e-5f), "0.00001"},
        {"float_sum_seven_digits", PlainSingle(0.1f + 0.2f), "0.3"},
        {"rounded_to_seven", PlainSingle(2.0f / 3.0f), "0.6666667"},
        {"tiny_uses_exponent", PlainSingle(1.5e-20f), "1.5e-20"},
        {"huge_uses_exponent", PlainSingle(3e25f), "3e25"},
        {"double_sum", PlainDouble(0.1 + 0.2), "0.3"},
        {"double_third", PlainDouble(1.0 / 3.0), "0.333333333333333"},
        {"double_big", PlainDouble(1e15), "1000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text.toStdString(), c.expected) << c.name;
}

}  // namespace
