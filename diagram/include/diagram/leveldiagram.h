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
#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <vector>

#include "chart/canvas.h"
#include "chart/overlayplacement.h"
#include "chart/scalechart.h"
#include "diagram/chainoverlay.h"

// One text an overlay painted: where, in which font and colour.
struct TOverlayText {
    QString text;
    TIntRect rect;
    QFont font;
    QColor colour;
    int ascent = 0; // from the top of rect to the baseline
    // How a text is placed (overlay::place); none for a side title, which
    // stays where its painter puts it.
    std::optional<overlay::Kind> kind;
    // Drawn on a dark backdrop: a text over the zones and bars of any colour
    // (the chain's lines) stays readable.
    bool backdrop = false;
};

// The levels the overlays show, read at every paint. The window supplies
// them from the calculator and its inputs. A maximum level of 0 dB SPL and a
// noise level of -200 (dBu or dBFS) or less are not given: no line, zone,
// bar or text is drawn for them.
class IDiagramLevels {
public:
    virtual ~IDiagramLevels() = default;
    // A digital microphone: the noise and output levels are in dBFS, and in
    // dBu otherwise.
    virtual bool digital() const = 0;
    virtual double maxLevel_dBSPL() const = 0;
    virtual double sourceLevel_dBSPL() const = 0;
    virtual double noiseLevel() const = 0;
    virtual double outputLevel() const = 0;
};

class TLevelDiagram : public TScaleChart {
    Q_OBJECT
public:
    // The levels the scales show. The quietest places measured lie near
    // -20 dB SPL and 194 dB SPL is the loudest sound air carries undistorted
    // (its troughs reach vacuum): a view of -30 to 210 dB SPL holds every
    // level on Earth. Zoom, pan and wheel stay inside it, and no label is
    // written for a level outside it.
    static constexpr double kViewMin_dBSPL = -30;
    static constexpr double kViewMax_dBSPL = 210;
    // Electric labels (dBu, and dBFS alike) from -240 (0.78 pV, far below
    // the thermal noise of any circuit) to +200 (7.75 GV, beyond a lightning
    // stroke); the right axis follows the typed sensitivity unbounded, but
    // writes no label outside these.
    static constexpr double kLabelMin_dBu = -240;
    static constexpr double kLabelMax_dBu = 200;
    // Labels step by 1 dB at the finest, the resolution the level labels
    // are written in; a zoom keeps at least 10 dB in view.
    static constexpr double kMinLabelStep_dB = 1;
    static constexpr double kMinViewSpan_dB = 10;

    // Builds the chart as the window's form describes it (objectName
    // "Chart1"); the separators default to the user's locale.
    explicit TLevelDiagram(QWidget* parent = nullptr);

    // Where the overlays read their levels; with none (null), the overlays
    // are not drawn.
    void setLevels(const IDiagramLevels* levels);
    // The signal chain's lines and the thresholds, drawn over the overlays
    // and read out after them; with none (null), as without the chain.
    void setChain(const IDiagramChain* chain);
    void setSeparators(const QString& decimal, const QString& group);

    // Start-up preparation: label hooks, label font sizes, maxima, refresh.
    void InitChart();
    // Requests a repaint; the overlays are painted by every paint.
    void RefreshDiagram();

    // The right axis's own (dBu) labels, and its sub-axes 0 (mV), 1 (dBV)
    // and 2 (dBFS); an index out of range does nothing.
    void setRightAxisLabelsVisible(bool visible);
    void setRightSubAxisVisible(int index, bool visible);

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

    // The overlay texts of the last paint, in painting order.
    const std::vector<TOverlayText>& lastOverlayTexts() const { return overlayTexts_; }
    // Generation of the layout the overlay texts were painted with.
    unsigned overlayGeneration() const { return overlayGeneration_; }

protected:
    void viewChanged() override;
    std::vector<TIntRect> labelKeepOut(const ITextMeasure& measure) const override;

private:
    enum class Mode { Analog, Digital };
    Mode mode() const;
    bool hasLevels() const;
    double maxLevel() const;
    double sourceLevel() const;
    double noise() const;
    double micOut() const;
    bool maxLevelGiven() const;
    bool noiseGiven() const;
    QString number0(double v) const; // "%.0f"

    int yL(double v) { return Series2().CalcYPosValue(v); }
    int yR(double v) { return Series1().CalcYPosValue(v); }

    // Overlay texts are collected while the zones and bars are painted and
    // drawn after them all. The side titles stay where they are put (moved
    // inside the control where they would leave it); every other text is
    // placed inside the plot clear of the labels, the titles and the texts
    // that come before it (overlay::place), or left out.
    // A text without a kind is a side title.
    void addText(TCanvas& c, int x, int y, const QString& text, std::optional<overlay::Kind> kind);
    void addTitle(TCanvas& c, int x, int y, const QString& text) { addText(c, x, y, text, std::nullopt); }
    void placeTexts();
    TIntRect keptInside(int x, int y, int w, int h) const;
    // Whether row y lies on the control. The text of a line or marker whose
    // row is off the control is left out: moved in, it would name a level
    // the view does not show and land on the texts at the edge.
    bool rowShown(int y) const;
    QString sideTitle() const;

    void DrawSideTitles(TCanvas& c);
    void DrawReferenceLines(TCanvas& c);
    void DrawSourceMarkers(TCanvas& c);
    void DrawOverMaxZone(TCanvas& c);
    void DrawClippingZone(TCanvas& c);
    void DrawNoiseZone(TCanvas& c);
    void DrawAcousticBar(TCanvas& c);
    void DrawElectricBar(TCanvas& c);
    // The chain's noise, full-scale and target lines on the electric scale,
    // and the threshold lines on the acoustic one (chainoverlay.cpp).
    void DrawChainLines(TCanvas& c, const TChainView& v);
    void DrawThresholds(TCanvas& c, const TChainView& v);
    // A line across the plot at row y in `colour`, with its text above
    // it starting at textX (ending there when rightAligned), placed as a line's.
    void chainLine(TCanvas& c, int y, std::uint32_t colour, int textX, const QString& text, bool rightAligned);
    // The chain's figures and the thresholds shown, for the accessible description.
    QString chainDescriptionText() const;

    const IDiagramLevels* levels_ = nullptr;
    const IDiagramChain* chain_ = nullptr;
    std::vector<TOverlayText> overlayTexts_;
    QFont sideTitleFont_; // as DrawSideTitles sets it, for the labels to keep clear of
    unsigned overlayGeneration_ = 0;
};
