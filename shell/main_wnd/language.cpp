#include "shell/main_wnd/language.h"

#include "config/json_file_store.h"
#include "ui/paint_manager.h"

#include <algorithm>
#include <array>

namespace norvane::shell {

std::vector<LanguageEntry> ReadLanguageList(const std::filesystem::path& file) {
    const Json::Value root = config::JsonFileStore::ReadJsonFile(file);
    std::vector<LanguageEntry> out;
    if (!root.isObject() || !root["Language"].isArray()) {
        return out;
    }
    for (const Json::Value& item : root["Language"]) {
        if (!item.isObject()) {
            continue;
        }
        const Json::Value& id = item["Language_ID"];
        const Json::Value& name = item["Language_name"];
        const Json::Value& langFile = item["Language_file"];
        if (!id.isIntegral() || !name.isString() || !langFile.isString() || id.asLargestInt() < 0 ||
            id.asLargestInt() > 0xFFFFFFFFLL) {
            continue;
        }
        const Json::Value& textId = item["Language_text"];
        out.push_back({static_cast<std::uint32_t>(id.asLargestInt()), name.asString(), langFile.asString(),
                       textId.isString() ? textId.asString() : std::string()});
    }
    return out;
}

int LanguageIndexOf(const std::vector<LanguageEntry>& list, std::uint32_t id) {
    const auto it = std::ranges::find(list, id, &LanguageEntry::id);
    return it == list.end() ? 0 : static_cast<int>(it - list.begin());
}

bool LanguageSwitchResetsFonts(int from, int to) {
    constexpr std::array kTargets{0, 2, 4, 15};
    constexpr std::array kSources{-1, 0, 2, 15};
    return std::ranges::find(kTargets, to) != kTargets.end() ||
           std::ranges::find(kSources, from) != kSources.end();
}

void ResetWindowFonts(ui::CPaintManagerUI& manager, const WindowFonts& layoutFonts) {
    struct FontRow {
        int id;
        int size;
        bool bold;
        bool underline;
    };
    constexpr auto kFonts = std::to_array<FontRow>({
        {0, 10, false, false},
        {1, 12, false, true},
        {2, 18, false, false},
        {3, 30, false, false},
        {4, 16, false, false},
        {5, 20, false, false},
        {6, 22, false, false},
        {7, 12, false, false},
        {8, 12, false, false},
        {9, 11, false, false},
        {10, 10, false, false},
        {11, 28, false, false},
        {50, 18, true, false},
    });
    manager.RemoveAllFonts();
    if (!layoutFonts.byId.empty()) {
        ui::FontSpec base = layoutFonts.defaultFont;
        base.face = kFontFace;
        manager.SetDefaultFont(base);
        for (auto [id, font] : layoutFonts.byId) {
            font.face = kFontFace;
            manager.AddFont(id, font);
        }
        return;
    }
    manager.SetDefaultFont(ui::FontSpec{kFontFace, 11, false, false, false});
    for (const FontRow& row : kFonts) {
        manager.AddFont(row.id, ui::FontSpec{kFontFace, row.size, row.bold, row.underline, false});
    }
}

}  // namespace norvane::shell
