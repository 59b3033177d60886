#include "config/profile_store.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "config/strings.h"
#include "config/unique_id.h"
#include "platform/diag.h"
#include "platform/paths.h"

#include <algorithm>

namespace norvane::config {
namespace {

constexpr const char* kList = "profilelist";
constexpr const char* kSelect = "profileselect";

const Json::Value* EntryAt(const Json::Value& list, int index) {
    const Json::Value* entries = json::Member(list, kList);
    if (entries == nullptr || index < 0) {
        return nullptr;
    }
    return json::Element(*entries, static_cast<std::size_t>(index));
}

int EntryCount(const Json::Value& list) {
    const Json::Value* entries = json::Member(list, kList);
    return entries != nullptr && entries->isArray() ? static_cast<int>(entries->size()) : 0;
}

int SelectedIndexOf(const Json::Value& list) {
    const auto selected = json::IntegerOf(list, kSelect);
    return selected >= 0 && selected < EntryCount(list) ? static_cast<int>(selected) : 0;
}

Json::Value MakeEntry(const std::string& name, const std::string& uuid) {
    Json::Value entry(Json::objectValue);
    entry["profilename"] = name;
    entry["profileUUID"] = uuid;
    entry["profileislink"] = 0;
    entry["profilelinkmame"] = "";
    return entry;
}

void Stamp(Json::Value& document, const std::string& name, const std::string& uuid) {
    json::EnsureMember(document, "profilename") = name;
    json::EnsureMember(document, "profileUUID") = uuid;
}

}  // namespace

ProfileStore::ProfileStore(std::filesystem::path folder, std::filesystem::path defaultProfile,
                           bool keepCustomEqualiser)
    : folder_(std::move(folder)),
      defaultProfile_(std::move(defaultProfile)),
      keepCustomEqualiser_(keepCustomEqualiser) {
}

Json::Value ProfileStore::ReadList() const {
    return JsonFileStore::ReadJsonFile(ListPath());
}

bool ProfileStore::WriteList(const Json::Value& list) const {
    return JsonFileStore::WriteJsonFile(ListPath(), list);
}

std::filesystem::path ProfileStore::ProfilePath(std::string_view uuid) const {
    const std::string fileName = std::string(uuid) + ".Json";
    if (uuid.empty() || !platform::IsSafeFileName(fileName)) {
        return {};
    }
    return folder_ / fileName;
}

bool ProfileStore::NameTaken(const Json::Value& list, std::string_view name, int except) const {
    for (int i = 0; i < EntryCount(list); ++i) {
        if (i != except && EqualsIgnoreCase(json::StringOf(*EntryAt(list, i), "profilename"), name)) {
            return true;
        }
    }
    return false;
}

std::vector<ProfileEntry> ProfileStore::Entries() const {
    const Json::Value list = ReadList();
    std::vector<ProfileEntry> entries;
    for (int i = 0; i < EntryCount(list); ++i) {
        const Json::Value& e = *EntryAt(list, i);
        entries.push_back({json::StringOf(e, "profilename"), json::StringOf(e, "profileUUID")});
    }
    return entries;
}

int ProfileStore::Count() const {
    return EntryCount(ReadList());
}

int ProfileStore::SelectedIndex() const {
    return SelectedIndexOf(ReadList());
}

std::filesystem::path ProfileStore::PathOf(int index) const {
    const Json::Value list = ReadList();
    const Json::Value* entry = EntryAt(list, index);
    return entry != nullptr ? ProfilePath(json::StringOf(*entry, "profileUUID")) : std::filesystem::path();
}

std::optional<Json::Value> ProfileStore::ListFromProfileFiles() const {
    std::vector<ProfileEntry> found;
    std::error_code ec;
    // Stepped with an error code: the range-for form throws when reading the folder fails.
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& file = it->path();
        if (file.extension() != ".Json") {
            continue;
        }
        const Json::Value root = JsonFileStore::ReadJsonFile(file);
        const std::string uuid = json::StringOf(root, "profileUUID");
        const std::string name = json::StringOf(root, "profilename");
        if (!uuid.empty() && ProfilePath(uuid) == file) {
            found.push_back({name.empty() ? uuid : name, uuid});
        }
    }
    if (found.empty()) {
        return std::nullopt;
    }
    // Identifiers are creation times: their order is the order the profiles were made.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.uuid < b.uuid; });
    Json::Value list(Json::objectValue);
    list[kList] = Json::Value(Json::arrayValue);
    for (const ProfileEntry& entry : found) {
        list[kList].append(MakeEntry(entry.name, entry.uuid));
    }
    list[kSelect] = 0;
    platform::diag::Trace("profile list rebuilt from " + std::to_string(found.size()) + " profile files");
    return list;
}

std::optional<Json::Value> ProfileStore::ReadListForUpdate() const {
    Json::Value list = ReadList();
    if (list.isObject()) {
        return list;
    }
    JsonFileStore::KeepUnreadableFile(ListPath());
    std::optional<Json::Value> rebuilt = ListFromProfileFiles();
    if (!rebuilt) {
        return Json::Value(Json::objectValue);
    }
    if (!WriteList(*rebuilt)) {
        return std::nullopt;
    }
    return rebuilt;
}

StoreResult ProfileStore::Initialise() {
    std::optional<Json::Value> list = ReadListForUpdate();
    if (!list) {
        return {StoreStatus::WriteFailed};
    }
    if (EntryCount(*list) == 0) {
        // An empty or wrong-typed "profilelist" is refilled; the list's other members stay.
        if (std::optional<Json::Value> rebuilt = ListFromProfileFiles()) {
            (*list)[kList] = (*rebuilt)[kList];
            (*list)[kSelect] = 0;
            return WriteList(*list) ? StoreResult{StoreStatus::Ok, 0} : StoreResult{StoreStatus::WriteFailed};
        }
        (*list)[kList] = Json::Value(Json::arrayValue);
        return Append(std::move(*list), "profile1", JsonFileStore::ReadJsonFile(defaultProfile_), true);
    }
    return {StoreStatus::Ok, SelectedIndexOf(*list)};
}

StoreResult ProfileStore::Select(int index) {
    Json::Value list = ReadList();
    if (index < 0 || index >= EntryCount(list)) {
        return {StoreStatus::BadIndex};
    }
    list[kSelect] = index;
    return WriteList(list) ? StoreResult{StoreStatus::Ok, index} : StoreResult{StoreStatus::WriteFailed};
}

StoreResult ProfileStore::Append(Json::Value list, const std::string& name, Json::Value document,
                                 bool select) {
    const std::optional<std::string> id =
        UniqueTimestampId(folder_, ".Json", [&](std::string_view candidate) {
            for (int i = 0; i < EntryCount(list); ++i) {
                if (json::StringOf(*EntryAt(list, i), "profileUUID") == candidate) {
                    return true;
                }
            }
            return false;
        });
    if (!id) {
        return {StoreStatus::WriteFailed};
    }
    const std::string& uuid = *id;
    Stamp(document, name, uuid);
    // The profile file first, so that the list never names a file that is not there.
    if (!JsonFileStore::WriteJsonFile(ProfilePath(uuid), document)) {
        return {StoreStatus::WriteFailed};
    }
    Json::Value& entries = json::EnsureMember(list, kList);
    if (!entries.isArray()) {
        entries = Json::Value(Json::arrayValue);
    }
    entries.append(MakeEntry(name, uuid));
    const int index = static_cast<int>(entries.size()) - 1;
    if (select) {
        list[kSelect] = index;
    }
    if (!WriteList(list)) {
        std::error_code ec;
        std::filesystem::remove(ProfilePath(uuid), ec);
        return {StoreStatus::WriteFailed};
    }
    return {StoreStatus::Ok, index};
}

StoreResult ProfileStore::Add() {
    std::optional<Json::Value> list = ReadListForUpdate();
    if (!list) {
        return {StoreStatus::WriteFailed};
    }
    if (EntryCount(*list) >= kMaxProfiles) {
        return {StoreStatus::Full};
    }
    std::string name;
    for (int n = 1;; ++n) {
        name = "profile" + std::to_string(n);
        if (!NameTaken(*list, name)) {
            break;
        }
    }
    return Append(std::move(*list), name, JsonFileStore::ReadJsonFile(defaultProfile_), true);
}

StoreResult ProfileStore::Copy(int selected) {
    const Json::Value list = ReadList();
    const Json::Value* source = EntryAt(list, selected);
    if (source == nullptr) {
        return {StoreStatus::BadIndex};
    }
    std::string name = json::StringOf(*source, "profilename");
    do {
        name += " copy";
    } while (NameTaken(list, name));
    const std::filesystem::path sourcePath = ProfilePath(json::StringOf(*source, "profileUUID"));
    Json::Value document = sourcePath.empty() ? Json::Value() : JsonFileStore::ReadJsonFile(sourcePath);
    if (!document.isObject()) {
        document = Json::Value(Json::objectValue);
    }
    return Append(list, name, std::move(document), false);
}

StoreResult ProfileStore::Import(const std::filesystem::path& source) {
    Json::Value document = JsonFileStore::ReadJsonFile(source);
    if (!document.isObject()) {
        return {StoreStatus::Unreadable};
    }
    std::optional<Json::Value> list = ReadListForUpdate();
    if (!list) {
        return {StoreStatus::WriteFailed};
    }
    std::string name = FileTitleOf(source);
    for (int counter = 1; NameTaken(*list, name); ++counter) {
        name += "(" + std::to_string(counter) + ")";
    }
    return Append(std::move(*list), name, std::move(document), false);
}

StoreResult ProfileStore::Delete(int selected) {
    Json::Value list = ReadList();
    const int count = EntryCount(list);
    if (selected < 0 || selected >= count) {
        return {StoreStatus::BadIndex};
    }
    if (count < 2) {
        return {StoreStatus::LastProfile};
    }
    const int newSelection = selected == 0 ? 0 : selected - 1;
    const std::filesystem::path file = ProfilePath(json::StringOf(*EntryAt(list, selected), "profileUUID"));
    Json::Value removed;
    list[kList].removeIndex(static_cast<Json::ArrayIndex>(selected), &removed);
    list[kSelect] = newSelection;
    if (!WriteList(list)) {
        return {StoreStatus::WriteFailed};
    }
    if (!file.empty()) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }
    return {StoreStatus::Ok, newSelection};
}

StoreResult ProfileStore::Rename(int selected, std::string_view newName) {
    if (IsBlank(newName)) {
        return {StoreStatus::BlankName};
    }
    Json::Value list = ReadList();
    if (EntryAt(list, selected) == nullptr) {
        return {StoreStatus::BadIndex};
    }
    if (NameTaken(list, newName, selected)) {
        return {StoreStatus::NameTaken};
    }
    Json::Value& entry = list[kList][static_cast<Json::ArrayIndex>(selected)];
    const std::string uuid = json::StringOf(entry, "profileUUID");
    const std::filesystem::path file = ProfilePath(uuid);
    // The profile file first: when it cannot be written, nothing has changed.
    Json::Value before;
    if (!file.empty()) {
        Json::Value document = JsonFileStore::ReadObjectForUpdate(file);
        before = document;
        Stamp(document, std::string(newName), uuid);
        if (!JsonFileStore::WriteJsonFile(file, document)) {
            return {StoreStatus::WriteFailed};
        }
    }
    json::EnsureMember(entry, "profilename") = std::string(newName);
    if (!WriteList(list)) {
        if (before.isObject()) {
            JsonFileStore::WriteJsonFile(file, before);
        }
        return {StoreStatus::WriteFailed};
    }
    return {StoreStatus::Ok, selected};
}

StoreResult ProfileStore::Export(int selected, const std::filesystem::path& target) const {
    const std::filesystem::path file = PathOf(selected);
    if (file.empty()) {
        return {StoreStatus::BadIndex};
    }
    const Json::Value document = JsonFileStore::ReadJsonFile(file);
    if (!document.isObject()) {
        return {StoreStatus::Unreadable};
    }
    if (target.empty() || !JsonFileStore::WriteJsonFile(target, document)) {
        return {StoreStatus::WriteFailed};
    }
    return {StoreStatus::Ok, selected};
}

StoreResult ProfileStore::Reset(int selected) {
    const Json::Value list = ReadList();
    const Json::Value* entry = EntryAt(list, selected);
    const std::string uuid = entry != nullptr ? json::StringOf(*entry, "profileUUID") : std::string();
    const std::filesystem::path file = ProfilePath(uuid);
    if (file.empty()) {
        return {StoreStatus::BadIndex};
    }
    Json::Value document = JsonFileStore::ReadJsonFile(defaultProfile_);
    if (!document.isObject()) {
        return {StoreStatus::Unreadable};
    }
    Stamp(document, json::StringOf(*entry, "profilename"), uuid);
    if (keepCustomEqualiser_) {
        const Json::Value current = JsonFileStore::ReadJsonFile(file);
        const Json::Value* devices = json::Member(current, "Device");
        const Json::Value* device = devices != nullptr ? json::Element(*devices, 0) : nullptr;
        for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
            if (const Json::Value* kept = device != nullptr ? json::Member(*device, key) : nullptr) {
                json::EnsureMember(json::EnsureElement(json::EnsureMember(document, "Device"), 0), key) =
                    *kept;
            }
        }
    }
    if (!JsonFileStore::WriteJsonFile(file, document)) {
        return {StoreStatus::WriteFailed};
    }
    return {StoreStatus::Ok, selected};
}

}  // namespace norvane::config
