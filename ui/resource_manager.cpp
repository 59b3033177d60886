#include "ui/resource_manager.h"

#include <pugixml.hpp>

#include "platform/atomic_file.h"
#include "platform/diag.h"

namespace norvane::ui {

namespace {
constexpr std::size_t kMaxLanguageFile = 4U << 20U;
}

std::filesystem::path CResourceManager::ResolveSkinPath(std::string_view name) const {
    if (auto entry = index_.find(name); entry != index_.end()) {
        name = entry->second;
    }
    std::filesystem::path relative(name);
    if (relative.empty()) {
        return {};
    }
    if (relative.is_absolute()) {
        return relative;
    }
    for (const auto& part : relative) {
        if (part == "..") {
            return {};
        }
    }
    return skinFolder_ / relative;
}

bool CResourceManager::LoadResourceIndex(std::string_view file) {
    std::filesystem::path path = ResolveSkinPath(file);
    auto content = path.empty() ? std::nullopt : platform::ReadFileLimited(path, kMaxLanguageFile);
    pugi::xml_document doc;
    if (!content || !doc.load_buffer(content->data(), content->size()) || !doc.document_element()) {
        platform::diag::Trace("resource index unreadable: " + std::string(file));
        return false;
    }
    std::map<std::string, std::string, std::less<>> index;
    for (pugi::xml_node node : doc.document_element().children()) {
        std::string id = node.attribute("id").as_string();
        std::string target = node.attribute("file").as_string();
        if (!id.empty() && !target.empty()) {
            index[id] = target;
        }
    }
    index_ = std::move(index);
    return true;
}

bool CResourceManager::LoadLanguage(const std::filesystem::path& file) {
    auto content = platform::ReadFileLimited(file, kMaxLanguageFile);
    if (!content) {
        platform::diag::Trace("language file unreadable: " + file.string());
        return false;
    }
    return LoadLanguageFromString(*content);
}

bool CResourceManager::LoadLanguageFromString(std::string_view xml) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size())) {
        platform::diag::Trace("language file is not valid XML");
        return false;
    }
    pugi::xml_node root = doc.child("Language");
    if (!root) {
        return false;
    }
    std::map<std::string, std::string, std::less<>> texts;
    for (pugi::xml_node node : root.children("Text")) {
        std::string id = node.attribute("id").as_string();
        if (!id.empty()) {
            texts[id] = node.attribute("value").as_string();
        }
    }
    texts_ = std::move(texts);
    languageName_ = root.attribute("name").as_string();
    NotifyListeners();
    return true;
}

std::string CResourceManager::Text(std::string_view id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string(id) : it->second;
}

bool CResourceManager::HasText(std::string_view id) const {
    return texts_.find(id) != texts_.end();
}

int CResourceManager::AddLanguageListener(Listener listener) {
    int id = nextListener_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void CResourceManager::RemoveLanguageListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void CResourceManager::NotifyListeners() {
    auto copy = listeners_;
    for (auto& [id, listener] : copy) {
        listener();
    }
}

}  // namespace norvane::ui
