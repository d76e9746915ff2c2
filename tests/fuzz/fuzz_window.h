#pragma once
// The real main window for the fuzz targets that drive the calculator and
// preset loading as the window wires them, and what must hold of it after
// every step: handlers attached, every value finite, every text the program
// wrote readable as a number, nothing non-finite on screen or in the state,
// the right axis in order, one kind chosen and the result line well formed.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>

#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <string>

#include "text/fonts.h"
#include "calc/calculator.h"
#include "diagram/leveldiagram.h"
#include "fuzz_check.h"
#include "invariants.h"
#include "presets/presetcontroller.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"
#include "widgets/markuplabel.h"

namespace fuzzwin {

inline std::string str(const QString& s) { return s.toStdString(); }

// The application, offscreen; call from LLVMFuzzerInitialize.
inline void startApplication(const char* name)
{
    static int argc = 1;
    static char program[64];
    std::snprintf(program, sizeof program, "%s", name);
    static char* argv[] = {program, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    registerAppFonts(); // as the program does at start-up
    (void)app;
}

inline void checkState(const CalcState& s, const std::string& what)
{
    const TMicParams& m = s.CurMic;
    const double values[] = {
        m.MicMaxLevel_dBSPL, m.MicNoise_V,    m.MicNoise_dBu,  m.MicNoise_dBV,   m.MicNoise_dBFS,
        m.MicNoise_dBSPL_ITU, m.MicSNR_dB_ITU, m.MicSens_V,    m.MicSens_dBu,    m.MicSens_dBV,
        m.MicSens_dBFS,      m.MicOut_V,      m.MicOut_dBu,    m.MicOut_dBV,     m.MicOut_dBFS,
        s.SourceLevel_dBSPL, s.SourceLevel_Pa, s.AmpGain_dB,   s.AmpOut_V,       s.AmpOut_dBu,
        s.AmpOut_dBV,        s.AmpOut_dBFS,
    };
    for (std::size_t i = 0; i < std::size(values); ++i)
        FUZZ_CHECK(std::isfinite(values[i]), what + ": state value " + std::to_string(i) + " is not finite");
}

// The main window of a locale ("C" or "de_DE"), made once per process and
// put back for every input as it stands after start-up: the inputs' texts,
// the first kind, the diagram's ranges, the calculator state from the
// start-up runs, an empty preset list. A fresh window per input would cost
// more than the input itself.
class Window {
public:
    static Window& get(const char* locale)
    {
        static Window* point = nullptr; // never destroyed, as the application
        static Window* comma = nullptr;
        Window*& w = std::string(locale) == "de_DE" ? comma : point;
        if (!w) w = new Window(locale);
        QLocale::setDefault(w->locale_);
        w->reset();
        return *w;
    }

    TfmMain& operator*() { return w_; }
    TfmMain* operator->() { return &w_; }
    TFloatSpinEdit* in(InputId id) const { return w_.input(id); }

    // The user typed into `id`: its text may be unreadable until the program
    // writes it again.
    void typedInto(InputId id) { typed_[static_cast<std::size_t>(id)] = in(id)->text(); }

    // After a preset load the result line is not yet rebuilt (the load
    // recomputes nothing): it may still have the other kind's form.
    void check(const std::string& what, bool afterLoad = false)
    {
        Calculator& calc = w_.calculator();
        FUZZ_CHECK(calc.handlersAttached(), what + ": a handler stayed detached");
        FUZZ_CHECK(in(InputId::AmpGain_dB)->hasOnChange(), what + ": the gain input lost its handler");
        for (std::size_t i = 0; i < kInputCount; ++i) {
            TFloatSpinEdit* e = in(static_cast<InputId>(i));
            const QString text = e->text();
            const std::string name = str(e->objectName());
            FUZZ_CHECK(std::isfinite(e->floatValue()), what + ": " + name + " reads a non-finite value");
            FUZZ_CHECK(!robust::showsNonFinite(str(text)), what + ": " + name + " shows \"" + str(text) + "\"");
            if (typed_[i] && *typed_[i] == text) continue;
            typed_[i].reset();
            if (text != written_[i]) {
                const std::string problem = robust::inputTextProblem(str(text), sep);
                FUZZ_CHECK(problem.empty(), what + ": " + name + " was written \"" + str(text) + "\", which " + problem);
            }
            written_[i] = text;
        }
        checkState(calc.state(), what);
        const TScaleAxis& right = w_.chart()->RightAxis();
        FUZZ_CHECK(std::isfinite(right.minimum()) && std::isfinite(right.maximum()), what + ": right axis not finite");
        FUZZ_CHECK(right.minimum() <= right.maximum(), what + ": right axis inverted");
        FUZZ_CHECK(analog->isChecked() != digital->isChecked(), what + ": not exactly one kind chosen");
        FUZZ_CHECK(result->htmlText().size() == 1, what + ": the result label holds other than one line");
        const std::string line = str(result->htmlText().front());
        std::string problem = robust::resultLineProblem(line, sep, digital->isChecked());
        if (!problem.empty() && afterLoad) problem = robust::resultLineProblem(line, sep, !digital->isChecked());
        FUZZ_CHECK(problem.empty(), what + ": " + problem + ": " + line);
        // The caption and the description also show names and words of a
        // mic-set file as written there.
        if (w_.presets().MicPresetName().empty())
            FUZZ_CHECK(!robust::showsNonFinite(str(w_.windowTitle())), what + ": caption " + str(w_.windowTitle()));
        for (QLabel* l : w_.findChildren<QLabel*>())
            if (l->objectName() != QLatin1String("lblMicDesc"))
                FUZZ_CHECK(!robust::showsNonFinite(str(l->text())), what + ": " + str(l->objectName()) + " shows " + str(l->text()));
    }

    std::string sep;
    QRadioButton* analog = nullptr;
    QRadioButton* digital = nullptr;
    QComboBox* presetList = nullptr;
    TMarkupLabel* result = nullptr;

private:
    explicit Window(const char* locale) : locale_(QString::fromLatin1(locale)), localeSet_(locale_), w_()
    {
        sep = str(QLocale().decimalPoint());
        // The repeat timers never fire by themselves (a day's delay): holds
        // are driven by hand.
        for (TFloatSpinEdit* e : w_.findChildren<TFloatSpinEdit*>())
            e->setRepeatTimings(RepeatTimings{24 * 3600 * 1000, 24 * 3600 * 1000});
        for (std::size_t i = 0; i < kInputCount; ++i) start_[i] = w_.input(static_cast<InputId>(i))->text();
        analog = w_.findChild<QRadioButton*>("rbMicAnalog");
        digital = w_.findChild<QRadioButton*>("rbMicDigital");
        presetList = w_.findChild<QComboBox*>("cbMicPresets");
        result = w_.findChild<TMarkupLabel*>("lblCalcMain");
        FUZZ_CHECK(analog && digital && presetList && result, "a control of the window is missing");
        const TScaleAxis& left = w_.chart()->LeftAxis();
        leftRange_ = {left.minimum(), left.maximum()};
    }

    void reset()
    {
        Calculator& calc = w_.calculator();
        {
            Calculator::HandlersDetached detached(calc);
            for (std::size_t i = 0; i < kInputCount; ++i) w_.input(static_cast<InputId>(i))->setText(start_[i]);
            analog->setChecked(true);
            presetList->clear();
        }
        TLevelDiagram* chart = w_.chart();
        if (chart->hasSavedView()) chart->restoreView();
        chart->LeftAxis().setMinMax(leftRange_.first, leftRange_.second);
        calc.restart();
        chart->RefreshDiagram();
        written_ = start_;
        typed_ = {};
    }

    // Sets the locale before the window reads it.
    struct LocaleSet {
        explicit LocaleSet(const QLocale& l) { QLocale::setDefault(l); }
    };
    QLocale locale_;
    LocaleSet localeSet_;
    TfmMain w_;
    std::array<QString, kInputCount> start_;
    std::pair<double, double> leftRange_;
    std::array<QString, kInputCount> written_;
    std::array<std::optional<QString>, kInputCount> typed_;
};

} // namespace fuzzwin
