#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ui/font.h"

namespace norvane::ui {
class CPaintManagerUI;
}  // namespace norvane::ui

namespace norvane::shell {

// One entry of "Language.config".
struct LanguageEntry {
    std::uint32_t id = 0;
    std::string name;
    std::string file;
    std::string textId;  // "Language_text": the entry's name as a language text id
};

// The value a missing saved language reads as.
inline constexpr std::uint32_t kDefaultLanguageId = 520;
inline constexpr const char* kLanguageListFile = "Language.config";
inline constexpr const char* kFontFace = "Korvalis";

// The "Language" array of the list file; entries without an integer id or string name and
// file are skipped. Empty when the file is missing or not a list.
std::vector<LanguageEntry> ReadLanguageList(const std::filesystem::path& file);

// The index of the first entry with the id; 0 when none has it.
int LanguageIndexOf(const std::vector<LanguageEntry>& list, std::uint32_t id);

// Whether switching from index `from` (-1 before the first) to `to` resets the fonts.
bool LanguageSwitchResetsFonts(int from, int to);

// The window's fonts as its layout defined them.
struct WindowFonts {
    std::map<int, ui::FontSpec> byId;
    ui::FontSpec defaultFont;
};

// Replaces the window's fonts by the program's face: in the sizes the layout gave when it
// defined any, else in the program's own table (id 0 size 10, default 11, ... id 50 bold 18).
void ResetWindowFonts(ui::CPaintManagerUI& manager, const WindowFonts& layoutFonts);

}  // namespace norvane::shell
