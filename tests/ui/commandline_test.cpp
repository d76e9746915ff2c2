// The command line, read without a window: every form a user may type.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/commandline.h"

namespace {

using Action = CommandLine::Action;

struct LineCase {
    const char* what;
    std::vector<std::string> args;
    Action action;
    const char* file;  // nullptr: no file
    const char* error; // start of the message, for Error
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.what; }

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ReadsAsAUserExpects)
{
    const LineCase& c = GetParam();
    const CommandLine cl = parseCommandLine(c.args);
    EXPECT_EQ(cl.action, c.action);
    EXPECT_EQ(cl.hasFile, c.file != nullptr);
    EXPECT_EQ(cl.file, c.file ? c.file : "");
    if (c.action == Action::Error) {
        EXPECT_TRUE(cl.error.starts_with(c.error)) << cl.error;
        EXPECT_EQ(cl.error.find('\n'), std::string::npos) << "one line";
        EXPECT_EQ(exitStatus(cl.action), 2);
    } else {
        EXPECT_EQ(cl.error, "");
        EXPECT_EQ(exitStatus(cl.action), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        LineCase{"none", {}, Action::Run, nullptr, ""},
        LineCase{"a file", {"mics.dat"}, Action::Run, "mics.dat", ""},
        // A missing file or a folder is the window's to report: the command line is fine.
        LineCase{"a missing file", {"/no/such/file.dat"}, Action::Run, "/no/such/file.dat", ""},
        LineCase{"a folder", {"/tmp"}, Action::Run, "/tmp", ""},
        LineCase{"help", {"--help"}, Action::Help, nullptr, ""},
        LineCase{"version", {"--version"}, Action::Version, nullptr, ""},
        LineCase{"help wins over a file", {"a.dat", "--help"}, Action::Help, nullptr, ""},
        LineCase{"an unknown long option", {"--bogus"}, Action::Error, nullptr, "phonolith: unrecognized option '--bogus'"},
        LineCase{"an unknown short option", {"-x", "a.dat"}, Action::Error, nullptr, "phonolith: invalid option '-x'"},
        LineCase{"two files", {"a.dat", "b.dat"}, Action::Error, nullptr, "phonolith: extra operand 'b.dat'"},
        LineCase{"a file after --", {"--", "--help"}, Action::Run, "--help", ""},
        LineCase{"a lone dash is a file", {"-"}, Action::Run, "-", ""},
        LineCase{"the toolkit's options pass", {"-platform", "offscreen", "a.dat", "-reverse"}, Action::Run, "a.dat", ""},
        LineCase{"the toolkit's options with two dashes", {"--platform", "offscreen", "--reverse", "a.dat"}, Action::Run,
                 "a.dat", ""},
        LineCase{"a toolkit option with its value attached", {"-style=fusion", "--qmljsdebugger=port:1", "a.dat"},
                 Action::Run, "a.dat", ""},
        LineCase{"an option the toolkit reads only apart from its value", {"-platform=offscreen"}, Action::Error, nullptr,
                 "phonolith: invalid option '-platform=offscreen'"},
        LineCase{"an unknown option with a value attached", {"--bogus=1"}, Action::Error, nullptr,
                 "phonolith: unrecognized option '--bogus=1'"},
        LineCase{"a toolkit option without its value", {"-style"}, Action::Error, nullptr,
                 "phonolith: option '-style' requires an argument"}),
    [](const ::testing::TestParamInfo<LineCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// --chain goes with a file or without, before or after it; after "--" it is a file.
TEST(CommandLineChain, AsksForTheSignalChain)
{
    struct Case {
        std::vector<std::string> args;
        bool chain;
        const char* file;
    };
    for (const Case& c : {Case{{}, false, nullptr}, Case{{"--chain"}, true, nullptr},
                          Case{{"--chain", "a.dat"}, true, "a.dat"}, Case{{"a.dat", "--chain"}, true, "a.dat"},
                          Case{{"--", "--chain"}, false, "--chain"}, Case{{"a.dat"}, false, "a.dat"}}) {
        const CommandLine cl = parseCommandLine(c.args);
        EXPECT_EQ(cl.action, Action::Run);
        EXPECT_EQ(cl.chain, c.chain) << testing::PrintToString(c.args);
        EXPECT_EQ(cl.hasFile, c.file != nullptr);
        EXPECT_EQ(cl.file, c.file ? c.file : "");
    }
    EXPECT_EQ(parseCommandLine({"--chain", "a.dat", "b.dat"}).action, Action::Error);
}

TEST(CommandLineTexts, UsageAndVersionSayWhatTheyShould)
{
    const std::string usage = usageText();
    EXPECT_TRUE(usage.starts_with("Usage: phonolith [OPTION]... [FILE]\n"));
    for (const char* want : {"--chain", "--help", "--version", "microphones.dat"})
        EXPECT_NE(usage.find(want), std::string::npos) << want;
    EXPECT_TRUE(versionText().starts_with("phonolith (Phonolith) " PHONOLITH_VERSION "\n"));
}

} // namespace
