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

// "." and "," read in every locale, beside the locale's own separator.
TEST(IniDecimal, ReadsThePointTheCommaAndTheLocaleSeparator)
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
        {"0,012", ".", 0.012}, // a file written under a comma reads everywhere
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

// The figure keys: whole numbers and hexadecimal exactly as the Integer
// syntax reads them, fractions with "." or "," under either locale, and a
// trailing "  ; comment".
TEST(IniLevel, WholeNumbersAsBeforeFractionsAndCommentsInBothLocales)
{
    using P = ValueProblem;
    struct Case {
        const char* text;
        double value; // when problem is None
        P problem;
    };
    const Case cases[] = {
        // Whole numbers: the Integer syntax's results.
        {"-38", -38, P::None},
        {"+7", 7, P::None},
        {"0x10", 16, P::None},
        {"$1f", 31, P::None},
        {"-$10", -16, P::None},
        {"2147483647", 2147483647, P::None},
        {"-2147483648", -2147483648.0, P::None},
        {"2147483648", 0, P::OutOfRange},
        {"$80000000", 0, P::OutOfRange},
        // Fractions, either separator.
        {"-54.5", -54.5, P::None},
        {"-54,5", -54.5, P::None},
        {"26.5", 26.5, P::None},
        {".5", 0.5, P::None},
        {"5,", 5, P::None},
        {"-1.5e1", -15, P::None},
        {"1e400", 0, P::OutOfRange},
        // Comments after blanks.
        {"130 ; max", 130, P::None},
        {"130\t;", 130, P::None},
        {"-37.5   ; datasheet p. 2", -37.5, P::None},
        {"0x10 ; hex", 16, P::None},
        {"130;max", 0, P::NotANumber},
        {"; max", 0, P::NotANumber},
        // Other text.
        {"130 dB", 0, P::NotANumber},
        {"130 dB ; max", 0, P::NotANumber},
        {"1.000,5", 0, P::NotANumber},
        {"1,000.5", 0, P::NotANumber},
        {"x-5", 0, P::NotANumber},
        {"0x1.8", 0, P::NotANumber},
        {"true", 0, P::NotANumber},
        {"-", 0, P::NotANumber},
        {"", 0, P::NotANumber},
    };
    for (const char* sep : {".", ","})
        for (const Case& c : cases) {
            const ParsedFigure f = parseIniLevel(c.text, sep);
            EXPECT_EQ(f.problem, c.problem) << '"' << c.text << "\" with " << sep;
            if (c.problem == P::None) {
                EXPECT_EQ(f.value, c.value) << '"' << c.text << "\" with " << sep;
            }
        }
    // The volt keys: the Decimal syntax, with comments; no hexadecimal.
    for (const char* sep : {".", ","}) {
        EXPECT_EQ(parseIniFraction("0,0125", sep).value, 0.0125) << sep;
        EXPECT_EQ(parseIniFraction("0.0125 ; V at 1 kHz", sep).value, 0.0125) << sep;
        EXPECT_EQ(parseIniFraction("0x10", sep).problem, P::NotANumber) << sep;
    }
}

namespace {

TMicParams readSection(const char* section, const char* sep = ".", std::vector<UnreadKey>* unread = nullptr)
{
    TMicParams m;
    m.MicOut_V = 5; // not one of the twenty keys: never written
    readMicParams(IniFile::load(dataFile("keys.dat")), section, sep, m, unread);
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
    std::vector<UnreadKey> unread;
    const TMicParams m = readSection("Integers", ".", &unread);
    EXPECT_EQ(m.MicSens_dBu, -38.5); // a level key reads a fraction
    EXPECT_EQ(m.MicSens_dBV, -38);  // blanks around it are dropped
    EXPECT_EQ(m.MicSens_dBFS, 16);  // 0x10
    EXPECT_EQ(m.MicNoise_dBu, 31);  // $1f
    EXPECT_EQ(m.MicNoise_dBV, -200);
    EXPECT_EQ(m.MicNoise_dBFS, -200); // out of the 32-bit range
    EXPECT_EQ(m.MicBandWidth_L, 65535);
    EXPECT_EQ(m.MicBandWidth_H, 4464); // 70000 keeps its low 16 bits
    EXPECT_EQ(m.MicZout, -150);
    EXPECT_EQ(m.MicMaxLevel_dBSPL, -2147483648.0);
    // The keys that gave their default, named with their text and why.
    std::vector<std::string> named;
    for (const UnreadKey& k : unread) named.push_back(describeUnreadKey(k));
    EXPECT_EQ(named, (std::vector<std::string>{"Noise_dBV = \"x-5\": not a number",
                                               "Noise_dBFS = \"2147483648\": out of range"}));
}

TEST(MicParams, DecimalsReadThePointAndTheCommaInEveryLocale)
{
    for (const char* sep : {".", ","}) {
        const TMicParams m = readSection("Decimals", sep);
        EXPECT_DOUBLE_EQ(m.MicSens_V, 0.012) << sep;
        EXPECT_DOUBLE_EQ(m.MicNoise_V, 0.012) << sep;
    }
}

TEST(MicParams, UnreadableValuesAreNamedWithTheirText)
{
    std::vector<UnreadKey> unread;
    TMicParams m;
    readMicParams(IniFile::parse("[Mine]\nMaxLevel_dBSPL = \"130 dB\"\nSens_dBV=-54.5\nDigital=yes\n"
                                 "Noise_V=1 uV\nZout=200 Ohm\nType=Dynamic ; no figures\n"
                                 "SNR_dB_AW=" + std::string(60, '7') + "x\n"),
                  "Mine", ".", m, &unread);
    EXPECT_EQ(m.MicMaxLevel_dBSPL, 0);
    EXPECT_EQ(m.MicSens_dBV, -54.5);
    EXPECT_EQ(m.MicType, "Dynamic ; no figures"); // a text keeps its ';'
    std::vector<std::string> named;
    for (const UnreadKey& k : unread) named.push_back(describeUnreadKey(k));
    EXPECT_EQ(named, (std::vector<std::string>{
                         "Digital = \"yes\": not a number",
                         "MaxLevel_dBSPL = \"130 dB\": not a number",
                         "Noise_V = \"1 uV\": not a number",
                         "SNR_dB_AW = \"" + std::string(40, '7') + "\u2026\": not a number", // a long value by its start
                         "Zout = \"200 Ohm\": not a number",
                     }));
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

TEST(MicParams, AllTwentyKeysReachTheirFieldsInBothLocales)
{
    for (const char* sep : {".", ","}) {
        SCOPED_TRACE(sep);
        std::vector<UnreadKey> unread;
        const TMicParams m = readSection("Full", sep, &unread);
        EXPECT_TRUE(unread.empty());
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
}

TEST(MicParams, KeysMatchWithoutRegardToCase)
{
    TMicParams m;
    readMicParams(IniFile::parse("[MY MIC]\nsens_DBFS=-30\nDIGITAL=1\n"), "my mic", ".", m);
    EXPECT_TRUE(m.MicDigital);
    EXPECT_EQ(m.MicSens_dBFS, -30);
}
