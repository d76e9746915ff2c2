#pragma once
// The level diagram driven by the real calculator through in-memory inputs,
// as the main window wires them: the default start without a window.
#include <array>
#include <string>

#include "calc/calculator.h"
#include "calc_fakes.h"
#include "diagram/leveldiagram.h"

// The thirteen inputs with the window's decimals and initial values, the
// calculator bound to the diagram's own axes, and the start-up sequence.
struct DiagramRig {
    explicit DiagramRig(const std::string& sep = ".")
        : inputs(windowInputs(sep)), calc(bindings(), sep)
    {
        chart.resize(980, 448);
        chart.setSeparators(QString::fromStdString(sep), sep == "," ? QStringLiteral(".") : QStringLiteral(","));
        chart.setSources(&calc.state(), &in(InputId::MicMaxLevel_dBSPL), &in(InputId::SourceLevel_dBSPL),
                         &in(InputId::MicNoise_dBu), &in(InputId::MicNoise_dBFS), &analog, &digital);
        calc.bindAll();
    }

    FakeInput& in(InputId id) { return inputs[static_cast<size_t>(id)]; }

    // InitChart, then the calculator's start-up runs.
    void startUp()
    {
        chart.InitChart();
        calc.startUp();
    }

    WindowInputs inputs;
    FakeChoice analog, digital;
    TLevelDiagram chart;
    FakeBar bar;
    FakeLine line;
    Calculator calc;

private:
    CalcBindings bindings()
    {
        CalcBindings b = fakeBindings(inputs, analog, digital);
        b.rightAxis = &chart.RightAxis();
        b.leftAxis = &chart.LeftAxis();
        b.diagram = &chart;
        b.levelBar = &bar;
        b.resultLine = &line;
        return b;
    }
};
