// The spin editor driven by real key, mouse, wheel and clipboard events.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

#include "calc/calculator.h"
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

TEST_F(SpinEditTest, ThousandsSeparatorTypesAsDecimal)
{
    show("", 1);
    QTest::keyClicks(edit, "1,");
    EXPECT_EQ(edit->text(), "1.");
    EXPECT_EQ(changes, 2);
}

TEST_F(SpinEditTest, FullFractionRefusedUnlessSelected)
{
    show("12.3", 1);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    edit->end(false);
    QTest::keyClick(edit, '4');
    EXPECT_EQ(edit->text(), "12.3");
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(changes, 0);
    edit->selectAll();
    QTest::keyClick(edit, '4');
    EXPECT_EQ(edit->text(), "4");
    EXPECT_EQ(beeps.count(), 1);
    QTest::keyClicks(edit, "a ;");
    EXPECT_EQ(edit->text(), "4");
    EXPECT_EQ(beeps.count(), 4);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "");
}

TEST_F(SpinEditTest, PrecisionZeroTakesWholeNumbers)
{
    show("12", 0);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    edit->end(false);
    QTest::keyClick(edit, '.');
    EXPECT_EQ(edit->text(), "12");
    EXPECT_EQ(beeps.count(), 1);
    edit->selectAll();
    QTest::keyClick(edit, '.');
    EXPECT_EQ(edit->text(), ".");
}

TEST_F(SpinEditTest, MinusTogglesOnlyWhenSigned)
{
    show("5.0", 1);
    edit->end(false);
    QTest::keyClick(edit, '-');
    EXPECT_EQ(edit->text(), "5.0");
    QTest::keyClick(edit, '+');
    EXPECT_EQ(edit->text(), "5.0");
    EXPECT_EQ(changes, 0);

    edit->setSigned(true);
    edit->setCursorPosition(1);
    QTest::keyClick(edit, '-');
    EXPECT_EQ(edit->text(), "-5.0");
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::keyClick(edit, '-');
    EXPECT_EQ(edit->text(), "5.0");
    EXPECT_EQ(edit->cursorPosition(), 1);
    QTest::keyClick(edit, '+');
    EXPECT_EQ(edit->text(), "5.0");
    EXPECT_EQ(changes, 2);
}

TEST_F(SpinEditTest, SignKeysBeepOnAFullFraction)
{
    show("5.0", 1);
    edit->setSigned(true);
    edit->end(false);
    QSignalSpy beeps(edit, &TFloatSpinEdit::beeped);
    QTest::keyClick(edit, '-');
    EXPECT_EQ(edit->text(), "-5.0");
    EXPECT_EQ(beeps.count(), 1);
    edit->setCursorPosition(0);
    QTest::keyClick(edit, '+');
    EXPECT_EQ(beeps.count(), 1);
}

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
    RepeatTimings& t = TRepeatButton::timings();
    const RepeatTimings saved = t;
    t = RepeatTimings{5, 5};
    show("0", 0);
    TRepeatButton* up = edit->buttons()->upButton();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes >= 3; }, 5000));
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    const int afterRelease = changes;
    QTest::qWait(30);
    EXPECT_EQ(changes, afterRelease);
    t = saved;
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

// The calculator drives the boxes through its numeric-input interface.
TEST_F(SpinEditTest, CalculatorDrivesTheBoxes)
{
    CalcBindings b;
    std::vector<TFloatSpinEdit*> boxes;
    for (std::size_t i = 0; i < kInputCount; ++i) {
        auto* box = new TFloatSpinEdit(window.get());
        box->setObjectName(inputName(static_cast<InputId>(i)));
        box->setPrecision(1);
        box->setSigned(true);
        box->setFloatValue(0);
        boxes.push_back(box);
        b.inputs[i] = box;
    }
    auto* bar = new TLevelBar(window.get());
    auto* line = new TMarkupLabel(window.get());
    b.levelBar = bar;
    b.resultLine = line;
    Calculator calc(b);
    calc.AttachInputHandlers();

    TFloatSpinEdit* dBu = boxes[static_cast<std::size_t>(InputId::MicSens_dBu)];
    TFloatSpinEdit* mV = boxes[static_cast<std::size_t>(InputId::MicSens_mV)];
    dBu->show();
    dBu->setFocus();
    dBu->selectAll();
    QTest::keyClick(dBu, '6');
    EXPECT_EQ(dBu->text(), "6");
    EXPECT_EQ(mV->text(), "1546.3"); // 0.775 V * 10^(6/20)
    EXPECT_TRUE(calc.handlersAttached());
    EXPECT_FALSE(line->plainText().isEmpty());
}
