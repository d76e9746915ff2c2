// The spin editor's rules without a screen: number text, filter, paste,
// sign, caret after a step, wheel, button and caption geometry.
#include <gtest/gtest.h>

#include <QLocale>

#include "widgets/spinlogic.h"

using namespace spinlogic;

namespace {

const Separators kEnglish{u'.', u',', u'/', u':'};
const Separators kGerman{u',', u'.', u'.', u':'};

} // namespace

struct FormatCase {
    const char* name;
    double value;
    int precision;
    const char* sep;
    const char* expected;
};

// Test names carry the row name.
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class FormatValue : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatValue, ShowsTheLocaleText)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatValue(c.value, c.precision, QString::fromUtf8(c.sep)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatValue,
    ::testing::Values(FormatCase{"TenPointZeroFourStaysTen", 10.04, 1, ".", "10.0"},
                      FormatCase{"TenPointZeroFiveRoundsUp", 10.05, 1, ".", "10.1"},
                      FormatCase{"QuarterRoundsAwayFromZero", 0.25, 1, ".", "0.3"},
                      FormatCase{"NegativeQuarterRoundsAwayFromZero", -0.25, 1, ".", "-0.3"},
                      FormatCase{"AllZeroHasNoMinus", -0.04, 1, ".", "0.0"},
                      FormatCase{"CommaLocale", 0.25, 1, ",", "0,3"},
                      FormatCase{"FivePlaces", 1.0, 5, ".", "1.00000"},
                      FormatCase{"GeneralWhole", 130.0, 0, ".", "130"},
                      FormatCase{"GeneralOneDecimal", 130.1, 0, ".", "130.1"},
                      FormatCase{"GeneralTwoDecimals", 20.05, 0, ",", "20,05"},
                      FormatCase{"GeneralAfterBinaryNoise", 20.1 + 0.1, 0, ".", "20.2"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadCase {
    const char* name;
    const char* text;
    const char* sep;
    double fallback;
    double expected;
};

// Test names carry the row name.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadValue : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadValue, NeverFails)
{
    const ReadCase& c = GetParam();
    EXPECT_DOUBLE_EQ(readValue(QString::fromUtf8(c.text), QString::fromUtf8(c.sep), c.fallback), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadValue,
                         ::testing::Values(ReadCase{"Empty", "", ".", 7, 0}, ReadCase{"Blank", "  ", ".", 7, 0},
                                           ReadCase{"MinusAloneFallsBack", "-", ".", 0, 0},
                                           ReadCase{"MinusAloneReadsMinValue", "-", ".", 7, 7},
                                           ReadCase{"SeparatorAlone", ".", ".", 0, 0},
                                           ReadCase{"TrailingSeparator", "1.", ".", 0, 1},
                                           ReadCase{"NoLeadingDigit", "-.5", ".", 0, -0.5},
                                           ReadCase{"ExponentWithoutDigits", "1E", ".", 0, 1},
                                           ReadCase{"ForeignSeparatorFails", "1,5", ".", 0, 0},
                                           ReadCase{"CommaLocale", "1,5", ",", 0, 1.5},
                                           ReadCase{"Spaces", " 12 ", ".", 0, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClampFloat, ActsOnlyThroughItsFlags)
{
    EXPECT_DOUBLE_EQ(clampFloat(-0.1, Range{0.1, 0.0, false, false}, false), -0.1); // seMicSens_mV
    EXPECT_DOUBLE_EQ(clampFloat(-5, Range{0, 10, true, false}, false), 0);
    EXPECT_DOUBLE_EQ(clampFloat(15, Range{0, 10, true, false}, false), 15);
    EXPECT_DOUBLE_EQ(clampFloat(15, Range{0, 10, false, true}, false), 10);
    EXPECT_DOUBLE_EQ(clampFloat(15, Range{0, 10, true, true}, true), 15);      // loading
    EXPECT_DOUBLE_EQ(clampFloat(15, Range{3, 3, true, true}, false), 15);      // equal bounds and flags
    EXPECT_DOUBLE_EQ(clampFloat(15, Range{3, 3, true, false}, false), 15);     // not over a checked max
    EXPECT_DOUBLE_EQ(clampFloat(1, Range{3, 3, true, false}, false), 3);
}

struct FilterCase {
    const char* name;
    char16_t ch;
    const char* text;
    Selection sel;
    int precision;
    bool german;
    std::optional<char16_t> expected; // nothing: refused
};

// Test names carry the row name.
void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class FilterChar : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterChar, DecidesAsTheBoxDoes)
{
    const FilterCase& c = GetParam();
    const auto r = filterChar(QChar(c.ch), QString::fromUtf8(c.text), c.sel, c.precision, c.german ? kGerman : kEnglish);
    ASSERT_EQ(r.has_value(), c.expected.has_value());
    if (r) {
        EXPECT_EQ(r->unicode(), *c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterChar,
    ::testing::Values(
        FilterCase{"Digit", u'5', "12", {2, 0}, 1, false, u'5'},
        FilterCase{"Letter", u'a', "12", {2, 0}, 1, false, std::nullopt},
        FilterCase{"Space", u' ', "12", {2, 0}, 1, false, std::nullopt},
        FilterCase{"OtherPunctuation", u';', "12", {2, 0}, 1, false, std::nullopt},
        // Only the digits the number reader reads.
        FilterCase{"Zero", u'0', "12", {2, 0}, 0, false, u'0'},
        FilterCase{"Nine", u'9', "", {0, 0}, 1, false, u'9'},
        FilterCase{"ArabicIndicDigitRefused", u'\u0663', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"SuperscriptTwoRefused", u'\u00B2', "80", {2, 0}, 0, false, std::nullopt},
        FilterCase{"SuperscriptThreeRefused", u'\u00B3', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"FullwidthDigitRefused", u'\uFF15', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"RomanNumeralRefused", u'\u216B', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"OneHalfExcluded", u'\u00BD', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"OneQuarterExcluded", u'\u00BC', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"ThreeQuartersExcluded", u'\u00BE', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"ThousandsTypedAsDecimal", u',', "1", {1, 0}, 1, false, u'.'},
        FilterCase{"SecondDecimalRefused", u'.', "1.5", {1, 0}, 2, false, std::nullopt},
        FilterCase{"ThousandsIntoDecimalTextRefused", u',', "1.5", {1, 0}, 2, false, std::nullopt},
        FilterCase{"DecimalOverWholeSelection", u'.', "1.5", {0, 3}, 1, false, u'.'},
        FilterCase{"DecimalIntoEmptyBoxAtPrecisionZero", u'.', "", {0, 0}, 0, false, u'.'},
        FilterCase{"DecimalAtPrecisionZeroRefused", u'.', "12", {2, 0}, 0, false, std::nullopt},
        FilterCase{"DecimalAtPrecisionZeroPartSelected", u'.', "12", {0, 1}, 0, false, std::nullopt},
        FilterCase{"DecimalAtPrecisionZeroAllSelected", u'.', "12", {0, 2}, 0, false, u'.'},
        FilterCase{"FullFractionRefused", u'4', "12.3", {4, 0}, 1, false, std::nullopt},
        FilterCase{"FullFractionRightAfterSeparator", u'4', "12.3", {3, 0}, 1, false, std::nullopt},
        FilterCase{"FullFractionCaretBeforeSeparator", u'4', "12.3", {1, 0}, 1, false, u'4'},
        FilterCase{"FullFractionWithSelection", u'4', "12.3", {0, 4}, 1, false, u'4'},
        FilterCase{"FractionNotYetFull", u'4', "12.3", {4, 0}, 2, false, u'4'},
        FilterCase{"BackspaceOnFullFraction", u'\b', "12.3", {4, 0}, 1, false, u'\b'},
        FilterCase{"EscapeOnFullFraction", u'\x1b', "12.3", {4, 0}, 1, false, u'\x1b'},
        FilterCase{"NullOnFullFraction", u'\0', "12.3", {4, 0}, 1, false, std::nullopt},
        FilterCase{"CarriageReturn", u'\r', "", {0, 0}, 1, false, std::nullopt},
        FilterCase{"DateSeparatorRefused", u'/', "1", {1, 0}, 1, false, std::nullopt},
        FilterCase{"TimeSeparatorRefused", u':', "1", {1, 0}, 1, false, std::nullopt},
        FilterCase{"GermanDateSeparatorIsThousands", u'.', "1", {1, 0}, 1, true, u','},
        FilterCase{"GermanComma", u',', "1", {1, 0}, 1, true, u','},
        FilterCase{"Minus", u'-', "1", {0, 0}, 1, false, u'-'}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Separators, ComeFromTheLocale)
{
    const Separators en = separatorsOf(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(en.decimal, u'.');
    EXPECT_EQ(en.thousands, u',');
    EXPECT_EQ(en.date, u'/');
    EXPECT_EQ(en.time, u':');
    const Separators de = separatorsOf(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.decimal, u',');
    EXPECT_EQ(de.thousands, u'.');
    EXPECT_EQ(de.date, u'.');
    EXPECT_EQ(formatSeparator(QStringLiteral("HH 'h' mm"), u':'), u':'); // quoted and blank skipped
}

TEST(PasteEdit, OnlyWhenTheResultIsANumber)
{
    EXPECT_FALSE(pasteEdit("10.0", {4, 0}, "abc", "."));
    EXPECT_FALSE(pasteEdit("", {0, 0}, "-", "."));
    EXPECT_FALSE(pasteEdit("10.0", {0, 0}, "", "."));
    EXPECT_FALSE(pasteEdit("10.0", {4, 0}, "1,5", "."));
    // Replacing a selection selects what was pasted.
    EXPECT_EQ(pasteEdit("10.0", {0, 1}, "2", "."), (Edit{"20.0", {0, 1}}));
    // Inserting leaves the caret after it.
    EXPECT_EQ(pasteEdit("1", {1, 0}, "25", "."), (Edit{"125", {3, 0}}));
    EXPECT_EQ(pasteEdit("", {0, 0}, "1e3", "."), (Edit{"1e3", {3, 0}}));
    EXPECT_EQ(pasteEdit("1", {0, 1}, "2,5", ","), (Edit{"2,5", {0, 3}}));
}

// What a paste may insert to keep the text within 32,767 characters.
TEST(BoundedClip, TheClipTheBlanksDroppedOrNothing)
{
    struct Case {
        const char* what;
        qsizetype textLength;
        Selection sel;
        QString clip;
        std::optional<QString> inserted;
    };
    const QString zeros(kMaxTextLength - 4, u'0'); // with "10.0", a full box
    const QString blanks(40000, u' ');
    const Case cases[] = {
        {"short", 4, {4, 0}, "5", "5"},
        {"to the limit", 4, {4, 0}, zeros, zeros},
        {"one past the limit", 4, {4, 0}, zeros + "5", std::nullopt},
        {"in place of a selection", 4, {0, 4}, zeros + "5555", zeros + "5555"},
        {"blanks kept when it fits", 4, {0, 4}, " 7 ", " 7 "},
        {"blanks dropped when it does not", 4, {0, 4}, blanks + "7" + blanks, "7"},
        {"only blanks", 0, {0, 0}, blanks, ""},
        {"too long without its blanks", 4, {4, 0}, blanks + zeros + "5", std::nullopt},
        {"the selection clamped to the text", 4, {2, 99}, zeros + "55", zeros + "55"},
    };
    for (const Case& c : cases) {
        const QString text = QString(c.textLength, u'1');
        const std::optional<QStringView> got = boundedClip(text, c.sel, c.clip);
        ASSERT_EQ(got.has_value(), c.inserted.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(got->toString(), *c.inserted) << c.what;
        }
    }
}

TEST(ToggleSign, MovesTheSelectionWithTheText)
{
    EXPECT_EQ(toggleSign("5.0", {3, 0}), (Edit{"-5.0", {4, 0}}));
    EXPECT_EQ(toggleSign("-5.0", {4, 0}), (Edit{"5.0", {3, 0}}));
    EXPECT_EQ(toggleSign("-5.0", {0, 2}), (Edit{"5.0", {0, 2}}));
    EXPECT_EQ(toggleSign("", {0, 0}), (Edit{"-", {1, 0}}));
    // The whole text selected: a positive figure gains the minus and stays selected.
    EXPECT_EQ(toggleSign("5.0", {0, 3}), (Edit{"-5.0", {1, 3}}));
}

TEST(ToggleSign, KeepsTheMinusOfAWhollySelectedNegativeFigure)
{
    // The digits after the minus are selected, to be replaced by the next keys.
    EXPECT_EQ(toggleSign("-5.0", {0, 4}), (Edit{"-5.0", {1, 3}}));
    EXPECT_EQ(toggleSign("-", {0, 1}), (Edit{"-", {1, 0}}));
    // Only the whole text counts: a partial selection still toggles.
    EXPECT_EQ(toggleSign("-5.0", {0, 3}), (Edit{"5.0", {0, 3}}));
    EXPECT_EQ(toggleSign("-5.0", {1, 3}), (Edit{"5.0", {0, 3}}));
}

struct StepCase {
    const char* name;
    const char* oldText;
    const char* newText;
    Selection old;
    Selection expected;
};

// Test names carry the row name.
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class StepSelection : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepSelection, FollowsTheSignAndTheLength)
{
    const StepCase& c = GetParam();
    EXPECT_EQ(stepSelection(c.oldText, c.newText, c.old), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StepSelection,
                         ::testing::Values(StepCase{"SameLengthKeepsCaret", "0.2", "0.1", {2, 0}, {2, 0}},
                                           StepCase{"SameLengthKeepsSelection", "0.2", "0.1", {0, 3}, {0, 3}},
                                           StepCase{"MinusAppears", "0.0", "-0.1", {2, 0}, {3, 1}},
                                           StepCase{"MinusGoes", "-0.1", "0.0", {3, 0}, {2, 1}},
                                           StepCase{"LongerSelectsToEnd", "9.9", "10.0", {1, 0}, {1, 3}},
                                           StepCase{"WholeStaysWhole", "9.9", "10.0", {0, 3}, {0, 4}},
                                           StepCase{"CaretAtStartWithMinusGone", "-0.1", "0.0", {0, 0}, {0, 3}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WheelSteps, CarriesTheRemainder)
{
    EXPECT_EQ(wheelSteps(0, 120).steps, 1);
    const WheelSteps half = wheelSteps(0, 60);
    EXPECT_EQ(half.steps, 0);
    EXPECT_EQ(half.remainder, 60);
    EXPECT_EQ(wheelSteps(half.remainder, 60).steps, 1);
    EXPECT_EQ(wheelSteps(0, -240).steps, -2);
    const WheelSteps mixed = wheelSteps(50, -100);
    EXPECT_EQ(mixed.steps, 0);
    EXPECT_EQ(mixed.remainder, -50);
    const WheelSteps big = wheelSteps(0, 250);
    EXPECT_EQ(big.steps, 2);
    EXPECT_EQ(big.remainder, 10);
}

TEST(ButtonGeometry, ColumnInsideTheRightEnd)
{
    const ButtonGeometry g = buttonGeometry(QSize(121, 21));
    EXPECT_EQ(g.column, QRect(103, 0, 15, 17));
    EXPECT_EQ(g.up, QRect(0, 0, 15, 8));
    EXPECT_EQ(g.down, QRect(0, 8, 15, 9));
    EXPECT_EQ(g.textRight, 100);
    const ButtonGeometry odd = buttonGeometry(QSize(80, 22)); // h 18
    EXPECT_EQ(odd.up.height(), 9);
    EXPECT_EQ(odd.down, QRect(0, 9, 15, 10));
}

TEST(Caption, RightCenterPlacement)
{
    const QRect box(10, 20, 121, 21);
    // A 13-pixel caption stands 3 pixels below the box top.
    EXPECT_EQ(captionTopLeft(box, QSize(60, 13), 8, lpRightCenter), QPoint(139, 23));
    // As tall as the box or taller: centred the other way.
    EXPECT_EQ(captionTopLeft(box, QSize(60, 21), 8, lpRightCenter), QPoint(139, 19));
    EXPECT_EQ(captionTopLeft(box, QSize(60, 30), 8, lpRightCenter), QPoint(139, 15));
    EXPECT_EQ(scaledLabelMargin(8, 96), 8);
    EXPECT_EQ(scaledLabelMargin(8, 120), 10);
    EXPECT_EQ(scaledLabelMargin(8, 144), 12);
}
