#pragma once
// TLevelBar: a horizontal level bar with a bevelled frame and one continuous
// gradient fill from left to right, the only kind the window shows. Frame,
// gradient and fill geometry are computed by the plain functions below; the
// widget paints what they give, keeping only the gradient as an image
// between paints.
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QWidget>

#include <vector>

namespace levelbar {

enum TBevelStyle { bsNone, bsLowered, bsRaised };
enum TBevelOutlineStyle { osOuter, osInner, osNone };

// The frame drawn inside the control's edge. An invalid colour stands for
// the platform's colour: button shadow (QPalette::Dark), button highlight
// (QPalette::Light) or button face (QPalette::Button). The defaults are the
// main window's bar.
struct TBarBevel {
    int borderWidth = 5;
    QColor borderColor = Qt::black;
    TBevelOutlineStyle outerOutline = osNone;
    TBevelStyle outerStyle = bsLowered;
    int outerWidth = 1;
    QColor outerShadow, outerHighlight;
    int outerSpace = 0;
    QColor outerColor;
    TBevelOutlineStyle innerOutline = osNone;
    TBevelStyle innerStyle = bsNone;
    int innerWidth = 1;
    QColor innerShadow, innerHighlight;
    int innerSpace = 0;
    QColor innerColor;
    bool visible = true;
};

// A frame of `width` nested one-pixel rectangles from `rect` inwards, top
// and left edges in `top`, bottom and right edges in `bottom`.
struct Frame {
    QRect rect;
    int width = 0;
    QColor top;
    QColor bottom;
};

struct BevelLayout {
    std::vector<Frame> frames; // in drawing order
    QRect inner;               // what is left inside the frames
};

BevelLayout bevelLayout(const QRect& client, const TBarBevel& bevel, const QPalette& palette);

// The colours of the gradient columns 0 .. d-1 for an inner width d (at
// least 1): running double sums per channel from `start`, growing by
// (end - start) / d per column, rounded half to even and clamped.
std::vector<QRgb> gradientColumns(const QColor& start, const QColor& end, int d);

// (position - min) * 100 / (max - min), truncated; 0 for an empty range.
int percentOf(int position, int minValue, int maxValue);

// The smooth horizontal fill: from inner left + 1 up to (excluding) the
// smaller of inner left + c and inner right - 1, rows inside a one-pixel
// track; empty when c < 2. c = trunc(percent * 0.01 * inner width).
QRect smoothFillRect(const QRect& inner, int percent);

} // namespace levelbar

class TLevelBar : public QWidget {
    Q_OBJECT
public:
    explicit TLevelBar(QWidget* parent = nullptr);

    int position() const { return position_; }
    // Clamped to the range; a new value repaints at once and emits changed().
    void setPosition(int position);

    int minValue() const { return minValue_; }
    // Ignored unless below the maximum; the position follows into the range.
    void setMinValue(int v);
    int maxValue() const { return maxValue_; }
    // Ignored unless above the minimum; the position follows into the range.
    void setMaxValue(int v);

    QColor startColor() const { return startColor_; }
    void setStartColor(const QColor& c);
    QColor endColor() const { return endColor_; }
    void setEndColor(const QColor& c);
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    const levelbar::TBarBevel& bevel() const { return bevel_; }
    void setBevel(const levelbar::TBarBevel& b);

    // The unit a screen reader hears after the position ("dBu"): the bar
    // reads as its accessible name followed by its value text.
    QString unit() const { return unit_; }
    void setUnit(const QString& unit);
    // The position with its unit; at an end of the range, a position that
    // was clamped says so ("-80 dBu or less").
    QString valueText() const;

    // While the window is built no repaint happens.
    void beginLoad() { loading_ = true; }
    void endLoad();

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void barChanged();
    const QImage& barImage(QSize inner);

    void notifyAccessible();

    QString unit_;
    int beyond_ = 0; // -1 / 1: the last position asked for was below / above the range
    int minValue_ = 0;
    int maxValue_ = 100;
    int position_ = 100;
    QColor startColor_{0x00, 0x00, 0x80};
    QColor endColor_{0x00, 0xFF, 0xFF};
    QColor color_{Qt::black};
    levelbar::TBarBevel bevel_;
    bool loading_ = false;
    QImage bar_; // the gradient of the inner area, kept between paints
    bool barDirty_ = true;
};
