// The command line, read without a window: every form a user may type.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "casename.h"
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
    [](const ::testing::TestParamInfo<LineCase>& info) { return caseName(info.param.what); });

// A style sheet option names a file the toolkit reads whole at start-up: it
// must be a regular, readable file of at most 1 MiB, in every form of the
// option, or the program stops at once with the path and the reason.
struct SheetCase {
    const char* what;
    const char* file; // in the test's folder; "/..." as it is
    const char* reason; // nullptr: accepted
};

void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.what; }

class StyleSheetTest : public ::testing::TestWithParam<SheetCase> {
protected:
    static void SetUpTestSuite()
    {
        namespace fs = std::filesystem;
        dir = fs::temp_directory_path() / ("phonolith-sheets-" + std::to_string(::getpid()));
        fs::create_directories(dir / "folder");
        std::ofstream(dir / "plain.qss") << "QWidget { color: black; }\n";
        std::ofstream(dir / "empty.qss");
        std::ofstream(dir / "1MiB.qss") << std::string(1024 * 1024, ' ');
        std::ofstream(dir / "over.qss") << std::string(1024 * 1024 + 1, ' ');
        std::ofstream(dir / "locked.qss") << "QWidget {}\n";
        fs::permissions(dir / "locked.qss", fs::perms::none);
        ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
        fs::create_symlink(dir / "plain.qss", dir / "link.qss");
        fs::create_symlink(dir / "nowhere.qss", dir / "dangling.qss");
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir); }
    static std::string path(const char* file)
    {
        return file[0] == '/' || file[0] == '\0' ? std::string(file) : (dir / file).string();
    }
    static std::filesystem::path dir;
};
std::filesystem::path StyleSheetTest::dir;

TEST_P(StyleSheetTest, OnlyAReadableFileOfAtMostOneMiB)
{
    const SheetCase& c = GetParam();
    if (std::string(c.what) == "unreadable" && ::geteuid() == 0) GTEST_SKIP() << "root reads any file";
    const std::string file = path(c.file);
    const std::vector<std::vector<std::string>> forms = {
        {"-stylesheet", file}, {"--stylesheet", file}, {"-stylesheet=" + file}, {"--stylesheet=" + file}};
    for (const std::vector<std::string>& form : forms) {
        std::vector<std::string> args = form;
        args.push_back("mics.dat");
        const CommandLine cl = parseCommandLine(args);
        if (!c.reason) {
            EXPECT_EQ(cl.action, Action::Run) << form[0] << ": " << cl.error;
            EXPECT_EQ(cl.file, "mics.dat");
            continue;
        }
        EXPECT_EQ(cl.action, Action::Error) << form[0];
        EXPECT_EQ(exitStatus(cl.action), 2);
        EXPECT_EQ(cl.error, "phonolith: style sheet '" + file + "': " + c.reason) << form[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, StyleSheetTest,
    ::testing::Values(SheetCase{"plain", "plain.qss", nullptr}, SheetCase{"empty", "empty.qss", nullptr},
                      SheetCase{"exactly 1 MiB", "1MiB.qss", nullptr}, SheetCase{"link", "link.qss", nullptr},
                      SheetCase{"over 1 MiB", "over.qss", "It is larger than 1 MiB, too large for a style sheet"},
                      SheetCase{"missing", "missing.qss", "No such file or directory"},
                      SheetCase{"dangling link", "dangling.qss", "No such file or directory"},
                      SheetCase{"folder", "folder", "It is a folder, not a file"},
                      SheetCase{"FIFO", "fifo", "It is not a regular file"},
                      SheetCase{"endless device", "/dev/zero", "It is not a regular file"},
                      SheetCase{"unreadable", "locked.qss", "Permission denied"},
                      SheetCase{"no name", "", "No file name"}),
    [](const ::testing::TestParamInfo<SheetCase>& info) { return caseName(info.param.what); });

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
