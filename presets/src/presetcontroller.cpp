#include "presets/presetcontroller.h"

#include <cmath>

#include "presets/inifile.h"
#include "presets/micsetfile.h"

namespace presets {
namespace {

constexpr double kMissing = conv::kMissingLevel;
constexpr double kRef = conv::kSensRef_dBSPL; // level of the sensitivity and SNR figures
constexpr double kWeighting = conv::kItuToAWeighting;

} // namespace

void PresetController::OpenMicSetFile(const std::string& path)
{
    if (!micSetFileExists(path)) return;
    micSetFile_ = path;
    view_.clearPresets();
    for (const std::string& name : IniFile::load(path).sectionNames()) view_.addPreset(name);
    if (view_.presetCount() > 0) {
        view_.setPresetIndex(0);
        cbMicPresetsChange();
    }
}

void PresetController::cbMicPresetsChange()
{
    // The preset feature is switched off in this version: choosing a preset loads nothing.
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

std::string PresetController::MicDescription(const TMicParams& m)
{
    return m.MicType + "  -  " + m.MicPolarPattern + "\r" + std::to_string(m.MicBandWidth_L) + "-" +
           std::to_string(m.MicBandWidth_H) + " Hz";
}

bool PresetController::HasParamsError(const TMicParams& m)
{
    return m.MicDynamic_dB == 0 || (m.MicSNR_dB_ITU == 0 && m.MicSNR_dB_AW == 0) ||
           (m.MicSens_dBFS <= kMissing && m.MicSens_dBu <= kMissing) ||
           (m.MicNoise_dBFS <= kMissing && m.MicNoise_dBu <= kMissing);
}

void PresetController::LoadMicPreset(const std::string& name)
{
    if (!micSetFileExists(micSetFile_)) return;
    micPresetName_ = name;
    TMicParams& cur = calc_.state.CurMic;
    TMicParams& file = calc_.state.FileMic;
    {
        Calculator::HandlersDetached detached(calc_);
        calc_.state.ResetCurMic();
        view_.setParamsErrorVisible(false);
        readMicParams(IniFile::load(micSetFile_), name, calc_.decimalSeparator, file);
        view_.updateCaption();

        cur.MicMaxLevel_dBSPL = file.MicMaxLevel_dBSPL;
        calc_.write(InputId::MicMaxLevel_dBSPL, std::trunc(cur.MicMaxLevel_dBSPL));
        if (file.MicDigital)
            loadDigital(file);
        else
            loadAnalog(file);
    }
    cur.MicType = file.MicType;
    cur.MicPolarPattern = file.MicPolarPattern;
    cur.MicBandWidth_L = file.MicBandWidth_L;
    cur.MicBandWidth_H = file.MicBandWidth_H;
    view_.setMicDescription(MicDescription(cur));
    view_.setParamsErrorVisible(HasParamsError(cur));

    const int count = view_.presetCount();
    const int index = view_.presetIndex();
    view_.setPrevEnabled(count >= 1 && index > 0);
    view_.setNextEnabled(count >= 1 && index < count - 1);
}

void PresetController::loadDigital(const TMicParams& f)
{
    TMicParams& c = calc_.state.CurMic;
    c.MicDigital = true;
    if (IChoice* rb = calc_.bindings().rbMicDigital) rb->choose();
    c.MicSens_dBFS = f.MicSens_dBFS;
    calc_.write(InputId::MicSens_dBFS, std::trunc(c.MicSens_dBFS));

    if (f.MicNoise_dBFS > kMissing) { // D1: the dynamic range reaches up to digital full scale
        c.MicNoise_dBFS = f.MicNoise_dBFS;
        c.MicDynamic_dB = 0 - c.MicNoise_dBFS;
        c.MicSNR_dB_ITU = c.MicSens_dBFS - c.MicNoise_dBFS;
        c.MicSNR_dB_AW = conv::SnrItuToAw(c.MicSNR_dB_ITU);
        c.MicNoise_dBSPL_ITU = kRef - c.MicSNR_dB_ITU;
        calc_.write(InputId::MicNoise_dBFS, c.MicNoise_dBFS);
        calc_.write(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
        return;
    }
    if (f.MicNoise_dBSPL_ITU > 0) { // D2
        c.MicNoise_dBSPL_ITU = f.MicNoise_dBSPL_ITU;
    } else if (f.MicNoise_dBSPL_AW > 0) { // D3: ITU-weighted noise figures are the higher ones
        c.MicNoise_dBSPL_AW = f.MicNoise_dBSPL_AW;
        c.MicNoise_dBSPL_ITU = c.MicNoise_dBSPL_AW + kWeighting;
    } else {
        return;
    }
    c.MicDynamic_dB = c.MicMaxLevel_dBSPL - c.MicNoise_dBSPL_ITU;
    c.MicSNR_dB_ITU = conv::SnrFromNoise(c.MicNoise_dBSPL_ITU);
    c.MicSNR_dB_AW = conv::SnrItuToAw(c.MicSNR_dB_ITU);
    c.MicNoise_dBFS = conv::NoiseFromSnr(c.MicSens_dBFS, c.MicSNR_dB_ITU);
    calc_.write(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
    calc_.write(InputId::MicNoise_dBFS, c.MicNoise_dBFS);
}

void PresetController::loadAnalog(const TMicParams& f)
{
    TMicParams& c = calc_.state.CurMic;
    c.MicDigital = false;
    if (IChoice* rb = calc_.bindings().rbMicAnalog) rb->choose();

    // The sensitivity: S1 volts, S2 dBu, S3 dBV.
    if (f.MicSens_V > 0) {
        c.MicSens_V = f.MicSens_V;
        c.MicSens_dBu = conv::VoltsToDbu(c.MicSens_V);
        c.MicSens_dBV = conv::DbuToDbv(c.MicSens_dBu);
        calc_.write(InputId::MicSens_mV, conv::VoltsToMilli(c.MicSens_V));
        calc_.write(InputId::MicSens_dBu, c.MicSens_dBu);
        calc_.write(InputId::MicSens_dBV, c.MicSens_dBV);
    } else if (f.MicSens_dBu > kMissing) {
        c.MicSens_dBu = f.MicSens_dBu;
        c.MicSens_dBV = conv::DbuToDbv(c.MicSens_dBu);
        c.MicSens_V = conv::DbuToVolts(c.MicSens_dBu);
        calc_.write(InputId::MicSens_mV, conv::VoltsToMilli(c.MicSens_V));
        calc_.write(InputId::MicSens_dBV, c.MicSens_dBV);
        calc_.write(InputId::MicSens_dBu, c.MicSens_dBu);
    } else if (f.MicSens_dBV > kMissing) {
        c.MicSens_dBV = f.MicSens_dBV;
        c.MicSens_dBu = conv::DbvToDbu(c.MicSens_dBV);
        c.MicSens_V = conv::DbuToVolts(c.MicSens_dBu);
        calc_.write(InputId::MicSens_mV, conv::VoltsToMilli(c.MicSens_V));
        calc_.write(InputId::MicSens_dBu, c.MicSens_dBu);
        calc_.write(InputId::MicSens_dBV, c.MicSens_dBV);
    }
    // The noise rows use the sensitivity just derived, -200 when none was given.
    const double sens = c.MicSens_dBu;

    // N1 to N3: an electric noise figure.
    if (f.MicNoise_dBu > kMissing || f.MicNoise_dBV > kMissing || f.MicNoise_V > 0) {
        const bool givenVolts = f.MicNoise_dBu <= kMissing && f.MicNoise_dBV <= kMissing;
        if (f.MicNoise_dBu > kMissing) { // N1
            c.MicNoise_dBu = f.MicNoise_dBu;
            c.MicNoise_dBV = conv::DbuToDbv(c.MicNoise_dBu);
        } else if (f.MicNoise_dBV > kMissing) { // N2
            c.MicNoise_dBV = f.MicNoise_dBV;
            c.MicNoise_dBu = conv::DbvToDbu(c.MicNoise_dBV);
        } else { // N3
            c.MicNoise_V = f.MicNoise_V;
            c.MicNoise_dBu = conv::VoltsToDbu(c.MicNoise_V);
            c.MicNoise_dBV = conv::DbuToDbv(c.MicNoise_dBu);
        }
        c.MicSNR_dB_ITU = sens - c.MicNoise_dBu;
        c.MicSNR_dB_AW = conv::SnrItuToAw(c.MicSNR_dB_ITU);
        c.MicNoise_dBSPL_ITU = kRef - c.MicSNR_dB_ITU;
        c.MicDynamic_dB = c.MicMaxLevel_dBSPL - c.MicNoise_dBSPL_ITU;
        if (!givenVolts) c.MicNoise_V = conv::DbuToVolts(c.MicNoise_dBu);
        calc_.write(InputId::MicNoise_dBu, c.MicNoise_dBu);
        calc_.write(InputId::MicNoise_dBV, c.MicNoise_dBV);
        calc_.write(InputId::MicNoise_uV, conv::VoltsToMicro(c.MicNoise_V));
        calc_.write(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
        return;
    }

    // N4 to N7: an acoustic noise level or an SNR.
    if (f.MicNoise_dBSPL_ITU > 0 || f.MicNoise_dBSPL_AW > 0) {
        if (f.MicNoise_dBSPL_ITU > 0) { // N4
            c.MicNoise_dBSPL_ITU = f.MicNoise_dBSPL_ITU;
        } else { // N5
            c.MicNoise_dBSPL_AW = f.MicNoise_dBSPL_AW;
            c.MicNoise_dBSPL_ITU = c.MicNoise_dBSPL_AW + kWeighting;
        }
        c.MicSNR_dB_ITU = conv::SnrFromNoise(c.MicNoise_dBSPL_ITU);
        c.MicSNR_dB_AW = conv::SnrItuToAw(c.MicSNR_dB_ITU);
        c.MicDynamic_dB = c.MicMaxLevel_dBSPL - c.MicNoise_dBSPL_ITU;
        c.MicNoise_dBu = conv::NoiseFromSnr(sens, c.MicSNR_dB_ITU);
        c.MicNoise_dBV = conv::DbuToDbv(c.MicNoise_dBu);
        c.MicNoise_V = conv::DbuToVolts(c.MicNoise_dBu);
    } else if (f.MicSNR_dB_ITU > 0 || f.MicSNR_dB_AW > 0) {
        if (f.MicSNR_dB_ITU > 0) { // N6
            c.MicSNR_dB_ITU = f.MicSNR_dB_ITU;
            c.MicSNR_dB_AW = conv::SnrItuToAw(c.MicSNR_dB_ITU);
        } else { // N7
            c.MicSNR_dB_AW = f.MicSNR_dB_AW;
            c.MicSNR_dB_ITU = conv::SnrAwToItu(c.MicSNR_dB_AW);
        }
        c.MicNoise_dBu = conv::NoiseFromSnr(sens, c.MicSNR_dB_ITU);
        c.MicNoise_dBV = conv::DbuToDbv(c.MicNoise_dBu);
        c.MicNoise_V = conv::DbuToVolts(c.MicNoise_dBu);
        c.MicNoise_dBSPL_ITU = kRef - c.MicSNR_dB_ITU;
        c.MicDynamic_dB = c.MicMaxLevel_dBSPL - c.MicNoise_dBSPL_ITU;
    } else {
        return;
    }
    calc_.write(InputId::MicNoise_dBu, c.MicNoise_dBu);
    calc_.write(InputId::MicNoise_dBV, c.MicNoise_dBV);
    calc_.write(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
    calc_.write(InputId::MicNoise_uV, conv::VoltsToMicro(c.MicNoise_V));
}

} // namespace presets
