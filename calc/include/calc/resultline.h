#pragma once
// The result line and the level-bar value shown after every calculation.
#include <string>
#include <string_view>

#include "calc/micparams.h"

// "%.3f uV" below 1 mV, "%.3f mV" below 1 V, else "%.3f V"; a figure that
// rounds to 1000 of its unit is written in the next unit.
std::string FormatVolts(double volts, std::string_view decSep = ".");

// The one markup line of the result label, analog or digital form.
std::string buildResultLine(const CalcState& s, bool digital, std::string_view decSep = ".");

// The microphone output rounded to a whole number, ties to even: MicOut_dBu
// for an analog microphone, MicOut_dBFS for a digital one.
int levelBarPosition(const CalcState& s, bool digital);
