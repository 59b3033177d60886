#pragma once

#include "config/macro_event.h"
#include "config/profile_data.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A device's named macros: the index file "macro.config" ("MacroInfo": name and identifier
// per macro, in library order) and one identifier + ".mac" file per macro. A key bound to
// a macro holds its position in the library.
namespace norvane::config {

struct MacroEntry {
    std::string name;  // "MacroName"
    std::string guid;  // "Guid", the file stem
};

inline constexpr int kMaxMacros = 50;
inline constexpr std::string_view kRenameBlankText = "IsEmpty";
inline constexpr int kMacroFileVersion = 64;

class MacroLibrary {
public:
    explicit MacroLibrary(std::filesystem::path folder);

    // Reads the index file; a missing or unreadable one gives an empty library.
    void Load();
    const std::vector<MacroEntry>& Entries() const { return entries_; }
    std::vector<std::string> Names() const;
    int Count() const { return static_cast<int>(entries_.size()); }

    // "macro_N" with the smallest free N; empty (nothing changed) when the library is full.
    std::string NewMacro();
    // The given name, else "name_2", "name_3" …; empty when full.
    std::string AddMacroWithName(std::string_view name);

    struct RenameOutcome {
        int index = -1;
        std::string name;  // the new name; kRenameBlankText for a blank name; empty when taken

        friend bool operator==(const RenameOutcome&, const RenameOutcome&) = default;
    };
    RenameOutcome Rename(int selected, std::string_view newName);
    // The deleted index, or -1.
    int Delete(int selected);
    // The events of the macro's file (empty when missing or unreadable).
    std::vector<MacroEvent> Open(int selected) const;
    // Drops unsaved changes: the events as the macro's file holds them.
    std::vector<MacroEvent> Revert(int selected) const { return Open(selected); }
    bool Save(int selected, const std::vector<MacroEvent>& events);
    // Copies the macro file unchanged.
    bool Export(int selected, const std::filesystem::path& target) const;
    // Adds a macro named after the file and copies the file in unchanged; the new name, or
    // empty when nothing was added.
    std::string Import(const std::filesystem::path& source);

    // Folder + identifier + ".mac"; empty when the index is out of range or the identifier
    // cannot be a file name.
    std::filesystem::path MacroPath(int index) const;
    std::filesystem::path IndexPath() const { return folder_ / "macro.config"; }

private:
    bool NameTaken(std::string_view name) const;
    std::string Append(const std::string& name);
    bool WriteIndex() const;

    std::filesystem::path folder_;
    std::vector<MacroEntry> entries_;
};

// Bindings after the macro at deletedIndex was removed: keys bound to it get their default
// back, keys bound past it move down by one. True when anything changed.
bool RenumberMacroBindings(std::vector<KeyListEntry>& keys, int deletedIndex);
// Keys bound to a macro index not below macroCount get their default back.
bool ResetInvalidMacroBindings(std::vector<KeyListEntry>& keys, int macroCount);
// Renumbers the bindings in every given profile file except the current one and rewrites
// the files that changed; returns how many were rewritten.
int RenumberMacroBindingsInProfiles(const std::vector<std::filesystem::path>& profiles,
                                    const std::filesystem::path& currentProfile, int deletedIndex);

}  // namespace norvane::config
