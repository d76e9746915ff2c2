// The level bar rendered at 193 x 25 and probed by pixels.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QTest>

#include <memory>
#include <string>

#include "widgets/levelbar.h"

namespace {

class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

// The main window's bar, loaded as the form does.
std::unique_ptr<TLevelBar> makeBar()
{
    auto bar = std::make_unique<TLevelBar>();
    bar->setObjectName("pbLevelMeter");
    bar->resize(193, 25);
    bar->beginLoad();
    bar->setMaxValue(20);
    bar->setMinValue(-80);
    bar->setPosition(-20);
    bar->endLoad();
    return bar;
}

bool isBlack(QRgb c)
{
    return (c & 0xFFFFFF) == 0;
}

} // namespace

struct BarCase {
    const char* name;
    int position;
    int stored;
    int firstX; // -1: no fill
    int lastX;
};

// Test names carry the row name.
void PrintTo(const BarCase& c, std::ostream* os) { *os << c.name; }

class LevelBarFill : public ::testing::TestWithParam<BarCase> {};

TEST_P(LevelBarFill, FilledColumns)
{
    const BarCase& c = GetParam();
    auto bar = makeBar();
    bar->setPosition(c.position);
    EXPECT_EQ(bar->position(), c.stored);
    const QImage img = bar->grab().toImage();
    ASSERT_EQ(img.size(), QSize(193, 25));
    for (int x = 6; x < 187; ++x) {
        const bool filled = c.firstX >= 0 && x >= c.firstX && x <= c.lastX;
        EXPECT_EQ(!isBlack(img.pixel(x, 12)), filled) << "column " << x;
        // One pixel of black track above and below the fill.
        EXPECT_TRUE(isBlack(img.pixel(x, 6))) << "column " << x;
        EXPECT_TRUE(isBlack(img.pixel(x, 18))) << "column " << x;
        if (filled) {
            EXPECT_FALSE(isBlack(img.pixel(x, 7)));
            EXPECT_FALSE(isBlack(img.pixel(x, 17)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelBarFill,
                         ::testing::Values(BarCase{"LoadValue", -20, -20, 7, 113},
                                           BarCase{"BelowRangeIsEmpty", -100, -80, -1, 0},
                                           BarCase{"OnePercentNoFill", -79, -79, -1, 0},
                                           BarCase{"TwoPercentTwoColumns", -78, -78, 7, 8},
                                           BarCase{"Zero", 0, 0, 7, 149},
                                           BarCase{"AboveRangeFullLastColumnBlack", 50, 20, 7, 185}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LevelBar, ColumnColourComesFromItsPlace)
{
    auto bar = makeBar();
    bar->setPosition(0);
    const QImage img = bar->grab().toImage();
    EXPECT_EQ(img.pixel(149, 12) & 0xFFFFFF, qRgb(0, 201, 228) & 0xFFFFFF); // gradient column 143
    EXPECT_EQ(img.pixel(7, 12) & 0xFFFFFF, qRgb(0, 1, 129) & 0xFFFFFF);     // gradient column 1
    bar->setPosition(20);
    EXPECT_EQ(bar->grab().toImage().pixel(149, 12) & 0xFFFFFF, qRgb(0, 201, 228) & 0xFFFFFF);
}

TEST(LevelBar, BevelFrames)
{
    auto bar = makeBar();
    const QImage img = bar->grab().toImage();
    const QPalette pal = bar->palette();
    EXPECT_TRUE(isBlack(img.pixel(0, 0)));
    EXPECT_TRUE(isBlack(img.pixel(4, 12)));
    EXPECT_EQ(img.pixel(5, 12), pal.color(QPalette::Dark).rgb());   // lowered: shadow at the left
    EXPECT_EQ(img.pixel(50, 5), pal.color(QPalette::Dark).rgb());   // and on top
    EXPECT_EQ(img.pixel(187, 12), pal.color(QPalette::Light).rgb()); // highlight at the right
    EXPECT_EQ(img.pixel(50, 19), pal.color(QPalette::Light).rgb());  // and at the bottom
    EXPECT_TRUE(isBlack(img.pixel(188, 12)));
}

TEST(LevelBar, RepaintsOnlyOnChange)
{
    auto bar = makeBar();
    bar->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    QCoreApplication::processEvents();
    PaintCounter counter;
    bar->installEventFilter(&counter);
    bar->setPosition(-20);
    EXPECT_EQ(counter.count, 0);
    bar->setPosition(-10);
    EXPECT_EQ(counter.count, 1); // at once, not on the next cycle
    bar->setPosition(100);
    bar->setPosition(20);
    EXPECT_EQ(counter.count, 2);
    bar->removeEventFilter(&counter);
}

TEST(LevelBar, RangeWritesFollowTheirRules)
{
    TLevelBar bar;
    EXPECT_EQ(bar.position(), 100);
    bar.setMaxValue(20);
    EXPECT_EQ(bar.position(), 20);
    bar.setMinValue(30); // not below the maximum: ignored
    EXPECT_EQ(bar.minValue(), 0);
    bar.setMaxValue(-5); // not above the minimum: ignored
    EXPECT_EQ(bar.maxValue(), 20);
    bar.setMinValue(-80);
    bar.setPosition(-90);
    EXPECT_EQ(bar.position(), -80);
}

TEST(LevelBar, AccessibleValueIsThePosition)
{
    auto bar = makeBar();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(bar.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Value), "-20");
    ASSERT_NE(a->valueInterface(), nullptr);
    EXPECT_EQ(a->valueInterface()->currentValue().toInt(), -20);
    EXPECT_EQ(a->valueInterface()->minimumValue().toInt(), -80);
    bar->setPosition(5);
    EXPECT_EQ(a->text(QAccessible::Value), "5");
    // Read as a text, not a percentage: the name, then the level with its
    // unit, and a level beyond either end of the range says so.
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    bar->setAccessibleName("Mic output");
    bar->setUnit("dBu");
    EXPECT_EQ(a->text(QAccessible::Name), "Mic output 5 dBu");
    bar->setPosition(-90);
    EXPECT_EQ(a->text(QAccessible::Value), "-80 dBu or less");
    bar->setPosition(-80);
    EXPECT_EQ(a->text(QAccessible::Value), "-80 dBu");
    bar->setPosition(21);
    EXPECT_EQ(a->text(QAccessible::Name), "Mic output 20 dBu or more");
}

// One look at every scale, also where the bar starts at a fraction of a
// device pixel: the bevel is a closed one-device-pixel outline (shadow on the
// top and left, highlight on the right and bottom, the corners joined) and
// the fill sits in its middle, with as much black above it as below and to
// its left.
TEST(LevelBar, ClosedBevelAndCentredFillAtEveryScale)
{
    auto bar = makeBar();
    const QRgb shadow = bar->palette().color(QPalette::Dark).rgb();
    const QRgb highlight = bar->palette().color(QPalette::Light).rgb();
    ASSERT_NE(shadow, highlight);
    for (double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0})
        for (int offset : {0, 1}) {
            const std::string where = "ratio " + std::to_string(ratio) + ", offset " + std::to_string(offset);
            QImage image(qRound((bar->width() + 2) * ratio), qRound((bar->height() + 2) * ratio), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::red);
            bar->QWidget::render(&image, QPoint(offset, offset));
            QRect bevel; // every bevel pixel
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) == shadow || image.pixel(x, y) == highlight) bevel |= QRect(x, y, 1, 1);
            ASSERT_FALSE(bevel.isEmpty()) << where;
            for (int y = bevel.top(); y <= bevel.bottom(); ++y)
                for (int x = bevel.left(); x <= bevel.right(); ++x) {
                    const bool lowRight = x == bevel.right() || y == bevel.bottom();
                    const bool topLeft = !lowRight && (x == bevel.left() || y == bevel.top());
                    const QRgb want = lowRight ? highlight : topLeft ? shadow : 0;
                    if (want) {
                        ASSERT_EQ(image.pixel(x, y), want) << where << " at " << x << "," << y;
                    } else {
                        ASSERT_NE(image.pixel(x, y), shadow) << where << " at " << x << "," << y;
                        ASSERT_NE(image.pixel(x, y), highlight) << where << " at " << x << "," << y;
                    }
                }
            // The fill: every coloured pixel inside the bevel.
            QRect fill;
            for (int y = bevel.top() + 1; y < bevel.bottom(); ++y)
                for (int x = bevel.left() + 1; x < bevel.right(); ++x)
                    if (!isBlack(image.pixel(x, y))) fill |= QRect(x, y, 1, 1);
            ASSERT_FALSE(fill.isEmpty()) << where;
            const int above = fill.top() - bevel.top() - 1;
            EXPECT_EQ(bevel.bottom() - fill.bottom() - 1, above) << where << ": black below the fill";
            EXPECT_EQ(fill.left() - bevel.left() - 1, above) << where << ": black left of the fill";
            EXPECT_GE(above, 1) << where;
        }
}
