// The axis engine over random ranges, sizes, settings and text metrics: the
// label step and labelled values, the axis number text, the chart layout of
// a plain chart and of the level diagram (with its label hooks), the mouse
// zoom, pan and wheel, and now and then a real paint with the overlays.
// Ranges reach the setters as they come (inverted, NaN, infinite): a setter
// refuses what would invert the range and changes nothing then. Every
// layout ends quickly, keeps within the label limits, writes no "nan" or
// "inf", and draws every label inside the control, clear of the others; the
// overlay texts stay inside the plot, clear of the labels, the side titles
// and each other.
#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "text/fonts.h"
#include "diagram/leveldiagram.h"
#include "chart/scalemath.h"
#include "calc_fakes.h"
#include "fixed_measure.h"
#include "fuzz_check.h"
#include "invariants.h"
#include "overlay_check.h"
#include "ui/diagramadapters.h"

namespace {

double anyValue(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: {
        const auto bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return std::isfinite(v) ? v : 0.0;
    }
    case 1:
        return in.ConsumeFloatingPointInRange(-1e6, 1e6);
    case 2:
        return in.ConsumeFloatingPointInRange(-1e-9, 1e-9);
    case 3:
        return static_cast<double>(in.ConsumeIntegralInRange(-400, 400));
    default:
        return in.ConsumeFloatingPoint<double>();
    }
}

// Any double, NaN and the infinities included.
double rawValue(FuzzedDataProvider& in)
{
    if (in.ConsumeIntegralInRange(0, 3) != 0) return anyValue(in);
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return std::numeric_limits<double>::infinity();
    case 2: return -std::numeric_limits<double>::infinity();
    default: {
        const auto bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    }
}

// Two values through one of the setters, as they come: an inverted range or
// a NaN must be refused with TAxisRangeError and change nothing; whatever is
// accepted leaves the range in order.
void setRange(FuzzedDataProvider& in, TScaleAxis& a, double x, double y)
{
    const double mn = a.minimum(), mx = a.maximum();
    bool refused = false;
    const int setter = in.ConsumeIntegralInRange(0, 3);
    const std::string what = "setter " + std::to_string(setter) + " given " + std::to_string(x) + ", " +
                             std::to_string(y) + " on " + std::to_string(mn) + " to " + std::to_string(mx) + ": ";
    try {
        switch (setter) {
        case 0: a.setMinimum(x); break;
        case 1: a.setMaximum(x); break;
        case 2: a.setMinMax(x, y); break;
        default: a.setMinMax(std::min(x, y), std::max(x, y)); break;
        }
    } catch (const TAxisRangeError&) {
        refused = true;
    }
    const bool sameEnds = (a.minimum() == mn || (std::isnan(a.minimum()) && std::isnan(mn))) &&
                          (a.maximum() == mx || (std::isnan(a.maximum()) && std::isnan(mx)));
    if (refused) FUZZ_CHECK(sameEnds, what + "a refused range changed the axis");
    if (!std::isnan(mn) && !std::isnan(mx) && mn <= mx)
        FUZZ_CHECK(a.minimum() <= a.maximum(), what + "a setter let in an inverted or NaN range: " +
                                                   std::to_string(a.minimum()) + " to " + std::to_string(a.maximum()));
}

bool finiteRange(const TScaleAxis& a) { return std::isfinite(a.minimum()) && std::isfinite(a.maximum()); }

void checkLayout(const TChartLayout& L, const std::string& what)
{
    std::vector<TIntRect> drawn;
    for (const TAxisLayout& a : L.axes) {
        if (!a.showLabels) continue;
        for (const TLabelItem& item : a.labels) {
            if (!item.draw) continue;
            FUZZ_CHECK(L.bounds.contains(item.textRect), what + ": a label leaves the control");
            if (item.textRect.width() > 0 && item.textRect.height() > 0) drawn.push_back(item.textRect);
        }
    }
    // Sorted by top, a rectangle can only meet the ones that start above its bottom.
    std::sort(drawn.begin(), drawn.end(), [](const TIntRect& x, const TIntRect& y) { return x.top < y.top; });
    for (std::size_t i = 0; i < drawn.size(); ++i)
        for (std::size_t j = i + 1; j < drawn.size() && drawn[j].top < drawn[i].bottom; ++j)
            FUZZ_CHECK(!drawn[i].intersects(drawn[j]), what + ": labels overlap");
    for (const TAxisLayout& a : L.axes) {
        FUZZ_CHECK(a.labels.size() <= static_cast<std::size_t>(scale::kMaxLabelCount), what + ": too many labels");
        if (!a.labels.empty()) FUZZ_CHECK(a.step >= scale::kMinStep, what + ": step below the smallest");
        const TScaleAxis* master = a.axis->master() ? a.axis->master() : a.axis;
        if (!finiteRange(*master)) continue;
        for (const TLabelItem& item : a.labels) {
            FUZZ_CHECK(!robust::showsNonFinite(item.engineText.toStdString()), what + ": " + item.engineText.toStdString());
            FUZZ_CHECK(!robust::showsNonFinite(item.text.toStdString()), what + ": " + item.text.toStdString());
            FUZZ_CHECK(item.row > a.map.startRow && item.row < a.map.endRow, what + ": label on or beyond an end");
        }
    }
}

void fuzzScaleMath(FuzzedDataProvider& in)
{
    const double mn = anyValue(in), mx = anyValue(in);
    const int pixels = in.ConsumeIntegralInRange(-10, 5000);
    const int h = in.ConsumeIntegralInRange(-5, 200);
    const int separation = in.ConsumeIntegralInRange(-100, 400);
    const double increment = in.ConsumeBool() ? 0.0 : anyValue(in);
    const double step = scale::labelStep(mn, mx, pixels, h, separation, increment);
    FUZZ_CHECK(step >= scale::kMinStep, "labelStep below the smallest step");
    const auto values = scale::labelValues(std::min(mn, mx), std::max(mn, mx), step);
    FUZZ_CHECK(values.size() <= static_cast<std::size_t>(scale::kMaxLabelCount), "labelValues beyond the limit");
    for (std::size_t i = 1; i < values.size(); ++i) FUZZ_CHECK(values[i] < values[i - 1], "labels not from the top down");

    const double v = anyValue(in);
    const std::string sep = in.ConsumeBool() ? "," : ".";
    const std::string group = sep == "," ? "." : ",";
    const std::string text = scale::formatAxisValue(v, sep, group);
    FUZZ_CHECK(!robust::showsNonFinite(text), text);
    std::string plain = text;
    std::erase(plain, group[0]);
    const double back = numtext::parseNumber(plain, sep).value_or(0.0);
    FUZZ_CHECK(std::fabs(back - v) <= 0.0005 * (1 + 1e-9) + std::fabs(v) * 1e-13, "axis text " + text);

    const scale::ScaleMap map{mn, mx, in.ConsumeIntegralInRange(-5000, 5000), in.ConsumeIntegralInRange(-5000, 5000)};
    (void)map.row(anyValue(in));
    (void)map.value(in.ConsumeIntegralInRange(-100000, 100000));
}

void configureAxis(FuzzedDataProvider& in, TScaleAxis& a)
{
    a.setVisible(in.ConsumeIntegralInRange(0, 7) != 0);
    a.setLabels(in.ConsumeIntegralInRange(0, 7) != 0);
    a.setIncrement(in.ConsumeBool() ? 0.0 : std::fabs(anyValue(in)));
    a.setLabelsSize(in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange(-50, 500));
    a.setLabelsSeparation(in.ConsumeIntegralInRange(-100, 300));
    a.setPositionPercent(in.ConsumeFloatingPointInRange(-200.0, 200.0));
    a.setPositionUnits(in.ConsumeBool() ? TPositionUnits::Percent : TPositionUnits::Pixels);
}

void fuzzPlainChart(FuzzedDataProvider& in)
{
    TScaleChart chart;
    chart.resize(in.ConsumeIntegralInRange(0, 4000), in.ConsumeIntegralInRange(0, 4000));
    chart.setMarginUnits(in.ConsumeBool() ? TPositionUnits::Percent : TPositionUnits::Pixels);
    chart.setMarginLeft(in.ConsumeIntegralInRange(-200, 1000));
    chart.setMarginTop(in.ConsumeIntegralInRange(-200, 1000));
    chart.setMarginRight(in.ConsumeIntegralInRange(-200, 1000));
    chart.setMarginBottom(in.ConsumeIntegralInRange(-200, 1000));
    if (in.ConsumeBool()) chart.setTitle(QStringLiteral("title"));
    chart.addSeries(chart.LeftAxis(), in.ConsumeBool());
    chart.addSeries(chart.RightAxis(), in.ConsumeBool());
    chart.RightAxis().setOtherSide(true);
    for (TScaleAxis* main : {&chart.LeftAxis(), &chart.RightAxis()}) {
        configureAxis(in, *main);
        setRange(in, *main, rawValue(in), rawValue(in));
        const int subs = in.ConsumeIntegralInRange(0, 3);
        for (int i = 0; i < subs; ++i) {
            TScaleAxis& sub = main->addSubAxis();
            configureAxis(in, sub);
            setRange(in, sub, rawValue(in), rawValue(in));
        }
    }
    const FixedMeasure measure(in.ConsumeIntegralInRange(0, 120), in.ConsumeIntegralInRange(0, 40));
    for (int round = 0; round < 4 && in.remaining_bytes() > 0; ++round) {
        const TChartLayout L = chart.computeLayout(measure);
        checkLayout(L, "plain chart");
        chart.applyLayout(L);
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: chart.zoomRows(in.ConsumeIntegralInRange(-5000, 5000), in.ConsumeIntegralInRange(-5000, 5000)); break;
        case 1: chart.panRows(in.ConsumeIntegralInRange(-5000, 5000), in.ConsumeIntegralInRange(-5000, 5000)); break;
        case 2: chart.wheelStep(in.ConsumeIntegralInRange(-10, 10)); break;
        default: chart.restoreView(); break;
        }
        FUZZ_CHECK(chart.LeftAxis().minimum() <= chart.LeftAxis().maximum(), "left axis inverted");
        FUZZ_CHECK(chart.RightAxis().minimum() <= chart.RightAxis().maximum(), "right axis inverted");
    }
}

void fuzzLevelDiagram(FuzzedDataProvider& in)
{
    const std::string sep = in.ConsumeBool() ? "," : ".";
    FakeWindow w(sep);
    TLevelDiagram chart;
    chart.setSeparators(QString::fromStdString(sep), sep == "," ? QStringLiteral(".") : QStringLiteral(","));
    chart.InitChart();
    // The state the overlays read, set here at random.
    CalcState state;
    const CalcDiagramLevels levels(state, w.in(InputId::MicMaxLevel_dBSPL), w.in(InputId::SourceLevel_dBSPL),
                                   w.in(InputId::MicNoise_dBu), w.in(InputId::MicNoise_dBFS), w.analog, w.digital);
    chart.setLevels(&levels);
    chart.resize(in.ConsumeIntegralInRange(0, 1400), in.ConsumeIntegralInRange(0, 1000));
    if (in.ConsumeBool()) w.digital.choose();
    chart.setRightAxisLabelsVisible(in.ConsumeBool());
    for (int i = 0; i < 3; ++i) chart.setRightSubAxisVisible(i, in.ConsumeBool());
    // What the overlays read: the inputs as typed, the state as computed.
    for (InputId id : {InputId::MicMaxLevel_dBSPL, InputId::SourceLevel_dBSPL, InputId::MicNoise_dBu,
                       InputId::MicNoise_dBFS})
        w.in(id).text = numtext::formatFixed(anyValue(in), 1, sep);
    state.CurMic.MicOut_dBu = anyValue(in);
    state.CurMic.MicOut_dBFS = anyValue(in);
    state.AmpOut_dBu = anyValue(in);
    setRange(in, chart.LeftAxis(), rawValue(in), rawValue(in));
    setRange(in, chart.RightAxis(), rawValue(in), rawValue(in));

    const FixedMeasure measure(in.ConsumeIntegralInRange(0, 60), in.ConsumeIntegralInRange(0, 20));
    for (int round = 0; round < 4 && in.remaining_bytes() > 0; ++round) {
        const TChartLayout L = chart.computeLayout(measure);
        checkLayout(L, "level diagram");
        chart.applyLayout(L);
        if (finiteRange(chart.LeftAxis()) && finiteRange(chart.RightAxis()))
            FUZZ_CHECK(!robust::showsNonFinite(chart.accessibleDescriptionText().toStdString()),
                       chart.accessibleDescriptionText().toStdString());
        switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: chart.zoomRows(in.ConsumeIntegralInRange(-2000, 2000), in.ConsumeIntegralInRange(-2000, 2000)); break;
        case 1: chart.panRows(in.ConsumeIntegralInRange(-2000, 2000), in.ConsumeIntegralInRange(-2000, 2000)); break;
        case 2: chart.wheelStep(in.ConsumeIntegralInRange(-5, 5)); break;
        case 3: chart.restoreView(); break;
        default: { // a real paint with the overlays, mostly at a small size to keep runs quick
            if (in.ConsumeIntegralInRange(0, 7) == 0)
                chart.resize(in.ConsumeIntegralInRange(400, 2000), in.ConsumeIntegralInRange(300, 1400));
            else
                chart.resize(in.ConsumeIntegralInRange(1, 400), in.ConsumeIntegralInRange(1, 300));
            QImage image(chart.size(), QImage::Format_ARGB32);
            chart.render(&image);
            // The overlay texts: inside the plot, clear of the labels, the
            // side titles and each other, with readable figures.
            const std::string problem = overlaycheck::problem(chart);
            FUZZ_CHECK(problem.empty(), "overlays: " + problem);
            for (const TOverlayText& t : chart.lastOverlayTexts()) {
                const std::string text = t.text.toStdString();
                FUZZ_CHECK(!robust::showsNonFinite(text), "overlay text " + text);
                FUZZ_CHECK(!robust::hasLongFigure(text), "overlay text " + text);
            }
            break;
        }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_axis";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    registerAppFonts(); // as the program does at start-up
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: fuzzScaleMath(in); break;
    case 1: fuzzPlainChart(in); break;
    default: fuzzLevelDiagram(in); break;
    }
    return 0;
}
