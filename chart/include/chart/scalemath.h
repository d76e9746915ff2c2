#pragma once
// Scale arithmetic of a vertical value axis: choosing the label step, the
// labelled values, mapping a value to a pixel row and the label number text.
// Plain functions of their inputs, so they are checked without a screen.
#include <string>
#include <string_view>
#include <vector>

namespace scale {

// Ranges whose magnitude is at most this count as zero.
inline constexpr double kZeroRange = 1e-12;
// The smallest label step.
inline constexpr double kMinStep = 1e-12;
// A range that would need this many labels or more gets none.
inline constexpr double kMaxLabelCount = 10000;
// An automatic column width looks at no more labels than this.
inline constexpr int kMaxWidthSamples = 5000;
// No label is given fewer rows than this, whatever its font: no text shows
// in less, and it bounds the labels of an axis by its pixels.
inline constexpr int kMinLabelPitch = 4;

// Maps values of [min, max] onto the rows [startRow, endRow]; the maximum
// lies on startRow (top), the minimum on endRow (bottom). Not clamped.
struct ScaleMap {
    double min = 0;
    double max = 0;
    int startRow = 0;
    int endRow = 0;

    double range() const { return max - min; }
    int pixelSize() const { return endRow - startRow; }
    // Row of v: endRow - round((v - min) * (pixelSize / range)), ties to
    // even; the middle row when the range is zero.
    int row(double v) const;
    // Value at row y (the inverse of row, without rounding).
    double value(double y) const;
};

// Next member of the sequence 1, 2, 5, 10, 20, ... above x (x > 0).
double nextStep(double x);

// Space of one label: h plus the separation share of h, rounded.
int labelSpace(int h, int separationPercent);

// Number of labels that fit: pixelSize / space rounded (ties to even); 1
// when either is not positive.
int labelCount(int pixelSize, int space);

// The label step for a range over pixelSize rows with label height h.
// increment 0 chooses the step from the 1-2-5 sequence; a positive
// increment doubles until the labels fit.
double labelStep(double min, double max, int pixelSize, int h, int separationPercent, double increment);

// Values to label, from the top down: the values origin + k * step, for
// whole k, from the largest one not above max down to min, each computed
// from its index (a value a tiny fraction of a step from 0 is 0). With
// origin 0 the labels are whole multiples of step; with origin max they
// start at max. Empty when the range would need kMaxLabelCount labels or more.
std::vector<double> labelValues(double min, double max, double step, double origin = 0);

// The values of labelValues(map.min, map.max, step, origin) whose rows lie
// within [top, bottom] of map: only that part of the axis is walked, so the
// work follows the rows shown, not the range. Empty when the whole range
// would need kMaxLabelCount labels or more.
std::vector<double> labelValuesInRows(const ScaleMap& map, double step, int top, int bottom, double origin = 0);

// A number format of the "#,##0.###" kind: a ',' in the integer part groups
// the integer digits by three; each '0' before the point is an integer digit
// always written, each '0' after it a decimal always written, each '#' after
// it a further decimal written when it is not a trailing zero. Other
// characters are ignored.
struct AxisNumberFormat {
    bool group = true;
    int minIntegerDigits = 1;
    int minDecimals = 0;
    int maxDecimals = 3;
    bool operator==(const AxisNumberFormat&) const = default;
};
AxisNumberFormat parseAxisNumberFormat(std::string_view pattern);

// Text of v in format (by default "#,##0.###": at least one integer digit,
// groups of three integer digits, up to three decimals without trailing
// zeros). Beyond 15 integer digits, the exponent form of every figure.
std::string formatAxisValue(double v, std::string_view decSep = ".", std::string_view groupSep = ",",
                            const AxisNumberFormat& format = {});

} // namespace scale
