#include "widgets/floatspinedit.h"
#include "widgets/floatspineditaccessible.h"

#include <algorithm>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWheelEvent>

using spinlogic::Selection;

namespace {
const QColor kGrayText(0x6D, 0x6D, 0x6D);
} // namespace

// ---------------------------------------------------------------------------
// TRepeatButton

TRepeatButton::TRepeatButton(Direction direction, QWidget* parent) : QWidget(parent), direction_(direction)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    connect(&timer_, &QTimer::timeout, this, &TRepeatButton::repeatTick);
}

void TRepeatButton::repeatTick()
{
    timer_.setInterval(timings_.intervalMs);
    if (held_ && over_) emit step();
}

void TRepeatButton::stop()
{
    held_ = false;
    over_ = false;
    timer_.stop();
    update();
}

void TRepeatButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    held_ = true;
    over_ = true;
    update();
    emit leftPressed();
    timer_.start(timings_.delayMs);
}

void TRepeatButton::mouseMoveEvent(QMouseEvent* e)
{
    if (!held_) return;
    const bool over = rect().contains(e->position().toPoint());
    if (over != over_) {
        over_ = over;
        update();
    }
}

void TRepeatButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !held_) return;
    const bool over = rect().contains(e->position().toPoint());
    stop();
    if (over) emit step(); // the ordinary click
}

void TRepeatButton::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled()) stop();
    QWidget::changeEvent(e);
}

void TRepeatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    opt.palette = stylePalette();
    opt.state |= (held_ && over_) ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p, this);
    opt.rect = rect().adjusted(3, 1, -3, -1);
    style()->drawPrimitive(direction_ == Up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &opt, &p,
                           this);
}

// The style caches the bevel and arrow pixmaps it draws (QPixmapCache), keyed
// by the palette's cache key. The box sets its palette on every focus and
// enable change, and each setPalette() gives a new key even for colours seen
// before, so every analog/digital switch would add pixmaps until the cache
// is full. The buttons paint with the first of their last few palettes that
// has the current colours, whose key the cache already holds.
const QPalette& TRepeatButton::stylePalette()
{
    constexpr qsizetype kKept = 8; // a box cycles through a handful of colour sets
    const QPalette current = palette();
    for (const QPalette& p : std::as_const(stylePalettes_))
        if (p == current) return p;
    if (stylePalettes_.size() >= kKept) stylePalettes_.removeFirst();
    stylePalettes_.append(current);
    return stylePalettes_.constLast();
}

// ---------------------------------------------------------------------------
// TSpinButtonPair

TSpinButtonPair::TSpinButtonPair(QWidget* parent)
    : QWidget(parent), up_(new TRepeatButton(TRepeatButton::Up, this)),
      down_(new TRepeatButton(TRepeatButton::Down, this))
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    up_->setObjectName(QStringLiteral("upButton"));
    down_->setObjectName(QStringLiteral("downButton"));
    connect(up_, &TRepeatButton::leftPressed, this, &TSpinButtonPair::pressed);
    connect(down_, &TRepeatButton::leftPressed, this, &TSpinButtonPair::pressed);
    connect(up_, &TRepeatButton::step, this, &TSpinButtonPair::upStep);
    connect(down_, &TRepeatButton::step, this, &TSpinButtonPair::downStep);
}

void TSpinButtonPair::resizeEvent(QResizeEvent* e)
{
    // The column may be clipped on its right by the box's border; the
    // buttons keep the full column width.
    const spinlogic::ButtonGeometry g = spinlogic::buttonGeometry(QSize(0, height() + 4));
    up_->setGeometry(g.up);
    down_->setGeometry(g.down);
    QWidget::resizeEvent(e);
}

// ---------------------------------------------------------------------------
// TFloatSpinEdit

// The text of a new box, given to the line edit as it is made: laid out
// once instead of being set again.
QString TFloatSpinEdit::initialText(int precision, double value)
{
    return spinlogic::formatValue(value, precision, decimalSeparator());
}

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent) : TFloatSpinEdit(parent, kDefaultPrecision, 0.0) {}

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent, int precision, double value)
    : QLineEdit(initialText(precision, value), parent), buttons_(new TSpinButtonPair(this))
{
    installFloatSpinEditAccessibility();
    precision_ = precision;
    color_ = QApplication::palette().color(QPalette::Base);
    normalColor_ = color_;
    // Every character goes through the filter, so no input method and no drops.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    // The line edit's own limit, which every edit path checks before it
    // writes: the line edit would cut a longer text, changing its number.
    setMaxLength(spinlogic::kMaxTextLength);
    connect(this, &QLineEdit::textChanged, this, &TFloatSpinEdit::onTextChanged);
    connect(this, &QObject::objectNameChanged, this, [this](const QString& name) {
        if (label_) label_->setObjectName(name + QStringLiteral("Caption"));
    });
    connect(buttons_, &TSpinButtonPair::pressed, this, [this] {
        if (!hasFocus() && isEnabled() && (focusPolicy() & Qt::ClickFocus)) setFocus(Qt::MouseFocusReason);
    });
    connect(buttons_, &TSpinButtonPair::upStep, this, &TFloatSpinEdit::stepUp);
    connect(buttons_, &TSpinButtonPair::downStep, this, &TFloatSpinEdit::stepDown);
    layoutButtons();
}

TFloatSpinEdit::~TFloatSpinEdit()
{
    delete label_; // lives on the parent; null when the parent already took it
}

RepeatTimings TFloatSpinEdit::repeatTimings() const
{
    return buttons_->upButton()->timings();
}

void TFloatSpinEdit::setRepeatTimings(RepeatTimings t)
{
    buttons_->upButton()->setTimings(t);
    buttons_->downButton()->setTimings(t);
}

QString TFloatSpinEdit::decimalSeparator()
{
    return QLocale().decimalPoint();
}

void TFloatSpinEdit::beginLoad()
{
    loading_ = true;
}

void TFloatSpinEdit::endLoad()
{
    loading_ = false;
    normalColor_ = color_;
    if (!isEnabled()) {
        color_ = disabledColor_;
        applyBackground(color_);
    }
    if (label_) label_->setEnabled(labelAlwaysEnabled_ || isEnabled());
    Handler h = std::move(onChange_);
    onChange_ = nullptr;
    if (!text().isEmpty()) setFloatValue(floatValue());
    onChange_ = std::move(h);
}

double TFloatSpinEdit::floatValue() const
{
    return spinlogic::readValue(text(), decimalSeparator(), static_cast<double>(minValue_));
}

void TFloatSpinEdit::setFloatValue(double v)
{
    const double clamped = spinlogic::clampFloat(v, range_, loading_);
    const QString t = spinlogic::formatValue(clamped, precision_, decimalSeparator());
    if (t != text()) setText(t); // textChanged raises OnChange once
}

bool TFloatSpinEdit::isTextEmpty() const
{
    return text().isEmpty();
}

void TFloatSpinEdit::setOnChange(Handler h)
{
    onChange_ = std::move(h);
}

bool TFloatSpinEdit::hasOnChange() const
{
    return static_cast<bool>(onChange_);
}

void TFloatSpinEdit::setInputEnabled(bool enabled)
{
    setEnabled(enabled);
}

bool TFloatSpinEdit::holdsFocus() const
{
    // The window's focus box keeps its caret while another window is active.
    return hasFocus() || window()->focusWidget() == this;
}

void TFloatSpinEdit::showTextStart()
{
    deselect();
    setCursorPosition(0); // scrolls the text back to its first character
}

void TFloatSpinEdit::updateFullTextTip()
{
    // A text longer than its box is also its tooltip.
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this)
                               .marginsRemoved(textMargins());
    constexpr int kTextPadding = 2; // the line edit's own margin on either side
    const bool cut = fontMetrics().horizontalAdvance(text()) > contents.width() - 2 * kTextPadding;
    const QString tip = cut ? text() : QString();
    if (toolTip() != tip) setToolTip(tip);
}

void TFloatSpinEdit::onTextChanged()
{
    if (!holdsFocus()) showTextStart();
    updateFullTextTip();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent ev(this, floatValue());
        QAccessible::updateAccessibility(&ev);
    }
    raiseChange();
}

void TFloatSpinEdit::raiseChange()
{
    if (loading_ || !onChange_) return;
    Handler h = onChange_; // the handler may replace or clear itself
    h();
}

Selection TFloatSpinEdit::selection() const
{
    if (hasSelectedText()) return {selectionStart(), selectionLength()};
    return {cursorPosition(), 0};
}

void TFloatSpinEdit::applySelection(Selection s)
{
    // A selection kept from a longer text is cut to the text it now applies to.
    const int size = static_cast<int>(text().size());
    s.start = std::clamp(s.start, 0, size);
    s.length = std::clamp(s.length, 0, size - s.start);
    if (s.length > 0) {
        setSelection(s.start, s.length);
    } else {
        deselect();
        setCursorPosition(s.start);
    }
}

void TFloatSpinEdit::step(double delta, bool caretRule)
{
    const Selection old = selection();
    const QString oldText = text();
    setFloatValue(floatValue() + delta);
    if (caretRule) applySelection(spinlogic::stepSelection(oldText, text(), old));
    if (!holdsFocus()) showTextStart(); // a wheel step on a box without the focus
}

void TFloatSpinEdit::stepUp()
{
    step(incrementFloat_, true);
    emit upClick();
}

void TFloatSpinEdit::stepDown()
{
    step(-incrementFloat_, true);
    emit downClick();
}

void TFloatSpinEdit::pageUp()
{
    step(incrementFloatPage_, false);
}

void TFloatSpinEdit::pageDown()
{
    step(-incrementFloatPage_, false);
}

void TFloatSpinEdit::setPrecision(int p)
{
    precision_ = p;
    // While loading, the next value or endLoad writes the text in the new
    // precision: one text change instead of two.
    if (!text().isEmpty() && !loading_) setFloatValue(floatValue());
}

void TFloatSpinEdit::beep()
{
    emit beeped();
    QApplication::beep();
}

void TFloatSpinEdit::typeText(const QString& typed)
{
    const spinlogic::Separators seps = spinlogic::separatorsOf(QLocale());
    for (QChar c : typed) {
        std::optional<QChar> r = spinlogic::filterChar(c, text(), selection(), precision_, seps);
        // A full box takes a character only in place of a selection.
        if (r && r->unicode() >= 32 && text().size() >= maxLength() && !hasSelectedText()) r.reset();
        if (!r) {
            beep();
            continue;
        }
        if (r->unicode() >= 32) insert(QString(*r));
    }
}

void TFloatSpinEdit::pasteChecked(const QString& clip)
{
    if (isReadOnly()) return;
    // The box stores only what it checked: a text over the length limit is
    // refused whole, with a beep, before it is read or copied.
    const std::optional<QStringView> bounded = spinlogic::boundedClip(text(), selection(), clip);
    if (!bounded) {
        beep();
        return;
    }
    const QString piece = bounded->toString(); // at most the 32,767 characters a box holds
    const std::optional<spinlogic::Edit> e = spinlogic::pasteEdit(text(), selection(), piece, decimalSeparator());
    if (!e) return; // not a number: nothing happens, no beep
    insert(piece); // one change, and one undo step
    applySelection(e->sel);
}

// Keys:
//   Up / Down             step up / down
//   Page Up / Page Down   page step up / down
//                         (after these four and Enter the caret and the
//                         selection are put back as they were)
//   Enter                 swallowed; Ctrl+Enter queues one step up
//   "+"                   never typed
//   "-"                   toggles a leading minus when Signed; never typed
//   Paste shortcut        pastes only when the result is a number
//   printable characters  pass the character filter; a refused one beeps
//   anything else         as in any line edit
void TFloatSpinEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown
        || key == Qt::Key_Return || key == Qt::Key_Enter) {
        const Selection before = selection();
        switch (key) {
        case Qt::Key_Up: stepUp(); break;
        case Qt::Key_Down: stepDown(); break;
        case Qt::Key_PageUp: pageUp(); break;
        case Qt::Key_PageDown: pageDown(); break;
        default:
            if (e->modifiers() & Qt::ControlModifier) QTimer::singleShot(0, this, &TFloatSpinEdit::stepUp);
            break;
        }
        applySelection(before);
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        pasteChecked(QGuiApplication::clipboard()->text());
        e->accept();
        return;
    }

    const QString t = e->text();
    const bool commandKey = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool printable = !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) {
        return c.unicode() >= 32 && c.unicode() != 127;
    });
    if (commandKey || !printable) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    e->accept();
    if (t == QLatin1String("+") || t == QLatin1String("-")) {
        if (t == QLatin1String("-") && signed_ && !isReadOnly()) {
            const spinlogic::Edit s = spinlogic::toggleSign(text(), selection());
            if (s.text.size() > maxLength()) { // no room for the minus in a full box
                beep();
                return;
            }
            if (s.text != text()) setText(s.text);
            applySelection(s.sel);
        }
        // The sign keys run the filter only for its beep.
        const spinlogic::Separators seps = spinlogic::separatorsOf(QLocale());
        const bool refused = (t == QLatin1String("-")
                              && !spinlogic::filterChar(u'-', text(), selection(), precision_, seps))
                             || !spinlogic::filterChar(QChar(0), text(), selection(), precision_, seps);
        if (refused) beep();
        return;
    }
    if (!isReadOnly()) typeText(t);
}

void TFloatSpinEdit::inputMethodEvent(QInputMethodEvent* e)
{
    // Committed text is typed like keys; compositions are not shown.
    if (!e->commitString().isEmpty() && !isReadOnly()) typeText(e->commitString());
    e->accept();
}

void TFloatSpinEdit::wheelEvent(QWheelEvent* e)
{
    const spinlogic::WheelSteps w = spinlogic::wheelSteps(wheelRemainder_, e->angleDelta().y());
    wheelRemainder_ = w.remainder;
    for (int i = 0; i < w.steps; ++i) stepUp();
    for (int i = 0; i > w.steps; --i) stepDown();
    e->accept();
}

void TFloatSpinEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::PopupFocusReason) return; // back from a context menu
    color_ = QApplication::palette().color(QPalette::Base);
    applyBackground(color_);
    if (!savedTextColor_.isValid()) {
        savedTextColor_ = palette().color(QPalette::Text);
        applyTextColor(QApplication::palette().color(QPalette::Text));
    }
    // Coming back to the window is not entering the box: the caret and the
    // selection stay as they were.
    if (autoSelect_ && e->reason() != Qt::ActiveWindowFocusReason) selectAll();
}

void TFloatSpinEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // A context menu or another application taking the focus does not leave the box.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    color_ = normalColor_;
    applyBackground(color_);
    if (savedTextColor_.isValid()) {
        applyTextColor(savedTextColor_);
        savedTextColor_ = QColor();
    }
    if (!text().isEmpty() || !allowNullValue_) setFloatValue(floatValue());
    showTextStart();
}

void TFloatSpinEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::MiddleButton) {
        // The selection-clipboard paste obeys the paste rule too.
        const QClipboard* cb = QGuiApplication::clipboard();
        if (cb->supportsSelection()) pasteChecked(cb->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void TFloatSpinEdit::contextMenuEvent(QContextMenuEvent* e)
{
    // Our own edit menu, so that its Paste obeys the paste rule too.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    auto add = [&](const char* name, const QString& caption, QKeySequence::StandardKey key, bool enabled,
                   auto slot) {
        QString text = caption;
        const QString keys = QKeySequence(key).toString(QKeySequence::NativeText);
        if (!keys.isEmpty()) text += u'\t' + keys;
        QAction* a = menu->addAction(text, this, slot);
        a->setObjectName(QLatin1String(name));
        a->setEnabled(enabled);
    };
    add("edit-undo", tr("&Undo"), QKeySequence::Undo, editable && isUndoAvailable(), [this] { undo(); });
    add("edit-redo", tr("&Redo"), QKeySequence::Redo, editable && isRedoAvailable(), [this] { redo(); });
    menu->addSeparator();
    add("edit-cut", tr("Cu&t"), QKeySequence::Cut, editable && selected, [this] { cut(); });
    add("edit-copy", tr("&Copy"), QKeySequence::Copy, selected, [this] { copy(); });
    add("edit-paste", tr("&Paste"), QKeySequence::Paste,
        editable && !QGuiApplication::clipboard()->text().isEmpty(),
        [this] { pasteChecked(QGuiApplication::clipboard()->text()); });
    add("edit-delete", tr("Delete"), QKeySequence::UnknownKey, editable && selected, [this] { del(); });
    menu->addSeparator();
    add("select-all", tr("Select All"), QKeySequence::SelectAll, !text().isEmpty() && selectedText() != text(),
        [this] { selectAll(); });
    menu->popup(e->globalPos());
}

void TFloatSpinEdit::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
        if (!loading_) {
            if (!isEnabled()) {
                normalColor_ = color_;
                color_ = disabledColor_;
                applyBackground(color_);
            } else if (color_ != normalColor_) {
                color_ = normalColor_;
                applyBackground(color_);
            }
            if (label_) label_->setEnabled(labelAlwaysEnabled_ || isEnabled());
        }
        update();
        break;
    case QEvent::FontChange:
        updateFullTextTip();
        if (label_) {
            label_->setFont(testAttribute(Qt::WA_SetFont) ? labelFont_ : font());
            placeCaption();
        }
        break;
    case QEvent::ParentChange:
        if (label_) {
            label_->setParent(parentWidget());
            syncLabelVisibility();
        } else {
            ensureLabel();
        }
        placeCaption();
        break;
    default:
        break;
    }
}

void TFloatSpinEdit::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    layoutButtons();
    placeCaption();
    updateFullTextTip();
}

void TFloatSpinEdit::moveEvent(QMoveEvent* e)
{
    QLineEdit::moveEvent(e);
    placeCaption();
}

void TFloatSpinEdit::showEvent(QShowEvent* e)
{
    QLineEdit::showEvent(e);
    placeCaption();
}

void TFloatSpinEdit::setVisible(bool visible)
{
    QLineEdit::setVisible(visible);
    if (label_) label_->setVisible(visible);
}

void TFloatSpinEdit::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    if (!isEnabled() && disabledBorder_) {
        QPainter p(this);
        p.setPen(QColor(0xC0, 0xC0, 0xC0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TFloatSpinEdit::layoutButtons()
{
    const spinlogic::ButtonGeometry g = spinlogic::buttonGeometry(size());
    const QRect client(spinlogic::kBorder, spinlogic::kBorder, width() - 2 * spinlogic::kBorder,
                       height() - 2 * spinlogic::kBorder);
    QRect column = g.column.translated(spinlogic::kBorder, spinlogic::kBorder);
    column.setRight(std::min(column.right(), client.right())); // clipped like a child of the client area
    buttons_->setGeometry(column);

    // The text ends left of the buttons.
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
    const int textRight = spinlogic::kBorder + g.textRight;
    const int margin = std::max(0, contents.right() + 1 - textRight);
    const QMargins m = textMargins();
    if (m.right() != margin) setTextMargins(m.left(), m.top(), margin, m.bottom());
}

void TFloatSpinEdit::applyBackground(const QColor& c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Base, c);
    // Grey text that stays readable on the silver of a disabled box.
    p.setColor(QPalette::Disabled, QPalette::Text, kGrayText);
    setPalette(p);
}

void TFloatSpinEdit::applyTextColor(const QColor& c)
{
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Text, c);
    p.setColor(QPalette::Inactive, QPalette::Text, c);
    setPalette(p);
}

void TFloatSpinEdit::setColor(const QColor& c)
{
    color_ = c;
    if (isEnabled() || loading_) normalColor_ = c;
    applyBackground(c);
}

void TFloatSpinEdit::setDisabledColor(const QColor& c)
{
    disabledColor_ = c;
    if (!isEnabled() && !loading_) {
        color_ = c;
        applyBackground(c);
    }
}

void TFloatSpinEdit::setDisabledBorder(bool b)
{
    disabledBorder_ = b;
    update();
}

void TFloatSpinEdit::ensureLabel()
{
    if (label_ || labelCaption_.isEmpty() || !parentWidget()) return;
    label_ = new QLabel(labelCaption_, parentWidget());
    label_->setObjectName(objectName() + QStringLiteral("Caption"));
    label_->setAutoFillBackground(true);
    label_->setBuddy(this);
    label_->setFont(testAttribute(Qt::WA_SetFont) ? labelFont_ : font());
    label_->setEnabled(labelAlwaysEnabled_ || isEnabled());
    syncLabelVisibility();
}

void TFloatSpinEdit::syncLabelVisibility()
{
    if (!label_) return;
    const bool hiddenByCall = testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden);
    if (hiddenByCall) label_->hide();
    else if (label_->parentWidget() && label_->parentWidget()->isVisible()) label_->show();
    // otherwise it shows with its parent
}

void TFloatSpinEdit::placeCaption()
{
    if (!label_) return;
    label_->resize(label_->sizeHint());
    const int margin = spinlogic::scaledLabelMargin(labelMargin_, logicalDpiY());
    label_->move(spinlogic::captionTopLeft(geometry(), label_->size(), margin, labelPosition_));
}

void TFloatSpinEdit::setLabelCaption(const QString& caption)
{
    labelCaption_ = caption;
    setAccessibleName(caption);
    ensureLabel();
    if (label_) label_->setText(caption);
    placeCaption();
}

void TFloatSpinEdit::setLabelPosition(spinlogic::TLabelPosition p)
{
    labelPosition_ = p;
    placeCaption();
}

void TFloatSpinEdit::setLabelMargin(int m)
{
    labelMargin_ = m;
    placeCaption();
}

void TFloatSpinEdit::setLabelFont(const QFont& f)
{
    labelFont_ = f;
    if (label_ && testAttribute(Qt::WA_SetFont)) label_->setFont(f);
    placeCaption();
}

void TFloatSpinEdit::setLabelAlwaysEnabled(bool b)
{
    labelAlwaysEnabled_ = b;
    if (label_) label_->setEnabled(b || isEnabled());
}
