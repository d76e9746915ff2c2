#include "widgets/markupengine.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace markup {

QString assemble(const QStringList& lines)
{
    QString out;
    bool first = true;
    for (const QString& line : lines) {
        if (!first && !(out.endsWith(u'>') && line.startsWith(u'<'))) out += u' ';
        first = false;
        for (QChar c : line) {
            if (c == u'\r') out += QStringLiteral("<BR>");
            else if (c != u'\n') out += c;
        }
    }
    return out;
}

QString decodeEntities(const QString& word)
{
    if (!word.contains(u'&')) return word;
    static const std::pair<QLatin1String, QChar> kNamed[] = {
        {QLatin1String("&amp;"), u'&'},   {QLatin1String("&lt;"), u'<'},   {QLatin1String("&gt;"), u'>'},
        {QLatin1String("&quot;"), u'"'}, {QLatin1String("&nbsp;"), u' '},
    };
    QString out;
    for (qsizetype i = 0; i < word.size();) {
        const QStringView rest = QStringView(word).sliced(i);
        const auto named = std::find_if(std::begin(kNamed), std::end(kNamed),
                                        [&](const auto& n) { return rest.startsWith(n.first); });
        if (named != std::end(kNamed)) {
            out += named->second;
            i += named->first.size();
            continue;
        }
        // "&#", one to four ASCII digits and ";".
        qsizetype end = 2;
        int code = 0;
        if (rest.startsWith(u"&#"))
            for (; end < rest.size() && end < 6 && rest[end] >= u'0' && rest[end] <= u'9'; ++end)
                code = code * 10 + (rest[end].unicode() - u'0');
        if (end > 2 && end < rest.size() && rest[end] == u';') {
            out += QChar(static_cast<char16_t>(code));
            i += end + 1;
        } else {
            out += word[i++];
        }
    }
    return out;
}

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return 0;
}

int hexPair(const QString& v, int at)
{
    if (at + 2 > v.size()) return 0;
    return hexDigit(v[at]) * 16 + hexDigit(v[at + 1]);
}

} // namespace

QColor parseColor(const QString& value)
{
    if (value.startsWith(u'#')) return QColor(hexPair(value, 1), hexPair(value, 3), hexPair(value, 5));
    if (QColor::isValidColorName(value)) return QColor::fromString(value);
    return QColor();
}

namespace {

// The tag name: letters and digits after "<" or "</", upper-cased.
QString tagName(const QString& tag, bool closing)
{
    QString name;
    for (int i = closing ? 2 : 1; i < tag.size(); ++i) {
        if (!tag[i].isLetterOrNumber()) break;
        name += tag[i].toUpper();
    }
    return name;
}

// The text between the first two double quotes after `attr` in `upper`, or
// nothing when the attribute or its quotes are missing.
std::optional<QString> quotedValue(const QString& upper, const QString& attr)
{
    const int at = upper.indexOf(attr);
    if (at < 0) return std::nullopt;
    const int q1 = upper.indexOf(u'"', at + attr.size());
    if (q1 < 0) return std::nullopt;
    const int q2 = upper.indexOf(u'"', q1 + 1);
    if (q2 < 0) return std::nullopt;
    return upper.mid(q1 + 1, q2 - q1 - 1);
}

struct RenderState {
    QFont font;
    QColor color;
    QColor restoreColor;
    Align align = Align::Left;
};

enum class TagEffect { None, EndLine, Break };

// Applies one tag; the dispatch is on its first letter.
TagEffect applyTag(const QString& tag, bool closing, RenderState& st, const BaseStyle& base)
{
    const int nameAt = closing ? 2 : 1;
    if (tag.size() <= nameAt) return TagEffect::None;
    const QString name = tagName(tag, closing);
    switch (tag[nameAt].toUpper().unicode()) {
    case u'P':
        if (closing) return TagEffect::EndLine;
        if (const auto v = quotedValue(tag.mid(2, tag.size() - 3).toUpper(), QStringLiteral("ALIGN"))) {
            if (v->contains(QLatin1String("RIGHT"))) st.align = Align::Right;
            if (v->contains(QLatin1String("LEFT"))) st.align = Align::Left;
            if (v->contains(QLatin1String("CENTER"))) st.align = Align::Center;
        }
        return TagEffect::None;
    case u'F':
        if (closing) {
            st.font.setFamily(base.font.family());
            if (base.font.pointSizeF() > 0) st.font.setPointSizeF(base.font.pointSizeF());
            else st.font.setPixelSize(base.font.pixelSize());
            st.color = st.restoreColor;
        } else {
            st.restoreColor = st.color;
            const QString attrs = tag.mid(5, tag.size() - 6).toUpper();
            if (const auto v = quotedValue(attrs, QStringLiteral(" COLOR")); v && !v->isEmpty()) {
                const QColor c = parseColor(*v);
                if (c.isValid()) st.color = c;
            }
        }
        return TagEffect::None;
    case u'B':
        if (name == QLatin1String("BR")) return TagEffect::Break;
        if (name == QLatin1String("B")) st.font.setBold(!closing);
        return TagEffect::None;
    case u'I':
        if (name == QLatin1String("I")) st.font.setItalic(!closing);
        return TagEffect::None;
    case u'U':
        if (name == QLatin1String("U")) st.font.setUnderline(!closing);
        return TagEffect::None;
    case u'S':
        if (name == QLatin1String("S") || name == QLatin1String("STRIKE")) st.font.setStrikeOut(!closing);
        return TagEffect::None;
    default:
        return TagEffect::None; // removed without effect
    }
}

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

QString trimmedBlank(const QString& s)
{
    int b = 0, e = static_cast<int>(s.size());
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.mid(b, e - b);
}

} // namespace

QString plainText(const QString& text)
{
    // Entities are decoded within each run of text between tags, as the
    // layout paints them: "&#6<B>;" stays "&#6;" on screen and here.
    QString out;
    int i = 0;
    while (i < text.size()) {
        const int lt = text.indexOf(u'<', i);
        out += decodeEntities(text.mid(i, lt < 0 ? -1 : lt - i));
        if (lt < 0) break;
        const int gt = text.indexOf(u'>', lt);
        if (gt < 0) break; // an unclosed tag ends the text
        const QString tag = text.mid(lt, gt - lt + 1);
        const bool closing = tag.size() > 1 && tag[1] == u'/';
        const QString name = tagName(tag, closing);
        if (name == QLatin1String("BR") || (closing && name == QLatin1String("P"))) out += u' ';
        i = gt + 1;
    }
    return out.simplified();
}

Block layout(const QString& text, const QRect& rect, const BaseStyle& base, const ITextMeasure& measure, bool clip)
{
    Block block;
    RenderState st{base.font, base.color, base.color, Align::Left};
    const int avail = rect.width();
    const int bottom = rect.top() + rect.height();
    int top = rect.top();
    QString rest = text;

    while (true) {
        rest = trimmedBlank(rest);
        if (rest.isEmpty()) break;

        Line line;
        line.top = top;
        const int gh = measure.textHeight(st.font);
        int wordHeight = 0;
        bool lineDone = false;
        bool broken = false;
        while (!lineDone && !rest.isEmpty()) {
            const int lt = static_cast<int>(rest.indexOf(u'<'));
            const int sp = static_cast<int>(rest.indexOf(u' '));
            const QString token = (lt >= 0 && (sp < 0 || sp > lt)) ? rest.left(lt)
                                  : sp >= 0                      ? rest.left(sp + 1)
                                                                 : rest;
            if (!token.isEmpty()) {
                const QString word = decodeEntities(token);
                const int w = measure.textWidth(st.font, word);
                if (!(line.width + w < avail || w >= avail)) break; // starts the next line
                line.runs.push_back(Run{line.width, word, st.font, st.color, w});
                line.width += w;
                wordHeight = std::max(wordHeight, measure.textHeight(st.font));
                rest.remove(0, token.size());
            }
            if (!rest.startsWith(u'<')) continue;
            if (rest.size() <= 2) {
                rest.clear();
                break;
            }
            const int gt = static_cast<int>(rest.indexOf(u'>'));
            if (gt < 0) {
                rest.clear(); // an unclosed tag ends the text
                break;
            }
            const QString tag = rest.left(gt + 1);
            const bool closing = tag[1] == u'/' && rest.size() > 3;
            rest.remove(0, gt + 1);
            const TagEffect effect = applyTag(tag, closing, st, base);
            if (effect != TagEffect::None) {
                lineDone = true;
                broken = effect == TagEffect::Break;
            }
        }

        if (!line.runs.empty()) {
            line.height = std::max(gh, wordHeight);
            const Run& last = line.runs.back();
            if (last.text.endsWith(u' ')) line.width -= measure.textWidth(last.font, QStringLiteral(" "));
        } else {
            line.height = broken ? gh : 0; // a line break on its own leaves a blank line
        }
        switch (st.align) {
        case Align::Left: line.x = rect.left(); break;
        case Align::Right: line.x = std::max(rect.left(), rect.left() + rect.width() - line.width); break;
        case Align::Center:
            line.x = rect.width() - line.width > 0 ? rect.left() + (rect.width() - line.width) / 2 : rect.left();
            break;
        }
        for (Run& r : line.runs) r.x += line.x;

        const int advance = line.height + base.lineSpacing;
        block.height += advance;
        top += advance;
        block.lines.push_back(std::move(line));
        if (clip && top + measure.textHeight(st.font) > bottom) break;
    }
    if (block.lines.empty()) block.height = measure.textHeight(base.font);
    return block;
}

QRect alignedRect(const QRect& client, int blockHeight, TVAlignment v)
{
    QRect r = client;
    switch (v) {
    case tvaTop: break;
    case tvaCenter: r.setTop(client.top() + std::max(0, (client.height() - blockHeight) / 2)); break;
    case tvaBottom: r.setTop(client.top() + std::max(0, client.height() - blockHeight)); break;
    }
    return r;
}

void draw(QPainter& painter, const Block& block, int lineSpacing, TShapedTexts* shaped)
{
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const Line& line : block.lines) {
        for (const Run& r : line.runs) {
            painter.setFont(r.font);
            painter.setPen(r.color);
            const QRect box(r.x, line.top, std::max(r.width, 1), line.height + lineSpacing);
            // Bottom-aligned: the line's top lies its height above the box's bottom.
            if (shaped) {
                const QFontMetricsF fm(r.font, painter.device());
                const QPointF baseline(box.x(), box.y() + box.height() - fm.descent());
                if (shaped->drawLine(painter, baseline, r.text)) continue;
            }
            painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom | Qt::TextDontClip | Qt::TextSingleLine, r.text);
        }
    }
}

} // namespace markup
