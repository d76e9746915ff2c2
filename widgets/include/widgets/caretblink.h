#pragma once
// The caret stops blinking a while after the last key or click, as desktop
// caret settings commonly have it. Each blink repaints the focused line
// edit, and the toolkit lays out and clips every glyph of its text for
// that repaint, so a long text under a blinking caret costs CPU twice a
// second for as long as the box keeps the focus. Once the caret stands
// still no timer runs at all.
#include <QObject>
#include <QTimer>

#include <chrono>

class TCaretBlinkTimeout : public QObject {
    Q_OBJECT
public:
    // Watches the application's input from now on; the caret blinks at the
    // desktop's rate and stands still `timeout` after the last input.
    explicit TCaretBlinkTimeout(std::chrono::milliseconds timeout, QObject* parent = nullptr);
    ~TCaretBlinkTimeout() override; // the desktop's rate again

    bool isBlinking() const { return !stopped_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void stop();
    void resume();

    QTimer timer_;
    int flashTime_ = 0; // the desktop's rate, kept while the caret stands still
    bool stopped_ = false;
};
