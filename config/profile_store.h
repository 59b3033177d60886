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

enum class RenameResult : int {
    NameTaken = 0,
    Renamed = 1,
    Blank = 2,
};

class ProfileStore {
public:
    // folder: the device's data folder; defaultProfile: the factory profile file used for
    // new and reset profiles; keepCustomEqualiser: a reset keeps the headset's custom curves.
    ProfileStore(std::filesystem::path folder, std::filesystem::path defaultProfile,
                 bool keepCustomEqualiser = false);

    // Makes sure the list holds at least one profile and returns the selected index. A list
    // that is missing or unreadable is rebuilt from the profile files present (the
    // unreadable one kept aside); with none, one "profile1" is created.
    int Initialise();
    std::vector<ProfileEntry> Entries() const;
    int Count() const;
    int SelectedIndex() const;
    // Folder + identifier + ".Json"; empty for an index out of range or an identifier that
    // cannot be a file name.
    std::filesystem::path PathOf(int index) const;
    bool Select(int index);

    // Each returns the index of the new entry, or nullopt when nothing was added.
    std::optional<int> Add();
    std::optional<int> Copy(int selected);
    std::optional<int> Import(const std::filesystem::path& source);
    // The new selection, or nullopt when nothing was deleted (the last profile stays).
    std::optional<int> Delete(int selected);
    RenameResult Rename(int selected, std::string_view newName);
    bool Export(int selected, const std::filesystem::path& target) const;
    bool Reset(int selected);

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path ListPath() const { return folder_ / "ProfileList.ini"; }

private:
    Json::Value ReadList() const;
    bool WriteList(const Json::Value& list) const;
    std::filesystem::path ProfilePath(std::string_view uuid) const;
    std::string NewIdentifier(const Json::Value& list) const;
    bool NameTaken(const Json::Value& list, std::string_view name, int except = -1) const;
    // The list for an operation that adds to it: one that is not a JSON object is kept
    // aside and rebuilt from the profile files first, so that no profile is orphaned.
    Json::Value ReadListForUpdate() const;
    std::optional<int> Append(Json::Value list, const std::string& name, Json::Value document, bool select);
    bool RebuildFromProfileFiles(Json::Value& list) const;

    std::filesystem::path folder_;
    std::filesystem::path defaultProfile_;
    bool keepCustomEqualiser_ = false;
};

}  // namespace norvane::config
