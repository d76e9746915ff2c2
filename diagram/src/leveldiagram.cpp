#include "diagram/leveldiagram.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>

#include "numtext/numtext.h"
#include "diagram/diagramaccessible.h"
#include "text/fonts.h"
#include "diagram/labeltexts.h"
#include "units/units.h"
#include "overlaycolours.h"

namespace {

using namespace overlaycolour;

QColor C(std::uint32_t bgr) { return colorFromBgr(bgr); }

using PS = TCanvas::PenStyle;
using BS = TCanvas::BrushStyle;

const QString kCourierNew = QStringLiteral("Courier New");

// One label column as the form sets it; the font size is the form's 8.
void setupColumn(TScaleAxis& a, int labelsSize, double offset, TPositionUnits units, const QString& face,
                 std::uint32_t colour)
{
    a.setLabelsSize(labelsSize);
    a.setPositionPercent(offset);
    a.setPositionUnits(units);
    a.setLabelsFont(diagramFont(face, 8));
    a.setLabelsColor(colorFromBgr(colour));
    a.setLabelsOnAxis(false);
    a.setLabelsSeparation(10);
}

} // namespace

TLevelDiagram::TLevelDiagram(QWidget* parent) : TScaleChart(parent)
{
    installDiagramAccessibility();
    sideTitleFont_ = overlayFont(10, true);
    setObjectName(QStringLiteral("Chart1"));
    setAccessibleName(QStringLiteral("Level diagram"));
    const QLocale locale;
    setSeparators(locale.decimalPoint(), locale.groupSeparator());

    setBuilding(true);
    setBackColor(Qt::black);
    setMarginLeft(120);
    setMarginTop(10);
    setMarginRight(120);
    setMarginBottom(20);
    setMarginUnits(TPositionUnits::Pixels);
    setTitle(QStringLiteral("<=== acoustic                electric  ===>"));
    setTitleFont(diagramFont(QStringLiteral("Courier"), 8));
    setTitleColor(Qt::black);

    BottomAxis().setVisible(false);
    BottomAxis().setMinMax(0, 1);

    TScaleAxis& left = LeftAxis();
    setupColumn(left, 50, -45, TPositionUnits::Pixels, kCourierNew, kPink);
    left.setGrid(TGridPen{true, kGridGrey, 0});
    left.setMinMax(0, 160);
    TScaleAxis& pa = left.addSubAxis();
    setupColumn(pa, 40, -85, TPositionUnits::Pixels, kCourierNew, kAqua);
    TScaleAxis& pa2 = left.addSubAxis();
    setupColumn(pa2, 40, -23, TPositionUnits::Pixels, kCourierNew, kBlack);
    pa2.setVisible(false);
    for (TScaleAxis* a : {&pa, &pa2}) a->setMinMax(0, 160);

    TScaleAxis& right = RightAxis();
    setupColumn(right, 50, -35, TPositionUnits::Pixels, kCourierNew, kPink);
    right.setMinMax(-144, 56);
    TScaleAxis& mv = right.addSubAxis();
    setupColumn(mv, 50, -100, TPositionUnits::Pixels, kCourierNew, kLightGreen);
    TScaleAxis& dbv = right.addSubAxis();
    setupColumn(dbv, 50, -70, TPositionUnits::Pixels, kCourierNew, kLightAqua);
    for (TScaleAxis* a : {&mv, &dbv}) a->setMinMax(-144, 56);
    TScaleAxis& dbfs = right.addSubAxis();
    setupColumn(dbfs, 0, -5, TPositionUnits::Percent, QStringLiteral("Tahoma"), kFuchsia);
    dbfs.setIncrement(1);
    dbfs.setVisible(false);
    dbfs.setMinMax(-146, 0);

    for (TScaleAxis* a : {&left, &pa, &pa2, &right, &mv, &dbv, &dbfs}) a->setMinStep(kMinLabelStep_dB);
    left.setViewMin(kViewMin_dBSPL);
    left.setViewMax(kViewMax_dBSPL);
    setMinViewSpan(kMinViewSpan_dB);

    addSeries(right, true);  // Series1
    addSeries(left, true);   // Series2
    addSeries(right, false); // Series3
    setBuilding(false);

    setOnAfterDraw([this](TScaleChart* sender, TCanvas& c) { Chart1AfterDraw(sender, c); });
}

void TLevelDiagram::setLevels(const IDiagramLevels* levels)
{
    levels_ = levels;
    RefreshDiagram();
}

void TLevelDiagram::setSeparators(const QString& decimal, const QString& group)
{
    setLabelSeparators(decimal.toStdString(), group.toStdString());
}

void TLevelDiagram::InitChart()
{
    TScaleAxis& left = LeftAxis();
    TScaleAxis& right = RightAxis();
    left.setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_dBSPL(a); });
    left.SubAxes(0).setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_Pa(a); });
    left.SubAxes(1).setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_Pa2(a); });
    right.setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_dBu(a); });
    right.SubAxes(0).setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_mV(a); });
    right.SubAxes(1).setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_dBV(a); });
    right.SubAxes(2).setOnDrawLabel([this](TDrawLabelArgs& a) { DrawLabel_dBFS(a); });

    // Labels sit on the outer side of each axis, which is the only placement
    // this engine has; the label fonts go to 10 points.
    for (TScaleAxis* a : {&left, &left.SubAxes(0), &right, &right.SubAxes(0), &right.SubAxes(1), &right.SubAxes(2)})
        a->setLabelsFontSize(10);

    for (TScaleAxis* a : {&left, &left.SubAxes(0), &left.SubAxes(1), &right}) a->setMaximum(160);
    for (std::size_t i = 0; i < 3; ++i) right.SubAxes(i).setMaximum(66);
    // The series carry no points.
    RefreshDiagram();
}

void TLevelDiagram::RefreshDiagram()
{
    // The overlays are painted by every paint (Chart1AfterDraw), so one
    // repaint request brings the scales and the overlays up to date.
    update();
    Series1().repaint();
    Series2().repaint();
    setAccessibleDescription(accessibleDescriptionText());
}

void TLevelDiagram::setRightAxisLabelsVisible(bool visible) { RightAxis().setLabels(visible); }

void TLevelDiagram::setRightSubAxisVisible(int index, bool visible)
{
    if (index < 0 || static_cast<std::size_t>(index) >= RightAxis().subAxisCount()) return;
    RightAxis().SubAxes(static_cast<std::size_t>(index)).setVisible(visible);
}

void TLevelDiagram::restoreView()
{
    if (!hasSavedView()) return;
    // The calculator keeps right max - left max = sensitivity - 94 while the
    // view is zoomed; the ranges saved before the zoom may hold an older
    // sensitivity, so the right axis follows the restored left axis instead.
    const double offset = RightAxis().maximum() - LeftAxis().maximum();
    TScaleChart::restoreView();
    const double leftMin = LeftAxis().minimum(), leftMax = LeftAxis().maximum();
    const double rightMax = leftMax + offset;
    const double rightMin = rightMax - (leftMax - leftMin);
    if (std::isfinite(rightMax) && std::isfinite(rightMin)) RightAxis().setMinMax(rightMin, rightMax);
    viewChanged();
}

void TLevelDiagram::viewChanged() { setAccessibleDescription(accessibleDescriptionText()); }

// ---- values the overlays show ---------------------------------------------

TLevelDiagram::Mode TLevelDiagram::mode() const
{
    return levels_ && levels_->digital() ? Mode::Digital : Mode::Analog;
}

bool TLevelDiagram::hasLevels() const { return levels_ != nullptr; }

double TLevelDiagram::maxLevel() const { return levels_ ? levels_->maxLevel_dBSPL() : 0; }
double TLevelDiagram::sourceLevel() const { return levels_ ? levels_->sourceLevel_dBSPL() : 0; }
double TLevelDiagram::noise() const { return levels_ ? levels_->noiseLevel() : 0; }
double TLevelDiagram::micOut() const { return levels_ ? levels_->outputLevel() : 0; }

// A figure at its no-value marker (0 dB SPL, -200 dBu or dBFS) is not given:
// nothing is drawn for it.
bool TLevelDiagram::maxLevelGiven() const { return maxLevel() != 0; }
bool TLevelDiagram::noiseGiven() const { return noise() > conv::kMissingLevel; }

QString TLevelDiagram::number0(double v) const
{
    return QString::fromStdString(numtext::formatFigure(v, 0, decimalSeparator()));
}

QString TLevelDiagram::accessibleDescriptionText() const
{
    auto num = [this](double v) { return QString::fromStdString(numtext::formatGeneral(v, 6, decimalSeparator())); };
    const bool analog = mode() == Mode::Analog;
    const QString unit = analog ? QStringLiteral("dBu") : QStringLiteral("dBFS");
    QString text = QStringLiteral("Left scale %1 to %2 dB SPL, with pascal. ")
                       .arg(num(LeftAxis().minimum()), num(LeftAxis().maximum()));
    text += QStringLiteral("Right scale %1 to %2 %3%4. ")
                .arg(num(RightAxis().minimum()), num(RightAxis().maximum()), unit,
                     analog ? QStringLiteral(", with mV and dBV") : QString());
    if (hasLevels()) {
        const QString maxText = maxLevelGiven() ? QStringLiteral("maximum level %1 dB SPL").arg(num(maxLevel()))
                                                : QStringLiteral("no maximum level");
        const QString noiseText =
            noiseGiven() ? QStringLiteral("noise %1 %2").arg(num(noise()), unit) : QStringLiteral("no noise level");
        text += QStringLiteral("Source %1 dB SPL, microphone output %2 %3, %4, %5.")
                    .arg(num(sourceLevel()), num(micOut()), unit, maxText, noiseText);
        text += chainDescriptionText();
    }
    return text;
}

// ---- label hooks ------------------------------------------------------------

namespace {

// A label outside the levels that exist is not written.
bool acoustic(TDrawLabelArgs& a)
{
    if (a.value < TLevelDiagram::kViewMin_dBSPL || a.value > TLevelDiagram::kViewMax_dBSPL) a.drawLabel = false;
    return a.drawLabel;
}

bool electric(TDrawLabelArgs& a)
{
    if (a.value < TLevelDiagram::kLabelMin_dBu || a.value > TLevelDiagram::kLabelMax_dBu) a.drawLabel = false;
    return a.drawLabel;
}

} // namespace

void TLevelDiagram::DrawLabel_dBSPL(TDrawLabelArgs& a)
{
    if (a.sender != &LeftAxis() || !acoustic(a)) return;
    a.text = QString::fromStdString(labeltext::dBSPL(a.text.toStdString()));
}

void TLevelDiagram::DrawLabel_Pa(TDrawLabelArgs& a)
{
    if (a.sender != &LeftAxis().SubAxes(0) || !acoustic(a)) return;
    a.text = QString::fromStdString(labeltext::pa(a.value, decimalSeparator(), a.step));
}

void TLevelDiagram::DrawLabel_Pa2(TDrawLabelArgs& a)
{
    if (a.sender != &LeftAxis().SubAxes(1) || !acoustic(a)) return;
    a.text = QString::fromStdString(labeltext::pa2(a.value, decimalSeparator()));
}

void TLevelDiagram::DrawLabel_dBu(TDrawLabelArgs& a)
{
    if (a.sender != &RightAxis() || !electric(a)) return;
    a.text = QString::fromStdString(labeltext::dBu(a.value, decimalSeparator()));
}

void TLevelDiagram::DrawLabel_mV(TDrawLabelArgs& a)
{
    if (a.sender != &RightAxis().SubAxes(0) || !electric(a)) return;
    a.text = QString::fromStdString(labeltext::mV(a.value, decimalSeparator(), a.step));
}

void TLevelDiagram::DrawLabel_dBV(TDrawLabelArgs& a)
{
    if (a.sender != &RightAxis().SubAxes(1) || !electric(a)) return;
    a.text = QString::fromStdString(labeltext::dBV(a.value, decimalSeparator()));
}

void TLevelDiagram::DrawLabel_dBFS(TDrawLabelArgs& a)
{
    if (a.sender != &RightAxis().SubAxes(2) || !electric(a)) return;
    a.text = QString::fromStdString(labeltext::dBFS(a.value, decimalSeparator()));
}

// ---- overlays -----------------------------------------------------------------

void TLevelDiagram::Chart1AfterDraw(TScaleChart*, TCanvas& c)
{
    overlayTexts_.clear();
    overlayGeneration_ = lastLayout().generation;
    if (!hasLevels()) return;
    DrawSideTitles(c);
    DrawReferenceLines(c);
    DrawSourceMarkers(c);
    DrawOverMaxZone(c);
    DrawClippingZone(c);
    DrawNoiseZone(c);
    DrawAcousticBar(c);
    DrawElectricBar(c);
    if (chain_) {
        const TChainView v = chain_->chainView();
        DrawChainLines(c, v);
        DrawThresholds(c, v);
    }
    placeTexts();
    // The texts last, over the zones and bars, in their own fonts and
    // colours, as TCanvas::textOut draws them.
    QPainter& p = c.painter();
    p.setBackgroundMode(Qt::TransparentMode);
    for (const TOverlayText& t : overlayTexts_) {
        if (t.backdrop)
            p.fillRect(QRect(t.rect.left - 2, t.rect.top, t.rect.width() + 4, t.rect.height()), Qt::black);
        p.setPen(QPen(t.colour));
        drawCachedText(p, t.font, QPoint(t.rect.left, t.rect.top + t.ascent), t.text);
    }
}

TIntRect TLevelDiagram::keptInside(int x, int y, int w, int h) const
{
    x = std::max(0, std::min(x, width() - w));
    y = std::max(0, std::min(y, height() - h));
    return TIntRect{x, y, x + w, y + h};
}

bool TLevelDiagram::rowShown(int y) const { return y >= 0 && y < height(); }

void TLevelDiagram::addText(TCanvas& c, int x, int y, const QString& text, std::optional<overlay::Kind> kind)
{
    const QFont& f = c.font();
    const TTextMeasureCache& m = textMeasure();
    const int w = m.textWidth(f, text), h = m.textHeight(f);
    const TIntRect r = kind ? TIntRect{x, y, x + w, y + h} : keptInside(x, y, w, h);
    overlayTexts_.push_back(TOverlayText{text, r, f, c.fontColor(), m.ascent(f), kind});
}

void TLevelDiagram::placeTexts()
{
    // What no text may cover: the labels as painted and the side titles.
    std::vector<TIntRect> taken;
    for (const TAxisLayout& a : lastLayout().axes) {
        if (!a.takesPart || !a.showLabels) continue;
        for (const TLabelItem& item : a.labels)
            if (item.draw) taken.push_back(item.textRect);
    }
    std::vector<overlay::Wanted> wanted;
    for (const TOverlayText& t : overlayTexts_) {
        if (!t.kind) taken.push_back(t.rect);
        else wanted.push_back(overlay::Wanted{t.rect, *t.kind});
    }
    const std::vector<overlay::Placed> placed = overlay::place(ChartRect(), taken, wanted);
    // Painting order is kept; a text with no free place is left out.
    std::vector<TOverlayText> kept;
    std::size_t k = 0;
    for (TOverlayText& t : overlayTexts_) {
        if (t.kind) {
            const overlay::Placed& p = placed[k++];
            if (!p.shown) continue;
            t.rect = p.rect;
        }
        kept.push_back(std::move(t));
    }
    overlayTexts_ = std::move(kept);
}

QString TLevelDiagram::sideTitle() const
{
    return mode() == Mode::Analog ? QStringLiteral("Electric") : QStringLiteral("Digital");
}

std::vector<TIntRect> TLevelDiagram::labelKeepOut(const ITextMeasure& measure) const
{
    // The side titles, as DrawSideTitles places them.
    if (!hasLevels()) return {};
    const QFont& f = sideTitleFont_;
    const int h = measure.textHeight(f);
    const int wa = measure.textWidth(f, QStringLiteral("Acoustic")), we = measure.textWidth(f, sideTitle());
    return {keptInside(64, 12, wa, h), keptInside(width() - 64 - we, 12, we, h)};
}

void TLevelDiagram::DrawSideTitles(TCanvas& c)
{
    const TIntRect b = ChartBounds();
    setTextFont(c, kYellow, 10, true);
    addTitle(c, b.left + 64, 12, QStringLiteral("Acoustic"));
    const QString side = sideTitle();
    addTitle(c, b.right - 64 - textMeasure().textWidth(c.font(), side), 12, side);
}

void TLevelDiagram::DrawReferenceLines(TCanvas& c)
{
    const TIntRect b = ChartBounds(), r = ChartRect();
    const int a = r.width() / 10;
    auto level = [&](int y, std::uint32_t plotColour) {
        c.setPen(C(kGrey), 1, PS::DashDot);
        c.moveTo(b.left, y);
        c.lineTo(b.right, y);
        c.setPen(C(plotColour), 1, PS::DashDot);
        c.moveTo(r.left, y);
        c.lineTo(r.right, y);
    };
    const int y94 = yL(conv::kSensRef_dBSPL);
    level(y94, kPink);
    setTextFont(c, kPink, 8, false);
    if (rowShown(y94)) addText(c, r.left + 8 + 4 * a, y94 - 14, QStringLiteral("94 dBSPL"), overlay::Kind::Line);
    if (maxLevelGiven()) level(yL(maxLevel()), kRed);
    if (noiseGiven()) level(yR(noise()), kSilver);
}

void TLevelDiagram::DrawSourceMarkers(TCanvas& c)
{
    const TIntRect b = ChartBounds(), r = ChartRect();
    const int y = yL(sourceLevel());
    c.setPen(C(kLime), 1, PS::Solid);
    c.setBrush(C(kLime), BS::Solid);
    c.polygon({{r.left - 4, y + 4}, {r.left - 10, y}, {r.left - 4, y - 4}});
    setTextFont(c, kLime, 10, true);
    if (rowShown(y))
        addText(c, r.left + 2, y - 9, number0(sourceLevel()) + QStringLiteral(" dBSPL"), overlay::Kind::Marker);
    c.setPen(C(kLime), 1, PS::Dash);
    c.moveTo(b.left, y);
    c.lineTo(r.left - 10, y);

    const double out = micOut();
    const int yo = yR(out);
    const QString text = number0(out) + (mode() == Mode::Analog ? QStringLiteral(" dBu") : QStringLiteral(" dBFS"));
    c.setPen(C(kLime), 1, PS::Solid);
    c.setBrush(C(kLime), BS::Solid);
    c.polygon({{r.right + 4, yo + 4}, {r.right + 10, yo}, {r.right + 4, yo - 4}});
    c.setPen(C(kLime), 1, PS::Dash);
    c.moveTo(r.right + 10, yo);
    c.lineTo(b.right, yo);
    setTextFont(c, kLime, 10, true);
    if (rowShown(yo))
        addText(c, r.right - 2 - textMeasure().textWidth(c.font(), text), yo - 9, text, overlay::Kind::Marker);
}

void TLevelDiagram::DrawOverMaxZone(TCanvas& c)
{
    if (!maxLevelGiven()) return;
    const TIntRect r = ChartRect();
    const int a = r.width() / 10;
    const int y = yL(maxLevel());
    c.setPen(C(kGrey), 1, PS::Dot);
    c.setBrush(C(kSilver), BS::BDiagonal, C(kRed));
    c.rectangle(r.left, r.top, r.right, y);
    setTextFont(c, kYellow, 10, true);
    addText(c, r.left - 8 + 2 * a, y - 16, QString::fromStdString(labeltext::overMaxText(maxLevel(), decimalSeparator())),
            overlay::Kind::Zone);
}

void TLevelDiagram::DrawClippingZone(TCanvas& c)
{
    if (mode() != Mode::Digital || !maxLevelGiven()) return;
    const int yMax = yL(maxLevel());
    const int y0 = yR(0);
    if (yMax > y0) return;
    const TIntRect r = ChartRect();
    const int a = r.width() / 10;
    c.setPen(C(kGrey), 1, PS::Dot);
    c.setBrush(C(kSilver), BS::BDiagonal, C(kOrange));
    c.rectangle(8 * a, yMax, r.right, y0);
    setTextFont(c, kYellow, 10, true);
    addText(c, r.left - 8 + 6 * a, y0 - 18, QStringLiteral("Digital clipping"), overlay::Kind::Zone);
}

void TLevelDiagram::DrawNoiseZone(TCanvas& c)
{
    if (!noiseGiven()) return;
    const TIntRect r = ChartRect();
    const int a = r.width() / 10;
    const double n = noise();
    const int y = yR(n);
    c.setPen(C(kGrey), 1, PS::Dot);
    c.setBrush(C(kSilver), BS::BDiagonal, C(kGrey));
    c.rectangle(r.left, y, r.right, r.bottom);
    setTextFont(c, kYellow, 10, true);
    addText(c, r.left - 8 + 2 * a, y + 2,
            QString::fromStdString(labeltext::noiseZoneText(n, mode() == Mode::Digital, decimalSeparator())),
            overlay::Kind::Zone);
}

void TLevelDiagram::DrawAcousticBar(TCanvas& c)
{
    if (!maxLevelGiven() || !noiseGiven()) return;
    const TIntRect r = ChartRect();
    const int a = r.width() / 10;
    c.setPen(C(kBlue), 1, PS::Dot);
    c.setBrush(C(kAqua), BS::Solid);
    c.rectangle(r.left + 2 * a, yL(maxLevel()), r.left + 4 * a, yR(noise()));
}

void TLevelDiagram::DrawElectricBar(TCanvas& c)
{
    if (!noiseGiven()) return;
    const TIntRect r = ChartRect();
    const int a = r.width() / 10;
    c.setPen(C(kGreen), 1, PS::Dot);
    c.setBrush(C(kLime), BS::Solid);
    c.rectangle(r.left + 6 * a, yL(conv::kSensRef_dBSPL), r.left + 8 * a, yR(noise()));
}
