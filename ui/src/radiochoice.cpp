#include "ui/radiochoice.h"

RadioChoice::RadioChoice(QRadioButton* button) : button_(button)
{
    // A click (mouse, keyboard or arrow keys within the group) that makes
    // this choice the chosen one raises the click handler.
    connect(button_, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !choosing_ && handler_) {
            Handler h = handler_; // the handler may detach itself
            h();
        }
    });
}

void RadioChoice::choose()
{
    choosing_ = true;
    button_->setChecked(true);
    choosing_ = false;
}
