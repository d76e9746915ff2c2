#pragma once
// A radio button seen by the calculator as one of its exclusive choices.
#include <QObject>
#include <QRadioButton>

#include "calc/interfaces.h"

class RadioChoice : public QObject, public IChoice {
    Q_OBJECT
public:
    explicit RadioChoice(QRadioButton* button);

    bool isChosen() const override { return button_->isChecked(); }
    // Chosen by the program: the group's other choice clears, no click is raised.
    void choose() override;
    void setOnClick(Handler h) override { handler_ = std::move(h); }
    bool hasOnClick() const override { return static_cast<bool>(handler_); }

private:
    QRadioButton* button_;
    Handler handler_;
    bool choosing_ = false;
};
