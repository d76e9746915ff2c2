// The calculator's change operation over random senders and values, with
// in-memory inputs that obey the window's rules. After every step: the
// handlers are attached, every text the calculator wrote reads as a finite
// number, the right axis is in order, the state is finite, and the result
// line is well formed. No exception may escape.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "calc_fakes.h"
#include "fuzz_check.h"
#include "invariants.h"

namespace {

double anyDouble(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        const auto bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case 1:
        return in.ConsumeFloatingPointInRange(-300.0, 300.0);
    case 2:
        return static_cast<double>(in.ConsumeIntegralInRange(-250, 250));
    default:
        return in.ConsumeFloatingPoint<double>();
    }
}

void checkState(const CalcState& s)
{
    const TMicParams& m = s.CurMic;
    const double values[] = {
        m.MicMaxLevel_dBSPL, m.MicNoise_V,    m.MicNoise_dBu,  m.MicNoise_dBV,   m.MicNoise_dBFS,
        m.MicNoise_dBSPL_ITU, m.MicSNR_dB_ITU, m.MicSens_V,    m.MicSens_dBu,    m.MicSens_dBV,
        m.MicSens_dBFS,      m.MicOut_V,      m.MicOut_dBu,    m.MicOut_dBV,     m.MicOut_dBFS,
        s.SourceLevel_dBSPL, s.SourceLevel_Pa, s.AmpGain_dB,   s.AmpOut_V,       s.AmpOut_dBu,
        s.AmpOut_dBV,        s.AmpOut_dBFS,
    };
    for (std::size_t i = 0; i < std::size(values); ++i)
        FUZZ_CHECK(std::isfinite(values[i]), "state value " + std::to_string(i) + " is not finite");
}

struct Run {
    explicit Run(const std::string& sep) : sep(sep), w(sep) {}
    std::string sep;
    FakeWindow w;
    // The text last typed into each input; the calculator may leave it as it is.
    std::array<std::optional<std::string>, kInputCount> typed;

    void check(bool full)
    {
        FUZZ_CHECK(w.calc.handlersAttached(), "a handler stayed detached");
        for (std::size_t i = 0; i < kInputCount; ++i) {
            const std::string& text = w.inputs[i].text;
            if (typed[i] && *typed[i] == text) continue;
            const std::string problem = robust::inputTextProblem(text, sep);
            FUZZ_CHECK(problem.empty(), std::string(inputName(static_cast<InputId>(i))) + " \"" + text + "\" " + problem);
        }
        FUZZ_CHECK(std::isfinite(w.right.minimum()) && std::isfinite(w.right.maximum()), "right axis not finite");
        FUZZ_CHECK(w.right.minimum() <= w.right.maximum(), "right axis inverted");
        FUZZ_CHECK(w.analog.chosen != w.digital.chosen, "not exactly one kind chosen");
        checkState(w.calc.state());
        if (full && w.line.sets > 0) {
            const bool digital = !w.analog.chosen && w.digital.chosen;
            const std::string problem = robust::resultLineProblem(w.line.line, sep, digital);
            FUZZ_CHECK(problem.empty(), problem + ": " + w.line.line);
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Run r(in.ConsumeBool() ? "," : ".");
    if (in.ConsumeBool()) r.w.startUp();
    r.check(true);

    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const auto id = static_cast<InputId>(in.ConsumeIntegralInRange<std::size_t>(0, kInputCount - 1));
        const std::size_t i = static_cast<std::size_t>(id);
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: { // any text typed or pasted
            std::string text = in.ConsumeRandomLengthString(24);
            r.typed[i] = text;
            r.w.in(id).setText(text);
            break;
        }
        case 1: { // a number typed with some decimals
            std::string text = numtext::formatFixed(anyDouble(in), in.ConsumeIntegralInRange(0, 6), r.sep);
            r.typed[i] = text;
            r.w.in(id).setText(text);
            break;
        }
        case 2: // a step or another program write
            r.typed[i].reset();
            r.w.in(id).setFloatValue(anyDouble(in));
            break;
        case 3:
            r.w.analog.click();
            break;
        case 4:
            r.w.digital.click();
            break;
        case 5:
            r.w.calc.seMicMaxLevel_dBSPLChange(in.ConsumeBool() ? nullptr : r.w.calc.input(id));
            break;
        case 6: { // the left scale zoomed or panned anywhere finite
            double a = anyDouble(in), b = anyDouble(in);
            if (!std::isfinite(a)) a = 0;
            if (!std::isfinite(b)) b = 160;
            if (a > b) std::swap(a, b);
            r.w.left.setRange(a, b);
            break;
        }
        default: // emptied
            r.typed[i] = std::string();
            r.w.in(id).setText("");
            break;
        }
        r.check(false);
    }
    r.check(true);
    return 0;
}
