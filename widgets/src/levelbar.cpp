#include "widgets/levelbar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

#include "numtext/numtext.h"
#include "text/widgetkit.h"

namespace levelbar {

namespace {

QColor orPalette(const QColor& c, const QPalette& palette, QPalette::ColorRole role)
{
    return c.isValid() ? c : palette.color(role);
}

// Appends a frame of width w at r and shrinks r by w.
void addFrame(BevelLayout& b, QRect& r, int w, const QColor& top, const QColor& bottom)
{
    if (w <= 0) return;
    b.frames.push_back(Frame{r, w, top, bottom});
    r.adjust(w, w, -w, -w);
}

void addPart(BevelLayout& b, QRect& r, TBevelOutlineStyle outline, TBevelStyle style, int width,
             const QColor& shadow, const QColor& highlight, int space, const QColor& spaceColor)
{
    if (outline == osOuter) addFrame(b, r, 1, Qt::black, Qt::black);
    if (style == bsLowered) addFrame(b, r, width, shadow, highlight);
    else if (style == bsRaised) addFrame(b, r, width, highlight, shadow);
    if (outline == osInner) addFrame(b, r, 1, Qt::black, Qt::black);
    addFrame(b, r, space, spaceColor, spaceColor);
}

} // namespace

BevelLayout bevelLayout(const QRect& client, const TBarBevel& bevel, const QPalette& palette)
{
    BevelLayout b;
    QRect r = client;
    if (bevel.visible) {
        addFrame(b, r, bevel.borderWidth, bevel.borderColor, bevel.borderColor);
        addPart(b, r, bevel.outerOutline, bevel.outerStyle, bevel.outerWidth,
                orPalette(bevel.outerShadow, palette, QPalette::Dark),
                orPalette(bevel.outerHighlight, palette, QPalette::Light), bevel.outerSpace,
                orPalette(bevel.outerColor, palette, QPalette::Button));
        addPart(b, r, bevel.innerOutline, bevel.innerStyle, bevel.innerWidth,
                orPalette(bevel.innerShadow, palette, QPalette::Dark),
                orPalette(bevel.innerHighlight, palette, QPalette::Light), bevel.innerSpace,
                orPalette(bevel.innerColor, palette, QPalette::Button));
    }
    b.inner = r;
    return b;
}

std::vector<QRgb> gradientColumns(const QColor& start, const QColor& end, int d)
{
    d = std::max(1, d);
    double sum[3] = {double(start.red()), double(start.green()), double(start.blue())};
    const double inc[3] = {(end.red() - sum[0]) / d, (end.green() - sum[1]) / d, (end.blue() - sum[2]) / d};
    auto channel = [](double v) { return static_cast<int>(std::clamp(numtext::roundHalfEven(v), 0.0, 255.0)); };
    std::vector<QRgb> cols;
    cols.reserve(static_cast<size_t>(d));
    for (int i = 0; i < d; ++i) {
        cols.push_back(qRgb(channel(sum[0]), channel(sum[1]), channel(sum[2])));
        for (int k = 0; k < 3; ++k) sum[k] += inc[k];
    }
    return cols;
}

int percentOf(int position, int minValue, int maxValue)
{
    if (maxValue == minValue) return 0;
    return static_cast<int>((static_cast<long long>(position) - minValue) * 100 / (static_cast<long long>(maxValue) - minValue));
}

QRect smoothFillRect(const QRect& inner, int percent)
{
    const int c = static_cast<int>(percent * 0.01 * inner.width());
    const int left = inner.left();
    const int rightEx = inner.left() + inner.width(); // exclusive
    if (left + c <= left + 1) return {};
    const int end = std::min(left + c, rightEx - 1);
    const int top = inner.top() + 1;
    const int bottomEx = inner.top() + inner.height() - 1;
    if (end <= left + 1 || bottomEx <= top) return {};
    return QRect(QPoint(left + 1, top), QPoint(end - 1, bottomEx - 1));
}

} // namespace levelbar

namespace {

// A static text, not a progress bar: a screen reader then speaks the level
// with its unit ("Mic output -72 dBu") instead of a percentage of the range.
// The value interface stays for clients that want the number.
class LevelBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit LevelBarAccessible(TLevelBar* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    TLevelBar* bar() const { return static_cast<TLevelBar*>(widget()); }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return bar()->valueText();
        if (t == QAccessible::Name) {
            const QString name = QAccessibleWidget::text(QAccessible::Name);
            return name.isEmpty() ? bar()->valueText() : name + u' ' + bar()->valueText();
        }
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return bar()->position(); }
    void setCurrentValue(const QVariant&) override {} // display only
    QVariant maximumValue() const override { return bar()->maxValue(); }
    QVariant minimumValue() const override { return bar()->minValue(); }
    QVariant minimumStepSize() const override { return 1; }
};

// Draws a frame as nested rings, each a one-device-pixel line on the outer
// edge of the device pixels its logical ring covers, so that at every scale
// the four sides meet at the corners. The painter draws in device pixels.
void drawFrame(QPainter& p, const QTransform& toDevice, const levelbar::Frame& f)
{
    for (int i = 0; i < f.width; ++i) {
        const QRect ring = f.rect.adjusted(i, i, -i, -i);
        if (ring.width() <= 0 || ring.height() <= 0) break;
        const QRect r = devicePixels(toDevice, ring);
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), f.top);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), f.top);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), f.bottom);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), f.bottom);
    }
}

} // namespace

TLevelBar::TLevelBar(QWidget* parent) : QWidget(parent)
{
    installAccessibleFactory(accessibleFactory<TLevelBar, LevelBarAccessible>);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLevelBar::setPosition(int position)
{
    const int p = std::clamp(position, minValue_, maxValue_);
    const int beyond = position < minValue_ ? -1 : position > maxValue_ ? 1 : 0;
    if (p == position_) {
        if (beyond != beyond_) {
            beyond_ = beyond;
            notifyAccessible();
        }
        return;
    }
    position_ = p;
    beyond_ = beyond;
    if (!loading_ && isVisible()) repaint();
    notifyAccessible();
    emit changed();
}

void TLevelBar::notifyAccessible()
{
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent value(this, position_);
    QAccessible::updateAccessibility(&value);
    QAccessibleEvent name(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}

void TLevelBar::setUnit(const QString& unit)
{
    unit_ = unit;
    notifyAccessible();
}

QString TLevelBar::valueText() const
{
    QString t = QString::number(position_);
    if (!unit_.isEmpty()) t += u' ' + unit_;
    if (beyond_ < 0) t += QStringLiteral(" or less");
    if (beyond_ > 0) t += QStringLiteral(" or more");
    return t;
}

void TLevelBar::setMinValue(int v)
{
    if (v >= maxValue_) return;
    minValue_ = v;
    if (position_ < v) setPosition(v);
    else update();
}

void TLevelBar::setMaxValue(int v)
{
    if (v <= minValue_) return;
    maxValue_ = v;
    if (position_ > v) setPosition(v);
    else update();
}

void TLevelBar::endLoad()
{
    loading_ = false;
    update();
}

void TLevelBar::barChanged()
{
    barDirty_ = true;
    update();
}

void TLevelBar::setStartColor(const QColor& c)
{
    startColor_ = c;
    barChanged();
}

void TLevelBar::setEndColor(const QColor& c)
{
    endColor_ = c;
    barChanged();
}

void TLevelBar::setColor(const QColor& c)
{
    color_ = c;
    update();
}

void TLevelBar::setBevel(const levelbar::TBarBevel& b)
{
    bevel_ = b;
    update();
}

const QImage& TLevelBar::barImage(QSize inner)
{
    const QSize size(std::max(1, inner.width()), std::max(1, inner.height()));
    if (!barDirty_ && bar_.size() == size) return bar_;
    bar_ = QImage(size, QImage::Format_RGB32);
    const auto cols = levelbar::gradientColumns(startColor_, endColor_, size.width());
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bar_.scanLine(y));
        std::copy(cols.begin(), cols.end(), line);
    }
    barDirty_ = false;
    return bar_;
}

void TLevelBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The control is opaque: its colour without alpha, as an RGB32 image holds it.
    p.fillRect(rect(), QColor(color_.rgb()));
    const levelbar::BevelLayout bevel = levelbar::bevelLayout(rect(), bevel_, palette());
    // Frames and fill are placed in device pixels (the same pixels at ratio 1).
    const QTransform toDevice = p.deviceTransform();
    paintInDevicePixels(p);
    for (const levelbar::Frame& f : bevel.frames) drawFrame(p, toDevice, f);
    const QRect inner = bevel.inner;
    const QRect fill = levelbar::smoothFillRect(inner, levelbar::percentOf(position_, minValue_, maxValue_));
    if (!fill.isEmpty()) {
        // The black around the fill is as wide on every side: the fill starts
        // two logical pixels (the innermost ring's and the track's), rounded
        // once, inside the outer edge of the ring around the inner area.
        const int inset = qRound(2 * toDevice.m22());
        QRect target = devicePixels(toDevice, inner.adjusted(-1, -1, 1, 1)).adjusted(inset, inset, -inset, -inset);
        target.setRight(std::min(target.right(), devicePixels(toDevice, fill).right()));
        // The fill's pixels come from the gradient at the same offset: a
        // column's colour depends on its place in the inner area, not on the level.
        if (!target.isEmpty()) p.drawImage(target, barImage(inner.size()), fill.translated(-inner.topLeft()));
    }
}
