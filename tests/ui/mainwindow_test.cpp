// The main window end to end: start-up state, typing into the inputs, the
// mode switch, menus and actions, tab order, resizing and a rendered image.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include "calc/interfaces.h"
#include "diagram/leveldiagram.h"
#include "ui/actionlist.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w = std::make_unique<TfmMain>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        QApplication::processEvents();
    }
    void TearDown() override { w.reset(); }

    template <typename T = QWidget>
    T* find(const char* name)
    {
        T* c = w->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QString text(const char* name) { return find<QLineEdit>(name)->text(); }
    QString accessibleValue(QWidget* widget)
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        if (!a) return {};
        if (QAccessibleValueInterface* v = a->valueInterface()) return v->currentValue().toString();
        return a->text(QAccessible::Value);
    }
    QString accessibleName(QWidget* widget)
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        return a ? a->text(QAccessible::Name) : QString();
    }
    QString resultLine() { return accessibleName(find("lblCalcMain")); }
    void typeInto(const char* name, const QString& keys)
    {
        QLineEdit* e = find<QLineEdit>(name);
        e->setFocus();
        QApplication::processEvents();
        e->selectAll();
        // The minus key toggles the sign of what is there: type the digits first.
        const bool negative = keys.startsWith('-');
        QTest::keyClicks(e, negative ? keys.mid(1) : keys);
        if (negative) QTest::keyClick(e, Qt::Key_Minus);
        QApplication::processEvents();
    }
    // Opens a top-level menu's drop-down as the user would, then closes it.
    QMenu* openMenu(const char* name)
    {
        QMenu* m = find<QMenu>(name);
        m->popup(QPoint(0, 0));
        QApplication::processEvents();
        m->hide();
        return m;
    }
    bool itemEnabled(QMenu* m, const char* item)
    {
        for (QAction* a : m->actions())
            if (a->objectName() == item) return a->isEnabled();
        ADD_FAILURE() << "no item " << item;
        return false;
    }

    std::unique_ptr<TfmMain> w;
};

TEST_F(MainWindowTest, StateRightAfterStartUp)
{
    EXPECT_EQ(w->windowTitle(), "Phonolith - Corvanne - \"\"");
    const std::pair<const char*, const char*> shown[] = {
        {"seMicSens_mV", "7.9"},          {"seMicSens_dBu", "-39.8"},       {"seMicSens_dBV", "-42.0"},
        {"seMicSens_dBFS", "-26.0"},      {"seMicNoise_uV", "7.9"},         {"seMicNoise_dBu", "-99.8"},
        {"seMicNoise_dBV", "-102.0"},     {"seMicNoise_dBFS", "-90.0"},     {"seMicNoise_dBSPL", "130.0"},
        {"seMicMaxLevel_dBSPL", "130"},   {"seSourceLevel_dBSPL", "74.0"},  {"seSourceLevel_Pa", "0.10024"},
        {"seAmpGain_dB", "20"},           {"FloatSpinEdit2", "1"},          {"FloatSpinEdit5", "10"},
    };
    for (const auto& [name, value] : shown) EXPECT_EQ(text(name), value) << name;

    EXPECT_NEAR(w->chart()->RightAxis().minimum(), -133.8, 1e-9);
    EXPECT_NEAR(w->chart()->RightAxis().maximum(), 26.2, 1e-9);
    EXPECT_EQ(resultLine(), "[Dyn : 0 dB ; SNR : 0 dB] - At 74 dBSPL (0.100237 Pa), Mic out = 793.052 uV / -60 dBu / "
                            "-62 dBV ; Amp out = 0.0 V / -40 dBu / -42 dBV");
    EXPECT_EQ(accessibleValue(find("pbLevelMeter")), "-60");

    for (const char* action : {"ActMicPresetFileOpen", "ActMicPresetFileSave", "ActMicPresetFileSaveAs",
                               "ActMicPresetNew", "ActMicPresetRename", "ActMicPresetDelete"})
        EXPECT_FALSE(find<QAction>(action)->isEnabled()) << action;
    for (const char* button : {"Button4", "Button1", "Button2", "btnMicresetRename", "Button3"})
        EXPECT_FALSE(find(button)->isEnabled()) << button;
    EXPECT_TRUE(find<QAction>("ActAppClose")->isEnabled());

    // The first idle moment disables the display actions and their check boxes.
    for (const char* box : {"cbShowDangerThrs", "cbShowPainThrs", "cbShowHearingThrs"}) {
        auto* c = find<QCheckBox>(box);
        EXPECT_FALSE(c->isEnabled()) << box;
        EXPECT_FALSE(c->isChecked()) << box;
    }
    EXPECT_EQ(find<QCheckBox>("cbShowPainThrs")->text(), "Show Pain Threshold (120 dBSPL)");

    QMenu* help = openMenu("Help1");
    EXPECT_FALSE(itemEnabled(help, "Readme1"));
    EXPECT_FALSE(itemEnabled(help, "About1"));
    QMenu* file = openMenu("File1");
    EXPECT_FALSE(itemEnabled(file, "ActMicSpecsFileOpen1"));
    EXPECT_FALSE(itemEnabled(file, "Saveas1"));
    EXPECT_TRUE(itemEnabled(file, "ActAppClose2"));
    QMenu* display = openMenu("Display1");
    EXPECT_FALSE(itemEnabled(display, "ShowPainThreshold120dBSPL1"));
    QMenu* presets = openMenu("Presets1");
    EXPECT_FALSE(itemEnabled(presets, "New1"));

    EXPECT_EQ(find<QLabel>("lblMicDesc")->text(), "<MicDesc>");
    EXPECT_FALSE(find("lblMicPresetParamsError")->isVisible());
    EXPECT_EQ(find<QComboBox>("cbMicPresets")->count(), 0);
}

TEST_F(MainWindowTest, TypingUpdatesSiblingsResultBarAndAxis)
{
    typeInto("seMicSens_dBV", "-44");
    EXPECT_EQ(text("seMicSens_dBu"), "-41.8");
    EXPECT_EQ(text("seMicSens_mV"), "6.3");
    EXPECT_NEAR(w->chart()->RightAxis().maximum(), -41.8 + 66, 1e-9);
    EXPECT_NEAR(w->chart()->RightAxis().minimum(), -41.8 - 94, 1e-9);
    EXPECT_EQ(accessibleValue(find("pbLevelMeter")), "-62");
    EXPECT_TRUE(resultLine().contains("/ -62 dBu / -64 dBV ;")) << resultLine().toStdString();
    EXPECT_TRUE(w->calculator().handlersAttached());

    typeInto("seMicSens_dBV", "-42");
    EXPECT_EQ(text("seMicSens_dBu"), "-39.8");
    EXPECT_EQ(text("seMicSens_mV"), "7.9");
}

TEST_F(MainWindowTest, ModeSwitchBothWays)
{
    auto* digital = find<QRadioButton>("rbMicDigital");
    QTest::mouseClick(digital, Qt::LeftButton, {}, QPoint(5, digital->height() / 2));
    QApplication::processEvents();
    EXPECT_TRUE(digital->isChecked());
    for (const char* name : {"seMicSens_mV", "seMicSens_dBu", "seMicSens_dBV", "seMicNoise_uV", "seMicNoise_dBu",
                             "seMicNoise_dBV"})
        EXPECT_FALSE(find(name)->isEnabled()) << name;
    EXPECT_TRUE(find("seMicSens_dBFS")->isEnabled());
    EXPECT_TRUE(find("seMicNoise_dBFS")->isEnabled());
    EXPECT_TRUE(find("seMicNoise_dBSPL")->isEnabled());
    EXPECT_DOUBLE_EQ(w->chart()->RightAxis().minimum(), -120);
    EXPECT_DOUBLE_EQ(w->chart()->RightAxis().maximum(), 40);
    EXPECT_TRUE(resultLine().contains("Mic out = -46 dBFS ; Amp out = -26 dBFS")) << resultLine().toStdString();

    auto* analog = find<QRadioButton>("rbMicAnalog");
    QTest::mouseClick(analog, Qt::LeftButton, {}, QPoint(5, analog->height() / 2));
    QApplication::processEvents();
    EXPECT_TRUE(find("seMicSens_dBu")->isEnabled());
    EXPECT_FALSE(find("seMicSens_dBFS")->isEnabled());
    EXPECT_NEAR(w->chart()->RightAxis().maximum(), 26.2, 1e-9);
}

TEST_F(MainWindowTest, TabVisitsEnabledControlsInOrder)
{
    // Panel1's inputs that the analog mode leaves enabled, then on into Panel3.
    const char* expected[] = {"seMicNoise_uV", "seMicSens_mV", "seMicSens_dBu", "seMicSens_dBV", "seMicNoise_dBu",
                              "seMicNoise_dBV", "seMicMaxLevel_dBSPL", "seMicNoise_dBSPL",
                              // the preset buttons that stay enabled, then Panel3
                              "btnMicPresetPrev", "btnMicPresetNext", "seSourceLevel_dBSPL", "seSourceLevel_Pa",
                              "rbSourceIsPoint", "seAmpGain_dB"};
    find("seMicNoise_uV")->setFocus();
    QApplication::processEvents();
    for (const char* name : expected) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
    }
}

TEST_F(MainWindowTest, ResizingGivesTheDiagramTheSpace)
{
    const QPoint sensPos = find("seMicSens_dBu")->pos();
    const QPoint gainPos = find("seAmpGain_dB")->pos();
    EXPECT_EQ(find("Panel1")->height(), 99);
    EXPECT_EQ(find("Panel3")->height(), 57);
    EXPECT_EQ(find("Panel2")->height(), 29);
    EXPECT_EQ(w->chart()->size(), QSize(980, 448));
    EXPECT_EQ(w->chart()->y(), 156);

    w->resize(w->width() + 200, w->height() + 100);
    QApplication::processEvents();
    EXPECT_EQ(find("Panel1")->height(), 99);
    EXPECT_EQ(find("Panel2")->height(), 29);
    EXPECT_EQ(find("Panel1")->width(), 1180);
    EXPECT_EQ(w->chart()->size(), QSize(1180, 548));
    EXPECT_EQ(find("lblCalcMain")->width(), 1180 - 4 - 193);
    EXPECT_EQ(find("seMicSens_dBu")->pos(), sensPos);
    EXPECT_EQ(find("seAmpGain_dB")->pos(), gainPos);
}

TEST_F(MainWindowTest, ClickingTheDiagramChangesNothing)
{
    // The window's click handler is bound and the click reaches it.
    const auto handler = w->chart()->OnClick;
    ASSERT_TRUE(handler);
    int runs = 0;
    w->chart()->OnClick = [&](TScaleChart* chart) {
        ++runs;
        handler(chart);
    };
    const QString before = resultLine();
    QTest::mouseClick(w->chart(), Qt::LeftButton, {}, QPoint(400, 200));
    QApplication::processEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(resultLine(), before);
    EXPECT_NEAR(w->chart()->RightAxis().maximum(), 26.2, 1e-9);
    EXPECT_NEAR(w->chart()->LeftAxis().maximum(), 160, 1e-9);
}

TEST_F(MainWindowTest, FileDialogsAreMadeOnFirstUseWithTheirSettings)
{
    EXPECT_EQ(w->findChild<QFileDialog*>(), nullptr); // none at start-up
    QFileDialog* open = w->fileDialog(false);
    QFileDialog* save = w->fileDialog(true);
    ASSERT_NE(open, nullptr);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(w->fileDialog(false), open); // made once
    EXPECT_EQ(open->objectName(), "OpenDialog1");
    EXPECT_EQ(save->objectName(), "SaveDialog1");
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    for (QFileDialog* d : {open, save}) {
        EXPECT_EQ(d->directory().absolutePath() + '/', w->AppPath) << d->objectName().toStdString();
        EXPECT_EQ(d->defaultSuffix(), "dat");
        EXPECT_EQ(d->nameFilters(), QStringList{"Mic Set (*.dat)"});
        EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
    }
}

TEST_F(MainWindowTest, EveryControlIsNamedForScreenReaders)
{
    EXPECT_EQ(accessibleName(find("seMicSens_dBu")), "Mic Sensitivity in dBu");
    EXPECT_EQ(accessibleName(find("seSourceLevel_Pa")), "Source Level in Pa");
    EXPECT_EQ(accessibleName(w->chart()), "Level diagram");
    const QString description = QAccessible::queryAccessibleInterface(w->chart())->text(QAccessible::Description);
    EXPECT_TRUE(description.contains("dBu")) << description.toStdString();
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisible()) continue;
        if (qobject_cast<QLineEdit*>(c) || qobject_cast<QAbstractButton*>(c) || qobject_cast<QComboBox*>(c)) {
            EXPECT_FALSE(accessibleName(c).isEmpty())
                << c->metaObject()->className() << " " << c->objectName().toStdString() << " in "
                << c->parentWidget()->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, RenderedWindowShowsRegionsBarsAndLevelBar)
{
    QApplication::processEvents();
    const QImage img = w->centralWidget()->grab().toImage();
    ASSERT_EQ(img.size(), QSize(980, 633));
    auto at = [&](int x, int y) { return QColor(img.pixel(x, y)); };
    // The diagram's black background, the acoustic (aqua) and electric (lime)
    // bars between the two scales, and the level bar's fill in the bottom strip.
    EXPECT_EQ(at(5, 156 + 440), QColor(Qt::black));
    const int row = 156 + 300;
    EXPECT_EQ(at(360, row), QColor(0x00, 0xFF, 0xFF));
    EXPECT_EQ(at(560, row), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(at(970, 633 - 15).rgb() & 0xFFFFFF, 0x000000u);
    // Level bar at -60 of -80..20: its fill covers the first fifth.
    const QColor fill = at(2 + 7 + 10, 604 + 14);
    EXPECT_NE(fill, QColor(Qt::black));
    EXPECT_EQ(at(2 + 150, 604 + 14), QColor(Qt::black));
}

} // namespace

namespace {

// Nothing is cut or overlaps: every caption shows its whole text, and no two
// controls of a strip share pixels (but the two source choices, whose boxes
// are designed to overlap). Run at several screen scales by CTest.
TEST(MainWindowLayout, NothingIsCutOrOverlaps)
{
    TfmMain w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
    for (const char* strip : {"Panel1", "Panel3"}) {
        QWidget* panel = w.findChild<QWidget*>(strip);
        ASSERT_NE(panel, nullptr);
        QList<QWidget*> controls;
        for (QWidget* c : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible()) controls.append(c);
        for (QWidget* c : controls) {
            EXPECT_TRUE(panel->contentsRect().contains(c->geometry()))
                << c->objectName().toStdString() << " leaves " << strip;
            const QString text = c->property("text").toString();
            if (text.isEmpty() || qobject_cast<QLineEdit*>(c)) continue;
            int room = c->width();
            if (qobject_cast<QRadioButton*>(c))
                room -= c->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                        c->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
            else if (qobject_cast<QCheckBox*>(c))
                room -= c->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                        c->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
            EXPECT_GE(room, c->fontMetrics().horizontalAdvance(text)) << text.toStdString() << " is cut";
        }
        for (int i = 0; i < controls.size(); ++i)
            for (int j = i + 1; j < controls.size(); ++j) {
                const QString a = controls[i]->objectName(), b = controls[j]->objectName();
                // Boxes designed to touch: the source choices, "<" and ">", the check boxes.
                bool designed = false;
                for (const char* prefix : {"rbSourceIs", "btnMicPreset", "cbShow"})
                    designed = designed || (a.startsWith(prefix) && b.startsWith(prefix));
                if (designed) continue;
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << a.toStdString() << " / " << controls[i]->metaObject()->className() << " overlaps "
                    << b.toStdString() << " / " << controls[j]->metaObject()->className();
            }
    }
}

} // namespace
