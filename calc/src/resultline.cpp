#include "calc/resultline.h"

#include "numtext/numtext.h"
#include "units/units.h"

// Every figure of the line is fixed-point, or in exponent form beyond 15
// integer digits so that the line stays readable.
using numtext::formatFigure;

std::string FormatVolts(double volts, std::string_view decSep)
{
    // The unit is chosen after rounding: a figure that rounds up to 1000 of
    // one unit is written as 1 of the next one ("1.000 mV", not "1000.000 uV").
    static constexpr const char* kUnits[] = {" uV", " mV", " V"};
    const std::size_t at = volts < 0.001 ? 0 : volts < 1 ? 1 : 2;
    const double x = at == 0 ? volts * 1000000.0 : at == 1 ? volts * 1000.0 : volts;
    return conv::onThousandsLadder(x, kUnits, at, [&](double f) { return formatFigure(f, 3, decSep); });
}

std::string buildResultLine(const CalcState& s, bool digital, std::string_view sep)
{
    const TMicParams& m = s.CurMic;
    const std::string open = "<FONT color=\"#FFFF80\">";
    const std::string close = "</FONT>";
    std::string line;
    line.reserve(320);
    line += "<P align=\"center\">[Dyn : " + open;
    line += formatFigure(m.MicDynamic_dB, 0, sep) + " dB";
    line += close + " ; " + "SNR : " + open;
    line += formatFigure(m.MicSNR_dB_ITU, 0, sep) + " dB";
    line += close + "] - " + "At " + open;
    line += formatFigure(s.SourceLevel_dBSPL, 0, sep) + " dBSPL (" + formatFigure(s.SourceLevel_Pa, 6, sep) + " Pa)";
    line += close + ", " + "Mic out = " + open;
    if (digital) {
        line += formatFigure(m.MicOut_dBFS, 0, sep) + " dBFS";
    } else {
        line += FormatVolts(m.MicOut_V, sep) + " / " + formatFigure(m.MicOut_dBu, 0, sep) + " dBu / " +
                formatFigure(m.MicOut_dBV, 0, sep) + " dBV";
    }
    line += close + " ; " + "Amp out = " + open;
    if (digital) {
        line += formatFigure(s.AmpOut_dBFS, 0, sep) + " dBFS";
    } else {
        line += formatFigure(s.AmpOut_V, 1, sep) + " V / " + formatFigure(s.AmpOut_dBu, 0, sep) + " dBu / " +
                formatFigure(s.AmpOut_dBV, 0, sep) + " dBV";
    }
    line += close + "</P>";
    return line;
}

int levelBarPosition(const CalcState& s, bool digital)
{
    return numtext::roundHalfEvenToInt(digital ? s.CurMic.MicOut_dBFS : s.CurMic.MicOut_dBu);
}
