#pragma once

#include "config/profile_data.h"

#include <cstdint>
#include <string>
#include <vector>

namespace norvane::config {

// This system's bound for stage lists and stage indices (profiles hold five stages).
inline constexpr int kMaxDpiStages = 64;

// One element of "DPIStages"."StageDPIs" (DPI values in slider units).
struct DpiStage {
    std::uint8_t enabled = 0;     // "StageActive"
    std::uint8_t separateXY = 0;  // "StageXY"
    std::uint16_t dpiX = 0;       // "StageDPIX"
    std::uint16_t dpiY = 0;       // "StageDPIY"
    std::uint8_t red = 0;         // "StageColorR"
    std::uint8_t green = 0;       // "StageColorG"
    std::uint8_t blue = 0;        // "StageColorB"

    friend bool operator==(const DpiStage&, const DpiStage&) = default;
};

struct MouseSettings {
    std::uint16_t doubleClickTime = 0;   // "SystemStages"."DoubleClickTime"
    std::uint16_t pointerSpeed = 0;      // "MouseSpeed"
    std::uint16_t pointerPrecision = 0;  // "PointerPrecision"
    std::uint16_t scrollPage = 0;        // "ScorllPage"
    std::uint16_t wheelLines = 0;        // "WheelScorlllinse"
    std::uint16_t reportRateStage = 0;   // "ReportStages"."StageActive"

    friend bool operator==(const MouseSettings&, const MouseSettings&) = default;
};

// Sensor correction entry ("CorrectInfo"), from the factory profile only.
struct CorrectionEntry {
    std::uint8_t pixelThreshold = 0;  // "CorrectPixThresh"
    std::uint8_t minSquare = 0;       // "CorrectMinSq"
    std::uint8_t select = 0;          // "CorrectSelect"
    std::string name;                 // "CorrectName"

    friend bool operator==(const CorrectionEntry&, const CorrectionEntry&) = default;
};

class CMouseProfiledata : public CBasicProfiledata {
public:
    // Stages read from the document overwrite the stored ones position by position; stored
    // stages beyond the document's list are kept. The document's current stage index is
    // taken only when it names one of the stages, else it reads as 0.
    std::vector<DpiStage> GetDpiStages();
    void SetDpiStages(const std::vector<DpiStage>& stages);
    // Always within the stages read last (0 before any were read), so callers may index
    // the stage list with it once it is not empty.
    int GetCurrentDpiStage() const { return currentStage_; }
    // False (nothing changed) for an index outside 0 … kMaxDpiStages − 1.
    bool SetCurrentDpiStage(int index);
    MouseSettings GetMouseSettings();
    void SetMouseSettings(const MouseSettings& settings);
    std::vector<CorrectionEntry> GetCorrectionList();

private:
    std::vector<DpiStage> stages_;
    int currentStage_ = 0;
    MouseSettings settings_;
    std::vector<CorrectionEntry> corrections_;
};

}  // namespace norvane::config
