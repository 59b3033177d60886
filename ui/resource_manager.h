#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {

// The skin folder and the current language's texts. Language files are XML:
//   <Language name="English"><Text id="message_text_5" value="..."/></Language>
// Texts of controls that carry a text id resolve through Text() whenever they are read, so a
// language switch reaches every control; listeners repaint their windows.
class CResourceManager {
public:
    void SetSkinFolder(std::filesystem::path folder) { skinFolder_ = std::move(folder); }
    const std::filesystem::path& SkinFolder() const { return skinFolder_; }
    // A skin-relative name made absolute; empty for names that try to leave the skin folder.
    // A resource id of the index (LoadResourceIndex) stands for its file.
    std::filesystem::path ResolveSkinPath(std::string_view name) const;
    // Reads the skin's resource index, skin-relative like a layout:
    //   <Res><Layout id="XML_MAIN" file="main.xml"/></Res>
    // Any element with an id and a file adds one entry. False (index unchanged) when unreadable.
    bool LoadResourceIndex(std::string_view file);

    // Replaces the current texts by the file's; false (texts unchanged) when unreadable.
    bool LoadLanguage(const std::filesystem::path& file);
    bool LoadLanguageFromString(std::string_view xml);
    // The text for an id in the current language, or the id itself when it has none.
    std::string Text(std::string_view id) const;
    bool HasText(std::string_view id) const;
    const std::string& LanguageName() const { return languageName_; }

    using Listener = std::function<void()>;
    int AddLanguageListener(Listener listener);
    void RemoveLanguageListener(int id);

private:
    void NotifyListeners();

    std::filesystem::path skinFolder_;
    std::map<std::string, std::string, std::less<>> index_;
    std::map<std::string, std::string, std::less<>> texts_;
    std::string languageName_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

}  // namespace norvane::ui
