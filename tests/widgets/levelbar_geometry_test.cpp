// Level bar geometry and gradient without painting.
#include <gtest/gtest.h>

#include <QPalette>

#include "widgets/levelbar.h"

using namespace levelbar;

TEST(BevelLayout, BorderThenLoweredFrame)
{
    QPalette pal;
    pal.setColor(QPalette::Dark, QColor(10, 20, 30));
    pal.setColor(QPalette::Light, QColor(200, 210, 220));
    const BevelLayout b = bevelLayout(QRect(0, 0, 193, 25), TBarBevel{}, pal);
    EXPECT_EQ(b.inner, QRect(6, 6, 181, 13));
    ASSERT_EQ(b.frames.size(), 2u);
    EXPECT_EQ(b.frames[0].width, 5);
    EXPECT_EQ(b.frames[0].top, QColor(Qt::black));
    EXPECT_EQ(b.frames[1].rect, QRect(5, 5, 183, 15));
    EXPECT_EQ(b.frames[1].top, QColor(10, 20, 30));     // shadow on top and left
    EXPECT_EQ(b.frames[1].bottom, QColor(200, 210, 220)); // highlight on bottom and right

    TBarBevel all;
    all.outerOutline = osOuter;
    all.outerSpace = 2;
    all.innerStyle = bsRaised;
    all.innerOutline = osInner;
    const BevelLayout full = bevelLayout(QRect(0, 0, 100, 40), all, pal);
    ASSERT_EQ(full.frames.size(), 6u); // border, outline, lowered, space, raised, outline
    EXPECT_EQ(full.frames[3].width, 2);
    EXPECT_EQ(full.frames[4].top, QColor(200, 210, 220)); // raised: highlight on top
    EXPECT_EQ(full.inner, QRect(11, 11, 78, 18));
    TBarBevel hidden;
    hidden.visible = false;
    EXPECT_EQ(bevelLayout(QRect(0, 0, 193, 25), hidden, pal).inner, QRect(0, 0, 193, 25));
}

struct FillCase {
    const char* name;
    int position;
    int firstX; // -1: no fill
    int lastX;
};

// Test names carry the row name.
void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

class SmoothFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(SmoothFill, ColumnsOfTheFill)
{
    const FillCase& c = GetParam();
    const QRect fill = smoothFillRect(QRect(6, 6, 181, 13), percentOf(c.position, -80, 20));
    if (c.firstX < 0) {
        EXPECT_TRUE(fill.isEmpty());
        return;
    }
    EXPECT_EQ(fill.left(), c.firstX);
    EXPECT_EQ(fill.right(), c.lastX);
    EXPECT_EQ(fill.top(), 7);
    EXPECT_EQ(fill.bottom(), 17);
}

INSTANTIATE_TEST_SUITE_P(Cases, SmoothFill,
                         ::testing::Values(FillCase{"LoadValue", -20, 7, 113}, FillCase{"Empty", -80, -1, 0},
                                           FillCase{"OnePercent", -79, -1, 0}, FillCase{"TwoPercent", -78, 7, 8},
                                           FillCase{"Zero", 0, 7, 149}, FillCase{"Full", 20, 7, 185}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Percent, TruncatesAndSurvivesAnEmptyRange)
{
    EXPECT_EQ(percentOf(-20, -80, 20), 60);
    EXPECT_EQ(percentOf(1, 0, 3), 33);
    EXPECT_EQ(percentOf(5, 5, 5), 0);
}

TEST(Gradient, RunningSumsRoundedHalfToEven)
{
    const auto cols = gradientColumns(QColor(0, 0, 128), QColor(0, 255, 255), 181);
    ASSERT_EQ(cols.size(), 181u);
    EXPECT_EQ(cols[0], qRgb(0, 0, 128));
    EXPECT_EQ(cols[143], qRgb(0, 201, 228));
    EXPECT_EQ(cols[180], qRgb(0, 254, 254));
    // Sums 0, 1.5 and 0, 0.5: halves go to the even neighbour.
    EXPECT_EQ(gradientColumns(QColor(0, 0, 0), QColor(3, 1, 0), 2)[1], qRgb(2, 0, 0));
    EXPECT_EQ(gradientColumns(QColor(9, 9, 9), QColor(0, 0, 0), 0).size(), 1u);
}
