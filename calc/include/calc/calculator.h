#pragma once
// The level calculator: one change operation that every numeric input
// raises, the analog/digital switch and the start-up runs.
#include <array>
#include <cstddef>
#include <string>

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

struct CalcBindings {
    std::array<INumericInput*, kInputCount> inputs{};
    IChoice* rbMicAnalog = nullptr;
    IChoice* rbMicDigital = nullptr;
    IAxisRange* rightAxis = nullptr;      // the electric scale
    const IAxisRange* leftAxis = nullptr; // the dB SPL scale (0..160 when absent)
    IDiagramView* diagram = nullptr;
    ILevelBar* levelBar = nullptr;
    IResultLine* resultLine = nullptr;
};

class Calculator {
public:
    explicit Calculator(const CalcBindings& bindings);

    CalcState state;
    // The user's decimal separator, for the result line.
    std::string decimalSeparator = ".";

    INumericInput* input(InputId id) const { return b_.inputs[static_cast<std::size_t>(id)]; }
    const CalcBindings& bindings() const { return b_; }

    // The one change operation; sender is the input that changed, or null.
    void seMicMaxLevel_dBSPLChange(INumericInput* sender);
    // The analog/digital switch; also run with no sender at start-up.
    void rbMicAnalogClick();

    // Removes the change handler of the twelve written inputs and the click
    // handler of both choices / binds them again (one attach undoes any
    // number of detaches).
    void DetachInputHandlers();
    void AttachInputHandlers();
    bool handlersAttached() const;

    // Start-up: fill CurMic from the inputs as the window shows them, then the
    // eight change runs and the mode switch.
    void FillCurMicFromInputs();
    void RunStartupSequence();

    bool isAnalog() const;
    bool isDigital() const;

    // Sets the right axis so that every row reads one level on both sides:
    // right max = left max - 94 + sens, right span = left span.
    void SetRightAxisRange(double sensitivity);

    // The value an input shows (a level limited to +-kMaxLevelMagnitude).
    double read(InputId id) const;
    // Writes v into an input; a non-finite value is written as 0.
    void write(InputId id, double v);

    // Detaches the handlers for its lifetime and attaches them again however
    // the scope ends, an exception included.
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
    void applySenderCase(InputId id, double v);
    // Lowers the sender's value to `limit` and shows it in the sender.
    double limitSender(InputId id, double v, double limit);
    // write() with the input's own change handler unbound for the write.
    void writeUnbound(InputId id, double v);
    void computeOutputs();
    void updateRightAxisFromInputs();
    void showResults();

    CalcBindings b_;
};
