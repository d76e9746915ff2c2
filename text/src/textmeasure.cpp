#include "text/textmeasure.h"

#include <QFontMetrics>

namespace {

QFontMetrics metrics(const QFont& font, const QPaintDevice* device)
{
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

} // namespace

int QtTextMeasure::textWidth(const QFont& font, const QString& text) const
{
    return metrics(font, device_).horizontalAdvance(text);
}

int QtTextMeasure::textHeight(const QFont& font) const { return metrics(font, device_).height(); }

int QtTextMeasure::ascent(const QFont& font) const { return metrics(font, device_).ascent(); }

int TTextMeasureCache::textWidth(const QFont& font, const QString& text) const
{
    Font& f = entry(font);
    const auto it = f.widths.constFind(text);
    if (it != f.widths.cend()) return *it;
    const int w = base_.textWidth(font, text);
    f.widths.insert(text, w);
    ++entries_;
    return w;
}

int TTextMeasureCache::textHeight(const QFont& font) const
{
    Font& f = entry(font);
    if (f.height < 0) f.height = base_.textHeight(font);
    return f.height;
}

int TTextMeasureCache::ascent(const QFont& font) const
{
    Font& f = entry(font);
    if (f.ascent < 0) f.ascent = base_.ascent(font);
    return f.ascent;
}

bool TTextMeasureCache::check(bool fontsChanged, int dpiX, int dpiY)
{
    if (!fontsChanged && dpiX == dpiX_ && dpiY == dpiY_ && entries_ <= maxEntries_) return false;
    fonts_.clear();
    entries_ = 0;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    return true;
}

TTextMeasureCache::Font& TTextMeasureCache::entry(const QFont& font) const
{
    for (Font& f : fonts_)
        if (f.font == font) return f;
    fonts_.push_back(Font{font, -1, -1, {}});
    return fonts_.back();
}
