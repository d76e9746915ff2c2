#include "chart/scalechart.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "numtext/numtext.h"
#include "chart/canvas.h"
#include "text/widgetkit.h"

namespace {

int roundPixel(double v) { return numtext::roundHalfEvenToInt(v); }

} // namespace

// ---- texts ------------------------------------------------------------------

// Text sizes and shaped texts, kept between paints. A long zoom or pan
// session makes ever new label texts: past kMaxTextEntries they start afresh.
static constexpr int kMaxTextEntries = 4096;

bool TScaleChart::titleShows() const { return titleColor_ != backColor_ || backColor_.alpha() != 255; }

void TScaleChart::drawCachedText(QPainter& painter, const QFont& font, QPoint baselineStart, const QString& text) const
{
    painter.setFont(font);
    if (!texts_.shaped().drawLine(painter, baselineStart, text)) painter.drawText(baselineStart, text);
}

// ---- axis -----------------------------------------------------------------

TScaleAxis::TScaleAxis(TScaleChart* chart, TScaleAxis* master, bool otherSide)
    : otherSide_(otherSide), chart_(chart), master_(master)
{
}

void TScaleAxis::requestRepaint()
{
    if (chart_) chart_->update();
}

void TScaleAxis::setMinimum(double v)
{
    const bool checking = !(chart_ && chart_->isBuilding());
    if (checking && !(v <= maximum_)) throw TAxisRangeError("Axis Minimum Value must be <= Maximum");
    if (v == minimum_) return;
    minimum_ = v;
    requestRepaint();
}

void TScaleAxis::setMaximum(double v)
{
    const bool checking = !(chart_ && chart_->isBuilding());
    if (checking && !(v >= minimum_)) throw TAxisRangeError("Axis Maximum Value must be >= Minimum");
    if (v == maximum_) return;
    maximum_ = v;
    requestRepaint();
}

void TScaleAxis::setMinMax(double mn, double mx)
{
    if (!(mn <= mx)) throw TAxisRangeError("Axis Minimum Value must be <= Maximum");
    if (mn <= maximum_) {
        setMinimum(mn);
        setMaximum(mx);
    } else {
        setMaximum(mx);
        setMinimum(mn);
    }
}

void TScaleAxis::setLabelsFontSize(int points)
{
    labelsFont_.setPointSize(points);
    requestRepaint();
}

void TScaleAxis::setAxisValuesFormat(const QString& pattern)
{
    axisValuesFormat_ = pattern;
    valuesFormat_ = scale::parseAxisNumberFormat(pattern.toStdString());
    requestRepaint();
}

TScaleAxis& TScaleAxis::addSubAxis()
{
    subAxes_.push_back(std::make_unique<TScaleAxis>(chart_, this, otherSide_));
    return *subAxes_.back();
}

void TAxisSeries::repaint()
{
    if (chart_) chart_->update();
}

const TAxisLayout* TChartLayout::find(const TScaleAxis* a) const
{
    for (const TAxisLayout& l : axes)
        if (l.axis == a) return &l;
    return nullptr;
}

// ---- chart ----------------------------------------------------------------

TScaleChart::TScaleChart(QWidget* parent)
    : QWidget(parent),
      left_(std::make_unique<TScaleAxis>(this, nullptr, false)),
      right_(std::make_unique<TScaleAxis>(this, nullptr, true)),
      bottom_(std::make_unique<TScaleAxis>(this, nullptr, false)),
      texts_(this, this, kMaxTextEntries)
{
    bottom_->visible_ = false;
    setMouseTracking(false);
    // The whole area is painted (BackColor first): nothing below shows through.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TScaleChart::~TScaleChart() = default;

TAxisSeries& TScaleChart::addSeries(TScaleAxis& vertAxis, bool active)
{
    series_.push_back(std::make_unique<TAxisSeries>(this, &vertAxis, active));
    return *series_.back();
}

bool TScaleChart::axisHasActiveSeries(const TScaleAxis& a) const
{
    bool anyActive = false;
    for (const auto& s : series_) {
        if (!s->Active) continue;
        anyActive = true;
        if (s->VertAxis == &a) return true;
    }
    return !anyActive;
}

bool TScaleChart::axisTakesPart(const TScaleAxis& a) const
{
    if (a.master_) return a.visible_ && axisTakesPart(*a.master_);
    return a.visible_ && axisHasActiveSeries(a);
}

void TScaleChart::reserveColumn(TAxisLayout& out, TIntRect& r, int width) const
{
    const TScaleAxis& a = *out.axis;
    int edge;
    if (!out.otherSide) {
        r.left = std::min(r.right - 1, r.left + width);
        edge = r.left;
    } else {
        r.right = std::max(r.left + 1, r.right - width);
        edge = r.right;
    }
    int shift = 0;
    if (a.positionPercent_ != 0) {
        shift = a.positionUnits_ == TPositionUnits::Pixels ? roundPixel(a.positionPercent_)
                                                          : roundPixel(a.positionPercent_ * 0.01 * (r.right - r.left));
        if (out.otherSide) shift = -shift;
    }
    out.labelX = edge + shift;
}

double TScaleChart::axisStep(const TScaleAxis& axis, const scale::ScaleMap& map, int h) const
{
    const double step = scale::labelStep(map.min, map.max, map.pixelSize(), h, axis.labelsSeparation_, axis.increment_);
    return axis.minStep_ > 0 ? std::max(step, axis.minStep_) : step;
}

std::vector<double> TScaleChart::shownLabelValues(const TScaleAxis& axis, const scale::ScaleMap& map, double step,
                                                  const TIntRect& bounds) const
{
    // Only the rows inside the control can show a label or a grid line; on
    // the axis's own rows, its ends included only with labelsOnAxis.
    std::vector<double> values =
        scale::labelValuesInRows(map, step, bounds.top, bounds.bottom, axis.roundFirstLabel_ ? 0.0 : map.max);
    std::erase_if(values, [&](double v) {
        const int row = map.row(v);
        return axis.labelsOnAxis_ ? (row < map.startRow || row > map.endRow) : (row <= map.startRow || row >= map.endRow);
    });
    return values;
}

int TScaleChart::autoColumnWidth(const TScaleAxis& axis, const scale::ScaleMap& map, const TIntRect& bounds,
                                 const ITextMeasure& measure) const
{
    const int h = measure.textHeight(axis.labelsFont_);
    const std::vector<double> values = shownLabelValues(axis, map, axisStep(axis, map, h), bounds);
    int widest = 0;
    const std::size_t count = std::min<std::size_t>(values.size(), scale::kMaxWidthSamples);
    for (std::size_t i = 0; i < count; ++i) {
        const QString t = QString::fromStdString(scale::formatAxisValue(values[i], decimalSeparator_, groupSeparator_, axis.valuesFormat_));
        widest = std::max(widest, measure.textWidth(axis.labelsFont_, t));
    }
    return widest + measure.textWidth(axis.labelsFont_, QStringLiteral(" "));
}

void TScaleChart::layoutAxis(TAxisLayout& out, TScaleAxis& axis, const scale::ScaleMap& map, bool otherSide,
                             const TIntRect& bounds, const ITextMeasure& measure) const
{
    out.map = map;
    out.otherSide = otherSide;
    out.h = measure.textHeight(axis.labelsFont_);
    out.step = axisStep(axis, map, out.h);
    const TScaleAxis& owner = axis.master_ ? *axis.master_ : axis;
    if (!axisHasActiveSeries(owner)) return; // no value labels, no grid

    for (double v : shownLabelValues(axis, map, out.step, bounds)) {
        TLabelItem item;
        item.value = v;
        item.row = map.row(v);
        item.engineText = QString::fromStdString(scale::formatAxisValue(v, decimalSeparator_, groupSeparator_, axis.valuesFormat_));
        item.text = item.engineText;
        if (out.showLabels) {
            item.boxWidth = measure.textWidth(axis.labelsFont_, item.engineText);
            item.boxTop = item.row - out.h / 2;
            item.boxLeft = otherSide ? out.labelX : out.labelX - item.boxWidth;
            if (axis.onDrawLabel_) {
                TDrawLabelArgs args;
                args.sender = &axis;
                args.x = out.labelX;
                args.y = item.boxTop;
                args.text = item.text;
                args.value = item.value;
                args.step = out.step;
                axis.onDrawLabel_(args);
                item.text = args.text;
                item.draw = args.drawLabel;
            }
            const int centre = (item.boxLeft + item.boxLeft + item.boxWidth) / 2;
            const int w = measure.textWidth(axis.labelsFont_, item.text);
            item.textX = centre - w / 2;
            item.textRect = TIntRect{item.textX, item.boxTop, item.textX + w, item.boxTop + out.h};
        }
        out.labels.push_back(std::move(item));
    }
}

TChartLayout TScaleChart::computeLayout(const ITextMeasure& measure)
{
    TChartLayout L;
    L.bounds = TIntRect{0, 0, width(), height()};
    // A margin in pixels, or in percent of the control's width or height.
    const auto margin = [this](int m, int extent) {
        return marginUnits_ == TPositionUnits::Pixels ? m : roundPixel(m * 0.01 * extent);
    };
    TIntRect cr = L.bounds;
    cr.left += margin(marginLeft_, width());
    cr.top += margin(marginTop_, height());
    cr.right -= margin(marginRight_, width());
    cr.bottom -= margin(marginBottom_, height());

    if (!title_.isEmpty()) {
        // A title that leaves no pixel changed keeps its strip, the font's
        // height, but is not measured across: its box is empty, at the centre.
        const int h = measure.textHeight(titleFont_);
        const int w = titleShows() ? measure.textWidth(titleFont_, title_) : 0;
        const double centre = (cr.left + cr.right) / 2.0;
        const int left = roundPixel(std::max(centre - w / 2.0, 0.02 * width()));
        L.titleBox = TIntRect{left, cr.top, left + w, cr.top + h};
        L.titleText = title_;
        cr.top = L.titleBox.bottom + 5;
    }

    // Label columns, left side then right side: sub-axes outermost first.
    TIntRect r = cr;
    struct Pending {
        TScaleAxis* axis;
        TScaleAxis* master;
    };
    std::vector<Pending> order;
    for (TScaleAxis* main : {left_.get(), right_.get()}) {
        if (!axisTakesPart(*main)) continue;
        for (auto& sub : main->subAxes_)
            if (axisTakesPart(*sub)) order.push_back({sub.get(), main});
        order.push_back({main, main});
    }
    std::vector<TAxisLayout> columns;
    for (const Pending& p : order) {
        TAxisLayout a;
        a.axis = p.axis;
        a.takesPart = true;
        a.otherSide = p.master->otherSide_;
        a.showLabels = p.axis->labels_ && axisHasActiveSeries(*p.master);
        if (a.showLabels) {
            int w = p.axis->labelsSize_;
            if (w == 0) {
                // The range this paint gives it, over the rows already fixed.
                const scale::ScaleMap m{p.master->minimum_, p.master->maximum_, cr.top, cr.bottom};
                w = autoColumnWidth(*p.axis, m, L.bounds, measure);
            }
            reserveColumn(a, r, w);
        }
        columns.push_back(std::move(a));
    }
    cr.left = r.left;
    cr.right = r.right;
    L.chartRect = cr;

    // Rows and labels; drawing order is left axis, its sub-axes, right, its sub-axes.
    for (TScaleAxis* main : {left_.get(), right_.get()}) {
        const scale::ScaleMap m{main->minimum_, main->maximum_, cr.top, cr.bottom};
        // Lays out an axis that has a column; false for one that takes no part.
        auto lay = [&](TScaleAxis* axis) {
            auto it = std::find_if(columns.begin(), columns.end(), [&](const TAxisLayout& c) { return c.axis == axis; });
            if (it == columns.end()) return false;
            layoutAxis(*it, *axis, m, main->otherSide_, L.bounds, measure);
            L.axes.push_back(*it);
            return true;
        };
        if (!lay(main)) continue;
        for (auto& sub : main->subAxes_) lay(sub.get());
    }

    // A label is drawn only inside the control, clear of the areas kept
    // out and of the labels drawn before it. Rectangles are kept by bands
    // of rows, so each label is held against its neighbours only.
    const int band = std::max(32, L.bounds.height() / 1024 + 1); // rows a band, at most about 1024 bands
    const int bands = std::max(1, (L.bounds.height() + band - 1) / band);
    std::vector<std::vector<TIntRect>> taken(static_cast<std::size_t>(bands));
    auto bandsOf = [&](const TIntRect& r) {
        const int first = std::clamp((r.top - L.bounds.top) / band, 0, bands - 1);
        const int last = std::clamp((std::max(r.top, r.bottom - 1) - L.bounds.top) / band, 0, bands - 1);
        return std::pair<std::size_t, std::size_t>(static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    };
    auto take = [&](const TIntRect& r) {
        const auto [first, last] = bandsOf(r);
        for (std::size_t b = first; b <= last; ++b) taken[b].push_back(r);
    };
    for (const TIntRect& r : labelKeepOut(measure)) take(r);
    for (TAxisLayout& a : L.axes) {
        if (!a.showLabels) continue;
        for (TLabelItem& item : a.labels) {
            if (!item.draw) continue;
            const TIntRect& t = item.textRect;
            bool clear = L.bounds.contains(t);
            if (clear) {
                const auto [first, last] = bandsOf(t);
                for (std::size_t b = first; clear && b <= last; ++b)
                    clear = std::none_of(taken[b].begin(), taken[b].end(),
                                         [&](const TIntRect& o) { return o.intersects(t); });
            }
            if (clear)
                take(t);
            else
                item.draw = false;
        }
    }
    return L;
}

void TScaleChart::applyLayout(TChartLayout layout)
{
    layout_ = std::move(layout);
    layout_.generation = ++generation_;
    for (TScaleAxis* main : {left_.get(), right_.get()}) {
        // Every axis keeps its range and rows, taking part or not, and every
        // sub-axis its master's.
        const scale::ScaleMap m{main->minimum_, main->maximum_, layout_.chartRect.top, layout_.chartRect.bottom};
        const TAxisLayout* al = layout_.find(main);
        main->map_ = al ? al->map : m;
        main->posLabels_ = al ? al->labelX : 0;
        for (auto& sub : main->subAxes_) {
            const TAxisLayout* sl = layout_.find(sub.get());
            sub->map_ = main->map_;
            sub->posLabels_ = sl ? sl->labelX : 0;
        }
    }
}

void TScaleChart::layoutNow()
{
    texts_.check(logicalDpiX(), logicalDpiY());
    applyLayout(computeLayout(texts_.measure()));
}

void TScaleChart::drawLayout(QPainter& p, const TChartLayout& L) const
{
    p.fillRect(rect(), backColor_);
    p.setBackgroundMode(Qt::TransparentMode);
    // A title in the opaque background's own colour leaves no pixel changed:
    // it keeps its place in the layout but is not drawn (nor its face loaded
    // for drawing).
    if (!L.titleText.isEmpty() && titleShows()) {
        p.setPen(titleColor_);
        const QPoint baseline(L.titleBox.left, L.titleBox.top + texts_.measure().ascent(titleFont_));
        drawCachedText(p, titleFont_, baseline, L.titleText);
    }
    for (const TAxisLayout& a : L.axes) {
        const TScaleAxis& axis = *a.axis;
        const bool onePixel = axis.grid_.width <= 1;
        if (axis.grid_.visible && onePixel && paintedRatio(p) == 1.0 && p.worldTransform().isIdentity()) {
            // At ratio 1 the cosmetic pen's row, filled as one span where the
            // stroker hands over one span per pixel (and a translucent colour
            // wakes the paint thread pool).
            const QColor colour = colorFromBgr(axis.grid_.color);
            const int x1 = std::min(L.chartRect.left + 1, L.chartRect.right - 1);
            const int x2 = std::max(L.chartRect.left + 1, L.chartRect.right - 1);
            for (const TLabelItem& item : a.labels) p.fillRect(x1, item.row, x2 - x1 + 1, 1, colour);
        } else if (axis.grid_.visible) {
            // Width 0 and 1: a cosmetic pen, one device pixel at any scale.
            p.setPen(QPen(colorFromBgr(axis.grid_.color), onePixel ? 0 : axis.grid_.width));
            for (const TLabelItem& item : a.labels)
                p.drawLine(L.chartRect.left + 1, item.row, L.chartRect.right - 1, item.row);
        }
        if (!a.showLabels) continue;
        p.setPen(axis.labelsColor_);
        const int ascent = texts_.measure().ascent(axis.labelsFont_);
        for (const TLabelItem& item : a.labels)
            if (item.draw) drawCachedText(p, axis.labelsFont_, QPoint(item.textX, item.boxTop + ascent), item.text);
    }
}

void TScaleChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    layoutNow();
    drawLayout(p, layout_);
    TCanvas canvas(p, &hatchTiles_);
    if (onAfterDraw_) onAfterDraw_(this, canvas);
    // The zoom rectangle and, while the chart has the keyboard focus, the
    // focus frame: white dots (QWidget repaints on focus changes).
    if (drag_ == Drag::Zoom) drawDottedRect(p, QRect(dragStart_, dragLast_).normalized(), Qt::white);
    if (hasFocus()) drawFocusFrame(p, rect(), Qt::white);
}

// ---- zoom and pan -----------------------------------------------------------

void TScaleChart::saveView()
{
    if (saved_.valid) return;
    saved_ = SavedView{true, left_->minimum_, left_->maximum_, right_->minimum_, right_->maximum_};
}

void TScaleChart::zoomRows(int y1, int y2)
{
    const int upper = std::min(y1, y2), lower = std::max(y1, y2);
    saveView();
    for (TScaleAxis* a : {left_.get(), right_.get()}) {
        if (a->map_.pixelSize() <= 0) continue;
        double mn = a->map_.value(lower), mx = a->map_.value(upper);
        if (!(std::isfinite(mn) && std::isfinite(mx) && mn <= mx)) continue;
        if (mx - mn < minViewSpan_) {
            const double centre = (mn + mx) / 2;
            mn = centre - minViewSpan_ / 2;
            mx = centre + minViewSpan_ / 2;
        }
        a->setMinMax(mn, mx);
    }
    shiftView(0); // a widened range may reach past a view bound
    viewChanged();
    update();
}

void TScaleChart::shiftView(double share)
{
    // The share every axis can move by without passing its bounds; an axis
    // already past a bound is brought back inside.
    double allowed = share;
    for (TScaleAxis* a : {left_.get(), right_.get()}) {
        const double range = a->maximum_ - a->minimum_;
        if (!(range > 0) || !std::isfinite(range)) continue;
        if (range > a->viewMax_ - a->viewMin_) continue; // wider than its bounds: not held
        const double lo = (a->viewMin_ - a->minimum_) / range, hi = (a->viewMax_ - a->maximum_) / range;
        allowed = std::clamp(allowed, lo, hi);
    }
    if (allowed == 0 || !std::isfinite(allowed)) return;
    for (TScaleAxis* a : {left_.get(), right_.get()}) {
        const double delta = allowed * (a->maximum_ - a->minimum_);
        if (std::isfinite(delta)) a->setMinMax(a->minimum_ + delta, a->maximum_ + delta);
    }
}

void TScaleChart::panRows(int fromY, int toY)
{
    if (fromY == toY) return;
    saveView();
    // The value under the pointer follows it: a move down raises the range.
    // Both axes span their rows alike, so one share of the range moves both.
    const TScaleAxis* a = left_->map_.pixelSize() > 0 ? left_.get() : right_.get();
    const int px = a->map_.pixelSize();
    if (px <= 0) return;
    shiftView(static_cast<double>(toY - fromY) / px);
    viewChanged();
    update();
}

void TScaleChart::wheelStep(int notches)
{
    if (notches == 0) return;
    saveView();
    shiftView(notches * kWheelShare);
    viewChanged();
    update();
}

void TScaleChart::restoreView()
{
    if (!saved_.valid) return;
    saved_.valid = false;
    left_->setMinMax(saved_.leftMin, saved_.leftMax);
    right_->setMinMax(saved_.rightMin, saved_.rightMax);
    viewChanged();
    update();
}

void TScaleChart::mousePressEvent(QMouseEvent* e)
{
    if (drag_ != Drag::None) return;
    if (e->button() == Qt::LeftButton)
        drag_ = Drag::Zoom;
    else if (e->button() == Qt::RightButton)
        drag_ = Drag::Pan;
    else
        return;
    dragStart_ = dragLast_ = e->position().toPoint();
    e->accept();
}

void TScaleChart::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (drag_ == Drag::Pan) {
        panRows(dragLast_.y(), pos.y());
        dragLast_ = pos;
    } else if (drag_ == Drag::Zoom) {
        dragLast_ = pos;
        update();
    }
}

void TScaleChart::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (drag_ == Drag::Zoom && e->button() == Qt::LeftButton) {
        drag_ = Drag::None;
        const QPoint d = pos - dragStart_;
        if (std::abs(d.x()) > kZoomMinDrag && std::abs(d.y()) > kZoomMinDrag) {
            if (d.x() > 0)
                zoomRows(dragStart_.y(), pos.y());
            else
                restoreView();
        } else if (onClick_ && rect().contains(pos)) {
            onClick_(this);
        }
        update();
    } else if (drag_ == Drag::Pan && e->button() == Qt::RightButton) {
        panRows(dragLast_.y(), pos.y());
        drag_ = Drag::None;
    }
}

void TScaleChart::wheelEvent(QWheelEvent* e)
{
    // Partial turns (touchpads, high-resolution wheels) add up: one step
    // per 120 units, the rest kept for the next event.
    wheelRemainder_ += e->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches != 0) wheelStep(notches);
    e->accept();
}
