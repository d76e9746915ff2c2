#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numtext/numtext.h"

using numtext::formatFixed;
using numtext::formatGeneral;
using numtext::parseNumber;
using numtext::readInputText;

struct FixedCase {
    const char* name;
    double value;
    int decimals;
    const char* dot;
    const char* comma;
};

class FormatFixedTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTest, RoundsOnceHalfAwayFromZero)
{
    const FixedCase& c = GetParam();
    EXPECT_EQ(formatFixed(c.value, c.decimals, "."), c.dot);
    EXPECT_EQ(formatFixed(c.value, c.decimals, ","), c.comma);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFixedTest,
    ::testing::Values(
        FixedCase{"binary_below_half", 0.15, 1, "0.1", "0,1"}, // 0.1499999...
        FixedCase{"exact_half_up", 0.25, 1, "0.3", "0,3"},
        FixedCase{"exact_half_negative", -0.25, 1, "-0.3", "-0,3"},
        FixedCase{"whole_half", 60.5, 0, "61", "61"},
        FixedCase{"whole_half_negative", -60.5, 0, "-61", "-61"},
        FixedCase{"point_five", 0.5, 0, "1", "1"},
        FixedCase{"negative_rounds_to_zero", -0.4, 0, "0", "0"},
        FixedCase{"negative_zero_decimals", -0.04, 1, "0.0", "0,0"},
        FixedCase{"negative_zero_literal", -0.0, 1, "0.0", "0,0"},
        FixedCase{"ten_oh_five", 10.05, 1, "10.1", "10,1"}, // 10.050000000000000711
        FixedCase{"ten_oh_four", 10.04, 1, "10.0", "10,0"},
        FixedCase{"pascal_five_decimals", 0.1002374467254, 5, "0.10024", "0,10024"},
        FixedCase{"six_decimals", 0.10023744672545, 6, "0.100237", "0,100237"},
        FixedCase{"carry_into_new_digit", 9.96, 1, "10.0", "10,0"},
        FixedCase{"carry_below_one", 0.96, 0, "1", "1"},
        FixedCase{"tiny_value", 1e-20, 3, "0.000", "0,000"},
        FixedCase{"fifteen_significant_digits", 123456789.123456789, 9, "123456789.123457000",
                  "123456789,123457000"},
        FixedCase{"large_value", 1e20, 1, "100000000000000000000.0", "100000000000000000000,0"},
        FixedCase{"volts", 7.930521, 3, "7.931", "7,931"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatFixed, NeverShowsNanOrInfinity)
{
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::quiet_NaN(), 1), "0.0");
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::infinity(), 0), "0");
}

TEST(FormatGeneral, FifteenSignificantDigitsTrailingZerosDropped)
{
    EXPECT_EQ(formatGeneral(130, 15), "130");
    EXPECT_EQ(formatGeneral(130.1, 15), "130.1");
    EXPECT_EQ(formatGeneral(20.05, 15, ","), "20,05");
    EXPECT_EQ(formatGeneral(20.0 + 0.1 + 0.1 + 0.1, 15), "20.3");
    EXPECT_EQ(formatGeneral(-0.5, 15), "-0.5");
    EXPECT_EQ(formatGeneral(0.001, 15), "0.001");
    EXPECT_EQ(formatGeneral(0, 15), "0");
    EXPECT_EQ(formatGeneral(1e20, 15), "1E20");
    EXPECT_EQ(formatGeneral(1.5e-6, 15), "1.5E-6");
}

// The same rows as formatFixed's: a value, its decimals and the text with "." and ",".
using FigureCase = FixedCase;

class FormatFigure : public ::testing::TestWithParam<FigureCase> {};

TEST_P(FormatFigure, ExponentOnlyBeyondFifteenIntegerDigits)
{
    const FigureCase& c = GetParam();
    EXPECT_EQ(numtext::formatFigure(c.value, c.decimals, "."), c.dot);
    EXPECT_EQ(numtext::formatFigure(c.value, c.decimals, ","), c.comma);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFigure,
    ::testing::Values(FigureCase{"Ordinary", -60.5, 0, "-61", "-61"},
                      FigureCase{"Decimals", 0.100237, 6, "0.100237", "0,100237"},
                      FigureCase{"FifteenDigitsStayFixed", 999999999999999.0, 1, "999999999999999.0",
                                 "999999999999999,0"},
                      FigureCase{"RoundsUpToSixteen", 999999999999999.6, 0, "1E15", "1E15"},
                      FigureCase{"Sixteen", 1234567890123456.0, 0, "1.23456789012346E15", "1,23456789012346E15"},
                      FigureCase{"Huge", 1e308, 0, "1E308", "1E308"},
                      FigureCase{"HugeNegative", -1e307, 3, "-1E307", "-1E307"},
                      FigureCase{"NotFinite", std::numeric_limits<double>::infinity(), 1, "0.0", "0,0"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ParseCase {
    const char* name;
    std::string text;
    const char* sep;
    bool ok;
    double value;
};

class ParseNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, FollowsTheInputGrammar)
{
    const ParseCase& c = GetParam();
    auto r = parseNumber(c.text, c.sep);
    ASSERT_EQ(r.has_value(), c.ok) << c.text;
    if (c.ok) {
        EXPECT_DOUBLE_EQ(*r, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseNumberTest,
    ::testing::Values(ParseCase{"plain", "12.5", ".", true, 12.5},
                      ParseCase{"comma_locale", "12,5", ",", true, 12.5},
                      ParseCase{"comma_in_dot_locale", "1,5", ".", false, 0},
                      ParseCase{"dot_in_comma_locale", "1.5", ",", false, 0},
                      ParseCase{"only_minus", "-", ".", false, 0},
                      ParseCase{"only_separator", ".", ".", true, 0},
                      ParseCase{"trailing_separator", "1.", ".", true, 1},
                      ParseCase{"leading_separator", "-.5", ".", true, -0.5},
                      ParseCase{"exponent_without_digits", "1E", ".", true, 1},
                      ParseCase{"exponent", "2.5e-3", ".", true, 0.0025},
                      ParseCase{"spaces_around", "  7  ", ".", true, 7},
                      ParseCase{"tab_is_not_a_blank", "\t7", ".", false, 0},
                      ParseCase{"plus_sign", "+3", ".", true, 3},
                      ParseCase{"letters", "abc", ".", false, 0},
                      ParseCase{"two_signs", "--1", ".", false, 0},
                      ParseCase{"too_large", "1E400", ".", false, 0},
                      ParseCase{"largest_finite", "1.7E308", ".", true, 1.7e308},
                      ParseCase{"underflow_reads_zero", "1E-400", ".", true, 0},
                      // Out of range is told by where the leading digit stands, not by the exponent's sign.
                      ParseCase{"many_digits_overflow_despite_negative_exponent",
                                "-" + std::string(400, '9') + "1.5e-50", ".", false, 0},
                      ParseCase{"many_zeros_underflow_despite_positive_exponent",
                                "0," + std::string(400, '0') + "1e5", ",", true, 0},
                      ParseCase{"huge_exponent_digits", "1e-99999999999999999999999", ".", true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadInputText, BlankReadsZeroAndFailureReadsFallback)
{
    EXPECT_EQ(readInputText("", "."), 0.0);
    EXPECT_EQ(readInputText(" \t\r\n", "."), 0.0);
    EXPECT_EQ(readInputText("-", "."), 0.0);
    EXPECT_EQ(readInputText("x", ".", 5.0), 5.0);
    EXPECT_EQ(readInputText("-42,0", ","), -42.0);
}

TEST(FormatThenRead, GivesTheValueBackToTheShownDecimals)
{
    for (const char* sep : {".", ","}) {
        for (double v : {-39.8, 7.930521, 0.10024, 1e-7, 123456.789, -0.05}) {
            const std::string t = formatFixed(v, 3, sep);
            EXPECT_NEAR(readInputText(t, sep), v, 0.0005 + std::fabs(v) * 1e-15) << t;
        }
    }
}

// Rounded to 15 digits the largest doubles would pass the double range and
// read back as nothing; they are cut instead.
TEST(FormatThenRead, LargestDoublesStayReadable)
{
    const double max = std::numeric_limits<double>::max();
    for (const char* sep : {".", ","}) {
        for (double v : {max, -max, 1.7976931348623155e308}) {
            const auto fixed = numtext::parseNumber(formatFixed(v, 1, sep), sep);
            ASSERT_TRUE(fixed.has_value()) << formatFixed(v, 1, sep);
            EXPECT_NEAR(*fixed, v, std::fabs(v) * 1e-14);
            EXPECT_TRUE(numtext::parseNumber(numtext::formatGeneral(v, 15, sep), sep).has_value());
        }
    }
    EXPECT_EQ(numtext::formatGeneral(max, 15), "1.79769313486231E308");
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    EXPECT_EQ(numtext::roundHalfEvenToInt(-60.5), -60);
    EXPECT_EQ(numtext::roundHalfEvenToInt(-59.5), -60);
    EXPECT_EQ(numtext::roundHalfEvenToInt(7.93), 8);
    EXPECT_EQ(numtext::roundHalfEvenToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(numtext::roundHalfEvenToInt(1e300), std::numeric_limits<int>::max());
}
