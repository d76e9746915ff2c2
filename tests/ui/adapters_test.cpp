// The calculator drives the window's widgets through the adapters of ui/:
// a key typed into one box writes its siblings, the level bar and the
// result line; the diagram is seen as an axis range and a view, and reads
// its levels from the calculator.
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "calc/calculator.h"
#include "ui/calcadapters.h"
#include "ui/diagramadapters.h"
#include "calc_fakes.h"

TEST(CalcAdapters, CalculatorDrivesTheBoxes)
{
    QWidget window;
    window.resize(400, 300);
    CalcBindings b;
    std::vector<TFloatSpinEdit*> boxes;
    std::vector<std::unique_ptr<SpinInput>> inputs;
    for (std::size_t i = 0; i < kInputCount; ++i) {
        auto* box = new TFloatSpinEdit(&window);
        box->setObjectName(inputName(static_cast<InputId>(i)));
        box->setPrecision(1);
        box->setSigned(true);
        box->setFloatValue(0);
        boxes.push_back(box);
        inputs.push_back(std::make_unique<SpinInput>(box));
        b.inputs[i] = inputs.back().get();
    }
    auto* bar = new TLevelBar(&window);
    auto* line = new TMarkupLabel(&window);
    LevelBarOutput barOut(bar);
    ResultLineOutput lineOut(line);
    b.levelBar = &barOut;
    b.resultLine = &lineOut;
    Calculator calc(b, ".");
    calc.bindAll();

    window.show();
    TFloatSpinEdit* dBu = boxes[static_cast<std::size_t>(InputId::MicSens_dBu)];
    TFloatSpinEdit* mV = boxes[static_cast<std::size_t>(InputId::MicSens_mV)];
    dBu->setFocus();
    dBu->selectAll();
    QTest::keyClick(dBu, '6');
    EXPECT_EQ(dBu->text(), "6");
    EXPECT_EQ(mV->text(), "1546.3"); // 0.775 V * 10^(6/20)
    EXPECT_TRUE(calc.handlersAttached());
    EXPECT_FALSE(line->plainText().isEmpty());
    calc.unbindAll();
}

TEST(DiagramAdapters, AxisRefusalBecomesTheCalculatorsError)
{
    TLevelDiagram chart;
    AxisRangeAdapter left(chart.LeftAxis());
    left.setMaximum(160);
    try {
        left.setMinimum(161);
        FAIL() << "no error";
    } catch (const AxisRangeError& e) {
        EXPECT_STREQ(e.what(), "Axis Minimum Value must be <= Maximum");
    }
    EXPECT_THROW(left.setMaximum(-1), AxisRangeError);
    EXPECT_EQ(left.minimum(), 0);
    EXPECT_EQ(left.maximum(), 160);
}

TEST(DiagramAdapters, LevelsFollowTheChosenKind)
{
    FakeWindow w;
    w.in(InputId::MicMaxLevel_dBSPL).text = "130";
    w.in(InputId::SourceLevel_dBSPL).text = "94";
    w.in(InputId::MicNoise_dBu).text = "-120";
    w.in(InputId::MicNoise_dBFS).text = "-100";
    CalcState state;
    state.CurMic.MicOut_dBu = -40;
    state.CurMic.MicOut_dBFS = -30;
    CalcDiagramLevels levels(state, w.in(InputId::MicMaxLevel_dBSPL), w.in(InputId::SourceLevel_dBSPL),
                             w.in(InputId::MicNoise_dBu), w.in(InputId::MicNoise_dBFS), w.analog, w.digital);
    EXPECT_FALSE(levels.digital());
    EXPECT_EQ(levels.maxLevel_dBSPL(), 130);
    EXPECT_EQ(levels.sourceLevel_dBSPL(), 94);
    EXPECT_EQ(levels.noiseLevel(), -120);
    EXPECT_EQ(levels.outputLevel(), -40);
    w.digital.choose();
    EXPECT_TRUE(levels.digital());
    EXPECT_EQ(levels.noiseLevel(), -100);
    EXPECT_EQ(levels.outputLevel(), -30);
    // Both chosen (no exclusive group) reads analog, as neither does.
    w.analog.chosen = w.digital.chosen = true;
    EXPECT_FALSE(levels.digital());
}
