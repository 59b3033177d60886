#include "config/macro_library.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "config/strings.h"
#include "config/unique_id.h"
#include "platform/atomic_file.h"
#include "platform/paths.h"

#include <algorithm>

namespace norvane::config {
namespace {

bool Valid(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

}  // namespace

MacroLibrary::MacroLibrary(std::filesystem::path folder) : folder_(std::move(folder)) {
}

void MacroLibrary::Load() {
    entries_.clear();
    const Json::Value root = JsonFileStore::ReadJsonFile(IndexPath());
    const Json::Value* list = json::Member(root, "MacroInfo");
    if (list == nullptr || !list->isArray()) {
        return;
    }
    for (const Json::Value& e : *list) {
        entries_.push_back({json::StringOf(e, "MacroName"), json::StringOf(e, "Guid")});
    }
}

std::vector<std::string> MacroLibrary::Names() const {
    std::vector<std::string> names;
    for (const MacroEntry& e : entries_) {
        names.push_back(e.name);
    }
    return names;
}

std::filesystem::path MacroLibrary::MacroPath(int index) const {
    if (!Valid(index, entries_.size())) {
        return {};
    }
    const std::string& guid = entries_[static_cast<std::size_t>(index)].guid;
    const std::string fileName = guid + ".mac";
    if (guid.empty() || !platform::IsSafeFileName(fileName)) {
        return {};
    }
    return folder_ / fileName;
}

bool MacroLibrary::NameTaken(std::string_view name) const {
    for (const MacroEntry& e : entries_) {
        if (EqualsIgnoreCase(e.name, name)) {
            return true;
        }
    }
    return false;
}

bool MacroLibrary::WriteIndex() const {
    // Other members of the index file are kept.
    Json::Value root = JsonFileStore::ReadObjectForUpdate(IndexPath());
    Json::Value list(Json::arrayValue);
    for (const MacroEntry& e : entries_) {
        Json::Value o(Json::objectValue);
        o["MacroName"] = e.name;
        o["Guid"] = e.guid;
        list.append(o);
    }
    json::EnsureMember(root, "MacroInfo") = list;
    return JsonFileStore::WriteJsonFile(IndexPath(), root);
}

std::string MacroLibrary::Append(const std::string& name) {
    std::optional<std::string> guid = UniqueTimestampId(folder_, ".mac", [this](std::string_view candidate) {
        return std::any_of(entries_.begin(), entries_.end(),
                           [&](const MacroEntry& e) { return e.guid == candidate; });
    });
    if (!guid) {
        return {};
    }
    entries_.push_back({name, std::move(*guid)});
    if (!WriteIndex()) {
        entries_.pop_back();
        return {};
    }
    return name;
}

std::string MacroLibrary::NewMacro() {
    if (Count() >= kMaxMacros) {
        return {};
    }
    std::string name;
    for (int n = 1;; ++n) {
        name = "macro_" + std::to_string(n);
        if (!NameTaken(name)) {
            break;
        }
    }
    return Append(name);
}

std::string MacroLibrary::AddMacroWithName(std::string_view base) {
    if (Count() >= kMaxMacros) {
        return {};
    }
    const std::string stem(IsBlank(base) ? std::string_view("macro") : base);
    std::string name = stem;
    for (int n = 2; NameTaken(name); ++n) {
        name = stem + "_" + std::to_string(n);
    }
    return Append(name);
}

MacroLibrary::RenameOutcome MacroLibrary::Rename(int selected, std::string_view newName) {
    if (IsBlank(newName)) {
        return {-1, std::string(kRenameBlankText)};
    }
    if (!Valid(selected, entries_.size())) {
        return {-1, {}};
    }
    if (NameTaken(newName)) {
        return {selected, {}};
    }
    MacroEntry& entry = entries_[static_cast<std::size_t>(selected)];
    const std::string old = entry.name;
    entry.name = std::string(newName);
    if (!WriteIndex()) {
        entry.name = old;
        return {selected, {}};
    }
    return {selected, entry.name};
}

int MacroLibrary::Delete(int selected) {
    if (!Valid(selected, entries_.size())) {
        return -1;
    }
    const std::filesystem::path file = MacroPath(selected);
    const MacroEntry removed = entries_[static_cast<std::size_t>(selected)];
    entries_.erase(entries_.begin() + selected);
    if (!WriteIndex()) {
        entries_.insert(entries_.begin() + selected, removed);
        return -1;
    }
    if (!file.empty()) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }
    return selected;
}

std::vector<MacroEvent> MacroLibrary::Open(int selected) const {
    const std::filesystem::path file = MacroPath(selected);
    return file.empty() ? std::vector<MacroEvent>{} : ReadMacroEvents(JsonFileStore::ReadJsonFile(file));
}

bool MacroLibrary::Save(int selected, const std::vector<MacroEvent>& events) {
    const std::filesystem::path file = MacroPath(selected);
    if (file.empty()) {
        return false;
    }
    const MacroEntry& entry = entries_[static_cast<std::size_t>(selected)];
    Json::Value root(Json::objectValue);
    root["MacroName"] = entry.name;
    root["Guid"] = entry.guid;
    root["Version"] = kMacroFileVersion;
    Json::Value& list = root["Events"] = Json::Value(Json::arrayValue);
    for (std::size_t i = 0; i < events.size() && i < kMaxMacroEvents; ++i) {
        list.append(MacroEventToJson(events[i], DelayForm::String));
    }
    return JsonFileStore::WriteJsonFile(file, root);
}

bool MacroLibrary::Export(int selected, const std::filesystem::path& target) const {
    const std::filesystem::path file = MacroPath(selected);
    if (file.empty() || target.empty()) {
        return false;
    }
    const std::optional<std::string> bytes = platform::ReadFileLimited(file);
    return bytes && platform::WriteFileAtomically(target, *bytes);
}

std::string MacroLibrary::Import(const std::filesystem::path& source) {
    const std::optional<std::string> bytes = platform::ReadFileLimited(source);
    if (!bytes) {
        return {};
    }
    std::string name = AddMacroWithName(FileTitleOf(source));
    if (name.empty()) {
        return {};
    }
    const int index = Count() - 1;
    if (!platform::WriteFileAtomically(MacroPath(index), *bytes)) {
        Delete(index);
        return {};
    }
    return name;
}

bool RenumberMacroBindings(std::vector<KeyListEntry>& keys, int deletedIndex) {
    bool changed = false;
    for (KeyListEntry& key : keys) {
        if (!IsMacroType(key.current.type)) {
            continue;
        }
        if (key.current.param1 == deletedIndex) {
            key.current = key.defaultAssignment;
            changed = true;
        } else if (key.current.param1 > deletedIndex) {
            --key.current.param1;
            changed = true;
        }
    }
    return changed;
}

bool ResetInvalidMacroBindings(std::vector<KeyListEntry>& keys, int macroCount) {
    bool changed = false;
    for (KeyListEntry& key : keys) {
        if (IsMacroType(key.current.type) && key.current.param1 >= macroCount) {
            key.current = key.defaultAssignment;
            changed = true;
        }
    }
    return changed;
}

int RenumberMacroBindingsInProfiles(const std::vector<std::filesystem::path>& profiles,
                                    const std::filesystem::path& currentProfile, int deletedIndex) {
    int rewritten = 0;
    for (const std::filesystem::path& path : profiles) {
        std::error_code ec;
        if (path.empty() || path == currentProfile || !std::filesystem::exists(path, ec)) {
            continue;
        }
        CBasicProfiledata other;
        if (other.LoadOtherDocument(path) == LoadStatus::Missing) {
            continue;
        }
        std::vector<KeyListEntry> keys = other.GetOtherKeyList();
        if (RenumberMacroBindings(keys, deletedIndex)) {
            other.SetOtherKeyList(keys);
            rewritten += other.SaveOtherDocument(path) ? 1 : 0;
        }
    }
    return rewritten;
}

}  // namespace norvane::config
