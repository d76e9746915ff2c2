#include "diagram/canvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <string_view>

QColor colorFromBgr(std::uint32_t bgr)
{
    const int r = static_cast<int>(bgr & 0xFF);
    const int g = static_cast<int>((bgr >> 8) & 0xFF);
    const int b = static_cast<int>((bgr >> 16) & 0xFF);
    const int alpha = 255 - static_cast<int>((bgr >> 24) & 0xFF);
    return QColor(r, g, b, alpha);
}

QFont overlayFont(int points, bool bold)
{
    QFont f(QStringLiteral("Arial"), 8);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

const QPixmap& THatchTiles::tile(QColor lines, QColor background)
{
    const std::pair<QRgb, QRgb> key{lines.rgba(), background.rgba()};
    for (const auto& [k, pixmap] : tiles_)
        if (k == key) return pixmap;
    // The brush's own pattern, drawn once with its origin at the tile's
    // corner. Both colours are opaque: without an alpha channel a tile is
    // copied row by row instead of blended pixel by pixel, and a wide tile
    // copies a whole row of the area in a few calls.
    QImage image(kTileWidth, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    p.fillRect(image.rect(), QBrush(lines, Qt::BDiagPattern));
    p.end();
    image.convertTo(QImage::Format_RGB32);
    tiles_.emplace_back(key, QPixmap::fromImage(std::move(image)));
    return tiles_.back().second;
}

TCanvas::TCanvas(QPainter& painter, THatchTiles* tiles) : p_(painter), tiles_(tiles) { reset(); }

void TCanvas::reset()
{
    penColor_ = Qt::black;
    penWidth_ = 1;
    penStyle_ = PenStyle::Solid;
    brushColor_ = Qt::white;
    brushStyle_ = BrushStyle::Solid;
    hatchBackground_ = Qt::white;
    fontColor_ = Qt::black;
    font_ = overlayFont(8, false);
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setBackgroundMode(Qt::TransparentMode);
}

void TCanvas::setPen(QColor color, int width, PenStyle style)
{
    penColor_ = color;
    penWidth_ = width;
    penStyle_ = style;
}

void TCanvas::setBrush(QColor color, BrushStyle style, QColor hatchBackground)
{
    brushColor_ = color;
    brushStyle_ = style;
    hatchBackground_ = hatchBackground;
}

void TCanvas::applyPen()
{
    Qt::PenStyle s = Qt::SolidLine;
    switch (penStyle_) {
    case PenStyle::Solid: s = Qt::SolidLine; break;
    case PenStyle::Dash: s = Qt::DashLine; break;
    case PenStyle::Dot: s = Qt::DotLine; break;
    case PenStyle::DashDot: s = Qt::DashDotLine; break;
    }
    // Width 0 and 1 both draw one pixel wide.
    QPen pen(penColor_, std::max(penWidth_, 1), s, Qt::FlatCap, Qt::MiterJoin);
    if (penWidth_ <= 1) pen.setCosmetic(true);
    p_.setPen(pen);
}

void TCanvas::applyBrush()
{
    if (brushStyle_ == BrushStyle::BDiagonal) {
        p_.setBrush(QBrush(brushColor_, Qt::BDiagPattern));
        p_.setBackground(QBrush(hatchBackground_));
        p_.setBackgroundMode(Qt::OpaqueMode);
    } else {
        p_.setBrush(QBrush(brushColor_, Qt::SolidPattern));
        p_.setBackgroundMode(Qt::TransparentMode);
    }
}

namespace {

// The on and off pixels of Qt's broken one-pixel pens over one period:
// dash 4 on 2 off, dot 1 on 2 off, dash-dot 4 on 2 off 1 on 2 off, counted
// from where the stroker starts them.
std::string_view dashPattern(TCanvas::PenStyle style)
{
    switch (style) {
    case TCanvas::PenStyle::Solid: return "1";
    case TCanvas::PenStyle::Dash: return "111100";
    case TCanvas::PenStyle::Dot: return "100";
    case TCanvas::PenStyle::DashDot: return "111100100";
    }
    return "1";
}

} // namespace

bool TCanvas::onePixelPen() const
{
    return penWidth_ <= 1 && penColor_.alpha() == 255 && !p_.testRenderHint(QPainter::Antialiasing)
           && p_.worldTransform().isIdentity() && p_.compositionMode() == QPainter::CompositionMode_SourceOver;
}

bool TCanvas::onDevice(const QRect& r) const
{
    return QRect(0, 0, p_.device()->width(), p_.device()->height()).contains(r);
}

void TCanvas::penRun(QPoint start, int n, bool vertical, long long firstIndex, int step, QRgb gap)
{
    // The stroker restarts a broken pen where a line enters the device, but
    // not where it enters the clip: runs are laid out only when they lie on
    // the device, and then only the part in the clip is drawn, each pixel at
    // its place in the pattern.
    if (n <= 0) return;
    if (p_.hasClipping()) {
        const QRect clip = p_.clipBoundingRect().toAlignedRect();
        const int along = vertical ? start.y() : start.x(), across = vertical ? start.x() : start.y();
        const int lo = vertical ? clip.top() : clip.left(), hi = vertical ? clip.bottom() : clip.right();
        if (across < (vertical ? clip.left() : clip.top()) || across > (vertical ? clip.right() : clip.bottom())) return;
        const int first = std::max(along, lo), last = std::min(along + n - 1, hi);
        if (first > last) return;
        firstIndex += static_cast<long long>(step) * (first - along);
        n = last - first + 1;
        start = vertical ? QPoint(start.x(), first) : QPoint(first, start.y());
    }
    const int length = n;
    if (penStyle_ == PenStyle::Solid) {
        p_.fillRect(QRect(start, vertical ? QSize(1, length) : QSize(length, 1)), penColor_);
        return;
    }
    // The run's pixels as an image: the pen where the pattern is on, the gap
    // colour (or nothing) where it is off; one image draw instead of the
    // stroker's one span per dash.
    const QRgb on = penColor_.rgba();
    const std::string_view pattern = dashPattern(penStyle_);
    const int period = static_cast<int>(pattern.size());
    run_.resize(static_cast<std::size_t>(length));
    int index = static_cast<int>((firstIndex % period + period) % period);
    for (QRgb& px : run_) {
        px = pattern[static_cast<std::size_t>(index)] == '1' ? on : gap;
        index += step;
        if (index == period) index = 0;
        else if (index < 0) index = period - 1;
    }
    const bool opaque = qAlpha(gap) == 255;
    const QImage image(reinterpret_cast<const uchar*>(run_.data()), vertical ? 1 : length, vertical ? length : 1,
                       vertical ? 4 : 4 * length, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    p_.drawImage(start, image);
}

void TCanvas::lineTo(int x, int y)
{
    // The end point is left out; broken pens keep their gaps see-through.
    p_.setBackgroundMode(Qt::TransparentMode);
    QPoint end(x, y);
    const QPoint d = end - cur_;
    if (d.y() == 0 && d.x() != 0)
        end.rx() -= d.x() > 0 ? 1 : -1;
    else if (d.x() == 0 && d.y() != 0)
        end.ry() -= d.y() > 0 ? 1 : -1;
    const QPoint e = end - cur_;
    // Level and upright lines on the device drawn as the cosmetic stroker
    // draws them: of the two end points the one further right or down is
    // left out, and the pattern starts at the first pixel drawn from cur_.
    const QRect span(QPoint(std::min(cur_.x(), end.x()), std::min(cur_.y(), end.y())),
                     QPoint(std::max(cur_.x(), end.x()), std::max(cur_.y(), end.y())));
    if ((e.x() == 0) != (e.y() == 0) && onePixelPen() && onDevice(span)) {
        const bool vertical = e.x() == 0;
        const int n = (vertical ? span.height() : span.width()) - 1;
        if ((vertical ? end.y() : end.x()) > (vertical ? cur_.y() : cur_.x()))
            penRun(cur_, n, vertical, 0, 1, 0);
        else
            penRun(vertical ? QPoint(cur_.x(), end.y()) : QPoint(end.x(), cur_.y()), n, vertical, n - 1, -1, 0);
    } else if (d != QPoint(0, 0)) {
        applyPen();
        p_.drawLine(cur_, end);
    }
    cur_ = QPoint(x, y);
}

void TCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    // The fill covers x1 .. x2 - 1 and y1 .. y2 - 1, the outline's own
    // pixels included, so a broken pen shows the fill in its gaps.
    // A hatch is filled in opaque mode: its lines over its background in one pass.
    const QRect area(x1, y1, x2 - x1, y2 - y1);
    applyBrush();
    if (brushStyle_ == BrushStyle::BDiagonal && tiles_ && brushColor_.alpha() == 255
        && hatchBackground_.alpha() == 255 && p_.worldTransform().isIdentity()) {
        // Opaque lines over an opaque background: every pixel is one of the
        // two colours, so a copy of the tile in the brush's phase is exact.
        const QPoint origin = p_.brushOrigin();
        const QPoint phase(((area.x() - origin.x()) % 8 + 8) % 8, ((area.y() - origin.y()) % 8 + 8) % 8);
        p_.drawTiledPixmap(area, tiles_->tile(brushColor_, hatchBackground_), phase);
    } else {
        p_.fillRect(area, p_.brush());
    }
    // An outlined QRect covers width + 1 pixels: this spans x1 .. x2 - 1.
    // Over a hatch the pen's gaps take the hatch background, as before.
    p_.setBrush(Qt::NoBrush);
    const int w = x2 - x1 - 1, h = y2 - y1 - 1;
    const bool opaqueGaps = p_.backgroundMode() == Qt::OpaqueMode;
    const QColor gap = opaqueGaps ? p_.background().color() : QColor(Qt::transparent);
    if (w >= 1 && h >= 1 && onePixelPen() && (!opaqueGaps || gap.alpha() == 255)
        && onDevice(QRect(x1, y1, w + 1, h + 1))) {
        // The outline as the cosmetic stroker draws a closed rectangle: the
        // pattern runs clockwise from the pixel right of the top-left
        // corner, and the corner itself comes last.
        const QRgb g = opaqueGaps ? gap.rgba() : 0;
        penRun(QPoint(x1 + 1, y1), w - 1, false, 0, 1, g);
        penRun(QPoint(x1 + w, y1), h, true, w - 1, 1, g);
        penRun(QPoint(x1 + 1, y1 + h), w, false, 2LL * w + h - 2, -1, g);
        penRun(QPoint(x1, y1), h + 1, true, 2LL * w + 2LL * h - 1, -1, g);
    } else {
        applyPen();
        p_.drawRect(QRect(x1, y1, w, h));
    }
    p_.setBackgroundMode(Qt::TransparentMode);
}

void TCanvas::polygon(const std::vector<QPoint>& points)
{
    applyBrush();
    applyPen();
    p_.drawPolygon(QPolygon(QList<QPoint>(points.begin(), points.end())));
    p_.setBackgroundMode(Qt::TransparentMode);
}

void TCanvas::textOut(int x, int y, const QString& text)
{
    p_.setBackgroundMode(Qt::TransparentMode);
    p_.setFont(font_);
    p_.setPen(QPen(fontColor_));
    const QFontMetrics fm(font_, p_.device());
    p_.drawText(QPoint(x, y + fm.ascent()), text);
}

int TCanvas::textWidth(const QString& text) const
{
    return QFontMetrics(font_, p_.device()).horizontalAdvance(text);
}

int TCanvas::textHeight(const QString&) const { return QFontMetrics(font_, p_.device()).height(); }
