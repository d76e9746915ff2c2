#include "chart/canvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>

#include "text/fonts.h"
#include "text/textmeasure.h"
#include "text/widgetkit.h"

QColor colorFromBgr(std::uint32_t bgr)
{
    const int r = static_cast<int>(bgr & 0xFF);
    const int g = static_cast<int>((bgr >> 8) & 0xFF);
    const int b = static_cast<int>((bgr >> 16) & 0xFF);
    const int alpha = 255 - static_cast<int>((bgr >> 24) & 0xFF);
    return QColor(r, g, b, alpha);
}


const QPixmap& THatchTiles::tile(QColor lines, QColor background)
{
    const std::pair<QRgb, QRgb> key{lines.rgba(), background.rgba()};
    for (const auto& [k, pixmap] : tiles_)
        if (k == key) return pixmap;
    // The brush's own pattern, drawn once with its origin at the tile's
    // corner. Both colours are opaque: a tile without an alpha channel is
    // copied row by row instead of blended pixel by pixel.
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
    if (d != QPoint(0, 0)) {
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
    // pixels included, so a broken pen shows the fill in its gaps. A hatch
    // is filled in opaque mode: its lines over its background in one pass,
    // and the pen's gaps over it take the hatch background.
    applyBrush();
    const QRect area(x1, y1, x2 - x1, y2 - y1);
    if (brushStyle_ == BrushStyle::BDiagonal && tiles_ && brushColor_.alpha() == 255
        && hatchBackground_.alpha() == 255 && p_.worldTransform().isIdentity()
        && paintedRatio(p_) == 1.0) {
        const QPoint origin = p_.brushOrigin();
        const QPoint phase(((area.x() - origin.x()) % 8 + 8) % 8, ((area.y() - origin.y()) % 8 + 8) % 8);
        p_.drawTiledPixmap(area, tiles_->tile(brushColor_, hatchBackground_), phase);
    } else {
        p_.fillRect(area, p_.brush());
    }
    // A one-pixel outline lies on the fill's outermost device pixels at any
    // scale; a wider pen draws the rectangle x1 .. x2 - 1 (an outlined QRect
    // covers width + 1 pixels).
    p_.setBrush(Qt::NoBrush);
    applyPen();
    if (penWidth_ <= 1) drawDeviceOutline(p_, area);
    else p_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
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
