// The markup engine with fixed metrics: 6 pixels a character, 13-pixel lines.
#include <gtest/gtest.h>

#include "widgets/markupengine.h"

using namespace markup;

namespace {

class FixedMeasure : public Measure {
public:
    int width(const QFont&, const QString& text) const override { return 6 * static_cast<int>(text.size()); }
    int height(const QFont&, const QString&) const override { return 13; }
};

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kLightYellow(0xFF, 0xFF, 0x80);

Block lay(const QString& text, QRect rect = QRect(0, 0, 300, 25), bool clip = true)
{
    return layout(text, rect, BaseStyle{QFont(), kSilver, 0}, FixedMeasure(), clip);
}

QStringList words(const Line& line)
{
    QStringList out;
    for (const Run& r : line.runs) out << r.text;
    return out;
}

} // namespace

TEST(Assemble, JoinsLinesAndBreaks)
{
    EXPECT_EQ(assemble({"<P>a", "b</P>"}), "<P>a b</P>");
    EXPECT_EQ(assemble({"<P>", "<B>x"}), "<P><B>x");
    EXPECT_EQ(assemble({"a\r\nb"}), "a<BR>b");
    EXPECT_EQ(assemble({}), "");
}

TEST(Entities, DecodedWithinWords)
{
    EXPECT_EQ(decodeEntities("a&amp;b"), "a&b");
    EXPECT_EQ(decodeEntities("&lt;x&gt;"), "<x>");
    EXPECT_EQ(decodeEntities("1&nbsp;mV"), "1 mV");
    EXPECT_EQ(decodeEntities("&#181;V"), QString::fromUtf8("µV"));
    EXPECT_EQ(decodeEntities("&amp;lt;"), "&lt;"); // decoded once
    EXPECT_EQ(decodeEntities("&#12345;&#;&x"), "&#12345;&#;&x");
}

TEST(Colors, HexPairsAndNames)
{
    EXPECT_EQ(parseColor("#FFFF80"), kLightYellow);
    EXPECT_EQ(parseColor("#12"), QColor(0x12, 0, 0));
    EXPECT_EQ(parseColor("#1"), QColor(0, 0, 0));
    EXPECT_EQ(parseColor("#GG0000"), QColor(0, 0, 0));
    EXPECT_EQ(parseColor("RED"), QColor(Qt::red));
    EXPECT_FALSE(parseColor("NOSUCHCOLOUR").isValid());
}

TEST(Layout, FontColourRunsAndRestore)
{
    const Block b = lay(R"(<P align="center">a <FONT color="#FFFF80">12.0</FONT> b</P>)");
    ASSERT_EQ(b.lines.size(), 1u);
    const Line& l = b.lines[0];
    EXPECT_EQ(words(l), (QStringList{"a ", "12.0", " ", "b"}));
    EXPECT_EQ(l.runs[0].color, kSilver);
    EXPECT_EQ(l.runs[1].color, kLightYellow);
    EXPECT_EQ(l.runs[2].color, kSilver);
    EXPECT_EQ(l.runs[3].color, kSilver);
}

TEST(Layout, LowerCaseAttributesAndDigits)
{
    const Block b = lay(R"(<p ALIGN="Center"><font COLOR="#ffff80">x</font></p>)");
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0].runs[0].color, kLightYellow);
    EXPECT_EQ(b.lines[0].x, (300 - 6) / 2);
}

TEST(Layout, BgcolorIsNotTheTextColour)
{
    const Block b = lay(R"(<FONT BGCOLOR="#FF0000">x</FONT>)");
    EXPECT_EQ(b.lines[0].runs[0].color, kSilver);
}

struct AlignCase {
    const char* name;
    const char* markup;
    int x;
};

// Test names carry the row name.
void PrintTo(const AlignCase& c, std::ostream* os) { *os << c.name; }

class Alignment : public ::testing::TestWithParam<AlignCase> {};

TEST_P(Alignment, PlacesTheLine)
{
    const Block b = lay(QString::fromUtf8(GetParam().markup));
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0].width, 42); // "abc def" without the trailing space
    EXPECT_EQ(b.lines[0].x, GetParam().x);
}

INSTANTIATE_TEST_SUITE_P(Cases, Alignment,
                         ::testing::Values(AlignCase{"Center", R"(<P align="center">abc def </P>)", 129},
                                           AlignCase{"CenterUnquoted", "<P align=center>abc def </P>", 0},
                                           AlignCase{"Right", R"(<P align="right">abc def </P>)", 258},
                                           AlignCase{"LastMatchWins", R"(<P align="right center">abc def</P>)", 129},
                                           AlignCase{"Default", "abc def", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Layout, UnknownTagsVanish)
{
    const Block b = lay("a<Q x>b<9>c</X>d");
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(words(b.lines[0]), (QStringList{"a", "b", "c", "d"}));
}

TEST(Layout, UnclosedTagEndsTheText)
{
    const Block b = lay("abc <def ghi");
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(words(b.lines[0]), (QStringList{"abc "}));
    EXPECT_EQ(words(lay("abc <").lines[0]), (QStringList{"abc "})); // too short to be a tag
}

TEST(Layout, WrapsAtWordsAndDrawsOnlyWhatFits)
{
    // "aaaa " is 30 pixels: two words reach 60, not below 50.
    const QString text = "aaaa bbbb cccc";
    const Block measured = lay(text, QRect(0, 0, 50, 25), false);
    ASSERT_EQ(measured.lines.size(), 3u);
    EXPECT_EQ(words(measured.lines[1]), (QStringList{"bbbb "}));
    EXPECT_EQ(measured.lines[1].top, 13);
    EXPECT_EQ(measured.height, 39);
    // Drawing in 25 pixels: the second line's top plus a line passes the bottom.
    EXPECT_EQ(lay(text, QRect(0, 0, 50, 25), true).lines.size(), 1u);
    EXPECT_EQ(lay(text, QRect(0, 0, 50, 26), true).lines.size(), 2u);
    // A word wider than the rectangle stands alone.
    const Block wide = lay("abcdefghij k", QRect(0, 0, 30, 100), false);
    ASSERT_EQ(wide.lines.size(), 2u);
    EXPECT_EQ(words(wide.lines[0]), (QStringList{"abcdefghij "}));
}

TEST(Layout, EmptyTextMeasuresOneLine)
{
    const Block b = lay("", QRect(0, 0, 300, 25), false);
    EXPECT_TRUE(b.lines.empty());
    EXPECT_EQ(b.height, 13);
}

TEST(Layout, BoldItalicUnderlineAndBreaks)
{
    const Block b = lay("<B>x</B>y <I>i</I> <U>u</U> <s>s</s>");
    ASSERT_EQ(b.lines.size(), 1u);
    const auto& r = b.lines[0].runs;
    EXPECT_TRUE(r[0].font.bold());
    EXPECT_FALSE(r[1].font.bold());
    EXPECT_TRUE(r[2].font.italic());
    EXPECT_TRUE(r[4].font.underline());
    EXPECT_TRUE(r[6].font.strikeOut());
    EXPECT_FALSE(r.back().font.underline());

    const Block br = lay("a<BR>b<br/><BR>c", QRect(0, 0, 300, 100), false);
    ASSERT_EQ(br.lines.size(), 4u);
    EXPECT_EQ(br.lines[2].height, 13); // an empty line from a break keeps its height
    EXPECT_EQ(br.lines[3].top, 39);
    EXPECT_EQ(words(br.lines[3]), (QStringList{"c"}));
}

TEST(Layout, ClosingParagraphEndsTheLine)
{
    const Block b = lay(R"(<P align="center">ab</P><P align="right">cd</P>)", QRect(0, 0, 300, 100), false);
    ASSERT_EQ(b.lines.size(), 2u);
    EXPECT_EQ(b.lines[0].x, 144);
    EXPECT_EQ(b.lines[1].x, 288);
}

TEST(VerticalAlignment, CentresAndKeepsATallBlockAtTheTop)
{
    const QRect client(0, 0, 783, 25);
    EXPECT_EQ(alignedRect(client, 13, tvaCenter).top(), 6);
    EXPECT_EQ(alignedRect(client, 26, tvaCenter).top(), 0);
    EXPECT_EQ(alignedRect(client, 39, tvaCenter).top(), 0);
    EXPECT_EQ(alignedRect(client, 13, tvaBottom).top(), 12);
    EXPECT_EQ(alignedRect(client, 13, tvaTop).top(), 0);
}

TEST(PlainText, WithoutTags)
{
    EXPECT_EQ(plainText(R"(<P align="center">[Dyn : <FONT color="#FFFF80">120.0</FONT> dB]</P>)"),
              "[Dyn : 120.0 dB]");
    EXPECT_EQ(plainText("a&lt;b<BR>c <d"), "a<b c");
    // An entity cut by a tag is no entity on screen, so none for a reader.
    EXPECT_EQ(plainText("&#65<B>;x&#66;"), "&#65;xB");
}
