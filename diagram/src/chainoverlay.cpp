// The signal chain's lines and the hearing thresholds on the level diagram:
// painters of TLevelDiagram kept apart from the microphone's overlays.
#include "diagram/chainoverlay.h"

#include <cmath>

#include <QStringList>

#include "diagram/leveldiagram.h"
#include "overlaycolours.h"
#include "numtext/numtext.h"
#include "units/units.h"

namespace chainoverlay {

namespace {

// A figure with one decimal: "18.0", "-3.5".
QString oneDecimal(double v, const QString& sep)
{
    return QString::fromStdString(numtext::formatFigure(v, 1, sep.toStdString()));
}

// A figure with one decimal, without a decimal part of 0: "18", "15.5".
QString trimmed(double v, const QString& sep)
{
    QString t = oneDecimal(v, sep);
    if (t.endsWith(sep + QLatin1Char('0'))) t.chop(sep.size() + 1);
    return t;
}

// A figure's text with "+" before it when it reads above zero: "+18", "-3.5", "0".
QString withSign(const QString& t)
{
    return t.startsWith(u'-') || conv::readsZero(t.toStdString()) ? t : QStringLiteral("+") + t;
}

} // namespace

QString systemNoiseText(double noise_dBu, double adds_dB, const QString& sep)
{
    // Without a microphone noise figure the noise is the preamplifier's alone.
    const QString noise = oneDecimal(noise_dBu, sep);
    if (!std::isfinite(adds_dB)) return QStringLiteral("System noise %1 dBu (preamplifier)").arg(noise);
    return QStringLiteral("System noise %1 dBu (%2 dB)").arg(noise, withSign(oneDecimal(adds_dB, sep)));
}

QString fullScaleText(const TChainView& v, const QString& sep)
{
    if (v.digital) return QStringLiteral("0 dBFS = %1 dBSPL").arg(trimmed(v.fullScale, sep));
    return QStringLiteral("0 dBFS = %1 dBu (gain %2 dB)")
        .arg(withSign(trimmed(v.fullScale, sep)), withSign(trimmed(v.gain_dB, sep)));
}

QString targetText(double target_dBFS, const QString& sep)
{
    return QStringLiteral("Target %1 dBFS").arg(trimmed(target_dBFS, sep));
}

} // namespace chainoverlay

using namespace overlaycolour;

namespace {

// The threshold lines in drawing order: the view's flag that shows each, its
// level, its colour, its text on the diagram and in the description.
struct Threshold {
    bool TChainView::*shown;
    double level_dBSPL;
    std::uint32_t colour;
    const char* text;
    const char* spoken;
};
constexpr Threshold kThresholds[] = {
    {&TChainView::hearing, 0, kLightGreen, "Hearing threshold 0 dBSPL", "hearing threshold 0 dB SPL"},
    {&TChainView::danger, 85, kYellow, "Danger 85 dBSPL", "danger 85 dB SPL"},
    {&TChainView::pain, 120, kRed, "Pain 120 dBSPL", "pain 120 dB SPL"},
};

} // namespace

void TLevelDiagram::setChain(const IDiagramChain* chain)
{
    chain_ = chain;
    RefreshDiagram();
}

void TLevelDiagram::chainLine(TCanvas& c, int y, std::uint32_t colour, int textX, const QString& text, bool rightAligned)
{
    const TIntRect r = ChartRect();
    // Solid, as a one-pixel fill: the pixels of lineTo(r.right, y) from
    // (r.left, y), at a hundredth of a stroked line's cost; the colour and
    // the text tell these lines from the grid.
    c.painter().fillRect(QRect(r.left, y, r.width(), 1), colorFromBgr(colour));
    setTextFont(c, colour, 8, false);
    if (!rowShown(y)) return;
    const int x = rightAligned ? textX - textMeasure().textWidth(c.font(), text) : textX;
    addText(c, x, y - 14, text, overlay::Kind::Line);
    overlayTexts_.back().backdrop = true;
}

void TLevelDiagram::DrawChainLines(TCanvas& c, const TChainView& v)
{
    const TIntRect r = ChartRect();
    const int a = r.width() / 10;
    const QString sep = QString::fromStdString(decimalSeparator());
    if (v.hasSystemNoise && !v.digital)
        chainLine(c, yR(v.systemNoise), kOrange, r.left + 6 * a,
                  chainoverlay::systemNoiseText(v.systemNoise, v.ampNoiseAdds_dB, sep), false);
    chainLine(c, yR(v.fullScaleRow), kWhite, r.right - 8, chainoverlay::fullScaleText(v, sep), true);
    chainLine(c, yR(v.targetRow), kLightAqua, r.right - 8, chainoverlay::targetText(v.target_dBFS, sep), true);
}

void TLevelDiagram::DrawThresholds(TCanvas& c, const TChainView& v)
{
    const TIntRect r = ChartRect();
    for (const Threshold& t : kThresholds)
        if (v.*t.shown) chainLine(c, yL(t.level_dBSPL), t.colour, r.left + 8, QString::fromLatin1(t.text), false);
}

QString TLevelDiagram::chainDescriptionText() const
{
    if (!chain_) return {};
    const TChainView v = chain_->chainView();
    QString text = QLatin1Char(' ') + chain_->description();
    QStringList shown;
    for (const Threshold& t : kThresholds)
        if (v.*t.shown) shown << QString::fromLatin1(t.spoken);
    if (!shown.isEmpty()) text += QStringLiteral(" Lines at ") + shown.join(QStringLiteral(", ")) + QLatin1Char('.');
    return text;
}
