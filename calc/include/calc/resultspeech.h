#pragma once
// What a screen reader says of a new result: not the whole line (about 20 s
// of speech) but the figures that changed, the outputs first.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "calc/micparams.h"

// The result line's figures as they are spoken: whole numbers as the line
// shows them, the outputs in dBu (analog) or in dBFS (digital).
struct SpokenResult {
    bool digital = false;
    double micOut = 0; // MicOut_dBu or MicOut_dBFS
    double ampOut = 0; // AmpOut_dBu or AmpOut_dBFS
    double dynamic_dB = 0;
    double snr_dB = 0;
    double source_dBSPL = 0;
};

SpokenResult SpokenResultOf(const CalcState& s, bool digital);

// The length the phrase may reach with figures other than the outputs: about
// 4 s of speech at a screen reader's default rate (espeak-ng at 175 words a
// minute says "Mic out -29 dBu, Amp out 11 dBu", 31 characters, in 3.4 s).
inline constexpr std::size_t kResultPhraseBudget = 40;

// The figures of `after` that read otherwise than in `before`: the changed
// outputs first ("Mic out -29 dBu, Amp out 11 dBu"), always, then Dyn, SNR
// and the source level where they changed, in that order, while the phrase
// stays within kResultPhraseBudget. A changed unit (a mode switch) is a
// change. Without `before` every figure counts as changed. Empty when
// nothing spoken changed.
std::string ResultChangePhrase(const std::optional<SpokenResult>& before, const SpokenResult& after,
                               std::string_view decSep = ".");
