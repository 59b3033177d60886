#include "devices/peripheral_light.h"

#include "devices/device_workers.h"
#include "platform/diag.h"

#include <algorithm>
#include <vector>

namespace norvane::devices {
namespace {

constexpr std::string_view kLightThreadEndText = "MS灯光线程设定退出";

}  // namespace

PeripheralLighting::PeripheralLighting(light::PeripheralClass cls) : engine_(cls, 0), class_(cls) {
}

PeripheralLighting::~PeripheralLighting() {
    Stop();
}

void PeripheralLighting::SetLedCount(int count) {
    const std::lock_guard lock(mutex_);
    engine_ = light::PeripheralLightEngine(class_, std::clamp(count, 0, static_cast<int>(light::kMaxLeds)));
    TakeRecordLocked();
}

bool PeripheralLighting::Start(light::LightFrame& frame, const device::HidChannel& channel) {
    Stop();
    return StartLightThread(thread_, [this, &frame, &channel]() -> std::optional<StopSignal::Clock::time_point> {
        const auto now = StopSignal::Clock::now();
        if (!channel.IsOpen() || channel.IsSync()) {
            return now + kIdleRecheck;
        }
        const auto nowMs =
            static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now - epoch_).count());
        std::optional<std::uint32_t> due;
        {
            const std::lock_guard lock(mutex_);
            engine_.Advance(nowMs, frame);
            due = engine_.NextDueMs();
        }
        if (!due) {
            return std::nullopt;  // stands still until an input changes (the setters wake it)
        }
        return std::max(epoch_ + std::chrono::milliseconds(*due), now + kShortestPassGap);
    });
}

StopResult PeripheralLighting::Stop() {
    const StopResult result = thread_.Stop();
    if (result == StopResult::Ended) {
        platform::diag::Trace(kLightThreadEndText);
    }
    return result;
}

void PeripheralLighting::TakeRecordLocked() {
    engine_.SetMode(record_.Mode(), record_.Speed());
}

void PeripheralLighting::Apply(const config::LightInfo& info, std::span<const config::LightListEntry> list,
                               std::span<const config::LightEffectStep> steps) {
    {
        const std::lock_guard lock(mutex_);
        record_.SetMode(info.selectedMode);
        record_.SetBrightness(info.brightness);
        record_.SetSpeed(info.speed);
        record_.SetMultiColor(info.multiColor);
        record_.SetColor(info.red, info.green, info.blue);
        engine_.SetLightState(info);
        TakeRecordLocked();
        engine_.SetLightList(list);
        engine_.SetCustomEffect(steps);
    }
    thread_.Wake();
}

config::LightInfo PeripheralLighting::ApplyProfile(config::CBasicProfiledata& profile,
                                                   const std::filesystem::path& lightConfigFile) {
    const config::LightInfo info = profile.GetLightInfo();
    const std::vector<config::LightListEntry> list = profile.GetLightList();
    if (!lightConfigFile.empty()) {
        profile.LoadLightConfig(lightConfigFile);
    }
    const std::vector<config::LightEffectStep> steps = profile.GetCustomEffect();
    Apply(info, list, steps);
    return info;
}

void PeripheralLighting::SetLightState(const config::LightInfo& info) {
    {
        const std::lock_guard lock(mutex_);
        engine_.SetLightState(info);
    }
    thread_.Wake();
}

void PeripheralLighting::SetRecord(const light::PeripheralLightRecord& record) {
    {
        const std::lock_guard lock(mutex_);
        record_ = record;
        TakeRecordLocked();
    }
    thread_.Wake();
}

light::PeripheralLightRecord PeripheralLighting::Record() const {
    const std::lock_guard lock(mutex_);
    return record_;
}

void PeripheralLighting::SetActiveBlock(std::uint8_t block) {
    const std::lock_guard lock(mutex_);
    record_.SetActiveBlock(block);
}

void PeripheralLighting::TriggerReactive() {
    {
        const std::lock_guard lock(mutex_);
        engine_.TriggerReactive();
    }
    thread_.Wake();
}

int PeripheralLighting::EngineMode() const {
    const std::lock_guard lock(mutex_);
    return engine_.Mode();
}

bool PeripheralLighting::AdvanceAt(std::uint32_t nowMs, light::LightFrame& frame) {
    const std::lock_guard lock(mutex_);
    return engine_.Advance(nowMs, frame);
}

}  // namespace norvane::devices
