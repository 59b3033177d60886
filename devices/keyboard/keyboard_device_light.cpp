// The keyboard object's lighting: the light thread over the engine, the light state, custom
// colours and the frame sent to the page and, in the host-rendered modes, to the keyboard.
#include "device/commands.h"
#include "devices/device_workers.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/light/frame_packing.h"
#include "devices/light/tables.h"
#include "pages/device_key_button.h"
#include "pages/light/light_control.h"
#include "platform/diag.h"

#include <algorithm>

namespace norvane::devices {
namespace {

namespace code = device::result;

constexpr std::string_view kLightThreadEndText = "KB灯光线程设定退出";

}  // namespace

int CTarnexKeyboardDevice::EngineMode() const {
    const std::lock_guard lock(engineMutex_);
    return engine_.Mode();
}

void CTarnexKeyboardDevice::StartLight() {
    if (lightThread_.Running() && lightThread_.Stop() == StopResult::Ended) {
        platform::diag::Trace(kLightThreadEndText);
    }
    // A pass renders what is due and sleeps until the engine's next change; with the
    // device gone (channel closed) it sleeps until the next sync restarts it.
    StartLightThread(lightThread_, [this]() -> std::optional<StopSignal::Clock::time_point> {
        if (!commandChannel_.IsOpen()) {
            return std::nullopt;
        }
        const auto now = StopSignal::Clock::now();
        const auto nowMs = static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now - lightEpoch_).count());
        std::optional<std::uint32_t> due;
        {
            const std::lock_guard lock(engineMutex_);
            if (!pagePreview_.load() && !light::KeyboardLightEngine::StreamsFrames(engine_.Mode())) {
                return std::nullopt;  // the keyboard renders this mode itself; nobody watches the page
            }
            engine_.Advance(nowMs, frame_);
            due = engine_.NextDueMs();
        }
        if (!due) {
            return std::nullopt;
        }
        return lightEpoch_ + std::chrono::milliseconds(*due);
    });
}

void CTarnexKeyboardDevice::SetPagePreview(bool shown) {
    pagePreview_.store(shown);
    lightThread_.Wake();
}

void CTarnexKeyboardDevice::TakeLightState(const config::LightInfo& light) {
    const auto words = LightInfoToWords(light);
    SetLightState(words[0], words[1], words[2], words[3]);
}

void CTarnexKeyboardDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                                          std::uint32_t w3) {
    CTarnexUSBDevice::SetLightState(w0, w1, w2, w3);
    const config::LightInfo light = LightState();
    profile_.SetLightInfo(light);
    settings_.light = light;
    {
        const std::lock_guard lock(engineMutex_);
        engine_.SetLightState(light);
        engine_.SetMode(light.selectedMode, light.speed);
    }
    lightThread_.Wake();
}

void CTarnexKeyboardDevice::SetAudioLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    CTarnexUSBDevice::SetAudioLightState(w0, w1, w2);
    const config::AudioLightInfo audio = AudioLightState();
    profile_.SetAudioLight(audio);
    {
        const std::lock_guard lock(engineMutex_);
        engine_.SetAudioLightState(audio);
    }
    lightThread_.Wake();
}

int CTarnexKeyboardDevice::ApplyProfileLighting() {
    const config::AudioLightInfo audio = profile_.GetAudioLight();
    const auto audioWords = AudioLightToWords(audio);
    CTarnexUSBDevice::SetAudioLightState(audioWords[0], audioWords[1], audioWords[2]);
    const std::vector<config::LightListEntry> list = profile_.GetLightList();
    const std::vector<config::LightEffectStep> steps = profile_.GetCustomEffect();
    {
        const std::lock_guard lock(engineMutex_);
        engine_.SetAudioLightState(audio);
        engine_.SetLightList(list);
        engine_.SetCustomEffect(steps);
    }
    TakeLightState(profile_.GetLightInfo());
    if (LightState().selectedMode == keyboard::kCustomLightMode) {
        ApplyCustomColors();
    }
    return 1;
}

void CTarnexKeyboardDevice::FeedAudioSpectrum(std::span<const std::int32_t> levels) {
    {
        const std::lock_guard lock(engineMutex_);
        engine_.FeedAudioSpectrum(levels);
    }
    lightThread_.Wake();
}

void CTarnexKeyboardDevice::FeedAudioLevels(std::span<const std::int32_t> levels) {
    {
        const std::lock_guard lock(engineMutex_);
        engine_.FeedAudioLevels(levels);
    }
    lightThread_.Wake();
}

void CTarnexKeyboardDevice::SendLightFrame() {
    if (HostLighting() == 0) {
        return;
    }
    // The page shows every LED, the segments of wide keys (126 and up) included; only keys
    // 0-125 are streamed.
    ShowFrameOnPage();
    const std::size_t length = light::KeyboardStreamLength(LightState().selectedMode);
    if (length == 0) {
        return;
    }
    const auto buffer = light::PackKeyboardFrame(frame_, tables_.maps.led);
    SendFrameBytes(std::span(buffer).first(length));
}

bool CTarnexKeyboardDevice::StreamsLightFrames() const {
    return HostLighting() != 0 && commandChannel_.IsOpen() &&
           light::KeyboardStreamLength(LightState().selectedMode) != 0;
}

// --- custom colours (mode 19) ---

std::uint8_t CTarnexKeyboardDevice::BrightnessLevelOfLight() const {
    return light::BrightnessLevel(LightState().brightness);
}

std::vector<config::KeyColor> CTarnexKeyboardDevice::FrameKeyColors() const {
    std::vector<config::KeyColor> colors(static_cast<std::size_t>(LedCount()));
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const light::LedColor entry = frame_.Get(static_cast<int>(i));
        colors[i] = {entry.red, entry.green, entry.blue, entry.level};
    }
    return colors;
}

void CTarnexKeyboardDevice::SetCustomGroup(int group) {
    if (!profile_.SetCustomGroupIndex(group)) {
        return;
    }
    if (pages::CLightControlUI* panel = LightPanel()) {
        panel->ShowCustomGroup(group);
    }
    config::LightInfo light = LightState();
    if (light.customGroup != group) {
        light.customGroup = static_cast<std::uint8_t>(group);
        TakeLightState(light);
    }
    SaveDeviceProfile();
}

void CTarnexKeyboardDevice::ApplyCustomColors() {
    const int group = LightState().customGroup;
    const std::vector<config::KeyColor> colors = profile_.GetCustomColors(group, LedCount());
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const config::KeyColor& c = colors[i];
        frame_.Set(static_cast<int>(i), {c.red, c.green, c.blue, c.alpha});
    }
    lightThread_.Wake();
}

int CTarnexKeyboardDevice::LoadCustomColors() {
    ApplyCustomColors();
    return WriteCustomColors();
}

int CTarnexKeyboardDevice::WriteCustomColors() {
    if (LightState().selectedMode != keyboard::kCustomLightMode) {
        return code::kSuccess;  // nothing to write outside the custom mode
    }
    return keyboard::WriteCustomColors(commandChannel_, tables_, FrameKeyColors());
}

int CTarnexKeyboardDevice::PaintKey(int keyIndex) {
    const config::LightInfo light = LightState();
    if (light.selectedMode != keyboard::kCustomLightMode || keyIndex < 0 || keyIndex >= LedCount()) {
        return code::kNoAnswer;
    }
    const light::LedColor old = frame_.Get(keyIndex);
    frame_.Set(keyIndex, {light.red, light.green, light.blue, old.level});
    return StoreCustomFrame(light.customGroup);
}

int CTarnexKeyboardDevice::PaintSelectedKeys(bool lit) {
    const config::LightInfo light = LightState();
    if (light.selectedMode != keyboard::kCustomLightMode) {
        return code::kNoAnswer;
    }
    bool painted = false;
    const int count = std::min(LedCount(), static_cast<int>(KeyButtons().size()));
    for (int i = 0; i < count; ++i) {
        const pages::CDeviceKeyButtonUI* button = KeyButtons()[static_cast<std::size_t>(i)];
        if (button == nullptr || button->GetSelect() == 0) {
            continue;
        }
        const light::LedColor old = frame_.Get(i);
        frame_.Set(i, lit ? light::LedColor{light.red, light.green, light.blue, old.level}
                          : light::LedColor{0, 0, 0, old.level});
        painted = true;
    }
    return painted ? StoreCustomFrame(light.customGroup) : code::kNoAnswer;
}

int CTarnexKeyboardDevice::StoreCustomFrame(int group) {
    const std::vector<config::KeyColor> colors = FrameKeyColors();
    if (!profile_.SetCustomColors(colors, group)) {
        return code::kNoAnswer;
    }
    SaveDeviceProfile();
    if (commandChannel_.IsWireless()) {
        return code::kSuccess;  // by cable only
    }
    return keyboard::WriteGroupColors(commandChannel_, tables_, colors, group);
}

}  // namespace norvane::devices
