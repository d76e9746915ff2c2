#include <gtest/gtest.h>

#include "presets/textdecode.h"

using namespace presets;

TEST(DecodeFileText, ChoosesTheEncodingFromTheBytes)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string utf8;
    };
    const Case cases[] = {
        {"plain ASCII", "[A]\nk=v", "[A]\nk=v"},
        {"UTF-8 kept", "Type=R\xc3\xb6hre", "Type=R\xc3\xb6hre"},
        {"UTF-8 mark skipped", "\xef\xbb\xbf[A]", "[A]"},
        {"windows-1252 fallback", "R\xf6hre \x80\x93", "R\xc3\xb6hre \xe2\x82\xac\xe2\x80\x9c"},
        {"unassigned 1252 byte", "\x81", "\xc2\x81"},
        {"overlong UTF-8 is not UTF-8", "\xc0\xaf", "\xc3\x80\xc2\xaf"},
        {"encoded surrogate is not UTF-8", "\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},
        {"UTF-16LE", std::string("\xff\xfe[\0A\0]\0", 8), "[A]"},
        {"UTF-16LE pair", std::string("\xff\xfe\x3c\xd8\xa4\xdf", 6), "\xf0\x9f\x8e\xa4"},
        {"UTF-16LE lone surrogate", std::string("\xff\xfe\x3c\xd8" "x\0", 6), "\xef\xbf\xbdx"},
        {"UTF-16LE odd byte dropped", std::string("\xff\xfe" "A\0B", 5), "A"},
        {"UTF-16LE mark only", "\xff\xfe", ""},
        {"UTF-16BE", std::string("\xfe\xff\0[\0A\0]", 8), "[A]"},
        {"UTF-16BE pair", std::string("\xfe\xff\xd8\x3c\xdf\xa4", 6), "\xf0\x9f\x8e\xa4"},
        {"UTF-16BE odd byte dropped", std::string("\xfe\xff\0A\0", 5), "A"},
        {"one windows-1252 line among UTF-8 ones",
         "[Mikrofon \xc3\x9c]\r\nType=R\xf6hre\n[\xc3\x9c" "2]\rk=\xe2\x80\x93",
         "[Mikrofon \xc3\x9c]\r\nType=R\xc3\xb6hre\n[\xc3\x9c" "2]\rk=\xe2\x80\x93"},
        {"a 1252 last line without its end", "[\xc3\x9c]\n\xdc", "[\xc3\x9c]\n\xc3\x9c"},
        {"UTF-16LE without a mark", std::string("[\0A\0]\0\r\0\n\0k\0=\0v\0", 16), "[A]\r\nk=v"},
        {"UTF-16BE without a mark", std::string("\0[\0A\0]\0\n\0k", 10), "[A]\nk"},
        {"UTF-16LE without a mark, a Cyrillic name among ASCII keys",
         std::string("[\0\x1c\x04]\0\n\0k\0=\0\x31\0\n\0", 16), "[\xd0\x9c]\nk=1\n"},
        {"UTF-8 mark, then UTF-16LE with its mark", std::string("\xef\xbb\xbf\xff\xfe[\0A\0]\0", 11), "[A]"},
        {"UTF-8 mark, then UTF-16BE with its mark", std::string("\xef\xbb\xbf\xfe\xff\0[\0A\0]", 11), "[A]"},
        {"UTF-8 mark, then UTF-16LE without a mark", std::string("\xef\xbb\xbf[\0A\0]\0", 9), "[A]"},
        {"a few NUL bytes are damage, not UTF-16", std::string("[A]\0\nk=1\0\n", 10), std::string("[A]\0\nk=1\0\n", 10)},
        {"NUL bytes on both sides are no UTF-16", std::string(4, '\0'), std::string(4, '\0')},
        {"an odd length is no UTF-16", std::string("[\0]", 3), std::string("[\0]", 3)},
        {"half the pairs with a NUL are no UTF-16", std::string("[\0]\n", 4), std::string("[\0]\n", 4)},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        const std::string out = decodeFileText(c.bytes);
        EXPECT_EQ(out, c.utf8) << c.what;
        EXPECT_TRUE(isValidUtf8(out)) << c.what;
    }
}

// ASCII is skipped eight bytes at a time: a non-ASCII byte or sequence at
// any place in or across such a word decodes as it does alone.
TEST(DecodeFileText, NonAsciiAtEveryPlaceOfAWord)
{
    struct Piece {
        std::string bytes, utf8;
    };
    const Piece pieces[] = {
        {"\xf6", "\xc3\xb6"},             // windows-1252
        {"\x80", "\xe2\x82\xac"},         // windows-1252 from the 0x80 row
        {"\xc3\xb6", "\xc3\xb6"},         // UTF-8 kept
        {"\xe2\x82\xac", "\xe2\x82\xac"}, // UTF-8 of three bytes
    };
    for (const Piece& p : pieces) {
        for (std::size_t before = 0; before <= 17; ++before) {
            for (std::size_t after : {0, 1, 7, 8, 9}) {
                const std::string head(before, 'a'), tail(after, 'b');
                EXPECT_EQ(decodeFileText(head + p.bytes + tail), head + p.utf8 + tail)
                    << before << " bytes before, " << after << " after";
            }
        }
    }
    // A 1252 byte far behind valid UTF-8 makes the whole file 1252.
    const std::string head(100, 'a');
    EXPECT_EQ(decodeFileText("\xc3\xb6" + head + "\xf6"), "\xc3\x83\xc2\xb6" + head + "\xc3\xb6");
}

TEST(EqualsIgnoreCase, MatchesLettersOfAnyCase)
{
    EXPECT_TRUE(equalsIgnoreCase("Sens_dBu", "SENS_DBU"));
    EXPECT_TRUE(equalsIgnoreCase("sch\xc3\xb6ps", "SCH\xc3\x96PS"));           // o/O umlaut
    EXPECT_TRUE(equalsIgnoreCase("\xd0\x9c\xd0\x9a", "\xd0\xbc\xd0\xba"));     // Cyrillic
    EXPECT_TRUE(equalsIgnoreCase("", ""));
    EXPECT_FALSE(equalsIgnoreCase("Sens_dBu", "Sens_dBu "));
    EXPECT_FALSE(equalsIgnoreCase("Sens_dBu", "Sens_dBV"));
    EXPECT_FALSE(equalsIgnoreCase("\xc3\x97", "\xc3\xb7")); // multiplication and division signs
    EXPECT_TRUE(equalsIgnoreCase("a\xff", "A\xff"));        // stray bytes compare as themselves
    EXPECT_FALSE(equalsIgnoreCase("a\xff", "a\xfe"));
}

TEST(Utf8Prefix, CutsWholeCharacters)
{
    EXPECT_EQ(utf8Prefix("ab\xc3\xb6" "cd", 3), "ab\xc3\xb6");
    EXPECT_EQ(utf8Prefix("ab", 5), "ab");
}
