#pragma once
// A chart control with two vertical value axes, each with a list of
// sub-axes that repeat the same values in other units as further label
// columns.
//
// Every paint first computes a TChartLayout (plot rectangle, axis rows,
// label columns, kept labels with their final texts and places) from the
// settings and the text metrics, then draws exactly that layout, then calls
// OnAfterDraw. The layout is a plain computation over an ITextMeasure, so
// it can be checked with fixed metrics and no screen.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/scalemath.h"
#include "chart/canvas.h"
#include "text/textmeasure.h"

class QPainter;
class TScaleChart;
class TScaleAxis;
class TCanvas;

// Rectangle by its four edges; right and bottom lie just outside it.
struct TIntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool intersects(const TIntRect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool contains(const TIntRect& o) const
    {
        return o.left >= left && o.right <= right && o.top >= top && o.bottom <= bottom;
    }
    bool operator==(const TIntRect&) const = default;
};

// What a label hook receives. Changing x, y or z does not move the label;
// text may be replaced; drawLabel = false suppresses the label. value is
// the number the label text stands for, handed over as a number so that a
// hook never reads it back from text with group separators.
struct TDrawLabelArgs {
    TScaleAxis* sender = nullptr;
    int x = 0, y = 0, z = 0;
    QString text;
    bool drawLabel = true;
    double value = 0;
    double step = 0; // the axis's label step: the neighbours lie at value +- step
};
using TDrawLabelEvent = std::function<void(TDrawLabelArgs&)>;

enum class TPositionUnits { Pixels, Percent };

// A grid pen: colour as 0xTTBBGGRR, width 0 or 1 draws one pixel.
struct TGridPen {
    bool visible = false;
    std::uint32_t color = 0x808080;
    int width = 1;
};

// An axis range setter refused the value; the range is unchanged.
class TAxisRangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TScaleAxis {
public:
    TScaleAxis(TScaleChart* chart, TScaleAxis* master, bool otherSide);
    TScaleAxis(const TScaleAxis&) = delete;
    TScaleAxis& operator=(const TScaleAxis&) = delete;

    // The range. A setter that would invert it, or that is given a NaN
    // (which is neither below nor above anything), throws TAxisRangeError
    // ("Axis Minimum Value must be <= Maximum", "Axis Maximum Value must be
    // >= Minimum") and changes nothing (the check is off while the chart is
    // being built); a change requests a repaint.
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    void setMinimum(double v);
    void setMaximum(double v);
    // Both ends at once, in the order the setters accept.
    void setMinMax(double mn, double mx);

    // Settings; each setter requests a repaint.
    bool visible() const { return visible_; }
    void setVisible(bool v) { set(visible_, v); }
    // Step between labels (0: automatic).
    double increment() const { return increment_; }
    void setIncrement(double v) { set(increment_, v); }
    // The finest label step (0: none); a floor to the automatic step.
    void setMinStep(double v) { set(minStep_, v); }
    // The values a zoom, pan or wheel step may bring into view (both
    // axes move together, so the first to reach its bound stops them all).
    void setViewMin(double v) { set(viewMin_, v); }
    void setViewMax(double v) { set(viewMax_, v); }
    bool labels() const { return labels_; }
    void setLabels(bool v) { set(labels_, v); }
    const QFont& labelsFont() const { return labelsFont_; }
    void setLabelsFont(const QFont& f) { set(labelsFont_, f); }
    void setLabelsFontSize(int points);
    const QColor& labelsColor() const { return labelsColor_; }
    void setLabelsColor(const QColor& c) { set(labelsColor_, c); }
    // Width of the label column (0: the widest label text and a space).
    int labelsSize() const { return labelsSize_; }
    void setLabelsSize(int v) { set(labelsSize_, v); }
    // Only labels whose row lies on the axis (not at the ends' margins).
    bool labelsOnAxis() const { return labelsOnAxis_; }
    void setLabelsOnAxis(bool v) { set(labelsOnAxis_, v); }
    // Least free pixels between two labels.
    int labelsSeparation() const { return labelsSeparation_; }
    void setLabelsSeparation(int v) { set(labelsSeparation_, v); }
    // Number format of the label texts ("#,##0.###"; see scale::AxisNumberFormat).
    const QString& axisValuesFormat() const { return axisValuesFormat_; }
    void setAxisValuesFormat(const QString& pattern);
    // Labels at whole multiples of the step (true) or from the maximum down.
    bool roundFirstLabel() const { return roundFirstLabel_; }
    void setRoundFirstLabel(bool v) { set(roundFirstLabel_, v); }
    // Shift of the label column, in pixels or percent of the plot width.
    double positionPercent() const { return positionPercent_; }
    void setPositionPercent(double v) { set(positionPercent_, v); }
    TPositionUnits positionUnits() const { return positionUnits_; }
    void setPositionUnits(TPositionUnits u) { set(positionUnits_, u); }
    bool otherSide() const { return otherSide_; }
    void setOtherSide(bool v) { set(otherSide_, v); }
    const TGridPen& grid() const { return grid_; }
    void setGrid(const TGridPen& g) { set(grid_, g); }
    const TDrawLabelEvent& onDrawLabel() const { return onDrawLabel_; }
    void setOnDrawLabel(TDrawLabelEvent e)
    {
        onDrawLabel_ = std::move(e);
        requestRepaint();
    }

    // Sub-axes in list order; they take this axis's side, range and rows.
    TScaleAxis& addSubAxis();
    std::size_t subAxisCount() const { return subAxes_.size(); }
    TScaleAxis& SubAxes(std::size_t i) { return *subAxes_.at(i); }
    const TScaleAxis& SubAxes(std::size_t i) const { return *subAxes_.at(i); }
    TScaleAxis* master() const { return master_; }
    TScaleChart* chart() const { return chart_; }

    // Values of the last paint: range, rows and the label anchor.
    const scale::ScaleMap& map() const { return map_; }
    int posLabels() const { return posLabels_; }

private:
    friend class TScaleChart;
    void requestRepaint();
    template <class T> void set(T& field, const T& v)
    {
        field = v;
        requestRepaint();
    }

    bool visible_ = true;
    double increment_ = 0;
    double minStep_ = 0;
    double viewMin_ = -std::numeric_limits<double>::infinity();
    double viewMax_ = std::numeric_limits<double>::infinity();
    bool labels_ = true;
    QFont labelsFont_;
    QColor labelsColor_ = Qt::black;
    int labelsSize_ = 0;
    bool labelsOnAxis_ = false;
    int labelsSeparation_ = 10;
    QString axisValuesFormat_ = QStringLiteral("#,##0.###");
    scale::AxisNumberFormat valuesFormat_; // axisValuesFormat_, read
    bool roundFirstLabel_ = true;
    double positionPercent_ = 0;
    TPositionUnits positionUnits_ = TPositionUnits::Pixels;
    bool otherSide_ = false;
    TGridPen grid_;
    TDrawLabelEvent onDrawLabel_;

    TScaleChart* chart_;
    TScaleAxis* master_;
    double minimum_ = 0;
    double maximum_ = 0;
    std::vector<std::unique_ptr<TScaleAxis>> subAxes_;
    scale::ScaleMap map_;
    int posLabels_ = 0;
};

// A series without points: it binds an axis into the layout and maps values
// to rows on it.
class TAxisSeries {
public:
    TAxisSeries(TScaleChart* chart, TScaleAxis* vertAxis, bool active) : chart_(chart), VertAxis(vertAxis), Active(active) {}
    // Row of v on the series' axis, with the rows of the last paint.
    int CalcYPosValue(double v) const { return VertAxis ? VertAxis->map().row(v) : 0; }
    void repaint();

private:
    TScaleChart* chart_;

public:
    TScaleAxis* VertAxis;
    bool Active;
};

// One label as a paint draws it.
struct TLabelItem {
    double value = 0;
    int row = 0;
    QString engineText; // the number text before the hook
    QString text;       // the text as the hook left it
    bool draw = true;   // false when the hook suppressed it
    int boxLeft = 0, boxTop = 0, boxWidth = 0;
    int textX = 0; // left edge of the drawn text
    TIntRect textRect; // where the text is drawn (the label font's height)
};

struct TAxisLayout {
    TScaleAxis* axis = nullptr;
    bool takesPart = false;
    bool otherSide = false;
    bool showLabels = false; // a column is reserved and label texts drawn
    scale::ScaleMap map;
    double step = 0;
    int h = 0; // label font height
    int labelX = 0;
    std::vector<TLabelItem> labels; // kept labels, from the top down
};

struct TChartLayout {
    TIntRect bounds;
    TIntRect chartRect;
    TIntRect titleBox;
    QString titleText;
    // Drawing order: left axis, its sub-axes, right axis, its sub-axes.
    std::vector<TAxisLayout> axes;
    // Counts the layouts stored by applyLayout: what was built from one can
    // tell when it is out of date.
    unsigned generation = 0;
    const TAxisLayout* find(const TScaleAxis* a) const;
};

class TScaleChart : public QWidget {
    Q_OBJECT
public:
    explicit TScaleChart(QWidget* parent = nullptr);
    ~TScaleChart() override;

    TScaleAxis& LeftAxis() { return *left_; }
    TScaleAxis& RightAxis() { return *right_; }
    TScaleAxis& BottomAxis() { return *bottom_; }
    const TScaleAxis& LeftAxis() const { return *left_; }
    const TScaleAxis& RightAxis() const { return *right_; }

    TAxisSeries& addSeries(TScaleAxis& vertAxis, bool active);
    TAxisSeries& Series(std::size_t i) { return *series_.at(i); }

    // Settings; each setter requests a repaint.
    void setMarginLeft(int v) { set(marginLeft_, v); }
    void setMarginTop(int v) { set(marginTop_, v); }
    void setMarginRight(int v) { set(marginRight_, v); }
    void setMarginBottom(int v) { set(marginBottom_, v); }
    void setMarginUnits(TPositionUnits u) { set(marginUnits_, u); }
    const QString& title() const { return title_; }
    void setTitle(const QString& t) { set(title_, t); }
    void setTitleFont(const QFont& f) { set(titleFont_, f); }
    void setTitleColor(const QColor& c) { set(titleColor_, c); }
    void setBackColor(const QColor& c) { set(backColor_, c); }
    using AfterDrawEvent = std::function<void(TScaleChart* sender, TCanvas& canvas)>;
    void setOnAfterDraw(AfterDrawEvent e)
    {
        onAfterDraw_ = std::move(e);
        update();
    }
    // A left-button click that was not a zoom or restore drag.
    using ClickEvent = std::function<void(TScaleChart* sender)>;
    const ClickEvent& onClick() const { return onClick_; }
    void setOnClick(ClickEvent e) { onClick_ = std::move(e); }
    // Decimal and group separators of the label number texts.
    const std::string& decimalSeparator() const { return decimalSeparator_; }
    void setLabelSeparators(std::string decimal, std::string group)
    {
        decimalSeparator_ = std::move(decimal);
        groupSeparator_ = std::move(group);
        update();
    }

    // While building, the range setters do not check the order of the ends.
    void setBuilding(bool building) { building_ = building; }
    bool isBuilding() const { return building_; }

    // The layout of a paint at the current size with the given metrics.
    // Runs the label hooks. Does not change the chart.
    TChartLayout computeLayout(const ITextMeasure& measure);
    // Stores a layout as the last paint's (rows, anchors, rectangles).
    // Takes the layout by value: a new layout replaces the old one whole, so
    // the room of a larger one (a tall window's labels) is given back.
    void applyLayout(TChartLayout layout);
    // computeLayout + applyLayout with the widget's own metrics.
    void layoutNow();
    const TChartLayout& lastLayout() const { return layout_; }
    TIntRect ChartRect() const { return layout_.chartRect; }
    TIntRect ChartBounds() const { return layout_.bounds; }

    // Mouse view changes (zoom, pan, wheel) save the ranges of the two main
    // axes first; restoreView puts them back once.
    bool hasSavedView() const { return saved_.valid; }
    // Zoom into the rows y1..y2 (either order) on both vertical axes.
    void zoomRows(int y1, int y2);
    // Shift both vertical axes so that the values under row fromY move to toY.
    void panRows(int fromY, int toY);
    // One wheel notch: +1 forward (view moves up), -1 backward.
    void wheelStep(int notches);
    virtual void restoreView();

    // The narrowest range a zoom makes (0: none); a narrower rectangle
    // zooms to this range about its centre.
    void setMinViewSpan(double v) { minViewSpan_ = v; }

    static constexpr int kZoomMinDrag = 16;
    static constexpr double kWheelShare = 0.03;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // Called after a zoom, pan, wheel step or restore changed the ranges.
    virtual void viewChanged() {}
    // Areas no label may cover (texts painted over the chart later); a
    // label that would, or that would leave the control or cover another
    // label, is not drawn.
    virtual std::vector<TIntRect> labelKeepOut(const ITextMeasure&) const { return {}; }

    // Text metrics of the chart's fonts, kept between paints (texts that
    // come back from one paint to the next are measured once).
    const TTextMeasureCache& textMeasure() const { return texts_.measure(); }
    // The same pixels as painter.drawText(baselineStart, text) in `font` and
    // the painter's pen, with the text shaped once and kept between paints.
    void drawCachedText(QPainter& painter, const QFont& font, QPoint baselineStart, const QString& text) const;

    // False for a title in the opaque background's own colour: drawn, it
    // would change no pixel.
    bool titleShows() const;

    // Draws a computed layout (background, title, grid lines, labels).
    void drawLayout(QPainter& painter, const TChartLayout& layout) const;

private:
    struct SavedView {
        bool valid = false;
        double leftMin = 0, leftMax = 0, rightMin = 0, rightMax = 0;
    };
    void saveView();
    bool axisTakesPart(const TScaleAxis& a) const;
    bool axisHasActiveSeries(const TScaleAxis& a) const;
    void layoutAxis(TAxisLayout& out, TScaleAxis& axis, const scale::ScaleMap& map, bool otherSide,
                    const TIntRect& bounds, const ITextMeasure& measure) const;
    double axisStep(const TScaleAxis& axis, const scale::ScaleMap& map, int h) const;
    // Shifts both vertical axes by share x their range, held to their view
    // bounds.
    void shiftView(double share);
    void reserveColumn(TAxisLayout& out, TIntRect& r, int width) const;
    // The label values whose rows show, from the top down.
    std::vector<double> shownLabelValues(const TScaleAxis& axis, const scale::ScaleMap& map, double step,
                                         const TIntRect& bounds) const;
    int autoColumnWidth(const TScaleAxis& axis, const scale::ScaleMap& map, const TIntRect& bounds,
                        const ITextMeasure& measure) const;

    template <class T> void set(T& field, const T& v)
    {
        field = v;
        update();
    }

    int marginLeft_ = 0, marginTop_ = 0, marginRight_ = 0, marginBottom_ = 0;
    TPositionUnits marginUnits_ = TPositionUnits::Pixels;
    QString title_;
    QFont titleFont_;
    QColor titleColor_ = Qt::black;
    QColor backColor_ = Qt::white;
    AfterDrawEvent onAfterDraw_;
    ClickEvent onClick_;
    std::string decimalSeparator_ = ".";
    std::string groupSeparator_ = ",";
    double minViewSpan_ = 0;

    std::unique_ptr<TScaleAxis> left_, right_, bottom_;
    std::vector<std::unique_ptr<TAxisSeries>> series_;
    bool building_ = false;
    TChartLayout layout_;
    SavedView saved_;
    // Text widths and shaped texts kept between paints: from one paint to
    // the next most labels keep their texts.
    TTextCaches texts_;
    THatchTiles hatchTiles_;

    enum class Drag { None, Zoom, Pan };
    Drag drag_ = Drag::None;
    int wheelRemainder_ = 0; // turn below a notch, kept for the next event
    unsigned generation_ = 0;
    QPoint dragStart_, dragLast_;
};
