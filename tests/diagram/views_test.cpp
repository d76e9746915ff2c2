// The level diagram at the views a user reaches by zooming, panning, the
// wheel and extreme figures: every label column stays readable (no repeated
// text, no zero figure, nothing overlapping or leaving the control); the
// overlay texts lie over the zones and bars; fills reach their outlines;
// partial wheel turns add up; and the accessible children read what is
// painted.
#include "text/fonts.h"
#include "diagram/leveldiagram.h"
#include "diagram/labeltexts.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "diagram_rig.h"
#include "fixed_measure.h"
#include "overlay_check.h"

namespace {

struct ViewCase {
    const char* name;
    std::function<void(DiagramRig&)> reach; // what the user does after start-up
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.name; }

TChartLayout laidOut(DiagramRig& rig)
{
    TChartLayout l = rig.chart.computeLayout(FixedMeasure{16, 8});
    rig.chart.applyLayout(l);
    return l;
}

void sensitivity(DiagramRig& rig, const char* dBu) { rig.in(InputId::MicSens_dBu).setText(dBu); }

// A microphone whose overlay texts crowd each other: 28 mV, 117 / 23 dB SPL,
// source 140 dB SPL, gain 40 dB.
void crowdedMicrophone(DiagramRig& rig)
{
    rig.in(InputId::MicSens_mV).setText("28.0");
    rig.in(InputId::MicMaxLevel_dBSPL).setText("117");
    rig.in(InputId::MicNoise_dBSPL).setText("23.0");
    rig.in(InputId::SourceLevel_dBSPL).setText("140.0");
    rig.in(InputId::AmpGain_dB).setText("40");
}

// Number part of a label reads zero: no digit but 0.
bool readsZero(const QString& text)
{
    for (QChar c : text)
        if (c >= QChar('1') && c <= QChar('9')) return false;
    return true;
}

class Views : public ::testing::TestWithParam<ViewCase> {};

TEST_P(Views, LabelsAreDistinctNonZeroAndClear)
{
    DiagramRig rig;
    rig.startUp();
    laidOut(rig);
    GetParam().reach(rig);
    const TChartLayout l = laidOut(rig);

    const FixedMeasure m{16, 8};
    const QFont title = overlayFont(10, true);
    std::vector<TIntRect> taken{TIntRect{64, 12, 64 + m.textWidth(title, "Acoustic"), 12 + 16}};
    const QString side = rig.digital.isChosen() ? "Digital" : "Electric";
    const int ws = m.textWidth(title, side);
    taken.push_back(TIntRect{980 - 64 - ws, 12, 980 - 64, 12 + 16});

    int columns = 0;
    for (const TAxisLayout& a : l.axes) {
        if (!a.showLabels) continue;
        ++columns;
        std::set<QString> seen;
        int shown = 0;
        for (const TLabelItem& item : a.labels) {
            if (!item.draw) continue;
            ++shown;
            EXPECT_TRUE(seen.insert(item.text).second) << "repeated " << item.text.toStdString();
            const bool linear = item.text.endsWith(" Pa") || item.text.endsWith("V") || item.text.endsWith("Pa");
            const bool dB = item.text.contains("dB");
            if (linear && !dB) {
                EXPECT_FALSE(readsZero(item.text)) << item.text.toStdString();
            }
            const TIntRect& r = item.textRect;
            EXPECT_TRUE(l.bounds.contains(r)) << item.text.toStdString() << " leaves the control";
            for (const TIntRect& o : taken)
                EXPECT_FALSE(o.intersects(r)) << item.text.toStdString() << " overlaps another text";
            taken.push_back(r);
        }
        // The bounds hide the levels beyond Earth's, never a whole column.
        EXPECT_GE(shown, 5) << "column at x " << a.labelX;
    }
    EXPECT_EQ(columns, rig.digital.isChosen() ? 3 : 5);
}

// The views a user reaches after start-up.
const std::vector<ViewCase>& reachedViews()
{
    static const std::vector<ViewCase> views{
        ViewCase{"Default", [](DiagramRig&) {}},
        ViewCase{"FiveSmallZoomDrags",
                 [](DiagramRig& rig) {
                     for (int i = 0; i < 5; ++i) {
                         rig.chart.zoomRows(200, 220);
                         laidOut(rig);
                     }
                 }},
        ViewCase{"TwoHundredNotchesUp",
                 [](DiagramRig& rig) {
                     for (int i = 0; i < 200; ++i) rig.chart.wheelStep(1);
                 }},
        ViewCase{"TwoHundredNotchesDown",
                 [](DiagramRig& rig) {
                     for (int i = 0; i < 200; ++i) rig.chart.wheelStep(-1);
                 }},
        ViewCase{"TwelvePanDrags",
                 [](DiagramRig& rig) {
                     for (int i = 0; i < 12; ++i) rig.chart.panRows(60, 400);
                 }},
        ViewCase{"SensitivityMinus100", [](DiagramRig& rig) { sensitivity(rig, "-100.0"); }},
        ViewCase{"SensitivityMinus34_8", [](DiagramRig& rig) { sensitivity(rig, "-34.8"); }},
        ViewCase{"SensitivityPlus34_4", [](DiagramRig& rig) { sensitivity(rig, "34.4"); }},
        ViewCase{"SensitivityPlus40", [](DiagramRig& rig) { sensitivity(rig, "40.0"); }},
        ViewCase{"SensitivityPlus100", [](DiagramRig& rig) { sensitivity(rig, "100.0"); }},
        ViewCase{"SensitivityPlus200", [](DiagramRig& rig) { sensitivity(rig, "200.0"); }},
        ViewCase{"Digital", [](DiagramRig& rig) { rig.digital.click(); }},
        ViewCase{"DigitalZoomedAndPanned",
                 [](DiagramRig& rig) {
                     rig.digital.click();
                     laidOut(rig);
                     rig.chart.zoomRows(100, 300);
                     laidOut(rig);
                     for (int i = 0; i < 12; ++i) rig.chart.panRows(400, 60);
                 }},
        // A microphone whose texts crowd: as typed, then zoomed, dragged down and wheeled.
        ViewCase{"CrowdedFigures", [](DiagramRig& rig) { crowdedMicrophone(rig); }},
        ViewCase{"CrowdedZoomPanWheel",
                 [](DiagramRig& rig) {
                     crowdedMicrophone(rig);
                     laidOut(rig);
                     rig.chart.zoomRows(230, 360);
                     laidOut(rig);
                     rig.chart.panRows(200, 340);
                     for (int i = 0; i < 6; ++i) rig.chart.wheelStep(1);
                 }}};
    return views;
}

INSTANTIATE_TEST_SUITE_P(
    Reached, Views,
    ::testing::ValuesIn(reachedViews()),
    [](const ::testing::TestParamInfo<ViewCase>& info) { return std::string(info.param.name); });

// Every view at window sizes from the smallest to a large screen: each
// overlay text inside the plot, clear of the labels, the side titles and
// the other texts; a text left out still has its figure in the description.
class OverlaysAtSizes : public ::testing::TestWithParam<std::tuple<ViewCase, QSize>> {};

TEST_P(OverlaysAtSizes, StayClearInsideThePlot)
{
    const auto& [view, size] = GetParam();
    DiagramRig rig;
    rig.chart.resize(size);
    rig.startUp();
    laidOut(rig);
    view.reach(rig);
    (void)rig.chart.grab();
    EXPECT_EQ(overlaycheck::problem(rig.chart), "");
    // Whatever was left out, the description names every figure.
    const QString description = rig.chart.accessibleDescriptionText();
    for (const char* figure : {"Source ", "microphone output ", "maximum level ", "noise "})
        EXPECT_TRUE(description.contains(figure)) << figure;
}

INSTANTIATE_TEST_SUITE_P(Sizes, OverlaysAtSizes,
                         ::testing::Combine(::testing::ValuesIn(reachedViews()),
                                            ::testing::Values(QSize(400, 300), QSize(500, 350), QSize(640, 480),
                                                              QSize(980, 448), QSize(1280, 800), QSize(2000, 1400))),
                         [](const auto& info) {
                             const QSize s = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).name) + "_" + std::to_string(s.width()) + "x" +
                                    std::to_string(s.height());
                         });

QStringList columnTexts(const TChartLayout& l, const TScaleAxis& a)
{
    QStringList out;
    if (const TAxisLayout* al = l.find(&a))
        for (const TLabelItem& item : al->labels)
            if (item.draw) out << item.text;
    return out;
}

} // namespace

// The figures behind the table: what the fixes write where the old texts
// repeated, read zero or ran long.
TEST(ViewTexts, SmallAndLargeFiguresTakeAPrefixAndTheStepsDecimals)
{
    DiagramRig rig;
    rig.startUp();
    sensitivity(rig, "-100.0"); // right axis -194 .. -34 dBu
    TChartLayout l = laidOut(rig);
    const QStringList volts = columnTexts(l, rig.chart.RightAxis().SubAxes(0));
    EXPECT_EQ(volts.back(), "0.245 nV"); // -190 dBu, "0.000 uV" before
    EXPECT_TRUE(volts.contains("0.775 uV"));

    sensitivity(rig, "40.0");
    l = laidOut(rig);
    EXPECT_EQ(columnTexts(l, rig.chart.RightAxis().SubAxes(0)).front(), "77.500 kV"); // "77500.000 V" before

    sensitivity(rig, "200.0"); // labels stop at +200 dBu
    l = laidOut(rig);
    EXPECT_EQ(columnTexts(l, rig.chart.RightAxis()).front(), "200 dBu");
    EXPECT_EQ(columnTexts(l, rig.chart.RightAxis().SubAxes(0)).front(), "7.750 GV");

    // Below 0 dB SPL the pressure reads in uPa, never "0.00000 Pa"; at steps
    // of 1 dB the pressure takes the decimals that set neighbours apart.
    EXPECT_EQ(labeltext::pa(-20, "."), "2.000 uPa");
    EXPECT_EQ(labeltext::pa(-20, ",", 1), "2,000 uPa");
    EXPECT_EQ(labeltext::pa(6, "."), "0.00004 Pa");
    EXPECT_EQ(labeltext::pa(6, ".", 1), "0.000040 Pa");
    EXPECT_EQ(labeltext::pa(200, "."), "200.0 kPa");
    EXPECT_EQ(labeltext::mV(-190, ".", 10), "0.245 nV");
}

TEST(ViewBounds, PanWheelAndZoomStayInsideTheLevelsOnEarth)
{
    DiagramRig rig;
    rig.startUp();
    laidOut(rig);
    TScaleAxis& left = rig.chart.LeftAxis();
    TScaleAxis& right = rig.chart.RightAxis();
    for (int i = 0; i < 200; ++i) rig.chart.wheelStep(1);
    EXPECT_DOUBLE_EQ(left.maximum(), TLevelDiagram::kViewMax_dBSPL);
    EXPECT_NEAR(left.maximum() - left.minimum(), 160, 1e-9);
    // The right scale moved with it: 94 dB SPL still reads the sensitivity.
    EXPECT_NEAR(right.maximum() - left.maximum(), -39.8 - 94, 1e-9);
    for (int i = 0; i < 12; ++i) rig.chart.panRows(60, 400);
    EXPECT_DOUBLE_EQ(left.maximum(), TLevelDiagram::kViewMax_dBSPL);
    for (int i = 0; i < 400; ++i) rig.chart.wheelStep(-1);
    EXPECT_DOUBLE_EQ(left.minimum(), TLevelDiagram::kViewMin_dBSPL);
    EXPECT_NEAR(right.maximum() - left.maximum(), -39.8 - 94, 1e-9);

    // A zoom rectangle narrower than the smallest span zooms to that span.
    rig.chart.restoreView();
    laidOut(rig);
    rig.chart.zoomRows(200, 203);
    EXPECT_NEAR(left.maximum() - left.minimum(), TLevelDiagram::kMinViewSpan_dB, 1e-9);
    EXPECT_NEAR(right.maximum() - right.minimum(), TLevelDiagram::kMinViewSpan_dB, 1e-9);
    const TChartLayout l = laidOut(rig);
    EXPECT_DOUBLE_EQ(l.find(&left)->step, 1);
}

// Eight events of 15 units each pan as one notch of 120.
TEST(Wheel, PartialTurnsAddUpToNotches)
{
    auto send = [](QWidget& w, int units) {
        QWheelEvent e(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, units), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&w, &e);
    };
    DiagramRig fine, notch;
    fine.startUp();
    notch.startUp();
    for (int i = 0; i < 7; ++i) send(fine.chart, 15);
    EXPECT_EQ(fine.chart.LeftAxis().minimum(), 0); // not a notch yet
    send(fine.chart, 15);
    send(notch.chart, 120);
    EXPECT_EQ(fine.chart.LeftAxis().minimum(), notch.chart.LeftAxis().minimum());
    EXPECT_EQ(fine.chart.RightAxis().maximum(), notch.chart.RightAxis().maximum());
    EXPECT_NEAR(fine.chart.LeftAxis().minimum(), 4.8, 1e-9);
    // Backward turns count down through the same remainder.
    for (int i = 0; i < 8; ++i) send(fine.chart, -15);
    EXPECT_NEAR(fine.chart.LeftAxis().minimum(), 0, 1e-9);
}

// ---- rendered ------------------------------------------------------------------

namespace {

const QRgb kLime = qRgb(0, 255, 0), kRed = qRgb(255, 0, 0), kAqua = qRgb(0, 255, 255), kBlue = qRgb(0, 0, 255),
           kGreen = qRgb(0, 128, 0);

int count(const QImage& img, QRgb c, const TIntRect& r)
{
    int n = 0;
    for (int y = std::max(0, r.top); y < std::min(img.height(), r.bottom); ++y)
        for (int x = std::max(0, r.left); x < std::min(img.width(), r.right); ++x)
            n += (img.pixel(x, y) | 0xFF000000u) == c;
    return n;
}

const TOverlayText* find(const TLevelDiagram& d, const QString& text)
{
    for (const TOverlayText& t : d.lastOverlayTexts())
        if (t.text == text) return &t;
    return nullptr;
}

} // namespace

// Source above the maximum level: the marker texts show over the red zone;
// a maximum above the plot puts its text at the plot's top.
TEST(Overload, MarkerTextsOverTheRedZone)
{
    DiagramRig rig;
    rig.startUp();
    rig.in(InputId::MicMaxLevel_dBSPL).setText("140");
    rig.in(InputId::SourceLevel_dBSPL).setText("145");
    rig.in(InputId::AmpGain_dB).setText("60");
    const QImage img = rig.chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TOverlayText* src = find(rig.chart, "145 dBSPL");
    const TOverlayText* out = find(rig.chart, "11 dBu");
    ASSERT_NE(src, nullptr);
    ASSERT_NE(out, nullptr);
    for (const TOverlayText* t : {src, out}) {
        EXPECT_GT(count(img, kLime, t->rect), 20) << t->text.toStdString();
        EXPECT_GT(count(img, kRed, t->rect), 0) << "the text lies in the red zone";
    }
    for (const TOverlayText& t : rig.chart.lastOverlayTexts())
        EXPECT_TRUE(rig.chart.lastLayout().bounds.contains(t.rect)) << t.text.toStdString();

    rig.in(InputId::MicMaxLevel_dBSPL).setText("170");
    const QImage above = rig.chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TOverlayText* maxText = find(rig.chart, "Mic Max level = 170 dBSPL");
    ASSERT_NE(maxText, nullptr);
    EXPECT_EQ(maxText->rect.top, rig.chart.ChartRect().top); // moved down into the plot, by the least amount
    EXPECT_GT(count(above, qRgb(255, 255, 0), maxText->rect), 20);
}

// A zoom that leaves the 94 dB SPL line and both source markers off the
// control leaves their texts out instead of stacking them at its edge.
TEST(OffView, LineAndMarkerTextsStayWithTheirRows)
{
    DiagramRig rig;
    rig.startUp();
    rig.in(InputId::SourceLevel_dBSPL).setText("40");
    laidOut(rig);
    rig.chart.zoomRows(20, 60); // the loud end, well above 94 dB SPL
    rig.chart.grab();
    for (const char* text : {"94 dBSPL", "40 dBSPL", "-94 dBu"})
        EXPECT_EQ(find(rig.chart, text), nullptr) << text;
    EXPECT_NE(find(rig.chart, "Mic Max level = 130 dBSPL"), nullptr);
    for (const TOverlayText& t : rig.chart.lastOverlayTexts())
        EXPECT_TRUE(rig.chart.lastLayout().bounds.contains(t.rect)) << t.text.toStdString();
}

// The bars' dotted right and bottom edges show their fill in the gaps.
TEST(Fills, ReachTheOutline)
{
    DiagramRig rig;
    rig.startUp();
    const QImage img = rig.chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TIntRect r = rig.chart.ChartRect();
    const int a = r.width() / 10;
    const int yMax = rig.chart.Series2().CalcYPosValue(130), y94 = rig.chart.Series2().CalcYPosValue(94);
    const int yNoise = rig.chart.Series1().CalcYPosValue(-99.8);
    struct Bar {
        int x1, y1, x2, y2;
        QRgb fill, pen;
    };
    for (const Bar& b : {Bar{r.left + 2 * a, yMax, r.left + 4 * a, yNoise, kAqua, kBlue},
                         Bar{r.left + 6 * a, y94, r.left + 8 * a, yNoise, kLime, kGreen}}) {
        for (int y = b.y1 + 1; y < b.y2 - 1; ++y) {
            const QRgb c = img.pixel(b.x2 - 1, y) | 0xFF000000u;
            EXPECT_TRUE(c == b.fill || c == b.pen) << "right edge at row " << y;
        }
        for (int x = b.x1 + 1; x < b.x2 - 1; ++x) {
            const QRgb c = img.pixel(x, b.y2 - 1) | 0xFF000000u;
            EXPECT_TRUE(c == b.fill || c == b.pen) << "bottom edge at column " << x;
        }
    }
}

// ---- accessible children --------------------------------------------------------

TEST(Accessible, ColumnsAndOverlayTextsAsPainted)
{
    DiagramRig rig;
    rig.startUp();
    rig.chart.show(); // accessible rectangles are in screen coordinates
    (void)rig.chart.grab();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&rig.chart);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name), "Level diagram");
    const QPoint origin = rig.chart.mapToGlobal(QPoint(0, 0));

    QStringList lists;
    QStringList statics;
    const TChartLayout& l = rig.chart.lastLayout();
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* c = iface->child(i);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(iface->indexOfChild(c), i);
        EXPECT_EQ(c->parent(), iface);
        if (c->role() == QAccessible::List) {
            lists << c->text(QAccessible::Name);
            // Items top to bottom, as painted, with their painted rectangles.
            const TAxisLayout* column = nullptr;
            for (const TAxisLayout& a : l.axes)
                if (a.showLabels && !a.labels.empty()) {
                    const TLabelItem& first = a.labels.front();
                    if (c->childCount() > 0 && c->child(0)->text(QAccessible::Name) == first.text) column = &a;
                }
            ASSERT_NE(column, nullptr) << c->text(QAccessible::Name).toStdString();
            ASSERT_EQ(c->childCount(), static_cast<int>(column->labels.size()));
            for (int k = 0; k < c->childCount(); ++k) {
                QAccessibleInterface* item = c->child(k);
                const TLabelItem& label = column->labels[static_cast<std::size_t>(k)];
                EXPECT_EQ(item->role(), QAccessible::ListItem);
                EXPECT_EQ(item->text(QAccessible::Name), label.text);
                const TIntRect& t = label.textRect;
                EXPECT_EQ(item->rect(), QRect(origin + QPoint(t.left, t.top), QSize(t.width(), t.height())));
            }
        } else {
            EXPECT_EQ(c->role(), QAccessible::StaticText);
            statics << c->text(QAccessible::Name);
        }
    }
    EXPECT_EQ(lists, (QStringList{"Pa scale", "dBSPL scale", "dBu scale", "dBV scale", "volts scale"}));
    EXPECT_EQ(statics, (QStringList{"Acoustic", "Electric", "94 dBSPL", "74 dBSPL", "-60 dBu",
                                    "Mic Max level = 130 dBSPL", "Mic Noise level = -100 dBu"}));
    const TOverlayText* t = find(rig.chart, "94 dBSPL");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(iface->child(7)->rect(),
              QRect(origin + QPoint(t->rect.left, t->rect.top), QSize(t->rect.width(), t->rect.height())));

    // After a repaint of another view the children follow it.
    rig.digital.click();
    (void)rig.chart.grab();
    lists.clear();
    for (int i = 0; i < iface->childCount(); ++i)
        if (iface->child(i)->role() == QAccessible::List) lists << iface->child(i)->text(QAccessible::Name);
    EXPECT_EQ(lists, (QStringList{"Pa scale", "dBSPL scale", "dBFS scale"}));
}
