#pragma once
// The level calculator: one change operation that every numeric input
// raises, the analog/digital switch and the start-up runs.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/chain.h"
#include "calc/interfaces.h"
#include "calc/micparams.h"

// The thirteen bound numeric inputs. The first twelve are the ones whose
// handlers the change operation detaches, in that order.
enum class InputId : std::size_t {
    SourceLevel_dBSPL,
    SourceLevel_Pa,
    MicMaxLevel_dBSPL,
    MicSens_mV,
    MicSens_dBu,
    MicSens_dBV,
    MicSens_dBFS,
    MicNoise_uV,
    MicNoise_dBu,
    MicNoise_dBV,
    MicNoise_dBFS,
    MicNoise_dBSPL,
    AmpGain_dB,
};
inline constexpr std::size_t kInputCount = 13;
inline constexpr std::size_t kDetachedInputCount = 12;

// Control name of an input ("seMicSens_dBu").
const char* inputName(InputId id);

// Values are taken exactly as the inputs show them. A guard acts only where
// a conversion would overflow a double, and then writes the value it used
// back into the input, so that the inputs, the state, the result line and
// the axis always agree:
// - a level whose voltage (in the unit its sibling input shows) or pressure
//   would pass the double range is lowered to the largest whole level that
//   does not: 6047 dBu for a noise in uV, 6107 dBu for a sensitivity in mV,
//   6165 dB SPL for the source level (where 10^(x/20) itself overflows); a
//   pressure is lowered to that of 6165 dB SPL;
// - an output voltage that would overflow lowers the figure that raised it:
//   the source level for the microphone output, the gain for the amplifier;
// - a level beyond +-kMaxLevelMagnitude is taken as that, as a sum of the
//   output formulas (three levels at most) could otherwise overflow.
inline constexpr double kMaxLevelMagnitude = 1e307;

// What the calculator is bound to. A binding left null is a do-nothing
// object: an input that reads 0 and counts as bound, a choice never chosen,
// a left axis of 0..160, and a right axis, diagram, level bar and result
// line that show nothing.
struct CalcBindings {
    std::array<INumericInput*, kInputCount> inputs{};
    IChoice* rbMicAnalog = nullptr;
    IChoice* rbMicDigital = nullptr;
    IAxisRange* rightAxis = nullptr;      // the electric scale
    const IAxisRange* leftAxis = nullptr; // the dB SPL scale
    IDiagramView* diagram = nullptr;
    ILevelBar* levelBar = nullptr;
    IResultLine* resultLine = nullptr;
};

// The signal chain's controls: bound only when the window asks for the chain.
// A binding left null is a do-nothing object, as in CalcBindings.
struct ChainBindings {
    INumericInput* distance = nullptr;  // metres from the source; more than 0
    INumericInput* ampNoise = nullptr;  // the preamplifier's equivalent input noise, uV
    INumericInput* fullScale = nullptr; // the converter's 0 dBFS, in dBu
    INumericInput* target = nullptr;    // the target level, dBFS
    IChoice* sourceIsPoint = nullptr;
    IChoice* sourceIsLine = nullptr;
    IResultLine* warningLine = nullptr; // the chain's warnings, under the result line
    std::function<void()> refuse;       // a refused figure (a distance of 0 or less): the beep
};

enum class MicKind { Analog, Digital };

// A figure a load shows in an input.
struct ShownFigure {
    InputId id;
    double value;
};

// The calculator owns its state: other parts read it and change it only
// through the operations below.
class Calculator {
public:
    // decimalSeparator: the user's decimal separator, for the result line.
    Calculator(const CalcBindings& bindings, std::string decimalSeparator);
    // The handlers it binds point at this object.
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    const CalcState& state() const { return state_; }
    const TMicParams& currentMic() const { return state_.CurMic; }
    const TMicParams& fileMic() const { return state_.FileMic; }
    const std::string& decimalSeparator() const { return decimalSeparator_; }

    // Binds every input's change event to the change operation and both
    // choices' clicks to the mode switch. The gain input is bound once here
    // and never detached: the change operation's writes never reach it.
    void bindAll();
    // Leaves no input or choice a handler, the gain input's included (for
    // controls that outlive the calculator).
    void unbindAll();
    bool handlersAttached() const;

    // Start-up: fill CurMic from the inputs as the window shows them, then the
    // eight change runs and the mode switch.
    void startUp();
    // The state back to all zero, as at program start, then startUp().
    void restart();
    // The first half of startUp(): CurMic's sensitivity and noise figures
    // read from the inputs, with no run.
    void fillCurMicFromInputs();

    // The one change operation; sender is the input that changed, or null.
    void seMicMaxLevel_dBSPLChange(INumericInput* sender);
    // The analog/digital switch; also run with no sender at start-up.
    void rbMicAnalogClick();

    // Chooses the microphone kind; raises no click and runs nothing.
    void chooseMode(MicKind kind);
    bool isAnalog() const;
    bool isDigital() const;
    // Whether the outputs are shown as the digital kind's (in dBFS): the
    // digital choice made and the analog one not.
    bool showsDigital() const { return !isAnalog() && isDigital(); }

    // Loads a microphone's figures with every handler detached: `file` becomes
    // the file values and `mic` the working values, the kind `mic` states is
    // chosen, and each figure is shown in its input in the given order (a
    // non-finite one as 0, and held as 0 in the state). Runs nothing.
    void loadMic(const TMicParams& file, const TMicParams& mic, const std::vector<ShownFigure>& shown);

    // The value an input shows (a level limited to +-kMaxLevelMagnitude).
    double read(InputId id) const;

    // Turns the signal chain on for the rest of the run: the source inputs
    // then give the level 1 m from the source, and the outputs, the result
    // line and the level bar follow the level at the microphone. Binds the
    // chain's inputs and choices to the change operation (never detached:
    // no run writes them), enables them for the chosen kind and runs the
    // change operation with no sender.
    void enableChain(const ChainBindings& bindings);
    bool chainEnabled() const { return chain_.has_value(); }
    // The chain's inputs and figures of the last run (all zero without the chain).
    const ChainInputs& chainInputs() const { return chainIn_; }
    const ChainResult& chainResult() const { return chainRes_; }

    // Detaches the handlers of the twelve written inputs and both choices for
    // its lifetime, and attaches them again however the scope ends, an
    // exception included. One attach undoes any number of detaches.
    class HandlersDetached {
    public:
        explicit HandlersDetached(Calculator& c) : c_(c) { c_.DetachInputHandlers(); }
        ~HandlersDetached() { c_.AttachInputHandlers(); }
        HandlersDetached(const HandlersDetached&) = delete;
        HandlersDetached& operator=(const HandlersDetached&) = delete;

    private:
        Calculator& c_;
    };

private:
    INumericInput* input(InputId id) const { return b_.inputs[static_cast<std::size_t>(id)]; }
    void DetachInputHandlers();
    void AttachInputHandlers();
    // Sets the right axis so that every row reads one level on both sides:
    // right max = left max - 94 + sens, right span = left span.
    void setRightAxisRange(double sensitivity);
    // Writes v into an input; a non-finite value is written as 0.
    void write(InputId id, double v);
    // The bound input `in` is, if any.
    std::optional<InputId> idOf(const INumericInput* in) const;
    void applySenderCase(InputId id, double v);
    // What a figure is checked against by the overflow guard.
    enum class Overflow {
        OwnUnits,  // its sibling units (mV, uV, Pa, dB SPL)
        MicOutput, // the source level: the microphone output at that level
        AmpOutput, // the gain: the amplifier output
    };
    // The overflow guard: the input `id` holds v; when v is above the
    // highest whole level at which the figures it is checked against stay
    // within the double range, the input is lowered to that level. Returns
    // the figure as the input then shows it.
    double guardOverflow(InputId id, double v, Overflow against);
    // The level at the microphone of a source level: itself without the chain.
    double levelAtMic(double source_dBSPL) const;
    // The chosen source shape (with the chain bound).
    SourceShape chainShape() const;
    // The chain's distance: a positive figure is taken, any other refused
    // (with the beep when the distance input itself changed) and the last
    // one taken stays.
    void takeChainDistance(const INumericInput* sender);
    void computeChain();
    void enableChainInputs();
    // write() with the input's own change handler unbound for the write.
    void writeUnbound(InputId id, double v);
    void computeOutputs();
    void updateRightAxisFromInputs();
    void showResults();

    CalcBindings b_;
    std::optional<ChainBindings> chain_;
    double chainDistance_m_ = 1;
    ChainInputs chainIn_{};
    ChainResult chainRes_{};
    CalcState state_;
    std::string decimalSeparator_;
};
