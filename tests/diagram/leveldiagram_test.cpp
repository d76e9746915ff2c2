// The level diagram after the default start: its layout, its label columns,
// the rendered overlays, and the two scales staying lined up under zoom.
#include "diagram/leveldiagram.h"
#include "text/fonts.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <set>

#include "diagram_rig.h"
#include "fixed_measure.h"

namespace {

QStringList texts(const TChartLayout& l, const TScaleAxis& a)
{
    QStringList out;
    if (const TAxisLayout* al = l.find(&a))
        for (const TLabelItem& item : al->labels)
            if (item.draw && al->showLabels) out << item.text;
    return out;
}

QStringList sequence(int from, int to, int step, const char* unit)
{
    QStringList out;
    for (int v = from; v >= to; v -= step) out << QStringLiteral("%1 %2").arg(v).arg(unit);
    return out;
}

class DefaultStart : public ::testing::Test {
protected:
    void SetUp() override { rig.startUp(); }
    TChartLayout layout(const ITextMeasure& m)
    {
        TChartLayout l = rig.chart.computeLayout(m);
        rig.chart.applyLayout(l);
        return l;
    }
    TLevelDiagram& chart() { return rig.chart; }
    TScaleAxis& left() { return rig.chart.LeftAxis(); }
    TScaleAxis& right() { return rig.chart.RightAxis(); }

    DiagramRig rig;
    FixedMeasure measure{16, 8};
};

} // namespace

TEST_F(DefaultStart, AnalogLayoutAtTheFormSize)
{
    EXPECT_EQ(chart().objectName(), "Chart1");
    EXPECT_DOUBLE_EQ(right().minimum(), -133.8);
    EXPECT_DOUBLE_EQ(right().maximum(), 26.2);
    const TChartLayout l = layout(measure);
    EXPECT_EQ(l.chartRect, (TIntRect{210, 10 + 16 + 5, 710, 428}));
    EXPECT_EQ(left().SubAxes(0).posLabels(), 75);
    EXPECT_EQ(left().posLabels(), 165);
    EXPECT_EQ(right().posLabels(), 745);
    EXPECT_EQ(right().SubAxes(1).posLabels(), 830);
    EXPECT_EQ(right().SubAxes(0).posLabels(), 910);
    EXPECT_EQ(l.find(&left().SubAxes(1)), nullptr); // never shown
    EXPECT_EQ(l.find(&right().SubAxes(2)), nullptr);

    // The platform's own metrics give the same columns.
    rig.chart.layoutNow();
    EXPECT_EQ(chart().ChartRect().left, 210);
    EXPECT_EQ(chart().ChartRect().right, 710);
    EXPECT_EQ(chart().ChartRect().bottom, 428);
}

TEST_F(DefaultStart, LabelColumnTexts)
{
    const TChartLayout l = layout(measure);
    EXPECT_EQ(texts(l, left()), sequence(150, 10, 10, "dBSPL"));
    EXPECT_EQ(texts(l, left().SubAxes(0)),
              (QStringList{"632.5 Pa", "200.0 Pa", "63.25 Pa", "20.00 Pa", "6.325 Pa", "2.000 Pa", "0.6325 Pa",
                           "0.2000 Pa", "0.06325 Pa", "0.02000 Pa", "0.00632 Pa", "0.00200 Pa", "0.00063 Pa",
                           "0.00020 Pa", "0.00006 Pa"}));
    EXPECT_EQ(texts(l, right()), sequence(20, -130, 10, "dBu"));
    EXPECT_EQ(texts(l, right().SubAxes(1)), sequence(18, -132, 10, "dBV"));
    EXPECT_EQ(texts(l, right().SubAxes(0)),
              (QStringList{"7.750 V", "2.451 V", "775.000 mV", "245.077 mV", "77.500 mV", "24.508 mV", "7.750 mV",
                           "2.451 mV", "775.000 uV", "245.077 uV", "77.500 uV", "24.508 uV", "7.750 uV", "2.451 uV",
                           "0.775 uV", "0.245 uV"}));
}

TEST(LevelDiagramLocale, CommaSeparatorInEveryColumn)
{
    DiagramRig rig(",");
    rig.startUp();
    const TChartLayout l = rig.chart.computeLayout(FixedMeasure{16, 8});
    EXPECT_EQ(texts(l, rig.chart.LeftAxis().SubAxes(0)).front(), "632,5 Pa");
    EXPECT_EQ(texts(l, rig.chart.RightAxis().SubAxes(0)).front(), "7,750 V");
    EXPECT_EQ(texts(l, rig.chart.RightAxis()).front(), "20 dBu");
}

TEST_F(DefaultStart, DigitalModeShowsOnlyTheDbfsColumn)
{
    rig.digital.click();
    EXPECT_DOUBLE_EQ(right().minimum(), -120);
    EXPECT_DOUBLE_EQ(right().maximum(), 40);
    const TChartLayout l = layout(measure);
    EXPECT_EQ(texts(l, right().SubAxes(2)), sequence(32, -112, 8, "dBFS"));
    EXPECT_TRUE(texts(l, right()).isEmpty());
    EXPECT_EQ(l.find(&right().SubAxes(0)), nullptr);
    EXPECT_EQ(l.find(&right().SubAxes(1)), nullptr);
    // The widest number text ("-120", the column counts the end labels too)
    // plus a space: 5 characters; the anchor lies 5 % of the plot width
    // further out: 0.05 x 610 = 30.5, rounded to even.
    const int edge = 860 - 5 * 8;
    EXPECT_EQ(l.chartRect.right, edge);
    EXPECT_EQ(right().SubAxes(2).posLabels(), edge + 30);
}

// A sensitivity near 1000 dBu (typed figures are not bounded) sets the right
// axis far beyond any electric level: its columns write no label there.
TEST_F(DefaultStart, ElectricLabelsStopAtTheLevelsThatExist)
{
    right().setMinMax(900, 1060);
    TChartLayout l = layout(measure);
    EXPECT_TRUE(texts(l, right()).isEmpty());
    EXPECT_TRUE(texts(l, right().SubAxes(0)).isEmpty());
    EXPECT_TRUE(texts(l, right().SubAxes(1)).isEmpty());
    right().setMinMax(100, 260);
    const QStringList dBu = texts(l = layout(measure), right());
    ASSERT_FALSE(dBu.isEmpty());
    EXPECT_EQ(dBu.front(), "200 dBu");
    EXPECT_EQ(dBu.back(), "110 dBu");
}

TEST_F(DefaultStart, HooksIgnoreOtherAxes)
{
    TDrawLabelArgs a;
    a.sender = &left();
    a.text = "20";
    a.value = 20;
    chart().DrawLabel_mV(a);
    chart().DrawLabel_Pa(a);
    chart().DrawLabel_dBFS(a);
    EXPECT_EQ(a.text, "20");
    chart().DrawLabel_dBSPL(a);
    EXPECT_EQ(a.text, "20 dBSPL");
    EXPECT_TRUE(a.drawLabel);
}

TEST_F(DefaultStart, AccessibleNameAndDescription)
{
    EXPECT_EQ(chart().accessibleName(), "Level diagram");
    const QString d = chart().accessibleDescription();
    EXPECT_TRUE(d.contains("Left scale 0 to 160 dB SPL")) << d.toStdString();
    EXPECT_TRUE(d.contains("Right scale -133.8 to 26.2 dBu")) << d.toStdString();
    EXPECT_TRUE(d.contains("Source 74 dB SPL, microphone output -59.8 dBu, maximum level 130 dB SPL, noise -99.8 dBu"))
        << d.toStdString();
    rig.digital.click();
    EXPECT_TRUE(chart().accessibleDescription().contains("Right scale -120 to 40 dBFS"));
}

// An edit while zoomed, and the restore after it, keep 94 dB SPL on the row
// of the sensitivity.
TEST_F(DefaultStart, ScalesStayLinedUpThroughZoomEditAndRestore)
{
    auto lined = [&](double sens) {
        rig.chart.layoutNow();
        EXPECT_NEAR(right().maximum() - left().maximum(), sens - 94, 1e-9);
        EXPECT_NEAR(right().maximum() - right().minimum(), left().maximum() - left().minimum(), 1e-9);
        EXPECT_NEAR(chart().Series1().CalcYPosValue(sens), chart().Series2().CalcYPosValue(94), 1);
    };
    rig.chart.layoutNow();
    chart().zoomRows(100, 200);
    lined(-39.8);
    rig.in(InputId::MicSens_dBu).setText("-30.0");
    lined(-30);
    chart().restoreView();
    EXPECT_EQ(left().minimum(), 0);
    EXPECT_EQ(left().maximum(), 160);
    EXPECT_DOUBLE_EQ(right().maximum(), 36);
    lined(-30);
    // A pan followed by an edit and a restore.
    chart().panRows(200, 260);
    rig.in(InputId::MicSens_dBu).setText("-20.0");
    lined(-20);
    chart().restoreView();
    EXPECT_DOUBLE_EQ(right().minimum(), -114);
    lined(-20);
}

// ---- the rendered diagram ----------------------------------------------------

namespace {

// Colours found in a region of the image.
std::set<QRgb> coloursIn(const QImage& img, int x1, int y1, int x2, int y2)
{
    std::set<QRgb> out;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) out.insert(img.pixel(x, y) | 0xFF000000u);
    return out;
}

int countColour(const QImage& img, QRgb c, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) n += (img.pixel(x, y) | 0xFF000000u) == (c | 0xFF000000u);
    return n;
}

const QRgb kAqua = qRgb(0, 255, 255), kLime = qRgb(0, 255, 0), kSilver = qRgb(192, 192, 192),
           kRed = qRgb(255, 0, 0), kGrey = qRgb(128, 128, 128), kPink = qRgb(255, 128, 255),
           kOrange = qRgb(255, 128, 64), kBlack = qRgb(0, 0, 0);

class Rendered : public DefaultStart {
protected:
    QImage render()
    {
        QImage img = chart().grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(img.size(), QSize(980, 448));
        r = chart().ChartRect();
        return img;
    }
    int yL(double v) { return chart().Series2().CalcYPosValue(v); }
    int yR(double v) { return chart().Series1().CalcYPosValue(v); }
    TIntRect r;
};

} // namespace

TEST_F(Rendered, BarsZonesLinesAndMarkersInAnalogMode)
{
    const QImage img = render();
    ASSERT_EQ(r.left, 210);
    ASSERT_EQ(r.right, 710);
    const int yMax = yL(130), yNoise = yR(-99.8), y94 = yL(94);
    ASSERT_LT(r.top, yMax);
    ASSERT_LT(yNoise, r.bottom);

    // Acoustic bar: aqua from x 310 to 410, from the maximum down to the noise.
    const int mid = (yMax + yNoise) / 2;
    EXPECT_EQ(img.pixel(311, mid), kAqua);
    EXPECT_EQ(img.pixel(408, mid), kAqua);
    EXPECT_NE(img.pixel(308, mid), kAqua);
    EXPECT_NE(img.pixel(411, mid), kAqua);
    EXPECT_EQ(img.pixel(360, yMax + 2), kAqua);
    EXPECT_EQ(img.pixel(360, yNoise - 2), kAqua);
    // Electric bar: lime from x 510 to 610, from the sensitivity's row down.
    EXPECT_EQ(img.pixel(511, (y94 + yNoise) / 2), kLime);
    EXPECT_EQ(img.pixel(608, (y94 + yNoise) / 2), kLime);
    EXPECT_NE(img.pixel(560, y94 - 3), kLime);
    EXPECT_EQ(img.pixel(560, y94 + 2), kLime);

    // Over-max zone: silver hatch on red, only above the maximum's row.
    const auto over = coloursIn(img, 520, r.top + 2, 700, yMax - 20);
    EXPECT_EQ(over, (std::set<QRgb>{kSilver, kRed}));
    EXPECT_EQ(countColour(img, kRed, 520, yMax + 2, 700, yMax + 40), 0);
    // Noise zone: silver hatch on grey below the noise row.
    const auto below = coloursIn(img, 620, yNoise + 20, 700, r.bottom - 2);
    EXPECT_EQ(below, (std::set<QRgb>{kSilver, kGrey}));

    // Dash-dot lines: 94 dB SPL pink over the plot, grey over the columns.
    EXPECT_GT(countColour(img, kPink, 420, y94, 500, y94 + 1), 20);
    EXPECT_GT(countColour(img, kBlack, 420, y94, 500, y94 + 1), 5);
    EXPECT_GT(countColour(img, kGrey, 0, y94, 40, y94 + 1), 10);
    // The maximum level's line, red over the plot.
    EXPECT_GT(countColour(img, kRed, 420, yMax, 500, yMax + 1), 20);

    // Source markers: the left arrow at the source level, the right one at
    // the microphone output, each with its dashed lead line.
    const int ySrc = yL(74), yOut = yR(-59.8);
    EXPECT_EQ(img.pixel(203, ySrc), kLime);
    EXPECT_GT(countColour(img, kLime, 0, ySrc, 40, ySrc + 1), 10);
    EXPECT_EQ(img.pixel(717, yOut), kLime);
    EXPECT_GT(countColour(img, kLime, 940, yOut, 980, yOut + 1), 10);

    // The grid: grey at alpha 155 over black.
    const QColor grid = img.pixelColor(250, yL(50));
    EXPECT_NEAR(grid.red(), 78, 1);
    EXPECT_EQ(grid.red(), grid.blue());

    // No clipping zone in analog mode.
    EXPECT_EQ(countColour(img, kOrange, 0, 0, 980, 448), 0);
}

TEST_F(Rendered, ClippingZoneInDigitalModeOnlyWhenTheMaximumIsAboveFullScale)
{
    rig.digital.click();
    QImage img = render();
    const int a = (r.right - r.left) / 10;
    const int yMax = yL(130), y0 = yR(0);
    ASSERT_LT(yMax, y0);
    const auto zone = coloursIn(img, 8 * a + 1, yMax + 1, 8 * a + 40, y0 - 1);
    EXPECT_EQ(zone, (std::set<QRgb>{kSilver, kOrange}));
    EXPECT_EQ(countColour(img, kOrange, 0, 0, 8 * a - 1, 448), 0);

    // A maximum of 110 dB SPL lies below 0 dBFS (120 dB SPL here): no zone.
    rig.in(InputId::MicMaxLevel_dBSPL).setText("110");
    img = render();
    EXPECT_GT(yL(110), yR(0));
    EXPECT_EQ(countColour(img, kOrange, 0, 0, 980, 448), 0);
}

TEST(LevelDiagramFonts, TahomaIsAvailableAfterRegistration)
{
    if (!QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) GTEST_SKIP() << "no Tahoma file on this machine";
    registerAppFonts();
    EXPECT_EQ(QFontInfo(diagramFont("Tahoma", 10)).family(), "Tahoma");
    // A face that is missing falls back to a monospaced one for the Courier names.
    EXPECT_TRUE(QFontInfo(diagramFont("Courier New", 10)).fixedPitch());
}
