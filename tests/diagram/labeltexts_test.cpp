// The label hooks' number texts and their rounding edges.
#include "diagram/labeltexts.h"

#include <gtest/gtest.h>

TEST(LabelTexts, MilliVoltEdgesSwitchUnit)
{
    EXPECT_EQ(labeltext::milliVolts(1.0, "."), "1.000 mV");
    EXPECT_EQ(labeltext::milliVolts(0.9999, "."), "999.900 uV");
    EXPECT_EQ(labeltext::milliVolts(1000.0, "."), "1.000 V");
    EXPECT_EQ(labeltext::milliVolts(999.9994, "."), "999.999 mV");
    EXPECT_EQ(labeltext::milliVolts(0.000245, ","), "0,245 uV");
}

TEST(LabelTexts, PascalDecimalsFollowThePressure)
{
    EXPECT_EQ(labeltext::pascal(0.1, "."), "0.1000 Pa");
    EXPECT_EQ(labeltext::pascal(0.09999, "."), "0.09999 Pa");
    EXPECT_EQ(labeltext::pascal(100.0, "."), "100.0 Pa");
    EXPECT_EQ(labeltext::pascal(99.99, "."), "99.99 Pa");
    EXPECT_EQ(labeltext::pascal(1.0, ","), "1,000 Pa");
    // Six significant digits before the fixed text: 0.000632456 -> 5 decimals.
    EXPECT_EQ(labeltext::pa(30, "."), "0.00063 Pa");
    EXPECT_EQ(labeltext::pa(150, "."), "632.5 Pa");
}

TEST(LabelTexts, SecondPascalFormatPadsToWidth)
{
    EXPECT_EQ(labeltext::pascal2(0.00002, "."), "0.00002 Pa");
    EXPECT_EQ(labeltext::pascal2(0.0002, "."), "0.0002 Pa");
    EXPECT_EQ(labeltext::pascal2(0.05, "."), "0.05 Pa");
    EXPECT_EQ(labeltext::pascal2(0.5, "."), "  0.5 Pa");
    EXPECT_EQ(labeltext::pascal2(632.456, "."), "   632 Pa");
    EXPECT_EQ(labeltext::pa2(94, "."), "     1 Pa");
}

TEST(LabelTexts, LevelTextsRoundHalvesAwayFromZero)
{
    EXPECT_EQ(labeltext::dBu(-130, "."), "-130 dBu");
    EXPECT_EQ(labeltext::dBV(20, "."), "18 dBV");   // 17.8
    EXPECT_EQ(labeltext::dBV(-130, "."), "-132 dBV"); // -132.2
    EXPECT_EQ(labeltext::dBV(0.7, "."), "-2 dBV");  // -1.5
    EXPECT_EQ(labeltext::dBFS(-0.4, "."), "0 dBFS");
    EXPECT_EQ(labeltext::dBSPL("1,000"), "1,000 dBSPL");
    // Values of 1000 and more are written as numbers, never re-read from text.
    EXPECT_EQ(labeltext::dBu(1000, "."), "1000 dBu");
    EXPECT_EQ(labeltext::dBV(1000, ","), "998 dBV");
}

TEST(LabelTexts, OverlayTextsCarryTheirNumbers)
{
    EXPECT_EQ(labeltext::overMaxText(130, "."), "Mic Max level = 130 dBSPL");
    EXPECT_EQ(labeltext::overMaxText(130.5, "."), "Mic Max level = 131 dBSPL");
    EXPECT_EQ(labeltext::noiseZoneText(-99.8, false, "."), "Mic Noise level = -100 dBu");
    EXPECT_EQ(labeltext::noiseZoneText(-90, true, "."), "Mic Noise level = -90 dBFS");
}

// At fine steps the pressure and voltage texts take the decimals that set
// neighbouring labels apart; where the usual text already does, it stays.
TEST(LabelTexts, NeighboursAtFineStepsReadApart)
{
    for (double step : {1.0, 2.0}) {
        for (double v = -30; v <= 210; v += step) {
            EXPECT_NE(labeltext::pa(v, ".", step), labeltext::pa(v - step, ".", step)) << v << " step " << step;
            EXPECT_NE(labeltext::mV(v - 150, ".", step), labeltext::mV(v - 150 - step, ".", step)) << v - 150;
        }
    }
    EXPECT_EQ(labeltext::pa(150, ".", 10), "632.5 Pa");
    EXPECT_EQ(labeltext::pa(10, ".", 10), "0.00006 Pa");
    EXPECT_EQ(labeltext::mV(-130, ".", 10), "0.245 uV");
}
