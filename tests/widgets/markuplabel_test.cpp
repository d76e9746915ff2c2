// The markup label rendered on a black strip and probed by pixels.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontDatabase>
#include <QPainter>
#include <QTest>

#include <memory>

#include "widgets/markupengine.h"
#include "widgets/markuplabel.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

struct Ink {
    int silver = 0;
    int yellow = 0;
    int other = 0;
    int total() const { return silver + yellow + other; }
};

// Text pixels in `r`, by colour: grey ones are silver, ones with blue well
// below red and green are light yellow.
Ink inkIn(const QImage& img, const QRect& r)
{
    Ink ink;
    const QRect area = r & img.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c(img.pixel(x, y));
            if (c.red() < 60 && c.green() < 60 && c.blue() < 60) continue; // the strip
            if (std::abs(c.red() - c.blue()) < 30 && std::abs(c.red() - c.green()) < 30) ++ink.silver;
            else if (c.red() > 100 && c.green() > 100 && c.blue() < c.red() - 40) ++ink.yellow;
            else ++ink.other;
        }
    }
    return ink;
}

// Horizontal extent of all text pixels (left > right when none).
std::pair<int, int> inkColumns(const QImage& img)
{
    int left = img.width(), right = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) >= 60) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

class MarkupLabelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QFontDatabase::addApplicationFont("/usr/share/wine/fonts/tahoma.ttf");
    }
    void SetUp() override
    {
        strip = std::make_unique<QWidget>();
        strip->resize(400, 25);
        QPalette p = strip->palette();
        p.setColor(QPalette::Window, Qt::black);
        strip->setPalette(p);
        strip->setAutoFillBackground(true);
        label = new TMarkupLabel(strip.get());
        label->setObjectName("lblCalcMain");
        label->setGeometry(0, 0, 400, 25);
        label->setFont(QFont("Tahoma", 8));
        label->setFontColor(QColor(0xC0, 0xC0, 0xC0));
        label->setVAlignment(markup::tvaCenter);
        strip->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
        lineHeight = QFontMetrics(label->font()).height();
    }
    QImage render() { return strip->grab().toImage(); }
    QRect runBox(const markup::Block& b, int line, int run)
    {
        const markup::Line& l = b.lines[static_cast<size_t>(line)];
        const markup::Run& r = l.runs[static_cast<size_t>(run)];
        return QRect(r.x, l.top, r.width, l.height);
    }

    std::unique_ptr<QWidget> strip;
    TMarkupLabel* label = nullptr;
    int lineHeight = 0;
};

} // namespace

TEST_F(MarkupLabelTest, FontTagColoursItsText)
{
    label->setResultLine(R"(<P align="center">HHH <FONT color="#FFFF80">HHH</FONT> HHH</P>)");
    const markup::Block b = label->layoutBlock(QtTextMeasure());
    ASSERT_EQ(b.lines.size(), 1u);
    ASSERT_EQ(b.lines[0].runs.size(), 4u); // "HHH ", "HHH", " ", "HHH"
    EXPECT_EQ(b.lines[0].top, (25 - lineHeight) / 2);
    const QImage img = render();

    const Ink before = inkIn(img, runBox(b, 0, 0));
    const Ink inside = inkIn(img, runBox(b, 0, 1));
    const Ink after = inkIn(img, runBox(b, 0, 3));
    EXPECT_GT(before.silver, 10);
    EXPECT_EQ(before.yellow, 0);
    EXPECT_GT(inside.yellow, 10);
    EXPECT_EQ(inside.silver, 0);
    EXPECT_GT(after.silver, 10);
    EXPECT_EQ(after.yellow, 0);
    // The strip shows through everywhere else.
    EXPECT_EQ(inkIn(img, QRect(0, 0, 400, b.lines[0].top)).total(), 0);
    EXPECT_EQ(QColor(img.pixel(2, 2)), QColor(Qt::black));
}

TEST_F(MarkupLabelTest, Alignments)
{
    label->setResultLine(R"(<P align="center">HHH</P>)");
    auto [cl, cr] = inkColumns(render());
    EXPECT_NEAR((cl + cr) / 2.0, 200.0, 3.0);

    label->setResultLine("<P align=center>HHH</P>"); // unquoted: stays left
    auto [ll, lr] = inkColumns(render());
    EXPECT_LE(ll, 2);

    label->setResultLine(R"(<P ALIGN="RIGHT">HHH</P>)");
    auto [rl, rr] = inkColumns(render());
    EXPECT_GE(rr, 396);
    EXPECT_GT(rl, 350);
}

TEST_F(MarkupLabelTest, UnclosedTagEndsTheText)
{
    label->setResultLine("HHH <HHH HHH");
    const markup::Block b = label->layoutBlock(QtTextMeasure());
    ASSERT_EQ(b.lines.size(), 1u);
    ASSERT_EQ(b.lines[0].runs.size(), 1u);
    const QImage img = render();
    const QRect first = runBox(b, 0, 0);
    EXPECT_GT(inkIn(img, first).total(), 0);
    EXPECT_EQ(inkIn(img, QRect(first.right() + 1, 0, 400, 25)).total(), 0);
}

TEST_F(MarkupLabelTest, WrappedTextShowsOnlyTheLinesThatFit)
{
    QString words;
    for (int i = 0; i < 40; ++i) words += "HHHH ";
    label->setResultLine(R"(<P align="center">)" + words.toStdString() + "</P>");

    // One pixel short of two lines: only the first is drawn, from the top.
    label->resize(400, 2 * lineHeight - 1);
    strip->resize(400, 2 * lineHeight - 1);
    QImage img = render();
    EXPECT_GT(inkIn(img, QRect(0, 0, 400, lineHeight)).total(), 0);
    EXPECT_EQ(inkIn(img, QRect(0, lineHeight, 400, lineHeight)).total(), 0);

    // Room for two lines: the second one shows.
    label->resize(400, 2 * lineHeight);
    strip->resize(400, 2 * lineHeight);
    img = render();
    EXPECT_GT(inkIn(img, QRect(0, lineHeight, 400, lineHeight)).total(), 0);
}

TEST_F(MarkupLabelTest, ClearAndAddPaintOnce)
{
    PaintCounter counter;
    QCoreApplication::processEvents();
    label->installEventFilter(&counter);
    label->setResultLine("<P>one</P>");
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count > 0; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(label->htmlText(), QStringList{"<P>one</P>"});
    label->removeEventFilter(&counter);
}

TEST_F(MarkupLabelTest, AccessibleTextHasNoTags)
{
    label->setResultLine(R"(<P align="center">[Out : <FONT color="#FFFF80">-40.0</FONT> dBu]</P>)");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    EXPECT_EQ(a->text(QAccessible::Name), "[Out : -40.0 dBu]");
}

// With the focus the label shows a frame dotted as every broken one-pixel
// pen is: one device pixel on, two off, at every scale.
TEST_F(MarkupLabelTest, FocusFrameHasOnePeriodAtEveryScale)
{
    label->setFocusPolicy(Qt::TabFocus);
    strip->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(strip.get()));
    label->setFocus();
    ASSERT_TRUE(label->hasFocus());
    const QRgb dot = label->fontColor().rgb();
    for (double ratio : {1.0, 1.25, 1.5, 2.0}) {
        QImage image(qRound(400 * ratio), qRound(25 * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        label->render(&image);
        // Every three neighbouring pixels of the top row hold one dot.
        for (int x = qRound(10 * ratio); x + 2 <= qRound(390 * ratio); ++x) {
            int on = 0;
            for (int k = 0; k < 3; ++k) on += image.pixel(x + k, 0) == dot;
            ASSERT_EQ(on, 1) << "ratio " << ratio << " at " << x;
        }
    }
}

// Words drawn from kept shaped texts are placed as the text engine places a
// bottom-aligned line: the same pixels in every face, size and line height,
// for bidirectional words, and for runs it cannot keep (a tab).
TEST(MarkupDraw, KeptWordsGiveTheTextEnginesPixels)
{
    QFontDatabase::addApplicationFont("/usr/share/wine/fonts/tahoma.ttf");
    const QString text = QStringLiteral(
        "Mic <B>-39,8 dBu</B> &amp; <FONT COLOR=#FFFF80>12.5 mV</FONT> <I>gain</I> <U>+20 dB</U> "
        "\u05E9\u05DC\u05D5\u05DD 42 abc \u0645\u0631\u062D\u0628\u0627 x\ty");
    TShapedTexts shaped(64);
    for (const char* family : {"Tahoma", "Liberation Sans", "Liberation Mono"})
        for (int points = 6; points <= 16; points += 2)
            for (int spacing : {0, 3}) {
                markup::BaseStyle base{QFont(family, points), QColor(0xC0, 0xC0, 0xC0), spacing};
                QImage engine(520, 120, QImage::Format_RGB32), kept = engine;
                engine.fill(Qt::black);
                kept.fill(Qt::black);
                const markup::Block block =
                    markup::layout(text, QRect(3, 2, 500, 110), base, QtTextMeasure(&engine), true);
                ASSERT_FALSE(block.lines.empty());
                {
                    QPainter p(&engine);
                    markup::draw(p, block, spacing);
                }
                for (int pass = 0; pass < 2; ++pass) { // shaping, then the kept texts
                    kept.fill(Qt::black);
                    QPainter p(&kept);
                    markup::draw(p, block, spacing, &shaped);
                }
                EXPECT_TRUE(kept == engine) << family << " " << points << " pt, spacing " << spacing;
            }
}

// A cache of any size, none or less included, draws every text the first
// time and again after it started afresh, with the text engine's pixels.
TEST(ShapedTexts, AnySizeDrawsEveryTextLikeTheEngine)
{
    const QString texts[] = {QStringLiteral("1,000"), QStringLiteral("-0.35"), QStringLiteral("12.5 mV"),
                             QStringLiteral("dB SPL"), QStringLiteral("1,000")};
    for (int size : {-1, 0, 1, 2, 64}) {
        TShapedTexts shaped(size);
        QImage got(400, 40, QImage::Format_RGB32), want = got;
        for (int pass = 0; pass < 2; ++pass) {
            got.fill(Qt::black);
            want.fill(Qt::black);
            QPainter pg(&got), pw(&want);
            for (QPainter* p : {&pg, &pw}) {
                p->setFont(QFont(QStringLiteral("Liberation Sans"), 8 + pass * 2));
                p->setPen(QColor(0xC0, 0xC0, 0xC0));
            }
            int x = 3;
            for (const QString& t : texts) {
                ASSERT_TRUE(shaped.drawLine(pg, QPoint(x, 20), t)) << "size " << size;
                pw.drawText(QPoint(x, 20), t);
                x += 70;
            }
            pg.end();
            pw.end();
            ASSERT_TRUE(got == want) << "size " << size << " pass " << pass;
        }
    }
}
