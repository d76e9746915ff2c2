// The shipped microphone library, every preset through the real loader: each
// gives its sensitivity, and its self-noise and maximum level unless its
// comment names them on a "Not given:" line.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "fakes.h"

namespace {

// What the comment lines above each section say is not given.
struct Notes {
    bool hasSource = false;
    bool noNoise = false;
    bool noMaxLevel = false;
};

std::map<std::string, Notes> readNotes(const std::string& path)
{
    std::map<std::string, Notes> notes;
    std::ifstream in(path);
    std::string line, comments;
    while (std::getline(in, line)) {
        if (line.starts_with(';')) {
            comments += line + "\n";
        } else if (line.starts_with('[')) {
            const std::string name = line.substr(1, line.find(']') - 1);
            Notes& n = notes[name];
            n.hasSource = !comments.empty();
            const std::size_t at = comments.find("; Not given:");
            const std::string notGiven = at == std::string::npos ? "" : comments.substr(at);
            n.noNoise = notGiven.find("self-noise") != std::string::npos;
            n.noMaxLevel = notGiven.find("maximum level") != std::string::npos;
            comments.clear();
        } else if (!line.empty()) {
            comments.clear(); // a key line ends the comments of the section above
        }
    }
    return notes;
}

class ShippedLibrary : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedLibrary, EveryPresetGivesItsFiguresOrSaysWhichAreNot)
{
    const std::map<std::string, Notes> notes = readNotes(MIC_LIBRARY);
    PresetRig rig(GetParam());
    rig.presets.OpenMicSetFile(MIC_LIBRARY);
    ASSERT_GE(rig.view.items.size(), 25u);
    ASSERT_EQ(rig.view.items.size(), notes.size());

    for (std::size_t i = 0; i < rig.view.items.size(); ++i) {
        const std::string& name = rig.view.items[i];
        rig.view.index = static_cast<int>(i);
        rig.presets.LoadMicPreset(name);
        const TMicParams& m = rig.cur();
        const Notes& n = notes.at(name);
        EXPECT_TRUE(n.hasSource) << name << ": no comment naming its source";

        const bool sens = m.MicDigital ? m.MicSens_dBFS > -200 : m.MicSens_dBu > -200;
        const bool noise = m.MicDigital ? m.MicNoise_dBFS > -200 : m.MicNoise_dBu > -200;
        const bool maxLevel = m.MicMaxLevel_dBSPL > 0;
        EXPECT_TRUE(sens) << name << ": no sensitivity";
        EXPECT_EQ(noise, !n.noNoise) << name << (noise ? ": self-noise given but" : ": no self-noise and not")
                                     << " named on its Not given line";
        EXPECT_EQ(maxLevel, !n.noMaxLevel) << name << (maxLevel ? ": maximum level given but" : ": no maximum level and not")
                                           << " named on its Not given line";
        if (sens && noise && maxLevel) {
            EXPECT_FALSE(rig.view.errorVisible) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, ShippedLibrary, ::testing::Values(".", ","),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "." ? "Point" : "Comma";
                         });

} // namespace
