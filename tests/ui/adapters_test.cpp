// The calculator drives the window's widgets through the adapters of ui/:
// a key typed into one box writes its siblings, the level bar and the
// result line.
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "calc/calculator.h"
#include "ui/calcadapters.h"

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
