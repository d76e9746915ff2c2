#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "calc/resultline.h"
#include "calc_fakes.h"

TEST(FormatVolts, ChoosesTheUnitByMagnitude)
{
    EXPECT_EQ(FormatVolts(0.0007930521), "793.052 uV");
    EXPECT_EQ(FormatVolts(0.001), "1.000 mV");
    EXPECT_EQ(FormatVolts(0.5), "500.000 mV");
    EXPECT_EQ(FormatVolts(1), "1.000 V");
    EXPECT_EQ(FormatVolts(0), "0.000 uV");
    EXPECT_EQ(FormatVolts(0.5, ","), "500,000 mV");
}

// The unit is chosen after rounding to three decimals.
struct VoltsCase {
    const char* name;
    double volts;
    const char* sep;
    const char* expected;
};

void PrintTo(const VoltsCase& c, std::ostream* os) { *os << c.name; }

class FormatVoltsRounding : public ::testing::TestWithParam<VoltsCase> {};

TEST_P(FormatVoltsRounding, ChoosesTheUnitAfterRounding)
{
    EXPECT_EQ(FormatVolts(GetParam().volts, GetParam().sep), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatVoltsRounding,
    ::testing::Values(VoltsCase{"BelowOneVolt", 0.9999999, ".", "1.000 V"},
                      VoltsCase{"HalfBelowOneVolt", 0.9999995, ".", "1.000 V"},
                      VoltsCase{"BelowOneVoltComma", 0.9999999, ",", "1,000 V"},
                      VoltsCase{"HalfBelowOneMillivolt", 0.0009999995, ".", "1.000 mV"},
                      VoltsCase{"BelowOneMillivoltComma", 0.0009999999, ",", "1,000 mV"},
                      VoltsCase{"StaysMillivolts", 0.9999994, ".", "999.999 mV"},
                      VoltsCase{"StaysMicrovolts", 0.0009999994, ".", "999.999 uV"},
                      VoltsCase{"NegativeInMicrovolts", -0.5, ".", "-500000.000 uV"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LineCase {
    const char* name;
    const char* sep;
    bool digital;
    const char* expected;
};

class ResultLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ResultLineTest, AfterStartUp)
{
    const LineCase& c = GetParam();
    FakeWindow w(c.sep);
    w.startUp();
    if (c.digital) w.digital.click();
    EXPECT_EQ(w.line.line, c.expected);
    EXPECT_EQ(w.bar.position, c.digital ? -46 : -60); // the output of the line's kind
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultLineTest,
    ::testing::Values(
        LineCase{"analog_dot", ".", false,
                 "<P align=\"center\">[Dyn : <FONT color=\"#FFFF80\">0 dB</FONT> ; SNR : <FONT color=\"#FFFF80\">0 "
                 "dB</FONT>] - At <FONT color=\"#FFFF80\">74 dBSPL (0.100237 Pa)</FONT>, Mic out = <FONT "
                 "color=\"#FFFF80\">793.052 uV / -60 dBu / -62 dBV</FONT> ; Amp out = <FONT color=\"#FFFF80\">0.0 V / "
                 "-40 dBu / -42 dBV</FONT></P>"},
        LineCase{"analog_comma", ",", false,
                 "<P align=\"center\">[Dyn : <FONT color=\"#FFFF80\">0 dB</FONT> ; SNR : <FONT color=\"#FFFF80\">0 "
                 "dB</FONT>] - At <FONT color=\"#FFFF80\">74 dBSPL (0,100237 Pa)</FONT>, Mic out = <FONT "
                 "color=\"#FFFF80\">793,052 uV / -60 dBu / -62 dBV</FONT> ; Amp out = <FONT color=\"#FFFF80\">0,0 V / "
                 "-40 dBu / -42 dBV</FONT></P>"},
        LineCase{"digital_dot", ".", true,
                 "<P align=\"center\">[Dyn : <FONT color=\"#FFFF80\">0 dB</FONT> ; SNR : <FONT color=\"#FFFF80\">0 "
                 "dB</FONT>] - At <FONT color=\"#FFFF80\">74 dBSPL (0.100237 Pa)</FONT>, Mic out = <FONT "
                 "color=\"#FFFF80\">-46 dBFS</FONT> ; Amp out = <FONT color=\"#FFFF80\">-26 dBFS</FONT></P>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResultLine, BarTiesToEvenWhileTheLineRoundsAwayFromZero)
{
    FakeWindow w;
    w.startUp();
    w.in(InputId::MicSens_dBu).setText("-40.5");
    EXPECT_EQ(w.bar.position, -60);
    EXPECT_NE(w.line.line.find("/ -61 dBu /"), std::string::npos);
}
