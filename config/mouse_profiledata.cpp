#include "config/mouse_profiledata.h"

#include "config/json_access.h"

namespace norvane::config {
namespace {

std::uint16_t Word(const Json::Value& o, std::string_view key) {
    return static_cast<std::uint16_t>(json::IntegerOf(o, key) & 0xFFFF);
}

DpiStage ReadStage(const Json::Value& o) {
    return {json::ByteOf(o, "StageActive"), json::ByteOf(o, "StageXY"),     Word(o, "StageDPIX"),
            Word(o, "StageDPIY"),           json::ByteOf(o, "StageColorR"), json::ByteOf(o, "StageColorG"),
            json::ByteOf(o, "StageColorB")};
}

}  // namespace

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
    const Json::Value* dpi = json::Member(DeviceDocument(), "DPIStages");
    if (dpi == nullptr || !dpi->isObject()) {
        return stages_;
    }
    if (const Json::Value* list = json::Member(*dpi, "StageDPIs"); list != nullptr && list->isArray()) {
        const std::size_t count =
            std::min<std::size_t>(list->size(), static_cast<std::size_t>(kMaxDpiStages));
        for (std::size_t i = 0; i < count; ++i) {
            const DpiStage stage = ReadStage((*list)[static_cast<Json::ArrayIndex>(i)]);
            if (i < stages_.size()) {
                stages_[i] = stage;
            } else {
                stages_.push_back(stage);
            }
        }
    }
    // An index that names no stage reads as the first one.
    const std::int64_t active = json::IntegerOf(*dpi, "StageActive");
    currentStage_ =
        active >= 0 && active < static_cast<std::int64_t>(stages_.size()) ? static_cast<int>(active) : 0;
    return stages_;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
    stages_ = stages;
    Json::Value& list = json::EnsureMember(json::EnsureMember(Document(), "DPIStages"), "StageDPIs");
    for (std::size_t i = 0; i < stages.size(); ++i) {
        Json::Value& o = json::EnsureElement(list, i);
        json::EnsureMember(o, "StageActive") = stages[i].enabled;
        json::EnsureMember(o, "StageXY") = stages[i].separateXY;
        json::EnsureMember(o, "StageDPIX") = stages[i].dpiX;
        json::EnsureMember(o, "StageDPIY") = stages[i].dpiY;
        json::EnsureMember(o, "StageColorR") = stages[i].red;
        json::EnsureMember(o, "StageColorG") = stages[i].green;
        json::EnsureMember(o, "StageColorB") = stages[i].blue;
    }
}

bool CMouseProfiledata::SetCurrentDpiStage(int index) {
    if (index < 0 || index >= kMaxDpiStages) {
        return false;
    }
    currentStage_ = index;
    json::EnsureMember(json::EnsureMember(Document(), "DPIStages"), "StageActive") = index;
    return true;
}

MouseSettings CMouseProfiledata::GetMouseSettings() {
    settings_ = {};
    const Json::Value& doc = DeviceDocument();
    if (const Json::Value* s = json::Member(doc, "SystemStages")) {
        settings_.doubleClickTime = Word(*s, "DoubleClickTime");
        settings_.pointerSpeed = Word(*s, "MouseSpeed");
        settings_.pointerPrecision = Word(*s, "PointerPrecision");
        settings_.scrollPage = Word(*s, "ScorllPage");
        settings_.wheelLines = Word(*s, "WheelScorlllinse");
        if (const Json::Value* report = json::Member(doc, "ReportStages")) {
            settings_.reportRateStage = Word(*report, "StageActive");
        }
    }
    return settings_;
}

void CMouseProfiledata::SetMouseSettings(const MouseSettings& settings) {
    settings_ = settings;
    Json::Value& s = json::EnsureMember(Document(), "SystemStages");
    json::EnsureMember(s, "DoubleClickTime") = settings.doubleClickTime;
    json::EnsureMember(s, "MouseSpeed") = settings.pointerSpeed;
    json::EnsureMember(s, "PointerPrecision") = settings.pointerPrecision;
    json::EnsureMember(s, "ScorllPage") = settings.scrollPage;
    json::EnsureMember(s, "WheelScorlllinse") = settings.wheelLines;
    json::EnsureMember(json::EnsureMember(Document(), "ReportStages"), "StageActive") =
        settings.reportRateStage;
}

std::vector<CorrectionEntry> CMouseProfiledata::GetCorrectionList() {
    const Json::Value* list = json::Present(DeviceDocument(), "CorrectInfo");
    if (list == nullptr) {
        return corrections_;
    }
    corrections_.clear();
    if (list->isArray()) {
        for (const Json::Value& e : *list) {
            corrections_.push_back({json::ByteOf(e, "CorrectPixThresh"), json::ByteOf(e, "CorrectMinSq"),
                                    json::ByteOf(e, "CorrectSelect"), json::StringOf(e, "CorrectName")});
        }
    }
    return corrections_;
}

}  // namespace norvane::config
