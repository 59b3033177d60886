#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <json/value.h>

// The list of named profiles of a device folder ("ProfileList.ini") and the profile files
// it names (identifier + ".Json"). Every operation reads the list afresh and writes it
// back whole; the selection the page shows is passed in.
namespace norvane::config {

struct ProfileEntry {
    std::string name;  // "profilename"
    std::string uuid;  // "profileUUID", the file stem
};

inline constexpr int kMaxProfiles = 50;

enum class StoreStatus : int {
    Ok,
    BadIndex,     // no entry at the index, or its identifier cannot be a file name
    NameTaken,    // another entry has the name (compared ignoring case)
    BlankName,    // empty or white space only
    Full,         // the list already holds kMaxProfiles entries
    LastProfile,  // the only profile is never deleted
    Unreadable,   // the source, profile or factory file does not hold a JSON object
    WriteFailed,  // a file could not be written, or no free identifier was found
};

// The outcome of every store operation: on success, index is the entry the operation
// produced, changed or selected; otherwise it is -1 and the files are as they were.
struct StoreResult {
    StoreStatus status = StoreStatus::Ok;
    int index = -1;

    bool Ok() const { return status == StoreStatus::Ok; }
    friend bool operator==(const StoreResult&, const StoreResult&) = default;
};

class ProfileStore {
public:
    // folder: the device's data folder; defaultProfile: the factory profile file used for
    // new and reset profiles; keepCustomEqualiser: a reset keeps the headset's custom curves.
    ProfileStore(std::filesystem::path folder, std::filesystem::path defaultProfile,
                 bool keepCustomEqualiser = false);

    // Makes sure the list holds at least one profile; the index is the selected one. A
    // list that is missing, unreadable or without entries is rebuilt from the profile files
    // present (an unreadable one kept aside, the other members of a readable one kept);
    // with none, one "profile1" is created.
    StoreResult Initialise();
    std::vector<ProfileEntry> Entries() const;
    int Count() const;
    int SelectedIndex() const;
    // Folder + identifier + ".Json"; empty for an index out of range or an identifier that
    // cannot be a file name.
    std::filesystem::path PathOf(int index) const;
    StoreResult Select(int index);

    // The index of the new entry.
    StoreResult Add();
    StoreResult Copy(int selected);
    StoreResult Import(const std::filesystem::path& source);
    // The index is the new selection.
    StoreResult Delete(int selected);
    StoreResult Rename(int selected, std::string_view newName);
    StoreResult Export(int selected, const std::filesystem::path& target) const;
    StoreResult Reset(int selected);

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path ListPath() const { return folder_ / "ProfileList.ini"; }

private:
    Json::Value ReadList() const;
    bool WriteList(const Json::Value& list) const;
    std::filesystem::path ProfilePath(std::string_view uuid) const;
    bool NameTaken(const Json::Value& list, std::string_view name, int except = -1) const;
    // The list for an operation that adds to it: one that is not a JSON object is kept
    // aside and rebuilt from the profile files first, so that no profile is orphaned.
    // Nullopt when the rebuilt list could not be written.
    std::optional<Json::Value> ReadListForUpdate() const;
    StoreResult Append(Json::Value list, const std::string& name, Json::Value document, bool select);
    // A list of the profile files in the folder, ordered by identifier; nullopt when there
    // are none.
    std::optional<Json::Value> ListFromProfileFiles() const;

    std::filesystem::path folder_;
    std::filesystem::path defaultProfile_;
    bool keepCustomEqualiser_ = false;
};

}  // namespace norvane::config
