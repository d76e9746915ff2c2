#include "presets/presetcontroller.h"

#include <cmath>
#include <vector>

#include "presets/inifile.h"
#include "presets/micsetfile.h"

namespace presets {
namespace {

constexpr double kMissing = conv::kMissingLevel;

// The figures loaded into the calculator: the working values, and the inputs
// that show them in the order they are written.
struct Derived {
    TMicParams& c;
    std::vector<ShownFigure>& shown;
    void show(InputId id, double v) { shown.push_back({id, v}); }
};

// A digital microphone: the dBFS sensitivity, then a noise figure in dBFS
// (D1), in dB SPL ITU (D2) or in dB SPL A-weighted (D3).
void deriveDigital(const TMicParams& f, Derived d)
{
    TMicParams& c = d.c;
    c.MicDigital = true;
    c.MicSens_dBFS = f.MicSens_dBFS;
    d.show(InputId::MicSens_dBFS, std::trunc(c.MicSens_dBFS));

    if (f.MicNoise_dBFS > kMissing) { // D1: the dynamic range reaches up to digital full scale
        c.MicNoise_dBFS = f.MicNoise_dBFS;
        c.MicDynamic_dB = conv::dynamicFromNoise(0, c.MicNoise_dBFS);
        c.MicSNR_dB_ITU = conv::snrFromLevels(c.MicSens_dBFS, c.MicNoise_dBFS);
        c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
        c.MicNoise_dBSPL_ITU = conv::noiseFromSnrAtRef(c.MicSNR_dB_ITU);
        d.show(InputId::MicNoise_dBFS, c.MicNoise_dBFS);
        d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
        return;
    }
    if (f.MicNoise_dBSPL_ITU > 0) { // D2
        c.MicNoise_dBSPL_ITU = f.MicNoise_dBSPL_ITU;
    } else if (f.MicNoise_dBSPL_AW > 0) { // D3
        c.MicNoise_dBSPL_AW = f.MicNoise_dBSPL_AW;
        c.MicNoise_dBSPL_ITU = conv::noiseAwToItu(c.MicNoise_dBSPL_AW);
    } else {
        return;
    }
    c.MicDynamic_dB = conv::dynamicFromNoise(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
    c.MicSNR_dB_ITU = conv::snrFromNoise(c.MicNoise_dBSPL_ITU);
    c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
    c.MicNoise_dBFS = conv::noiseFromSnr(c.MicSens_dBFS, c.MicSNR_dB_ITU);
    d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
    d.show(InputId::MicNoise_dBFS, c.MicNoise_dBFS);
}

// An analog microphone: the sensitivity from its first given figure (S1 volts,
// S2 dBu, S3 dBV), then the noise from its first given figure: electric (N1
// dBu, N2 dBV, N3 volts), acoustic (N4 ITU, N5 A-weighted) or an SNR (N6
// ITU, N7 A-weighted).
void deriveAnalog(const TMicParams& f, Derived d)
{
    TMicParams& c = d.c;
    c.MicDigital = false;

    if (f.MicSens_V > 0) { // S1
        setSensitivity(c, conv::fromVolts(f.MicSens_V));
        d.show(InputId::MicSens_mV, conv::voltsToMilli(c.MicSens_V));
        d.show(InputId::MicSens_dBu, c.MicSens_dBu);
        d.show(InputId::MicSens_dBV, c.MicSens_dBV);
    } else if (f.MicSens_dBu > kMissing) { // S2
        setSensitivity(c, conv::fromDbu(f.MicSens_dBu));
        d.show(InputId::MicSens_mV, conv::voltsToMilli(c.MicSens_V));
        d.show(InputId::MicSens_dBV, c.MicSens_dBV);
        d.show(InputId::MicSens_dBu, c.MicSens_dBu);
    } else if (f.MicSens_dBV > kMissing) { // S3
        setSensitivity(c, conv::fromDbv(f.MicSens_dBV));
        d.show(InputId::MicSens_mV, conv::voltsToMilli(c.MicSens_V));
        d.show(InputId::MicSens_dBu, c.MicSens_dBu);
        d.show(InputId::MicSens_dBV, c.MicSens_dBV);
    }
    // The noise rows use the sensitivity just derived, -200 when none was given.
    const double sens = c.MicSens_dBu;

    // An electric noise figure.
    if (f.MicNoise_dBu > kMissing || f.MicNoise_dBV > kMissing || f.MicNoise_V > 0) {
        if (f.MicNoise_dBu > kMissing) // N1
            setNoise(c, conv::fromDbu(f.MicNoise_dBu));
        else if (f.MicNoise_dBV > kMissing) // N2
            setNoise(c, conv::fromDbv(f.MicNoise_dBV));
        else // N3
            setNoise(c, conv::fromVolts(f.MicNoise_V));
        c.MicSNR_dB_ITU = conv::snrFromLevels(sens, c.MicNoise_dBu);
        c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
        c.MicNoise_dBSPL_ITU = conv::noiseFromSnrAtRef(c.MicSNR_dB_ITU);
        c.MicDynamic_dB = conv::dynamicFromNoise(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
        d.show(InputId::MicNoise_dBu, c.MicNoise_dBu);
        d.show(InputId::MicNoise_dBV, c.MicNoise_dBV);
        d.show(InputId::MicNoise_uV, conv::voltsToMicro(c.MicNoise_V));
        d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
        return;
    }

    // An acoustic noise level or an SNR.
    if (f.MicNoise_dBSPL_ITU > 0 || f.MicNoise_dBSPL_AW > 0) {
        if (f.MicNoise_dBSPL_ITU > 0) { // N4
            c.MicNoise_dBSPL_ITU = f.MicNoise_dBSPL_ITU;
        } else { // N5
            c.MicNoise_dBSPL_AW = f.MicNoise_dBSPL_AW;
            c.MicNoise_dBSPL_ITU = conv::noiseAwToItu(c.MicNoise_dBSPL_AW);
        }
        c.MicSNR_dB_ITU = conv::snrFromNoise(c.MicNoise_dBSPL_ITU);
        c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
        c.MicDynamic_dB = conv::dynamicFromNoise(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
        setNoise(c, conv::fromDbu(conv::noiseFromSnr(sens, c.MicSNR_dB_ITU)));
    } else if (f.MicSNR_dB_ITU > 0 || f.MicSNR_dB_AW > 0) {
        if (f.MicSNR_dB_ITU > 0) { // N6
            c.MicSNR_dB_ITU = f.MicSNR_dB_ITU;
            c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
        } else { // N7
            c.MicSNR_dB_AW = f.MicSNR_dB_AW;
            c.MicSNR_dB_ITU = conv::snrAwToItu(c.MicSNR_dB_AW);
        }
        setNoise(c, conv::fromDbu(conv::noiseFromSnr(sens, c.MicSNR_dB_ITU)));
        c.MicNoise_dBSPL_ITU = conv::noiseFromSnrAtRef(c.MicSNR_dB_ITU);
        c.MicDynamic_dB = conv::dynamicFromNoise(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
    } else {
        return;
    }
    d.show(InputId::MicNoise_dBu, c.MicNoise_dBu);
    d.show(InputId::MicNoise_dBV, c.MicNoise_dBV);
    d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
    d.show(InputId::MicNoise_uV, conv::voltsToMicro(c.MicNoise_V));
}

} // namespace

void PresetController::OpenMicSetFile(const std::string& path)
{
    std::string problem;
    const IniFile ini = IniFile::load(path, &problem);
    if (!micSetFileExists(path)) {
        view_.setFileProblem(path, problem);
        return;
    }
    micSetFile_ = path;
    std::size_t total = 0;
    names_ = ini.sectionNames(kMaxListedPresets, &total);
    view_.clearPresets();
    if (total > kMaxListedPresets) {
        names_.clear();
        problem = "It holds " + std::to_string(total) + " presets, more than the " +
                  std::to_string(kMaxListedPresets) + " the list can show";
    } else if (problem.empty() && names_.empty()) {
        problem = "It holds no presets (no section such as [Name])";
    }
    view_.setFileProblem(problem.empty() ? std::string() : path, problem);
    for (const std::string& name : names_) view_.addPreset(name);
    if (view_.presetCount() > 0) {
        view_.setPresetIndex(0);
        cbMicPresetsChange();
    }
}

void PresetController::cbMicPresetsChange()
{
    if (!enabled_) return;
    const int index = view_.presetIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) return;
    LoadMicPreset(names_[static_cast<std::size_t>(index)]);
    // The load writes the inputs only; the switch shows the kind's inputs and
    // scales and recomputes every output from what the inputs now show.
    calc_.rbMicAnalogClick();
}

void PresetController::btnMicPresetNextClick()
{
    const int index = view_.presetIndex();
    if (index < view_.presetCount() - 1) {
        view_.setPresetIndex(index + 1);
        cbMicPresetsChange();
    }
}

void PresetController::btnMicPresetPrevClick()
{
    const int index = view_.presetIndex();
    if (index > 0) {
        view_.setPresetIndex(index - 1);
        cbMicPresetsChange();
    }
}

void PresetController::SaveMicSetFile([[maybe_unused]] const std::string& path)
{
    // Saving writes no entry; opening the file for writing and releasing it at
    // once leaves no trace, so the file is not touched at all.
}

void PresetController::ActMicPresetFileOpenExecute()
{
    const std::string name = view_.askOpenFileName();
    if (!name.empty()) OpenMicSetFile(name);
}

void PresetController::ActMicPresetFileSaveAsExecute()
{
    const std::string name = view_.askSaveFileName();
    if (name.empty()) return;
    saveDialogFileName_ = name;
    SaveMicSetFile(name);
}

void PresetController::ActMicPresetFileSaveExecute()
{
    if (micSetFileExists(micSetFile_))
        SaveMicSetFile(saveDialogFileName_);
    else
        ActMicPresetFileSaveAsExecute();
}

std::string PresetController::micDescription(const TMicParams& m)
{
    return m.MicType + "  -  " + m.MicPolarPattern + "\r" + std::to_string(m.MicBandWidth_L) + "-" +
           std::to_string(m.MicBandWidth_H) + " Hz";
}

bool PresetController::hasParamsError(const TMicParams& m)
{
    return m.MicDynamic_dB == 0 || (m.MicSNR_dB_ITU == 0 && m.MicSNR_dB_AW == 0) ||
           (m.MicSens_dBFS <= kMissing && m.MicSens_dBu <= kMissing) ||
           (m.MicNoise_dBFS <= kMissing && m.MicNoise_dBu <= kMissing);
}

void PresetController::LoadMicPreset(const std::string& name)
{
    if (!micSetFileExists(micSetFile_)) return;
    micPresetName_ = name;
    view_.setParamsErrorVisible(false);
    // The file's keys overwrite the file values; the working values start from reset.
    TMicParams file = calc_.fileMic();
    readMicParams(IniFile::load(micSetFile_), name, calc_.decimalSeparator(), file);
    view_.updateCaption();

    TMicParams cur = calc_.currentMic();
    resetMicParams(cur);
    std::vector<ShownFigure> shown;
    cur.MicMaxLevel_dBSPL = file.MicMaxLevel_dBSPL;
    shown.push_back({InputId::MicMaxLevel_dBSPL, std::trunc(cur.MicMaxLevel_dBSPL)});
    if (file.MicDigital)
        deriveDigital(file, {cur, shown});
    else
        deriveAnalog(file, {cur, shown});
    cur.MicType = file.MicType;
    cur.MicPolarPattern = file.MicPolarPattern;
    cur.MicBandWidth_L = file.MicBandWidth_L;
    cur.MicBandWidth_H = file.MicBandWidth_H;
    calc_.loadMic(file, cur, shown);

    view_.setMicDescription(micDescription(cur));
    view_.setParamsErrorVisible(hasParamsError(cur));

    const int count = view_.presetCount();
    const int index = view_.presetIndex();
    view_.setPrevEnabled(count >= 1 && index > 0);
    view_.setNextEnabled(count >= 1 && index < count - 1);
}

} // namespace presets
