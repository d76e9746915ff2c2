#pragma once
// Text sizes in pixels as the platform's font rendering gives them, and a
// cache that keeps them between paints. The diagram's layout and the markup
// label's word wrap both measure through ITextMeasure, so they run with
// fixed metrics and no screen in tests.
#include <QFont>
#include <QHash>
#include <QPointF>
#include <QStaticText>
#include <QString>
#include <vector>

class QObject;
class QPaintDevice;
class QPainter;

// The device pixel ratio of what the painter paints on (the image a
// widget renders into, not the widget).
qreal paintedRatio(const QPainter& painter);

class ITextMeasure {
public:
    virtual ~ITextMeasure() = default;
    virtual int textWidth(const QFont& font, const QString& text) const = 0;
    // Height of one line of text in the font; the same for every text.
    virtual int textHeight(const QFont& font) const = 0;
};

// Metrics of the fonts as painted on a device (screen or image); without a
// device, as on the screen.
class QtTextMeasure : public ITextMeasure {
public:
    explicit QtTextMeasure(const QPaintDevice* device = nullptr) : device_(device) {}
    int textWidth(const QFont& font, const QString& text) const override;
    int textHeight(const QFont& font) const override;
    int ascent(const QFont& font) const;

private:
    const QPaintDevice* device_;
};

// Widths, line heights and ascents per font, kept between paints: from one
// paint to the next most texts come back. Starts afresh when the fonts or
// the resolution change, or when it holds more than maxEntries widths.
class TTextMeasureCache : public ITextMeasure {
public:
    TTextMeasureCache(const QPaintDevice* device, int maxEntries) : base_(device), maxEntries_(maxEntries) {}

    int textWidth(const QFont& font, const QString& text) const override;
    int textHeight(const QFont& font) const override;
    int ascent(const QFont& font) const;

    // Call before a paint with the device's resolution; true when the cache
    // started afresh.
    bool check(bool fontsChanged, int dpiX, int dpiY);

private:
    struct Font {
        QFont font;
        int height = -1;
        int ascent = -1;
        QHash<QString, int> widths;
    };
    Font& entry(const QFont& font) const;

    QtTextMeasure base_;
    int maxEntries_;
    mutable std::vector<Font> fonts_;
    mutable int entries_ = 0;
    int dpiX_ = 0, dpiY_ = 0;
};

// Shaped texts per font, kept between paints: a text drawn again is laid
// out once. The diagram and the result line both draw through it. Starts
// afresh past maxEntries texts, or on clear(); it keeps at least the text
// it draws, whatever maxEntries is (0 or less keeps just that one).
class TShapedTexts {
public:
    explicit TShapedTexts(int maxEntries) : maxEntries_(maxEntries) {}

    // Draws one line of text in the painter's font and pen, its baseline
    // starting at `baseline`: the same pixels as QPainter::drawText(baseline,
    // text). Only plain left-to-right lines on a device of a whole device
    // pixel ratio are kept: false, and nothing drawn, for a text with line
    // breaks or tabs, right-to-left or bidirectional text, in an underlined,
    // overlined or struck-out font, or at a ratio such as 1.25; the caller
    // draws those with the text engine.
    // The owner clears the cache when its fonts or its device's resolution
    // change: the font's ascent is kept with its texts.
    bool drawLine(QPainter& painter, QPointF baseline, const QString& text);
    void clear();

private:
    // The texts of one font at one device pixel ratio, and its ascent there
    // (asked of the font engine once, not per text drawn).
    struct FontTexts {
        QFont font;
        qreal ratio = 1;
        qreal ascent = 0;
        QHash<QString, QStaticText> texts;
    };
    int maxEntries_;
    std::vector<FontTexts> fonts_;
    int entries_ = 0;
};

// The text sizes and shaped texts one widget keeps between paints, started
// afresh when the application's fonts or the resolution painted at change.
class TTextCaches {
public:
    // Sizes as measured on `device` (null: the screen); the fonts are
    // watched for as long as `owner` lives.
    TTextCaches(QObject* owner, const QPaintDevice* device, int maxEntries);

    // Call before a paint or a layout with the resolution painted at.
    void check(int dpiX, int dpiY);
    TTextMeasureCache& measure() const { return measure_; }
    TShapedTexts& shaped() const { return shaped_; }

private:
    mutable TTextMeasureCache measure_;
    mutable TShapedTexts shaped_;
    bool fontsChanged_ = false;
};
