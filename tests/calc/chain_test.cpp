// The signal chain's figures: distance, noise power sum, converter, target,
// and the warnings they raise.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/chain.h"
#include "calc_fakes.h"
#include "units/units.h"

namespace {

// The window's initial figures: an analog microphone of -40 dBu with -100 dBu
// of self-noise at 74 dB SPL, 20 dB of gain, 1 m, no preamplifier noise.
ChainInputs initial()
{
    ChainInputs in;
    in.sourceLevel1m_dBSPL = 74;
    in.maxLevel_dBSPL = 130;
    in.sens_dBu = -40;
    in.sens_dBFS = -26;
    in.micNoise_dBu = -100;
    in.micNoise_dBFS = -90;
    in.gain_dB = 20;
    return in;
}

struct FigureCase {
    const char* name;
    ChainInputs in;
    double level_dBSPL, micOut, ampOut, ampOut_dBFS, systemNoise, ampNoiseAdds_dB, systemNoise_dBSPL, snr_dB;
};

template <typename F>
ChainInputs with(F change)
{
    ChainInputs in = initial();
    change(in);
    return in;
}

const double kLog2 = std::log10(2.0);
const double k10uV_dBu = conv::voltsToDbu(10e-6);

class ChainFigures : public ::testing::TestWithParam<FigureCase> {};

TEST_P(ChainFigures, FollowTheFormulas)
{
    const FigureCase& c = GetParam();
    const ChainResult r = CalcChain(c.in);
    EXPECT_NEAR(r.level_dBSPL, c.level_dBSPL, 1e-9);
    EXPECT_NEAR(r.micOut, c.micOut, 1e-9);
    EXPECT_NEAR(r.ampOut, c.ampOut, 1e-9);
    EXPECT_NEAR(r.ampOut_dBFS, c.ampOut_dBFS, 1e-9);
    EXPECT_NEAR(r.systemNoise, c.systemNoise, 1e-9);
    EXPECT_NEAR(r.ampNoiseAdds_dB, c.ampNoiseAdds_dB, 1e-9);
    EXPECT_NEAR(r.systemNoise_dBSPL, c.systemNoise_dBSPL, 1e-9);
    EXPECT_NEAR(r.snr_dB, c.snr_dB, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChainFigures,
    ::testing::Values(
        FigureCase{"OneMetreNoAmpNoise", initial(), 74, -60, -40, -58, -100, 0, 34, 40},
        FigureCase{"PointSourceAt2m", with([](ChainInputs& i) { i.distance_m = 2; }), 74 - 20 * kLog2,
                   -60 - 20 * kLog2, -40 - 20 * kLog2, -58 - 20 * kLog2, -100, 0, 34, 40 - 20 * kLog2},
        FigureCase{"LineSourceAt2m",
                   with([](ChainInputs& i) {
                       i.distance_m = 2;
                       i.shape = SourceShape::Line;
                   }),
                   74 - 10 * kLog2, -60 - 10 * kLog2, -40 - 10 * kLog2, -58 - 10 * kLog2, -100, 0, 34, 40 - 10 * kLog2},
        FigureCase{"PointSourceAt10cm", with([](ChainInputs& i) { i.distance_m = 0.1; }), 94, -40, -20, -38, -100, 0,
                   34, 60},
        FigureCase{"LineSourceAt10m",
                   with([](ChainInputs& i) {
                       i.distance_m = 10;
                       i.shape = SourceShape::Line;
                   }),
                   64, -70, -50, -68, -100, 0, 34, 30},
        FigureCase{"ZeroDistanceIsOneMetre", with([](ChainInputs& i) { i.distance_m = 0; }), 74, -60, -40, -58,
                   -100, 0, 34, 40},
        FigureCase{"NegativeDistanceIsOneMetre", with([](ChainInputs& i) { i.distance_m = -2; }), 74, -60, -40,
                   -58, -100, 0, 34, 40},
        // Two equal noise voltages: twice the power, +3.01 dB.
        FigureCase{"EqualAmpNoiseAddsThreeDb",
                   with([](ChainInputs& i) {
                       i.micNoise_dBu = k10uV_dBu;
                       i.ampNoise_uV = 10;
                   }),
                   74, -60, -40, -58, k10uV_dBu + 10 * kLog2, 10 * kLog2, k10uV_dBu + 10 * kLog2 + 134,
                   -60 - k10uV_dBu - 10 * kLog2},
        // A preamplifier without self-noise figure on the microphone: its own noise alone.
        FigureCase{"AmpNoiseAloneWithoutMicNoise",
                   with([](ChainInputs& i) {
                       i.micNoise_dBu = -200;
                       i.ampNoise_uV = 10;
                   }),
                   // The preamplifier adds nothing to a noise figure the microphone does not give.
                   74, -60, -40, -58, k10uV_dBu, 0, k10uV_dBu + 134, -60 - k10uV_dBu},
        FigureCase{"ConverterFullScale24",
                   with([](ChainInputs& i) { i.fullScale_dBu = 24; }), 74, -60, -40, -64, -100, 0, 34, 40},
        // Digital: dBFS throughout, the preamplifier's noise does not apply.
        FigureCase{"DigitalIgnoresAmpNoise",
                   with([](ChainInputs& i) {
                       i.digital = true;
                       i.ampNoise_uV = 10;
                   }),
                   74, -46, -26, -26, -90, 0, 30, 44}),
    [](const ::testing::TestParamInfo<FigureCase>& info) { return std::string(info.param.name); });

// At 1 m and without preamplifier noise the chain repeats today's figures
// bit for bit: the same formulas, no round trip through volts.
TEST(ChainFigures, OneMetreAndNoAmpNoiseAreExactlyTodaysFigures)
{
    for (double level : {74.0, 0.0, -12.3, 135.0, 1e6}) {
        for (double sens : {-40.0, -53.8, -26.0}) {
            ChainInputs in = initial();
            in.sourceLevel1m_dBSPL = level;
            in.sens_dBu = sens;
            in.micNoise_dBu = -117.3;
            for (SourceShape shape : {SourceShape::Point, SourceShape::Line}) {
                in.shape = shape;
                const ChainResult r = CalcChain(in);
                EXPECT_EQ(r.level_dBSPL, level);
                EXPECT_EQ(r.micOut, conv::outputAtSource(sens, level));
                EXPECT_EQ(r.ampOut, conv::outputAtSource(sens, level) + 20);
                EXPECT_EQ(r.systemNoise, -117.3);
                EXPECT_EQ(r.ampNoiseAdds_dB, 0.0);
            }
        }
    }
}

// The three jobs a sound engineer brings: loud, quiet, digital.
TEST(ChainFigures, KickDrumIntoDynamicMicWith50dBGain)
{
    ChainInputs in = initial();
    in.sourceLevel1m_dBSPL = 135;
    in.maxLevel_dBSPL = 150;
    in.sens_dBu = -53.8; // -56 dBV, 1.6 mV/Pa
    in.gain_dB = 50;
    const ChainResult r = CalcChain(in);
    EXPECT_NEAR(r.micOut, -12.8, 1e-9);
    EXPECT_NEAR(r.ampOut, 37.2, 1e-9);
    EXPECT_NEAR(r.ampOut_dBFS, 19.2, 1e-9);
    EXPECT_NEAR(r.headroom_dB, -19.2, 1e-9);
    EXPECT_NEAR(r.gainForTarget_dB, 12.8, 1e-9);   // -18 + 18 - (-12.8)
    EXPECT_NEAR(r.clipLevel_dBSPL, 115.8, 1e-9);   // 18 - 50 + 53.8 + 94
}

TEST(ChainFigures, DigitalFullScaleAndClipping)
{
    ChainInputs in = initial();
    in.digital = true;
    in.sourceLevel1m_dBSPL = 125;
    in.maxLevel_dBSPL = 120;
    in.gain_dB = 0;
    const ChainResult r = CalcChain(in);
    EXPECT_NEAR(r.fullScale_dBSPL, 120, 1e-9);
    EXPECT_NEAR(r.micClip_dB, 5, 1e-9);
    EXPECT_NEAR(r.overload_dB, 5, 1e-9);
    EXPECT_NEAR(r.gainForTarget_dB, -23, 1e-9);
}

struct WarningCase {
    const char* name;
    ChainInputs in;
    const char* sep;
    std::vector<std::string> expected;
};

class ChainWarningTexts : public ::testing::TestWithParam<WarningCase> {};

TEST_P(ChainWarningTexts, MostUrgentFirstSnrLast)
{
    const WarningCase& c = GetParam();
    std::vector<std::string> texts;
    for (const ChainWarning& w : ChainWarnings(c.in, CalcChain(c.in), c.sep)) texts.push_back(w.text);
    EXPECT_EQ(texts, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChainWarningTexts,
    ::testing::Values(
        WarningCase{"Initial", initial(), ".", {"40.0 dB under target", "Chain SNR 40.0 dB"}},
        WarningCase{"InitialComma", initial(), ",", {"40,0 dB under target", "Chain SNR 40,0 dB"}},
        WarningCase{"OverloadedAndClipping",
                    with([](ChainInputs& i) {
                        i.sourceLevel1m_dBSPL = 134;
                        i.gain_dB = 21;
                    }),
                    ".",
                    {"Mic overloaded by 4.0 dB", "Converter clips by 3.0 dB", "Chain SNR 100.0 dB"}},
        WarningCase{"OnTargetSaysOnlySnr", with([](ChainInputs& i) { i.gain_dB = 60; }), ".", {"Chain SNR 40.0 dB"}},
        // 0.04 dB shows as 0.0: no warning for a figure that reads 0.
        WarningCase{"BelowATenthIsNoWarning",
                    with([](ChainInputs& i) {
                        i.sourceLevel1m_dBSPL = 130.04;
                        i.gain_dB = 60;
                    }),
                    ".",
                    {"Converter clips by 38.0 dB", "Chain SNR 96.0 dB"}},
        WarningCase{"UnderTargetComma", with([](ChainInputs& i) { i.gain_dB = 51.8; }), ",",
                    {"8,2 dB under target", "Chain SNR 40,0 dB"}},
        WarningCase{"MemsAt125",
                    with([](ChainInputs& i) {
                        i.digital = true;
                        i.sourceLevel1m_dBSPL = 125;
                        i.maxLevel_dBSPL = 120;
                        i.gain_dB = 0;
                    }),
                    ".", {"Mic overloaded by 5.0 dB", "Converter clips by 5.0 dB", "Chain SNR 95.0 dB"}},
        WarningCase{"DigitalGainClips",
                    with([](ChainInputs& i) {
                        i.digital = true;
                        i.sourceLevel1m_dBSPL = 100;
                        i.gain_dB = 30;
                    }),
                    ".", {"Digital gain clips by 10.0 dB", "Chain SNR 70.0 dB"}},
        // A microphone that gives no maximum level is never called
        // overloaded; one without any noise figure has no chain SNR.
        WarningCase{"NoMaximumLevelNoOverload",
                    with([](ChainInputs& i) {
                        i.sourceLevel1m_dBSPL = 134;
                        i.gain_dB = 21;
                        i.maxLevel_dBSPL = 0;
                    }),
                    ".", {"Converter clips by 3.0 dB", "Chain SNR 100.0 dB"}},
        WarningCase{"NoNoiseFigureNoSnr",
                    with([](ChainInputs& i) {
                        i.micNoise_dBu = -200;
                        i.ampNoise_uV = 0;
                    }),
                    ".", {"40.0 dB under target"}},
        WarningCase{"DigitalNoNoiseFigureNoSnr",
                    with([](ChainInputs& i) {
                        i.digital = true;
                        i.sourceLevel1m_dBSPL = 100;
                        i.micNoise_dBFS = -200;
                        i.gain_dB = 0;
                    }),
                    ".", {"2.0 dB under target"}}),
    [](const ::testing::TestParamInfo<WarningCase>& info) { return std::string(info.param.name); });

TEST(ChainWarningLine, WarningsInOrangeSnrInYellow)
{
    const std::vector<ChainWarning> w = {{ChainWarning::Kind::Overload, "Mic overloaded by 4.0 dB"},
                                         {ChainWarning::Kind::Snr, "Chain SNR 62.0 dB"}};
    EXPECT_EQ(BuildChainWarningLine(w), "<P align=\"center\"><FONT color=\"#FF8040\"><B>Mic overloaded by 4.0 dB</B>"
                                        "</FONT> ; <FONT color=\"#FFFF80\">Chain SNR 62.0 dB</FONT></P>");
}

// A microphone without a noise figure: the preamplifier's noise is all there
// is, and no share of it is claimed; without either there is no SNR.
TEST(ChainDescription, SaysWhichNoiseIsNotGiven)
{
    ChainInputs in = initial();
    in.micNoise_dBu = -200;
    in.ampNoise_uV = 10;
    const std::string withAmp = ChainDescription(in, CalcChain(in));
    EXPECT_NE(withAmp.find("the preamplifier's alone, the microphone gives no noise figure"), std::string::npos)
        << withAmp;
    EXPECT_EQ(withAmp.find("adds"), std::string::npos) << withAmp;
    in.ampNoise_uV = 0;
    const std::string none = ChainDescription(in, CalcChain(in));
    EXPECT_NE(none.find("No noise figure, no chain SNR."), std::string::npos) << none;
    EXPECT_EQ(none.find("Chain SNR "), std::string::npos) << none;
}

TEST(ChainDescription, NamesEveryFigure)
{
    ChainInputs in = initial();
    in.distance_m = 0.5;
    in.ampNoise_uV = 7.2;
    const std::string t = ChainDescription(in, CalcChain(in), ",");
    for (const char* part : {"source 74,0 dB SPL at 1 m, 0,5 m away, point source: 80,0 dB SPL at the microphone",
                             "System noise -97,3 dBu, 36,7 dB SPL; the preamplifier adds +2,7 dB",
                             "Chain SNR 43,3 dB", "Converter 0 dBFS = +18,0 dBu; amplifier output -52,0 dBFS",
                             "headroom 52,0 dB, 34,0 dB under the target of -18,0 dBFS",
                             "the gain for the target is 54,0 dB", "0 dBFS is reached at 132,0 dB SPL"})
        EXPECT_NE(t.find(part), std::string::npos) << part << "\n in: " << t;

    in.digital = true;
    in.sourceLevel1m_dBSPL = 125;
    in.distance_m = 1;
    in.maxLevel_dBSPL = 120;
    in.gain_dB = 0;
    const std::string d = ChainDescription(in, CalcChain(in), ".");
    for (const char* part : {"0 dBFS = 120.0 dB SPL", "microphone output 5.0 dBFS", "Mic overloaded by 5.0 dB.",
                             "Converter clips by 5.0 dB."})
        EXPECT_NE(d.find(part), std::string::npos) << part << "\n in: " << d;
}

TEST(SignedFigure, PlusForPositiveOnly)
{
    EXPECT_EQ(SignedFigure(2.7), "+2.7");
    EXPECT_EQ(SignedFigure(-18), "-18.0");
    EXPECT_EQ(SignedFigure(0.04), "0.0");
    EXPECT_EQ(SignedFigure(-0.04), "0.0");
    EXPECT_EQ(SignedFigure(18, ","), "+18,0");
}

// ---- the calculator with the chain ------------------------------------------

// The chain's controls as the window makes them.
struct ChainFake {
    explicit ChainFake(const std::string& sep = ".")
        : distance(2, 1, sep), ampNoise(2, 0, sep), fullScale(1, 18, sep), target(1, -18, sep)
    {
        point.chosen = true;
        point.other = &line;
        line.other = &point;
    }
    ChainBindings bindings()
    {
        ChainBindings b;
        b.distance = &distance;
        b.ampNoise = &ampNoise;
        b.fullScale = &fullScale;
        b.target = &target;
        b.sourceIsPoint = &point;
        b.sourceIsLine = &line;
        b.warningLine = &warnings;
        b.refuse = [this] { ++refusals; };
        return b;
    }
    FakeInput distance, ampNoise, fullScale, target;
    FakeChoice point, line;
    FakeLine warnings;
    int refusals = 0;
};

// A window without the chain beside one with it, edited alike.
struct TwoWindows {
    explicit TwoWindows(const std::string& sep) : plain(sep), chained(sep), chain(sep)
    {
        plain.startUp();
        chained.startUp();
        chained.calc.enableChain(chain.bindings());
    }
    void type(InputId id, const std::string& text)
    {
        plain.in(id).setText(text);
        chained.in(id).setText(text);
    }
    FakeWindow plain, chained;
    ChainFake chain;
};

class ChainCalculator : public ::testing::TestWithParam<const char*> {};

// At 1 m with no preamplifier noise every figure, input and line is today's,
// whatever is typed.
TEST_P(ChainCalculator, OneMetreNoAmpNoiseLeavesEveryFigureAsToday)
{
    const std::string sep = GetParam();
    TwoWindows w(sep);
    auto same = [&](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(w.chained.line.line, w.plain.line.line);
        EXPECT_EQ(w.chained.bar.position, w.plain.bar.position);
        for (std::size_t i = 0; i < kInputCount; ++i) EXPECT_EQ(w.chained.inputs[i].text, w.plain.inputs[i].text) << i;
        EXPECT_EQ(w.chained.calc.state().SourceLevel_Pa, w.plain.calc.state().SourceLevel_Pa);
        EXPECT_EQ(w.chained.calc.state().CurMic.MicOut_V, w.plain.calc.state().CurMic.MicOut_V);
        EXPECT_EQ(w.chained.calc.state().AmpOut_V, w.plain.calc.state().AmpOut_V);
    };
    same("start");
    w.type(InputId::SourceLevel_Pa, "3" + sep + "5");
    same("pascal");
    w.type(InputId::SourceLevel_dBSPL, "135");
    w.type(InputId::AmpGain_dB, "50");
    same("loud");
    w.plain.digital.click();
    w.chained.digital.click();
    same("digital");
}

TEST_P(ChainCalculator, DistanceMovesTheLevelAtTheMic)
{
    const std::string sep = GetParam();
    TwoWindows w(sep);
    w.chain.distance.setText("2" + sep + "00");
    // 74 dB SPL at 1 m is 68 dB SPL at 2 m; the output follows it.
    EXPECT_NE(w.chained.line.line.find("At <FONT color=\"#FFFF80\">68 dBSPL (0" + sep + "050119 Pa)"),
              std::string::npos)
        << w.chained.line.line;
    EXPECT_NEAR(w.chained.calc.state().CurMic.MicOut_dBu, -59.8 - 20 * kLog2, 1e-9);
    EXPECT_EQ(w.chained.bar.position, -66);
    // The source inputs keep the level at 1 m.
    EXPECT_EQ(w.chained.text(InputId::SourceLevel_dBSPL), "74" + sep + "0");

    w.chain.line.click();
    EXPECT_NEAR(w.chained.calc.chainResult().level_dBSPL, 74 - 10 * kLog2, 1e-9);
    EXPECT_EQ(w.chained.bar.position, -63);
}

TEST_P(ChainCalculator, DistanceOfZeroOrLessIsRefusedAndTheTextStays)
{
    const std::string sep = GetParam();
    TwoWindows w(sep);
    w.chain.distance.setText("0" + sep + "5");
    const std::string line = w.chained.line.line;
    for (const std::string& typed : {std::string("0"), "0" + sep + "0", std::string("-1")}) {
        w.chain.distance.setText(typed);
        EXPECT_EQ(w.chain.distance.text, typed);
        EXPECT_EQ(w.chained.line.line, line) << typed;
        EXPECT_EQ(w.chained.calc.chainInputs().distance_m, 0.5);
    }
    EXPECT_EQ(w.chain.refusals, 3);
    // Another edit meanwhile keeps the last distance taken, without a beep.
    w.chained.in(InputId::AmpGain_dB).setText("21");
    EXPECT_EQ(w.chain.refusals, 3);
    EXPECT_EQ(w.chained.calc.chainInputs().distance_m, 0.5);
}

TEST_P(ChainCalculator, WarningLineFollowsEveryRun)
{
    const std::string sep = GetParam();
    TwoWindows w(sep);
    EXPECT_NE(w.chain.warnings.line.find("39" + sep + "8 dB under target"), std::string::npos) << w.chain.warnings.line;
    w.type(InputId::SourceLevel_dBSPL, "134");
    w.type(InputId::AmpGain_dB, "21");
    const std::string& l = w.chain.warnings.line;
    EXPECT_NE(l.find("Mic overloaded by 4" + sep + "0 dB"), std::string::npos) << l;
    EXPECT_NE(l.find("Converter clips by 3" + sep + "2 dB"), std::string::npos) << l; // -39.8 dBu sensitivity
    w.chain.fullScale.setText("24" + sep + "0");
    EXPECT_EQ(l.find("Converter clips"), std::string::npos) << l;
    // The preamplifier noise lowers the chain's SNR (100.0 dB without it).
    w.chain.ampNoise.setText("7" + sep + "20");
    EXPECT_NE(l.find("Chain SNR 97" + sep + "4 dB"), std::string::npos) << l;
}

TEST_P(ChainCalculator, PreampNoiseAndConverterAreAnalogOnly)
{
    TwoWindows w(GetParam());
    EXPECT_TRUE(w.chain.ampNoise.enabled);
    EXPECT_TRUE(w.chain.fullScale.enabled);
    w.chained.digital.click();
    EXPECT_FALSE(w.chain.ampNoise.enabled);
    EXPECT_FALSE(w.chain.fullScale.enabled);
    EXPECT_TRUE(w.chain.distance.enabled);
    EXPECT_TRUE(w.chain.target.enabled);
    w.chained.analog.click();
    EXPECT_TRUE(w.chain.ampNoise.enabled);
}

INSTANTIATE_TEST_SUITE_P(Separators, ChainCalculator, ::testing::Values(".", ","),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param[0] == '.' ? "Dot" : "Comma");
                         });

} // namespace
