#pragma once
// Short messages a screen reader speaks at once, wherever the focus is.
#include <QObject>
#include <QString>

#include <cstddef>
#include <vector>

class QWidget;

// Each message is the name of a hidden notification object that says it has
// shown (Qt 6.4 has no announcement event and exposes no live regions). A
// reader fetches the name when it gets to the event, after the window has
// sent everything of a change: so each message takes the next of a few such
// objects, and messages sent together are spoken in the order sent.
class TAnnouncer : public QObject {
    Q_OBJECT
public:
    // The objects are hidden children of `host`.
    explicit TAnnouncer(QWidget* host, std::size_t voices = 8);

    // Empty text is not announced.
    void announce(const QString& text);

Q_SIGNALS:
    // Each announcement, as it is sent (whether or not a reader listens);
    // `voice` is the object that says it.
    void announced(const QString& text, QWidget* voice);

private:
    std::vector<QWidget*> voices_;
    std::size_t next_ = 0;
};
