// The spin editor driven by real key, mouse, wheel and clipboard events.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QWheelEvent>

#include <memory>

#include "widgets/caretblink.h"
#include "widgets/floatspinedit.h"
#include "widgets/levelbar.h"
#include "widgets/markuplabel.h"

namespace {

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window = std::make_unique<QWidget>();
        window->resize(300, 120);
        edit = new TFloatSpinEdit(window.get());
        edit->setObjectName("seTest");
        edit->setGeometry(10, 20, 121, 21);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 80, 100, 21);
        edit->setOnChange([this] { ++changes; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus());
    }
    void TearDown() override
    {
        window.reset();
        QLocale::setDefault(savedLocale);
        QGuiApplication::clipboard()->clear();
    }

    // Shows `text` without counting it as a change.
    void show(const QString& text, int precision)
    {
        edit->setOnChange({});
        edit->setPrecision(precision);
        edit->setText(text);
        edit->setOnChange([this] { ++changes; });
        changes = 0;
    }

    void leave()
    {
        other->setFocus();
        ASSERT_TRUE(other->hasFocus());
    }

    QLocale savedLocale;
    std::unique_ptr<QWidget> window;
    TFloatSpinEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    int changes = 0;
};

} // namespace

TEST_F(SpinEditTest, WritingFiresOnlyWhenTheShownTextChanges)
{
    show("10.0", 1);
    edit->setFloatValue(10);
    edit->setFloatValue(10.04);
    EXPECT_EQ(edit->text(), "10.0");
    EXPECT_EQ(changes, 0);
    edit->setFloatValue(10.05);
    EXPECT_EQ(edit->text(), "10.1");
    EXPECT_EQ(changes, 1);
    edit->setFloatValue(-0.04);
    EXPECT_EQ(edit->text(), "0.0");
    edit->setFloatValue(-0.25);
    EXPECT_EQ(edit->text(), "-0.3");
}

TEST_F(SpinEditTest, LocaleSeparatorAtUseTime)
{
    show("", 1);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    edit->setFloatValue(0.25);
    EXPECT_EQ(edit->text(), "0,3");
    edit->setText("1,5");
    EXPECT_DOUBLE_EQ(edit->floatValue(), 1.5);
    edit->setText("1.5"); // not a number here
    EXPECT_DOUBLE_EQ(edit->floatValue(), 0.0);
}

TEST_F(SpinEditTest, ReadingNeverFails)
{
    for (const char* t : {"", "-", ".", "abc"}) {
        edit->setText(t);
        EXPECT_DOUBLE_EQ(edit->floatValue(), 0.0) << t;
    }
    edit->setMinValue(3);
    edit->setText("x");
    EXPECT_DOUBLE_EQ(edit->floatValue(), 3.0);
}

TEST_F(SpinEditTest, StepsReadTheRoundedText)
{
    show("20", 0);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "20.1");
    for (int i = 0; i < 9; ++i) QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "21");
    EXPECT_EQ(changes, 10);
    QTest::keyClick(edit, Qt::Key_PageDown);
    EXPECT_EQ(edit->text(), "20");
    QTest::keyClick(edit, Qt::Key_PageUp);
    QTest::keyClick(edit, Qt::Key_PageUp);
    EXPECT_EQ(edit->text(), "22");
}

TEST_F(SpinEditTest, EmptyBoxStepsFromZero)
{
    show("", 1);
    QSignalSpy up(edit, &TFloatSpinEdit::upClick);
    QTest::mouseClick(edit->buttons()->upButton(), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "0.1");
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(SpinEditTest, SensitivityStepsBelowItsMinimum)
{
    // seMicSens_mV: MinFloatValue 0.1 without the check flags.
    edit->setMinFloatValue(0.1);
    show("0.1", 1);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "0.0");
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "-0.1");
    edit->setCheckMinValue(true);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "0.1");
}

TEST_F(SpinEditTest, KeptSelectionIsCutToAShorterText)
{
    // Typed leading zeros make a long text that a step shortens: the selection
    // put back after the key must fit the new text.
    show("0000005.0", 1);
    edit->setSelection(8, 1);
    static QStringList warnings;
    warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& m) { warnings.append(m); });
    QTest::keyClick(edit, Qt::Key_Down);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_EQ(edit->text(), "4.9");
    EXPECT_LE(edit->cursorPosition(), 3);
}

TEST_F(SpinEditTest, KeysPutTheCaretBack)
{
    show("9.9", 1);
    edit->setCursorPosition(1);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "10.0");
    EXPECT_EQ(edit->cursorPosition(), 1);
    EXPECT_FALSE(edit->hasSelectedText());
    edit->setSelection(0, 2);
    QTest::keyClick(edit, Qt::Key_PageDown);
    EXPECT_EQ(edit->text(), "9.0");
    EXPECT_EQ(edit->selectionStart(), 0);
    EXPECT_EQ(edit->selectedText(), "9.");
}

TEST_F(SpinEditTest, ButtonStepFollowsTheMinus)
{
    show("0.1", 1);
    edit->setCursorPosition(2);
    QTest::mouseClick(edit->buttons()->downButton(), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "0.0");
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::mouseClick(edit->buttons()->downButton(), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "-0.1");
    // One place right for the new minus; the longer text is selected to its end.
    EXPECT_EQ(edit->selectionStart(), 3);
    EXPECT_EQ(edit->selectedText(), "1");
}

TEST_F(SpinEditTest, ButtonPressTakesTheFocusAndSelectsAll)
{
    show("5.0", 1);
    leave();
    QTest::mouseClick(edit->buttons()->upButton(), Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), "5.1");
    EXPECT_EQ(edit->selectedText(), "5.1");
}

TEST_F(SpinEditTest, EnterIsSwallowedAndCtrlEnterStepsLater)
{
    show("1.0", 1);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "1.0");
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "1.0"); // queued behind the key
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), "1.1");
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_EQ(changes, 1);
}

TEST_F(SpinEditTest, WheelStepsPerFullNotch)
{
    show("1.0", 1);
    auto wheel = [this](int delta) {
        QWheelEvent e(QPointF(20, 10), edit->mapToGlobal(QPointF(20, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit, &e);
    };
    wheel(60);
    EXPECT_EQ(edit->text(), "1.0");
    wheel(60);
    EXPECT_EQ(edit->text(), "1.1");
    wheel(-240);
    EXPECT_EQ(edit->text(), "0.9");
    EXPECT_EQ(changes, 3);
}

// ---------------------------------------------------------------------------
// Keys typed into a shown text: the text, beeps, changes and caret after them.

namespace {

struct TypingCase {
    const char* name;
    const char* text;
    int precision;
    bool isSigned;
    spinlogic::Selection before; // start -1: the caret at the end
    const char* keys;            // '\b' is Backspace
    const char* expected;
    int beeps;
    int changes;
    int caret = -1; // after the keys; -1: not checked
};

void PrintTo(const TypingCase& c, std::ostream* os) { *os << c.name; }

class TypingTest : public SpinEditTest, public ::testing::WithParamInterface<TypingCase> {};

} // namespace

TEST_P(TypingTest, TextBeepsAndCaret)
{
    const TypingCase& c = GetParam();
    show(c.text, c.precision);
    edit->setSigned(c.isSigned);
    if (c.before.start < 0) edit->end(false);
    else if (c.before.length > 0) edit->setSelection(c.before.start, c.before.length);
    else edit->setCursorPosition(c.before.start);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    for (const char* k = c.keys; *k; ++k) {
        if (*k == '\b') QTest::keyClick(edit, Qt::Key_Backspace);
        else QTest::keyClick(edit, *k);
    }
    EXPECT_EQ(edit->text(), c.expected);
    EXPECT_EQ(beeps.count(), c.beeps);
    EXPECT_EQ(changes, c.changes);
    if (c.caret >= 0) {
        EXPECT_EQ(edit->cursorPosition(), c.caret);
    }
}

constexpr spinlogic::Selection kEnd{-1, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingTest,
    ::testing::Values(
        // The thousands separator types as the decimal one.
        TypingCase{"ThousandsSeparatorTypesAsDecimal", "", 1, false, kEnd, "1,", "1.", 0, 2},
        // A full fraction takes no digit unless selected.
        TypingCase{"FullFractionRefusesADigit", "12.3", 1, false, kEnd, "4", "12.3", 1, 0},
        TypingCase{"SelectedFullFractionTakesADigit", "12.3", 1, false, {0, 4}, "4", "4", 0, 1},
        TypingCase{"LetterSpaceAndSemicolonBeep", "4", 1, false, kEnd, "a ;", "4", 3, 0},
        TypingCase{"BackspaceEmptiesTheBox", "4", 1, false, kEnd, "\b", "", 0, 1},
        // Precision 0 takes whole numbers: the point only over a selection.
        TypingCase{"PrecisionZeroRefusesThePoint", "12", 0, false, kEnd, ".", "12", 1, 0},
        TypingCase{"PrecisionZeroPointOverASelection", "12", 0, false, {0, 2}, ".", ".", 0, 1},
        // The minus toggles only in a signed box; "+" never changes the text.
        TypingCase{"UnsignedIgnoresMinusAndPlus", "5.0", 1, false, kEnd, "-+", "5.0", 2, 0},
        TypingCase{"MinusAddsTheSign", "5.0", 1, true, {1, 0}, "-", "-5.0", 0, 1, 2},
        TypingCase{"MinusAgainRemovesIt", "-5.0", 1, true, {2, 0}, "-", "5.0", 0, 1, 1},
        TypingCase{"PlusChangesNothing", "5.0", 1, true, {1, 0}, "+", "5.0", 0, 0},
        // Sign keys beep where a digit would, at the end of a full fraction
        // (as above), and still toggle.
        TypingCase{"MinusOnAFullFractionTogglesAndBeeps", "5.0", 1, true, kEnd, "-", "-5.0", 1, 1},
        TypingCase{"PlusAtTheStartDoesNotBeep", "-5.0", 1, true, {0, 0}, "+", "-5.0", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinEditTest, LeavingReformats)
{
    show("12", 1);
    leave();
    EXPECT_EQ(edit->text(), "12.0");
    EXPECT_EQ(changes, 1);

    edit->setFocus();
    show("", 1);
    leave();
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(changes, 0);

    edit->setFocus();
    show("-", 1);
    leave();
    EXPECT_EQ(edit->text(), "0.0");
}

TEST_F(SpinEditTest, FocusSelectsAll)
{
    show("12.5", 1);
    leave();
    QTest::keyClick(other, Qt::Key_Backtab); // back into the box by keyboard
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), "12.5");
}

TEST_F(SpinEditTest, PasteOnlyANumber)
{
    show("10.0", 1);
    QGuiApplication::clipboard()->setText("abc");
    edit->end(false);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "10.0");
    EXPECT_EQ(beeps.count(), 0);

    QGuiApplication::clipboard()->setText("2");
    edit->setSelection(0, 1);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "20.0");
    EXPECT_EQ(edit->selectionStart(), 0);
    EXPECT_EQ(edit->selectedText(), "2");
    EXPECT_EQ(changes, 1);

    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "202.0");
    EXPECT_EQ(edit->cursorPosition(), 3);
    EXPECT_FALSE(edit->hasSelectedText());
}

// A box holds at most 32,767 characters: a paste that would make it hold
// more, even without its outer blanks, is refused whole with a beep; one
// that fits without its outer blanks goes in without them.
TEST_F(SpinEditTest, LongPastesStayWithinTheLimit)
{
    const QString fits = "0." + QString(32764, u'0') + "1"; // 32,767 characters
    const QString blanks(40000, u' ');
    struct Case {
        const char* what;
        bool wholeSelected; // else the caret at the end of "10.0"
        QString clip;
        QString shown;
        int beeps;
    };
    const Case cases[] = {
        {"32,767 characters", true, fits, fits, 0},
        {"32,768 characters", true, fits + "1", "10.0", 1},
        {"16 MiB", true, "0." + QString(16 * 1024 * 1024, u'0') + "1", "10.0", 1},
        {"to the limit after the text", false, QString(32763, u'0'), "10.0" + QString(32763, u'0'), 0},
        {"one past the limit after the text", false, QString(32764, u'0'), "10.0", 1},
        {"blanks dropped to fit", true, blanks + "7" + blanks, "7", 0},
        {"too long without its blanks", true, blanks + fits + "1" + blanks, "10.0", 1},
    };
    for (const Case& c : cases) {
        show("10.0", 1);
        if (c.wholeSelected) edit->selectAll();
        else edit->end(false);
        QGuiApplication::clipboard()->setText(c.clip);
        QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QGuiApplication::clipboard()->clear();
        EXPECT_EQ(edit->text().size(), c.shown.size()) << c.what;
        EXPECT_TRUE(edit->text() == c.shown) << c.what;
        EXPECT_EQ(beeps.count(), c.beeps) << c.what;
        EXPECT_EQ(changes, c.beeps ? 0 : 1) << c.what;
    }
}

// In a full box a typed character beeps unless it replaces a selection, and
// the minus, which would lengthen the text, beeps and changes nothing.
TEST_F(SpinEditTest, FullBoxTakesNoMoreCharacters)
{
    const QString full = "1." + QString(32764, u'0') + "5";
    show(full, 0);
    edit->setSigned(true);
    edit->end(false);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    QTest::keyClick(edit, '7');
    EXPECT_TRUE(edit->text() == full);
    EXPECT_EQ(beeps.count(), 1);
    QTest::keyClick(edit, '-');
    EXPECT_TRUE(edit->text() == full);
    EXPECT_EQ(beeps.count(), 2);
    EXPECT_EQ(changes, 0);
    edit->setSelection(full.size() - 1, 1);
    QTest::keyClick(edit, '7');
    EXPECT_TRUE(edit->text().endsWith("07"));
    EXPECT_EQ(edit->text().size(), full.size());
    EXPECT_EQ(beeps.count(), 2);
}

TEST_F(SpinEditTest, ContextMenuPasteObeysThePasteRule)
{
    show("10.0", 1);
    auto pasteFromMenu = [this] {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit, &e);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* paste = menu->findChild<QAction*>("edit-paste");
        ASSERT_NE(paste, nullptr);
        paste->trigger();
        menu->close();
    };
    edit->selectAll();
    QGuiApplication::clipboard()->setText("abc");
    pasteFromMenu();
    EXPECT_EQ(edit->text(), "10.0");
    edit->selectAll();
    QGuiApplication::clipboard()->setText("7.5");
    pasteFromMenu();
    EXPECT_EQ(edit->text(), "7.5");
    EXPECT_EQ(changes, 1);
}

TEST_F(SpinEditTest, CutIsNotRestricted)
{
    show("10.0", 1);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "10.0");
    EXPECT_EQ(changes, 1);
}

TEST_F(SpinEditTest, HandlerCanBeReplacedAtAnyTime)
{
    show("1.0", 1);
    int second = 0;
    edit->setOnChange([&] {
        ++changes;
        edit->setOnChange([&] { ++second; }); // the next change fires this one
    });
    edit->setFloatValue(2);
    edit->setFloatValue(3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(second, 1);
    edit->setOnChange({});
    EXPECT_FALSE(edit->hasOnChange());
    edit->setFloatValue(4);
    EXPECT_EQ(second, 1);
}

TEST_F(SpinEditTest, AutoRepeatWhileHeldOverTheButton)
{
    show("1.0", 1);
    TRepeatButton* up = edit->buttons()->upButton();
    const QPoint inside = up->rect().center();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_EQ(edit->text(), "1.0"); // a press alone does not step
    ASSERT_TRUE(up->repeatTimer().isActive());
    EXPECT_EQ(up->repeatTimer().interval(), 400);

    up->repeatTick(); // 400 ms
    EXPECT_EQ(edit->text(), "1.1");
    EXPECT_EQ(up->repeatTimer().interval(), 100);
    up->repeatTick(); // 500 ms
    EXPECT_EQ(edit->text(), "1.2");

    QTest::mouseMove(up, QPoint(-30, inside.y())); // held, but off the button
    up->repeatTick();
    EXPECT_EQ(edit->text(), "1.2");
    QTest::mouseMove(up, inside);
    up->repeatTick();
    EXPECT_EQ(edit->text(), "1.3");

    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, inside); // one more on release
    EXPECT_EQ(edit->text(), "1.4");
    EXPECT_FALSE(up->repeatTimer().isActive());
    EXPECT_EQ(changes, 4);
}

TEST_F(SpinEditTest, ReleaseOffTheButtonOnlyStops)
{
    show("1.0", 1);
    TRepeatButton* down = edit->buttons()->downButton();
    QTest::mousePress(down, Qt::LeftButton, Qt::NoModifier, down->rect().center());
    QTest::mouseMove(down, QPoint(-30, 3));
    QTest::mouseRelease(down, Qt::LeftButton, Qt::NoModifier, QPoint(-30, 3));
    EXPECT_EQ(edit->text(), "1.0");
    EXPECT_FALSE(down->repeatTimer().isActive());
}

TEST_F(SpinEditTest, AutoRepeatRunsOnTheTimer)
{
    // Shortened for this editor only: a second editor keeps 400 ms.
    edit->setRepeatTimings(RepeatTimings{5, 5});
    auto* second = new TFloatSpinEdit(window.get());
    second->setGeometry(10, 50, 121, 21);
    second->show();
    TRepeatButton* secondUp = second->buttons()->upButton();
    QTest::mousePress(secondUp, Qt::LeftButton, Qt::NoModifier, secondUp->rect().center());
    EXPECT_EQ(secondUp->repeatTimer().interval(), 400);
    QTest::mouseRelease(secondUp, Qt::LeftButton, Qt::NoModifier, QPoint(-30, 3));

    show("0", 0);
    TRepeatButton* up = edit->buttons()->upButton();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes >= 3; }, 5000));
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    const int afterRelease = changes;
    QTest::qWait(30);
    EXPECT_EQ(changes, afterRelease);
}

TEST_F(SpinEditTest, ButtonColumnGeometry)
{
    // Box 121 x 21: the column stands at client x 103 (widget x 105), 17 high,
    // clipped by the border on its right; up 8 and down 9 pixels.
    EXPECT_EQ(edit->buttons()->geometry(), QRect(105, 2, 14, 17));
    EXPECT_EQ(edit->buttons()->upButton()->geometry(), QRect(0, 0, 15, 8));
    EXPECT_EQ(edit->buttons()->downButton()->geometry(), QRect(0, 8, 15, 9));
}

TEST_F(SpinEditTest, CaptionBesideTheBoxOnTheParent)
{
    edit->setLabelMargin(8);
    edit->setLabelPosition(spinlogic::lpRightCenter);
    edit->setLabelCaption("Mic Sensitivity in dBu");
    QLabel* label = edit->captionLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), window.get());
    EXPECT_EQ(label->buddy(), edit);
    EXPECT_TRUE(label->isVisible());
    const int h = label->height();
    EXPECT_EQ(label->pos(), QPoint(10 + 121 + 8, 20 + (21 - 2 - h) / 2));
    edit->move(40, 50);
    EXPECT_EQ(label->pos(), QPoint(40 + 121 + 8, 50 + (21 - 2 - h) / 2));
    edit->hide();
    EXPECT_FALSE(label->isVisible());
    edit->show();
    EXPECT_TRUE(label->isVisible());

    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(edit);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), "Mic Sensitivity in dBu");
    edit->setText("-40.0");
    EXPECT_EQ(a->text(QAccessible::Value), "-40.0");
}

// The caption takes the size its label asks for, in any face and size, after
// a new text or font, and for captions the label lays out its own way (a
// mnemonic, rich text, two lines).
TEST_F(SpinEditTest, CaptionTakesItsLabelsSizeHint)
{
    const char* captions[] = {"Mic Sensitivity in dBu", "Distance between source and mic (meters)", "x", "Wide WWW",
                              "Gain && more", "&Gain", "<b>Bold</b> caption", "two\nlines", "  padded  "};
    for (const char* caption : captions) {
        edit->setLabelCaption(QString::fromUtf8(caption));
        for (const char* family : {"Tahoma", "Liberation Sans", "Liberation Mono"})
            for (int points : {7, 8, 11}) {
                edit->setLabelFont(QFont(family, points));
                edit->setFont(QFont(family, points)); // the caption follows a font set on the box
                QLabel* label = edit->captionLabel();
                ASSERT_NE(label, nullptr);
                EXPECT_EQ(label->size(), label->sizeHint()) << family << " " << points << " '" << caption << "'";
            }
    }
}

TEST_F(SpinEditTest, DisabledColoursAndBorder)
{
    const QColor white(Qt::white), silver(0xC0, 0xC0, 0xC0);
    edit->setLabelCaption("mV");
    edit->setColor(white);
    edit->setInputEnabled(false);
    EXPECT_EQ(edit->color(), silver);
    EXPECT_EQ(edit->normalColor(), white);
    EXPECT_FALSE(edit->captionLabel()->isEnabled());
    EXPECT_FALSE(edit->buttons()->upButton()->isEnabled());
    const QImage img = edit->grab().toImage();
    EXPECT_EQ(QColor(img.pixel(0, 10)), silver);  // the border line
    EXPECT_EQ(QColor(img.pixel(20, 10)), silver); // the background
    edit->setInputEnabled(true);
    EXPECT_EQ(edit->color(), white);
    EXPECT_TRUE(edit->captionLabel()->isEnabled());
    leave();
    EXPECT_EQ(QColor(edit->grab().toImage().pixel(20, 10)), white);
}

TEST_F(SpinEditTest, NoChangeWhileLoading)
{
    auto* box = new TFloatSpinEdit(window.get());
    int loadChanges = 0;
    box->beginLoad();
    box->setOnChange([&] { ++loadChanges; });
    box->setPrecision(5);
    box->setFloatValue(1);
    box->setColor(QColor(0xC0, 0xC0, 0xC0));
    box->setEnabled(false);
    box->setLabelCaption("Pa");
    box->endLoad();
    EXPECT_EQ(box->text(), "1.00000");
    EXPECT_EQ(loadChanges, 0);
    EXPECT_FALSE(box->captionLabel()->isEnabled());
    EXPECT_EQ(box->color(), QColor(0xC0, 0xC0, 0xC0));
    box->setFloatValue(2);
    EXPECT_EQ(loadChanges, 1);
}

// ---------------------------------------------------------------------------
// A box without the focus shows the start of its text, however the text got
// there; a text longer than the box is also its tooltip.

namespace {

enum class Arrival { Written, TypedThenLeft, PastedThenLeft, WheelWithoutFocus, SteppedThenLeft };

struct StartCase {
    const char* name;
    Arrival arrival;
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class TextStartTest : public SpinEditTest, public ::testing::WithParamInterface<StartCase> {
protected:
    // The text area left of the buttons, as painted.
    QImage textArea()
    {
        QApplication::processEvents();
        const QImage img = edit->grab().toImage();
        return img.copy(0, 0, edit->buttons()->x(), img.height());
    }
    // The columns of the first glyphs "24", with a pixel to spare either side.
    static QImage leadingGlyphs(const QImage& area, int width) { return area.copy(0, 0, width, area.height()); }
};

} // namespace

TEST_P(TextStartTest, FirstGlyphStandsWhereAShortTextStarts)
{
    edit->resize(64, 21); // as wide as the window's boxes
    show("", 1);
    leave();
    edit->setFloatValue(24.0);
    ASSERT_EQ(edit->text(), "24.0");
    const QImage shortText = textArea();
    EXPECT_TRUE(edit->toolTip().isEmpty());

    const QString full = "24507651.9";
    switch (GetParam().arrival) {
    case Arrival::Written:
        edit->setFloatValue(24507651.9);
        break;
    case Arrival::TypedThenLeft:
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, full);
        leave();
        break;
    case Arrival::PastedThenLeft:
        edit->setFocus();
        edit->selectAll();
        QGuiApplication::clipboard()->setText(full);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        edit->end(false);
        leave();
        break;
    case Arrival::WheelWithoutFocus: {
        edit->setFloatValue(24507651.8);
        const QPoint at(10, 10);
        QWheelEvent wheel(at, edit->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit, &wheel);
        break;
    }
    case Arrival::SteppedThenLeft:
        edit->setFocus();
        edit->setFloatValue(24507651.8);
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_Up);
        leave();
        break;
    }
    ASSERT_EQ(edit->text(), full);
    ASSERT_FALSE(edit->hasFocus());
    ASSERT_GT(edit->fontMetrics().horizontalAdvance(full), edit->buttons()->x()) << "the text must not fit";

    const int glyphs = edit->fontMetrics().horizontalAdvance("24") + 4; // border, padding and a spare pixel
    EXPECT_EQ(leadingGlyphs(textArea(), glyphs), leadingGlyphs(shortText, glyphs));
    EXPECT_EQ(edit->toolTip(), full);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(edit);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Value), full);

    // A text that fits again takes the tooltip away.
    edit->setFloatValue(3);
    EXPECT_TRUE(edit->toolTip().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Arrivals, TextStartTest,
                         ::testing::Values(StartCase{"Written", Arrival::Written},
                                           StartCase{"TypedThenLeft", Arrival::TypedThenLeft},
                                           StartCase{"PastedThenLeft", Arrival::PastedThenLeft},
                                           StartCase{"WheelWithoutFocus", Arrival::WheelWithoutFocus},
                                           StartCase{"SteppedThenLeft", Arrival::SteppedThenLeft}),
                         [](const auto& info) { return std::string(info.param.name); });

// While the box has the focus the caret decides what shows: the typed end.
TEST_F(SpinEditTest, FocusedBoxKeepsTheCaretAtTheTypedEnd)
{
    edit->resize(64, 21);
    show("", 1);
    QTest::keyClicks(edit, "24507651.9");
    EXPECT_EQ(edit->cursorPosition(), 10);
}

// ---------------------------------------------------------------------------
// Coming back to the window is not entering the box: caret and selection stay.

namespace {

struct ReturnCase {
    const char* name;
    spinlogic::Selection before;
    Qt::Key key;
    const char* expected; // the text after the key
};

void PrintTo(const ReturnCase& c, std::ostream* os) { *os << c.name; }

class WindowReturnTest : public SpinEditTest, public ::testing::WithParamInterface<ReturnCase> {};

} // namespace

TEST_P(WindowReturnTest, CaretAndSelectionStayAsTheyWere)
{
    const ReturnCase& c = GetParam();
    show("12.5", 1);
    if (c.before.length > 0) edit->setSelection(c.before.start, c.before.length);
    else edit->setCursorPosition(c.before.start);

    QWidget elsewhere; // another window takes the focus, then this one again
    elsewhere.resize(100, 50);
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_FALSE(edit->hasFocus());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(edit->hasFocus());

    EXPECT_EQ(edit->text(), "12.5");
    EXPECT_EQ(edit->selectionStart(), c.before.length > 0 ? c.before.start : -1);
    EXPECT_EQ(edit->selectionLength(), c.before.length);
    if (c.before.length == 0) {
        EXPECT_EQ(edit->cursorPosition(), c.before.start);
    }
    QTest::keyClick(edit, c.key);
    EXPECT_EQ(edit->text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowReturnTest,
    ::testing::Values(ReturnCase{"CaretInside", {2, 0}, Qt::Key_7, "127.5"},
                      ReturnCase{"CaretAtStart", {0, 0}, Qt::Key_9, "912.5"},
                      ReturnCase{"PartSelected", {0, 1}, Qt::Key_3, "32.5"},
                      ReturnCase{"CaretAtEnd", {4, 0}, Qt::Key_Backspace, "12."}),
    [](const auto& info) { return std::string(info.param.name); });

// Entering the box by keyboard still selects it all.
TEST_F(SpinEditTest, TabIntoTheBoxStillSelectsAll)
{
    show("12.5", 1);
    edit->setCursorPosition(2);
    leave();
    QTest::keyClick(other, Qt::Key_Backtab);
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), "12.5");
}

// ---------------------------------------------------------------------------
// Typed characters the number reader does not read beep and change nothing.

namespace {

struct KeyCase {
    const char* name;
    const char16_t* typed;
    bool accepted;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class TypedCharacterTest : public SpinEditTest, public ::testing::WithParamInterface<KeyCase> {};

} // namespace

TEST_P(TypedCharacterTest, OnlyWhatTheReaderReads)
{
    const KeyCase& c = GetParam();
    show("80", 0);
    edit->end(false);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    const QString typed = QString::fromUtf16(c.typed);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(edit, &release);
    EXPECT_EQ(edit->text(), c.accepted ? "80" + typed : QString("80"));
    EXPECT_EQ(beeps.count(), c.accepted ? 0 : 1);
    EXPECT_EQ(changes, c.accepted ? 1 : 0);
    EXPECT_DOUBLE_EQ(edit->floatValue(), c.accepted ? (QString("80") + typed).toDouble() : 80.0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypedCharacterTest,
    ::testing::Values(KeyCase{"SuperscriptTwo_AltGr2", u"\u00B2", false}, KeyCase{"SuperscriptThree", u"\u00B3", false},
                      KeyCase{"ArabicIndicThree", u"\u0663", false}, KeyCase{"DevanagariFive", u"\u096B", false},
                      KeyCase{"FullwidthFive", u"\uFF15", false}, KeyCase{"RomanTwelve", u"\u216B", false},
                      KeyCase{"OneHalf", u"\u00BD", false}, KeyCase{"AsciiFive", u"5", true},
                      KeyCase{"AsciiZero", u"0", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The caret stands still a while after the last input, so that no timer
// repaints a box while nobody types; a key makes it blink again at the
// desktop's rate.
TEST_F(SpinEditTest, CaretStopsBlinkingWhileNobodyTypes)
{
    QStyleHints* hints = QGuiApplication::styleHints();
    const int desktopRate = hints->cursorFlashTime();
    hints->setCursorFlashTime(1000);
    {
        TCaretBlinkTimeout blink(std::chrono::milliseconds(20));
        EXPECT_TRUE(blink.isBlinking());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !blink.isBlinking(); }, 60000));
        EXPECT_EQ(hints->cursorFlashTime(), 0);
        QTest::keyClick(edit, Qt::Key_Left);
        EXPECT_TRUE(blink.isBlinking());
        EXPECT_EQ(hints->cursorFlashTime(), 1000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !blink.isBlinking(); }, 60000));
    }
    EXPECT_EQ(hints->cursorFlashTime(), 1000); // put back as the timeout ends
    hints->setCursorFlashTime(desktopRate);
}
