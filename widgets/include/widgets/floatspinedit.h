#pragma once
// TFloatSpinEdit: the numeric input box. A line edit whose text is the only
// store of its value, with a pair of step buttons inside its right end and a
// caption label beside it on the parent.
#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QList>
#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "widgets/spinlogic.h"

#include <QLabel>

// Auto-repeat intervals of a step button: a delay timer, then a repeat timer.
struct RepeatTimings {
    int delayMs = 400;    // from the press to the first repeated step
    int intervalMs = 100; // between further steps while held
};

// A button that steps once on release over it and repeats while held.
class TRepeatButton : public QWidget {
    Q_OBJECT
public:
    enum Direction { Up, Down };
    explicit TRepeatButton(Direction direction, QWidget* parent = nullptr);

    // This button's intervals, read at each press and each tick.
    RepeatTimings timings() const { return timings_; }
    void setTimings(RepeatTimings t) { timings_ = t; }

    Direction direction() const { return direction_; }
    const QTimer& repeatTimer() const { return timer_; }

public slots:
    // One tick of the repeat timer: switch to the repeat interval and step if
    // the button is still held with the pointer over it.
    void repeatTick();

signals:
    void leftPressed(); // before any step of this press
    void step();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void stop();
    const QPalette& stylePalette();

    Direction direction_;
    RepeatTimings timings_;
    QTimer timer_;
    bool held_ = false;
    bool over_ = false;
    QList<QPalette> stylePalettes_; // the last few palettes painted with; see stylePalette()
};

// The up button above the down button, filling a column.
class TSpinButtonPair : public QWidget {
    Q_OBJECT
public:
    explicit TSpinButtonPair(QWidget* parent = nullptr);
    TRepeatButton* upButton() const { return up_; }
    TRepeatButton* downButton() const { return down_; }

signals:
    void pressed();
    void upStep();
    void downStep();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TRepeatButton* up_;
    TRepeatButton* down_;
};

class TFloatSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFloatSpinEdit(QWidget* parent = nullptr);
    // A box whose first text is `value` in `precision` decimals: its line
    // edit lays out that text as it is made, not a 0 first.
    TFloatSpinEdit(QWidget* parent, int precision, double value);
    ~TFloatSpinEdit() override;

    // While the window is built: no change event fires and no clamp applies.
    // endLoad takes the background as NormalColor, shows the disabled colour
    // when disabled and formats the text again without a change event.
    void beginLoad();
    void endLoad();

    // The value the text shows; empty or unreadable text reads 0. Writing
    // raises the change handler once when the shown text changes. An empty
    // handler detaches.
    using Handler = std::function<void()>;
    double floatValue() const;
    void setFloatValue(double v);
    bool isTextEmpty() const;
    void setOnChange(Handler h);
    bool hasOnChange() const;
    void setInputEnabled(bool enabled);

    // Steps. stepUp/stepDown keep the caret rule of a step and fire
    // upClick/downClick; the page steps do neither.
    void stepUp();
    void stepDown();
    void pageUp();
    void pageDown();

    int precision() const { return precision_; }
    // Formats the text in the new precision; while loading, the next value
    // or endLoad does.
    void setPrecision(int p);
    double incrementFloat() const { return incrementFloat_; }
    void setIncrementFloat(double v) { incrementFloat_ = v; }
    double incrementFloatPage() const { return incrementFloatPage_; }
    void setIncrementFloatPage(double v) { incrementFloatPage_ = v; }
    double minFloatValue() const { return range_.min; }
    void setMinFloatValue(double v) { range_.min = v; }
    double maxFloatValue() const { return range_.max; }
    void setMaxFloatValue(double v) { range_.max = v; }
    bool checkMinValue() const { return range_.checkMin; }
    void setCheckMinValue(bool b) { range_.checkMin = b; }
    bool checkMaxValue() const { return range_.checkMax; }
    void setCheckMaxValue(bool b) { range_.checkMax = b; }
    int minValue() const { return minValue_; }
    void setMinValue(int v) { minValue_ = v; }
    bool isSigned() const { return signed_; }
    void setSigned(bool b) { signed_ = b; }
    bool allowNullValue() const { return allowNullValue_; }
    void setAllowNullValue(bool b) { allowNullValue_ = b; }
    bool autoSelect() const { return autoSelect_; }
    void setAutoSelect(bool b) { autoSelect_ = b; }

    QString labelCaption() const { return labelCaption_; }
    void setLabelCaption(const QString& caption);
    spinlogic::TLabelPosition labelPosition() const { return labelPosition_; }
    void setLabelPosition(spinlogic::TLabelPosition p);
    int labelMargin() const { return labelMargin_; }
    void setLabelMargin(int m);
    QFont labelFont() const { return labelFont_; }
    void setLabelFont(const QFont& f);
    bool labelAlwaysEnabled() const { return labelAlwaysEnabled_; }
    void setLabelAlwaysEnabled(bool b);
    QLabel* captionLabel() const { return label_; }

    // Background of the text area, and the colours of the disabled state.
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    QColor normalColor() const { return normalColor_; }
    QColor disabledColor() const { return disabledColor_; }
    void setDisabledColor(const QColor& c);
    bool disabledBorder() const { return disabledBorder_; }
    void setDisabledBorder(bool b);

    TSpinButtonPair* buttons() const { return buttons_; }
    // The auto-repeat intervals of both step buttons. Each editor keeps its
    // own, so a test shortens or holds off the repeat of the editors it
    // drives and no other.
    RepeatTimings repeatTimings() const;
    void setRepeatTimings(RepeatTimings t);

    // The caption is shown and hidden with the box.
    void setVisible(bool visible) override;

    // The locale separators in effect now (QLocale()).
    static QString decimalSeparator();

    // The refusal sound of a keystroke (and beeped()); also for a value the
    // box's owner refuses.
    void beep();

signals:
    void upClick();
    void downClick();
    void beeped(); // a typed character was refused

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    spinlogic::Selection selection() const;
    void applySelection(spinlogic::Selection s);
    void step(double delta, bool caretRule);
    void typeText(const QString& text);
    void pasteChecked(const QString& clip);
    void onTextChanged();
    void raiseChange();
    // Whether the box is the focus box of its window, active or not.
    bool holdsFocus() const;
    // Without the focus the box shows the start of its text (left-aligned):
    // after a write and when the focus leaves it.
    void showTextStart();
    void updateFullTextTip();
    void applyBackground(const QColor& c);
    void applyTextColor(const QColor& c);
    void ensureLabel();
    void syncLabelVisibility();
    void placeCaption();
    void layoutButtons();

    static constexpr int kDefaultPrecision = 0;
    static QString initialText(int precision, double value);
    int precision_ = kDefaultPrecision;
    double incrementFloat_ = 0.1;
    double incrementFloatPage_ = 1.0;
    spinlogic::Range range_;
    int minValue_ = 0;
    bool signed_ = false;
    bool allowNullValue_ = true;
    bool autoSelect_ = true;
    bool loading_ = false;
    Handler onChange_;
    int wheelRemainder_ = 0;

    QString labelCaption_;
    spinlogic::TLabelPosition labelPosition_ = spinlogic::lpLeftTop;
    int labelMargin_ = 4;
    QFont labelFont_;
    bool labelAlwaysEnabled_ = false;
    QPointer<QLabel> label_;

    QColor color_;
    QColor normalColor_;
    QColor disabledColor_{0xC0, 0xC0, 0xC0};
    bool disabledBorder_ = true;
    QColor savedTextColor_;

    TSpinButtonPair* buttons_;
};
