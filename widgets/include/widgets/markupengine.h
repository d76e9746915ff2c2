#pragma once
// A small HTML-like markup engine: assembling the text, tokens and tags,
// line layout with word wrap, and drawing. Layout takes its measurements
// from an ITextMeasure, so it runs without a screen; drawing only paints
// what the layout decided.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

#include "text/textmeasure.h"

class QPainter;

namespace markup {

enum class Align { Left, Center, Right };
enum TVAlignment { tvaTop, tvaCenter, tvaBottom };

// One word as drawn: its left edge, text (with any trailing space), font,
// colour and advance.
struct Run {
    int x = 0;
    QString text;
    QFont font;
    QColor color;
    int width = 0;
};

struct Line {
    int top = 0;
    int height = 0; // without the line spacing
    int width = 0;
    int x = 0;
    std::vector<Run> runs;
};

struct Block {
    std::vector<Line> lines;
    int height = 0; // sum of line heights plus the spacing of each
};

struct BaseStyle {
    QFont font;
    QColor color;
    int lineSpacing = 0;
};

// The list joined into one text: a line is appended directly after a ">" when
// it starts with "<", with one space otherwise; carriage returns become
// "<BR>" and line feeds are dropped.
QString assemble(const QStringList& lines);

// Character references of one word: &amp; &lt; &gt; &quot; &nbsp; and &#N;
// with one to four digits. Anything malformed stays as written.
QString decodeEntities(const QString& word);

// A colour attribute value (upper-cased): "#RRGGBB" (a short pair reads 0,
// a non-hex digit reads 0), else a colour name; invalid when unknown.
QColor parseColor(const QString& value);

// The text a reader hears: words without tags, entities decoded, white space
// collapsed. An unclosed "<" ends the text.
QString plainText(const QString& text);

// Lays out `text` in `rect`. With `clip` the lines stop where the next one's
// top plus a "gh" line would pass the rectangle's bottom (the drawing pass);
// without it every line is laid out (the measuring pass).
Block layout(const QString& text, const QRect& rect, const BaseStyle& base, const ITextMeasure& measure, bool clip);

// The rectangle the block is laid out in for a vertical alignment. A block
// taller than the client keeps its top at the client's top.
QRect alignedRect(const QRect& client, int blockHeight, TVAlignment v);

// Draws the words of the block with transparent background; with `shaped`,
// words drawn before are not laid out again.
void draw(QPainter& painter, const Block& block, int lineSpacing, TShapedTexts* shaped = nullptr);

} // namespace markup
