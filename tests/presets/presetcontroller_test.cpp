#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "casename.h"
#include "fakes.h"
#include "presets/inifile.h"

using presets::PresetController;
using Field = double TMicParams::*;

namespace {

struct LoadCase {
    const char* section;
    bool digital;
    std::vector<std::pair<Field, double>> fields;
    std::vector<std::pair<InputId, std::string>> texts;
};

// The record's number fields by name, for failure messages.
#define MIC_FIELD(name) std::pair<Field, const char*>{&TMicParams::name, #name}
constexpr std::pair<Field, const char*> kFieldNames[] = {
    MIC_FIELD(MicMaxLevel_dBSPL), MIC_FIELD(MicNoise_V),         MIC_FIELD(MicNoise_dBu),
    MIC_FIELD(MicNoise_dBV),      MIC_FIELD(MicNoise_dBFS),      MIC_FIELD(MicNoise_dBSPL_ITU),
    MIC_FIELD(MicNoise_dBSPL_AW), MIC_FIELD(MicDynamic_dB),      MIC_FIELD(MicSNR_dB_ITU),
    MIC_FIELD(MicSNR_dB_AW),      MIC_FIELD(MicSplMax),          MIC_FIELD(MicSens_V),
    MIC_FIELD(MicSens_dBu),       MIC_FIELD(MicSens_dBV),        MIC_FIELD(MicSens_dBFS),
    MIC_FIELD(MicOut_V),          MIC_FIELD(MicOut_dBu),         MIC_FIELD(MicOut_dBV),
    MIC_FIELD(MicOut_dBFS),
};
#undef MIC_FIELD

std::string fieldName(Field f)
{
    for (const auto& [field, name] : kFieldNames)
        if (field == f) return name;
    return "a field missing from kFieldNames";
}

std::string readBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.section; }

// A case's test name: its section name as a row name (caseName).
template <typename Case>
std::string sectionTestName(const ::testing::TestParamInfo<Case>& info)
{
    return caseName(info.param.section);
}

// An input's text with "." written as `sep`.
std::string inLocale(std::string text, const std::string& sep)
{
    if (const auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, sep);
    return text;
}

} // namespace

class LoadRows : public ::testing::TestWithParam<LoadCase> {};

// The figures the rows derive from whole numbers: the same under "." and ",".
TEST_P(LoadRows, DerivesTheFiguresAndWritesTheInputs)
{
    for (const std::string sep : {".", ","}) {
        SCOPED_TRACE(sep);
        const LoadCase& c = GetParam();
        PresetRig rig(sep);
        rig.load("mics.dat", c.section);

        EXPECT_EQ(rig.presets.MicPresetName(), c.section);
        EXPECT_EQ(rig.cur().MicDigital, c.digital);
        EXPECT_EQ(rig.digital.chosen, c.digital);
        EXPECT_EQ(rig.analog.chosen, !c.digital);
        for (const auto& [field, expected] : c.fields)
            EXPECT_NEAR(rig.cur().*field, expected, 1e-4 * std::abs(expected) + 1e-9)
                << c.section << ", " << fieldName(field);
        for (const auto& [id, text] : c.texts)
            EXPECT_EQ(rig.text(id), inLocale(text, sep)) << c.section << ", " << inputName(id);
        EXPECT_FALSE(rig.view.errorVisible);
        EXPECT_TRUE(rig.view.errorDetails.empty());

        // Written with the handlers detached, and attached again afterwards.
        for (const FakeInput& in : rig.inputs) EXPECT_EQ(in.eventsRaised, 0);
        EXPECT_TRUE(rig.calc.handlersAttached());
    }
}

using T = TMicParams;
INSTANTIATE_TEST_SUITE_P(
    Presets, LoadRows,
    ::testing::Values(
        LoadCase{"S2 N4",
                 false,
                 {{&T::MicMaxLevel_dBSPL, 130}, {&T::MicSens_dBu, -40}, {&T::MicSens_dBV, -42.2},
                  {&T::MicSens_V, 0.00775}, {&T::MicSNR_dB_ITU, 74}, {&T::MicSNR_dB_AW, 85},
                  {&T::MicNoise_dBu, -114}, {&T::MicNoise_dBV, -116.2}, {&T::MicNoise_V, 1.5463e-6},
                  {&T::MicNoise_dBSPL_ITU, 20}, {&T::MicDynamic_dB, 110}, {&T::MicSens_dBFS, -200},
                  {&T::MicNoise_dBFS, -200}},
                 {{InputId::MicMaxLevel_dBSPL, "130"}, {InputId::MicSens_mV, "7.8"}, {InputId::MicSens_dBu, "-40.0"},
                  {InputId::MicSens_dBV, "-42.2"}, {InputId::MicNoise_dBu, "-114.0"},
                  {InputId::MicNoise_dBV, "-116.2"}, {InputId::MicNoise_uV, "1.5"},
                  {InputId::MicNoise_dBSPL, "20.0"}}},
        LoadCase{"S1 N1",
                 false,
                 {{&T::MicSens_V, 0.01}, {&T::MicSens_dBu, -37.786}, {&T::MicSens_dBV, -39.986},
                  {&T::MicNoise_dBu, -100}, {&T::MicNoise_dBV, -102.2}, {&T::MicSNR_dB_ITU, 62.214},
                  {&T::MicSNR_dB_AW, 73.214}, {&T::MicNoise_dBSPL_ITU, 31.786}, {&T::MicDynamic_dB, 98.214},
                  {&T::MicNoise_V, 7.75e-6}},
                 {{InputId::MicSens_mV, "10.0"}, {InputId::MicSens_dBu, "-37.8"}, {InputId::MicSens_dBV, "-40.0"},
                  {InputId::MicNoise_dBu, "-100.0"}, {InputId::MicNoise_dBV, "-102.2"},
                  {InputId::MicNoise_uV, "7.8"}, {InputId::MicNoise_dBSPL, "31.8"}}},
        LoadCase{"S3 N2",
                 false,
                 {{&T::MicSens_dBV, -42}, {&T::MicSens_dBu, -39.8}, {&T::MicSens_V, 0.0079305},
                  {&T::MicNoise_dBV, -102}, {&T::MicNoise_dBu, -99.8}, {&T::MicSNR_dB_ITU, 60},
                  {&T::MicNoise_dBSPL_ITU, 34}, {&T::MicDynamic_dB, 96}},
                 {{InputId::MicSens_dBu, "-39.8"}, {InputId::MicSens_mV, "7.9"}, {InputId::MicNoise_dBV, "-102.0"},
                  {InputId::MicNoise_dBu, "-99.8"}, {InputId::MicNoise_dBSPL, "34.0"}}},
        LoadCase{"S2 N3",
                 false,
                 {{&T::MicNoise_V, 1e-5}, {&T::MicNoise_dBu, -97.786}, {&T::MicNoise_dBV, -99.986},
                  {&T::MicSNR_dB_ITU, 57.786}, {&T::MicNoise_dBSPL_ITU, 36.214}, {&T::MicDynamic_dB, 93.786}},
                 {{InputId::MicNoise_uV, "10.0"}, {InputId::MicNoise_dBu, "-97.8"}, {InputId::MicNoise_dBSPL, "36.2"}}},
        LoadCase{"S2 N5",
                 false,
                 {{&T::MicNoise_dBSPL_AW, 30}, {&T::MicNoise_dBSPL_ITU, 41}, {&T::MicSNR_dB_ITU, 53},
                  {&T::MicSNR_dB_AW, 64}, {&T::MicNoise_dBu, -93}, {&T::MicDynamic_dB, 89}},
                 {{InputId::MicNoise_dBSPL, "41.0"}, {InputId::MicNoise_dBu, "-93.0"}, {InputId::MicNoise_dBV, "-95.2"}}},
        LoadCase{"S2 N6",
                 false,
                 {{&T::MicSNR_dB_ITU, 70}, {&T::MicSNR_dB_AW, 81}, {&T::MicNoise_dBu, -110},
                  {&T::MicNoise_dBV, -112.2}, {&T::MicNoise_dBSPL_ITU, 24}, {&T::MicDynamic_dB, 106}},
                 {{InputId::MicNoise_dBu, "-110.0"}, {InputId::MicNoise_dBSPL, "24.0"}, {InputId::MicNoise_uV, "2.5"}}},
        LoadCase{"S2 N7",
                 false,
                 {{&T::MicSNR_dB_ITU, 70}, {&T::MicSNR_dB_AW, 81}, {&T::MicNoise_dBu, -110},
                  {&T::MicNoise_dBSPL_ITU, 24}, {&T::MicDynamic_dB, 106}},
                 {{InputId::MicNoise_dBu, "-110.0"}, {InputId::MicNoise_dBSPL, "24.0"}}},
        // The first row whose condition holds wins: volts over dBu, dBu noise over the noise level.
        LoadCase{"Both given",
                 false,
                 {{&T::MicSens_dBu, -37.786}, {&T::MicNoise_dBu, -100}, {&T::MicNoise_dBSPL_ITU, 31.786}},
                 {{InputId::MicSens_dBu, "-37.8"}, {InputId::MicNoise_dBSPL, "31.8"}}},
        // D1: the dynamic range reaches up to full scale, not to the maximum level.
        LoadCase{"D1",
                 true,
                 {{&T::MicMaxLevel_dBSPL, 125}, {&T::MicSens_dBFS, -26}, {&T::MicNoise_dBFS, -90},
                  {&T::MicDynamic_dB, 90}, {&T::MicSNR_dB_ITU, 64}, {&T::MicSNR_dB_AW, 75},
                  {&T::MicNoise_dBSPL_ITU, 30}, {&T::MicSens_dBu, -200}, {&T::MicNoise_dBu, -200}},
                 {{InputId::MicMaxLevel_dBSPL, "125"}, {InputId::MicSens_dBFS, "-26.0"},
                  {InputId::MicNoise_dBFS, "-90.0"}, {InputId::MicNoise_dBSPL, "30.0"},
                  {InputId::MicSens_dBu, "-40.0"}, {InputId::MicNoise_dBu, "-100.0"}}},
        LoadCase{"D2",
                 true,
                 {{&T::MicNoise_dBSPL_ITU, 20}, {&T::MicDynamic_dB, 100}, {&T::MicSNR_dB_ITU, 74},
                  {&T::MicSNR_dB_AW, 85}, {&T::MicNoise_dBFS, -100}},
                 {{InputId::MicNoise_dBSPL, "20.0"}, {InputId::MicNoise_dBFS, "-100.0"}}},
        // D3 turns the A-weighted level into the ITU-weighted one as N5 does (+11).
        LoadCase{"D3",
                 true,
                 {{&T::MicNoise_dBSPL_AW, 30}, {&T::MicNoise_dBSPL_ITU, 41}, {&T::MicSNR_dB_ITU, 53},
                  {&T::MicSNR_dB_AW, 64}, {&T::MicNoise_dBFS, -79}, {&T::MicDynamic_dB, 79}},
                 {{InputId::MicNoise_dBSPL, "41.0"}, {InputId::MicNoise_dBFS, "-79.0"}}}),
    sectionTestName<LoadCase>);

TEST(LoadMicPreset, WritesDescriptionCaptionAndName)
{
    PresetRig rig;
    rig.load("mics.dat", "S2 N4");
    EXPECT_EQ(rig.view.description, "Condenser  -  Cardioid\r20-20000 Hz");
    EXPECT_EQ(rig.view.captionUpdates, 1);
    EXPECT_EQ(rig.presets.MicPresetName(), "S2 N4");
    EXPECT_EQ(rig.cur().MicType, "Condenser");
    EXPECT_EQ(rig.cur().MicBandWidth_H, 20000);
    EXPECT_EQ(rig.calc.fileMic().MicSens_dBu, -40);
    EXPECT_EQ(rig.calc.fileMic().MicNoise_dBSPL_AW, 0);
}

TEST(LoadMicPreset, EmptySectionStartsFromResetFiguresAndFlagsTheError)
{
    PresetRig rig;
    rig.load("mics.dat", "D1"); // a digital preset first: nothing of it may survive
    const auto before = rig.inputs;
    rig.load("mics.dat", "Empty");

    EXPECT_TRUE(rig.analog.chosen);
    EXPECT_FALSE(rig.cur().MicDigital);
    // The analog figures it does not give show their markers; the inputs of
    // the other kind, the source and the gain keep what they showed.
    const std::pair<InputId, const char*> markers[] = {
        {InputId::MicMaxLevel_dBSPL, "0"}, {InputId::MicSens_mV, "0.0"},    {InputId::MicSens_dBu, "-200.0"},
        {InputId::MicSens_dBV, "-200.0"},  {InputId::MicNoise_uV, "0.0"},   {InputId::MicNoise_dBu, "-200.0"},
        {InputId::MicNoise_dBV, "-200.0"}, {InputId::MicNoise_dBSPL, "0.0"},
    };
    for (size_t i = 0; i < kInputCount; ++i) {
        const auto id = static_cast<InputId>(i);
        const auto* m = std::find_if(std::begin(markers), std::end(markers), [&](const auto& p) { return p.first == id; });
        EXPECT_EQ(rig.inputs[i].text, m != std::end(markers) ? m->second : before[i].text) << inputName(id);
    }
    EXPECT_EQ(rig.cur().MicNoise_dBFS, -200);
    EXPECT_EQ(rig.cur().MicSens_dBFS, -200);
    EXPECT_EQ(rig.cur().MicSNR_dB_ITU, 0);
    EXPECT_EQ(rig.cur().MicDynamic_dB, 0);
    EXPECT_EQ(rig.view.description, "  -  \r0-0 Hz");
    EXPECT_TRUE(rig.view.errorVisible);
    EXPECT_EQ(rig.view.errorDetails,
              (std::vector<std::string>{"No sensitivity figure", "No self-noise figure", "No maximum level"}));
}

TEST(LoadMicPreset, NoiseWithoutSensitivityIsFlagged)
{
    PresetRig rig;
    rig.load("mics.dat", "Noise without sensitivity");
    EXPECT_EQ(rig.cur().MicSens_dBu, -200);
    EXPECT_EQ(rig.cur().MicNoise_dBu, -274); // N4 from a sensitivity of -200
    EXPECT_EQ(rig.cur().MicDynamic_dB, 110);
    EXPECT_TRUE(rig.view.errorVisible);
}

TEST(LoadMicPreset, ErrorLabelGoesAwayWithACompletePreset)
{
    PresetRig rig;
    rig.load("mics.dat", "Empty");
    ASSERT_TRUE(rig.view.errorVisible);
    rig.load("mics.dat", "S2 N4");
    EXPECT_FALSE(rig.view.errorVisible);
}

TEST(LoadMicPreset, DecimalsFollowTheCalculatorsSeparator)
{
    PresetRig comma(",");
    comma.load("comma.dat", "Comma");
    EXPECT_NEAR(comma.cur().MicSens_dBu, -37.786, 1e-3);
    EXPECT_EQ(comma.text(InputId::MicSens_mV), "10,0");
    EXPECT_EQ(comma.text(InputId::MicSens_dBu), "-37,8");
    EXPECT_FALSE(comma.view.errorVisible);

    // "0.01" reads under a comma as well: a file reads the same everywhere.
    PresetRig commaPoint(",");
    commaPoint.load("mics.dat", "S1 N1");
    EXPECT_NEAR(commaPoint.cur().MicSens_dBu, -37.786, 1e-3);
    EXPECT_EQ(commaPoint.text(InputId::MicSens_mV), "10,0");
    EXPECT_FALSE(commaPoint.view.errorVisible);
}

// Figures from a file pass the overflow guard of typed ones: a figure whose
// volts overflow is refused, named like an unreadable one.
TEST(LoadMicPreset, FiguresThatOverflowAreRefusedAndNamed)
{
    PresetRig rig;
    rig.load("extreme.dat", "Huge");
    EXPECT_EQ(rig.text(InputId::MicMaxLevel_dBSPL), "2147483647"); // no conversion: taken
    EXPECT_EQ(rig.text(InputId::MicSens_dBu), "-200.0");
    EXPECT_EQ(rig.text(InputId::MicSens_mV), "0.0");
    EXPECT_EQ(rig.text(InputId::MicNoise_dBu), "-200.0");
    EXPECT_EQ(rig.text(InputId::MicNoise_uV), "0.0");
    // The state holds what the inputs show: no infinite volts behind a 0.0.
    for (const auto& [field, name] : kFieldNames) {
        EXPECT_TRUE(std::isfinite(rig.cur().*field)) << name;
        EXPECT_TRUE(std::isfinite(rig.calc.fileMic().*field)) << name;
    }
    EXPECT_EQ(rig.cur().MicSens_V, 0);
    EXPECT_TRUE(rig.view.errorVisible);
    EXPECT_EQ(rig.view.errorDetails,
              (std::vector<std::string>{"No sensitivity figure", "No self-noise figure",
                                        "Sens_dBu = \"2147483647\": out of range",
                                        "Noise_dBu = \"2147483647\": out of range"}));
    EXPECT_TRUE(rig.calc.handlersAttached());
}

TEST(LoadMicPreset, WithoutAnOpenFileChangesNothing)
{
    PresetRig rig;
    rig.in(InputId::MicSens_dBu).setText("-33"); // a working value of its own
    const auto before = rig.inputs;
    rig.presets.LoadMicPreset("S2 N4");
    EXPECT_EQ(rig.presets.MicPresetName(), "");
    EXPECT_EQ(rig.view.calls, 0);
    EXPECT_EQ(rig.cur().MicSens_dBu, -33);
    for (size_t i = 0; i < kInputCount; ++i) EXPECT_EQ(rig.inputs[i].writes, before[i].writes);
    EXPECT_TRUE(rig.analog.chosen);
}

TEST(LoadMicPreset, AfterTheFileWasDeletedChangesNothing)
{
    TempDir dir;
    const auto path = dir.path / "mics.dat";
    std::filesystem::copy_file(dataFile("mics.dat"), path);
    PresetRig rig;
    rig.presets.OpenMicSetFile(path.string());
    rig.presets.LoadMicPreset("S2 N4");
    std::filesystem::remove(path);
    rig.in(InputId::MicMaxLevel_dBSPL).setFloatValue(99);
    const int calls = rig.view.calls;
    const TMicParams cur = rig.cur();

    rig.presets.LoadMicPreset("D1");
    EXPECT_EQ(rig.presets.MicPresetName(), "S2 N4");
    EXPECT_EQ(rig.view.calls, calls);
    EXPECT_EQ(rig.cur().MicMaxLevel_dBSPL, cur.MicMaxLevel_dBSPL);
    EXPECT_EQ(rig.cur().MicNoise_dBSPL_ITU, cur.MicNoise_dBSPL_ITU);
    EXPECT_EQ(rig.text(InputId::MicMaxLevel_dBSPL), "99");
    EXPECT_TRUE(rig.analog.chosen);
}

TEST(LoadMicPreset, EnablesPrevAndNextFromTheSelection)
{
    struct Case {
        int count, index;
        bool prev, next;
    };
    const Case cases[] = {
        {1, 0, false, false}, {3, 0, false, true}, {3, 1, true, true},
        {3, 2, true, false},  {0, -1, false, false}, {3, -1, false, true},
    };
    for (const Case& c : cases) {
        PresetRig rig;
        rig.presets.OpenMicSetFile(dataFile("mics.dat"));
        rig.view.items.resize(static_cast<size_t>(c.count), "S2 N4");
        rig.view.index = c.index;
        rig.presets.LoadMicPreset("S2 N4");
        EXPECT_EQ(rig.view.prevEnabled, c.prev) << c.count << " presets, index " << c.index;
        EXPECT_EQ(rig.view.nextEnabled, c.next) << c.count << " presets, index " << c.index;
    }
}

TEST(OpenMicSetFile, ListsThePresetsAndSelectsTheFirstWithoutLoading)
{
    PresetRig rig;
    rig.view.items = {"old"};
    rig.presets.OpenMicSetFile(dataFile("mics.dat"));
    EXPECT_EQ(rig.presets.MicSetFile(), dataFile("mics.dat"));
    ASSERT_EQ(rig.view.items.size(), 13u);
    EXPECT_EQ(rig.view.items.front(), "S2 N4");
    EXPECT_EQ(rig.view.items.back(), "Empty");
    EXPECT_EQ(rig.view.index, 0);
    // With the preset feature off (the default), the change handler loads nothing.
    EXPECT_EQ(rig.presets.MicPresetName(), "");
    EXPECT_EQ(rig.view.captionUpdates, 0);
    for (const FakeInput& in : rig.inputs) EXPECT_EQ(in.writes, 0);
    // "<" and ">" are not touched.
    EXPECT_TRUE(rig.view.prevEnabled);
    EXPECT_TRUE(rig.view.nextEnabled);
}

TEST(OpenMicSetFile, FileWithoutSectionsOpensNothing)
{
    PresetRig rig;
    rig.presets.OpenMicSetFile(dataFile("empty.dat"));
    EXPECT_EQ(rig.presets.MicSetFile(), "");
    EXPECT_TRUE(rig.view.items.empty());
    EXPECT_EQ(rig.view.index, -1);
    EXPECT_EQ(rig.view.problemPath, dataFile("empty.dat"));
}

// Names that differ only in letter case load the same section: listed once.
TEST(OpenMicSetFile, SectionsDifferingInLetterCaseAreListedOnce)
{
    PresetRig rig;
    rig.presets.OpenMicSetFile(dataFile("dup.dat"));
    EXPECT_EQ(rig.view.items, (std::vector<std::string>{"Dup", "Other", "\u00D6l"}));
}

TEST(OpenMicSetFile, MissingFileChangesNothingButSaysWhy)
{
    PresetRig rig;
    rig.presets.OpenMicSetFile(dataFile("mics.dat"));
    EXPECT_EQ(rig.view.problemPath, "");
    const int calls = rig.view.calls;
    rig.presets.OpenMicSetFile(dataFile("missing.dat"));
    EXPECT_EQ(rig.view.problemPath, dataFile("missing.dat"));
    EXPECT_EQ(rig.view.problemReason, "No such file or directory");
    rig.presets.OpenMicSetFile(PRESETS_TEST_DATA); // a folder is no file
    EXPECT_EQ(rig.view.problemPath, PRESETS_TEST_DATA);
    EXPECT_EQ(rig.view.problemReason, "It is a folder, not a file");
    EXPECT_EQ(rig.presets.MicSetFile(), dataFile("mics.dat"));
    EXPECT_EQ(rig.view.calls, calls);
    EXPECT_EQ(rig.view.items.size(), 13u);

    rig.presets.OpenMicSetFile(dataFile("mics.dat")); // a good file hides the line again
    EXPECT_EQ(rig.view.problemPath, "");
    EXPECT_EQ(rig.view.problemReason, "");
}

// Files that exist but list nothing say why, and open nothing.
TEST(OpenMicSetFile, FilesThatListNothingSayWhy)
{
    TempDir dir;
    const auto tooMany = dir.path / "many.dat";
    {
        std::ofstream out(tooMany, std::ios::binary);
        for (std::size_t i = 0; i <= PresetController::kMaxListedPresets; ++i) out << "[" << i << "]\n";
    }
    const auto atLimit = dir.path / "limit.dat";
    {
        std::ofstream out(atLimit, std::ios::binary);
        for (std::size_t i = 0; i < PresetController::kMaxListedPresets; ++i) out << "[" << i << "]\n";
    }
    const auto tooLarge = dir.path / "large.dat";
    std::ofstream(tooLarge, std::ios::binary) << std::string(presets::IniFile::kMaxFileBytes + 1, ';');

    struct Case {
        std::filesystem::path file;
        std::size_t listed;
        std::string reason;
    };
    const Case cases[] = {
        {tooMany, 0, "It holds 10001 presets, more than the 10000 the list can show"},
        {atLimit, 10000, ""},
        {tooLarge, 0, "It is larger than 4 MiB, too large for a mic-set file"},
        {dataFile("empty.dat"), 0, "It holds no presets (no section such as [Name])"},
    };
    for (const Case& c : cases) {
        PresetRig rig;
        rig.presets.OpenMicSetFile(c.file.string());
        EXPECT_EQ(rig.view.items.size(), c.listed) << c.file;
        EXPECT_EQ(rig.view.problemReason, c.reason) << c.file;
        EXPECT_EQ(rig.view.problemPath, c.reason.empty() ? "" : c.file.string()) << c.file;
        EXPECT_EQ(rig.presets.MicSetFile(), c.reason.empty() ? c.file.string() : "") << c.file;
    }
}

// With the feature on, choosing a preset loads it and runs the analog/digital
// switch: the inputs of the preset's kind are the enabled ones.
TEST(PresetFeatureOn, OpeningLoadsTheFirstAndStepsLoadTheirPreset)
{
    PresetRig rig;
    rig.presets.setEnabled(true);
    rig.presets.OpenMicSetFile(dataFile("mics.dat"));
    EXPECT_EQ(rig.presets.MicPresetName(), "S2 N4");
    EXPECT_EQ(rig.text(InputId::MicSens_dBu), "-40.0");
    EXPECT_FALSE(rig.view.prevEnabled);
    EXPECT_TRUE(rig.view.nextEnabled);

    rig.presets.btnMicPresetNextClick();
    EXPECT_EQ(rig.presets.MicPresetName(), "S1 N1");
    EXPECT_EQ(rig.text(InputId::MicSens_mV), "10.0");

    const auto at = [&](const char* name) {
        for (std::size_t i = 0; i < rig.view.items.size(); ++i)
            if (rig.view.items[i] == name) return static_cast<int>(i);
        return -1;
    };
    rig.view.index = at("D1"); // chosen in the list
    rig.presets.cbMicPresetsChange();
    EXPECT_EQ(rig.presets.MicPresetName(), "D1");
    EXPECT_TRUE(rig.digital.chosen);
    EXPECT_TRUE(rig.in(InputId::MicSens_dBFS).enabled);
    EXPECT_FALSE(rig.in(InputId::MicSens_dBu).enabled);

    rig.presets.btnMicPresetPrevClick(); // back to an analog preset
    EXPECT_TRUE(rig.analog.chosen);
    EXPECT_FALSE(rig.in(InputId::MicSens_dBFS).enabled);
    EXPECT_TRUE(rig.in(InputId::MicSens_dBu).enabled);
}

TEST(PresetFeatureOn, NavigationStopsAtBothEnds)
{
    PresetRig rig;
    rig.presets.setEnabled(true);
    rig.presets.OpenMicSetFile(dataFile("mics.dat"));
    rig.presets.btnMicPresetPrevClick(); // at the first: nothing happens
    EXPECT_EQ(rig.view.index, 0);
    EXPECT_EQ(rig.presets.MicPresetName(), "S2 N4");
    for (std::size_t i = 1; i < rig.view.items.size(); ++i) rig.presets.btnMicPresetNextClick();
    EXPECT_EQ(rig.view.index, 12);
    EXPECT_EQ(rig.presets.MicPresetName(), "Empty");
    EXPECT_TRUE(rig.view.prevEnabled);
    EXPECT_FALSE(rig.view.nextEnabled);
    const int captions = rig.view.captionUpdates;
    rig.presets.btnMicPresetNextClick(); // at the last: nothing happens
    EXPECT_EQ(rig.view.index, 12);
    EXPECT_EQ(rig.view.captionUpdates, captions);
}

TEST(PresetNavigation, StepsWithinTheList)
{
    struct Case {
        int count, index;
        int afterNext, afterPrev;
    };
    const Case cases[] = {
        {0, -1, -1, -1}, // empty list: neither does anything
        {3, -1, 0, -1},  // nothing selected: ">" selects the first
        {3, 0, 1, 0},  {3, 1, 2, 0}, {3, 2, 2, 1}, {1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PresetRig rig;
        rig.view.items.assign(static_cast<size_t>(c.count), "p");
        rig.view.index = c.index;
        rig.presets.btnMicPresetNextClick();
        EXPECT_EQ(rig.view.index, c.afterNext) << c.count << " presets, index " << c.index;
        rig.view.index = c.index;
        rig.presets.btnMicPresetPrevClick();
        EXPECT_EQ(rig.view.index, c.afterPrev) << c.count << " presets, index " << c.index;
        EXPECT_EQ(rig.view.captionUpdates, 0);
    }
}

TEST(FileActions, OpenAsksForAFileAndOpensItWhenConfirmed)
{
    PresetRig rig;
    rig.presets.ActMicPresetFileOpenExecute(); // cancelled
    EXPECT_EQ(rig.view.openDialogs, 1);
    EXPECT_EQ(rig.presets.MicSetFile(), "");
    EXPECT_TRUE(rig.view.items.empty());

    rig.view.openAnswer = dataFile("mics.dat");
    rig.presets.ActMicPresetFileOpenExecute();
    EXPECT_EQ(rig.presets.MicSetFile(), dataFile("mics.dat"));
    EXPECT_EQ(rig.view.items.size(), 13u);
}

TEST(FileActions, SaveWithoutAnOpenFileAsksAndCreatesNothing)
{
    TempDir dir;
    const auto target = dir.path / "new.dat";
    PresetRig rig;
    rig.presets.ActMicPresetFileSaveExecute(); // cancelled
    EXPECT_EQ(rig.view.saveDialogs, 1);
    EXPECT_EQ(rig.presets.saveDialogFileName(), "");

    rig.view.saveAnswer = target.string();
    rig.presets.ActMicPresetFileSaveExecute();
    EXPECT_EQ(rig.view.saveDialogs, 2);
    EXPECT_EQ(rig.presets.saveDialogFileName(), target.string());
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

TEST(FileActions, SaveWithAnOpenFileAsksNothingAndWritesNothing)
{
    TempDir dir;
    const auto path = dir.path / "mics.dat";
    std::filesystem::copy_file(dataFile("mics.dat"), path);
    const std::string bytes = readBytes(path);
    const auto stamp = std::filesystem::last_write_time(path);

    PresetRig rig;
    rig.presets.OpenMicSetFile(path.string());
    rig.presets.ActMicPresetFileSaveExecute();
    EXPECT_EQ(rig.view.saveDialogs, 0);

    rig.view.saveAnswer = path.string(); // "Save as..." onto the open file
    rig.presets.ActMicPresetFileSaveAsExecute();
    rig.presets.ActMicPresetFileSaveExecute();
    EXPECT_EQ(rig.view.saveDialogs, 1);

    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(path), stamp);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), std::filesystem::directory_iterator()), 1);
}

namespace {

struct NotGivenCase {
    const char* section;
    std::vector<std::pair<InputId, std::string>> texts; // with "." for the decimal separator
    double dynamic, snr;
    std::vector<std::string> details; // empty: the error label stays hidden
};

void PrintTo(const NotGivenCase& c, std::ostream* os) { *os << c.section; }

} // namespace

class NotGiven : public ::testing::TestWithParam<NotGivenCase> {};

// Each preset loads after one that gives every figure: a figure it does not
// give shows its markers, never the earlier microphone's; fractions and
// comments read in both locales; the error label lists what is missing.
TEST_P(NotGiven, ShowsMarkersAndNamesWhatIsMissing)
{
    const NotGivenCase& c = GetParam();
    for (const std::string sep : {".", ","}) {
        SCOPED_TRACE(sep);
        PresetRig rig(sep);
        rig.load("notgiven.dat", "All given");
        ASSERT_FALSE(rig.view.errorVisible);
        ASSERT_EQ(rig.text(InputId::MicNoise_dBSPL), inLocale("27.0", sep)); // A-weighted 16 + 11
        rig.load("notgiven.dat", c.section);
        for (const auto& [id, text] : c.texts) EXPECT_EQ(rig.text(id), inLocale(text, sep)) << inputName(id);
        EXPECT_NEAR(rig.cur().MicDynamic_dB, c.dynamic, 1e-9);
        EXPECT_NEAR(rig.cur().MicSNR_dB_ITU, c.snr, 1e-9);
        EXPECT_EQ(rig.view.errorVisible, !c.details.empty());
        EXPECT_EQ(rig.view.errorDetails, c.details);
        EXPECT_EQ(rig.presets.ParamsErrorDetails(), c.details);
    }
}

using I = InputId;
INSTANTIATE_TEST_SUITE_P(
    Presets, NotGiven,
    ::testing::Values(
        NotGivenCase{"No noise",
                     {{I::MicMaxLevel_dBSPL, "117"}, {I::MicSens_dBV, "-36.0"}, {I::MicNoise_dBu, "-200.0"},
                      {I::MicNoise_dBV, "-200.0"}, {I::MicNoise_uV, "0.0"}, {I::MicNoise_dBSPL, "0.0"}},
                     0, 0, {"No self-noise figure"}},
        NotGivenCase{"No noise, no max",
                     {{I::MicMaxLevel_dBSPL, "0"}, {I::MicSens_mV, "1.9"}, {I::MicNoise_dBu, "-200.0"},
                      {I::MicNoise_dBSPL, "0.0"}},
                     0, 0, {"No self-noise figure", "No maximum level"}},
        NotGivenCase{"No sensitivity",
                     {{I::MicSens_mV, "0.0"}, {I::MicSens_dBu, "-200.0"}, {I::MicSens_dBV, "-200.0"},
                      {I::MicNoise_dBSPL, "20.0"}},
                     110, 74, {"No sensitivity figure"}},
        NotGivenCase{"Unreadable max",
                     {{I::MicMaxLevel_dBSPL, "0"}, {I::MicNoise_dBu, "-120.0"}},
                     0, 80, {"No maximum level", "MaxLevel_dBSPL = \"130 dB\": not a number"}},
        NotGivenCase{"Fractions",
                     {{I::MicMaxLevel_dBSPL, "130"}, {I::MicSens_dBV, "-54.5"}, {I::MicSens_dBu, "-52.3"},
                      {I::MicNoise_dBSPL, "37.5"}},
                     92.5, 56.5, {}},
        // D3 without a maximum level: no dynamic range, not 0 - 41.
        NotGivenCase{"Digital no max",
                     {{I::MicMaxLevel_dBSPL, "0"}, {I::MicSens_dBFS, "-26.0"}, {I::MicNoise_dBFS, "-79.0"}},
                     0, 53, {"No maximum level"}},
        NotGivenCase{"Digital no noise",
                     {{I::MicSens_dBFS, "-37.5"}, {I::MicNoise_dBFS, "-200.0"}, {I::MicNoise_dBSPL, "0.0"}},
                     0, 0, {"No self-noise figure"}},
        NotGivenCase{"Digital no sensitivity",
                     {{I::MicSens_dBFS, "-200.0"}, {I::MicNoise_dBFS, "-90.0"}},
                     90, -110, {"No sensitivity figure"}},
        NotGivenCase{"Digital fractions",
                     {{I::MicMaxLevel_dBSPL, "122"}, {I::MicSens_dBFS, "-37.5"}, {I::MicNoise_dBFS, "-102.5"},
                      {I::MicNoise_dBSPL, "29.0"}},
                     102.5, 65, {}},
        // The refused figure gives way to the next row that applies.
        NotGivenCase{"Overflow",
                     {{I::MicSens_dBV, "-40.0"}, {I::MicSens_dBu, "-37.8"}, {I::MicNoise_dBSPL, "24.0"}},
                     106, 70,
                     {"Sens_dBu = \"2147483647\": out of range", "Noise_dBSPL_ITU = \"2147483647\": out of range"}}),
    sectionTestName<NotGivenCase>);

// A figure that loaded as not given is typed as usual.
TEST(LoadMicPreset, TypingIntoAFigureNotGivenWorksAsUsual)
{
    PresetRig rig;
    rig.load("notgiven.dat", "No noise");
    rig.in(InputId::MicNoise_dBu).setText("-120.0");
    EXPECT_EQ(rig.text(InputId::MicNoise_dBV), "-122.2");
    EXPECT_EQ(rig.text(InputId::MicNoise_uV), "0.8");
    EXPECT_EQ(rig.cur().MicNoise_dBu, -120);
}

namespace {

// A mic-set file of its own, changed while it is open.
struct OpenFileRig {
    TempDir dir;
    std::filesystem::path path = dir.path / "mine.dat";
    PresetRig rig;

    OpenFileRig()
    {
        write("[A]\nSens_dBu=-40\nNoise_dBu=-120\nMaxLevel_dBSPL=130\n[B]\nSens_dBu=-30\n[C]\nSens_dBu=-20\n");
        rig.presets.setEnabled(true);
        rig.presets.OpenMicSetFile(path.string());
    }
    void write(const std::string& text) { std::ofstream(path, std::ios::binary | std::ios::trunc) << text; }
    // Picks preset `index` in the list, as the user does.
    void pick(int index)
    {
        rig.view.index = index;
        rig.presets.cbMicPresetsChange();
    }
    // The list, the caption's name and the figures name one preset.
    void expectInAgreement(const std::string& shownName, const std::string& sens_dBu)
    {
        EXPECT_EQ(rig.presets.MicPresetName(), shownName);
        if (rig.view.index >= 0) {
            EXPECT_EQ(rig.view.items.at(static_cast<size_t>(rig.view.index)), shownName);
        }
        EXPECT_EQ(rig.text(InputId::MicSens_dBu), sens_dBu);
    }
};

} // namespace

TEST(OpenMicSetFile, AFailedOpenKeepsWhatWasOpen)
{
    OpenFileRig f;
    f.pick(1);
    const int captions = f.rig.view.captionUpdates;
    for (const std::string& other : {dataFile("empty.dat"), dataFile("missing.dat"), std::string(PRESETS_TEST_DATA)}) {
        f.rig.presets.OpenMicSetFile(other);
        EXPECT_EQ(f.rig.presets.MicSetFile(), f.path.string()) << other;
        EXPECT_EQ(f.rig.view.items, (std::vector<std::string>{"A", "B", "C"})) << other;
        EXPECT_EQ(f.rig.view.index, 1) << other;
        EXPECT_EQ(f.rig.view.captionUpdates, captions) << other;
        f.expectInAgreement("B", "-30.0");
        EXPECT_EQ(f.rig.view.problemPath, other);
    }
    EXPECT_EQ(f.rig.view.problemReason, "It is a folder, not a file");
    f.rig.presets.OpenMicSetFile(dataFile("empty.dat"));
    EXPECT_EQ(f.rig.view.problemReason, "It holds no presets (no section such as [Name]); the open file stays");
}

// The file changes between listing and picking: the list never names one
// preset while another's figures show, and the problem line says what happened.
TEST(LoadMicPreset, AFileChangedWhileOpenKeepsListCaptionAndFiguresInAgreement)
{
    struct Case {
        const char* what;
        std::function<void(OpenFileRig&)> change;
        std::vector<std::string> items; // the list afterwards
        const char* loaded;             // the preset whose figures show
        const char* sens_dBu;
        std::string reason;
    };
    const std::vector<std::string> abc = {"A", "B", "C"};
    const Case cases[] = {
        {"deleted", [](OpenFileRig& f) { std::filesystem::remove(f.path); }, abc, "A", "-40.0",
         "No such file or directory; nothing was loaded"},
        {"emptied", [](OpenFileRig& f) { f.write(""); }, abc, "A", "-40.0", "It holds no presets now; nothing was loaded"},
        {"grown past the limit",
         [](OpenFileRig& f) { f.write(std::string(presets::IniFile::kMaxFileBytes + 1, ';')); }, abc, "A", "-40.0",
         "It is larger than 4 MiB, too large for a mic-set file; nothing was loaded"},
        {"replaced without B", [](OpenFileRig& f) { f.write("[X]\nSens_dBu=-50\n[A]\n"); }, {"X", "A"}, "A", "-40.0",
         "It changed and holds no preset \"B\" now; its list was read again and nothing was loaded"},
        {"replaced, B kept", [](OpenFileRig& f) { f.write("[b]\nSens_dBu=-25\n[A]\n"); }, {"b", "A"}, "b", "-25.0",
         "It changed since it was listed; its list was read again"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenFileRig f;
        f.expectInAgreement("A", "-40.0");
        c.change(f);
        f.pick(1); // "B" as the list was read
        EXPECT_EQ(f.rig.view.items, c.items);
        f.expectInAgreement(c.loaded, c.sens_dBu);
        EXPECT_EQ(f.rig.view.problemPath, f.path.string());
        EXPECT_EQ(f.rig.view.problemReason, c.reason);
    }
}
