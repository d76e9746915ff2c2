#pragma once
// The preset controls of the main window: opening a mic-set file, the preset
// list and its "<" and ">" buttons, the file actions, and loading one preset
// into the calculator.
#include <cstddef>
#include <string>
#include <vector>

#include "calc/calculator.h"

namespace presets {

// What preset loading needs of the window besides the calculator's inputs.
class IPresetView {
public:
    virtual ~IPresetView() = default;

    // cbMicPresets. Selecting by program raises no change event.
    virtual void clearPresets() = 0;
    virtual void addPreset(const std::string& name) = 0;
    virtual int presetCount() const = 0;
    virtual int presetIndex() const = 0; // -1 when nothing is selected
    virtual void setPresetIndex(int index) = 0;

    // lblMicDesc. The text holds a carriage return (code 13) between its two
    // lines; the label shows it as a line break.
    virtual void setMicDescription(const std::string& text) = 0;
    // lblMicPresetParamsError.
    virtual void setParamsErrorVisible(bool visible) = 0;
    // What the label's tool tip and accessible description list, one line
    // each ("No self-noise figure"); empty while the label is hidden. Set
    // before the label shows.
    virtual void setParamsErrorDetails(const std::vector<std::string>& lines) = 0;
    // btnMicPresetPrev, btnMicPresetNext.
    virtual void setPrevEnabled(bool enabled) = 0;
    virtual void setNextEnabled(bool enabled) = 0;
    // Sets the window caption from the controller's MicPresetName().
    virtual void updateCaption() = 0;

    // The line that says what went wrong with a mic-set file: why it lists no
    // presets, or why a preset was not loaded from it (`path` and the reason
    // in a few words). An empty reason hides it; an empty path with a reason
    // is shown (a file name given as "").
    virtual void setFileProblem(const std::string& path, const std::string& reason) = 0;

    // Show OpenDialog1 / SaveDialog1; the chosen file name, or empty when the
    // user cancels.
    virtual std::string askOpenFileName() = 0;
    virtual std::string askSaveFileName() = 0;
};

class PresetController {
public:
    PresetController(Calculator& calc, IPresetView& view) : calc_(calc), view_(view) {}

    // The most presets the list shows; a file that holds more is not listed
    // (a list that long could not be used, and would take seconds to fill).
    static constexpr std::size_t kMaxListedPresets = 10000;

    // The preset feature: off by default, so that choosing a preset loads
    // nothing; on for a run that was given a mic-set file.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }

    // Full path of the open mic-set file; empty while none is open.
    const std::string& MicSetFile() const { return micSetFile_; }
    // Section name of the last loaded preset; shown in the window caption.
    const std::string& MicPresetName() const { return micPresetName_; }
    // The save dialog's file name: the last one confirmed, empty before.
    const std::string& saveDialogFileName() const { return saveDialogFileName_; }

    // Lists the presets of the file at `path` and, with the feature on, loads
    // the first. A file that does not exist, cannot be read, holds no presets
    // or too many changes nothing but the problem line, which says why: the
    // open file, its list, the loaded preset and the caption stay. The line
    // is hidden when the file lists. Section names that differ only in letter
    // case are listed once (the first; a lookup finds only its section).
    void OpenMicSetFile(const std::string& path);
    // Loads the preset `name` of MicSetFile() into the calculator's working
    // values and the microphone inputs (with their handlers detached), and
    // updates the description, the error label, "<", ">" and the caption.
    // A figure the preset does not give loads as not given: its markers,
    // never another microphone's figure; one whose conversions would overflow
    // is refused like an unreadable one.
    // The file is read again: when it is gone, unreadable, too large or holds
    // no presets now, nothing loads and the list goes back to the loaded
    // preset; when its presets changed, the list is read again and `name`
    // loads if the file still holds it. The problem line says which.
    void LoadMicPreset(const std::string& name);
    // Saving writes no entry, so no file is opened, written or created.
    void SaveMicSetFile(const std::string& path);

    // Change handler of cbMicPresets: with the feature on, loads the selected
    // preset and brings every output up to date through the analog/digital
    // switch; with it off, returns at once.
    void cbMicPresetsChange();
    void btnMicPresetNextClick();
    void btnMicPresetPrevClick();

    void ActMicPresetFileOpenExecute();
    void ActMicPresetFileSaveAsExecute();
    void ActMicPresetFileSaveExecute();

    // The description line "%s  -  %s\r%d-%d Hz".
    static std::string micDescription(const TMicParams& mic);
    // True when the derived figures are incomplete (the error label's rule).
    static bool hasParamsError(const TMicParams& mic);
    // What the error label lists after the last load; empty while it is hidden.
    const std::vector<std::string>& ParamsErrorDetails() const { return paramsErrors_; }

private:
    Calculator& calc_;
    IPresetView& view_;
    std::string micSetFile_;
    std::string micPresetName_;
    std::string saveDialogFileName_;
    // The listed section names as the file writes them (the list may show a
    // long one cut).
    std::vector<std::string> names_;
    std::vector<std::string> paramsErrors_;
    bool enabled_ = false;

    // Selects the loaded preset in the list (nothing when it is not listed).
    void selectLoadedPreset();
    // Lists `names` in place of the listed ones.
    void relist(std::vector<std::string> names);
    // Selects and loads the preset `by` places from the selected one, if any.
    void stepPreset(int by);
};

} // namespace presets
