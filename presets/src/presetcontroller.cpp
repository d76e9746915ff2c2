#include "presets/presetcontroller.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "presets/inifile.h"
#include "presets/micsetfile.h"
#include "presets/textdecode.h"

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

// The keys whose figures a load used: the sensitivity's and the noise's, or
// empty where none was given.
struct Rows {
    std::string_view sens;
    std::string_view noise;
};

// The dynamic range from the maximum level: not given (0) without one.
double dynamicFrom(double maxLevel, double noise_dBSPL)
{
    return maxLevel == 0 ? 0.0 : conv::dynamicFromNoise(maxLevel, noise_dBSPL);
}

// An acoustic noise figure, ITU or A-weighted (the ITU level is the
// A-weighted level plus 11), with the SNR and the dynamic range it gives:
// the key of the figure used, or empty when neither is given.
std::string_view acousticNoise(const TMicParams& f, TMicParams& c)
{
    std::string_view row = "Noise_dBSPL_ITU";
    if (f.MicNoise_dBSPL_ITU > 0) {
        c.MicNoise_dBSPL_ITU = f.MicNoise_dBSPL_ITU;
    } else if (f.MicNoise_dBSPL_AW > 0) {
        c.MicNoise_dBSPL_AW = f.MicNoise_dBSPL_AW;
        c.MicNoise_dBSPL_ITU = conv::noiseAwToItu(c.MicNoise_dBSPL_AW);
        row = "Noise_dBSPL_AW";
    } else {
        return {};
    }
    c.MicSNR_dB_ITU = conv::snrFromNoise(c.MicNoise_dBSPL_ITU);
    c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
    c.MicDynamic_dB = dynamicFrom(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
    return row;
}

// A digital microphone: the dBFS sensitivity, then a noise figure in dBFS
// (D1), in dB SPL ITU (D2) or in dB SPL A-weighted (D3).
Rows deriveDigital(const TMicParams& f, Derived d)
{
    TMicParams& c = d.c;
    c.MicDigital = true;
    c.MicSens_dBFS = f.MicSens_dBFS;
    // Shown as given: a fraction such as -37.5 fits the input's one decimal.
    d.show(InputId::MicSens_dBFS, c.MicSens_dBFS);
    Rows rows{c.MicSens_dBFS > kMissing ? "Sens_dBFS" : "", ""};

    if (f.MicNoise_dBFS > kMissing) { // D1: the dynamic range reaches up to digital full scale
        c.MicNoise_dBFS = f.MicNoise_dBFS;
        c.MicDynamic_dB = conv::dynamicFromNoise(0, c.MicNoise_dBFS);
        c.MicSNR_dB_ITU = conv::snrFromLevels(c.MicSens_dBFS, c.MicNoise_dBFS);
        c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
        c.MicNoise_dBSPL_ITU = conv::noiseFromSnrAtRef(c.MicSNR_dB_ITU);
        d.show(InputId::MicNoise_dBFS, c.MicNoise_dBFS);
        d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
        rows.noise = "Noise_dBFS";
        return rows;
    }
    rows.noise = acousticNoise(f, c); // D2, D3
    if (rows.noise.empty()) {
        // No noise figure: its inputs show the markers, not another microphone's.
        d.show(InputId::MicNoise_dBFS, kMissing);
        d.show(InputId::MicNoise_dBSPL, 0);
        return rows;
    }
    c.MicNoise_dBFS = conv::noiseFromSnr(c.MicSens_dBFS, c.MicSNR_dB_ITU);
    d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
    d.show(InputId::MicNoise_dBFS, c.MicNoise_dBFS);
    return rows;
}

// An analog microphone: the sensitivity from its first given figure (S1 volts,
// S2 dBu, S3 dBV), then the noise from its first given figure: electric (N1
// dBu, N2 dBV, N3 volts), acoustic (N4 ITU, N5 A-weighted) or an SNR (N6
// ITU, N7 A-weighted). A figure not given shows its markers.
Rows deriveAnalog(const TMicParams& f, Derived d)
{
    TMicParams& c = d.c;
    c.MicDigital = false;
    Rows rows;

    if (f.MicSens_V > 0) { // S1
        setSensitivity(c, conv::fromVolts(f.MicSens_V));
        rows.sens = "Sens_V";
    } else if (f.MicSens_dBu > kMissing) { // S2
        setSensitivity(c, conv::fromDbu(f.MicSens_dBu));
        rows.sens = "Sens_dBu";
    } else if (f.MicSens_dBV > kMissing) { // S3
        setSensitivity(c, conv::fromDbv(f.MicSens_dBV));
        rows.sens = "Sens_dBV";
    }
    // Without a figure the reset values show: the markers 0 mV, -200 dBu and dBV.
    d.show(InputId::MicSens_mV, conv::voltsToMilli(c.MicSens_V));
    d.show(InputId::MicSens_dBu, c.MicSens_dBu);
    d.show(InputId::MicSens_dBV, c.MicSens_dBV);
    // The noise rows use the sensitivity just derived, -200 when none was given.
    const double sens = c.MicSens_dBu;

    // An electric noise figure.
    if (f.MicNoise_dBu > kMissing || f.MicNoise_dBV > kMissing || f.MicNoise_V > 0) {
        if (f.MicNoise_dBu > kMissing) { // N1
            setNoise(c, conv::fromDbu(f.MicNoise_dBu));
            rows.noise = "Noise_dBu";
        } else if (f.MicNoise_dBV > kMissing) { // N2
            setNoise(c, conv::fromDbv(f.MicNoise_dBV));
            rows.noise = "Noise_dBV";
        } else { // N3
            setNoise(c, conv::fromVolts(f.MicNoise_V));
            rows.noise = "Noise_V";
        }
        c.MicSNR_dB_ITU = conv::snrFromLevels(sens, c.MicNoise_dBu);
        c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
        c.MicNoise_dBSPL_ITU = conv::noiseFromSnrAtRef(c.MicSNR_dB_ITU);
        c.MicDynamic_dB = dynamicFrom(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
        d.show(InputId::MicNoise_dBu, c.MicNoise_dBu);
        d.show(InputId::MicNoise_dBV, c.MicNoise_dBV);
        d.show(InputId::MicNoise_uV, conv::voltsToMicro(c.MicNoise_V));
        d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
        return rows;
    }

    // An acoustic noise level (N4, N5) or an SNR.
    rows.noise = acousticNoise(f, c);
    if (!rows.noise.empty()) {
        setNoise(c, conv::fromDbu(conv::noiseFromSnr(sens, c.MicSNR_dB_ITU)));
    } else if (f.MicSNR_dB_ITU > 0 || f.MicSNR_dB_AW > 0) {
        if (f.MicSNR_dB_ITU > 0) { // N6
            c.MicSNR_dB_ITU = f.MicSNR_dB_ITU;
            c.MicSNR_dB_AW = conv::snrItuToAw(c.MicSNR_dB_ITU);
            rows.noise = "SNR_dB_ITU";
        } else { // N7
            c.MicSNR_dB_AW = f.MicSNR_dB_AW;
            c.MicSNR_dB_ITU = conv::snrAwToItu(c.MicSNR_dB_AW);
            rows.noise = "SNR_dB_AW";
        }
        setNoise(c, conv::fromDbu(conv::noiseFromSnr(sens, c.MicSNR_dB_ITU)));
        c.MicNoise_dBSPL_ITU = conv::noiseFromSnrAtRef(c.MicSNR_dB_ITU);
        c.MicDynamic_dB = dynamicFrom(c.MicMaxLevel_dBSPL, c.MicNoise_dBSPL_ITU);
    } else {
        d.show(InputId::MicNoise_dBu, kMissing);
        d.show(InputId::MicNoise_dBV, kMissing);
        d.show(InputId::MicNoise_dBSPL, 0);
        d.show(InputId::MicNoise_uV, 0);
        return rows;
    }
    d.show(InputId::MicNoise_dBu, c.MicNoise_dBu);
    d.show(InputId::MicNoise_dBV, c.MicNoise_dBV);
    d.show(InputId::MicNoise_dBSPL, c.MicNoise_dBSPL_ITU);
    d.show(InputId::MicNoise_uV, conv::voltsToMicro(c.MicNoise_V));
    return rows;
}

// A level the calculator can hold: finite and within its working range.
bool levelFits(double v) { return std::isfinite(v) && std::fabs(v) <= kMaxLevelMagnitude; }

// Whether the sensitivity, and the noise, a load derived pass the overflow
// guard of typed figures: every level within the working range, the volts
// finite in the unit their input shows (mV, uV).
bool sensitivityFits(const TMicParams& c)
{
    if (c.MicDigital) return levelFits(c.MicSens_dBFS);
    return std::isfinite(conv::voltsToMilli(c.MicSens_V)) && levelFits(c.MicSens_dBu) && levelFits(c.MicSens_dBV);
}

bool noiseFits(const TMicParams& c)
{
    for (double v : {c.MicNoise_dBu, c.MicNoise_dBV, c.MicNoise_dBFS, c.MicNoise_dBSPL_ITU, c.MicNoise_dBSPL_AW,
                     c.MicSNR_dB_ITU, c.MicSNR_dB_AW, c.MicDynamic_dB})
        if (!levelFits(v)) return false;
    return c.MicDigital || std::isfinite(conv::voltsToMicro(c.MicNoise_V));
}

// The figure keys with their file figures and defaults: an unreadable one
// raises the error label, and a refused one goes back to its default.
struct FigureField {
    std::string_view key;
    double TMicParams::*field;
    double def;
};
constexpr FigureField kFigureFields[] = {
    {"MaxLevel_dBSPL", &TMicParams::MicMaxLevel_dBSPL, 0},
    {"Sens_V", &TMicParams::MicSens_V, 0},
    {"Sens_dBu", &TMicParams::MicSens_dBu, kMissing},
    {"Sens_dBV", &TMicParams::MicSens_dBV, kMissing},
    {"Sens_dBFS", &TMicParams::MicSens_dBFS, kMissing},
    {"Noise_V", &TMicParams::MicNoise_V, 0},
    {"Noise_dBu", &TMicParams::MicNoise_dBu, kMissing},
    {"Noise_dBV", &TMicParams::MicNoise_dBV, kMissing},
    {"Noise_dBFS", &TMicParams::MicNoise_dBFS, kMissing},
    {"Noise_dBSPL_ITU", &TMicParams::MicNoise_dBSPL_ITU, 0},
    {"Noise_dBSPL_AW", &TMicParams::MicNoise_dBSPL_AW, 0},
    {"SNR_dB_ITU", &TMicParams::MicSNR_dB_ITU, 0},
    {"SNR_dB_AW", &TMicParams::MicSNR_dB_AW, 0},
    {"Dynamic_dB", &TMicParams::MicDynamic_dB, 0},
};

// Sets the file figure of `key` back to its default: the figure is refused.
void refuseFigure(TMicParams& file, std::string_view key)
{
    for (const FigureField& f : kFigureFields)
        if (f.key == key) file.*(f.field) = f.def;
}

// The figures a load could not give, in words: "No self-noise figure".
std::vector<std::string> paramsProblems(const TMicParams& c, const Rows& rows)
{
    std::vector<std::string> out;
    const char* unit = c.MicDigital ? " dBFS" : " dBu";
    if (rows.sens.empty())
        out.push_back("No sensitivity figure");
    else if (!c.MicDigital && c.MicSens_dBu <= kMissing)
        out.push_back("Sensitivity at or below -200 dBu");
    if (rows.noise.empty())
        out.push_back("No self-noise figure");
    else if (!rows.sens.empty() && (c.MicDigital ? c.MicNoise_dBFS : c.MicNoise_dBu) <= kMissing)
        out.push_back(std::string("Self-noise at or below -200") + unit);
    if (c.MicMaxLevel_dBSPL == 0)
        out.push_back("No maximum level");
    else if (!rows.noise.empty() && c.MicDynamic_dB == 0)
        out.push_back("Dynamic range of 0 dB");
    return out;
}

// The presets a file lists: its section names in file order, a name that
// differs from an earlier one only in letter case left out (it would load
// the earlier one's section). `total` receives the number of section headers.
std::vector<std::string> listedNames(const IniFile& ini, std::size_t limit, std::size_t& total)
{
    std::vector<std::string> all = ini.sectionNames(limit, &total);
    if (total > limit) return {};
    // Names equal but for letter case have the same length and the same
    // ASCII letters, folded: compare within those groups only.
    const auto group = [](const std::string& name) {
        std::string key = name;
        for (char& ch : key) {
            const auto b = static_cast<unsigned char>(ch);
            if (b >= 0x80) ch = '\x80';
            else if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + ('a' - 'A'));
        }
        return key;
    };
    std::unordered_map<std::string, std::vector<std::size_t>> groups;
    std::vector<std::string> names;
    names.reserve(all.size());
    for (std::string& name : all) {
        std::vector<std::size_t>& same = groups[group(name)];
        const bool repeated = std::any_of(same.begin(), same.end(),
                                          [&](std::size_t i) { return equalsIgnoreCase(names[i], name); });
        if (repeated) continue;
        same.push_back(names.size());
        names.push_back(std::move(name));
    }
    return names;
}

// Where `name` is listed: its own spelling first, else one in other letter case.
int indexOf(const std::vector<std::string>& names, const std::string& name)
{
    auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end())
        at = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return equalsIgnoreCase(n, name); });
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

// The presets a file read into `ini` lists; when it lists none, `problem`
// says why (`now`: the file listed presets before).
std::vector<std::string> listPresets(const IniFile& ini, std::string& problem, bool now)
{
    constexpr std::size_t limit = PresetController::kMaxListedPresets;
    std::size_t total = 0;
    std::vector<std::string> names = problem.empty() ? listedNames(ini, limit, total) : std::vector<std::string>{};
    if (total > limit)
        problem = "It holds " + std::to_string(total) + " presets, more than the " + std::to_string(limit) +
                  " the list can show" + (now ? " now" : "");
    else if (problem.empty() && names.empty())
        problem = now ? "It holds no presets now" : "It holds no presets (no section such as [Name])";
    return names;
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
    std::vector<std::string> names = listPresets(ini, problem, false);
    if (!problem.empty()) {
        // A file that lists nothing leaves the open file, its list, the loaded
        // preset and the caption as they were.
        if (!micSetFile_.empty()) problem += "; the open file stays";
        view_.setFileProblem(path, problem);
        return;
    }
    micSetFile_ = path;
    view_.setFileProblem({}, {});
    relist(std::move(names));
    view_.setPresetIndex(0);
    cbMicPresetsChange();
}

void PresetController::selectLoadedPreset()
{
    const int loaded = micPresetName_.empty() ? -1 : indexOf(names_, micPresetName_);
    if (view_.presetIndex() != loaded) view_.setPresetIndex(loaded);
}

void PresetController::relist(std::vector<std::string> names)
{
    names_ = std::move(names);
    view_.clearPresets();
    for (const std::string& n : names_) view_.addPreset(n);
}

void PresetController::cbMicPresetsChange()
{
    if (!enabled_) return;
    const int index = view_.presetIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) return;
    // A copy: the load may list the file again.
    const std::string name = names_[static_cast<std::size_t>(index)];
    LoadMicPreset(name);
    // The load writes the inputs only; the switch shows the kind's inputs and
    // scales and recomputes every output from what the inputs now show.
    calc_.rbMicAnalogClick();
}

void PresetController::btnMicPresetNextClick() { stepPreset(1); }

void PresetController::btnMicPresetPrevClick() { stepPreset(-1); }

void PresetController::stepPreset(int by)
{
    const int index = view_.presetIndex() + by;
    if (index < 0 || index >= view_.presetCount()) return;
    view_.setPresetIndex(index);
    cbMicPresetsChange();
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
    if (micSetFile_.empty()) return;
    // The file is read again for every load; it may have changed since it was
    // listed. The list, the caption and the figures must keep naming one preset.
    std::string problem;
    const IniFile ini = IniFile::load(micSetFile_, &problem);
    std::vector<std::string> names = listPresets(ini, problem, true);
    if (!problem.empty()) {
        // Refused: the list goes back to the preset whose figures show.
        selectLoadedPreset();
        view_.setFileProblem(micSetFile_, problem + "; nothing was loaded");
        return;
    }
    std::string changed;
    std::string loadName = name;
    if (names != names_) {
        // Replaced or changed since it was listed: list it again.
        relist(std::move(names));
        const int at = indexOf(names_, name);
        if (at < 0) {
            selectLoadedPreset();
            view_.setFileProblem(micSetFile_, "It changed and holds no preset \"" + name +
                                                  "\" now; its list was read again and nothing was loaded");
            return;
        }
        view_.setPresetIndex(at);
        loadName = names_[static_cast<std::size_t>(at)]; // as the list now writes it
        changed = "It changed since it was listed; its list was read again";
    }
    view_.setFileProblem(changed.empty() ? std::string() : micSetFile_, changed);

    micPresetName_ = loadName;
    view_.setParamsErrorVisible(false);
    // The file's keys overwrite the file values; the working values start from reset.
    TMicParams file = calc_.fileMic();
    std::vector<UnreadKey> unread;
    readMicParams(ini, loadName, calc_.decimalSeparator(), file, &unread);
    view_.updateCaption();

    // A figure whose conversions overflow is refused like an unreadable one.
    const auto refuse = [&](std::string_view key) {
        refuseFigure(file, key);
        unread.push_back(
            {std::string(key), ini.value(loadName, key).value_or(""), problemText(ValueProblem::OutOfRange)});
    };

    TMicParams cur;
    std::vector<ShownFigure> shown;
    Rows rows;
    // The next row that applies takes a refused figure's place: at most one
    // pass per figure key.
    for (;;) {
        cur = calc_.currentMic();
        resetMicParams(cur);
        shown.clear();
        // The maximum-level box holds whole dB: the figure is what it shows, so
        // the dynamic range, the diagram and a later edit all use the same level.
        cur.MicMaxLevel_dBSPL = std::trunc(file.MicMaxLevel_dBSPL);
        shown.push_back({InputId::MicMaxLevel_dBSPL, cur.MicMaxLevel_dBSPL});
        rows = file.MicDigital ? deriveDigital(file, {cur, shown}) : deriveAnalog(file, {cur, shown});
        if (!rows.sens.empty() && !sensitivityFits(cur))
            refuse(rows.sens);
        else if (!rows.noise.empty() && !noiseFits(cur))
            refuse(rows.noise);
        else
            break;
    }
    cur.MicType = file.MicType;
    cur.MicPolarPattern = file.MicPolarPattern;
    cur.MicBandWidth_L = file.MicBandWidth_L;
    cur.MicBandWidth_H = file.MicBandWidth_H;
    calc_.loadMic(file, cur, shown);

    view_.setMicDescription(micDescription(cur));
    // The error label's rule, and what it names: each figure not given, each
    // key that could not be read.
    paramsErrors_ = paramsProblems(cur, rows);
    bool figureUnread = false;
    for (const UnreadKey& k : unread) {
        paramsErrors_.push_back(describeUnreadKey(k));
        figureUnread = figureUnread || std::any_of(std::begin(kFigureFields), std::end(kFigureFields),
                                                   [&](const FigureField& f) { return f.key == k.key; });
    }
    const bool flagged = hasParamsError(cur) || figureUnread;
    if (!flagged) paramsErrors_.clear();
    view_.setParamsErrorDetails(paramsErrors_);
    view_.setParamsErrorVisible(flagged);

    const int count = view_.presetCount();
    const int index = view_.presetIndex();
    view_.setPrevEnabled(count >= 1 && index > 0);
    view_.setNextEnabled(count >= 1 && index < count - 1);
}

} // namespace presets
