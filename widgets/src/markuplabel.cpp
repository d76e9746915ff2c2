#include "widgets/markuplabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>

#include "text/widgetkit.h"

namespace {

class MarkupLabelAccessible : public QAccessibleWidget {
public:
    explicit MarkupLabelAccessible(TMarkupLabel* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QAccessible::Role role() const override
    {
        return static_cast<TMarkupLabel*>(widget())->announcesChanges() ? QAccessible::Notification
                                                                         : QAccessible::StaticText;
    }
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

TMarkupLabel::TMarkupLabel(QWidget* parent) : QWidget(parent), texts_(this, nullptr, 2048)
{
    installAccessibleFactory(accessibleFactory<TMarkupLabel, MarkupLabelAccessible>);
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
    // A notification that shows again is spoken by a screen reader even when
    // it does not have the focus; only a new text is announced (a clear
    // followed by the same line is no news).
    if (announcesChanges_) {
        const QString text = plainText();
        if (!text.isEmpty() && text != announced_) {
            announced_ = text;
            if (QAccessible::isActive()) {
                QAccessibleEvent shown(this, QAccessible::ObjectShow);
                QAccessible::updateAccessibility(&shown);
            }
        }
    }
}

void TMarkupLabel::setAnnouncesChanges(bool on)
{
    announcesChanges_ = on;
    announced_ = on ? plainText() : QString();
}

void TMarkupLabel::copy() const
{
    QGuiApplication::clipboard()->setText(plainText());
}

void TMarkupLabel::contextMenuEvent(QContextMenuEvent* e)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* a = menu->addAction(tr("&Copy"), this, &TMarkupLabel::copy);
    // The menu shows the shortcut in its column; a screen reader reads it as
    // the item's shortcut, not as part of its name.
    a->setShortcut(QKeySequence::Copy);
    a->setObjectName(QStringLiteral("edit-copy"));
    a->setEnabled(!plainText().isEmpty());
    menu->popup(e->globalPos());
    // From the keyboard the item is highlighted, so that Enter copies and a
    // screen reader reads it.
    if (e->reason() == QContextMenuEvent::Keyboard) menu->setActiveAction(a);
}

void TMarkupLabel::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        copy();
        e->accept();
        return;
    }
    // Shift+F10 opens the context menu, as the Menu key does (Qt on X11 maps
    // only the latter).
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier) {
        const QPoint at = rect().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, mapToGlobal(at), e->modifiers());
        QCoreApplication::sendEvent(this, &menuEvent);
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
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

markup::Block TMarkupLabel::layoutBlock(const ITextMeasure& measure) const
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
    texts_.check(logicalDpiX(), logicalDpiY());
    markup::draw(p, layoutBlock(texts_.measure()), lineSpacing_, &texts_.shaped());
    // A label that takes the keyboard focus shows it: a dotted frame in its
    // text colour, all four sides at any scale (QWidget repaints on focus
    // changes).
    if (hasFocus()) drawFocusFrame(p, rect(), fontColor());
}
