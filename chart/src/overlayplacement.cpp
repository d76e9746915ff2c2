#include "chart/overlayplacement.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>

namespace overlay {

namespace {

// Adds v to the candidates when it lies in [lo, hi].
void addIn(std::vector<int>& out, int v, int lo, int hi)
{
    if (v >= lo && v <= hi) out.push_back(v);
}

void sortUnique(std::vector<int>& v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

// A rectangle with the gap that keeps texts on one row from reading as one.
TIntRect widened(const TIntRect& o) { return TIntRect{o.left - kGap, o.top, o.right + kGap, o.bottom}; }

bool isFree(const TIntRect& r, const std::vector<TIntRect>& taken)
{
    return std::none_of(taken.begin(), taken.end(), [&](const TIntRect& o) { return widened(o).intersects(r); });
}

// The free place of least cost for a w x h text wanted at (x0, y0), or
// nothing. A best place touches an obstacle's edge, the plot's edge or the
// wanted position on each axis, so only those coordinates are tried.
std::optional<TIntRect> freePlace(const TIntRect& plot, const std::vector<TIntRect>& taken, int x0, int y0, int w,
                                  int h)
{
    const int xLo = plot.left, xHi = plot.right - w;
    const int yLo = std::max(plot.top, y0 - kMaxShiftInHeights * h);
    const int yHi = std::min(plot.bottom - h, y0 + kMaxShiftInHeights * h);
    std::vector<int> xs{x0, xLo, xHi}, ys{y0};
    for (const TIntRect& o : taken) {
        if (o.bottom <= yLo || o.top >= yHi + h) continue; // never in the way
        addIn(xs, o.right + kGap, xLo, xHi);
        addIn(xs, o.left - kGap - w, xLo, xHi);
        addIn(ys, o.bottom, yLo, yHi);
        addIn(ys, o.top - h, yLo, yHi);
    }
    sortUnique(xs);
    sortUnique(ys);
    std::optional<TIntRect> best;
    long bestCost = 0;
    for (int y : ys) {
        for (int x : xs) {
            const long cost = std::labs(long{x} - x0) + kRowWeight * std::labs(long{y} - y0);
            if (best && cost >= bestCost) continue;
            const TIntRect r{x, y, x + w, y + h};
            if (!isFree(r, taken)) continue;
            best = r;
            bestCost = cost;
        }
    }
    return best;
}

} // namespace

std::vector<Placed> place(const TIntRect& plot, const std::vector<TIntRect>& taken, const std::vector<Wanted>& texts)
{
    std::vector<Placed> out(texts.size());
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return texts[a].kind < texts[b].kind; });
    std::vector<TIntRect> busy = taken;
    for (std::size_t i : order) {
        const TIntRect& want = texts[i].rect;
        const int w = want.width(), h = want.height();
        if (w <= 0 || h <= 0 || w > plot.width() || h > plot.height()) continue;
        const int x0 = std::clamp(want.left, plot.left, plot.right - w);
        const int y0 = std::clamp(want.top, plot.top, plot.bottom - h);
        const TIntRect at{x0, y0, x0 + w, y0 + h};
        // The common case: the wanted place is free.
        const std::optional<TIntRect> r =
            isFree(at, busy) ? std::optional<TIntRect>(at) : freePlace(plot, busy, x0, y0, w, h);
        if (!r) continue;
        out[i] = Placed{true, *r};
        busy.push_back(*r);
    }
    return out;
}

} // namespace overlay
