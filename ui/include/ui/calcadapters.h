#pragma once
// The window's widgets seen by the calculator through its interfaces, as
// RadioChoice does for the radio buttons: the widgets themselves know
// nothing of the calculator.
#include <functional>
#include <string>
#include <utility>

#include "calc/interfaces.h"
#include "widgets/floatspinedit.h"
#include "widgets/levelbar.h"
#include "widgets/markuplabel.h"

class SpinInput final : public INumericInput {
public:
    explicit SpinInput(TFloatSpinEdit* edit) : edit_(edit) {}
    TFloatSpinEdit* edit() const { return edit_; }

    double floatValue() const override { return edit_->floatValue(); }
    void setFloatValue(double v) override { edit_->setFloatValue(v); }
    bool isTextEmpty() const override { return edit_->isTextEmpty(); }
    void setOnChange(Handler h) override { edit_->setOnChange(std::move(h)); }
    bool hasOnChange() const override { return edit_->hasOnChange(); }
    void setInputEnabled(bool enabled) override { edit_->setInputEnabled(enabled); }

private:
    TFloatSpinEdit* edit_;
};

class LevelBarOutput final : public ILevelBar {
public:
    explicit LevelBarOutput(TLevelBar* bar) : bar_(bar) {}
    void setLevelPosition(int position) override { bar_->setPosition(position); }
    void setLevelUnit(const std::string& unit) override
    {
        if (bar_->unit() != QLatin1String(unit.c_str())) bar_->setUnit(QString::fromStdString(unit));
    }

private:
    TLevelBar* bar_;
};

class ResultLineOutput final : public IResultLine {
public:
    // `shown` runs after each new line (the window announces the change).
    explicit ResultLineOutput(TMarkupLabel* label, std::function<void()> shown = {})
        : label_(label), shown_(std::move(shown))
    {
    }
    void setResultLine(const std::string& markup) override
    {
        label_->setResultLine(markup);
        if (shown_) shown_();
    }

private:
    TMarkupLabel* label_;
    std::function<void()> shown_;
};
