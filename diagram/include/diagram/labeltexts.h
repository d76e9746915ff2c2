#pragma once
// The label texts of the level diagram's scales: what each label hook
// writes for the number of an axis label. decSep is the user's decimal
// separator.
#include <string>
#include <string_view>

namespace labeltext {

// A value written "%w.df": d decimals (halves away from zero), padded on the
// left with spaces to at least w characters.
std::string formatPadded(double v, int width, int decimals, std::string_view decSep);

// Pressure of a dB SPL value, rounded to six significant digits.
double pascalOf(double dBSPL);
// Pressure p in pascal with 5, 4, 3, 2 or 1 decimals below 0.1, 1, 10, 100
// and from 100 on: "632.5 Pa", "0.06325 Pa"; from 1000 Pa on the same in
// kPa ("2.000 kPa"), and where five decimals would read zero "%3.3f uPa"
// (then nPa). extra adds decimals.
std::string pascal(double p, std::string_view decSep, int extra = 0);
// The second pascal format: "%1.5f Pa" below 0.0001 Pa up to "%6.0f Pa"
// from 1 Pa on.
std::string pascal2(double p, std::string_view decSep);
// Millivolts m as "%3.3f uV" of m x 1000 below 1 mV, "%3.3f mV" below
// 1000 mV and "%3.3f V" of m / 1000 from there on. Where the uV text would
// read zero the next smaller unit takes over (nV, pV, ...), and from 1000 V
// on the next larger one (kV, MV, ...). extra adds decimals.
std::string milliVolts(double m, std::string_view decSep, int extra = 0);
// Millivolts of a dBu value.
double milliVoltsOf(double dBu);

// The seven hooks' texts for a label value v (engineText is the number text
// before the hook, used as it stands by the dB SPL column).
std::string dBSPL(std::string_view engineText);
// The pascal and volt texts take as many decimals beyond their own as it
// needs to tell v from its neighbours v - step and v + step (step 0: none).
std::string pa(double v, std::string_view decSep, double step = 0);
std::string pa2(double v, std::string_view decSep);
std::string dBu(double v, std::string_view decSep);
std::string mV(double v, std::string_view decSep, double step = 0);
std::string dBV(double v, std::string_view decSep);
std::string dBFS(double v, std::string_view decSep);

// Overlay texts: the maximum level over its zone and the noise value (in
// the mode's unit) over the noise zone, both "%.0f".
std::string overMaxText(double max_dBSPL, std::string_view decSep);
std::string noiseZoneText(double noise, bool digital, std::string_view decSep);

} // namespace labeltext
