// The chart engine's layout with known text metrics, its range setters and
// its mouse zoom, pan and wheel.
#include "chart/scalechart.h"
#include "chart/canvas.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <functional>
#include <stdexcept>
#include <string>

#include "fixed_measure.h"

namespace {

std::vector<double> values(const TAxisLayout& a)
{
    std::vector<double> v;
    for (const TLabelItem& l : a.labels) v.push_back(l.value);
    return v;
}

std::vector<double> range(double from, double to, double step)
{
    std::vector<double> v;
    for (double x = from; x >= to - 1e-9; x -= step) v.push_back(x);
    return v;
}

void mouse(QWidget& w, QEvent::Type type, QPoint pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent ev(type, QPointF(pos), QPointF(w.mapToGlobal(pos)), type == QEvent::MouseMove ? Qt::NoButton : button,
                   held, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

void drag(QWidget& w, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonPress, from, button);
    mouse(w, QEvent::MouseMove, (from + to) / 2, button);
    mouse(w, QEvent::MouseMove, to, button);
    mouse(w, QEvent::MouseButtonRelease, to, button);
}

// 600 x 418 with 100-pixel side margins and 10-pixel top and bottom
// margins: the axes run over rows 10 to 408, a pixel size of 398.
class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(600, 418);
        chart.setMarginLeft(100);
        chart.setMarginRight(100);
        chart.setMarginTop(10);
        chart.setMarginBottom(10);
        left().setLabelsSize(40);
        right().setLabelsSize(40);
        left().setMinMax(0, 160);
        right().setMinMax(-133.8, 26.2);
        chart.addSeries(right(), true);
        chart.addSeries(left(), true);
    }
    TScaleAxis& left() { return chart.LeftAxis(); }
    TScaleAxis& right() { return chart.RightAxis(); }
    TChartLayout layout()
    {
        TChartLayout l = chart.computeLayout(measure);
        chart.applyLayout(l);
        return l;
    }
    const TAxisLayout& of(const TChartLayout& l, const TScaleAxis& a)
    {
        // A missing axis ends the test as a failure, not the run.
        const TAxisLayout* found = l.find(&a);
        if (!found) throw std::runtime_error("the layout has no column for this axis");
        return *found;
    }

    TScaleChart chart;
    FixedMeasure measure{16, 8};
};

} // namespace

// A smaller layout keeps none of the room of a larger one before it: over a
// long run of resizes the labels of the tallest window would stay held.
TEST_F(Engine, ANewLayoutGivesBackTheRoomOfTheOldOne)
{
    chart.resize(600, 4000);
    chart.applyLayout(chart.computeLayout(measure));
    const std::size_t tall = of(chart.lastLayout(), left()).labels.size();
    chart.resize(600, 418);
    chart.applyLayout(chart.computeLayout(measure));
    const TAxisLayout& small = of(chart.lastLayout(), left());
    ASSERT_LT(small.labels.size() * 4, tall);
    EXPECT_LT(small.labels.capacity() * 2, tall);
}

TEST_F(Engine, StepsAndLabelsOfBothAxes)
{
    const TChartLayout l = layout();
    EXPECT_EQ(l.chartRect, (TIntRect{140, 10, 460, 408}));
    const TAxisLayout& L = of(l, left());
    EXPECT_DOUBLE_EQ(L.step, 10);
    EXPECT_EQ(values(L), range(150, 10, 10));
    EXPECT_EQ(L.labels.front().engineText, "150");
    EXPECT_EQ(L.labels.front().row, 408 - 373); // 150 * 398 / 160 = 373.125
    const TAxisLayout& R = of(l, right());
    EXPECT_DOUBLE_EQ(R.step, 10);
    EXPECT_EQ(values(R), range(20, -130, 10)); // -140 lies below the minimum
    EXPECT_EQ(R.labels.back().engineText, "-130");
}

TEST_F(Engine, FirstLabelAndNumberFormatFollowTheirSettings)
{
    right().setRoundFirstLabel(false);
    right().setAxisValuesFormat(QStringLiteral("0.00"));
    const TChartLayout l = layout();
    const TAxisLayout& R = of(l, right());
    // From the maximum down; 26.2 and -133.8 lie on the axis's ends.
    std::vector<QString> texts;
    for (const TLabelItem& l : R.labels) texts.push_back(l.engineText);
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts.front(), "16.20");
    EXPECT_EQ(texts[2], "-3.80");
    EXPECT_EQ(texts.back(), "-123.80");
    EXPECT_EQ(of(l, left()).labels.front().engineText, "150"); // the other axis keeps its own
}

TEST_F(Engine, FixedIncrementDoublesUntilTheLabelsFit)
{
    right().setIncrement(1);
    right().setMinMax(-120, 40);
    const TChartLayout l = layout();
    const TAxisLayout& R = of(l, right());
    EXPECT_DOUBLE_EQ(R.step, 8);
    EXPECT_EQ(values(R), range(32, -112, 8)); // 40 and -120 lie on the ends
}

TEST_F(Engine, RangeSettersRefuseAnInvertedRange)
{
    try {
        left().setMaximum(-1);
        FAIL() << "no error";
    } catch (const TAxisRangeError& e) {
        EXPECT_STREQ(e.what(), "Axis Maximum Value must be >= Minimum");
    }
    try {
        left().setMinimum(161);
        FAIL() << "no error";
    } catch (const TAxisRangeError& e) {
        EXPECT_STREQ(e.what(), "Axis Minimum Value must be <= Maximum");
    }
    EXPECT_EQ(left().minimum(), 0);
    EXPECT_EQ(left().maximum(), 160);
    // A NaN is below and above nothing: refused by every setter.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(left().setMinimum(nan), TAxisRangeError);
    EXPECT_THROW(left().setMaximum(nan), TAxisRangeError);
    EXPECT_THROW(left().setMinMax(nan, 10), TAxisRangeError);
    EXPECT_THROW(left().setMinMax(0, nan), TAxisRangeError);
    EXPECT_EQ(left().minimum(), 0);
    EXPECT_EQ(left().maximum(), 160);
    // Equal ends are allowed; while building nothing is checked.
    left().setMaximum(0);
    chart.setBuilding(true);
    left().setMinimum(50);
    chart.setBuilding(false);
    EXPECT_EQ(left().minimum(), 50);
}

TEST_F(Engine, SubAxisLabelsItsMastersValuesInItsOwnColumn)
{
    TScaleAxis& sub = left().addSubAxis();
    sub.setMinMax(1000, 2000); // stored, never drawn
    sub.setLabelsSize(30);
    sub.setPositionPercent(-20);
    left().setPositionPercent(-10);
    const TChartLayout l = layout();
    const TAxisLayout& S = of(l, sub);
    EXPECT_EQ(values(S), range(150, 10, 10));
    EXPECT_EQ(S.map.min, 0);
    EXPECT_EQ(S.labelX, 130 - 20);         // outermost column
    EXPECT_EQ(of(l, left()).labelX, 170 - 10); // then the axis itself
    EXPECT_EQ(l.chartRect.left, 170);
    EXPECT_EQ(sub.map().row(160), chart.ChartRect().top);
}

TEST_F(Engine, HiddenLabelsFreeTheAxisColumnOnly)
{
    TScaleAxis& sub = left().addSubAxis();
    sub.setLabelsSize(30);
    left().setLabels(false);
    const TChartLayout l = layout();
    EXPECT_EQ(l.chartRect.left, 130);
    EXPECT_EQ(of(l, sub).labelX, 130);
    EXPECT_EQ(values(of(l, sub)), range(150, 10, 10));
    EXPECT_FALSE(of(l, left()).showLabels);
    // The mapping is unaffected.
    EXPECT_EQ(chart.Series(1).CalcYPosValue(160), 10);
}

TEST_F(Engine, OffsetsInPixelsAndPercentMoveColumnsOutward)
{
    left().setPositionPercent(-45);
    right().setPositionPercent(-35);
    TScaleAxis& sub = right().addSubAxis();
    sub.setLabelsSize(0); // automatic: widest text plus a space
    sub.setIncrement(1);
    sub.setPositionPercent(-5);
    sub.setPositionUnits(TPositionUnits::Percent);
    right().setMinMax(-120, 40);
    const TChartLayout l = layout();
    EXPECT_EQ(of(l, left()).labelX, 140 - 45);
    // "-120" is 4 characters: 32 + 8 pixels.
    EXPECT_EQ(of(l, sub).labelX, 460 + 16); // 5 % of 460 - 140 = 16
    EXPECT_EQ(of(l, right()).labelX, 420 + 35);
    EXPECT_EQ(l.chartRect.right, 420);
}

TEST_F(Engine, TitleTakesItsStripAndStaysInsideTheControl)
{
    chart.setTitle("abc");
    TChartLayout l = layout();
    EXPECT_EQ(l.titleBox, (TIntRect{288, 10, 312, 26}));
    EXPECT_EQ(l.chartRect.top, 31);
    chart.setTitle(QString(74, QChar('x'))); // 592 pixels: centred it would start at 4
    l = layout();
    EXPECT_EQ(l.titleBox.left, 12);
}

// A title in the background's own colour keeps its strip (the same chart
// and labels as a shown one) but is neither measured across nor drawn.
TEST_F(Engine, TitleInTheBackgroundColourKeepsItsStripOnly)
{
    chart.setTitle("abc");
    chart.setTitleColor(Qt::yellow);
    chart.setBackColor(Qt::black);
    const TChartLayout shown = layout();
    chart.setTitleColor(Qt::black);
    const TChartLayout hidden = layout();
    EXPECT_EQ(hidden.chartRect, shown.chartRect);
    EXPECT_EQ(hidden.titleBox.top, shown.titleBox.top);
    EXPECT_EQ(hidden.titleBox.bottom, shown.titleBox.bottom);
    EXPECT_EQ(hidden.titleBox.width(), 0);
    EXPECT_EQ(of(hidden, left()).labels.size(), of(shown, left()).labels.size());
    chart.setBackColor(QColor(0, 0, 0, 128)); // a translucent background shows what is drawn on it
    EXPECT_EQ(layout().titleBox.width(), 24);
}

TEST_F(Engine, HookEditsTextAroundTheBoxCentre)
{
    left().setPositionPercent(-45);
    std::vector<double> seen;
    left().setOnDrawLabel([&](TDrawLabelArgs& a) {
        seen.push_back(a.value);
        a.x += 100; // moves nothing
        a.text += " dBSPL";
        if (a.value == 100) a.drawLabel = false;
    });
    right().setOnDrawLabel([&](TDrawLabelArgs& a) { EXPECT_EQ(a.sender, &right()); });
    const TChartLayout l = layout();
    const TAxisLayout& L = of(l, left());
    EXPECT_EQ(seen.size(), 15u);
    const TLabelItem& first = L.labels.front();
    const int x = 140 - 45;
    EXPECT_EQ(first.boxLeft, x - 24);
    EXPECT_EQ(first.boxTop, first.row - 8);
    EXPECT_EQ(first.text, "150 dBSPL");
    EXPECT_EQ(first.textX, x - 12 - 36); // centre x - 12, 72 pixels wide
    for (const TLabelItem& item : L.labels) EXPECT_EQ(item.draw, item.value != 100) << item.value;
}

TEST_F(Engine, HookGetsTheNumberOfAGroupedText)
{
    left().setMinMax(900, 1060);
    std::vector<std::pair<QString, double>> seen;
    left().setOnDrawLabel([&](TDrawLabelArgs& a) { seen.emplace_back(a.text, a.value); });
    chart.setLabelSeparators(",", ".");
    layout();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().first, "1.050");
    EXPECT_EQ(seen.front().second, 1050);
}

TEST_F(Engine, ValuesAboveTheMaximumMapAboveThePlot)
{
    layout();
    EXPECT_EQ(chart.Series(1).CalcYPosValue(160), chart.ChartRect().top);
    EXPECT_LT(chart.Series(1).CalcYPosValue(170), chart.ChartRect().top);
    EXPECT_EQ(chart.Series(1).CalcYPosValue(0), chart.ChartRect().bottom);
    EXPECT_EQ(chart.Series(0).CalcYPosValue(26.2), chart.ChartRect().top);
}

TEST_F(Engine, ZoomRightThenRestoreLeft)
{
    layout();
    const scale::ScaleMap before = left().map();
    const scale::ScaleMap beforeRight = right().map();
    drag(chart, {300, 100}, {400, 200});
    EXPECT_DOUBLE_EQ(left().minimum(), before.value(200));
    EXPECT_DOUBLE_EQ(left().maximum(), before.value(100));
    EXPECT_DOUBLE_EQ(right().minimum(), beforeRight.value(200));
    EXPECT_DOUBLE_EQ(right().maximum(), beforeRight.value(100));
    EXPECT_TRUE(chart.hasSavedView());

    // A second zoom keeps the first saved ranges.
    layout();
    drag(chart, {300, 100}, {400, 200});
    layout();
    drag(chart, {400, 200}, {300, 100});
    EXPECT_EQ(left().minimum(), 0);
    EXPECT_EQ(left().maximum(), 160);
    EXPECT_EQ(right().minimum(), -133.8);
    EXPECT_EQ(right().maximum(), 26.2);
    // The saved set is used once.
    left().setMinMax(10, 20);
    drag(chart, {400, 200}, {300, 100});
    EXPECT_EQ(left().minimum(), 10);
}

TEST_F(Engine, DragsOfSixteenPixelsOrLessChangeNothing)
{
    layout();
    drag(chart, {300, 100}, {316, 200});
    drag(chart, {300, 100}, {400, 116});
    drag(chart, {300, 100}, {284, 84});
    EXPECT_EQ(left().minimum(), 0);
    EXPECT_EQ(left().maximum(), 160);
    EXPECT_FALSE(chart.hasSavedView());
    drag(chart, {300, 100}, {317, 117});
    EXPECT_TRUE(chart.hasSavedView());
}

TEST_F(Engine, PanAndWheelShiftBothAxesThenRestore)
{
    layout();
    drag(chart, {300, 200}, {300, 250}, Qt::RightButton);
    const double shift = 50 * 160.0 / 398; // a move down brings higher values into view
    EXPECT_NEAR(left().minimum(), shift, 1e-9);
    EXPECT_NEAR(left().maximum(), 160 + shift, 1e-9);
    EXPECT_NEAR(right().maximum() - left().maximum(), 26.2 - 160, 1e-9);

    left().setMinMax(0, 160);
    right().setMinMax(-133.8, 26.2);
    QWheelEvent wheel(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &wheel);
    EXPECT_NEAR(left().minimum(), 4.8, 1e-9);
    EXPECT_NEAR(right().maximum(), 26.2 + 4.8, 1e-9);
    QWheelEvent back(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &back);
    EXPECT_NEAR(left().minimum(), 4.8 - 9.6, 1e-9);

    // The restore brings back the ranges from before the pan.
    chart.restoreView();
    EXPECT_EQ(left().minimum(), 0);
    EXPECT_EQ(left().maximum(), 160);
}

TEST_F(Engine, AnAxisWithoutActiveSeriesTakesNoPart)
{
    chart.Series(0).Active = false; // the right axis's only series
    chart.addSeries(right(), false);
    const TChartLayout l = layout();
    EXPECT_EQ(l.find(&right()), nullptr);
    EXPECT_EQ(l.chartRect.right, 500);
    // Its mapping still follows its range over the plot's rows.
    EXPECT_EQ(chart.Series(0).CalcYPosValue(26.2), l.chartRect.top);
}

namespace {

// The device row near `row` (one either side) with the most `colour` pixels;
// empty when every three neighbouring pixels of it from `from` to `to` hold
// one of them, else where they do not.
std::string dotsEveryThree(const QImage& image, int row, int from, int to, QRgb colour)
{
    auto count = [&](int y, int x, int n) {
        int on = 0;
        for (int k = 0; k < n; ++k) on += image.pixel(x + k, y) == colour;
        return on;
    };
    int best = row;
    for (int y = std::max(row - 1, 0); y <= std::min(row + 1, image.height() - 1); ++y)
        if (count(y, from, to - from + 1) > count(best, from, to - from + 1)) best = y;
    for (int x = from; x + 2 <= to; ++x)
        if (count(best, x, 3) != 1) return "row " + std::to_string(best) + " at " + std::to_string(x);
    return {};
}

} // namespace

// The focus frame and the zoom rectangle are dotted as every broken
// one-pixel pen is: one device pixel on, two off, at every scale.
TEST(DottedFrames, OnePeriodAtEveryScale)
{
    TScaleChart chart;
    chart.resize(200, 120);
    chart.setBackColor(Qt::black);
    chart.show();
    chart.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chart));
    chart.setFocus();
    ASSERT_TRUE(chart.hasFocus());
    mouse(chart, QEvent::MouseButtonPress, {50, 40}, Qt::LeftButton); // a zoom drag, held
    mouse(chart, QEvent::MouseMove, {150, 90}, Qt::LeftButton);
    for (double ratio : {1.0, 1.25, 1.5, 2.0}) {
        QImage image(std::lround(200 * ratio), std::lround(120 * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        chart.render(&image);
        const auto at = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
        EXPECT_EQ(dotsEveryThree(image, 0, at(10), at(190), qRgb(255, 255, 255)), "") << "focus frame, ratio " << ratio;
        EXPECT_EQ(dotsEveryThree(image, at(40), at(60), at(140), qRgb(255, 255, 255)), "")
            << "zoom rectangle, ratio " << ratio;
    }
    mouse(chart, QEvent::MouseButtonRelease, {150, 90}, Qt::LeftButton);
}

// One-pixel grid rows give the cosmetic pen's pixels at every scale (at
// ratio 1 they are filled rows, elsewhere the pen draws them): each row one
// device pixel thick.
TEST(GridRows, SamePixelsAsTheCosmeticPenAtEveryScale)
{
    for (double ratio : {1.0, 1.25, 1.5, 2.0}) {
        TScaleChart chart;
        chart.resize(400, 300);
        chart.setBackColor(Qt::black);
        chart.setMarginLeft(60);
        chart.setMarginRight(60);
        chart.LeftAxis().setLabels(false);
        chart.RightAxis().setLabels(false);
        chart.LeftAxis().setMinMax(0, 160);
        chart.RightAxis().setMinMax(-133.8, 26.2);
        chart.addSeries(chart.LeftAxis(), true);
        chart.addSeries(chart.RightAxis(), true);
        chart.LeftAxis().setGrid(TGridPen{true, 0x64808080, 0});
        QImage got(std::lround(400 * ratio), std::lround(300 * ratio), QImage::Format_RGB32);
        got.setDevicePixelRatio(ratio);
        chart.render(&got);
        const TChartLayout& l = chart.lastLayout();
        const TAxisLayout* left = l.find(&chart.LeftAxis());
        ASSERT_NE(left, nullptr);
        ASSERT_GT(left->labels.size(), 5u);
        QImage want(got.size(), QImage::Format_RGB32);
        want.setDevicePixelRatio(ratio);
        want.fill(Qt::black);
        {
            QPainter p(&want);
            p.setPen(QPen(colorFromBgr(0x64808080), 0));
            for (const TLabelItem& item : left->labels)
                p.drawLine(l.chartRect.left + 1, item.row, l.chartRect.right - 1, item.row);
        }
        ASSERT_TRUE(got == want) << "ratio " << ratio;
    }
}

// Texts drawn from the kept shaped texts give the text engine's pixels, at
// every device pixel ratio, the first time and from the cache; texts it does
// not keep (right-to-left, several lines, underlined) are refused and drawn
// by the engine.
TEST(ShapedTexts, SamePixelsAsTheTextEngineAtEveryScale)
{
    QFont bold(QStringLiteral("Liberation Sans"), 10);
    bold.setBold(true);
    const QFont fonts[] = {QFont(QStringLiteral("Liberation Sans"), 8), QFont(QStringLiteral("Liberation Mono"), 8), bold};
    const QString texts[] = {QStringLiteral("1,000"), QStringLiteral("-0.35"), QStringLiteral("12.5 \u00b5V"),
                             QStringLiteral("<=== acoustic          electric  ===>"), QStringLiteral("Ag_|")};
    TShapedTexts shaped(64);
    for (double ratio : {1.0, 1.25, 1.5, 2.0})
        for (const QFont& font : fonts)
            for (int pass = 0; pass < 2; ++pass) {
                QImage got(std::lround(300 * ratio), std::lround(40 * ratio), QImage::Format_RGB32), want = got;
                got.setDevicePixelRatio(ratio);
                want.setDevicePixelRatio(ratio);
                got.fill(Qt::black);
                want.fill(Qt::black);
                QPainter pg(&got), pw(&want);
                for (QPainter* p : {&pg, &pw}) {
                    p->setFont(font);
                    p->setPen(QColor(120, 200, 255));
                }
                int x = 3;
                for (const QString& t : texts) {
                    const QPoint baseline(x, 20 + x % 7);
                    // Kept at whole ratios; at fractional ones left to the engine.
                    const bool kept = shaped.drawLine(pg, baseline, t);
                    EXPECT_EQ(kept, ratio == std::floor(ratio)) << t.toStdString() << " ratio " << ratio;
                    if (!kept) pg.drawText(baseline, t);
                    pw.drawText(baseline, t);
                    x += 40;
                }
                pg.end();
                pw.end();
                ASSERT_TRUE(got == want) << "ratio " << ratio << " " << font.family().toStdString() << " pass " << pass;
            }
    QImage image(100, 40, QImage::Format_RGB32);
    QPainter p(&image);
    p.setFont(fonts[0]);
    EXPECT_FALSE(shaped.drawLine(p, QPoint(5, 20), QStringLiteral("\u05e9\u05dc\u05d5\u05dd 5")));
    EXPECT_FALSE(shaped.drawLine(p, QPoint(5, 20), QStringLiteral("two\nlines")));
    QFont underlined = fonts[0];
    underlined.setUnderline(true);
    p.setFont(underlined);
    EXPECT_FALSE(shaped.drawLine(p, QPoint(5, 20), QStringLiteral("10")));
}
