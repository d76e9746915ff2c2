#pragma once
// The level diagram: the acoustic scale (dB SPL, pascal) on the left set
// against the electric scales (dBu, dBV, mV, or dBFS) on the right, with the
// microphone's overlays painted after every paint of the chart.
//
// Both main axes span the same range and the right maximum is the left
// maximum - 94 + sensitivity, so every row reads one level on both sides.
// The calculator keeps that when it sets the right axis (it reads the left
// axis's range); restoring a zoomed view re-derives the right axis from the
// restored left one with the offset that holds at that moment, so a
// recalculation while zoomed is not undone by the restore.
#include <QString>

#include "calc/interfaces.h"
#include "calc/micparams.h"
#include "diagram/canvas.h"
#include "diagram/scalechart.h"

class TLevelDiagram : public TScaleChart, public IDiagramView {
    Q_OBJECT
public:
    // Builds the chart as the window's form describes it (objectName
    // "Chart1"); the separators default to the user's locale.
    explicit TLevelDiagram(QWidget* parent = nullptr);

    // Where the overlays read their values. Any may be null: what needs it
    // is then not drawn.
    void setSources(const CalcState* state, const INumericInput* maxLevel, const INumericInput* sourceLevel,
                    const INumericInput* noise_dBu, const INumericInput* noise_dBFS, const IChoice* analog,
                    const IChoice* digital);
    void setSeparators(const QString& decimal, const QString& group);

    // Start-up preparation: label hooks, label font sizes, maxima, refresh.
    void InitChart();
    // Requests a repaint; the overlays are painted by every paint.
    void RefreshDiagram();

    // IDiagramView
    void refreshDiagram() override { RefreshDiagram(); }
    void setRightAxisLabelsVisible(bool visible) override;
    // 0 mV, 1 dBV, 2 dBFS.
    void setRightSubAxisVisible(int index, bool visible) override;

    TAxisSeries& Series1() { return Series(0); } // right axis
    TAxisSeries& Series2() { return Series(1); } // left axis (dB SPL)
    TAxisSeries& Series3() { return Series(2); } // inactive

    // One sentence each on the left scale, the right scale and the marked
    // levels, for screen readers.
    QString accessibleDescriptionText() const;

    // The label hooks: each acts only on its own axis.
    void DrawLabel_dBSPL(TDrawLabelArgs& a);
    void DrawLabel_Pa(TDrawLabelArgs& a);
    void DrawLabel_Pa2(TDrawLabelArgs& a);
    void DrawLabel_dBu(TDrawLabelArgs& a);
    void DrawLabel_mV(TDrawLabelArgs& a);
    void DrawLabel_dBV(TDrawLabelArgs& a);
    void DrawLabel_dBFS(TDrawLabelArgs& a);

    // The after-paint hook: the eight painters in their order.
    void Chart1AfterDraw(TScaleChart* sender, TCanvas& c);

    void restoreView() override;

protected:
    void viewChanged() override;

private:
    enum class Mode { Analog, Digital };
    Mode mode() const;
    bool hasSources() const;
    double maxLevel() const;
    double sourceLevel() const;
    double noise() const;
    double micOut() const;
    QString number0(double v) const; // "%.0f"

    int yL(double v) { return Series2().CalcYPosValue(v); }
    int yR(double v) { return Series1().CalcYPosValue(v); }

    void DrawSideTitles(TCanvas& c);
    void DrawReferenceLines(TCanvas& c);
    void DrawSourceMarkers(TCanvas& c);
    void DrawOverMaxZone(TCanvas& c);
    void DrawClippingZone(TCanvas& c);
    void DrawNoiseZone(TCanvas& c);
    void DrawAcousticBar(TCanvas& c);
    void DrawElectricBar(TCanvas& c);

    const CalcState* state_ = nullptr;
    const INumericInput* maxLevel_ = nullptr;
    const INumericInput* sourceLevel_ = nullptr;
    const INumericInput* noise_dBu_ = nullptr;
    const INumericInput* noise_dBFS_ = nullptr;
    const IChoice* analog_ = nullptr;
    const IChoice* digital_ = nullptr;
};
