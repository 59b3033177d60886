// Key captions laid out for a key cap with a fixed text measure: half the size per ASCII
// character, the full size for any other, lines two pixels taller than the size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/key_caption.h"

namespace norvane::pages {
namespace {

ui::Size Measure(std::string_view text, int size) {
    int halves = 0;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            halves += size;
        } else if ((byte & 0xC0U) != 0x80) {
            halves += 2 * size;
        }
    }
    return {(halves + 1) / 2, size + 2};
}

TEST(KeyCaptionTest, CaptionsShrinkAndBreakToStayOnTheKey) {
    struct Case {
        const char* text;
        ui::Size box;
        KeyCaptionLayout expected;
    };
    const std::vector<Case> cases = {
        {"Esc", {30, 32}, {11, 13, {"Esc"}, false}},
        {"  Esc ", {30, 32}, {11, 13, {"Esc"}, false}},
        // Broken at the space, after a '+', between CJK characters.
        {"Left click", {30, 32}, {11, 13, {"Left", "click"}, false}},
        {"Ctrl+Alt", {30, 32}, {11, 13, {"Ctrl+", "Alt"}, false}},
        {"\xE6\xBB\x9A\xE8\xBD\xAE\xE5\x90\x91\xE5\xB7\xA6",
         {30, 32},
         {11, 13, {"\xE6\xBB\x9A\xE8\xBD\xAE", "\xE5\x90\x91\xE5\xB7\xA6"}, false}},
        // Of two breaks, the one that keeps the longer line shortest; on a tie the fuller first line.
        {"Vol up down", {40, 32}, {11, 13, {"Vol up", "down"}, false}},
        {"\xE8\xAE\xA1\xE7\xAE\x97\xE5\x99\xA8",
         {30, 32},
         {11, 13, {"\xE8\xAE\xA1\xE7\xAE\x97", "\xE5\x99\xA8"}, false}},
        // "Scroll" is 33 px at 11, 30 px at 10.
        {"Scroll right", {30, 32}, {10, 12, {"Scroll", "right"}, false}},
        // No size holds it: cut at the smallest, the first line filled, the rest elided.
        {"Calculator", {30, 32}, {9, 11, {"Calcul", "ator"}, true}},
        {"Abcdefghijklmnop", {30, 32}, {9, 11, {"Abcdef", "ghij\xE2\x80\xA6"}, true}},
        // Too low for two lines: one line, elided.
        {"Left click", {30, 14}, {9, 11, {"Left\xE2\x80\xA6"}, true}},
        {"", {30, 32}, {11, 13, {}, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitKeyCaption(c.text, c.box, 11, 9, Measure), c.expected) << '"' << c.text << '"';
    }
}

TEST(KeyCaptionTest, CutCaptionsNeverSplitACharacter) {
    // Nine CJK characters at 9 px: three per 30 px line, the rest elided.
    const std::string text =
        "\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B\xE4\xBA\x94\xE5\x85\xAD"
        "\xE4\xB8\x83\xE5\x85\xAB\xE4\xB9\x9D";
    const KeyCaptionLayout cut = FitKeyCaption(text, {30, 32}, 11, 9, Measure);
    ASSERT_EQ(cut.lines.size(), 2U);
    EXPECT_TRUE(cut.elided);
    EXPECT_EQ(cut.lines[0], text.substr(0, 9));
    EXPECT_EQ(cut.lines[1], text.substr(9, 6) + "\xE2\x80\xA6");
    for (const std::string& line : cut.lines) {
        EXPECT_LE(Measure(line, cut.fontSize).cx, 30) << line;
    }
}

}  // namespace
}  // namespace norvane::pages
