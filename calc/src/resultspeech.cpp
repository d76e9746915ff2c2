#include "calc/resultspeech.h"

#include <array>

#include "numtext/numtext.h"

SpokenResult SpokenResultOf(const CalcState& s, bool digital)
{
    const TMicParams& m = s.CurMic;
    SpokenResult r;
    r.digital = digital;
    r.micOut = digital ? m.MicOut_dBFS : m.MicOut_dBu;
    r.ampOut = digital ? s.AmpOut_dBFS : s.AmpOut_dBu;
    r.dynamic_dB = m.MicDynamic_dB;
    r.snr_dB = m.MicSNR_dB_ITU;
    r.source_dBSPL = s.SourceLevel_dBSPL;
    return r;
}

namespace {

// The spoken parts in their order: the two outputs, then the rest.
constexpr std::size_t kOutputParts = 2;

std::array<std::string, 5> spokenParts(const SpokenResult& r, std::string_view sep)
{
    const std::string out = r.digital ? " dBFS" : " dBu";
    auto whole = [sep](double v) { return numtext::formatFigure(v, 0, sep); };
    return {"Mic out " + whole(r.micOut) + out, "Amp out " + whole(r.ampOut) + out,
            "Dyn " + whole(r.dynamic_dB) + " dB", "SNR " + whole(r.snr_dB) + " dB",
            "Source " + whole(r.source_dBSPL) + " dB SPL"};
}

} // namespace

std::string ResultChangePhrase(const std::optional<SpokenResult>& before, const SpokenResult& after,
                               std::string_view decSep)
{
    const auto now = spokenParts(after, decSep);
    std::array<std::string, 5> was;
    if (before) was = spokenParts(*before, decSep);

    std::string phrase;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] == was[i]) continue;
        const std::size_t grown = phrase.size() + (phrase.empty() ? 0 : 2) + now[i].size();
        if (i >= kOutputParts && grown > kResultPhraseBudget) break;
        if (!phrase.empty()) phrase += ", ";
        phrase += now[i];
    }
    return phrase;
}
