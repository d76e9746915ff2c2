#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "calc_fakes.h"
#include "invariants.h"

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

    const CalcState& s = w.calc.state();
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
    fresh.calc.fillCurMicFromInputs();
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
    EXPECT_DOUBLE_EQ(w.calc.state().CurMic.MicSNR_dB_ITU, 80);
}

TEST_F(CalculatorTest, EmptiedInputChangesNothing)
{
    const CalcState before = w.calc.state();
    const int refreshes = w.diagram.refreshes;
    type(ID::MicMaxLevel_dBSPL, "");
    type(ID::MicSens_dBu, "");
    EXPECT_EQ(w.calc.state().CurMic.MicMaxLevel_dBSPL, before.CurMic.MicMaxLevel_dBSPL);
    EXPECT_EQ(w.text(ID::MicSens_mV), "7.9");
    EXPECT_EQ(w.diagram.refreshes, refreshes);
    EXPECT_TRUE(w.calc.handlersAttached());
    // The next non-empty edit recomputes everything; the empty input reads 0.
    type(ID::MicSens_dBu, "-40");
    EXPECT_EQ(w.calc.state().CurMic.MicMaxLevel_dBSPL, 0);
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
    EXPECT_NEAR(w.calc.state().AmpOut_dBu, -29.8, 1e-9);
    EXPECT_EQ(w.calc.state().CurMic.MicMaxLevel_dBSPL, 120);
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
    // The bar follows the mode: the digital output, in dBFS.
    EXPECT_EQ(w.bar.position, -46);
    EXPECT_EQ(w.bar.unit, "dBFS");

    w.analog.click();
    EXPECT_EQ(w.bar.position, -60);
    EXPECT_EQ(w.bar.unit, "dBu");
    EXPECT_TRUE(w.in(ID::MicSens_dBu).enabled);
    EXPECT_FALSE(w.in(ID::MicNoise_dBFS).enabled);
    EXPECT_TRUE(w.diagram.rightLabels);
    EXPECT_FALSE(w.diagram.subAxes[2]);
    EXPECT_NEAR(w.right.maximum(), 26.2, 1e-9);
    EXPECT_TRUE(w.calc.handlersAttached());
}

TEST_F(CalculatorTest, AttachUndoesAnyNumberOfDetaches)
{
    Calculator::HandlersDetached outer(w.calc);
    {
        Calculator::HandlersDetached inner(w.calc);
        EXPECT_FALSE(w.in(ID::MicSens_dBu).hasOnChange());
        EXPECT_FALSE(w.calc.handlersAttached());
        EXPECT_TRUE(w.in(ID::AmpGain_dB).hasOnChange()); // never detached
    }
    // The inner scope's attach undid both detaches.
    EXPECT_TRUE(w.calc.handlersAttached());
}

TEST_F(CalculatorTest, UnbindAllLeavesNoHandlerAndBindAllRestoresEvery)
{
    w.calc.unbindAll();
    for (auto& in : w.inputs) EXPECT_FALSE(in.hasOnChange());
    EXPECT_FALSE(w.analog.hasOnClick());
    type(ID::AmpGain_dB, "30"); // unbound: nothing runs
    EXPECT_EQ(w.calc.state().AmpGain_dB, 20);
    w.calc.bindAll();
    for (auto& in : w.inputs) EXPECT_TRUE(in.hasOnChange());
    type(ID::AmpGain_dB, "31");
    EXPECT_EQ(w.calc.state().AmpGain_dB, 31);
}

// A load shows its figures in the given order, chooses the kind the record
// states and runs nothing; the handlers are bound again afterwards.
TEST_F(CalculatorTest, LoadMicShowsTheFiguresAndRunsNothing)
{
    TMicParams file, mic;
    file.MicType = "Condenser";
    mic.MicDigital = true;
    mic.MicSens_dBFS = -30;
    const int runs = w.line.sets;
    const int dBFSWrites = w.in(ID::MicSens_dBFS).writes;
    w.calc.loadMic(file, mic, {{ID::MicSens_dBFS, -30}, {ID::MicNoise_dBFS, std::numeric_limits<double>::infinity()}});
    EXPECT_EQ(w.text(ID::MicSens_dBFS), "-30.0");
    EXPECT_EQ(w.text(ID::MicNoise_dBFS), "0.0"); // a non-finite figure shows as 0
    EXPECT_EQ(w.in(ID::MicSens_dBFS).writes, dBFSWrites + 1);
    EXPECT_TRUE(w.digital.chosen);
    EXPECT_FALSE(w.analog.chosen);
    EXPECT_EQ(w.line.sets, runs);
    EXPECT_EQ(w.calc.fileMic().MicType, "Condenser");
    EXPECT_EQ(w.calc.currentMic().MicSens_dBFS, -30);
    EXPECT_TRUE(w.calc.handlersAttached());
}

// Bindings left null are do-nothing objects: every operation runs, and the
// one input that is bound still gets its figures.
TEST(CalculatorBindings, NullBindingsDoNothing)
{
    FakeInput dBu(1, -40.0, ".");
    FakeInput mV(1, 10.0, ".");
    CalcBindings b;
    b.inputs[static_cast<size_t>(ID::MicSens_dBu)] = &dBu;
    b.inputs[static_cast<size_t>(ID::MicSens_mV)] = &mV;
    Calculator c(b, ".");
    c.bindAll();
    c.startUp();
    EXPECT_TRUE(c.handlersAttached());
    EXPECT_FALSE(c.isAnalog());
    EXPECT_FALSE(c.isDigital());
    dBu.setText("6");
    EXPECT_EQ(mV.text, "1546.3");
    c.chooseMode(MicKind::Digital);
    c.rbMicAnalogClick();
    c.loadMic(TMicParams{}, TMicParams{}, {{ID::SourceLevel_Pa, 3}});
    c.unbindAll();
    EXPECT_FALSE(dBu.hasOnChange());
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
        for (double v : {w.calc.state().CurMic.MicOut_V, w.calc.state().AmpOut_V, w.calc.state().AmpOut_dBu})
            EXPECT_TRUE(std::isfinite(v)) << t;
    }
    type(ID::AmpGain_dB, "1E308");
    type(ID::SourceLevel_dBSPL, "1E308");
    EXPECT_TRUE(std::isfinite(w.calc.state().AmpOut_V));
    EXPECT_TRUE(std::isfinite(w.calc.state().SourceLevel_Pa));
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
    CalcBindings b = fw.bindings(fw.left, fw.right, fw.diagram);
    b.rightAxis = &refusing;
    Calculator c(b, ".");
    c.bindAll();
    EXPECT_THROW(c.seMicMaxLevel_dBSPLChange(&fw.in(ID::MicSens_dBu)), AxisRangeError);
    EXPECT_TRUE(c.handlersAttached());
}

// ---------------------------------------------------------------------------
// Figures are read as the inputs show them: the three output levels from the
// sensitivity inputs, the voltages from the state, and the state's dBu
// sensitivity taken from its input at the end of every analog run.

struct Typed {
    ID id;
    const char* text;
};

struct LineRowCase {
    const char* name;
    bool digital;
    std::vector<Typed> typed;
    std::vector<const char*> lineHas;
    std::vector<std::pair<ID, const char*>> shown = {};
};

void PrintTo(const LineRowCase& c, std::ostream* os) { *os << c.name; }

class ResultFromInputsTest : public ::testing::TestWithParam<LineRowCase> {};

TEST_P(ResultFromInputsTest, LineShowsTheFiguresAsTyped)
{
    const LineRowCase& c = GetParam();
    FakeWindow w;
    w.startUp();
    if (c.digital) w.digital.click();
    for (const Typed& t : c.typed) w.in(t.id).setText(t.text);
    for (const char* piece : c.lineHas) EXPECT_NE(w.line.line.find(piece), std::string::npos) << piece << "\n" << w.line.line;
    for (const auto& [id, text] : c.shown) EXPECT_EQ(w.text(id), text) << inputName(id);
}

INSTANTIATE_TEST_SUITE_P(
    ReadAsShown, ResultFromInputsTest,
    ::testing::Values(
        // Outputs from the boxes (-40.5 and -42.7), the voltage from the state.
        LineRowCase{"mV_7_35_outputs_from_the_boxes", false, {{ID::MicSens_mV, "7.35"}},
                    {"Mic out = <FONT color=\"#FFFF80\">731.647 uV / -61 dBu / -63 dBV</FONT>",
                     "Amp out = <FONT color=\"#FFFF80\">0.0 V / -41 dBu"}},
        // The state's dBu sensitivity is the box's -40.5 after the first run.
        LineRowCase{"gain_after_mV_uses_the_shown_dBu", false, {{ID::MicSens_mV, "7.35"}, {ID::AmpGain_dB, "21"}},
                    {"Mic out = <FONT color=\"#FFFF80\">735.000 uV"}},
        // -42.46 dBV shows -42.5: -62.5 rounds away from zero.
        LineRowCase{"mV_7_52_dBV_from_the_box", false, {{ID::MicSens_mV, "7.52"}}, {"/ -63 dBV</FONT>"}}),
    [](const auto& info) { return std::string(info.param.name); });

// No limit on figures whose conversions stay finite.
INSTANTIATE_TEST_SUITE_P(
    ExactFigures, ResultFromInputsTest,
    ::testing::Values(
        LineRowCase{"gain_1847_analog", false, {{ID::AmpGain_dB, "1847"}}, {"/ 1787 dBu / 1785 dBV</FONT></P>"}},
        LineRowCase{"gain_1847_digital", true, {{ID::AmpGain_dB, "1847"}}, {"Amp out = <FONT color=\"#FFFF80\">1801 dBFS"}},
        LineRowCase{"source_1500_dBSPL", false, {{ID::SourceLevel_dBSPL, "1500"}}, {"At <FONT color=\"#FFFF80\">1500 dBSPL"}},
        LineRowCase{"sens_1E_minus_60_mV", false, {{ID::MicSens_mV, "1E-60"}}, {"/ -1278 dBu / -1280 dBV</FONT> ;"},
                    {{ID::MicSens_dBu, "-1257.8"}, {ID::MicSens_dBV, "-1260.0"}}},
        LineRowCase{"sens_dBu_minus_5000", false, {{ID::MicSens_dBu, "-5000"}}, {"/ -5020 dBu / -5022 dBV</FONT> ;"},
                    {{ID::MicSens_dBV, "-5002.2"}, {ID::MicSens_mV, "0.0"}}},
        LineRowCase{"sens_dBFS_5000_digital", true, {{ID::MicSens_dBFS, "5000"}}, {"Mic out = <FONT color=\"#FFFF80\">4980 dBFS"}},
        LineRowCase{"noise_dBu_3000", false, {{ID::MicNoise_dBu, "3000"}}, {}, {{ID::MicNoise_dBV, "2997.8"}}},
        LineRowCase{"max_level_2000", false, {{ID::MicMaxLevel_dBSPL, "2000"}, {ID::MicNoise_dBFS, "-80"}}, {},
                    {{ID::MicNoise_dBSPL, "2000.0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExactFigures, StateHoldsTheTypedLevels)
{
    FakeWindow w;
    w.startUp();
    w.in(ID::AmpGain_dB).setText("1847");
    EXPECT_DOUBLE_EQ(w.calc.state().AmpGain_dB, 1847);
    EXPECT_NEAR(w.calc.state().AmpOut_dBu, 1787.2, 1e-9);
    w.in(ID::MicSens_mV).setText("1E-60");
    EXPECT_NEAR(w.calc.state().CurMic.MicOut_dBu, -1257.8 - 20, 1e-9);
    EXPECT_NEAR(w.right.maximum(), -1257.8 + 66, 1e-9);
}

// ---------------------------------------------------------------------------
// Extreme texts into every input, in both modes and with both separators:
// nothing non-finite reaches the state, a box, the result line or the axis.

std::vector<double> stateValues(const CalcState& s)
{
    const TMicParams& m = s.CurMic;
    return {m.MicMaxLevel_dBSPL, m.MicNoise_V,    m.MicNoise_dBu,   m.MicNoise_dBV,  m.MicNoise_dBFS,
            m.MicNoise_dBSPL_ITU, m.MicSNR_dB_ITU, m.MicSens_V,     m.MicSens_dBu,   m.MicSens_dBV,
            m.MicSens_dBFS,      m.MicOut_V,      m.MicOut_dBu,     m.MicOut_dBV,    m.MicOut_dBFS,
            s.SourceLevel_dBSPL, s.SourceLevel_Pa, s.AmpGain_dB,    s.AmpOut_V,      s.AmpOut_dBu,
            s.AmpOut_dBV,        s.AmpOut_dBFS};
}

// Everything a run shows holds together: a finite state, boxes that read as
// finite numbers, a well-formed line, and the axis on the shown sensitivity.
void expectAllFinite(FakeWindow& w, const std::string& sep, const std::string& typed, ID sender)
{
    const std::vector<double> values = stateValues(w.calc.state());
    for (size_t i = 0; i < values.size(); ++i) EXPECT_TRUE(std::isfinite(values[i])) << "state value " << i << " = " << values[i];
    for (size_t i = 0; i < kInputCount; ++i) {
        const auto id = static_cast<ID>(i);
        if (id == sender && w.inputs[i].text == typed) continue; // the user's own text
        EXPECT_EQ(robust::inputTextProblem(w.inputs[i].text, sep), "") << inputName(id) << " " << w.inputs[i].text;
    }
    EXPECT_EQ(robust::resultLineProblem(w.line.line, sep, w.digital.chosen), "") << w.line.line;
    EXPECT_TRUE(std::isfinite(w.right.minimum()) && std::isfinite(w.right.maximum()));
    EXPECT_LE(w.right.minimum(), w.right.maximum());
    const double sens = w.in(w.digital.chosen ? ID::MicSens_dBFS : ID::MicSens_dBu).floatValue();
    EXPECT_DOUBLE_EQ(w.right.maximum(), std::clamp(sens, -kMaxLevelMagnitude, kMaxLevelMagnitude) + 66);
    EXPECT_TRUE(w.calc.handlersAttached());
}

struct ExtremeCase {
    ID sender;
    bool digital;
    const char* sep;
};

class ExtremeTextTest : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(ExtremeTextTest, NothingNonFiniteIsShownOrStored)
{
    const ExtremeCase& c = GetParam();
    const std::string huge(400, '9');
    const std::vector<std::string> texts = {
        "1E-322", "5E-324", "1E308", "-1E308", "1.7976931348623157E308", huge, "-" + huge, "0." + std::string(400, '0') + "1",
        huge + ".5", "1" + std::string(308, '0'), "-1E-322", "0",
    };
    FakeWindow w(c.sep);
    w.startUp();
    if (c.digital) w.digital.click();
    for (std::string text : texts) {
        std::replace(text.begin(), text.end(), '.', c.sep[0]);
        SCOPED_TRACE(text.substr(0, 30));
        w.in(c.sender).setText(text);
        expectAllFinite(w, c.sep, text, c.sender);
        // A step from what the box shows keeps it so.
        w.in(c.sender).setText(numtext::formatFixed(w.in(c.sender).floatValue() + 1, 1, c.sep));
        expectAllFinite(w, c.sep, "", c.sender);
        // Every other run with these figures as well.
        w.calc.seMicMaxLevel_dBSPLChange(nullptr);
        expectAllFinite(w, c.sep, text, c.sender);
    }
}

std::vector<ExtremeCase> extremeCases()
{
    std::vector<ExtremeCase> cases;
    for (size_t i = 0; i < kInputCount; ++i)
        for (bool digital : {false, true})
            for (const char* sep : {".", ","}) cases.push_back({static_cast<ID>(i), digital, sep});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EverySender, ExtremeTextTest, ::testing::ValuesIn(extremeCases()), [](const auto& info) {
    return std::string(inputName(info.param.sender)) + (info.param.digital ? "_digital" : "_analog") +
           (info.param.sep[0] == '.' ? "_dot" : "_comma");
});

// A sensitivity that divides to 0 V is a missing figure, as 0 mV is.
class VanishingSensitivityTest : public ::testing::TestWithParam<const char*> {};

TEST_P(VanishingSensitivityTest, IsTheMissingFigure)
{
    FakeWindow w;
    w.startUp();
    w.in(ID::MicSens_mV).setText(GetParam());
    EXPECT_EQ(w.text(ID::MicSens_dBu), "-200.0");
    EXPECT_EQ(w.text(ID::MicSens_dBV), "-200.0");
    EXPECT_EQ(w.calc.state().CurMic.MicSens_V, 0);
    EXPECT_EQ(w.calc.state().CurMic.MicSens_dBu, -200);
    EXPECT_NE(w.line.line.find("Mic out = <FONT color=\"#FFFF80\">0.000 uV / -220 dBu / -220 dBV"), std::string::npos)
        << w.line.line;
    EXPECT_NE(w.line.line.find("Amp out = <FONT color=\"#FFFF80\">0.0 V / -200 dBu"), std::string::npos);
    EXPECT_DOUBLE_EQ(w.right.maximum(), -134);
}

INSTANTIATE_TEST_SUITE_P(Texts, VanishingSensitivityTest, ::testing::Values("1E-322", "5E-324", "0", "-3"),
                         [](const auto& info) {
                             std::string name; // "1E-322" -> "1Eminus322"
                             for (const char* c = info.param; *c; ++c) name += *c == '-' ? std::string("minus") : std::string(1, *c);
                             return name;
                         });

// Where a conversion would overflow, the guard lowers a figure and shows it:
// the box reads the value the state and the line used.
struct GuardCase {
    const char* name;
    bool digital;
    std::vector<Typed> before; // figures typed first
    Typed typed;
    ID shownIn;            // the box that shows the lowered figure
    double (*used)(const CalcState&); // the figure the results used
    const char* lineHas;   // the line piece built from it ("" to skip)
};

void PrintTo(const GuardCase& c, std::ostream* os) { *os << c.name; }

class OverflowGuardTest : public ::testing::TestWithParam<GuardCase> {};

TEST_P(OverflowGuardTest, BoxStateLineAndAxisAgree)
{
    const GuardCase& c = GetParam();
    FakeWindow w;
    w.startUp();
    if (c.digital) w.digital.click();
    for (const Typed& t : c.before) w.in(t.id).setText(t.text);
    w.in(c.typed.id).setText(c.typed.text);
    const double used = c.used(w.calc.state());
    EXPECT_TRUE(std::isfinite(used));
    EXPECT_NE(w.text(c.shownIn), c.typed.text);
    EXPECT_DOUBLE_EQ(w.in(c.shownIn).floatValue(), used) << w.text(c.shownIn);
    EXPECT_EQ(used, std::floor(used)) << "lowered to a whole level";
    if (*c.lineHas) {
        const std::string piece = c.lineHas + numtext::formatFixed(used, 0);
        EXPECT_NE(w.line.line.find(piece), std::string::npos) << piece;
    }
    expectAllFinite(w, ".", "", c.typed.id);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverflowGuardTest,
    ::testing::Values(
        GuardCase{"sens_dBu_past_the_mV_range", false, {}, {ID::MicSens_dBu, "7000"}, ID::MicSens_dBu,
                  [](const CalcState& s) { return s.CurMic.MicSens_dBu; }, ""},
        GuardCase{"sens_dBV_past_the_mV_range", false, {}, {ID::MicSens_dBV, "1E308"}, ID::MicSens_dBV,
                  [](const CalcState& s) { return s.CurMic.MicSens_dBV; }, ""},
        GuardCase{"noise_dBu_past_the_uV_range", false, {}, {ID::MicNoise_dBu, "6100"}, ID::MicNoise_dBu,
                  [](const CalcState& s) { return s.CurMic.MicNoise_dBu; }, ""},
        GuardCase{"noise_dBV_past_the_uV_range", false, {}, {ID::MicNoise_dBV, "1E300"}, ID::MicNoise_dBV,
                  [](const CalcState& s) { return s.CurMic.MicNoise_dBV; }, ""},
        GuardCase{"noise_dBSPL_past_the_uV_range", false, {}, {ID::MicNoise_dBSPL, "7000"}, ID::MicNoise_dBSPL,
                  [](const CalcState& s) { return s.CurMic.MicNoise_dBSPL_ITU; }, ""},
        GuardCase{"source_past_the_pascal_range", false, {}, {ID::SourceLevel_dBSPL, "6300"}, ID::SourceLevel_dBSPL,
                  [](const CalcState& s) { return s.SourceLevel_dBSPL; }, "At <FONT color=\"#FFFF80\">"},
        GuardCase{"source_past_the_mic_output_range", false, {{ID::MicSens_dBu, "6000"}},
                  {ID::SourceLevel_dBSPL, "500"}, ID::SourceLevel_dBSPL,
                  [](const CalcState& s) { return s.SourceLevel_dBSPL; }, "At <FONT color=\"#FFFF80\">"},
        GuardCase{"pascal_past_the_mic_output_range", false, {{ID::MicSens_dBu, "6000"}},
                  {ID::SourceLevel_Pa, "1E308"}, ID::SourceLevel_dBSPL,
                  [](const CalcState& s) { return s.SourceLevel_dBSPL; }, "At <FONT color=\"#FFFF80\">"},
        GuardCase{"gain_past_the_amp_range", false, {}, {ID::AmpGain_dB, "7000"}, ID::AmpGain_dB,
                  [](const CalcState& s) { return s.AmpGain_dB; }, ""},
        GuardCase{"gain_past_the_amp_range_digital", true, {}, {ID::AmpGain_dB, "1E308"}, ID::AmpGain_dB,
                  [](const CalcState& s) { return s.AmpGain_dB; }, ""},
        GuardCase{"dBFS_past_the_sum_range_digital", true, {}, {ID::MicSens_dBFS, "-1E308"}, ID::MicSens_dBFS,
                  [](const CalcState& s) { return s.CurMic.MicSens_dBFS; }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OverflowGuard, AmpOutputFollowsTheLoweredGain)
{
    FakeWindow w;
    w.startUp();
    w.in(ID::AmpGain_dB).setText("7000");
    const CalcState& s = w.calc.state();
    EXPECT_DOUBLE_EQ(s.AmpOut_dBu, s.CurMic.MicOut_dBu + s.AmpGain_dB);
    EXPECT_NE(w.line.line.find("/ " + numtext::formatFixed(s.AmpOut_dBu, 0) + " dBu"), std::string::npos);
    // The gain input is bound again after the guard wrote it.
    w.in(ID::AmpGain_dB).setText("30");
    EXPECT_NEAR(s.AmpOut_dBu, -29.8, 1e-9);
}
