#pragma once
// The level diagram driven by the real calculator through in-memory inputs,
// as the main window wires them: the default start without a window.
#include <array>
#include <string>

#include "calc/calculator.h"
#include "calc/numtext.h"
#include "diagram/leveldiagram.h"

// An input that keeps only its text and raises its change event once per change.
class FakeInput : public INumericInput {
public:
    FakeInput(int decimals, double initial, std::string sep = ".") : decimals_(decimals), sep_(std::move(sep))
    {
        text = format(initial);
    }
    std::string text;

    double floatValue() const override { return numtext::readInputText(text, sep_); }
    void setFloatValue(double v) override { setText(format(v)); }
    bool isTextEmpty() const override { return text.empty(); }
    void setOnChange(Handler h) override { handler_ = std::move(h); }
    bool hasOnChange() const override { return static_cast<bool>(handler_); }
    void setInputEnabled(bool) override {}

    // What typing does: replace the text and raise the change event.
    void setText(const std::string& t)
    {
        if (t == text) return;
        text = t;
        if (handler_) handler_();
    }

private:
    std::string format(double v) const
    {
        return decimals_ > 0 ? numtext::formatFixed(v, decimals_, sep_) : numtext::formatGeneral(v, 15, sep_);
    }
    int decimals_;
    std::string sep_;
    Handler handler_;
};

class FakeChoice : public IChoice {
public:
    bool chosen = false;
    FakeChoice* other = nullptr;
    bool isChosen() const override { return chosen; }
    void choose() override
    {
        chosen = true;
        if (other) other->chosen = false;
    }
    void click()
    {
        choose();
        if (handler_) handler_();
    }
    void setOnClick(Handler h) override { handler_ = std::move(h); }
    bool hasOnClick() const override { return static_cast<bool>(handler_); }

private:
    Handler handler_;
};

class NullBar : public ILevelBar {
public:
    void setLevelPosition(int) override {}
};

class NullLine : public IResultLine {
public:
    void setResultLine(const std::string&) override {}
};

// The thirteen inputs with the window's decimals and initial values, the
// calculator bound to the diagram's own axes, and the start-up sequence.
struct DiagramRig {
    explicit DiagramRig(const std::string& sep = ".")
        : inputs{{
              {1, 74.0, sep},   // seSourceLevel_dBSPL
              {5, 1.0, sep},    // seSourceLevel_Pa
              {0, 130, sep},    // seMicMaxLevel_dBSPL
              {1, 10.0, sep},   // seMicSens_mV
              {1, -40.0, sep},  // seMicSens_dBu
              {1, -42.0, sep},  // seMicSens_dBV
              {1, -26.0, sep},  // seMicSens_dBFS
              {1, 10.0, sep},   // seMicNoise_uV
              {1, -100.0, sep}, // seMicNoise_dBu
              {1, -102.0, sep}, // seMicNoise_dBV
              {1, -90.0, sep},  // seMicNoise_dBFS
              {1, 20.0, sep},   // seMicNoise_dBSPL
              {0, 20, sep},     // seAmpGain_dB
          }},
          calc(bindings())
    {
        analog.chosen = true;
        analog.other = &digital;
        digital.other = &analog;
        chart.resize(980, 448);
        chart.setSeparators(QString::fromStdString(sep), sep == "," ? QStringLiteral(".") : QStringLiteral(","));
        chart.setSources(&calc.state, &in(InputId::MicMaxLevel_dBSPL), &in(InputId::SourceLevel_dBSPL),
                         &in(InputId::MicNoise_dBu), &in(InputId::MicNoise_dBFS), &analog, &digital);
        calc.decimalSeparator = sep;
        calc.AttachInputHandlers();
        in(InputId::AmpGain_dB).setOnChange([this] { calc.seMicMaxLevel_dBSPLChange(&in(InputId::AmpGain_dB)); });
    }

    FakeInput& in(InputId id) { return inputs[static_cast<size_t>(id)]; }

    // InitChart, then the calculator's start-up runs.
    void startUp()
    {
        chart.InitChart();
        calc.FillCurMicFromInputs();
        calc.RunStartupSequence();
    }

    std::array<FakeInput, kInputCount> inputs;
    FakeChoice analog, digital;
    TLevelDiagram chart;
    NullBar bar;
    NullLine line;
    Calculator calc;

private:
    CalcBindings bindings()
    {
        CalcBindings b;
        for (size_t i = 0; i < kInputCount; ++i) b.inputs[i] = &inputs[i];
        b.rbMicAnalog = &analog;
        b.rbMicDigital = &digital;
        b.rightAxis = &chart.RightAxis();
        b.leftAxis = &chart.LeftAxis();
        b.diagram = &chart;
        b.levelBar = &bar;
        b.resultLine = &line;
        return b;
    }
};
