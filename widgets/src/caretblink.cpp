#include "widgets/caretblink.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

TCaretBlinkTimeout::TCaretBlinkTimeout(std::chrono::milliseconds timeout, QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setInterval(timeout);
    connect(&timer_, &QTimer::timeout, this, &TCaretBlinkTimeout::stop);
    QCoreApplication::instance()->installEventFilter(this);
    timer_.start();
}

TCaretBlinkTimeout::~TCaretBlinkTimeout()
{
    resume();
}

bool TCaretBlinkTimeout::eventFilter(QObject* watched, QEvent* e)
{
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::FocusIn:
        resume();
        timer_.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, e);
}

void TCaretBlinkTimeout::stop()
{
    if (stopped_) return;
    QStyleHints* hints = QGuiApplication::styleHints();
    flashTime_ = hints->cursorFlashTime();
    stopped_ = true;
    // Every line edit with a blinking caret follows the hint at once, its
    // caret shown.
    hints->setCursorFlashTime(0);
}

void TCaretBlinkTimeout::resume()
{
    if (!stopped_) return;
    stopped_ = false;
    QGuiApplication::styleHints()->setCursorFlashTime(flashTime_);
}
