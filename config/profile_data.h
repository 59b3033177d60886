#pragma once

#include "config/key_codes.h"
#include "config/light_data.h"

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <vector>

// A device's profile document (one element of the profile file's "Device" array) and its
// typed getters and setters. Setters change the document in memory; SaveProfile writes it.
namespace norvane::config {

struct KeyListEntry {
    std::uint16_t keyIndex = 0;
    KeyAssignment current;
    std::uint16_t defaultKeyIndex = 0;
    KeyAssignment defaultAssignment;

    friend bool operator==(const KeyListEntry&, const KeyListEntry&) = default;
};

// What loading a device document found and did.
enum class LoadStatus {
    Loaded,     // the file held the device element
    Completed,  // taken from the default data file and written into the file
    NotSaved,   // taken from the default data file, but the file could not be written
    Missing,    // neither file holds it (or the device index is out of range): the document is null
};

// Upper bounds for indices that come from profiles or callers. The number of per-key
// colour groups is this system's own bound: profiles carry no group count.
inline constexpr int kMaxCustomColorGroups = 16;
inline constexpr int kMaxKeyColors = 170;
inline constexpr int kMaxDeviceIndex = 15;

class CBasicProfiledata {
public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = default;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = default;

    // Writes the device document into the current profile file.
    virtual bool SaveProfile();
    // Replaces "Device"[device index] of the file at the path with the document and
    // writes the file back; the file's other members are kept. A file that exists but
    // cannot be read is kept aside first.
    virtual bool SaveDocumentTo(const Json::Value& document, const std::filesystem::path& path);
    virtual bool SaveOtherDocument(const std::filesystem::path& path);
    // Replaces the whole file.
    virtual bool WriteDocument(const Json::Value& value, const std::filesystem::path& path);

    void SetProfilePath(const std::filesystem::path& path);
    const std::filesystem::path& GetProfilePath() const { return profilePath_; }
    void SetDefaultPath(const std::filesystem::path& path);
    const std::filesystem::path& GetDefaultPath() const { return defaultPath_; }
    void SetLightConfigPath(const std::filesystem::path& path) { lightConfigPath_ = path; }
    const std::filesystem::path& GetLightConfigPath() const { return lightConfigPath_; }
    void SetDeviceIndex(int index) { deviceIndex_ = index; }
    int GetDeviceIndex() const { return deviceIndex_; }

    // Loads the device document from the file; a missing or empty file, or one without
    // the device element, is completed from the default data file and written back. A
    // file that does not parse is kept aside as a backup before it is replaced. The
    // document is then DeviceDocument() (OtherDocument() for the other document).
    LoadStatus LoadDeviceDocument(const std::filesystem::path& path);
    LoadStatus LoadOtherDocument(const std::filesystem::path& path);

    const Json::Value& DeviceDocument() const { return document_; }
    const Json::Value& OtherDocument() const { return otherDocument_; }

    std::vector<KeyListEntry> GetKeyList();
    void SetKeyList(const std::vector<KeyListEntry>& list);
    std::vector<KeyListEntry> GetOtherKeyList();
    void SetOtherKeyList(const std::vector<KeyListEntry>& list);

    // Lighting.
    LightInfo GetLightInfo();
    void SetLightInfo(const LightInfo& info);
    const LightInfo& CurrentLightInfo() const { return lightInfo_; }
    const LightInfo& DefaultLightInfo() const { return defaultLightInfo_; }
    AudioLightInfo GetAudioLight();
    void SetAudioLight(const AudioLightInfo& info);
    std::vector<LightListEntry> GetLightList();
    Json::Value LoadLightConfig(const std::filesystem::path& path);
    // The steps of the effect file of the selected mode, looked up in the light
    // configuration document; the file lies in the folder the configuration was loaded
    // from (none when it was loaded by a relative path).
    std::vector<LightEffectStep> GetCustomEffect();
    int FirstCustomLightIndex() const { return firstCustomLightIndex_; }
    void SetFirstCustomLightIndex(int index) { firstCustomLightIndex_ = index; }

protected:
    Json::Value& Document() { return document_; }

private:
    LoadStatus LoadDocument(const std::filesystem::path& path, Json::Value& document) const;

    std::filesystem::path profilePath_;
    std::filesystem::path defaultPath_;
    int firstCustomLightIndex_ = 0;
    LightInfo lightInfo_;
    LightInfo defaultLightInfo_;
    AudioLightInfo audioLightInfo_;
    std::vector<LightListEntry> lightList_;
    Json::Value document_;
    Json::Value otherDocument_;
    std::filesystem::path lightConfigPath_;
    std::vector<LightEffectStep> effectSteps_;
    Json::Value lightConfig_;
    std::filesystem::path lightConfigFolder_;
    std::vector<KeyListEntry> keyList_;
    std::vector<KeyListEntry> otherKeyList_;
    int deviceIndex_ = 0;
};

// Key list conversions of a device document.
std::vector<KeyListEntry> ReadKeyList(const Json::Value& document);
void WriteKeyList(Json::Value& document, const std::vector<KeyListEntry>& list);

}  // namespace norvane::config
