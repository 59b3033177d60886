#include "config/strings.h"

#include <gtest/gtest.h>

#include <regex>

namespace norvane::config {
namespace {

TEST(Strings, ToHex8PadsToEightUpperCaseDigits) {
    EXPECT_EQ(ToHex8(0x1A2B), "00001A2B");
    EXPECT_EQ(ToHex8(0xFF00FF00), "FF00FF00");
    EXPECT_EQ(ToHex8(0), "00000000");
}

TEST(Strings, SplitIndexedName) {
    struct Case {
        const char* name;
        bool found;
        const char* prefix;
        long long number;
    };
    for (const Case& c : {Case{"DPI_slider_3", true, "DPI_slider_", 3}, Case{"logo", false, "", 0},
                          Case{"color_option_x", true, "color_option_", 0}, Case{"key_", true, "key_", 0},
                          Case{"light_12abc", true, "light_", 12}, Case{"a_-4", true, "a_", -4}}) {
        const auto split = SplitIndexedName(c.name);
        ASSERT_EQ(split.has_value(), c.found) << c.name;
        if (split) {
            EXPECT_EQ(split->prefix, c.prefix) << c.name;
            EXPECT_EQ(split->number, c.number) << c.name;
        }
    }
}

TEST(Strings, LeadingIntegerFollowsTheCLibraryRule) {
    EXPECT_EQ(LeadingInteger("70000"), 70000);
    EXPECT_EQ(LeadingInteger("  12ms"), 12);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("-5"), -5);
    EXPECT_EQ(LeadingInteger("99999999999999999999999"), 2147483647);
}

TEST(Strings, BlankAndStrip) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("   \t\n"));
    EXPECT_FALSE(IsBlank(" a "));
    std::string text = "a,b,,c";
    StripChar(text, ',');
    EXPECT_EQ(text, "abc");
}

TEST(Strings, BlankKnowsUnicodeSpaces) {
    struct Case {
        const char* text;
        bool blank;
    };
    for (const Case& c :
         {Case{"\xE3\x80\x80", true},                                 // ideographic space
          Case{"\xC2\xA0 \xC2\xA0", true},                            // no-break spaces
          Case{"\xE2\x80\x83\xE2\x80\xAF\t", true},                   // em space, narrow no-break space
          Case{"\xC2\x85\xE2\x80\xA8", true},                         // next line, line separator
          Case{"\xE3\x80\x80x", false}, Case{"\xE2\x80\x8B", false},  // zero width: not a space
          Case{"\xA0", false}}) {                                     // not UTF-8
        EXPECT_EQ(IsBlank(c.text), c.blank) << c.text;
    }
}

TEST(Strings, Utf8RoundTripAndMalformedInput) {
    const std::string text = "Profil \xC3\xA9t\xC3\xA9 \xE6\xB8\xB8\xE6\x88\x8F \xF0\x9F\x8E\xAE";
    const std::wstring wide = Utf8ToWide(text);
    EXPECT_EQ(wide, L"Profil \u00E9t\u00E9 \u6E38\u620F \U0001F3AE");
    EXPECT_EQ(WideToUtf8(wide), text);
    // Truncated, overlong and stray continuation bytes become U+FFFD, never a crash.
    EXPECT_EQ(Utf8ToWide("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide("\x80x"), L"\uFFFDx");
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");
    // A sequence cut short by the end of the text costs only its own bytes.
    EXPECT_EQ(Utf8ToWide("\xE9t"), L"\uFFFDt");
    EXPECT_EQ(Utf8ToWide("x\xF0\x9F\x8E"), L"x\uFFFD\uFFFD\uFFFD");
}

TEST(Strings, CaseInsensitiveComparisonCoversNonAscii) {
    EXPECT_TRUE(EqualsIgnoreCase("Profile1", "PROFILE1"));
    EXPECT_TRUE(EqualsIgnoreCase("\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"));  // ÉTÉ / été
    EXPECT_TRUE(EqualsIgnoreCase("\xD0\x98\xD0\x93\xD0\xA0\xD0\x90", "\xD0\xB8\xD0\xB3\xD1\x80\xD0\xB0"));
    EXPECT_FALSE(EqualsIgnoreCase("macro_1", "macro_12"));
    EXPECT_FALSE(EqualsIgnoreCase("a", "b"));
    // Latin-1 file names are not UTF-8; they still differ by their last letter.
    EXPECT_FALSE(EqualsIgnoreCase("ab\xE9x", "ab\xE9y"));
}

TEST(Strings, TimestampIdAndFileTitle) {
    EXPECT_TRUE(std::regex_match(MakeTimestampId(), std::regex(R"(\d{4}_\d\d_\d\d_\d\d_\d\d_\d\d_\d\d\d)")));
    EXPECT_EQ(FileTitleOf("/home/u/Game.json"), "Game");
    EXPECT_EQ(FileTitleOf("combo.mac"), "combo");
    EXPECT_EQ(FileTitleOf("C:\\Users\\x\\my.profile.Json"), "my.profile");
    EXPECT_EQ(FileTitleOf("/tmp/noext"), "noext");
}

}  // namespace
}  // namespace norvane::config
