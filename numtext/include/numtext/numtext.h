#pragma once
// Number text: how values become text and text becomes values.
//
// Fixed-point text cuts the decimal expansion and rounds halves away from
// zero in one single rounding; an all-zero result has no minus sign; the
// decimal separator is given by the caller (the user's locale) and no group
// separator is ever written. Reading follows the numeric input's grammar
// and never fails.
#include <optional>
#include <string>
#include <string_view>

namespace numtext {

// Text of v with exactly `decimals` decimals. The value is expanded to 18
// significant digits and rounded once, half away from zero, at the last kept
// decimal or at the 15th significant digit, whichever comes first.
// 0.15 -> "0.1" (its binary value is 0.1499...), 0.25 -> "0.3", -0.04 -> "0.0".
std::string formatFixed(double v, int decimals, std::string_view decSep = ".");

// General form: v rounded the same way to `sigDigits` significant digits,
// trailing zeros and a then-trailing separator removed (130, 130.1, 20.05).
// Magnitudes below 1e-5 or with more than `sigDigits` integer digits use
// scientific notation ("1.5E-6", "1E20").
std::string formatGeneral(double v, int sigDigits, std::string_view decSep = ".");

// A figure for reading: formatFixed, except that a text of more than 15
// integer digits gives way to the general form of 15 significant digits
// ("1E307", "1.84700000000001E91"), as the number inputs write such figures.
inline constexpr int kReadableIntegerDigits = 15;
std::string formatFigure(double v, int decimals, std::string_view decSep = ".");

// Parses the whole text: leading spaces, optional sign, digits, optional
// decimal separator and digits, optional exponent ("E"/"e", optional sign,
// digits; none counts as 0), trailing spaces. At least one digit or the
// separator must follow the sign. A number too large for a double fails.
std::optional<double> parseNumber(std::string_view text, std::string_view decSep = ".");

// Reads an input's text: blank (only codes 0 to 32) reads 0; text that does
// not parse reads `fallback`.
double readInputText(std::string_view text, std::string_view decSep = ".", double fallback = 0.0);

// Nearest whole number, ties to the even one (-60.5 -> -60, -59.5 -> -60).
double roundHalfEven(double v);

// roundHalfEven as an int, saturated to the int range (NaN gives 0).
int roundHalfEvenToInt(double v);

} // namespace numtext
