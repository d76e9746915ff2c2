#pragma once
// The level diagram driven by the real calculator through in-memory inputs,
// as the main window wires them: the default start without a window.
#include <string>

#include "calc_fakes.h"
#include "diagram/leveldiagram.h"
#include "ui/diagramadapters.h"

// The diagram a DiagramRig draws on, with the window's adapters; a base, so
// that it is made before the window fake that binds its axes.
struct DiagramChart {
    TLevelDiagram chart;
    AxisRangeAdapter leftRange{chart.LeftAxis()};
    AxisRangeAdapter rightRange{chart.RightAxis()};
    DiagramViewAdapter view{chart};
};

// The window fake bound to the diagram's own axes, and the diagram reading
// the calculator and the inputs it draws from.
struct DiagramRig : DiagramChart, WindowFake {
    explicit DiagramRig(const std::string& sep = ".")
        : WindowFake(leftRange, rightRange, view, sep),
          levels(calc.state(), in(InputId::MicMaxLevel_dBSPL), in(InputId::SourceLevel_dBSPL),
                 in(InputId::MicNoise_dBu), in(InputId::MicNoise_dBFS), analog, digital)
    {
        chart.resize(980, 448);
        chart.setSeparators(QString::fromStdString(sep), sep == "," ? QStringLiteral(".") : QStringLiteral(","));
        chart.setLevels(&levels);
    }

    CalcDiagramLevels levels;

    // InitChart, then the calculator's start-up runs.
    void startUp()
    {
        chart.InitChart();
        WindowFake::startUp();
    }
};
