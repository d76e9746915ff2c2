#include <gtest/gtest.h>

#include <cmath>

#include "fakes.h"
#include "presets/micsetfile.h"

using namespace presets;

TEST(IniInteger, ReadsSignedDecimalAndHexadecimal)
{
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"-38", -38},
        {"+7", 7},
        {"007", 7},
        {"0x10", 16},
        {"0X1f", 31},
        {"x10", 16},
        {"X10", 16},
        {"$FF", 255},
        {"-$10", -16},
        {"-0x10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-$80000000", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$80000000", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"-38.5", std::nullopt},
        {"-38,5", std::nullopt},
        {"1e3", std::nullopt},
        {"130dB", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"x-5", std::nullopt},
        {"0x1g", std::nullopt},
        {"true", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseIniInteger(c.text), c.value) << '"' << c.text << '"';
}

// "." reads in every locale, beside the locale's own separator.
TEST(IniDecimal, ReadsThePointAndTheLocaleSeparator)
{
    struct Case {
        const char* text;
        const char* sep;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"0.012", ".", 0.012},
        {"0,012", ",", 0.012},
        {"0.012", ",", 0.012},
        {"0,012", ".", std::nullopt},
        {"0.00185", "\u066B", 0.00185},
        {"0\u066B5", "\u066B", 0.5},
        {"1.000,5", ",", std::nullopt},
        {"1,000.5", ",", std::nullopt},
        {"1.5,", ",", std::nullopt},
        {"-1.5E-3", ",", -0.0015},
        {"-1.5E-3", ".", -0.0015},
        {"+2e+2", ".", 200.0},
        {"5.", ".", 5.0},
        {",5", ",", 0.5},
        {"12", ",", 12.0},
        {"1,000.5", ".", std::nullopt},
        {"1.2.3", ".", std::nullopt},
        {"1e", ".", std::nullopt},
        {"1e+", ".", std::nullopt},
        {".", ".", std::nullopt},
        {"", ".", std::nullopt},
        {" 1.5", ".", std::nullopt},
        {"1.5 V", ".", std::nullopt},
        {"1e400", ".", std::nullopt},
        {"0x10", ".", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseIniDecimal(c.text, c.sep), c.value) << '"' << c.text << "\" with " << c.sep;
}

namespace {

TMicParams readSection(const char* section, const char* sep = ".")
{
    TMicParams m;
    m.MicOut_V = 5; // not one of the twenty keys: never written
    readMicParams(IniFile::load(dataFile("keys.dat")), section, sep, m);
    EXPECT_EQ(m.MicOut_V, 5);
    return m;
}

} // namespace

TEST(MicParams, DigitalPresetWithOnlyItsSensitivity)
{
    const TMicParams m = readSection("Digital only dBFS");
    EXPECT_TRUE(m.MicDigital);
    EXPECT_EQ(m.MicSens_dBFS, -26);
    for (double marker : {m.MicSens_dBu, m.MicSens_dBV, m.MicNoise_dBu, m.MicNoise_dBV, m.MicNoise_dBFS})
        EXPECT_EQ(marker, -200);
    for (double zero : {m.MicMaxLevel_dBSPL, m.MicSens_V, m.MicNoise_V, m.MicNoise_dBSPL_ITU, m.MicNoise_dBSPL_AW,
                        m.MicSNR_dB_ITU, m.MicSNR_dB_AW, m.MicDynamic_dB})
        EXPECT_EQ(zero, 0);
    EXPECT_EQ(m.MicBandWidth_L, 0);
    EXPECT_EQ(m.MicBandWidth_H, 0);
    EXPECT_EQ(m.MicZout, 0);
    EXPECT_EQ(m.MicType, "");
    EXPECT_EQ(m.MicPolarPattern, "");
}

TEST(MicParams, MissingSectionGivesEveryDefault)
{
    const TMicParams m = readSection("No such mic");
    EXPECT_FALSE(m.MicDigital);
    EXPECT_EQ(m.MicSens_dBFS, -200);
    EXPECT_EQ(m.MicNoise_dBu, -200);
    EXPECT_EQ(m.MicMaxLevel_dBSPL, 0);
}

TEST(MicParams, IntegerValuesAndTheirStorage)
{
    const TMicParams m = readSection("Integers");
    EXPECT_EQ(m.MicSens_dBu, -200); // -38.5 is no integer
    EXPECT_EQ(m.MicSens_dBV, -38);  // blanks around it are dropped
    EXPECT_EQ(m.MicSens_dBFS, 16);  // 0x10
    EXPECT_EQ(m.MicNoise_dBu, 31);  // $1f
    EXPECT_EQ(m.MicNoise_dBV, -200);
    EXPECT_EQ(m.MicNoise_dBFS, -200); // out of the 32-bit range
    EXPECT_EQ(m.MicBandWidth_L, 65535);
    EXPECT_EQ(m.MicBandWidth_H, 4464); // 70000 keeps its low 16 bits
    EXPECT_EQ(m.MicZout, -150);
    EXPECT_EQ(m.MicMaxLevel_dBSPL, -2147483648.0);
}

TEST(MicParams, DecimalsReadThePointAndTheSeparatorAtReadingTime)
{
    const TMicParams comma = readSection("Decimals", ",");
    EXPECT_DOUBLE_EQ(comma.MicSens_V, 0.012);
    EXPECT_DOUBLE_EQ(comma.MicNoise_V, 0.012); // "." reads under a comma too
    const TMicParams point = readSection("Decimals", ".");
    EXPECT_EQ(point.MicSens_V, 0); // a comma is no separator under "."
    EXPECT_DOUBLE_EQ(point.MicNoise_V, 0.012);
}

TEST(MicParams, FlagIsAnyIntegerButZero)
{
    EXPECT_FALSE(readSection("Flag true").MicDigital);
    EXPECT_TRUE(readSection("Flag 2").MicDigital);
    EXPECT_TRUE(readSection("Flag -1").MicDigital);
    EXPECT_FALSE(readSection("Flag 0").MicDigital);
}

TEST(MicParams, TextsKeepInnerBlanks)
{
    const TMicParams m = readSection("Texts");
    EXPECT_EQ(m.MicType, "  Dynamic  ");
    EXPECT_EQ(m.MicPolarPattern, "'Figure \"8\"");
}

TEST(MicParams, AllTwentyKeysReachTheirFields)
{
    const TMicParams m = readSection("Full");
    EXPECT_FALSE(m.MicDigital);
    EXPECT_EQ(m.MicMaxLevel_dBSPL, 135);
    EXPECT_EQ(m.MicBandWidth_L, 40);
    EXPECT_EQ(m.MicBandWidth_H, 18000);
    EXPECT_DOUBLE_EQ(m.MicSens_V, 0.0125);
    EXPECT_EQ(m.MicSens_dBu, -36);
    EXPECT_EQ(m.MicSens_dBV, -38);
    EXPECT_EQ(m.MicSens_dBFS, -20);
    EXPECT_DOUBLE_EQ(m.MicNoise_V, 0.0000015);
    EXPECT_EQ(m.MicNoise_dBu, -115);
    EXPECT_EQ(m.MicNoise_dBV, -117);
    EXPECT_EQ(m.MicNoise_dBFS, -95);
    EXPECT_EQ(m.MicNoise_dBSPL_ITU, 18);
    EXPECT_EQ(m.MicNoise_dBSPL_AW, 8);
    EXPECT_EQ(m.MicSNR_dB_ITU, 76);
    EXPECT_EQ(m.MicSNR_dB_AW, 87);
    EXPECT_EQ(m.MicDynamic_dB, 117);
    EXPECT_EQ(m.MicType, "Condenser");
    EXPECT_EQ(m.MicPolarPattern, "Omni");
    EXPECT_EQ(m.MicZout, 200);
}

TEST(MicParams, KeysMatchWithoutRegardToCase)
{
    TMicParams m;
    readMicParams(IniFile::parse("[MY MIC]\nsens_DBFS=-30\nDIGITAL=1\n"), "my mic", ".", m);
    EXPECT_TRUE(m.MicDigital);
    EXPECT_EQ(m.MicSens_dBFS, -30);
}
