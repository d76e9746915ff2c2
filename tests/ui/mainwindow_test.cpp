// The main window end to end: start-up state, typing into the inputs, the
// mode switch, menus and actions, tab order, resizing and a rendered image.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <limits>
#include <fstream>
#include <functional>

#include "calc/calculator.h"
#include "calc/interfaces.h"
#include "numtext/numtext.h"
#include "diagram/leveldiagram.h"
#include "presets/presetcontroller.h"
#include "ui/actionlist.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"
#include "widgets/markuplabel.h"
#include "announcements.h"

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
        // The text a reader speaks; the bare number where there is none.
        const QString text = a->text(QAccessible::Value);
        if (!text.isEmpty()) return text;
        if (QAccessibleValueInterface* v = a->valueInterface()) return v->currentValue().toString();
        return {};
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
    void pasteInto(const char* name, const QString& clip)
    {
        QLineEdit* e = find<QLineEdit>(name);
        e->setFocus();
        QApplication::processEvents();
        e->selectAll();
        QGuiApplication::clipboard()->setText(clip);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        QApplication::processEvents();
    }
    void clickDigital()
    {
        auto* digital = find<QRadioButton>("rbMicDigital");
        QTest::mouseClick(digital, Qt::LeftButton, {}, QPoint(5, digital->height() / 2));
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
    EXPECT_EQ(accessibleValue(find("pbLevelMeter")), "-60 dBu");

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
    EXPECT_TRUE(itemEnabled(help, "About1")); // the one action of the Help menu with an operation
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

// Help > About opens a box with the version, the licence and the library's
// sources and attribution, which a screen reader reads; Escape closes it and
// nothing else changes.
TEST_F(MainWindowTest, AboutBoxGivesVersionLicenceAndLibrarySources)
{
    QMenu* help = openMenu("Help1");
    const QString before = resultLine();
    QAction* about = nullptr;
    for (QAction* a : help->actions())
        if (a->objectName() == "About1") about = a;
    ASSERT_NE(about, nullptr);
    about->trigger();
    QApplication::processEvents();

    auto* box = w->findChild<QMessageBox*>("AboutBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), "About Phonolith");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), "About Phonolith");
    // A screen reader finds it among the program's windows.
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(qApp);
    bool listed = false;
    for (int i = 0; root && i < root->childCount(); ++i) listed = listed || root->child(i)->object() == box;
    EXPECT_TRUE(listed);
    // The text a screen reader reads when the box opens and when Tab reaches it.
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    const QString spoken = accessibleName(label);
    for (const char* part : {"Phonolith " PHONOLITH_VERSION, "MIT License", "microphones.dat", "datasheets",
                             "\"SOYUZ Microphones - Open Product Data\" by SOYUZ Microphones", "CC BY 4.0",
                             "https://creativecommons.org/licenses/by/4.0/"})
        EXPECT_TRUE(spoken.contains(part)) << part << " missing from: " << spoken.toStdString();
    // The text is reached with Tab and can be selected with the keyboard.
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    box->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), box->button(QMessageBox::Close));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), label);

    QTest::keyClick(box, Qt::Key_Escape);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->findChild<QMessageBox*>("AboutBox"), nullptr);
    EXPECT_EQ(resultLine(), before);
    EXPECT_TRUE(itemEnabled(openMenu("Help1"), "About1"));
    EXPECT_FALSE(itemEnabled(openMenu("Help1"), "Readme1"));
    EXPECT_FALSE(find<QAction>("ActMicPresetFileOpen")->isEnabled());
}

TEST_F(MainWindowTest, TypingUpdatesSiblingsResultBarAndAxis)
{
    typeInto("seMicSens_dBV", "-44");
    EXPECT_EQ(text("seMicSens_dBu"), "-41.8");
    EXPECT_EQ(text("seMicSens_mV"), "6.3");
    EXPECT_NEAR(w->chart()->RightAxis().maximum(), -41.8 + 66, 1e-9);
    EXPECT_NEAR(w->chart()->RightAxis().minimum(), -41.8 - 94, 1e-9);
    EXPECT_EQ(accessibleValue(find("pbLevelMeter")), "-62 dBu");
    EXPECT_TRUE(resultLine().contains("/ -62 dBu / -64 dBV ;")) << resultLine().toStdString();
    EXPECT_TRUE(w->calculator().handlersAttached());

    typeInto("seMicSens_dBV", "-42");
    EXPECT_EQ(text("seMicSens_dBu"), "-39.8");
    EXPECT_EQ(text("seMicSens_mV"), "7.9");
}

// Tab selects the whole figure; a negative figure typed over a negative one
// keeps its minus.
namespace {

struct SignCase {
    const char* name;
    bool digital;
    const char* box;
    const char* before; // typed first, then the box is left and entered again with Tab
    const char* keys;   // typed key by key after the Tab
    const char* shown;
    std::pair<const char*, const char*> sibling; // a box that follows, and what it shows
};

void PrintTo(const SignCase& c, std::ostream* os) { *os << c.name; }

class TabSignTest : public MainWindowTest, public ::testing::WithParamInterface<SignCase> {};

} // namespace

TEST_P(TabSignTest, TypedFigureKeepsItsSign)
{
    const SignCase& c = GetParam();
    if (c.digital) clickDigital();
    if (*c.before) typeInto(c.box, c.before);
    // Into the box with the Tab key, from the control before it in the tab chain.
    auto* box = find<TFloatSpinEdit>(c.box);
    QWidget* prev = box->previousInFocusChain();
    while (prev != box && !((prev->focusPolicy() & Qt::TabFocus) && prev->isEnabled() && prev->isVisible()))
        prev = prev->previousInFocusChain();
    ASSERT_NE(prev, box);
    prev->setFocus();
    QApplication::processEvents();
    QTest::keyClick(prev, Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), box);
    ASSERT_EQ(box->selectedText(), box->text());
    for (QChar k : QString::fromLatin1(c.keys)) QTest::keyClick(box, k.toLatin1());
    QApplication::processEvents();
    EXPECT_EQ(box->text(), c.shown);
    if (c.sibling.first) {
        EXPECT_EQ(text(c.sibling.first), c.sibling.second) << c.sibling.first;
    }
    const char* sens = c.digital ? "seMicSens_dBFS" : "seMicSens_dBu";
    EXPECT_DOUBLE_EQ(w->chart()->RightAxis().maximum(), find<TFloatSpinEdit>(sens)->floatValue() + 66);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TabSignTest,
    ::testing::Values(SignCase{"NegativeOverNegative", false, "seMicSens_dBV", "-54.4", "-54.7", "-54.7",
                               {"seMicSens_dBu", "-52.5"}},
                      SignCase{"NegativeOverNegativeDigital", true, "seMicSens_dBFS", "", "-26", "-26",
                               {nullptr, nullptr}},
                      SignCase{"NegativeOverPositive", false, "seAmpGain_dB", "", "-6", "-6", {"seAmpGain_dB", "-6"}},
                      SignCase{"PositiveOverNegative", false, "seMicSens_dBu", "", "5", "5", {"seMicSens_dBV", "2.8"}},
                      SignCase{"MinusTwiceMakesItPositive", false, "seMicNoise_dBu", "", "--90", "90",
                               {"seMicNoise_dBV", "87.8"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A reader's value request of NaN or an infinity leaves the box, its
// siblings and the result line as they were; a finite one is taken as typed
// figures are, siblings and result following. With "." and with ",".
namespace {

class ValueRequestTest : public MainWindowTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        saved_ = QLocale();
        QLocale::setDefault(QString(GetParam()) == "," ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QLocale::setDefault(saved_);
    }
    QString local(const char* dotted) const { return QString(dotted).replace('.', GetParam()); }
    QStringList shown()
    {
        QStringList all{resultLine()};
        for (QLineEdit* e : w->findChildren<QLineEdit*>()) all << e->objectName() + '=' + e->text();
        return all;
    }
    QLocale saved_;
};

} // namespace

TEST_P(ValueRequestTest, NonFiniteChangesNothing)
{
    auto* box = find<TFloatSpinEdit>("seMicSens_dBu");
    QAccessibleValueInterface* v = QAccessible::queryAccessibleInterface(box)->valueInterface();
    ASSERT_NE(v, nullptr);
    const QStringList before = shown();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
        v->setCurrentValue(bad);
        QApplication::processEvents();
        EXPECT_EQ(shown(), before) << bad;
    }
    EXPECT_TRUE(w->calculator().handlersAttached());
    v->setCurrentValue(-40.26);
    QApplication::processEvents();
    EXPECT_EQ(box->text(), local("-40.3"));
    EXPECT_EQ(text("seMicSens_dBV"), local("-42.5"));
    EXPECT_NE(resultLine(), before.front()); // the microphone's output follows
}

INSTANTIATE_TEST_SUITE_P(Separators, ValueRequestTest, ::testing::Values(".", ","),
                         [](const auto& info) { return std::string(info.param == std::string(".") ? "Dot" : "Comma"); });

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
                              "rbSourceIsPoint", "seAmpGain_dB",
                              // then the result line and the diagram, and round to the first control
                              "lblCalcMain", "Chart1", "cbMicPresets"};
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
    const auto handler = w->chart()->onClick();
    ASSERT_TRUE(handler);
    int runs = 0;
    w->chart()->setOnClick([&](TScaleChart* chart) {
        ++runs;
        handler(chart);
    });
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

// Names show every character of the file, a leading byte-order mark
// included (QString::fromStdString drops one): the list, the caption and
// the name the list reads back are the section's own.
TEST_F(MainWindowTest, PresetNamesShowAsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("names.dat").toStdString();
    std::ofstream(path, std::ios::binary) << "[\xEF\xBB\xBF" "Bom]\nSens_dBu=-40\n[R\xC3\xB6hre]\nSens_dBu=-41\n";
    presets::PresetController& presets = w->presets();
    presets.OpenMicSetFile(path);
    auto* list = find<QComboBox>("cbMicPresets");
    const QString bom = QString(QChar(0xFEFF)) + "Bom";
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), bom);
    EXPECT_EQ(list->itemText(1), QString::fromUtf8("R\xC3\xB6hre"));
    EXPECT_EQ(list->itemText(0).toStdString(), "\xEF\xBB\xBF" "Bom");
    presets.LoadMicPreset("\xEF\xBB\xBF" "Bom");
    EXPECT_TRUE(w->windowTitle().endsWith("\"" + bom + "\"")) << w->windowTitle().toStdString();
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

// The bottom strip and the focus frames look the same at every screen
// scale: the result line's and the diagram's dotted frames keep all four
// sides on the controls' outermost device pixels (the result line starts at
// a fraction of a device pixel at 1.25, 1.5 and 1.75), and the strip's bevel
// runs level over the level bar and the result line.
TEST(MainWindowScale, FocusFramesAndBottomStripAtEveryScale)
{
    TfmMain w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* line = w.findChild<TMarkupLabel*>("lblCalcMain");
    QWidget* bar = w.findChild<QWidget*>("pbLevelMeter");
    QWidget* strip = w.findChild<QWidget*>("Panel2");
    ASSERT_TRUE(line && bar && strip);
    // The device pixels of a control, as its clip rounds them.
    auto pixels = [&](QWidget* c, double ratio) {
        const QRectF r(QPointF(c->mapTo(&w, QPoint(0, 0))) * ratio, QSizeF(c->size()) * ratio);
        return QRect(QPoint(qRound(r.left()), qRound(r.top())), QPoint(qRound(r.right()) - 1, qRound(r.bottom()) - 1));
    };
    // Every three neighbouring pixels along each side of `r` hold a dot.
    auto dottedSides = [](const QImage& image, const QRect& r, QRgb dot, const std::string& where) {
        for (int side = 0; side < 4; ++side) {
            const bool across = side < 2;
            const int at = side == 0 ? r.top() : side == 1 ? r.bottom() : side == 2 ? r.left() : r.right();
            const int from = (across ? r.left() : r.top()) + 3, to = (across ? r.right() : r.bottom()) - 3;
            for (int i = from; i + 2 <= to; ++i) {
                int on = 0;
                for (int k = 0; k < 3; ++k) on += (across ? image.pixel(i + k, at) : image.pixel(at, i + k)) == dot;
                ASSERT_GE(on, 1) << where << ": side " << side << " at " << i;
            }
        }
    };
    const QRgb dot = line->fontColor().rgb();
    for (double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        const std::string where = "ratio " + std::to_string(ratio);
        line->setFocus();
        ASSERT_TRUE(line->hasFocus());
        QImage image(qRound(w.width() * ratio), qRound(w.height() * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        w.render(&image);
        const QRect l = pixels(line, ratio);
        dottedSides(image, l, dot, where + ", result line");
        // Above the two controls the strip's bevel has the same rows; the
        // result line's first row is its own (dots on black).
        const int barColumn = pixels(bar, ratio).center().x();
        for (int y = pixels(strip, ratio).top(); y < l.top(); ++y)
            ASSERT_EQ(image.pixel(barColumn, y), image.pixel(l.left() + 5, y)) << where << ", strip row " << y;
        for (int x = l.left(); x <= l.right(); ++x)
            ASSERT_TRUE(image.pixel(x, l.top()) == dot || (image.pixel(x, l.top()) & 0xFFFFFF) == 0)
                << where << ", result line's first row at " << x;

        w.chart()->setFocus();
        ASSERT_TRUE(w.chart()->hasFocus());
        image.fill(Qt::black);
        w.render(&image);
        dottedSides(image, pixels(w.chart(), ratio), qRgb(255, 255, 255), where + ", diagram");
    }
}

// ---------------------------------------------------------------------------
// Figures at the edges, typed and pasted with real keys into the window.

namespace {

enum class Entry { Keys, Paste };

const std::string kHugeDigits(400, '9'); // too large for a double: reads 0
// Pastes at a box's limit of 32,767 characters, and past it: refused whole
// unless dropping the clip's outer blanks makes it fit.
const std::string kLongZeros = std::string(32766, '0') + "5";
const std::string kLongBlanks = std::string(1 << 20, ' ') + "7";
const std::string kLongNegative = "-" + std::string(32762, '0') + "12.5";
const std::string kTooLong = std::string(32767, '0') + "5";

struct EdgeCase {
    const char* name;
    bool digital;
    const char* box;
    Entry entry;
    const char* text;
    std::vector<const char*> lineHas;
    std::vector<std::pair<const char*, const char*>> shown;
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

class WindowEdgeTest : public MainWindowTest, public ::testing::WithParamInterface<EdgeCase> {};

} // namespace

TEST_P(WindowEdgeTest, FiguresAreExactAndFinite)
{
    const EdgeCase& c = GetParam();
    if (c.digital) clickDigital();
    if (c.entry == Entry::Keys) typeInto(c.box, c.text);
    else pasteInto(c.box, c.text);
    const QString line = resultLine();
    for (const char* piece : c.lineHas) EXPECT_TRUE(line.contains(piece)) << piece << "\n" << line.toStdString();
    for (const auto& [box, text] : c.shown) EXPECT_EQ(this->text(box), text) << box;

    // Nothing non-finite reaches the state, a box, the line or the axis.
    const CalcState& s = w->calculator().state();
    for (double v : {s.CurMic.MicSens_V, s.CurMic.MicSens_dBu, s.CurMic.MicSens_dBV, s.CurMic.MicOut_V,
                     s.CurMic.MicOut_dBu, s.CurMic.MicOut_dBV, s.CurMic.MicOut_dBFS, s.SourceLevel_dBSPL,
                     s.SourceLevel_Pa, s.AmpGain_dB, s.AmpOut_V, s.AmpOut_dBu, s.AmpOut_dBV, s.AmpOut_dBFS})
        EXPECT_TRUE(std::isfinite(v));
    for (QLineEdit* e : w->findChildren<QLineEdit*>()) {
        if (e->text() == c.text) continue;
        EXPECT_TRUE(numtext::parseNumber(e->text().toStdString()).has_value()) << e->objectName().toStdString();
    }
    EXPECT_FALSE(line.contains("nan", Qt::CaseInsensitive) || line.contains("inf", Qt::CaseInsensitive));
    // No figure of the line or of the diagram's texts runs past 15 integer digits.
    const QRegularExpression longFigure("\\d{16}");
    EXPECT_FALSE(line.contains(longFigure)) << line.toStdString();
    (void)w->chart()->grab();
    for (const TOverlayText& t : w->chart()->lastOverlayTexts())
        EXPECT_FALSE(t.text.contains(longFigure)) << t.text.toStdString();
    for (const TAxisLayout& a : w->chart()->lastLayout().axes)
        for (const TLabelItem& item : a.labels)
            if (item.draw) {
                EXPECT_FALSE(item.text.contains(longFigure)) << item.text.toStdString();
            }
    const TScaleAxis& right = w->chart()->RightAxis();
    EXPECT_TRUE(std::isfinite(right.minimum()) && std::isfinite(right.maximum()));
    const char* sensBox = c.digital ? "seMicSens_dBFS" : "seMicSens_dBu";
    EXPECT_DOUBLE_EQ(right.maximum(), find<TFloatSpinEdit>(sensBox)->floatValue() + 66);
    // The gain and the source level shown are the ones the results used.
    EXPECT_EQ(find<TFloatSpinEdit>("seAmpGain_dB")->floatValue(), s.AmpGain_dB);
    EXPECT_TRUE(line.contains(QString("At %1 dBSPL").arg(QString::fromStdString(numtext::formatFixed(s.SourceLevel_dBSPL, 0)))));
    EXPECT_TRUE(w->calculator().handlersAttached());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowEdgeTest,
    ::testing::Values(
        EdgeCase{"VanishingSensitivity", false, "seMicSens_mV", Entry::Paste, "1E-322",
                 {"Mic out = 0.000 uV / -220 dBu / -220 dBV", "Amp out = 0.0 V / -200 dBu"},
                 {{"seMicSens_dBu", "-200.0"}, {"seMicSens_dBV", "-200.0"}}},
        EdgeCase{"SmallestDouble", false, "seMicSens_mV", Entry::Paste, "5E-324", {"/ -220 dBu"},
                 {{"seMicSens_dBu", "-200.0"}}},
        EdgeCase{"TinySensitivity", false, "seMicSens_mV", Entry::Paste, "1E-60", {"/ -1278 dBu / -1280 dBV ;"},
                 {{"seMicSens_dBu", "-1257.8"}, {"seMicSens_dBV", "-1260.0"}}},
        EdgeCase{"GainAnalog", false, "seAmpGain_dB", Entry::Keys, "1847",
                 {"Amp out = 1.77542243", "E89 V / 1787 dBu / 1785 dBV"}, {}},
        EdgeCase{"HugeMaxLevel", false, "seMicMaxLevel_dBSPL", Entry::Paste, "1E308", {}, {{"seMicMaxLevel_dBSPL", "1E307"}}},
        EdgeCase{"GainDigital", true, "seAmpGain_dB", Entry::Keys, "1847", {"Amp out = 1801 dBFS"}, {}},
        EdgeCase{"LoudSource", false, "seSourceLevel_dBSPL", Entry::Keys, "1500", {"At 1500 dBSPL"}, {}},
        EdgeCase{"HugeGain", false, "seAmpGain_dB", Entry::Paste, "1E308", {}, {}},
        EdgeCase{"HugeNegativeSensitivity", false, "seMicSens_dBu", Entry::Paste, "-1E308", {}, {}},
        EdgeCase{"HugeSensitivityDigital", true, "seMicSens_dBFS", Entry::Paste, "1E308", {}, {}},
        EdgeCase{"HugePressure", false, "seSourceLevel_Pa", Entry::Paste, "1E308", {}, {}},
        EdgeCase{"HugeDigits", false, "seMicNoise_dBSPL", Entry::Paste, kHugeDigits.c_str(), {}, {}},
        EdgeCase{"LongPasteOfZeros", false, "seMicSens_dBu", Entry::Paste, kLongZeros.c_str(), {"/ -15 dBu /"},
                 {{"seMicSens_dBV", "2.8"}}},
        EdgeCase{"LongPasteOfBlanks", false, "seMicSens_mV", Entry::Paste, kLongBlanks.c_str(), {},
                 {{"seMicSens_dBu", "-40.9"}}},
        EdgeCase{"LongNegativePaste", false, "seMicSens_dBu", Entry::Paste, kLongNegative.c_str(), {},
                 {{"seMicSens_dBV", "-14.7"}}},
        EdgeCase{"TooLongPasteRefused", false, "seMicSens_dBu", Entry::Paste, kTooLong.c_str(), {},
                 {{"seMicSens_dBu", "-39.8"}, {"seMicSens_dBV", "-42.0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The uV noise box steps by the decimal it shows, by every means of stepping.
namespace {

struct StepCase {
    const char* name;
    std::function<void(TFloatSpinEdit*)> step;
    const char* expected;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class NoiseStepTest : public MainWindowTest, public ::testing::WithParamInterface<StepCase> {};

void wheel(TFloatSpinEdit* e, int delta)
{
    const QPoint at(10, 10);
    QWheelEvent ev(at, e->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                   false);
    QApplication::sendEvent(e, &ev);
}

} // namespace

TEST_P(NoiseStepTest, EveryStepChangesTheShownFigure)
{
    auto* box = find<TFloatSpinEdit>("seMicNoise_uV");
    ASSERT_EQ(box->text(), "7.9");
    const QString dBu = text("seMicNoise_dBu");
    box->setFocus();
    QApplication::processEvents();
    GetParam().step(box);
    QApplication::processEvents();
    EXPECT_EQ(box->text(), GetParam().expected);
    EXPECT_NE(text("seMicNoise_dBu"), dBu); // and the siblings follow
}

INSTANTIATE_TEST_SUITE_P(
    Means, NoiseStepTest,
    ::testing::Values(
        StepCase{"UpKey", [](TFloatSpinEdit* e) { QTest::keyClick(e, Qt::Key_Up); }, "8.0"},
        StepCase{"DownKey", [](TFloatSpinEdit* e) { QTest::keyClick(e, Qt::Key_Down); }, "7.8"},
        StepCase{"PageUp", [](TFloatSpinEdit* e) { QTest::keyClick(e, Qt::Key_PageUp); }, "8.9"},
        StepCase{"PageDown", [](TFloatSpinEdit* e) { QTest::keyClick(e, Qt::Key_PageDown); }, "6.9"},
        StepCase{"WheelForward", [](TFloatSpinEdit* e) { wheel(e, 120); }, "8.0"},
        StepCase{"WheelBack", [](TFloatSpinEdit* e) { wheel(e, -240); }, "7.7"},
        StepCase{"UpButton",
                 [](TFloatSpinEdit* e) { QTest::mouseClick(e->buttons()->upButton(), Qt::LeftButton); }, "8.0"},
        StepCase{"DownButton",
                 [](TFloatSpinEdit* e) { QTest::mouseClick(e->buttons()->downButton(), Qt::LeftButton); }, "7.8"},
        StepCase{"AutoRepeat",
                 [](TFloatSpinEdit* e) {
                     TRepeatButton* up = e->buttons()->upButton();
                     const QPoint at = up->rect().center();
                     QTest::mousePress(up, Qt::LeftButton, {}, at);
                     up->repeatTick();
                     up->repeatTick();
                     QTest::mouseRelease(up, Qt::LeftButton, {}, at);
                 },
                 "8.2"}),
    [](const auto& info) { return std::string(info.param.name); });

// Characters the number reader cannot read are refused with a beep.
namespace {

class UnreadableKeyTest : public MainWindowTest, public ::testing::WithParamInterface<const char16_t*> {};

} // namespace

TEST_P(UnreadableKeyTest, BeepsAndKeepsTheFigures)
{
    typeInto("seSourceLevel_dBSPL", "80");
    const QString before = resultLine();
    ASSERT_TRUE(before.contains("At 80 dBSPL"));
    auto* box = find<TFloatSpinEdit>("seSourceLevel_dBSPL");
    QSignalSpy beeps(box, &TFloatSpinEdit::beeped);
    const QString typed = QString::fromUtf16(GetParam());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(box, &release);
    EXPECT_EQ(box->text(), "80");
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(resultLine(), before);
}

INSTANTIATE_TEST_SUITE_P(Keys, UnreadableKeyTest,
                         ::testing::Values(u"\u00B2", u"\u00B3", u"\u0663", u"\uFF18", u"\u216B"),
                         [](const auto& info) { // the character's code, "U00B2"
                             return "U" + QString::number(info.param[0], 16).toUpper().rightJustified(4, u'0').toStdString();
                         });

// Coming back to the window keeps the caret: the next key edits, not replaces.
TEST_F(MainWindowTest, ReturningToTheWindowKeepsTheCaret)
{
    auto* box = find<TFloatSpinEdit>("seMicSens_dBu");
    box->setFocus();
    QApplication::processEvents();
    box->setCursorPosition(2); // "-3|9.8"
    QWidget elsewhere;
    elsewhere.resize(100, 50);
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    ASSERT_TRUE(box->hasFocus());
    EXPECT_FALSE(box->hasSelectedText());
    QTest::keyClick(box, Qt::Key_5);
    EXPECT_EQ(box->text(), "-359.8");
    EXPECT_EQ(text("seMicSens_dBV"), "-362.0");
}

// A box too narrow for its figure shows the figure's first digits, where a
// short figure's first digit stands; its tooltip carries the whole figure.
namespace {

struct StartRow {
    const char* name;
    const char* sender;
    const char* typed;
    const char* box;
    const char* shown;
    const char* shortTyped; // a figure whose text starts with the same digit
};

void PrintTo(const StartRow& c, std::ostream* os) { *os << c.name; }

class LongFigureTest : public MainWindowTest, public ::testing::WithParamInterface<StartRow> {
protected:
    // The text area of a box as painted, and its first column with ink.
    QImage textArea(QWidget* box)
    {
        QApplication::processEvents();
        const QImage img = box->grab().toImage();
        return img.copy(2, 2, static_cast<TFloatSpinEdit*>(box)->buttons()->x() - 2, img.height() - 4);
    }
    static int firstInk(const QImage& img)
    {
        const QRgb background = img.pixel(0, 0);
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (img.pixel(x, y) != background) return x;
        return -1;
    }
};

} // namespace

TEST_P(LongFigureTest, ShowsItsStart)
{
    const StartRow& c = GetParam();
    auto* box = find<TFloatSpinEdit>(c.box);
    typeInto(c.sender, c.shortTyped);
    const QImage shortImage = textArea(box);
    const int shortInk = firstInk(shortImage);
    ASSERT_GE(shortInk, 0);
    EXPECT_TRUE(box->toolTip().isEmpty());

    typeInto(c.sender, c.typed);
    ASSERT_EQ(box->text(), c.shown);
    const QImage longImage = textArea(box);
    EXPECT_EQ(firstInk(longImage), shortInk);
    // The first digit's columns are the same pixels.
    const int digit = box->fontMetrics().horizontalAdvance(QString(c.shown).left(1));
    EXPECT_EQ(longImage.copy(0, 0, shortInk + digit - 1, longImage.height()),
              shortImage.copy(0, 0, shortInk + digit - 1, shortImage.height()));
    EXPECT_EQ(box->toolTip(), c.shown);
    EXPECT_EQ(accessibleValue(box), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LongFigureTest,
    ::testing::Values(StartRow{"Pa_at_160_dBSPL", "seSourceLevel_dBSPL", "160", "seSourceLevel_Pa", "2000.00000", "100"},
                      StartRow{"Pa_at_150_dBSPL", "seSourceLevel_dBSPL", "150", "seSourceLevel_Pa", "632.45553", "110"},
                      StartRow{"uV_at_30_dBu", "seMicNoise_dBu", "30", "seMicNoise_uV", "24507651.9", "-50"}),
    [](const auto& info) { return std::string(info.param.name); });

// The three strips draw their etched edge themselves: the same pixels as a
// plain QFrame of the same style, size and palette, in both window sizes.
TEST_F(MainWindowTest, StripEdgesAsAPlainFrameDrawsThem)
{
    for (QSize size : {w->size(), QSize(1200, 760)}) {
        w->resize(size);
        QApplication::processEvents();
        for (const char* name : {"Panel1", "Panel2", "Panel3"}) {
            QFrame* strip = find<QFrame>(name);
            ASSERT_EQ(strip->frameStyle(), QFrame::Box | QFrame::Sunken);
            QFrame plain;
            plain.setFrameStyle(strip->frameStyle());
            plain.setLineWidth(strip->lineWidth());
            plain.setPalette(strip->palette());
            plain.setAutoFillBackground(true);
            plain.resize(strip->size());
            const QImage want = plain.grab().toImage(), got = strip->grab().toImage();
            ASSERT_EQ(got.size(), want.size()) << name;
            // The two-pixel ring of the edge; the strip's own controls lie inside it.
            for (int y = 0; y < got.height(); ++y)
                for (int x = 0; x < got.width(); ++x) {
                    if (x >= 2 && x < got.width() - 2 && y >= 2 && y < got.height() - 2) continue;
                    ASSERT_EQ(got.pixel(x, y), want.pixel(x, y))
                        << name << " at " << x << "," << y;
                }
        }
    }
}

// What a screen reader needs of the window: the strips are panels (not window
// frames, which a reader takes for the window), the level bar reads as its
// level in dBu, the result line is a text read on request (the window
// announces what a change did), and F10 opens the first menu.
TEST_F(MainWindowTest, ScreenReaderSeesPanelsLevelAndResult)
{
    for (const char* strip : {"Panel1", "Panel2", "Panel3"}) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(find(strip));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::Pane) << strip;
    }
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(find("pbLevelMeter"));
    EXPECT_EQ(bar->role(), QAccessible::StaticText);
    EXPECT_EQ(bar->text(QAccessible::Name), "Mic output -60 dBu");
    QAccessibleInterface* result = QAccessible::queryAccessibleInterface(find("lblCalcMain"));
    EXPECT_EQ(result->role(), QAccessible::StaticText);
    EXPECT_TRUE(result->text(QAccessible::Name).contains("Mic out = ")) << result->text(QAccessible::Name).toStdString();
    EXPECT_TRUE(result->state().focusable);

    auto* menuBar = w->menuBar();
    find("seMicSens_dBu")->setFocus();
    QTest::keyClick(find("seMicSens_dBu"), Qt::Key_F10);
    QApplication::processEvents();
    QMenu* file = w->findChild<QMenu*>("File1");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->isVisible());
    EXPECT_EQ(menuBar->activeAction(), file->menuAction());
    QTest::keyClick(file, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(file->isVisible());
}

// After a change a screen reader hears what changed, not the whole line: a
// gain step of a whole dB is "Amp out" alone; a step that no spoken figure
// shows is not announced. The line itself announces nothing.
TEST_F(MainWindowTest, ResultChangesAreAnnouncedShort)
{
    Announcements events(w->announcer());
    auto* gain = find<QLineEdit>("seAmpGain_dB");
    gain->setFocus();
    QApplication::processEvents();
    const QString before = resultLine();
    QTest::keyClick(gain, Qt::Key_PageUp);
    QApplication::processEvents();
    ASSERT_NE(resultLine(), before);
    const QRegularExpression ampOut(R"(Amp out = .* / (-?\d+) dBu / )");
    const QRegularExpressionMatch m = ampOut.match(resultLine());
    ASSERT_TRUE(m.hasMatch()) << resultLine().toStdString();
    EXPECT_EQ(events.texts(), QStringList{"Amp out " + m.captured(1) + " dBu"});
    EXPECT_TRUE(events.readableLater());

    // 0.1 dB more: the whole figures stay.
    events.clear();
    QTest::keyClick(gain, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_TRUE(events.texts().isEmpty()) << events.texts().join(" | ").toStdString();

    // The mode switch changes the outputs' unit: both outputs are spoken.
    events.clear();
    clickDigital();
    ASSERT_EQ(events.texts().size(), 1);
    EXPECT_TRUE(events.texts()[0].startsWith("Mic out ")) << events.texts()[0].toStdString();
    EXPECT_TRUE(events.texts()[0].contains(" dBFS, Amp out ")) << events.texts()[0].toStdString();
}

// The preset list is read as "Mic presets", then its current item: the
// label it is the buddy of names it, and its text is the item (its name
// stays the item, so that a reader speaks a new one while it has the focus).
TEST_F(MainWindowTest, PresetListReadsItsLabelAndItem)
{
    auto* list = find<QComboBox>("cbMicPresets");
    list->addItem("Shure SM81");
    list->addItem("Neumann U 87 Ai (omni)");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ComboBox);
    const auto labels = a->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Mic presets");
    QAccessibleTextInterface* text = a->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()), "Shure SM81");
    int start = -1, end = -1;
    EXPECT_EQ(text->textAtOffset(10, QAccessible::WordBoundary, &start, &end), "Shure SM81");
    EXPECT_EQ(a->text(QAccessible::Name), "Shure SM81");
    list->setCurrentIndex(1);
    EXPECT_EQ(text->text(0, -1), "Neumann U 87 Ai (omni)");
    EXPECT_EQ(a->text(QAccessible::Name), "Neumann U 87 Ai (omni)");
    EXPECT_EQ(a->childCount(), 1); // the drop-down's items
}

// F10, then Right to "Presets", whose items are all disabled: the first one
// is highlighted and a reader reads it as unavailable; the arrows move on.
TEST_F(MainWindowTest, MenusReachDisabledItemsFromTheKeyboard)
{
    auto* gain = find("seAmpGain_dB");
    gain->setFocus();
    QApplication::processEvents();
    QTest::keyClick(gain, Qt::Key_F10);
    QApplication::processEvents();
    QMenu* file = find<QMenu>("File1");
    ASSERT_TRUE(file->isVisible());
    QTest::keyClick(file, Qt::Key_Right);
    QApplication::processEvents();
    QMenu* presetsMenu = find<QMenu>("Presets1");
    ASSERT_TRUE(presetsMenu->isVisible());
    EXPECT_FALSE(file->isVisible());
    EXPECT_TRUE(presetsMenu->style()->styleHint(QStyle::SH_Menu_AllowActiveAndDisabled, nullptr, presetsMenu));
    ASSERT_NE(presetsMenu->activeAction(), nullptr);
    EXPECT_EQ(presetsMenu->activeAction()->objectName(), "New1");
    EXPECT_FALSE(presetsMenu->activeAction()->isEnabled());
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(presetsMenu)->child(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(QAccessible::Name), "New");
    EXPECT_TRUE(item->state().disabled);


    QTest::keyClick(presetsMenu, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(presetsMenu->activeAction()->objectName(), "Rename1");
    QTest::keyClick(presetsMenu, Qt::Key_Escape);
    QTest::keyClick(w->menuBar(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(presetsMenu->isVisible());
}

// The result line's context menu copies its text without tags.
TEST_F(MainWindowTest, ResultLineCopiesItsPlainText)
{
    auto* label = find<TMarkupLabel>("lblCalcMain");
    QGuiApplication::clipboard()->clear();
    label->setFocus();
    QTest::keySequence(label, QKeySequence::Copy);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, label->plainText());
    EXPECT_TRUE(copied.startsWith("[Dyn : ")) << copied.toStdString();
    EXPECT_FALSE(copied.contains('<'));

    // Shift+F10 opens the menu, as the Menu key does. Its item is named
    // "Copy"; the shortcut is the item's shortcut, not part of its name.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(label, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::processEvents();
    QMenu* menu = label->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QAction* copy = menu->findChild<QAction*>("edit-copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->text(), "&Copy");
    EXPECT_EQ(menu->activeAction(), copy); // highlighted: a reader reads it
    EXPECT_EQ(copy->shortcut(), QKeySequence(QKeySequence::Copy));
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(menu)->child(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(QAccessible::Name), "Copy");
    EXPECT_EQ(item->text(QAccessible::Accelerator), QKeySequence(QKeySequence::Copy).toString());
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), label->plainText());
    menu->close();
}
