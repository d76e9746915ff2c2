#include "chart/scalemath.h"

#include "numtext/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using scale::ScaleMap;

namespace {

// The number an axis text shows, its group separators dropped.
double readAxisText(std::string text, const std::string& dec, const std::string& group)
{
    if (!group.empty() && group != dec)
        for (auto pos = text.find(group); pos != std::string::npos; pos = text.find(group, pos)) text.erase(pos, group.size());
    return numtext::parseNumber(text, dec).value_or(0.0);
}

} // namespace

TEST(NextStep, WalksTheOneTwoFiveSequence)
{
    EXPECT_DOUBLE_EQ(scale::nextStep(1), 2);
    EXPECT_DOUBLE_EQ(scale::nextStep(2), 5);
    EXPECT_DOUBLE_EQ(scale::nextStep(5), 10);
    EXPECT_DOUBLE_EQ(scale::nextStep(10), 20);
    EXPECT_DOUBLE_EQ(scale::nextStep(7.6), 10);
    EXPECT_DOUBLE_EQ(scale::nextStep(0.3), 0.5);
    EXPECT_DOUBLE_EQ(scale::nextStep(160.0 / 23), 10);
}

struct StepCase {
    const char* name;
    double min, max;
    int pixels, h;
    double increment;
    double step;
    std::vector<double> labels; // first and last of the list, and its size
    std::size_t count;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class LabelStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(LabelStep, ChoosesStepAndValues)
{
    const StepCase& c = GetParam();
    const double step = scale::labelStep(c.min, c.max, c.pixels, c.h, 10, c.increment);
    EXPECT_DOUBLE_EQ(step, c.step);
    // Values from the top down; the ones on the axis's ends are dropped by the
    // row test of the layout, so check the kept range here.
    const ScaleMap map{c.min, c.max, 0, c.pixels};
    std::vector<double> kept;
    for (double v : scale::labelValues(c.min, c.max, step)) {
        const int r = map.row(v);
        if (r > map.startRow && r < map.endRow) kept.push_back(v);
    }
    ASSERT_EQ(kept.size(), c.count);
    if (kept.empty()) return;
    EXPECT_NEAR(kept.front(), c.labels.front(), 1e-9);
    EXPECT_NEAR(kept.back(), c.labels.back(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelStep,
    ::testing::Values(StepCase{"Zero_160", 0, 160, 398, 16, 0, 10, {150, 10}, 15},
                      StepCase{"Sensitivity_minus39_8", -133.8, 26.2, 398, 16, 0, 10, {20, -130}, 16},
                      StepCase{"IncrementOneDoubles", -120, 40, 398, 16, 1, 8, {32, -112}, 19},
                      StepCase{"FineRange", 0, 1, 398, 16, 0, 0.05, {0.95, 0.05}, 19},
                      StepCase{"ZeroPixelsOneSlot", 0, 160, 0, 16, 0, 200, {0, 0}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelStep, LabelCountFollowsSpaceRule)
{
    EXPECT_EQ(scale::labelSpace(16, 10), 18);
    EXPECT_EQ(scale::labelSpace(15, 10), 17); // 1.5 rounds to even 2
    EXPECT_EQ(scale::labelCount(398, 18), 22);
    EXPECT_EQ(scale::labelCount(0, 18), 1);
    EXPECT_EQ(scale::labelCount(100, 0), 1);
}

TEST(LabelValues, EdgeRanges)
{
    EXPECT_EQ(scale::labelValues(5, 5, 1), std::vector<double>{5});
    // 10000 labels or more: none.
    EXPECT_TRUE(scale::labelValues(0, 10000, 1).empty());
    EXPECT_EQ(scale::labelValues(0, 9999, 1).size(), 10000u);
    // Positive minimum: the minimum itself is labelled.
    EXPECT_EQ(scale::labelValues(10, 30, 10), (std::vector<double>{30, 20, 10}));
    // From an origin other than 0: the maximum itself, or any value of the steps.
    EXPECT_EQ(scale::labelValues(-7, 23, 10, 23), (std::vector<double>{23, 13, 3, -7}));
    EXPECT_EQ(scale::labelValues(-7, 23, 10, -2), (std::vector<double>{18, 8, -2}));
    EXPECT_TRUE(scale::labelValues(0, 1, 0).empty());
}

// Label lists over ranges where subtracting the step label by label drifts
// (long ranges with fractional steps, ranges ending on a multiple of the step
// that the subtraction overshoots): every label on its multiple of the step,
// the one at 0 exactly 0, the one at the minimum kept. The top label follows
// the truncation of maximum / step: 0.3 / 0.1 is 2.999... in doubles, so a
// range up to 0.3 starts at 0.2.
struct DriftCase {
    const char* name;
    double min, max, step;
    long long top, bottom; // the first and last labels, in steps
};

void PrintTo(const DriftCase& c, std::ostream* os) { *os << c.name; }

class LabelValuesDrift : public ::testing::TestWithParam<DriftCase> {};

TEST_P(LabelValuesDrift, EveryLabelOnItsMultipleOfTheStep)
{
    const DriftCase& c = GetParam();
    const std::vector<double> v = scale::labelValues(c.min, c.max, c.step);
    ASSERT_EQ(v.size(), static_cast<std::size_t>(c.top - c.bottom + 1));
    // A few units in the last place of the range's ends; drift over a
    // thousand subtractions is hundreds.
    const double ulp = std::nextafter(std::max(std::fabs(c.min), std::fabs(c.max)), INFINITY) -
                       std::max(std::fabs(c.min), std::fabs(c.max));
    for (std::size_t i = 0; i < v.size(); ++i) {
        const long long k = c.top - static_cast<long long>(i);
        if (k == 0) {
            EXPECT_EQ(v[i], 0.0) << i;
            EXPECT_FALSE(std::signbit(v[i])) << i;
        } else {
            ASSERT_NEAR(v[i], static_cast<double>(k) * c.step, 4 * ulp) << "label " << i << ", " << k << " steps";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelValuesDrift,
    ::testing::Values(DriftCase{"ZeroToPoint3StartsAtPoint2", 0, 0.3, 0.1, 2, 0},
                      DriftCase{"ZeroToPoint7StartsAtPoint6", 0, 0.7, 0.1, 6, 0},
                      DriftCase{"Minus0_55To0_35", -0.55, 0.35, 0.1, 3, -5},
                      DriftCase{"Minus0_3To0_3", -0.3, 0.3, 0.1, 2, -3},
                      DriftCase{"Minus2ToMinus0_3", -2, -0.3, 0.1, -3, -20},
                      DriftCase{"Minus50To50Tenths", -50, 50, 0.1, 500, -500},
                      DriftCase{"ZeroTo999_9Tenths", 0, 999.9, 0.1, 9998, 0},
                      DriftCase{"ZeroTo49_99Hundredths", 0, 49.99, 0.01, 4999, 0},
                      DriftCase{"Minus100To100By0_05", -100, 100, 0.05, 2000, -2000},
                      DriftCase{"Minus120To40By0_2", -120, 40, 0.2, 200, -600},
                      DriftCase{"Minus133_8To26_2By0_2", -133.8, 26.2, 0.2, 130, -669}),
    [](const auto& info) { return std::string(info.param.name); });

// A step below the precision of the maximum, or a maximum / step beyond the
// double range, used to spin for ever looking for the first value.
TEST(LabelValues, StepBelowThePrecisionOfTheMaximumEnds)
{
    EXPECT_EQ(scale::labelValues(9.391670189485866e24, 9.391670189485866e24, 1e-4),
              std::vector<double>{9.391670189485866e24});
    EXPECT_EQ(scale::labelValues(1.05e308, 1.05e308, 1e-12), std::vector<double>{1.05e308});
}

TEST(ScaleMapRow, MapsEndsAndBeyondWithoutClamping)
{
    const ScaleMap m{0, 160, 31, 428};
    EXPECT_EQ(m.row(160), 31);
    EXPECT_EQ(m.row(0), 428);
    EXPECT_LT(m.row(170), 31);
    EXPECT_GT(m.row(-10), 428);
    // (150 - 0) * 397 / 160 = 372.1875 -> 372
    EXPECT_EQ(m.row(150), 428 - 372);
    // A zero range puts every value on the middle row.
    const ScaleMap flat{5, 5, 10, 21};
    EXPECT_EQ(flat.row(100), 15);
    // Rows far away stay far away without overflowing.
    EXPECT_LT(m.row(1e300), -1000000);
    EXPECT_GT(m.row(-1e300), 1000000);
}

TEST(ScaleMapRow, TiesGoToEven)
{
    // pixel size 10 over range 4: 2.5 pixels per value.
    const ScaleMap m{0, 4, 0, 10};
    EXPECT_EQ(m.row(1), 10 - 2); // 2.5 -> 2
    EXPECT_EQ(m.row(3), 10 - 8); // 7.5 -> 8
    EXPECT_DOUBLE_EQ(m.value(10 - 5), 2);
}

struct FormatCase {
    const char* name;
    double v;
    const char* dec;
    const char* group;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class AxisValueText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(AxisValueText, FormatsAndReadsBack)
{
    const FormatCase& c = GetParam();
    const std::string text = scale::formatAxisValue(c.v, c.dec, c.group);
    EXPECT_EQ(text, c.text);
    EXPECT_NEAR(readAxisText(text, c.dec, c.group), c.v, 5e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisValueText,
    ::testing::Values(FormatCase{"Whole", 150, ".", ",", "150"}, FormatCase{"Negative", -130, ".", ",", "-130"},
                      FormatCase{"Half", 2.5, ".", ",", "2.5"}, FormatCase{"HalfComma", 2.5, ",", ".", "2,5"},
                      FormatCase{"Thousand", 1000, ".", ",", "1,000"},
                      FormatCase{"ThousandDotGroup", 1000, ",", ".", "1.000"},
                      FormatCase{"Million", -1234567.25, ".", ",", "-1,234,567.25"},
                      FormatCase{"ThreeDecimals", 0.30000000000000004, ".", ",", "0.3"},
                      FormatCase{"RoundsAtThree", 1.23456, ".", ",", "1.235"},
                      FormatCase{"TinyNegativeIsZero", -0.0001, ".", ",", "0"},
                      FormatCase{"FifteenDigitsGrouped", -999999999999999, ".", ",", "-999,999,999,999,999"},
                      FormatCase{"SixteenDigitsInExponentForm", 1e16, ".", ",", "1E16"},
                      FormatCase{"ExponentFormComma", -1.5e20, ",", ".", "-1,5E20"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PatternCase {
    const char* name;
    const char* pattern;
    double v;
    const char* text; // with "," for the decimals and "." for the groups
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

class AxisValuePattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(AxisValuePattern, WritesWhatThePatternAsks)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(scale::formatAxisValue(c.v, ",", ".", scale::parseAxisNumberFormat(c.pattern)), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisValuePattern,
    ::testing::Values(PatternCase{"Default", "#,##0.###", 1234.5, "1.234,5"},
                      PatternCase{"FixedDecimals", "0.00", 1234.5, "1234,50"},
                      PatternCase{"NoDecimals", "#,##0", -1234.5678, "-1.235"},
                      PatternCase{"LeadingZeros", "000", 7, "007"},
                      PatternCase{"NoIntegerDigit", "#.##", -0.5, "-,5"},
                      PatternCase{"ZeroWithoutDigitsStillShows", "#.#", 0, "0"},
                      PatternCase{"NegativeZeroDropped", "0.0", -0.04, "0,0"},
                      PatternCase{"DecimalsCappedAtADoublesDigits", "0.####################", 0.5, "0,5"},
                      PatternCase{"SixteenDigitsInExponentForm", "0", 1e16, "1E16"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AxisValuePattern, TheDefaultPatternIsTheDefaultFormat)
{
    EXPECT_EQ(scale::parseAxisNumberFormat("#,##0.###"), scale::AxisNumberFormat{});
}

// An axis stretched far beyond the rows shown: only the shown rows are
// walked, with the same values the whole list has there, and a font too
// small to read still gets 4 rows a label.
TEST(LabelWork, FollowsTheRowsShownNotTheRange)
{
    const ScaleMap map{0, 4999, -2000, 3000};
    const double step = scale::labelStep(map.min, map.max, map.pixelSize(), 1, 10, 0);
    EXPECT_DOUBLE_EQ(step, 5); // 1250 labels fit at 4 rows each, not 5000
    for (double origin : {0.0, map.max}) { // labels at multiples of the step, or from the maximum
        std::vector<double> whole;
        for (double v : scale::labelValues(map.min, map.max, step, origin))
            if (map.row(v) >= 0 && map.row(v) <= 1000) whole.push_back(v);
        const std::vector<double> shown = scale::labelValuesInRows(map, step, 0, 1000, origin);
        ASSERT_EQ(shown.size(), whole.size()) << origin;
        for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_NEAR(shown[i], whole[i], 1e-9);
        EXPECT_LE(shown.size(), 1000u / scale::kMinLabelPitch + 1);
    }
    // An axis inside the rows gives the whole list.
    EXPECT_EQ(scale::labelValuesInRows(ScaleMap{0, 160, 31, 428}, 10, 0, 448), scale::labelValues(0, 160, 10));
}
