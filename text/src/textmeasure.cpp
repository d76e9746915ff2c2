#include "text/textmeasure.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>
#include <utility>

namespace {

QFontMetrics metrics(const QFont& font, const QPaintDevice* device)
{
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

} // namespace

qreal paintedRatio(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    return device->devicePixelRatio();
}

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

bool TShapedTexts::drawLine(QPainter& painter, QPointF baseline, const QString& text)
{
    // Kept shaped texts are laid out left to right and without the font's
    // lines; anything else is left to the text engine.
    const QFont& font = painter.font();
    if (font.underline() || font.overline() || font.strikeOut()) return false;
    // At a fractional device pixel ratio a static text places its glyphs a
    // little differently from the text engine: drawn by the engine there.
    const qreal ratio = paintedRatio(painter);
    if (ratio != std::floor(ratio)) return false;
    for (QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
        switch (c.direction()) {
        case QChar::DirR: case QChar::DirAL: case QChar::DirAN: case QChar::DirRLE: case QChar::DirRLO:
        case QChar::DirLRE: case QChar::DirLRO: case QChar::DirPDF: case QChar::DirRLI: case QChar::DirLRI:
        case QChar::DirFSI: case QChar::DirPDI:
            return false;
        default: break;
        }
    }
    FontTexts* entry = nullptr;
    for (FontTexts& f : fonts_)
        if (f.ratio == ratio && f.font == font) entry = &f;
    if (!entry) entry = &fonts_.emplace_back(FontTexts{font, ratio, QFontMetricsF(font, painter.device()).ascent(), {}});
    auto it = entry->texts.find(text);
    if (it == entry->texts.end()) {
        if (entries_ >= maxEntries_) {
            // Full: start afresh with this font alone, its ascent kept.
            FontTexts fresh{font, ratio, entry->ascent, {}};
            clear();
            entry = &fonts_.emplace_back(std::move(fresh));
        }
        QStaticText shaped(text);
        shaped.setTextFormat(Qt::PlainText);
        it = entry->texts.insert(text, shaped);
        ++entries_;
    }
    // A static text is placed by the top of its line.
    painter.drawStaticText(QPointF(baseline.x(), baseline.y() - entry->ascent), *it);
    return true;
}

void TShapedTexts::clear()
{
    fonts_.clear();
    entries_ = 0;
}

TTextCaches::TTextCaches(QObject* owner, const QPaintDevice* device, int maxEntries)
    : measure_(device, maxEntries), shaped_(maxEntries)
{
    QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, owner, [this] { fontsChanged_ = true; });
}

void TTextCaches::check(int dpiX, int dpiY)
{
    if (measure_.check(std::exchange(fontsChanged_, false), dpiX, dpiY)) shaped_.clear();
}
