#pragma once
// A drawing surface with a current pen, brush and font that keep their
// settings between calls, as the overlay painters expect. Coordinates are
// whole pixels; a line leaves out its end point and a rectangle covers its
// corners' span without the right and bottom edges, so that shapes that
// share an edge do not overlap. A rectangle is filled up to its outline.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

// Colour of a 0xTTBBGGRR number: blue-green-red, the high byte a
// transparency (alpha = 255 - it).
QColor colorFromBgr(std::uint32_t bgr);

// 8 x 8 tiles of the backward-diagonal hatch, one per pair of opaque
// colours, kept between paints: at device pixel ratio 1 a tile copied over
// an area gives the same pixels as the hatch brush, in a fraction of the
// time. Other ratios use the brush.
class THatchTiles {
public:
    // Wide enough to copy a row of a zone in a few pieces; a multiple of the
    // pattern's 8 pixels.
    static constexpr int kTileWidth = 256;

    const QPixmap& tile(QColor lines, QColor background);

private:
    std::vector<std::pair<std::pair<QRgb, QRgb>, QPixmap>> tiles_;
};

class TCanvas {
public:
    enum class PenStyle { Solid, Dash, Dot, DashDot };
    enum class BrushStyle { Solid, BDiagonal };

    // With tiles, opaque hatches at device pixel ratio 1 are copied from them.
    explicit TCanvas(QPainter& painter, THatchTiles* tiles = nullptr);

    // Pen black, width 1, solid; brush white, solid; font black, regular,
    // Arial 8; text background transparent.
    void reset();

    void setPen(QColor color, int width = 1, PenStyle style = PenStyle::Solid);
    void setPenColor(QColor c) { penColor_ = c; }
    void setPenStyle(PenStyle s) { penStyle_ = s; }
    void setPenWidth(int w) { penWidth_ = w; }
    // A hatched brush draws its lines in color over hatchBackground.
    void setBrush(QColor color, BrushStyle style = BrushStyle::Solid, QColor hatchBackground = Qt::white);
    void setFontColor(QColor c) { fontColor_ = c; }
    QColor fontColor() const { return fontColor_; }
    void setFontSize(int points) { font_.setPointSize(points); }
    void setFontBold(bool bold) { font_.setBold(bold); }
    void setFont(const QFont& f) { font_ = f; }
    const QFont& font() const { return font_; }

    void moveTo(int x, int y) { cur_ = QPoint(x, y); }
    void lineTo(int x, int y);
    // Filled with the brush and outlined with the pen; corners in any order.
    void rectangle(int x1, int y1, int x2, int y2);
    void polygon(const std::vector<QPoint>& points);
    // Text placed by its top-left corner, on a transparent background.
    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;

    QPainter& painter() { return p_; }

private:
    void applyPen();
    void applyBrush();
    QPainter& p_;
    THatchTiles* tiles_;
    QColor penColor_;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    QColor brushColor_;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QColor hatchBackground_;
    QColor fontColor_;
    QFont font_;
    QPoint cur_;
};
