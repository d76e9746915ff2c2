#pragma once
// Where texts painted over a chart's plot go: each inside the plot, clear
// of the scale labels, the titles and the texts placed before it, as near as
// can be to where its painter puts it, or left out when no such place is
// near its row. Plain geometry, no painting.
#include <vector>

#include "chart/scalechart.h"

namespace overlay {

// What a text names; texts of a lower kind are placed first.
enum class Kind { Marker = 0, Line = 1, Zone = 2 };

struct Wanted {
    TIntRect rect; // where the painter puts it
    Kind kind = Kind::Zone;
};

struct Placed {
    bool shown = false;
    TIntRect rect; // when shown: where it goes, the size of Wanted::rect
};

// How far a text may move up or down from where it is wanted, in its own
// heights: further, it would name a value it no longer stands next to.
inline constexpr int kMaxShiftInHeights = 1;
// A pixel up or down costs as much as this many sideways: a text keeps to
// its row and slides along it first.
inline constexpr long kRowWeight = 8;
// Free columns kept between a text and what lies beside it on its rows, so
// that two texts never run together ("17 V140 V").
inline constexpr int kGap = 6;

// Places `texts` (in painting order) inside `plot`, clear of every rectangle
// of `taken` and of each other (kGap apart side by side). Markers first,
// then lines, then zones, each kind in painting order. A text goes to the
// free place of least cost |dx| + kRowWeight |dy| from its wanted place
// (kept inside the plot; on a tie the upper, then the left one), moving at
// most kMaxShiftInHeights of its height up or down; the result holds one
// entry per text, in the same order.
std::vector<Placed> place(const TIntRect& plot, const std::vector<TIntRect>& taken, const std::vector<Wanted>& texts);

} // namespace overlay
