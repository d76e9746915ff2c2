// The window with the signal chain (phonolith --chain), driven with real
// keys and clicks in both locales and both microphone kinds; and without
// it, the window as always.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "diagram/leveldiagram.h"
#include "overlay_check.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"
#include "widgets/markuplabel.h"

namespace {

// The window made under a locale whose decimal separator is `sep`, with the
// signal chain or without it.
class Window {
public:
    Window(const std::string& sep, bool chain) : sep_(QString::fromStdString(sep)), saved_(QLocale())
    {
        QLocale::setDefault(sep == "," ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        w = std::make_unique<TfmMain>();
        if (chain) w->startSignalChain();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        QApplication::processEvents();
    }
    ~Window()
    {
        w.reset();
        QLocale::setDefault(saved_);
    }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        T* c = w->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    // "12.5" with the window's separator.
    QString num(const char* figure) const { return QString(figure).replace('.', sep_); }
    // Selects the whole text and types the figure with keys (the minus key
    // last: it toggles the sign of what is there).
    void type(const char* name, const char* figure)
    {
        auto* e = find<QLineEdit>(name);
        e->setFocus();
        QApplication::processEvents();
        e->selectAll();
        QString keys = num(figure);
        const bool negative = keys.startsWith('-');
        QTest::keyClicks(e, negative ? keys.mid(1) : keys);
        if (negative) QTest::keyClick(e, Qt::Key_Minus);
        QApplication::processEvents();
    }
    void click(const char* name)
    {
        auto* b = find<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
        QApplication::processEvents();
    }
    static QString accessibleText(QWidget* widget, QAccessible::Text t)
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        return a ? a->text(t) : QString();
    }
    QString resultLine() const { return accessibleText(find("lblCalcMain"), QAccessible::Name); }
    QString warnings() const { return accessibleText(find("lblChainWarnings"), QAccessible::Name); }
    QString description() const { return accessibleText(w->chart(), QAccessible::Description); }

    std::unique_ptr<TfmMain> w;

private:
    QString sep_;
    QLocale saved_;
};

std::string show(const QString& s) { return s.toStdString(); }

// ---- without --chain ---------------------------------------------------------

TEST(ChainWindow, WithoutTheRequestTheChainControlsStayOff)
{
    Window win(".", false);
    EXPECT_FALSE(win.w->chainMode());
    EXPECT_FALSE(win.find("FloatSpinEdit2")->isEnabled());
    EXPECT_FALSE(win.find("FloatSpinEdit5")->isEnabled());
    EXPECT_FALSE(win.find("rbSourceIsLine")->isEnabled());
    EXPECT_EQ(win.w->findChild<QWidget*>("seConverterFS_dBu"), nullptr);
    EXPECT_EQ(win.w->findChild<QWidget*>("lblChainWarnings"), nullptr);
    EXPECT_EQ(win.find("Panel3")->height(), 57);
    EXPECT_EQ(win.find("Panel2")->height(), 29);
    // The distance box is bound to nothing: a figure typed by the program changes no result.
    const QString line = win.resultLine();
    win.find<TFloatSpinEdit>("FloatSpinEdit2")->setFloatValue(3);
    QApplication::processEvents();
    EXPECT_EQ(win.resultLine(), line);
    EXPECT_FALSE(win.description().contains("Signal chain"));
    EXPECT_FALSE(win.find("cbShowPainThrs")->isEnabled());
}

// ---- with --chain, both locales, both kinds -------------------------------------

class ChainWindowTest : public ::testing::TestWithParam<std::tuple<const char*, bool>> {
protected:
    void SetUp() override
    {
        win = std::make_unique<Window>(std::get<0>(GetParam()), true);
        if (digital()) win->click("rbMicDigital");
    }
    void TearDown() override { win.reset(); }
    bool digital() const { return std::get<1>(GetParam()); }
    std::unique_ptr<Window> win;
};

TEST_P(ChainWindowTest, ControlsAreEnabledForTheKind)
{
    EXPECT_TRUE(win->w->chainMode());
    for (const char* on : {"FloatSpinEdit2", "rbSourceIsPoint", "rbSourceIsLine", "seTargetLevel_dBFS", "cbShowPainThrs",
                           "cbShowDangerThrs", "cbShowHearingThrs", "lblChainWarnings"})
        EXPECT_TRUE(win->find(on)->isEnabled() && win->find(on)->isVisible()) << on;
    // The preamplifier's noise and the converter are the analog chain's.
    EXPECT_EQ(win->find("FloatSpinEdit5")->isEnabled(), !digital());
    EXPECT_EQ(win->find("seConverterFS_dBu")->isEnabled(), !digital());
    EXPECT_EQ(win->find<QLineEdit>("FloatSpinEdit2")->text(), win->num("1.00"));
    EXPECT_EQ(win->find<QLineEdit>("seConverterFS_dBu")->text(), win->num("18.0"));
    EXPECT_EQ(win->find<QLineEdit>("seTargetLevel_dBFS")->text(), win->num("-18.0"));
    EXPECT_EQ(Window::accessibleText(win->find("seConverterFS_dBu"), QAccessible::Name), "Converter 0 dBFS in dBu");
    EXPECT_EQ(Window::accessibleText(win->find("seTargetLevel_dBFS"), QAccessible::Name), "Target level in dBFS");
}

TEST_P(ChainWindowTest, DistanceAndShapeMoveTheLevelAtTheMic)
{
    // 74 dB SPL at 1 m: 68 at 2 m from a point source, 71 from a line source.
    const QString before = win->resultLine();
    EXPECT_TRUE(before.contains("At 74 dBSPL")) << show(before);
    win->type("FloatSpinEdit2", "2");
    EXPECT_TRUE(win->resultLine().contains("At 68 dBSPL (" + win->num("0.050119") + " Pa)")) << show(win->resultLine());
    EXPECT_EQ(win->find<QLineEdit>("seSourceLevel_dBSPL")->text(), win->num("74.0"));
    EXPECT_TRUE(win->description().contains("Source " + win->num("67.9794") + " dB SPL")) << show(win->description());
    win->click("rbSourceIsLine");
    EXPECT_TRUE(win->resultLine().contains("At 71 dBSPL")) << show(win->resultLine());
    win->click("rbSourceIsPoint");
    EXPECT_TRUE(win->resultLine().contains("At 68 dBSPL")) << show(win->resultLine());
    // Back at 1 m: today's line, character for character.
    win->type("FloatSpinEdit2", "1");
    EXPECT_EQ(win->resultLine(), before);
}

TEST_P(ChainWindowTest, DistanceOfZeroBeepsAndTheTextStays)
{
    win->type("FloatSpinEdit2", "0.5");
    const QString line = win->resultLine();
    auto* distance = win->find<TFloatSpinEdit>("FloatSpinEdit2");
    QSignalSpy beeps(distance, &TFloatSpinEdit::beeped);
    win->type("FloatSpinEdit2", "0");
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(distance->text(), "0");
    EXPECT_EQ(win->resultLine(), line);
    // Typing on from "0" reaches a distance again.
    QTest::keyClicks(distance, win->num(".25"));
    QApplication::processEvents();
    EXPECT_EQ(distance->text(), win->num("0.25"));
    EXPECT_NE(win->resultLine(), line);
}

TEST_P(ChainWindowTest, WarningLineSaysWhatToActOnAndIsAnnounced)
{
    auto* label = win->find<TMarkupLabel>("lblChainWarnings");
    EXPECT_TRUE(label->announcesChanges());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->role(), QAccessible::Notification);
    const QString line = win->resultLine();
    win->type("seSourceLevel_dBSPL", "140");
    win->type("seAmpGain_dB", "30");
    const QString w = win->warnings();
    EXPECT_TRUE(w.startsWith("Mic overloaded by " + win->num("10.0") + " dB ; ")) << show(w);
    if (digital()) // -26 dBFS at 140 dB SPL: 20 dBFS, 50 after the gain
        EXPECT_TRUE(w.contains("Converter clips by " + win->num("20.0") + " dB ; Digital gain clips by " +
                               win->num("50.0") + " dB"))
            << show(w);
    else // -39.8 dBu + 46 + 30 = 36.2 dBu, 18.2 dB above +18 dBu
        EXPECT_TRUE(w.contains("Converter clips by " + win->num("18.2") + " dB")) << show(w);
    EXPECT_TRUE(w.contains("Chain SNR")) << show(w);
    // The result line keeps its own form.
    EXPECT_TRUE(win->resultLine().startsWith("[Dyn : 0 dB ; SNR : 0 dB] - At 140 dBSPL")) << show(win->resultLine());
    EXPECT_NE(win->resultLine(), line);
}

TEST_P(ChainWindowTest, ThresholdsFromCheckBoxesAndMenu)
{
    TLevelDiagram* chart = win->w->chart();
    auto texts = [chart] {
        QApplication::processEvents();
        chart->grab(); // paint now, whatever the platform does with expose events
        QStringList t;
        for (const TOverlayText& o : chart->lastOverlayTexts()) t << o.text;
        return t;
    };
    EXPECT_FALSE(texts().contains("Pain 120 dBSPL"));
    win->click("cbShowPainThrs");
    win->click("cbShowDangerThrs");
    win->click("cbShowHearingThrs");
    EXPECT_TRUE(win->find<QCheckBox>("cbShowPainThrs")->isChecked());
    const QStringList shown = texts();
    for (const char* t : {"Pain 120 dBSPL", "Danger 85 dBSPL", "Hearing threshold 0 dBSPL"})
        EXPECT_TRUE(shown.contains(t)) << t << " in " << show(shown.join(" | "));
    EXPECT_TRUE(win->description().contains("pain 120 dB SPL")) << show(win->description());
    EXPECT_EQ(overlaycheck::problem(*chart), "");

    // The Display item is the same switch.
    auto* display = win->find<QMenu>("Display1");
    display->popup(QPoint(0, 0));
    QApplication::processEvents();
    QAction* pain = nullptr;
    for (QAction* a : display->actions())
        if (a->objectName() == "ShowPainThreshold120dBSPL1") pain = a;
    ASSERT_NE(pain, nullptr);
    EXPECT_TRUE(pain->isEnabled());
    EXPECT_TRUE(pain->isChecked());
    pain->trigger();
    display->hide();
    EXPECT_FALSE(win->find<QCheckBox>("cbShowPainThrs")->isChecked());
    EXPECT_FALSE(texts().contains("Pain 120 dBSPL"));
}

TEST_P(ChainWindowTest, DiagramDrawsAndDescribesTheChain)
{
    win->type("FloatSpinEdit2", "0.5");
    TLevelDiagram* chart = win->w->chart();
    QApplication::processEvents();
    chart->grab();
    QStringList texts;
    for (const TOverlayText& o : chart->lastOverlayTexts()) texts << o.text;
    const QString d = win->description();
    if (digital()) {
        // -26 dBFS: full scale at 120 dB SPL.
        EXPECT_TRUE(texts.contains("0 dBFS = 120 dBSPL")) << show(texts.join(" | "));
        EXPECT_TRUE(d.contains("0 dBFS = " + win->num("120.0") + " dB SPL")) << show(d);
    } else {
        EXPECT_TRUE(texts.contains("0 dBFS = +18 dBu (gain +20 dB)")) << show(texts.join(" | "));
        // 10 uV of preamplifier noise on the microphone's 7.9 uV (-99.8 dBu).
        bool noise = false;
        for (const QString& t : texts) noise = noise || t.startsWith("System noise " + win->num("-95.7") + " dBu (+");
        EXPECT_TRUE(noise) << show(texts.join(" | "));
        EXPECT_TRUE(d.contains("System noise " + win->num("-95.7") + " dBu")) << show(d);
    }
    EXPECT_TRUE(texts.contains("Target -18 dBFS")) << show(texts.join(" | "));
    for (const char* part : {"Signal chain: source", "Chain SNR", "headroom", "the gain for the target is"})
        EXPECT_TRUE(d.contains(part)) << part << " in " << show(d);
    EXPECT_EQ(overlaycheck::problem(*chart), "");
}

INSTANTIATE_TEST_SUITE_P(LocalesAndKinds, ChainWindowTest,
                         ::testing::Combine(::testing::Values(".", ","), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<const char*, bool>>& info) {
                             return std::string(std::get<0>(info.param)[0] == '.' ? "Dot" : "Comma") +
                                    (std::get<1>(info.param) ? "Digital" : "Analog");
                         });

// ---- the three jobs ------------------------------------------------------------

// A job: the figures typed (in this order, after choosing a digital
// microphone if asked), the warning line they give and parts of the
// diagram's description.
struct Job {
    const char* name;
    const char* sep;
    bool digital;
    std::vector<std::pair<const char*, const char*>> typed; // input, figure
    std::string warnings;
    std::vector<const char*> described;
};

class ChainWindowJobs : public ::testing::TestWithParam<Job> {};

TEST_P(ChainWindowJobs, WarnsAndDescribes)
{
    const Job& job = GetParam();
    Window win(job.sep, true);
    if (job.digital) win.click("rbMicDigital");
    for (const auto& [input, figure] : job.typed) win.type(input, figure);
    EXPECT_EQ(show(win.warnings()), job.warnings) << show(win.warnings());
    for (const char* part : job.described)
        EXPECT_TRUE(win.description().contains(part)) << part << " in " << show(win.description());
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, ChainWindowJobs,
    ::testing::Values(
        // A kick drum at 135 dB SPL into a dynamic microphone (-56 dBV,
        // 1.6 mV/Pa) with 50 dB of gain: the converter clips, and the line
        // says by how much.
        Job{"KickDrumIntoADynamicMic", ".", false,
            {{"seMicSens_dBV", "-56"}, {"seMicMaxLevel_dBSPL", "150"}, {"seSourceLevel_dBSPL", "135"},
             {"seAmpGain_dB", "50"}},
            "Converter clips by 19.2 dB ; Chain SNR 82.9 dB",
            {"the gain for the target is 12.8 dB"}},
        // A quiet source, 40 dB SPL at 1 m, 2 m from a condenser microphone
        // whose self-noise is -120 dBu, into a preamplifier of 0.5 uV (-124 dBu).
        Job{"QuietSourceAboveTheNoise", ",", false,
            {{"seMicNoise_dBu", "-120"}, {"seSourceLevel_dBSPL", "40"}, {"FloatSpinEdit2", "2"},
             {"FloatSpinEdit5", "0.5"}},
            "79,8 dB under target ; Chain SNR 18,7 dB",
            {"the gain for the target is 99,8 dB", "the preamplifier adds +1,5 dB"}},
        // A MEMS microphone (-26 dBFS, 120 dB SPL maximum) at 125 dB SPL.
        Job{"MemsMicAt125", ".", true,
            {{"seMicMaxLevel_dBSPL", "120"}, {"seSourceLevel_dBSPL", "125"}, {"seAmpGain_dB", "0"}},
            "Mic overloaded by 5.0 dB ; Converter clips by 5.0 dB ; Chain SNR 95.0 dB",
            {"0 dBFS = 120.0 dB SPL"}}),
    [](const ::testing::TestParamInfo<Job>& info) { return std::string(info.param.name); });

// ---- layout ----------------------------------------------------------------------

// The chain's row and the warning line fit: no control of Panel3 leaves it or
// covers another (the source choices are designed to touch), and the
// warning line lies under the result line, as wide as the strip.
TEST(ChainWindowLayout, NothingIsCutOrOverlaps)
{
    Window win(".", true);
    QWidget* panel = win.find("Panel3");
    QList<QWidget*> controls;
    for (QWidget* c : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (c->isVisible()) controls.append(c);
    for (QWidget* c : controls)
        EXPECT_TRUE(panel->contentsRect().contains(c->geometry())) << c->objectName().toStdString();
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j) {
            const QString a = controls[i]->objectName(), b = controls[j]->objectName();
            bool designed = false;
            for (const char* prefix : {"rbSourceIs", "cbShow"})
                designed = designed || (a.startsWith(prefix) && b.startsWith(prefix));
            if (designed) continue;
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << show(a) << " overlaps " << show(b);
        }
    QWidget* result = win.find("lblCalcMain");
    QWidget* warn = win.find("lblChainWarnings");
    EXPECT_EQ(result->height(), 25);
    EXPECT_GE(warn->y(), result->y() + result->height());
    EXPECT_TRUE(win.find("Panel2")->contentsRect().contains(warn->geometry()));
}

} // namespace
