// The canvas hands its lines, outlines and hatches to QPainter. What it adds
// is the geometry of its calls (a line leaves out its end point, a rectangle
// spans its corners without the right and bottom edges); what it must keep
// is one look at every scale: one thickness per pen and one dot period,
// whether or not a rectangle fits on the device.
#include "chart/canvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using PS = TCanvas::PenStyle;
using BS = TCanvas::BrushStyle;

const QColor kPen(20, 200, 90);
const QColor kFill(255, 255, 255);
constexpr double kRatios[] = {1, 1.25, 1.5, 2};

QImage scaledImage(int w, int h, double ratio)
{
    QImage image(std::lround(w * ratio), std::lround(h * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

// Lengths of the runs of pen pixels and of the gaps between them along one
// device row (or column) from `from` to `to`, inner runs only (the two ends
// may be cut).
struct Runs {
    std::vector<int> on, off;
};
Runs runsAlong(const QImage& image, bool vertical, int at, int from, int to)
{
    Runs r;
    int length = 0;
    bool inOn = false, first = true;
    for (int i = from; i <= to; ++i) {
        const bool on = (vertical ? image.pixel(at, i) : image.pixel(i, at)) == kPen.rgb();
        if (i > from && on != inOn) {
            if (!first) (inOn ? r.on : r.off).push_back(length);
            first = false;
            length = 0;
        }
        inOn = on;
        ++length;
    }
    return r;
}

// The device row (column) between lo and hi with the most pen pixels.
int penLine(const QImage& image, bool vertical, int lo, int hi)
{
    int best = lo, most = -1;
    for (int k = lo; k <= hi; ++k) {
        int n = 0;
        const int len = vertical ? image.height() : image.width();
        for (int i = 0; i < len; ++i) n += (vertical ? image.pixel(k, i) : image.pixel(i, k)) == kPen.rgb();
        if (n > most) most = n, best = k;
    }
    return best;
}

std::string ratioName(double r) { return "ratio " + std::to_string(r); }

} // namespace

// A dotted outline has 1-device-pixel dots every 3 pixels on all its edges,
// at every scale, for a bar inside the device and for one that runs off it.
TEST(Canvas, DottedOutlineHasOnePeriodAtEveryScale)
{
    for (double ratio : kRatios)
        for (bool runsOff : {false, true}) {
            QImage image = scaledImage(120, 120, ratio);
            {
                QPainter p(&image);
                TCanvas c(p);
                c.setPen(kPen, 1, PS::Dot);
                c.setBrush(kFill);
                c.rectangle(20, 20, runsOff ? 100000 : 100, runsOff ? 100000 : 100);
            }
            const int top = penLine(image, false, std::lround(18 * ratio), std::lround(22 * ratio));
            const int left = penLine(image, true, std::lround(18 * ratio), std::lround(22 * ratio));
            for (const auto& [vertical, at] : {std::pair{false, top}, std::pair{true, left}}) {
                const Runs r = runsAlong(image, vertical, at, std::lround(25 * ratio), std::lround(95 * ratio));
                ASSERT_GT(r.on.size(), 10u) << ratioName(ratio);
                for (int n : r.on) EXPECT_EQ(n, 1) << ratioName(ratio) << (runsOff ? " off the device" : "");
                for (int n : r.off) EXPECT_EQ(n, 2) << ratioName(ratio) << (runsOff ? " off the device" : "");
            }
        }
}

// A one-pixel pen draws one device pixel thick at every scale: level and
// upright lines, and a solid outline's four edges alike.
TEST(Canvas, OnePixelPenHasOneThicknessAtEveryScale)
{
    for (double ratio : kRatios) {
        QImage image = scaledImage(120, 120, ratio);
        {
            QPainter p(&image);
            TCanvas c(p);
            c.setPen(kPen, 1, PS::Solid);
            c.setBrush(kFill);
            c.rectangle(11, 13, 57, 71);
            for (int k = 0; k < 6; ++k) {
                c.moveTo(70, 10 + 7 * k);
                c.lineTo(115, 10 + 7 * k);
                c.moveTo(70 + 7 * k, 60);
                c.lineTo(70 + 7 * k, 115);
            }
        }
        // Across every edge and line, the pen pixels form runs of one.
        auto thickness = [&](bool vertical, int at, int from, int to) {
            std::vector<int> out;
            int n = 0;
            for (int i = from; i <= to; ++i) {
                const bool on = (vertical ? image.pixel(at, i) : image.pixel(i, at)) == kPen.rgb();
                if (on) ++n;
                else if (n) out.push_back(n), n = 0;
            }
            if (n) out.push_back(n);
            return out;
        };
        const int w = image.width() - 1;
        const std::vector<int> across = thickness(false, std::lround(40 * ratio), 0, std::lround(65 * ratio));
        EXPECT_EQ(across.size(), 2u) << ratioName(ratio) << ": the bar's left and right edges";
        for (int n : across) EXPECT_EQ(n, 1) << ratioName(ratio) << ": left and right edges";
        for (int n : thickness(true, std::lround(30 * ratio), 0, std::lround(80 * ratio)))
            EXPECT_EQ(n, 1) << ratioName(ratio) << ": top and bottom edges";
        for (int n : thickness(true, std::lround(100 * ratio), 0, std::lround(50 * ratio)))
            EXPECT_EQ(n, 1) << ratioName(ratio) << ": level lines";
        for (int n : thickness(false, std::lround(100 * ratio), std::lround(66 * ratio), w))
            EXPECT_EQ(n, 1) << ratioName(ratio) << ": upright lines";
    }
}

// A one-pixel outline lies on the outermost device pixels of its fill at
// every scale, on all four sides, also where the painter starts at a
// fraction of a device pixel (a control placed at an odd position).
TEST(Canvas, OutlineOnTheEdgeOfItsFillAtEveryScale)
{
    for (double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0})
        for (int offset : {0, 1}) {
            QImage image = scaledImage(80, 90, ratio);
            {
                QPainter p(&image);
                p.translate(offset, offset);
                TCanvas c(p);
                c.setPen(kPen, 1, PS::Solid);
                c.setBrush(kFill);
                c.rectangle(11, 13, 57, 71);
            }
            QRect painted; // every pixel the rectangle reached
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != qRgb(0, 0, 0)) painted |= QRect(x, y, 1, 1);
            const std::string where = ratioName(ratio) + ", offset " + std::to_string(offset);
            ASSERT_FALSE(painted.isEmpty()) << where;
            for (int y = painted.top(); y <= painted.bottom(); ++y)
                for (int x = painted.left(); x <= painted.right(); ++x) {
                    const bool edge = x == painted.left() || x == painted.right() || y == painted.top() ||
                                      y == painted.bottom();
                    ASSERT_EQ(image.pixel(x, y), edge ? kPen.rgb() : kFill.rgb()) << where << " at " << x << "," << y;
                }
        }
}

// A line leaves out its end point: at every scale it gives the pixels
// QPainter gives for the line one pixel shorter, in all four directions and
// every broken style.
TEST(Canvas, LinesLeaveOutTheirEndPointAtEveryScale)
{
    static constexpr Qt::PenStyle kQtStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    const QPoint steps[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (double ratio : kRatios)
        for (int style = 0; style < 4; ++style)
            for (const QPoint& step : steps) {
                const QPoint from(40, 40), to = from + step * 27;
                QImage got = scaledImage(80, 80, ratio), want = got;
                {
                    QPainter p(&got);
                    TCanvas c(p);
                    c.setPen(kPen, 1, static_cast<PS>(style));
                    c.moveTo(from.x(), from.y());
                    c.lineTo(to.x(), to.y());
                }
                {
                    QPainter p(&want);
                    QPen pen(kPen, 1, kQtStyles[style], Qt::FlatCap, Qt::MiterJoin);
                    pen.setCosmetic(true);
                    p.setPen(pen);
                    p.drawLine(from, to - step);
                }
                ASSERT_EQ(got, want) << ratioName(ratio) << " style " << style << " step " << step.x() << ","
                                     << step.y();
            }
}

// A rectangle (corners in any order) covers x1 .. x2 - 1 with its fill and
// its outline, and a hatch shows its background in the pen's gaps.
TEST(Canvas, RectanglesSpanTheirCorners)
{
    QImage image = scaledImage(60, 60, 1);
    {
        QPainter p(&image);
        TCanvas c(p);
        c.setPen(kPen, 1, PS::Dash);
        c.setBrush(QColor(200, 30, 40), BS::BDiagonal, QColor(90, 90, 200));
        c.rectangle(50, 50, 20, 20);
    }
    EXPECT_EQ(image.pixel(20, 20), kPen.rgb());
    EXPECT_EQ(image.pixel(20, 30), kPen.rgb());
    EXPECT_EQ(image.pixel(49, 40), kPen.rgb());
    EXPECT_EQ(image.pixel(50, 30), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 50), qRgb(0, 0, 0));
    // Only hatch lines, hatch background and pen inside: no black shows through.
    for (int y = 20; y < 50; ++y)
        for (int x = 20; x < 50; ++x) {
            const QRgb px = image.pixel(x, y);
            ASSERT_TRUE(px == kPen.rgb() || px == qRgb(200, 30, 40) || px == qRgb(90, 90, 200)) << x << "," << y;
        }
}

// A translucent pen is blended once per pixel, corners included.
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

// Hatches copied from kept tiles give the hatch brush's pixels at every
// scale (at ratios other than 1 the brush itself draws), in every phase and
// for zones wider than a tile, under solid and broken outlines.
TEST(Canvas, HatchTilesMatchTheHatchBrushAtEveryScale)
{
    THatchTiles tiles;
    for (double ratio : kRatios)
        for (PS style : {PS::Solid, PS::Dot})
            for (int w : {1, 5, 13, THatchTiles::kTileWidth + 11})
                for (int shift = 0; shift < 8; shift += 3) {
                    QImage withTiles = scaledImage(w + 20, 40, ratio), withBrush = withTiles;
                    for (QImage* image : {&withTiles, &withBrush}) {
                        QPainter p(image);
                        TCanvas c(p, image == &withTiles ? &tiles : nullptr);
                        c.setPen(kPen, 1, style);
                        c.setBrush(QColor(200, 30, 40), BS::BDiagonal, QColor(90, 90, 200));
                        c.rectangle(3 + shift, 2 + shift, 3 + shift + w, 30);
                    }
                    ASSERT_TRUE(withTiles == withBrush) << ratioName(ratio) << " width " << w << " shift " << shift;
                }
}
