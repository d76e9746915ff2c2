#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes.h"
#include "presets/inifile.h"
#include "presets/textdecode.h"

using presets::IniFile;

namespace {

std::optional<std::string> valueIn(const std::string& text, const char* section, const char* key)
{
    return IniFile::parse(text).value(section, key);
}

} // namespace

TEST(IniLookup, DropsBlanksAndOneMatchingPairOfQuotes)
{
    struct Case {
        const char* line;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"k=v", "v"},
        {" \t\vk \t= \v v w \t", "v w"},
        {"k=\"  quoted  \"", "  quoted  "},
        {"k='single'", "single"},
        {"k=\"mismatched'", "\"mismatched'"},
        {"k='", "'"},
        {"k=\"\"", ""},
        {"k=\"\"x\"\"", "\"x\""},
        {"k=  \" a \"  ", " a "},
        {"k=", ""},
        {"k=a=b", "a=b"},
        {"k=v ; no end-of-line comments", "v ; no end-of-line comments"},
        {"k", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueIn(std::string("[s]\n") + c.line + "\n", "s", "k"), c.value) << c.line;
}

TEST(IniLookup, NamesMatchWithoutRegardToCase)
{
    const IniFile ini = IniFile::parse("[AKG C414]\nSens_dBu=-40\n");
    EXPECT_EQ(ini.value("akg c414", "SENS_DBU"), "-40");
    EXPECT_EQ(ini.value("AKG C414", "sens_dbu"), "-40");
    EXPECT_EQ(ini.value("AKG C41", "Sens_dBu"), std::nullopt);
    EXPECT_EQ(ini.value("AKG C414", "Sens_dB"), std::nullopt);
}

TEST(IniLookup, CutsLongValuesTo2047Characters)
{
    const std::string longValue(3000, 'x');
    EXPECT_EQ(valueIn("[s]\nk=" + longValue, "s", "k"), std::string(2047, 'x'));
    EXPECT_EQ(valueIn("[s]\nk=\"" + longValue + "\"", "s", "k"), std::string(2047, 'x'));
    EXPECT_EQ(valueIn("[s]\nk=" + std::string(2047, 'y'), "s", "k"), std::string(2047, 'y'));
    // Characters, not bytes: a two-byte letter counts once and is never split.
    std::string umlauts;
    for (int i = 0; i < 2100; ++i) umlauts += "\xc3\xb6";
    const auto cut = valueIn("[s]\nk=" + umlauts, "s", "k");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), 2 * 2047u);
}

TEST(IniFile, OddLinesBehaveAsTheWindowsReader)
{
    const IniFile ini = IniFile::load(dataFile("odd_lines.dat"));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Lookup", "lookup", "Lookup"}));
    EXPECT_EQ(ini.value("Lookup", "Sens_dBu"), "-40");  // the first of two wins, not the repeated section's
    EXPECT_EQ(ini.value("Lookup", "MaxLevel_dBSPL"), std::nullopt); // only in the repeated section
    EXPECT_EQ(ini.value("Lookup", "#MaxLevel_dBSPL"), "1");         // '#' is data
    EXPECT_EQ(ini.value("Lookup", "Type"), "Shotgun ; not a comment");
    EXPECT_EQ(ini.value("Lookup", ""), "empty name");
    EXPECT_EQ(ini.value("Lookup", "PolarPattern"), "Super cardioid");
    EXPECT_EQ(ini.value("Lookup", "a line without an equals sign"), std::nullopt);
    EXPECT_EQ(ini.value("Lookup", "Noise_dBu"), std::nullopt); // "[Lookup" repeats the section
    EXPECT_EQ(ini.value("", "Sens_dBu"), std::nullopt);        // keys before the first header
}

TEST(IniFile, HeaderWithoutClosingBracketRunsToTheEndOfTheLine)
{
    // A mistyped "[B" still opens B: its keys do not fall to the preset above.
    struct Case {
        const char* header;
        const char* name;
    };
    const Case cases[] = {
        {"[B", "B"},
        {"[SectionName   ", "SectionName"},
        {"  [ Two words \t\v", "Two words"},
        {"[B=1", "B=1"},
        {"[", ""},
        {"[B] after", "B"},
        {"[B]]", "B"},
        {"[[B]", "[B"},
    };
    for (const Case& c : cases) {
        const IniFile ini = IniFile::parse(std::string("[A]\nk=a\n") + c.header + "\r\nk=b\nonly=b\n");
        EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"A", c.name})) << c.header;
        EXPECT_EQ(ini.value("A", "k"), "a") << c.header;
        EXPECT_EQ(ini.value("A", "only"), std::nullopt) << c.header;
        EXPECT_EQ(ini.value(c.name, "only"), "b") << c.header;
    }
}

TEST(IniLookup, SeveralKeysInOnePassAnswerAsSingleLookups)
{
    const IniFile ini = IniFile::parse("[Other]\nType=other\n"
                                       "[Mic]\nsens_dbu=-40\nType=\"Tube\"\nSens_dBu=-41\n=blank\n"
                                       "[mic]\nZout=200\n");
    const std::string_view keys[] = {"Zout", "Sens_dBu", "Type", "Missing", "", "TYPE"};
    const auto found = ini.values("MIC", keys);
    ASSERT_EQ(found.size(), std::size(keys));
    for (std::size_t i = 0; i < found.size(); ++i) EXPECT_EQ(found[i], ini.value("MIC", keys[i])) << keys[i];
    EXPECT_EQ(found, (std::vector<std::optional<std::string>>{std::nullopt, "-40", "Tube", std::nullopt, "blank",
                                                              "Tube"}));
    EXPECT_EQ(ini.values("Absent", keys), std::vector<std::optional<std::string>>(std::size(keys)));
    EXPECT_TRUE(ini.values("Mic", {}).empty());
}

TEST(IniFile, AllLineEndsWork)
{
    const IniFile ini = IniFile::load(dataFile("line_ends.dat"));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"CRLF", "LF", "CR", "Last"}));
    EXPECT_EQ(ini.value("CRLF", "Sens_dBu"), "-41");
    EXPECT_EQ(ini.value("LF", "Sens_dBu"), "-42");
    EXPECT_EQ(ini.value("CR", "Sens_dBu"), "-43");
    EXPECT_EQ(ini.value("Last", "Sens_dBu"), "-44");
}

TEST(IniFile, LineEndsInAnyMix)
{
    const IniFile ini = IniFile::parse("[A]\n[B]\r[C]\n\n[D]\r\r[E]\r\n[F]\n\r[G]\r\n\r\n[H]\r\r\n[I]");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G", "H", "I"}));
    const IniFile keys = IniFile::parse("[M]\rk=1\n\rj=2\r\r\nl=3");
    EXPECT_EQ(keys.value("M", "k"), "1");
    EXPECT_EQ(keys.value("M", "j"), "2");
    EXPECT_EQ(keys.value("M", "l"), "3");
}

TEST(IniFile, ListsEverySectionInFileOrder)
{
    std::string text;
    std::vector<std::string> expected;
    for (int i = 5000; i > 0; --i) {
        text += "[Mic " + std::to_string(i) + "]\nMaxLevel_dBSPL=" + std::to_string(i) + "\n";
        expected.push_back("Mic " + std::to_string(i));
    }
    text += "[Mic 7]\n[]\n[ ]\n";
    expected.insert(expected.end(), {"Mic 7", "", ""});
    EXPECT_EQ(IniFile::parse(text).sectionNames(), expected);
}

TEST(IniFile, ReadsEachEncoding)
{
    const IniFile utf16 = IniFile::load(dataFile("utf16le_bom.dat"));
    EXPECT_EQ(utf16.sectionNames(), (std::vector<std::string>{"Sch\xc3\xb6ps\xc2\xa0M", "Second"}));
    EXPECT_EQ(utf16.value("SCH\xc3\x96PS\xc2\xa0m", "type"), "R\xc3\xb6hre \xe2\x82\xac");
    EXPECT_EQ(utf16.value("Second", "Sens_dBu"), "-40");

    // The mark does not become part of the first section's name.
    const IniFile utf8 = IniFile::load(dataFile("utf8_bom.dat"));
    EXPECT_EQ(utf8.value("First", "Sens_dBu"), "-40");
    EXPECT_EQ(utf8.value("Zweite", "Type"), "Kugel \xe2\x80\x93 Niere");

    const IniFile cp1252 = IniFile::load(dataFile("cp1252.dat"));
    EXPECT_EQ(cp1252.sectionNames(), std::vector<std::string>{"Sch\xc3\xb6ps"});
    EXPECT_EQ(cp1252.value("Sch\xc3\xb6ps", "Type"), "R\xc3\xb6hre \xe2\x82\xac \xe2\x80\x9cNiere\xe2\x80\x9d");
    EXPECT_EQ(cp1252.value("Sch\xc3\xb6ps", "MaxLevel_dBSPL"), "130");

    // Big-endian UTF-16 lists its sections as the little-endian file does.
    std::string be = "\xfe\xff";
    for (char c : std::string("[A]\r\nSens_dBu=-40\r\n[B]\r\n")) be += std::string{'\0', c};
    const IniFile utf16be = IniFile::parse(be);
    EXPECT_EQ(utf16be.sectionNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(utf16be.value("A", "Sens_dBu"), "-40");

    // A doubled mark, or files joined with their marks, hide no line.
    const IniFile marks = IniFile::parse("\xef\xbb\xbf\xef\xbb\xbf[First]\nk=1\n\xef\xbb\xbf[Second]\n\xef\xbb\xbfk=2\n");
    EXPECT_EQ(marks.sectionNames(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(marks.value("First", "k"), "1");
    EXPECT_EQ(marks.value("Second", "k"), "2");
}

TEST(IniFile, DamagedFilesGiveWhatTheyCanAndNeverFail)
{
    // Cut inside a UTF-16 character: the complete lines still read.
    const IniFile cut = IniFile::load(dataFile("utf16le_truncated.dat"));
    EXPECT_EQ(cut.sectionNames(), (std::vector<std::string>{"First", "Cut"}));
    EXPECT_EQ(cut.value("First", "MaxLevel_dBSPL"), "120");
    EXPECT_EQ(cut.value("Cut", "Type"), "ab\xef\xbf\xbd");

    // Binary junk, then a clean section.
    const IniFile junk = IniFile::load(dataFile("junk.bin"));
    EXPECT_EQ(junk.value("Tail", "Sens_dBu"), "-40");

    EXPECT_TRUE(IniFile::load(dataFile("empty.dat")).sectionNames().empty());
    EXPECT_TRUE(IniFile::load(dataFile("missing.dat")).sectionNames().empty());
    EXPECT_TRUE(IniFile::load(PRESETS_TEST_DATA).sectionNames().empty()); // a folder
    EXPECT_TRUE(IniFile::load("").sectionNames().empty());
    std::string problem;
    IniFile::load(dataFile("missing.dat"), &problem);
    EXPECT_EQ(problem, "No such file or directory");
    IniFile::load(PRESETS_TEST_DATA, &problem);
    EXPECT_EQ(problem, "It is a folder, not a file");
    IniFile::load("/dev/null", &problem);
    EXPECT_EQ(problem, "It is not a regular file");
    IniFile::load("", &problem);
    EXPECT_EQ(problem, "No file name");
    IniFile::load(dataFile("mics.dat"), &problem);
    EXPECT_EQ(problem, "");

    // A NUL ends its line ("[A" opens A).
    const IniFile nul = IniFile::parse(std::string("[A\0B]\n[C]\nk=v\0w\n", 17));
    EXPECT_EQ(nul.sectionNames(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(nul.value("C", "k"), "v");
    // A header cut by a NUL before its name and its ']' lists no empty name;
    // its keys stay with the section above, whose own keys come first.
    const IniFile cutHeader = IniFile::parse(std::string("[A]\nk=1\n[\0]\nk=2\nj=3\n[B]\n", 24));
    EXPECT_EQ(cutHeader.sectionNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(cutHeader.value("A", "k"), "1");
    EXPECT_EQ(cutHeader.value("A", "j"), "3");
    EXPECT_TRUE(IniFile::parse(std::string("[\0]", 3)).sectionNames().empty());
    EXPECT_TRUE(IniFile::parse(std::string(" [ \0 ]\r\n", 8)).sectionNames().empty());
}

TEST(IniFile, ListsUtf16WithoutItsMark)
{
    // Saved as UTF-16 by a tool that writes no byte-order mark, or with a
    // UTF-8 mark before the UTF-16 one: the sections list as in the marked file.
    const std::string text = "[A]\r\nSens_dBu=-40\r\n[B]\r\n";
    std::string le, be;
    for (char c : text) {
        le += std::string{c, '\0'};
        be += std::string{'\0', c};
    }
    for (const std::string& bytes : {le, be, "\xef\xbb\xbf\xff\xfe" + le, "\xef\xbb\xbf" + be}) {
        const IniFile ini = IniFile::parse(bytes);
        EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"A", "B"}));
        EXPECT_EQ(ini.value("A", "Sens_dBu"), "-40");
    }
}

TEST(IniFile, TooLargeFileReadsAsEmpty)
{
    TempDir dir;
    const auto path = dir.path / "huge.dat";
    {
        std::ofstream out(path, std::ios::binary);
        out << "[First]\nSens_dBu=-40\n";
    }
    EXPECT_EQ(IniFile::load(path).value("First", "Sens_dBu"), "-40");
    std::filesystem::resize_file(path, IniFile::kMaxFileBytes + 1); // sparse: no real space used
    EXPECT_TRUE(IniFile::load(path).sectionNames().empty());
}

TEST(IniFile, RandomBytesNeverFail)
{
    // The same reader gives a valid file's value in each of the three
    // encodings the random texts start with.
    const std::string valid = "[Mic]\nk=v\n";
    std::string utf16 = "\xff\xfe";
    for (const char c : valid) utf16 += {c, '\0'};
    for (const std::string& text : {valid, "\xef\xbb\xbf" + valid, utf16})
        EXPECT_EQ(IniFile::parse(text).value("Mic", "k"), std::optional<std::string>("v")) << testing::PrintToString(text);

    // Bytes drawn mostly from the characters the reader acts on, with and
    // without the byte-order marks; whatever is read must be sound text.
    int sectionsRead = 0, valuesRead = 0;
    const std::string alphabet = std::string("[]=;'\" \t\v\r\nkK\xff\xfe\xef\xbb\xbf\xc3\xb6\x80\xd8\xdc") + '\0';
    std::mt19937 rng(6);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        if (round % 3 == 0) bytes = "\xff\xfe";
        if (round % 3 == 1) bytes = "\xef\xbb\xbf";
        const size_t length = rng() % 200;
        for (size_t i = 0; i < length; ++i) bytes += alphabet[rng() % alphabet.size()];
        const IniFile ini = IniFile::parse(bytes);
        for (const std::string& name : ini.sectionNames()) {
            ++sectionsRead;
            EXPECT_TRUE(presets::isValidUtf8(name));
            for (const char* key : {"k", "K", ""}) {
                const auto v = ini.value(name, key);
                if (v) {
                    ++valuesRead;
                    EXPECT_TRUE(presets::isValidUtf8(*v));
                }
            }
        }
    }
    // The random texts reach the checks above: many hold sections and values.
    EXPECT_GT(sectionsRead, 300);
    EXPECT_GT(valuesRead, 30);
}
