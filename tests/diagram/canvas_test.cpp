// The canvas lays out one-pixel lines and outlines itself and copies hatches
// from kept tiles: every pixel must be what QPainter's own stroker and
// pattern brush give for the same call.
#include "diagram/canvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using PS = TCanvas::PenStyle;
using BS = TCanvas::BrushStyle;

// A background that differs at every pixel, so that a gap painted over, or a
// pixel moved by one, shows.
QImage noisyImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb((x * 37) & 255, (y * 53) & 255, ((x + y) * 11) & 255));
    return image;
}

QPen stylePen(QColor c, PS s)
{
    static constexpr Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    QPen pen(c, 1, styles[static_cast<int>(s)], Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

// The first differing pixel, or "" when the images are equal.
std::string firstDifference(const QImage& a, const QImage& b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return "pixel " + std::to_string(x) + "," + std::to_string(y);
    return {};
}

constexpr PS kStyles[] = {PS::Solid, PS::Dash, PS::Dot, PS::DashDot};
const QColor kPen(20, 200, 90);

} // namespace

// Lines in all four directions and every length up to a few patterns: the
// end point left out, then drawn as QPainter draws the shortened line.
TEST(Canvas, LevelAndUprightLinesMatchTheStroker)
{
    for (PS style : kStyles)
        for (int dir = 0; dir < 4; ++dir)
            for (int len = 1; len <= 40; ++len) {
                const QPoint from(45, 45);
                const QPoint step[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                const QPoint to = from + step[dir] * len;
                QImage got = noisyImage(91, 91), want = got;
                {
                    QPainter p(&got);
                    TCanvas c(p);
                    c.setPen(kPen, 1, style);
                    c.moveTo(from.x(), from.y());
                    c.lineTo(to.x(), to.y());
                }
                {
                    QPainter p(&want);
                    p.setPen(stylePen(kPen, style));
                    p.drawLine(from, to - step[dir]);
                }
                ASSERT_EQ(firstDifference(got, want), "")
                    << "style " << static_cast<int>(style) << " direction " << dir << " length " << len;
            }
}

// Outlines of every small size over a solid fill and over a hatch (whose
// background shows in the pen's gaps), with the hatch in every phase, and
// zones wider than a kept tile.
TEST(Canvas, RectanglesMatchTheStrokerAndTheHatchBrush)
{
    THatchTiles tiles;
    std::vector<int> widths;
    for (int w = 1; w <= 20; ++w) widths.push_back(w);
    widths.insert(widths.end(), {THatchTiles::kTileWidth - 3, 2 * THatchTiles::kTileWidth + 5});
    for (PS style : kStyles)
        for (BS brush : {BS::Solid, BS::BDiagonal})
            for (int w : widths)
                for (int h = 1; h <= 20; h += (h < 12 ? 1 : 7)) {
                    const int x1 = 3 + w % 8, y1 = 5 + h % 8;
                    const QColor fill(200, 30, 40), hatchBack(90, 90, 200);
                    QImage got = noisyImage(x1 + w + 4, 40), want = got;
                    {
                        QPainter p(&got);
                        TCanvas c(p, &tiles);
                        c.setPen(kPen, 1, style);
                        c.setBrush(fill, brush, hatchBack);
                        c.rectangle(x1 + w, y1 + h, x1, y1); // corners in any order
                    }
                    {
                        QPainter p(&want);
                        if (brush == BS::BDiagonal) {
                            p.setBackground(hatchBack);
                            p.setBackgroundMode(Qt::OpaqueMode);
                            p.fillRect(QRect(x1, y1, w, h), QBrush(fill, Qt::BDiagPattern));
                        } else {
                            p.fillRect(QRect(x1, y1, w, h), fill);
                        }
                        p.setPen(stylePen(kPen, style));
                        p.setBrush(Qt::NoBrush);
                        p.drawRect(QRect(x1, y1, w - 1, h - 1));
                    }
                    ASSERT_EQ(firstDifference(got, want), "") << "style " << static_cast<int>(style) << " brush "
                                                              << static_cast<int>(brush) << " size " << w << "x" << h;
                }
}

// A translucent pen has no exact copy of its own: it is left to QPainter,
// which blends it once per pixel, corners included.
TEST(Canvas, TranslucentPenBlendsOncePerPixel)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        TCanvas c(p);
        c.setPen(QColor(255, 255, 255, 128), 1, PS::Solid);
        c.setBrush(Qt::black);
        c.rectangle(2, 2, 12, 12);
    }
    const QRgb corner = image.pixel(2, 2);
    EXPECT_EQ(image.pixel(11, 2), corner);
    EXPECT_EQ(image.pixel(2, 11), corner);
    EXPECT_EQ(image.pixel(6, 2), corner);
    EXPECT_GT(qRed(corner), 100);
    EXPECT_LT(qRed(corner), 160);
}

// A paint event's clip cuts a line without moving its pattern; a line or an
// outline that runs off the device (a zoomed view's zones reach far outside)
// is left to the stroker, which starts the pattern afresh at the device's
// edge, and costs no more than what shows.
TEST(Canvas, ClippedAndOffDeviceLinesMatchTheStroker)
{
    const QRect clips[] = {QRect(20, 0, 70, 91), QRect(0, 33, 91, 20), QRect(47, 47, 3, 3)};
    for (PS style : kStyles)
        for (const QRect& clip : clips)
            for (int dir = 0; dir < 4; ++dir) {
                const QPoint from(10, 45), to(80, 45), up(45, 10), down(45, 80);
                const QPoint ends[4][2] = {{from, to}, {to, from}, {up, down}, {down, up}};
                QImage got = noisyImage(91, 91), want = got;
                const QPoint a = ends[dir][0], b = ends[dir][1];
                const QPoint shortened = b - (b - a) / std::max(std::abs((b - a).x()), std::abs((b - a).y()));
                {
                    QPainter p(&got);
                    p.setClipRect(clip);
                    TCanvas c(p);
                    c.setPen(kPen, 1, style);
                    c.moveTo(a.x(), a.y());
                    c.lineTo(b.x(), b.y());
                }
                {
                    QPainter p(&want);
                    p.setClipRect(clip);
                    p.setPen(stylePen(kPen, style));
                    p.drawLine(a, shortened);
                }
                ASSERT_EQ(firstDifference(got, want), "") << "style " << static_cast<int>(style) << " direction " << dir;
            }
    THatchTiles tiles;
    for (PS style : kStyles) {
        const int far = 1'000'000'000; // beyond any row a scale gives
        QImage got = noisyImage(60, 60), want = got;
        {
            QPainter p(&got);
            TCanvas c(p, &tiles);
            c.setPen(kPen, 1, style);
            c.moveTo(-far, 20);
            c.lineTo(far, 20);
            c.moveTo(30, far);
            c.lineTo(30, -far);
            c.setBrush(QColor(200, 30, 40), BS::BDiagonal, QColor(90, 90, 200));
            c.rectangle(10, -far, 50, 40);
        }
        {
            QPainter p(&want);
            p.setPen(stylePen(kPen, style));
            p.drawLine(QPoint(-far, 20), QPoint(far - 1, 20));
            p.drawLine(QPoint(30, far), QPoint(30, -far + 1));
            p.setBackground(QColor(90, 90, 200));
            p.setBackgroundMode(Qt::OpaqueMode);
            p.fillRect(QRect(10, -far, 40, far + 40), QBrush(QColor(200, 30, 40), Qt::BDiagPattern));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(10, -far, 39, far + 39));
        }
        EXPECT_EQ(firstDifference(got, want), "") << "style " << static_cast<int>(style);
    }
}
