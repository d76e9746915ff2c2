// The phrase a screen reader speaks after a change: what changed, short.
#include <gtest/gtest.h>

#include "calc/resultspeech.h"

namespace {

// Start: analog, Mic out -30 dBu, Amp out -10 dBu, Dyn 110, SNR 74, source 74 dB SPL.
SpokenResult start()
{
    return {false, -30.2, -10.2, 110.0, 74.0, 74.0};
}

struct PhraseCase {
    const char* what;
    bool hasBefore;
    SpokenResult after;
    const char* sep;
    const char* phrase;
};

void PrintTo(const PhraseCase& c, std::ostream* os) { *os << c.what; }

class ResultChangePhraseTest : public ::testing::TestWithParam<PhraseCase> {};

TEST_P(ResultChangePhraseTest, SaysWhatChangedOutputsFirst)
{
    const PhraseCase& c = GetParam();
    const std::optional<SpokenResult> before = c.hasBefore ? std::optional(start()) : std::nullopt;
    EXPECT_EQ(ResultChangePhrase(before, c.after, c.sep), c.phrase) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultChangePhraseTest,
    ::testing::Values(
        PhraseCase{"gain step", true, {false, -30.2, -9.2, 110, 74, 74}, ".", "Amp out -9 dBu"},
        PhraseCase{"source step: both outputs, the source left out by the budget", true,
                   {false, -29.2, -9.2, 110, 74, 75}, ".", "Mic out -29 dBu, Amp out -9 dBu"},
        PhraseCase{"a change the whole figures do not show", true, {false, -30.4, -10.4, 110, 74, 74.1}, ".", ""},
        PhraseCase{"rounded as the line shows it", true, {false, -30.5, -10.5, 110, 74, 74}, ".",
                   "Mic out -31 dBu, Amp out -11 dBu"},
        PhraseCase{"noise: the rest alone", true, {false, -30.2, -10.2, 109, 75, 74}, ".", "Dyn 109 dB, SNR 75 dB"},
        PhraseCase{"one output and the rest within the budget", true, {false, -40.2, -10.2, 110, 64, 74}, ".",
                   "Mic out -40 dBu, SNR 64 dB"},
        PhraseCase{"the rest stops at the first that does not fit", true, {false, -40.2, -20.2, 100, 64, 74}, ".",
                   "Mic out -40 dBu, Amp out -20 dBu"},
        PhraseCase{"the source level alone", true, {false, -30.2, -10.2, 110, 74, 80}, ".", "Source 80 dB SPL"},
        PhraseCase{"mode switch: the unit changes", true, {true, -30.2, -10.2, 110, 74, 74}, ".",
                   "Mic out -30 dBFS, Amp out -10 dBFS"},
        PhraseCase{"first result: every figure, within the budget", false, {false, -42, -22, 118, 80, 94}, ".",
                   "Mic out -42 dBu, Amp out -22 dBu"},
        PhraseCase{"first result, short figures: the rest follows", false, {false, -3, 7, 0, 0, 94}, ".",
                   "Mic out -3 dBu, Amp out 7 dBu, Dyn 0 dB"},
        PhraseCase{"comma locale: whole figures read alike", true, {false, -30.2, -10.6, 110, 74, 74}, ",",
                   "Amp out -11 dBu"},
        PhraseCase{"no minus sign on a zero", true, {false, -0.4, -10.2, 110, 74, 74}, ".", "Mic out 0 dBu"}));

TEST(SpokenResultOf, TakesTheOutputsOfTheMode)
{
    CalcState s;
    s.CurMic.MicOut_dBu = -29;
    s.CurMic.MicOut_dBFS = -40;
    s.AmpOut_dBu = 11;
    s.AmpOut_dBFS = -20;
    s.CurMic.MicDynamic_dB = 110;
    s.CurMic.MicSNR_dB_ITU = 74;
    s.SourceLevel_dBSPL = 94;
    const SpokenResult analog = SpokenResultOf(s, false);
    EXPECT_EQ(analog.micOut, -29);
    EXPECT_EQ(analog.ampOut, 11);
    const SpokenResult digital = SpokenResultOf(s, true);
    EXPECT_TRUE(digital.digital);
    EXPECT_EQ(digital.micOut, -40);
    EXPECT_EQ(digital.ampOut, -20);
    EXPECT_EQ(digital.dynamic_dB, 110);
    EXPECT_EQ(digital.snr_dB, 74);
    EXPECT_EQ(digital.source_dBSPL, 94);
}

} // namespace
