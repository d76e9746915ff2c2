#pragma once
// Text metrics with known figures: every font is `height` pixels high and
// every character `charWidth` pixels wide.
#include "chart/scalechart.h"

class FixedMeasure : public ITextMeasure {
public:
    explicit FixedMeasure(int height = 16, int charWidth = 8) : height_(height), charWidth_(charWidth) {}
    int textWidth(const QFont&, const QString& text) const override { return charWidth_ * static_cast<int>(text.size()); }
    int textHeight(const QFont&) const override { return height_; }

private:
    int height_, charWidth_;
};
