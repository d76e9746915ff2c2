// What a screen reader gets from a TFloatSpinEdit: the text units it asks
// for (a table of the plain rule), and the interface of a real box: a spin
// button with text, editable text and value, edits that obey the box's rules.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLocale>
#include <QWidget>

#include <limits>
#include <memory>
#include <ostream>
#include <string>

#include "widgets/floatspinedit.h"
#include "widgets/floatspineditaccessible.h"

using spinaccess::Range;
using spinaccess::Where;

namespace {

struct UnitCase {
    int length;
    int offset;
    QAccessible::TextBoundaryType boundary;
    Where where;
    Range want;
};

// "Len3_Off0_Word_At": the text length, the offset, the boundary and where.
std::string unitCaseName(const UnitCase& c)
{
    const char* boundary = "";
    switch (c.boundary) {
    case QAccessible::CharBoundary: boundary = "Char"; break;
    case QAccessible::WordBoundary: boundary = "Word"; break;
    case QAccessible::SentenceBoundary: boundary = "Sentence"; break;
    case QAccessible::ParagraphBoundary: boundary = "Paragraph"; break;
    case QAccessible::LineBoundary: boundary = "Line"; break;
    case QAccessible::NoBoundary: boundary = "None"; break;
    }
    const char* where = c.where == Where::Before ? "Before" : c.where == Where::After ? "After" : "At";
    const std::string offset = c.offset < 0 ? "Minus" + std::to_string(-c.offset) : std::to_string(c.offset);
    return "Len" + std::to_string(c.length) + "_Off" + offset + "_" + boundary + "_" + where;
}

void PrintTo(const UnitCase& c, std::ostream* os) { *os << unitCaseName(c); }

class TextUnitTable : public ::testing::TestWithParam<UnitCase> {};

TEST_P(TextUnitTable, Range)
{
    const UnitCase& c = GetParam();
    EXPECT_EQ(spinaccess::textUnit(c.length, c.offset, c.boundary, c.where), c.want);
}

constexpr auto Char = QAccessible::CharBoundary;
constexpr auto Word = QAccessible::WordBoundary;

INSTANTIATE_TEST_SUITE_P(
    SpinAccess, TextUnitTable,
    ::testing::Values(
        // "130": the whole number is the word, sentence and line at any offset, the end included.
        UnitCase{3, 3, Word, Where::At, {0, 3}}, UnitCase{3, 0, Word, Where::At, {0, 3}},
        UnitCase{3, -1, QAccessible::SentenceBoundary, Where::At, {0, 3}},
        UnitCase{3, 99, QAccessible::LineBoundary, Where::At, {0, 3}},
        UnitCase{3, 3, QAccessible::ParagraphBoundary, Where::At, {0, 3}},
        UnitCase{3, 1, QAccessible::NoBoundary, Where::At, {0, 3}},
        // Nothing before or after the one unit.
        UnitCase{3, 3, Word, Where::Before, {0, 0}}, UnitCase{3, 0, Word, Where::After, {3, 3}},
        // Characters: clamped offsets, empty ranges at the ends.
        UnitCase{5, 0, Char, Where::At, {0, 1}}, UnitCase{5, 5, Char, Where::At, {5, 5}},
        UnitCase{5, -4, Char, Where::At, {0, 1}}, UnitCase{5, 0, Char, Where::Before, {0, 0}},
        UnitCase{5, 5, Char, Where::Before, {4, 5}}, UnitCase{5, 3, Char, Where::After, {4, 5}},
        UnitCase{5, 4, Char, Where::After, {5, 5}},
        // An empty box.
        UnitCase{0, 0, Word, Where::At, {0, 0}}, UnitCase{0, 2, Char, Where::At, {0, 0}},
        UnitCase{0, -1, Char, Where::After, {0, 0}}),
    [](const auto& info) { return unitCaseName(info.param); });

class SpinAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        window = std::make_unique<QWidget>();
        edit = new TFloatSpinEdit(window.get(), 1, -39.8);
        edit->setSigned(true);
        edit->setLabelCaption("Mic Sensitivity in dBu");
        edit->setGeometry(10, 10, 64, 21);
        edit->setOnChange([this] { ++changes; });
        window->show();
        a = QAccessible::queryAccessibleInterface(edit);
        ASSERT_NE(a, nullptr);
    }
    std::unique_ptr<QWidget> window;
    TFloatSpinEdit* edit = nullptr;
    QAccessibleInterface* a = nullptr;
    int changes = 0;
};

TEST_F(SpinAccessibleTest, SpinButtonWithNameTextAndValue)
{
    EXPECT_EQ(a->role(), QAccessible::SpinBox);
    EXPECT_EQ(a->text(QAccessible::Name), "Mic Sensitivity in dBu");
    EXPECT_EQ(a->text(QAccessible::Value), "-39.8");
    EXPECT_TRUE(a->state().editable);
    EXPECT_TRUE(a->state().focusable);
    EXPECT_EQ(a->childCount(), 0); // the step buttons are not controls of their own
    ASSERT_NE(a->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(a->valueInterface()->currentValue().toDouble(), -39.8);
    EXPECT_DOUBLE_EQ(a->valueInterface()->minimumStepSize().toDouble(), 0.1);

    QAccessibleTextInterface* t = a->textInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->characterCount(), 5);
    int s = -1, e = -1;
    // The word at the end and at offset 0 of a negative number: the whole number.
    EXPECT_EQ(t->textAtOffset(5, QAccessible::WordBoundary, &s, &e), "-39.8");
    EXPECT_EQ(t->textAtOffset(0, QAccessible::WordBoundary, &s, &e), "-39.8");
    EXPECT_EQ(t->textAtOffset(5, QAccessible::SentenceBoundary, &s, &e), "-39.8");
    EXPECT_EQ(t->textBeforeOffset(2, QAccessible::CharBoundary, &s, &e), "3");
    // One attribute run over the whole text, from any offset.
    for (int offset : {0, 3, 5}) {
        t->attributes(offset, &s, &e);
        EXPECT_EQ(s, 0);
        EXPECT_EQ(e, 5);
    }
    EXPECT_EQ(t->text(1, 99), "39.8");
    // Characters lie inside the box, left to right.
    const QRect first = t->characterRect(0), last = t->characterRect(4);
    EXPECT_TRUE(QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(first));
    EXPECT_LT(first.left(), last.left());
    EXPECT_EQ(t->offsetAtPoint(last.center()), 4);
}

TEST_F(SpinAccessibleTest, EditsFromAReaderKeepANumber)
{
    QAccessibleValueInterface* v = a->valueInterface();
    v->setCurrentValue(-12.34);
    EXPECT_EQ(edit->text(), "-12.3");
    EXPECT_EQ(changes, 1);

    QAccessibleEditableTextInterface* et = a->editableTextInterface();
    ASSERT_NE(et, nullptr);
    et->replaceText(0, 5, "abc"); // not a number: refused, as a paste would be
    EXPECT_EQ(edit->text(), "-12.3");
    et->replaceText(1, 3, "5");
    EXPECT_EQ(edit->text(), "-5.3");
    et->insertText(4, "7");
    EXPECT_EQ(edit->text(), "-5.37");
    et->deleteText(0, 1);
    EXPECT_EQ(edit->text(), "5.37");
    EXPECT_EQ(changes, 4);

    edit->setEnabled(false);
    v->setCurrentValue(1.0);
    et->replaceText(0, 4, "2");
    EXPECT_EQ(edit->text(), "5.37");
}

// A reader's value request of NaN or an infinity changes nothing (no key
// can enter one); finite values are written as the keys would write them,
// in the locale's number text.
class SpinAccessibleValueTest : public SpinAccessibleTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        saved = QLocale();
        SpinAccessibleTest::SetUp();
        QLocale::setDefault(QString(GetParam()) == "," ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        edit->setFloatValue(-39.8);
        changes = 0;
    }
    void TearDown() override { QLocale::setDefault(saved); }
    QString local(const char* dotted) const { return QString(dotted).replace('.', GetParam()); }
    QLocale saved;
};

TEST_P(SpinAccessibleValueTest, NonFiniteValuesAreRefused)
{
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_EQ(edit->text(), local("-39.8"));
    const double inf = std::numeric_limits<double>::infinity();
    for (const QVariant& bad : {QVariant(std::numeric_limits<double>::quiet_NaN()), QVariant(inf), QVariant(-inf),
                                QVariant(QStringLiteral("nan")), QVariant(QStringLiteral("-inf"))}) {
        v->setCurrentValue(bad);
        EXPECT_EQ(edit->text(), local("-39.8")) << bad.toString().toStdString();
    }
    EXPECT_EQ(changes, 0);
    v->setCurrentValue(1234.56);
    EXPECT_EQ(edit->text(), local("1234.6"));
    v->setCurrentValue(QVariant(QStringLiteral("-7.26"))); // a number as text, as a reader may send it
    EXPECT_EQ(edit->text(), local("-7.3"));
    EXPECT_EQ(changes, 2);
}

INSTANTIATE_TEST_SUITE_P(Separators, SpinAccessibleValueTest, ::testing::Values(".", ","),
                         [](const auto& info) { return std::string(info.param == std::string(".") ? "Dot" : "Comma"); });

// The longest text a box holds: every character has its place, the edits of
// a reader keep the limit as a paste does.
TEST_F(SpinAccessibleTest, LongTextKeepsItsPlacesAndItsLimit)
{
    const QString full = "1." + QString(32764, u'0') + "5";
    edit->setText(full);
    changes = 0;
    QAccessibleTextInterface* t = a->textInterface();
    EXPECT_EQ(t->characterCount(), 32767);
    int previous = t->characterRect(0).left();
    for (int i = 1; i < full.size(); ++i) {
        const QRect r = t->characterRect(i);
        ASSERT_EQ(r.left(), previous + t->characterRect(i - 1).width()) << i;
        previous = r.left();
    }
    EXPECT_TRUE(t->characterRect(32767).isNull());

    QAccessibleEditableTextInterface* et = a->editableTextInterface();
    et->insertText(32767, "1"); // one past the limit
    et->replaceText(0, 1, "12");
    EXPECT_TRUE(edit->text() == full);
    EXPECT_EQ(changes, 0);
    et->replaceText(0, 32767, QString(40000, u' ') + "8" + QString(40000, u' '));
    EXPECT_EQ(edit->text(), "8");
    EXPECT_EQ(changes, 1);
}

} // namespace
