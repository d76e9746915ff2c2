#include "calc/calculator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "calc/resultline.h"

namespace {

constexpr const char* kInputNames[kInputCount] = {
    "seSourceLevel_dBSPL", "seSourceLevel_Pa", "seMicMaxLevel_dBSPL", "seMicSens_mV",
    "seMicSens_dBu",       "seMicSens_dBV",    "seMicSens_dBFS",      "seMicNoise_uV",
    "seMicNoise_dBu",      "seMicNoise_dBV",   "seMicNoise_dBFS",     "seMicNoise_dBSPL",
    "seAmpGain_dB",
};

// The overflow bounds of the level conversions, in dB: above them 10^(x/20),
// or the voltage in mV or uV, or the pressure in Pa, is past the double range.
const double kLog10MaxDouble = std::log10(std::numeric_limits<double>::max());
const double kMaxPow_dB = 20.0 * kLog10MaxDouble; // 10^(x/20) itself, about 6165 dB
const double kMaxSens_dBu = 20.0 * (kLog10MaxDouble - std::log10(conv::kVolts0dBu * 1e3));
const double kMaxNoise_dBu = 20.0 * (kLog10MaxDouble - std::log10(conv::kVolts0dBu * 1e6));
const double kMaxSource_dBSPL = std::min(kMaxPow_dB, 20.0 * (kLog10MaxDouble - std::log10(conv::kPa0dBSPL)));
// paToDbspl divides by 0.00002 first: the pressure of the top whole level, 6165 dB SPL.
const double kMaxSource_Pa = conv::dbsplToPa(std::floor(kMaxPow_dB));

bool isLinear(InputId id)
{
    return id == InputId::MicSens_mV || id == InputId::MicNoise_uV || id == InputId::SourceLevel_Pa;
}

// The largest whole number x at or below `estimate` for which ok(x) holds;
// `estimate` comes from the overflow bound and is off by a rounding at most.
template <typename Ok>
double largestWholeLevel(double estimate, Ok ok)
{
    double x = std::floor(estimate);
    for (int i = 0; i < 64 && !ok(x); ++i) x -= std::max(1.0, std::fabs(x) * 1e-15);
    return x;
}

// Whether a level in dBu is a finite voltage in mV / in uV.
bool finiteInMilli(double dBu) { return std::isfinite(conv::voltsToMilli(conv::dbuToVolts(dBu))); }
bool finiteInMicro(double dBu) { return std::isfinite(conv::voltsToMicro(conv::dbuToVolts(dBu))); }

// The do-nothing objects that stand in for bindings left null.
class NullInput final : public INumericInput {
public:
    double floatValue() const override { return 0.0; }
    void setFloatValue(double) override {}
    bool isTextEmpty() const override { return true; }
    void setOnChange(Handler) override {}
    bool hasOnChange() const override { return true; }
    void setInputEnabled(bool) override {}
};

class NullChoice final : public IChoice {
public:
    bool isChosen() const override { return false; }
    void choose() override {}
    void setOnClick(Handler) override {}
    bool hasOnClick() const override { return true; }
};

// A fixed range; its setters change nothing.
class FixedAxis final : public IAxisRange {
public:
    constexpr FixedAxis(double min, double max) : min_(min), max_(max) {}
    double minimum() const override { return min_; }
    double maximum() const override { return max_; }
    void setMinimum(double) override {}
    void setMaximum(double) override {}

private:
    double min_, max_;
};

class NullDiagram final : public IDiagramView {
public:
    void refreshDiagram() override {}
    void setRightAxisLabelsVisible(bool) override {}
    void setRightSubAxisVisible(int, bool) override {}
};

class NullLevelBar final : public ILevelBar {
public:
    void setLevelPosition(int) override {}
    void setLevelUnit(const std::string&) override {}
};

class NullResultLine final : public IResultLine {
public:
    void setResultLine(const std::string&) override {}
};

NullInput gNullInput;
NullChoice gNullChoice;
FixedAxis gDefaultLeftAxis(0, 160);
FixedAxis gNullRightAxis(0, 0);
NullDiagram gNullDiagram;
NullLevelBar gNullLevelBar;
NullResultLine gNullResultLine;

template <typename T, typename Null>
void orNull(T*& binding, Null& null)
{
    if (!binding) binding = &null;
}

// The bindings with every null one replaced by its do-nothing object.
CalcBindings withNullObjects(CalcBindings b)
{
    for (INumericInput*& in : b.inputs) orNull(in, gNullInput);
    orNull(b.rbMicAnalog, gNullChoice);
    orNull(b.rbMicDigital, gNullChoice);
    orNull(b.rightAxis, gNullRightAxis);
    orNull(b.leftAxis, gDefaultLeftAxis);
    orNull(b.diagram, gNullDiagram);
    orNull(b.levelBar, gNullLevelBar);
    orNull(b.resultLine, gNullResultLine);
    return b;
}

// The chain's bindings with every null one replaced by its do-nothing object.
ChainBindings withNullObjects(ChainBindings b)
{
    for (INumericInput** in : {&b.distance, &b.ampNoise, &b.fullScale, &b.target}) orNull(*in, gNullInput);
    orNull(b.sourceIsPoint, gNullChoice);
    orNull(b.sourceIsLine, gNullChoice);
    orNull(b.warningLine, gNullResultLine);
    if (!b.refuse) b.refuse = [] {};
    return b;
}

// A chain figure as its input shows it, within the working range.
double readFigure(const INumericInput* in)
{
    const double v = in->floatValue();
    return std::isfinite(v) ? std::clamp(v, -kMaxLevelMagnitude, kMaxLevelMagnitude) : 0.0;
}

} // namespace

const char* inputName(InputId id) { return kInputNames[static_cast<std::size_t>(id)]; }

Calculator::Calculator(const CalcBindings& bindings, std::string decimalSeparator)
    : b_(withNullObjects(bindings)), decimalSeparator_(std::move(decimalSeparator))
{
}

bool Calculator::isAnalog() const { return b_.rbMicAnalog->isChosen(); }

bool Calculator::isDigital() const { return b_.rbMicDigital->isChosen(); }

void Calculator::chooseMode(MicKind kind)
{
    (kind == MicKind::Digital ? b_.rbMicDigital : b_.rbMicAnalog)->choose();
}

double Calculator::read(InputId id) const
{
    double v = input(id)->floatValue();
    if (!std::isfinite(v)) return 0.0;
    if (isLinear(id)) return v;
    return std::clamp(v, -kMaxLevelMagnitude, kMaxLevelMagnitude);
}

void Calculator::writeUnbound(InputId id, double v)
{
    INumericInput* in = input(id);
    // The gain input stays bound during a run: unbind it for this one write.
    const bool bound = in->hasOnChange();
    if (bound) in->setOnChange({});
    write(id, v);
    if (bound) in->setOnChange([this, in] { seMicMaxLevel_dBSPLChange(in); });
}

double Calculator::guardOverflow(InputId id, double v, Overflow against)
{
    using namespace conv;
    const TMicParams& m = state_.CurMic;
    // The overflow bound of the checked figure, estimated in closed form;
    // largestWholeLevel() steps down to the first whole level that is finite.
    double limit = v;
    // How many dB the sensitivity voltage can be raised by and stay finite:
    // bounds of the product and of the power of ten alone.
    auto headroom_dB = [&m] {
        return std::min(20.0 * (kLog10MaxDouble - std::log10(std::fabs(m.MicSens_V))), kMaxPow_dB);
    };
    switch (against) {
    case Overflow::OwnUnits:
        switch (id) {
        case InputId::MicSens_dBu: // the sensitivity in mV
            limit = largestWholeLevel(kMaxSens_dBu, finiteInMilli);
            break;
        case InputId::MicSens_dBV:
            limit = largestWholeLevel(kMaxSens_dBu - kDbuToDbv, [](double x) { return finiteInMilli(dbvToDbu(x)); });
            break;
        case InputId::MicNoise_dBu: // the noise in uV
            limit = largestWholeLevel(kMaxNoise_dBu, finiteInMicro);
            break;
        case InputId::MicNoise_dBV:
            limit = largestWholeLevel(kMaxNoise_dBu - kDbuToDbv, [](double x) { return finiteInMicro(dbvToDbu(x)); });
            break;
        case InputId::MicNoise_dBSPL: { // the noise voltage, through the sensitivity
            const double sens_dBu = m.MicSens_dBu;
            limit = largestWholeLevel(kMaxNoise_dBu - sens_dBu + kSensRef_dBSPL, [sens_dBu](double x) {
                return finiteInMicro(noiseFromSnr(sens_dBu, snrFromNoise(x)));
            });
            break;
        }
        case InputId::SourceLevel_dBSPL: // the pressure in Pa
            limit = largestWholeLevel(kMaxSource_dBSPL, [](double x) { return std::isfinite(dbsplToPa(x)); });
            break;
        case InputId::SourceLevel_Pa: // its level in dB SPL
            limit = kMaxSource_Pa;
            break;
        default:
            return v;
        }
        break;
    case Overflow::MicOutput: {
        const double sensBox_dBu = read(InputId::MicSens_dBu);
        auto micOutAt = [&](double src) {
            return outputVolts(m.MicSens_V, outputAtSource(sensBox_dBu, levelAtMic(src)), m.MicSens_dBu);
        };
        if (std::isfinite(micOutAt(v))) return v;
        // The source level that puts the level at the microphone at the bound
        // (levelAtMic(0) is what the distance adds).
        const double estimate = headroom_dB() + m.MicSens_dBu - sensBox_dBu + kSensRef_dBSPL - levelAtMic(0.0);
        limit = largestWholeLevel(estimate, [&](double x) { return std::isfinite(micOutAt(x)); });
        break;
    }
    case Overflow::AmpOutput: {
        auto ampOutWith = [&](double gain) { return outputVolts(m.MicSens_V, m.MicOut_dBu, m.MicSens_dBu, gain); };
        if (std::isfinite(ampOutWith(v))) return v;
        const double estimate = headroom_dB() - (m.MicOut_dBu - m.MicSens_dBu);
        limit = largestWholeLevel(estimate, [&](double x) { return std::isfinite(ampOutWith(x)); });
        break;
    }
    }
    if (v <= limit) return v;
    writeUnbound(id, limit);
    return read(id); // the figure as the input shows it
}

void Calculator::write(InputId id, double v)
{
    input(id)->setFloatValue(std::isfinite(v) ? v : 0.0);
}

void Calculator::DetachInputHandlers()
{
    for (std::size_t i = 0; i < kDetachedInputCount; ++i) b_.inputs[i]->setOnChange({});
    b_.rbMicAnalog->setOnClick({});
    b_.rbMicDigital->setOnClick({});
}

void Calculator::AttachInputHandlers()
{
    for (std::size_t i = 0; i < kDetachedInputCount; ++i) {
        INumericInput* in = b_.inputs[i];
        in->setOnChange([this, in] { seMicMaxLevel_dBSPLChange(in); });
    }
    b_.rbMicAnalog->setOnClick([this] { rbMicAnalogClick(); });
    b_.rbMicDigital->setOnClick([this] { rbMicAnalogClick(); });
}

void Calculator::bindAll()
{
    AttachInputHandlers();
    // The gain input is never among the written inputs, so no run detaches it.
    INumericInput* gain = input(InputId::AmpGain_dB);
    gain->setOnChange([this, gain] { seMicMaxLevel_dBSPLChange(gain); });
}

void Calculator::unbindAll()
{
    DetachInputHandlers();
    input(InputId::AmpGain_dB)->setOnChange({});
    if (chain_) {
        for (INumericInput* in : {chain_->distance, chain_->ampNoise, chain_->fullScale, chain_->target})
            in->setOnChange({});
        chain_->sourceIsPoint->setOnClick({});
        chain_->sourceIsLine->setOnClick({});
    }
}

void Calculator::enableChain(const ChainBindings& bindings)
{
    chain_ = withNullObjects(bindings);
    // No run writes these: bound once, like the gain.
    for (INumericInput* in : {chain_->distance, chain_->ampNoise, chain_->fullScale, chain_->target})
        in->setOnChange([this, in] { seMicMaxLevel_dBSPLChange(in); });
    for (IChoice* shape : {chain_->sourceIsPoint, chain_->sourceIsLine})
        shape->setOnClick([this] { seMicMaxLevel_dBSPLChange(nullptr); });
    enableChainInputs();
    takeChainDistance(nullptr);
    seMicMaxLevel_dBSPLChange(nullptr);
}

void Calculator::enableChainInputs()
{
    if (!chain_) return;
    // The preamplifier's noise and the converter stage are the analog chain's.
    chain_->distance->setInputEnabled(true);
    chain_->target->setInputEnabled(true);
    chain_->ampNoise->setInputEnabled(isAnalog());
    chain_->fullScale->setInputEnabled(isAnalog());
}

double Calculator::levelAtMic(double source_dBSPL) const
{
    if (!chain_) return source_dBSPL;
    return LevelAtDistance(source_dBSPL, chainDistance_m_, chainShape());
}

SourceShape Calculator::chainShape() const
{
    return chain_->sourceIsLine->isChosen() ? SourceShape::Line : SourceShape::Point;
}

void Calculator::takeChainDistance(const INumericInput* sender)
{
    if (!chain_) return;
    const double d = chain_->distance->floatValue();
    if (d > 0 && std::isfinite(d))
        chainDistance_m_ = d;
    else if (sender == chain_->distance)
        chain_->refuse();
}

void Calculator::computeChain()
{
    if (!chain_) return;
    ChainInputs& in = chainIn_;
    in.digital = showsDigital();
    in.sourceLevel1m_dBSPL = state_.SourceLevel_dBSPL;
    in.distance_m = chainDistance_m_;
    in.shape = chainShape();
    in.maxLevel_dBSPL = state_.CurMic.MicMaxLevel_dBSPL;
    // The figures as the inputs show them, as the outputs are computed.
    in.sens_dBu = read(InputId::MicSens_dBu);
    in.sens_dBFS = read(InputId::MicSens_dBFS);
    in.micNoise_dBu = read(InputId::MicNoise_dBu);
    in.micNoise_dBFS = read(InputId::MicNoise_dBFS);
    in.gain_dB = state_.AmpGain_dB;
    in.ampNoise_uV = readFigure(chain_->ampNoise);
    in.fullScale_dBu = readFigure(chain_->fullScale);
    in.target_dBFS = readFigure(chain_->target);
    chainRes_ = CalcChain(in);
}

bool Calculator::handlersAttached() const
{
    for (std::size_t i = 0; i < kDetachedInputCount; ++i)
        if (!b_.inputs[i]->hasOnChange()) return false;
    return b_.rbMicAnalog->hasOnClick() && b_.rbMicDigital->hasOnClick();
}

void Calculator::seMicMaxLevel_dBSPLChange(INumericInput* sender)
{
    // An emptied input changes nothing until it holds a number again.
    if (sender && sender->isTextEmpty()) return;

    state_.CurMic.MicMaxLevel_dBSPL = read(InputId::MicMaxLevel_dBSPL);

    {
        // The sender's own figures, the outputs and the right axis; the
        // writes below must not re-enter this operation.
        HandlersDetached detached(*this);

        if (const std::optional<InputId> id = idOf(sender)) {
            const double v = read(*id);
            // A level beyond the working range is shown as the level used.
            if (v != input(*id)->floatValue()) writeUnbound(*id, v);
            applySenderCase(*id, v);
        }
        takeChainDistance(sender);
        computeOutputs();
        computeChain();
        updateRightAxisFromInputs();
    }

    // Repaint the diagram, then the level bar and the result line.
    b_.diagram->refreshDiagram();
    showResults();
}

std::optional<InputId> Calculator::idOf(const INumericInput* in) const
{
    if (!in) return std::nullopt;
    for (std::size_t i = 0; i < kInputCount; ++i)
        if (b_.inputs[i] == in) return static_cast<InputId>(i);
    return std::nullopt;
}

void Calculator::applySenderCase(InputId id, double v)
{
    using namespace conv;
    TMicParams& m = state_.CurMic;
    // The sensitivity in one electric unit: its two siblings follow.
    const auto setSensitivityFrom = [&](const LevelTriad& t) {
        setSensitivity(m, t);
        if (id != InputId::MicSens_mV) write(InputId::MicSens_mV, voltsToMilli(m.MicSens_V));
        if (id != InputId::MicSens_dBu) write(InputId::MicSens_dBu, m.MicSens_dBu);
        if (id != InputId::MicSens_dBV) write(InputId::MicSens_dBV, m.MicSens_dBV);
    };
    // The noise in one electric unit: its two siblings and the acoustic
    // noise follow.
    const auto setNoiseFrom = [&](const LevelTriad& t) {
        setNoise(m, t);
        m.MicNoise_dBSPL_ITU = noiseFromDynamic(m.MicMaxLevel_dBSPL, m.MicDynamic_dB);
        if (id != InputId::MicNoise_uV) write(InputId::MicNoise_uV, voltsToMicro(m.MicNoise_V));
        if (id != InputId::MicNoise_dBu) write(InputId::MicNoise_dBu, m.MicNoise_dBu);
        if (id != InputId::MicNoise_dBV) write(InputId::MicNoise_dBV, m.MicNoise_dBV);
        write(InputId::MicNoise_dBSPL, m.MicNoise_dBSPL_ITU);
    };
    switch (id) {
    case InputId::MicSens_mV: {
        // The guard looks at the volts: a tiny positive figure can divide to 0.
        // No sensitivity: the missing-figure markers, as for a noise of 0 uV.
        LevelTriad t = fromVolts(milliToVolts(v));
        if (t.V <= 0) t.V = 0;
        setSensitivityFrom(t);
        break;
    }
    case InputId::MicSens_dBu:
        setSensitivityFrom(fromDbu(guardOverflow(id, v, Overflow::OwnUnits)));
        break;
    case InputId::MicSens_dBV:
        setSensitivityFrom(fromDbv(guardOverflow(id, v, Overflow::OwnUnits)));
        break;
    case InputId::MicSens_dBFS:
        m.MicSens_dBFS = v;
        break;
    case InputId::MicNoise_uV:
        setNoiseFrom(fromVolts(microToVolts(v)));
        break;
    case InputId::MicNoise_dBu:
        setNoiseFrom(fromDbu(guardOverflow(id, v, Overflow::OwnUnits)));
        break;
    case InputId::MicNoise_dBV:
        setNoiseFrom(fromDbv(guardOverflow(id, v, Overflow::OwnUnits)));
        break;
    case InputId::MicNoise_dBFS:
        m.MicNoise_dBFS = v;
        m.MicNoise_dBSPL_ITU = noiseFromDynamic(m.MicMaxLevel_dBSPL, m.MicDynamic_dB);
        write(InputId::MicNoise_dBSPL, m.MicNoise_dBSPL_ITU);
        break;
    case InputId::MicNoise_dBSPL: {
        v = guardOverflow(id, v, Overflow::OwnUnits);
        m.MicNoise_dBSPL_ITU = v;
        m.MicSNR_dB_ITU = snrFromNoise(v);
        setNoise(m, fromDbu(noiseFromSnr(m.MicSens_dBu, m.MicSNR_dB_ITU)));
        m.MicNoise_dBFS = noiseFromSnr(m.MicSens_dBFS, m.MicSNR_dB_ITU);
        write(InputId::MicNoise_uV, voltsToMicro(m.MicNoise_V));
        write(InputId::MicNoise_dBu, m.MicNoise_dBu);
        write(InputId::MicNoise_dBV, m.MicNoise_dBV);
        write(InputId::MicNoise_dBFS, m.MicNoise_dBFS);
        break;
    }
    case InputId::SourceLevel_dBSPL:
        v = guardOverflow(id, v, Overflow::OwnUnits);
        state_.SourceLevel_dBSPL = v;
        state_.SourceLevel_Pa = dbsplToPa(v);
        write(InputId::SourceLevel_Pa, state_.SourceLevel_Pa);
        break;
    case InputId::SourceLevel_Pa:
        v = guardOverflow(id, v, Overflow::OwnUnits);
        state_.SourceLevel_Pa = v;
        state_.SourceLevel_dBSPL = paToDbspl(v);
        write(InputId::SourceLevel_dBSPL, state_.SourceLevel_dBSPL);
        break;
    case InputId::MicMaxLevel_dBSPL:
    case InputId::AmpGain_dB:
        break;
    }
}

void Calculator::computeOutputs()
{
    using namespace conv;
    TMicParams& m = state_.CurMic;
    const double sensBox_dBu = read(InputId::MicSens_dBu);
    const double sensBox_dBV = read(InputId::MicSens_dBV);
    const double sensBox_dBFS = read(InputId::MicSens_dBFS);

    // A microphone output past the double range lowers the source level.
    const double guardedSrc = guardOverflow(InputId::SourceLevel_dBSPL, state_.SourceLevel_dBSPL, Overflow::MicOutput);
    if (guardedSrc != state_.SourceLevel_dBSPL) {
        state_.SourceLevel_dBSPL = guardedSrc;
        state_.SourceLevel_Pa = dbsplToPa(guardedSrc);
        writeUnbound(InputId::SourceLevel_Pa, state_.SourceLevel_Pa);
    }
    // With the chain, the source inputs give the level 1 m from the source.
    const double src = levelAtMic(state_.SourceLevel_dBSPL);
    m.MicOut_dBu = outputAtSource(sensBox_dBu, src);
    m.MicOut_dBV = outputAtSource(sensBox_dBV, src);
    m.MicOut_dBFS = outputAtSource(sensBox_dBFS, src);
    m.MicOut_V = outputVolts(m.MicSens_V, m.MicOut_dBu, m.MicSens_dBu);

    // An amplifier output past the double range lowers the gain.
    state_.AmpGain_dB = guardOverflow(InputId::AmpGain_dB, read(InputId::AmpGain_dB), Overflow::AmpOutput);
    state_.AmpOut_dBu = m.MicOut_dBu + state_.AmpGain_dB;
    state_.AmpOut_dBV = m.MicOut_dBV + state_.AmpGain_dB;
    state_.AmpOut_dBFS = m.MicOut_dBFS + state_.AmpGain_dB;
    state_.AmpOut_V = outputVolts(m.MicSens_V, m.MicOut_dBu, m.MicSens_dBu, state_.AmpGain_dB);
}

void Calculator::setRightAxisRange(double sensitivity)
{
    const double leftMin = b_.leftAxis->minimum();
    const double leftMax = b_.leftAxis->maximum();
    if (!std::isfinite(sensitivity)) sensitivity = conv::kMissingLevel;
    const double newMax = leftMax - conv::kSensRef_dBSPL + sensitivity;
    const double newMin = newMax - (leftMax - leftMin);
    if (!std::isfinite(newMax) || !std::isfinite(newMin) || newMin > newMax) return;
    // Lower the minimum first so that no setter ever sees an inverted range.
    const double lowered = std::min({-200.0, newMin, b_.rightAxis->minimum()});
    b_.rightAxis->setMinimum(lowered);
    b_.rightAxis->setMaximum(newMax);
    b_.rightAxis->setMinimum(newMin);
}

void Calculator::updateRightAxisFromInputs()
{
    if (isAnalog()) {
        state_.CurMic.MicSens_dBu = read(InputId::MicSens_dBu);
        setRightAxisRange(state_.CurMic.MicSens_dBu);
    } else if (isDigital()) {
        state_.CurMic.MicSens_dBFS = read(InputId::MicSens_dBFS);
        setRightAxisRange(state_.CurMic.MicSens_dBFS);
    }
}

void Calculator::showResults()
{
    // The bar, like the line, shows the output in the unit of the chosen kind.
    const bool digital = showsDigital();
    b_.levelBar->setLevelUnit(digital ? "dBFS" : "dBu");
    b_.levelBar->setLevelPosition(levelBarPosition(state_, digital));
    if (!chain_) {
        b_.resultLine->setResultLine(buildResultLine(state_, digital, decimalSeparator_));
        return;
    }
    // The line's "At" names the level at the microphone; at 1 m that is the
    // source level itself, shown as before (its pascal figure as typed).
    CalcState shown = state_;
    if (chainRes_.level_dBSPL != state_.SourceLevel_dBSPL) {
        shown.SourceLevel_dBSPL = chainRes_.level_dBSPL;
        shown.SourceLevel_Pa = conv::dbsplToPa(chainRes_.level_dBSPL);
    }
    b_.resultLine->setResultLine(buildResultLine(shown, digital, decimalSeparator_));
    chain_->warningLine->setResultLine(
        BuildChainWarningLine(ChainWarnings(chainIn_, chainRes_, decimalSeparator_)));
}

void Calculator::rbMicAnalogClick()
{
    static constexpr InputId kEnableOrder[] = {
        InputId::MicSens_mV,  InputId::MicSens_dBu,  InputId::MicSens_dBV,
        InputId::MicSens_dBFS, InputId::MicNoise_uV, InputId::MicNoise_dBu,
        InputId::MicNoise_dBV, InputId::MicNoise_dBFS, InputId::MicNoise_dBSPL,
    };
    // The dBFS figures are the digital kind's, the acoustic noise both kinds'.
    for (InputId id : kEnableOrder) {
        const bool dBFS = id == InputId::MicSens_dBFS || id == InputId::MicNoise_dBFS;
        input(id)->setInputEnabled(dBFS ? isDigital() : id == InputId::MicNoise_dBSPL || isAnalog());
    }
    enableChainInputs();
    b_.diagram->setRightAxisLabelsVisible(isAnalog());
    b_.diagram->setRightSubAxisVisible(0, isAnalog());
    b_.diagram->setRightSubAxisVisible(1, isAnalog());
    b_.diagram->setRightSubAxisVisible(2, isDigital());
    if (isAnalog())
        setRightAxisRange(state_.CurMic.MicSens_dBu);
    else if (isDigital())
        setRightAxisRange(state_.CurMic.MicSens_dBFS);
    seMicMaxLevel_dBSPLChange(nullptr);
}

void Calculator::fillCurMicFromInputs()
{
    TMicParams& m = state_.CurMic;
    m.MicSens_V = conv::milliToVolts(read(InputId::MicSens_mV));
    m.MicSens_dBu = read(InputId::MicSens_dBu);
    m.MicSens_dBV = read(InputId::MicSens_dBV);
    m.MicSens_dBFS = read(InputId::MicSens_dBFS);
    m.MicNoise_V = conv::microToVolts(read(InputId::MicNoise_uV));
    m.MicNoise_dBu = read(InputId::MicNoise_dBu);
    m.MicNoise_dBV = read(InputId::MicNoise_dBV);
    m.MicNoise_dBFS = read(InputId::MicNoise_dBFS);
    m.MicNoise_dBSPL_ITU = read(InputId::MicNoise_dBSPL);
}

void Calculator::startUp()
{
    fillCurMicFromInputs();
    static constexpr InputId kStartupSenders[] = {
        InputId::MicMaxLevel_dBSPL, InputId::SourceLevel_dBSPL, InputId::MicSens_dBV,
        InputId::MicSens_dBu,       InputId::MicSens_dBFS,      InputId::MicNoise_dBV,
        InputId::MicNoise_dBu,      InputId::MicNoise_dBFS,
    };
    for (InputId id : kStartupSenders) seMicMaxLevel_dBSPLChange(input(id));
    rbMicAnalogClick();
}

void Calculator::restart()
{
    state_ = CalcState{};
    startUp();
}

void Calculator::loadMic(const TMicParams& file, const TMicParams& mic, const std::vector<ShownFigure>& shown)
{
    HandlersDetached detached(*this);
    state_.FileMic = file;
    state_.CurMic = mic;
    // A figure too large for a double is shown as 0 (see write), and held so.
    zeroNonFinite(state_.FileMic);
    zeroNonFinite(state_.CurMic);
    chooseMode(mic.MicDigital ? MicKind::Digital : MicKind::Analog);
    for (const ShownFigure& f : shown) write(f.id, f.value);
}
