#include "config/profile_data.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "platform/diag.h"

namespace norvane::config {
namespace {

bool ValidDeviceIndex(int index) {
    return index >= 0 && index <= kMaxDeviceIndex;
}

const Json::Value* DeviceElement(const Json::Value& root, int index) {
    const Json::Value* devices = json::Member(root, "Device");
    if (devices == nullptr) {
        return nullptr;
    }
    const Json::Value* element = json::Element(*devices, static_cast<std::size_t>(index));
    return element != nullptr && element->isObject() ? element : nullptr;
}

}  // namespace

std::vector<KeyListEntry> ReadKeyList(const Json::Value& document) {
    std::vector<KeyListEntry> list;
    const Json::Value* keys = json::Member(document, "KeyList");
    if (keys == nullptr || !keys->isArray()) {
        return list;
    }
    list.reserve(keys->size());
    for (Json::ArrayIndex i = 0; i < keys->size(); ++i) {
        const Json::Value& element = (*keys)[i];
        const auto index = static_cast<std::uint16_t>(i);
        const auto current = static_cast<std::uint32_t>(json::IntegerOf(element, "Assignment") & 0xFFFFFF);
        const auto fallback =
            static_cast<std::uint32_t>(json::IntegerOf(element, "DefaultAssignment") & 0xFFFFFF);
        list.push_back({index, FromInteger(current), index, FromInteger(fallback)});
    }
    return list;
}

void WriteKeyList(Json::Value& document, const std::vector<KeyListEntry>& list) {
    Json::Value& keys = json::EnsureMember(document, "KeyList");
    for (std::size_t i = 0; i < list.size(); ++i) {
        Json::Value& element = json::EnsureElement(keys, i);
        json::EnsureMember(element, "Assignment") = ToInteger(list[i].current);
    }
}

bool CBasicProfiledata::SaveProfile() {
    return SaveDocumentTo(document_, profilePath_);
}

bool CBasicProfiledata::SaveDocumentTo(const Json::Value& document, const std::filesystem::path& path) {
    if (path.empty() || !ValidDeviceIndex(deviceIndex_)) {
        return false;
    }
    Json::Value root = JsonFileStore::ReadObjectForUpdate(path);
    json::EnsureElement(json::EnsureMember(root, "Device"), static_cast<std::size_t>(deviceIndex_)) =
        document;
    return JsonFileStore::WriteJsonFile(path, root);
}

bool CBasicProfiledata::SaveOtherDocument(const std::filesystem::path& path) {
    return SaveDocumentTo(otherDocument_, path);
}

bool CBasicProfiledata::WriteDocument(const Json::Value& value, const std::filesystem::path& path) {
    return JsonFileStore::WriteJsonFile(path, value);
}

void CBasicProfiledata::SetProfilePath(const std::filesystem::path& path) {
    if (!path.empty()) {
        profilePath_ = path;
    }
}

void CBasicProfiledata::SetDefaultPath(const std::filesystem::path& path) {
    if (!path.empty()) {
        defaultPath_ = path;
    }
}

LoadStatus CBasicProfiledata::LoadDocument(const std::filesystem::path& path, Json::Value& document) const {
    document = Json::Value();
    if (!ValidDeviceIndex(deviceIndex_)) {
        return LoadStatus::Missing;
    }
    Json::Value root = JsonFileStore::ReadObjectForUpdate(path);
    if (const Json::Value* element = DeviceElement(root, deviceIndex_)) {
        document = *element;
        return LoadStatus::Loaded;
    }
    // Missing, empty or incomplete: complete it from the factory settings.
    const Json::Value defaults = JsonFileStore::ReadJsonFile(defaultPath_);
    const Json::Value* factory = DeviceElement(defaults, deviceIndex_);
    if (factory == nullptr) {
        platform::diag::Trace("no factory profile in " + defaultPath_.string());
        return LoadStatus::Missing;
    }
    document = *factory;
    json::EnsureElement(json::EnsureMember(root, "Device"), static_cast<std::size_t>(deviceIndex_)) =
        *factory;
    if (!JsonFileStore::WriteJsonFile(path, root)) {
        platform::diag::Trace("could not write profile " + path.string());
        return LoadStatus::NotSaved;
    }
    return LoadStatus::Completed;
}

LoadStatus CBasicProfiledata::LoadDeviceDocument(const std::filesystem::path& path) {
    return LoadDocument(path, document_);
}

LoadStatus CBasicProfiledata::LoadOtherDocument(const std::filesystem::path& path) {
    return LoadDocument(path, otherDocument_);
}

std::vector<KeyListEntry> CBasicProfiledata::GetKeyList() {
    keyList_ = ReadKeyList(document_);
    return keyList_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyListEntry>& list) {
    keyList_ = list;
    WriteKeyList(document_, list);
}

std::vector<KeyListEntry> CBasicProfiledata::GetOtherKeyList() {
    otherKeyList_ = ReadKeyList(otherDocument_);
    return otherKeyList_;
}

void CBasicProfiledata::SetOtherKeyList(const std::vector<KeyListEntry>& list) {
    otherKeyList_ = list;
    WriteKeyList(otherDocument_, list);
}

LightInfo CBasicProfiledata::GetLightInfo() {
    const Json::Value* info = json::Member(document_, "LightInfo");
    lightInfo_ = info != nullptr ? ReadLightInfo(*info) : defaultLightInfo_;
    return lightInfo_;
}

void CBasicProfiledata::SetLightInfo(const LightInfo& info) {
    lightInfo_ = info;
    json::EnsureMember(document_, "LightInfo") = LightInfoToJson(info);
}

AudioLightInfo CBasicProfiledata::GetAudioLight() {
    const Json::Value* info = json::Member(document_, "AudioLightInfo");
    audioLightInfo_ = info != nullptr ? ReadAudioLightInfo(*info) : AudioLightInfo{};
    return audioLightInfo_;
}

void CBasicProfiledata::SetAudioLight(const AudioLightInfo& info) {
    audioLightInfo_ = info;
    json::EnsureMember(document_, "AudioLightInfo") = AudioLightInfoToJson(info);
}

std::vector<LightListEntry> CBasicProfiledata::GetLightList() {
    lightList_.clear();
    if (const Json::Value* list = json::Present(document_, "LightList"); list != nullptr && list->isArray()) {
        lightList_.reserve(list->size());
        for (const Json::Value& element : *list) {
            lightList_.push_back(ReadLightListEntry(element));
        }
    }
    return lightList_;
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::filesystem::path& path) {
    lightConfig_ = JsonFileStore::ReadJsonFile(path);
    // Effect files are looked up beside the file just read; a relative path gives no folder.
    lightConfigFolder_ = path.is_absolute() ? path.parent_path() : std::filesystem::path();
    return lightConfig_;
}

std::vector<LightEffectStep> CBasicProfiledata::GetCustomEffect() {
    effectSteps_.clear();
    const int mode = lightInfo_.selectedMode;
    if (lightConfig_.isNull() || mode < firstCustomLightIndex_ || !ValidDeviceIndex(deviceIndex_)) {
        return effectSteps_;
    }
    std::string guid;
    if (const Json::Value* info = json::Member(lightConfig_, "LightInfo")) {
        if (const Json::Value* entries = json::Element(*info, static_cast<std::size_t>(deviceIndex_))) {
            if (const Json::Value* entry =
                    json::Element(*entries, static_cast<std::size_t>(mode - firstCustomLightIndex_))) {
                guid = json::StringOf(*entry, "Guid");
            }
        }
    }
    const std::filesystem::path file = LightEffectPath(lightConfigFolder_, guid);
    if (!file.empty()) {
        effectSteps_ = ReadLightEffectFile(file);
    }
    return effectSteps_;
}

}  // namespace norvane::config
