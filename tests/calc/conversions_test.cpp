#include <gtest/gtest.h>

#include "calc/micparams.h"

using namespace conv;

TEST(Conversions, ReferenceExamples)
{
    EXPECT_NEAR(voltsToDbu(0.010), -37.7860, 1e-4);
    EXPECT_NEAR(dbuToDbv(voltsToDbu(0.010)), -39.9860, 1e-4);
    EXPECT_NEAR(dbvToDbu(-42), -39.8, 1e-12);
    EXPECT_NEAR(dbuToVolts(dbvToDbu(-42)), 0.0079305, 1e-7);
    EXPECT_NEAR(dbsplToPa(74), 0.1002374, 1e-7);
    EXPECT_NEAR(dbsplToPa(94), 1.0023745, 1e-7);
    EXPECT_NEAR(paToDbspl(1), 93.9794, 1e-4);
    EXPECT_EQ(paToDbspl(0), 0.0);
    EXPECT_EQ(paToDbspl(-3), 0.0);
    EXPECT_DOUBLE_EQ(outputAtSource(-40, 74), -60);
    EXPECT_DOUBLE_EQ(outputAtSource(-40, 74) + 20, -40);
    EXPECT_DOUBLE_EQ(snrFromNoise(14), 80);
    EXPECT_DOUBLE_EQ(noiseFromSnr(-39.8, 80), -119.8);
    EXPECT_DOUBLE_EQ(snrItuToAw(snrAwToItu(70)), 70);
}

TEST(Conversions, OutputVoltsFollowsTheLevelDifference)
{
    // 20 dB below the sensitivity is a tenth of its voltage; 20 dB of gain restores it.
    EXPECT_NEAR(outputVolts(0.00793, -59.8, -39.8), 0.000793, 1e-12);
    EXPECT_NEAR(outputVolts(0.00793, -59.8, -39.8, 20), 0.00793, 1e-12);
}

// Each triad agrees with itself whichever unit it starts from; a voltage of
// 0 or less has no level and carries the missing markers.
TEST(Conversions, TriadsAgreeFromEveryUnit)
{
    const LevelTriad fromV = fromVolts(0.0079305);
    const LevelTriad fromU = fromDbu(-39.8);
    const LevelTriad fromD = fromDbv(-42);
    for (const LevelTriad& t : {fromV, fromU, fromD}) {
        EXPECT_NEAR(t.V, 0.0079305, 1e-7);
        EXPECT_NEAR(t.dBu, -39.8, 1e-4);
        EXPECT_DOUBLE_EQ(t.dBV, t.dBu - 2.2);
    }
    EXPECT_EQ(fromD.dBV, -42); // the given figure is kept exactly
    EXPECT_EQ(fromU.dBu, -39.8);
    for (double v : {0.0, -1e-3}) {
        const LevelTriad none = fromVolts(v);
        EXPECT_EQ(none.V, v);
        EXPECT_EQ(none.dBu, kMissingLevel);
        EXPECT_EQ(none.dBV, kMissingLevel);
    }
}

TEST(resetMicParams, MarksMissingFiguresAndKeepsOutputs)
{
    TMicParams m;
    m.MicDigital = true;
    m.MicMaxLevel_dBSPL = 130;
    m.MicSens_V = 0.01;
    m.MicType = "Condenser";
    m.MicZout = 200;
    m.MicBandWidth_H = 20000;
    m.MicSplMax = 5;
    m.MicOut_V = 1;
    m.MicOut_dBu = -60;
    m.MicOut_dBV = -62;
    m.MicOut_dBFS = -46;
    resetMicParams(m);
    EXPECT_FALSE(m.MicDigital);
    for (double level : {m.MicSens_dBu, m.MicSens_dBV, m.MicSens_dBFS, m.MicNoise_dBu, m.MicNoise_dBV, m.MicNoise_dBFS})
        EXPECT_EQ(level, -200);
    for (double zero : {m.MicMaxLevel_dBSPL, m.MicSens_V, m.MicNoise_V, m.MicNoise_dBSPL_ITU, m.MicNoise_dBSPL_AW,
                        m.MicDynamic_dB, m.MicSNR_dB_ITU, m.MicSNR_dB_AW})
        EXPECT_EQ(zero, 0);
    EXPECT_TRUE(m.MicType.empty());
    EXPECT_EQ(m.MicZout, 0);
    EXPECT_EQ(m.MicBandWidth_H, 0);
    EXPECT_EQ(m.MicSplMax, 5);
    EXPECT_EQ(m.MicOut_V, 1);
    EXPECT_EQ(m.MicOut_dBu, -60);
    EXPECT_EQ(m.MicOut_dBV, -62);
    EXPECT_EQ(m.MicOut_dBFS, -46);
}
