// Overlay placement without a screen: the texts stay inside the plot, clear
// of the taken rectangles and of each other, markers before lines before
// zones, each as near its wanted place as a free place lies.
#include "chart/overlayplacement.h"

#include <gtest/gtest.h>

#include <random>

using overlay::Kind;
using overlay::Placed;
using overlay::Wanted;

namespace {

const TIntRect kPlot{200, 30, 700, 430};

TIntRect box(int x, int y, int w = 80, int h = 16) { return TIntRect{x, y, x + w, y + h}; }

// The rules every placement keeps, whatever the input.
void expectSound(const TIntRect& plot, const std::vector<TIntRect>& taken, const std::vector<Wanted>& texts,
                 const std::vector<Placed>& placed)
{
    ASSERT_EQ(placed.size(), texts.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (!placed[i].shown) continue;
        const TIntRect& r = placed[i].rect;
        EXPECT_EQ(r.width(), texts[i].rect.width());
        EXPECT_EQ(r.height(), texts[i].rect.height());
        EXPECT_TRUE(plot.contains(r)) << "text " << i;
        for (const TIntRect& t : taken) EXPECT_FALSE(t.intersects(r)) << "text " << i << " on a taken rectangle";
        for (std::size_t k = i + 1; k < placed.size(); ++k)
            EXPECT_FALSE(placed[k].shown && placed[k].rect.intersects(r)) << "texts " << i << " and " << k;
    }
}

struct PlaceCase {
    const char* name;
    std::vector<TIntRect> taken;
    std::vector<Wanted> texts;
    std::vector<Placed> expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class Place : public ::testing::TestWithParam<PlaceCase> {};

} // namespace

TEST_P(Place, GoesToTheNearestFreePlace)
{
    const PlaceCase& c = GetParam();
    const std::vector<Placed> placed = overlay::place(kPlot, c.taken, c.texts);
    expectSound(kPlot, c.taken, c.texts, placed);
    ASSERT_EQ(placed.size(), c.expected.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(placed[i].shown, c.expected[i].shown) << "text " << i;
        if (c.expected[i].shown) {
            EXPECT_EQ(placed[i].rect, c.expected[i].rect) << "text " << i << " at " << placed[i].rect.left << ","
                                                          << placed[i].rect.top;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Place,
    ::testing::Values(
        PlaceCase{"FreePlaceKept", {}, {{box(300, 100), Kind::Zone}}, {{true, box(300, 100)}}},
        PlaceCase{"MovedIntoThePlot",
                  {},
                  {{box(150, 10), Kind::Zone}, {box(690, 425), Kind::Marker}},
                  {{true, box(200, 30)}, {true, box(620, 414)}}},
        // Two texts on one spot: the marker keeps it, the zone text slides
        // along its row (cheaper than up or down), a gap apart.
        PlaceCase{"MarkerBeforeZone",
                  {},
                  {{box(300, 100), Kind::Zone}, {box(300, 100), Kind::Marker}},
                  {{true, box(214, 100)}, {true, box(300, 100)}}},
        PlaceCase{"LineBeforeZone",
                  {},
                  {{box(300, 100), Kind::Zone}, {box(310, 100), Kind::Line}},
                  {{true, box(224, 100)}, {true, box(310, 100)}}},
        // Equal kinds: painting order decides.
        PlaceCase{"FirstPaintedFirst",
                  {},
                  {{box(300, 100), Kind::Zone}, {box(300, 104), Kind::Zone}},
                  {{true, box(300, 100)}, {true, box(214, 104)}}},
        // A label reaching into the plot pushes the text clear of it.
        PlaceCase{"ClearOfALabel", {box(640, 100, 70, 16)}, {{box(600, 105), Kind::Marker}}, {{true, box(554, 105)}}},
        // Hemmed in on the whole row: up or down by up to its height.
        PlaceCase{"UpOrDownWhenTheRowIsFull",
                  {TIntRect{200, 100, 700, 116}},
                  {{box(300, 106), Kind::Zone}},
                  {{true, box(300, 116)}}},
        PlaceCase{"LeftOutWhenNoPlaceIsNear",
                  {TIntRect{200, 60, 700, 160}},
                  {{box(300, 100), Kind::Zone}},
                  {{false, {}}}},
        PlaceCase{"WiderThanThePlot", {}, {{box(200, 100, 501), Kind::Marker}}, {{false, {}}}},
        PlaceCase{"Empty", {}, {{box(300, 100, 0), Kind::Zone}}, {{false, {}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Crowds of texts and labels in random places: the rules always hold, and a
// text is left out only where every place within its height of its row is taken.
TEST(PlaceRandom, RulesHoldForCrowds)
{
    std::mt19937 rng(22);
    std::uniform_int_distribution<int> x(-50, 750), y(-50, 480), w(1, 300), kind(0, 2), n(0, 12);
    for (int round = 0; round < 300; ++round) {
        const TIntRect plot{200, 30, 200 + w(rng) * 2, 30 + w(rng)};
        std::vector<TIntRect> taken;
        for (int i = n(rng); i > 0; --i) taken.push_back(box(x(rng), y(rng), w(rng) / 3 + 1, 16));
        std::vector<Wanted> texts;
        for (int i = n(rng) / 2 + 1; i > 0; --i)
            texts.push_back({box(x(rng), y(rng), w(rng) / 2 + 1, 16), Kind(kind(rng))});
        const std::vector<Placed> placed = overlay::place(plot, taken, texts);
        expectSound(plot, taken, texts, placed);
        for (std::size_t i = 0; i < placed.size(); ++i) {
            if (!placed[i].shown || texts[i].rect.width() > plot.width() || plot.height() < 16) continue;
            const int y0 = std::clamp(texts[i].rect.top, plot.top, plot.bottom - 16);
            EXPECT_LE(std::abs(placed[i].rect.top - y0), 16 * overlay::kMaxShiftInHeights);
        }
        if (HasFailure()) return;
    }
}
