#include <gtest/gtest.h>

#include <cmath>

#include "calc_fakes.h"

using ID = InputId;

// A window after the start-up runs, with the initial inputs.
class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override { w.startUp(); }
    void type(ID id, const std::string& text) { w.in(id).setText(text); }
    FakeWindow w;
};

TEST_F(CalculatorTest, StartUpBringsTheInputsIntoLine)
{
    EXPECT_EQ(w.text(ID::MicSens_mV), "7.9");
    EXPECT_EQ(w.text(ID::MicSens_dBu), "-39.8");
    EXPECT_EQ(w.text(ID::MicSens_dBV), "-42.0");
    EXPECT_EQ(w.text(ID::MicSens_dBFS), "-26.0");
    EXPECT_EQ(w.text(ID::MicNoise_uV), "7.9");
    EXPECT_EQ(w.text(ID::MicNoise_dBu), "-99.8");
    EXPECT_EQ(w.text(ID::MicNoise_dBV), "-102.0");
    EXPECT_EQ(w.text(ID::MicNoise_dBFS), "-90.0");
    EXPECT_EQ(w.text(ID::MicNoise_dBSPL), "130.0");
    EXPECT_EQ(w.text(ID::MicMaxLevel_dBSPL), "130");
    EXPECT_EQ(w.text(ID::SourceLevel_dBSPL), "74.0");
    EXPECT_EQ(w.text(ID::SourceLevel_Pa), "0.10024");
    EXPECT_EQ(w.text(ID::AmpGain_dB), "20");

    const CalcState& s = w.calc.state;
    EXPECT_DOUBLE_EQ(s.SourceLevel_dBSPL, 74);
    EXPECT_NEAR(s.SourceLevel_Pa, 0.1002374, 1e-7);
    EXPECT_NEAR(s.CurMic.MicOut_dBu, -59.8, 1e-9);
    EXPECT_NEAR(s.CurMic.MicOut_dBV, -62, 1e-9);
    EXPECT_NEAR(s.CurMic.MicOut_dBFS, -46, 1e-9);
    EXPECT_NEAR(s.CurMic.MicOut_V, 0.000793, 1e-6);
    EXPECT_NEAR(s.AmpOut_dBu, -39.8, 1e-9);
    EXPECT_NEAR(s.AmpOut_V, 0.00793, 1e-5);
    EXPECT_EQ(s.CurMic.MicSNR_dB_ITU, 0);
    EXPECT_NEAR(w.right.minimum(), -133.8, 1e-9);
    EXPECT_NEAR(w.right.maximum(), 26.2, 1e-9);
    EXPECT_EQ(w.bar.position, -60);
    EXPECT_TRUE(w.calc.handlersAttached());
    // Analog inputs enabled, digital ones disabled, dBu/mV/dBV scales shown.
    EXPECT_TRUE(w.in(ID::MicSens_mV).enabled);
    EXPECT_FALSE(w.in(ID::MicSens_dBFS).enabled);
    EXPECT_TRUE(w.diagram.rightLabels);
    EXPECT_FALSE(w.diagram.subAxes[2]);
}

TEST_F(CalculatorTest, StartUpRunsWriteNoInputTwiceFromOwnWrites)
{
    // Re-entry is prevented by detaching: the write-backs of one run fire no run.
    FakeWindow fresh;
    fresh.calc.FillCurMicFromInputs();
    fresh.calc.seMicMaxLevel_dBSPLChange(&fresh.in(ID::MicSens_dBV));
    EXPECT_EQ(fresh.text(ID::MicSens_mV), "7.9"); // not rounded to a whole millivolt
    EXPECT_EQ(fresh.text(ID::MicSens_dBu), "-39.8");
    EXPECT_EQ(fresh.diagram.refreshes, 1);
    EXPECT_EQ(fresh.line.sets, 1);
}

struct WriteBackCase {
    const char* name;
    ID sender;
    const char* typed;
    std::vector<std::pair<ID, const char*>> shown;
};

class WriteBackTest : public ::testing::TestWithParam<WriteBackCase> {};

TEST_P(WriteBackTest, SiblingInputsShowTheConvertedValue)
{
    FakeWindow w;
    w.startUp();
    const WriteBackCase& c = GetParam();
    w.in(c.sender).setText(c.typed);
    for (const auto& [id, text] : c.shown) EXPECT_EQ(w.text(id), text) << inputName(id);
    EXPECT_TRUE(w.calc.handlersAttached());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteBackTest,
    ::testing::Values(
        WriteBackCase{"dBu_to_mV_and_dBV", ID::MicSens_dBu, "-39.8",
                      {{ID::MicSens_mV, "7.9"}, {ID::MicSens_dBV, "-42.0"}}},
        WriteBackCase{"dBV_to_dBu_and_mV", ID::MicSens_dBV, "-42",
                      {{ID::MicSens_dBu, "-39.8"}, {ID::MicSens_mV, "7.9"}}},
        WriteBackCase{"mV_to_dBu_and_dBV", ID::MicSens_mV, "10", {{ID::MicSens_dBu, "-37.8"}, {ID::MicSens_dBV, "-40.0"}}},
        WriteBackCase{"zero_mV_is_no_sensitivity", ID::MicSens_mV, "0",
                      {{ID::MicSens_dBu, "-200.0"}, {ID::MicSens_dBV, "-200.0"}}},
        WriteBackCase{"noise_uV", ID::MicNoise_uV, "1",
                      {{ID::MicNoise_dBu, "-117.8"}, {ID::MicNoise_dBV, "-120.0"}, {ID::MicNoise_dBSPL, "130.0"}}},
        WriteBackCase{"zero_uV_gives_missing_marker", ID::MicNoise_uV, "0",
                      {{ID::MicNoise_dBu, "-200.0"}, {ID::MicNoise_dBV, "-200.0"}}},
        WriteBackCase{"noise_dBu", ID::MicNoise_dBu, "-110",
                      {{ID::MicNoise_uV, "2.5"}, {ID::MicNoise_dBV, "-112.2"}, {ID::MicNoise_dBSPL, "130.0"}}},
        WriteBackCase{"noise_dBV", ID::MicNoise_dBV, "-110",
                      {{ID::MicNoise_uV, "3.2"}, {ID::MicNoise_dBu, "-107.8"}, {ID::MicNoise_dBSPL, "130.0"}}},
        WriteBackCase{"noise_dBFS_sets_noise_level_from_max", ID::MicNoise_dBFS, "-95",
                      {{ID::MicNoise_dBSPL, "130.0"}}},
        WriteBackCase{"noise_dBSPL_to_electric_noise", ID::MicNoise_dBSPL, "14",
                      {{ID::MicNoise_dBu, "-119.8"},
                       {ID::MicNoise_dBV, "-122.0"},
                       {ID::MicNoise_dBFS, "-106.0"},
                       {ID::MicNoise_uV, "0.8"}}},
        WriteBackCase{"zero_pascal_is_zero_dBSPL", ID::SourceLevel_Pa, "0", {{ID::SourceLevel_dBSPL, "0.0"}}},
        WriteBackCase{"dBSPL_to_pascal", ID::SourceLevel_dBSPL, "94", {{ID::SourceLevel_Pa, "1.00237"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalculatorTest, NoiseLevelInDbsplSetsTheSnr)
{
    type(ID::MicNoise_dBSPL, "14");
    EXPECT_DOUBLE_EQ(w.calc.state.CurMic.MicSNR_dB_ITU, 80);
}

TEST_F(CalculatorTest, EmptiedInputChangesNothing)
{
    const CalcState before = w.calc.state;
    const int refreshes = w.diagram.refreshes;
    type(ID::MicMaxLevel_dBSPL, "");
    type(ID::MicSens_dBu, "");
    EXPECT_EQ(w.calc.state.CurMic.MicMaxLevel_dBSPL, before.CurMic.MicMaxLevel_dBSPL);
    EXPECT_EQ(w.text(ID::MicSens_mV), "7.9");
    EXPECT_EQ(w.diagram.refreshes, refreshes);
    EXPECT_TRUE(w.calc.handlersAttached());
    // The next non-empty edit recomputes everything; the empty input reads 0.
    type(ID::MicSens_dBu, "-40");
    EXPECT_EQ(w.calc.state.CurMic.MicMaxLevel_dBSPL, 0);
    EXPECT_EQ(w.text(ID::MicSens_dBV), "-42.2");
}

TEST_F(CalculatorTest, MaxLevelAndGainWriteNoInput)
{
    std::vector<int> changes;
    for (auto& in : w.inputs) changes.push_back(in.changes);
    type(ID::AmpGain_dB, "30");
    type(ID::MicMaxLevel_dBSPL, "120");
    for (size_t i = 0; i < kInputCount; ++i) {
        const auto id = static_cast<ID>(i);
        if (id != ID::AmpGain_dB && id != ID::MicMaxLevel_dBSPL) {
            EXPECT_EQ(w.inputs[i].changes, changes[i]) << inputName(id);
        }
    }
    EXPECT_NEAR(w.calc.state.AmpOut_dBu, -29.8, 1e-9);
    EXPECT_EQ(w.calc.state.CurMic.MicMaxLevel_dBSPL, 120);
}

TEST_F(CalculatorTest, RightAxisSpansSensitivityMinus94ToPlus66)
{
    type(ID::MicSens_dBu, "-40");
    EXPECT_DOUBLE_EQ(w.right.minimum(), -134);
    EXPECT_DOUBLE_EQ(w.right.maximum(), 26);
    w.digital.click();
    EXPECT_DOUBLE_EQ(w.right.minimum(), -120);
    EXPECT_DOUBLE_EQ(w.right.maximum(), 40);
}

TEST_F(CalculatorTest, ModeSwitchEnablesTheKindsInputsAndScales)
{
    w.digital.click();
    for (ID id : {ID::MicSens_mV, ID::MicSens_dBu, ID::MicSens_dBV, ID::MicNoise_uV, ID::MicNoise_dBu, ID::MicNoise_dBV})
        EXPECT_FALSE(w.in(id).enabled) << inputName(id);
    EXPECT_TRUE(w.in(ID::MicSens_dBFS).enabled);
    EXPECT_TRUE(w.in(ID::MicNoise_dBFS).enabled);
    EXPECT_TRUE(w.in(ID::MicNoise_dBSPL).enabled);
    EXPECT_FALSE(w.diagram.rightLabels);
    EXPECT_FALSE(w.diagram.subAxes[0]);
    EXPECT_FALSE(w.diagram.subAxes[1]);
    EXPECT_TRUE(w.diagram.subAxes[2]);
    EXPECT_NE(w.line.line.find("-46 dBFS"), std::string::npos);
    EXPECT_EQ(w.bar.position, -60);

    w.analog.click();
    EXPECT_TRUE(w.in(ID::MicSens_dBu).enabled);
    EXPECT_FALSE(w.in(ID::MicNoise_dBFS).enabled);
    EXPECT_TRUE(w.diagram.rightLabels);
    EXPECT_FALSE(w.diagram.subAxes[2]);
    EXPECT_NEAR(w.right.maximum(), 26.2, 1e-9);
    EXPECT_TRUE(w.calc.handlersAttached());
}

TEST_F(CalculatorTest, AttachUndoesAnyNumberOfDetaches)
{
    w.calc.DetachInputHandlers();
    w.calc.DetachInputHandlers();
    EXPECT_FALSE(w.in(ID::MicSens_dBu).hasOnChange());
    EXPECT_TRUE(w.in(ID::AmpGain_dB).hasOnChange()); // never detached
    w.calc.AttachInputHandlers();
    EXPECT_TRUE(w.calc.handlersAttached());
}

TEST_F(CalculatorTest, ZoomedLeftAxisKeepsBothScalesLinedUp)
{
    // With the left axis zoomed to 40..120, 94 dB SPL must still sit on the
    // row of the sensitivity: right = left - 94 + sens.
    w.left.setRange(40, 120);
    type(ID::MicSens_dBu, "-40");
    EXPECT_DOUBLE_EQ(w.right.maximum(), 120 - 94 - 40);
    EXPECT_DOUBLE_EQ(w.right.minimum(), 40 - 94 - 40);
}

TEST_F(CalculatorTest, ExtremeSensitivitiesKeepTheAxisValidAndFinite)
{
    for (const char* t : {"-300", "-1E308", "1E308", "5000", "-5000"}) {
        type(ID::MicSens_dBu, t);
        EXPECT_LE(w.right.minimum(), w.right.maximum()) << t;
        EXPECT_TRUE(std::isfinite(w.right.minimum()) && std::isfinite(w.right.maximum())) << t;
        EXPECT_TRUE(w.calc.handlersAttached());
        for (auto& in : w.inputs) {
            EXPECT_EQ(in.text.find("nan"), std::string::npos) << t;
            EXPECT_EQ(in.text.find("inf"), std::string::npos) << t;
        }
        EXPECT_EQ(w.line.line.find("nan"), std::string::npos) << t;
        EXPECT_EQ(w.line.line.find("inf"), std::string::npos) << t;
        for (double v : {w.calc.state.CurMic.MicOut_V, w.calc.state.AmpOut_V, w.calc.state.AmpOut_dBu})
            EXPECT_TRUE(std::isfinite(v)) << t;
    }
    type(ID::AmpGain_dB, "1E308");
    type(ID::SourceLevel_dBSPL, "1E308");
    EXPECT_TRUE(std::isfinite(w.calc.state.AmpOut_V));
    EXPECT_TRUE(std::isfinite(w.calc.state.SourceLevel_Pa));
    // In digital mode a very low dBFS sensitivity moves the whole span down.
    w.digital.click();
    type(ID::MicSens_dBFS, "-400");
    EXPECT_DOUBLE_EQ(w.right.maximum(), -334);
    EXPECT_DOUBLE_EQ(w.right.minimum(), -494);
}

TEST_F(CalculatorTest, HandlersAreReattachedWhenTheAxisThrows)
{
    class RefusingAxis : public FakeAxis {
    public:
        RefusingAxis() : FakeAxis(-200, 200) {}
        void setMaximum(double) override { throw AxisRangeError("Axis Maximum Value must be >= Minimum"); }
    } refusing;
    FakeWindow fw;
    CalcBindings b = fw.calc.bindings();
    b.rightAxis = &refusing;
    Calculator c(b);
    c.AttachInputHandlers();
    EXPECT_THROW(c.seMicMaxLevel_dBSPLChange(&fw.in(ID::MicSens_dBu)), AxisRangeError);
    EXPECT_TRUE(c.handlersAttached());
}
