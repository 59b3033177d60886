#include "config/de6533_profiledata.h"

#include "config/json_access.h"

namespace norvane::config {
namespace {

std::int32_t Int32(const Json::Value& o, std::string_view key) {
    return static_cast<std::int32_t>(json::IntegerOf(o, key));
}

std::vector<int> ReadBands(Json::Value& table, std::size_t row) {
    Json::Value& bands = json::EnsureElement(table, row);
    std::vector<int> values;
    const bool missing = !bands.isArray();
    for (std::size_t band = 0; band < kEqBandCount; ++band) {
        if (missing) {
            json::EnsureMember(json::EnsureElement(bands, band), "value") = 0;
            values.push_back(0);
            continue;
        }
        const Json::Value* element = json::Element(bands, band);
        values.push_back(element != nullptr ? static_cast<int>(json::IntegerOf(*element, "value")) : 0);
    }
    return values;
}

void WriteBands(Json::Value& table, std::size_t row, const EqBands& values) {
    Json::Value& bands = json::EnsureElement(table, row);
    for (std::size_t band = 0; band < kEqBandCount; ++band) {
        json::EnsureMember(json::EnsureElement(bands, band), "value") = values[band];
    }
}

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kMaxCustomEqSlots;
}

}  // namespace

int EqPresetRow(int eqType) {
    if (eqType == kCustomEqType) {
        return -1;
    }
    return eqType >= 1 && eqType <= 12 ? eqType : 1;
}

HeadsetSettings CDe6533Profiledata::GetHeadsetSettings() {
    settings_ = {};
    if (const Json::Value* s = json::Member(DeviceDocument(), "SystemSetStages")) {
        settings_ = {Int32(*s, "MagicEnable"),        Int32(*s, "MagicType"),      Int32(*s, "EqType"),
                     Int32(*s, "CustomEqSeletIndex"), Int32(*s, "MicInSelect"),    Int32(*s, "MicInValue"),
                     Int32(*s, "MicMoniterSelect"),   Int32(*s, "MicMoniterValue")};
    }
    return settings_;
}

void CDe6533Profiledata::SetHeadsetSettings(const HeadsetSettings& settings) {
    settings_ = settings;
    Json::Value& s = json::EnsureMember(Document(), "SystemSetStages");
    json::EnsureMember(s, "MagicEnable") = settings.magicEnable;
    json::EnsureMember(s, "MagicType") = settings.magicType;
    json::EnsureMember(s, "EqType") = settings.eqType;
    json::EnsureMember(s, "CustomEqSeletIndex") = settings.customEqSelectIndex;
    json::EnsureMember(s, "MicInSelect") = settings.micInSelect;
    json::EnsureMember(s, "MicInValue") = settings.micInValue;
    json::EnsureMember(s, "MicMoniterSelect") = settings.micMonitorSelect;
    json::EnsureMember(s, "MicMoniterValue") = settings.micMonitorValue;
}

std::vector<int> CDe6533Profiledata::GetEqBands(int eqType) {
    const int row = EqPresetRow(eqType);
    if (row < 0) {
        return {};
    }
    return ReadBands(json::EnsureMember(Document(), "EQHzValueInfo"), static_cast<std::size_t>(row));
}

void CDe6533Profiledata::SetEqBands(int eqType, const EqBands& values) {
    const int row = EqPresetRow(eqType);
    if (row >= 0) {
        WriteBands(json::EnsureMember(Document(), "EQHzValueInfo"), static_cast<std::size_t>(row), values);
    }
}

std::vector<int> CDe6533Profiledata::GetCustomEqBands(int slot) {
    if (!ValidSlot(slot)) {
        return {};
    }
    return ReadBands(json::EnsureMember(Document(), "CustomEQHzValueInfo"), static_cast<std::size_t>(slot));
}

bool CDe6533Profiledata::SetCustomEqBands(int slot, const EqBands& values) {
    if (!ValidSlot(slot)) {
        return false;
    }
    WriteBands(json::EnsureMember(Document(), "CustomEQHzValueInfo"), static_cast<std::size_t>(slot), values);
    return true;
}

std::vector<std::string> CDe6533Profiledata::GetCustomEqNames() {
    std::vector<std::string> names;
    if (const Json::Value* list = json::Member(DeviceDocument(), "CustomEQNameInfo");
        list && list->isArray()) {
        for (const Json::Value& e : *list) {
            names.push_back(json::StringOf(e, "Name"));
        }
    }
    return names;
}

void CDe6533Profiledata::SetCustomEqNames(const std::vector<std::string>& names) {
    Json::Value list(Json::arrayValue);
    for (const std::string& name : names) {
        Json::Value e(Json::objectValue);
        e["Name"] = name;
        list.append(e);
    }
    json::EnsureMember(Document(), "CustomEQNameInfo") = list;
}

bool CDe6533Profiledata::RemoveCustomEq(int slot) {
    if (!ValidSlot(slot)) {
        return false;
    }
    bool removed = false;
    for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
        if (json::Member(DeviceDocument(), key) == nullptr) {
            continue;
        }
        Json::Value& list = Document()[key];
        if (list.isArray() && static_cast<Json::ArrayIndex>(slot) < list.size()) {
            Json::Value gone;
            list.removeIndex(static_cast<Json::ArrayIndex>(slot), &gone);
            removed = true;
        }
    }
    return removed;
}

}  // namespace norvane::config
