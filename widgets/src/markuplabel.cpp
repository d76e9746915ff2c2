#include "widgets/markuplabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>

#include <utility>
#include <vector>

namespace {

class MarkupLabelAccessible : public QAccessibleWidget {
public:
    explicit MarkupLabelAccessible(TMarkupLabel* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value) {
            const QString explicitName = widget()->accessibleName();
            if (t == QAccessible::Name && !explicitName.isEmpty()) return explicitName;
            return static_cast<TMarkupLabel*>(widget())->plainText();
        }
        return QAccessibleWidget::text(t);
    }
};

} // namespace

// Word widths and line heights per font, kept between paints: from one
// result line to the next most words stay the same. Starts afresh when
// the system's fonts change or it has grown large.
class TMarkupLabel::MeasureCache : public markup::Measure {
public:
    static constexpr int kMaxEntries = 2048;

    int width(const QFont& font, const QString& text) const override
    {
        Font& f = entry(font);
        const auto it = f.widths.constFind(text);
        if (it != f.widths.cend()) return *it;
        const int w = base_.width(font, text);
        f.widths.insert(text, w);
        ++entries_;
        return w;
    }
    // The platform's line height does not depend on the text.
    int height(const QFont& font, const QString& text) const override
    {
        Font& f = entry(font);
        if (f.height < 0) f.height = base_.height(font, text);
        return f.height;
    }
    // Call before a paint with the widget's resolution.
    void check(bool fontsChanged, int dpi)
    {
        if (fontsChanged || dpi != dpi_ || entries_ > kMaxEntries) {
            fonts_.clear();
            entries_ = 0;
            dpi_ = dpi;
        }
    }

private:
    struct Font {
        QFont font;
        int height = -1;
        QHash<QString, int> widths;
    };
    Font& entry(const QFont& font) const
    {
        for (Font& f : fonts_)
            if (f.font == font) return f;
        fonts_.push_back(Font{font, -1, {}});
        return fonts_.back();
    }

    markup::FontMeasure base_;
    mutable std::vector<Font> fonts_;
    mutable int entries_ = 0;
    int dpi_ = 0;
};

namespace {

QAccessibleInterface* markupLabelFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TMarkupLabel") && object && object->isWidgetType())
        return new MarkupLabelAccessible(static_cast<TMarkupLabel*>(object));
    return nullptr;
}

} // namespace

TMarkupLabel::TMarkupLabel(QWidget* parent) : QWidget(parent), measure_(std::make_unique<MeasureCache>())
{
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, [this] { fontsChanged_ = true; });
    static const bool installed = [] {
        QAccessible::installFactory(markupLabelFactory);
        return true;
    }();
    (void)installed;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false); // transparent: the parent shows through
}

TMarkupLabel::~TMarkupLabel() = default;

void TMarkupLabel::changed()
{
    update(); // coalesced: a clear followed by an add paints once
    if (QAccessible::isActive()) {
        QAccessibleEvent ev(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&ev);
    }
}

void TMarkupLabel::setHtmlText(const QStringList& lines)
{
    htmlText_ = lines;
    changed();
}

void TMarkupLabel::clearLines()
{
    htmlText_.clear();
    changed();
}

void TMarkupLabel::addLine(const QString& line)
{
    htmlText_.append(line);
    changed();
}

void TMarkupLabel::setResultLine(const std::string& markup)
{
    clearLines();
    addLine(QString::fromStdString(markup));
}

void TMarkupLabel::setVAlignment(markup::TVAlignment v)
{
    vAlignment_ = v;
    update();
}

void TMarkupLabel::setFontColor(const QColor& c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::WindowText, c);
    setPalette(p);
    update();
}

void TMarkupLabel::setLineSpacing(int px)
{
    lineSpacing_ = px;
    update();
}

QString TMarkupLabel::plainText() const
{
    return markup::plainText(markup::assemble(htmlText_));
}

markup::Block TMarkupLabel::layoutBlock(const markup::Measure& measure) const
{
    const QRect client = rect();
    const markup::BaseStyle base{font(), palette().color(QPalette::WindowText), lineSpacing_};
    const QString text = markup::assemble(htmlText_);
    int blockHeight = 0;
    if (vAlignment_ != markup::tvaTop) blockHeight = markup::layout(text, client, base, measure, false).height;
    return markup::layout(text, markup::alignedRect(client, blockHeight, vAlignment_), base, measure, true);
}

void TMarkupLabel::paintEvent(QPaintEvent*)
{
    if (rect().isEmpty()) return;
    QPainter p(this);
    measure_->check(std::exchange(fontsChanged_, false), logicalDpiY());
    markup::draw(p, layoutBlock(*measure_), lineSpacing_);
}
