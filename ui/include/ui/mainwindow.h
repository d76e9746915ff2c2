#pragma once
// The main window: the four regions with their controls, the menu and the
// actions; it wires the calculator, the diagram, the widgets and the presets.
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/resultspeech.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class TAction;
class TAnnouncer;
class TActionList;
class TFloatSpinEdit;
class TLevelBar;
class TLevelDiagram;
class TMarkupLabel;
class RadioChoice;
class SpinInput;
class LevelBarOutput;
class ResultLineOutput;
class AxisRangeAdapter;
class DiagramViewAdapter;
class CalcDiagramLevels;
class CalcDiagramChain;
class QVBoxLayout;
namespace presets {
class PresetController;
}
class WindowPresetView;

class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    // The client area's designed size at 96 dots per inch.
    static constexpr int kClientWidth = 980;
    static constexpr int kClientHeight = 633;

    Calculator& calculator() { return *calc_; }
    presets::PresetController& presets() { return *presets_; }
    TFloatSpinEdit* input(InputId id) const;
    // The input as the calculator sees it (the sender of its change operation).
    INumericInput* boundInput(InputId id) const;
    TLevelDiagram* chart() const { return Chart1; }
    // Speaks short messages to a screen reader (the preset loaded, what a
    // change did to the result).
    TAnnouncer& announcer() { return *announcer_; }

    QString AppPath;

    // Turns the preset feature on for the rest of the run and opens the
    // mic-set file at `path` (bytes as the command line gave them): "Open..."
    // becomes enabled, the list fills and its first preset loads. A file that
    // cannot be listed is named in the window, with the reason.
    void startWithMicSetFile(const std::string& path);

    // Turns the signal chain on for the rest of the run (phonolith --chain):
    // the distance, source shape and preamplifier noise inputs are enabled
    // and bound, a row for the converter's full scale and the target level
    // and a warning line under the result line appear, and the threshold
    // check boxes and Display items work. Without it the window is as always.
    void startSignalChain();
    bool chainMode() const { return chainMode_; }

    void UpdateCaption();
    void InitPaths();
    // OpenDialog1 (save = false) or SaveDialog1, made on first use with the
    // settings InitPaths gives them.
    QFileDialog* fileDialog(bool save);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void createActions();
    void createMenu();
    void createPanel1(QFrame* panel);
    void createPanel3(QFrame* panel);
    void createPanel2(QFrame* panel);
    void bindCalculator();
    void FormCreate();
    void ActAppCloseExecute();
    void ActAppUserPrefsLoadExecute();
    void ActAppUserPrefsSaveExecute();
    void configureFileDialog(QFileDialog* d) const;
    void Chart1Click();
    // Announces what the result line's last change did to the spoken figures.
    void announceResult();
    // Runs a preset operation; when it loads a preset, announces the preset's
    // name, then the error line if it shows, then the result, then the
    // chain's warning line when it changed.
    void presetRound(const std::function<void()>& operation);

    TFloatSpinEdit* makeSpin(QWidget* parent, const char* name, int x, int y, int w, const QString& caption,
                             double value, int precision, double step, double page, bool isSigned);

    // Regions
    QFrame* Panel1 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel2 = nullptr;
    TLevelDiagram* Chart1 = nullptr;

    // Panel1
    QComboBox* cbMicPresets = nullptr;
    QPushButton* btnMicPresetPrev = nullptr;
    QPushButton* btnMicPresetNext = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* btnMicresetRename = nullptr;
    QPushButton* Button3 = nullptr;
    QLabel* lblMicDesc = nullptr;
    QLabel* lblMicPresetParamsError = nullptr;
    // Says why a mic-set file lists no presets; over the description when shown.
    QLabel* lblMicSetFileError = nullptr;
    QRadioButton* rbMicAnalog = nullptr;
    QRadioButton* rbMicDigital = nullptr;
    TFloatSpinEdit* inputs_[kInputCount] = {};

    // Panel3
    TFloatSpinEdit* FloatSpinEdit2 = nullptr;
    TFloatSpinEdit* FloatSpinEdit5 = nullptr;
    QRadioButton* rbSourceIsPoint = nullptr;
    QRadioButton* rbSourceIsLine = nullptr;
    QCheckBox* cbShowDangerThrs = nullptr;
    QCheckBox* cbShowPainThrs = nullptr;
    QCheckBox* cbShowHearingThrs = nullptr;

    // Panel2
    TLevelBar* pbLevelMeter = nullptr;
    TMarkupLabel* lblCalcMain = nullptr;
    QVBoxLayout* panel2Rows_ = nullptr; // the result row, and the warning line in chain mode

    // Made by startSignalChain only.
    TFloatSpinEdit* seConverterFS_dBu = nullptr;
    TFloatSpinEdit* seTargetLevel_dBFS = nullptr;
    TMarkupLabel* lblChainWarnings = nullptr;
    bool chainMode_ = false;

    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
    TActionList* ActionList1 = nullptr;

    // The actions, in the list's order.
    TAction* ActMicPresetFileOpen = nullptr;
    TAction* ActMicPresetFileSave = nullptr;
    TAction* ActMicPresetFileSaveAs = nullptr;
    TAction* ActMicPresetNew = nullptr;
    TAction* ActMicPresetRename = nullptr;
    TAction* ActMicPresetDelete = nullptr;
    TAction* ActAppClose = nullptr;
    TAction* ActAppUserPrefsLoad = nullptr;
    TAction* ActAppUserPrefsSave = nullptr;
    TAction* ActDisplayShowHearingThreshold = nullptr;
    TAction* ActDisplayShowDangerThreshold = nullptr;
    TAction* ActDisplayShowPainThreshold = nullptr;
    TAction* ActAppReadMe = nullptr;
    TAction* ActAppAbout = nullptr;

    // Where the open dialog starts.
    QString dialogFolder_;

    std::unique_ptr<RadioChoice> analogChoice_;
    std::unique_ptr<RadioChoice> digitalChoice_;
    std::vector<std::unique_ptr<SpinInput>> spinInputs_;
    std::unique_ptr<LevelBarOutput> levelBarOutput_;
    std::unique_ptr<ResultLineOutput> resultLineOutput_;
    std::unique_ptr<AxisRangeAdapter> rightAxisRange_;
    std::unique_ptr<AxisRangeAdapter> leftAxisRange_;
    std::unique_ptr<DiagramViewAdapter> diagramView_;
    std::unique_ptr<CalcDiagramLevels> diagramLevels_;
    std::vector<std::unique_ptr<SpinInput>> chainInputs_;
    std::unique_ptr<RadioChoice> pointChoice_;
    std::unique_ptr<RadioChoice> lineChoice_;
    std::unique_ptr<ResultLineOutput> warningLineOutput_;
    std::unique_ptr<CalcDiagramChain> diagramChain_;
    std::unique_ptr<Calculator> calc_;
    std::unique_ptr<WindowPresetView> presetView_;
    std::unique_ptr<presets::PresetController> presets_;
    bool idleWatched_ = false;
    TAnnouncer* announcer_ = nullptr; // a child of Panel2
    // The figures as last announced (from the end of FormCreate on).
    SpokenResult spokenResult_;
    // New results are not announced until FormCreate ends, nor while a
    // preset operation runs (presetRound announces once after it).
    bool resultHeld_ = true;

    friend class WindowPresetView;
};
