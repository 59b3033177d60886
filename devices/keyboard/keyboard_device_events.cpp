// The keyboard object's event interfaces: two readers that store what an event asks for and
// hand it to the UI thread through the main window.
#include "devices/keyboard/event_codes.h"
#include "devices/keyboard/keyboard_device.h"
#include "platform/diag.h"

#include <mutex>

namespace norvane::devices {
namespace {

constexpr std::string_view kEventReadText = "接收到自动添加设备的同步信息要求  TEST";
constexpr std::string_view kResyncText = "接收到自动添加设备的同步信息要求";
constexpr std::string_view kReaderEndText = "MS 设备同步线程设定退出";
constexpr std::string_view kLightThreadEndText = "KB灯光线程设定退出";

}  // namespace

CTarnexKeyboardDevice::CTarnexKeyboardDevice()
    : readers_(eventChannel_, DeviceThread::kEventThreadBound, kReaderEndText) {
    SetLedCount(light::kKeyboardLeds);
    SetKeyButtonCount(light::kKeyboardLeds);
}

CTarnexKeyboardDevice::~CTarnexKeyboardDevice() {
    StopDeviceThreads();
}

// Reader thread: only atomics and a post.
void CTarnexKeyboardDevice::OnEventCode(std::uint16_t code) {
    platform::diag::Trace(kEventReadText);
    const keyboard::KeyboardEvent event = keyboard::ClassifyKeyboardEvent(code);
    switch (event.kind) {
        case keyboard::KeyboardEventKind::Rebuild:
            rebuildPending_.store(true);
            [[fallthrough]];
        case keyboard::KeyboardEventKind::Resync:
            platform::diag::Trace(kResyncText);
            resyncPending_.store(true);
            eventPost_.Post(MainWindow());
            break;
        case keyboard::KeyboardEventKind::ProfileSwitch:
            if (commandChannel_.IsOpen()) {
                switchedProfile_.store(event.profileIndex);
                eventPost_.Post(MainWindow());
            }
            break;
        case keyboard::KeyboardEventKind::None:
            break;
    }
}

// UI thread.
void CTarnexKeyboardDevice::OnDeviceEvent() {
    if (resyncPending_.exchange(false)) {
        ScheduleResync(kResyncDelayMs);
    }
    if (const int profile = switchedProfile_.exchange(-1); profile >= 0) {
        settings_.activeProfile = static_cast<std::uint8_t>(profile);
        RefreshPage();
    }
}

bool CTarnexKeyboardDevice::OpenEventInterface(int slot, std::string_view path, bool reopen) {
    return readers_.Open(slot, path, reopen, [this](std::uint16_t code) { OnEventCode(code); });
}

void CTarnexKeyboardDevice::CloseEventInterface(int slot) {
    readers_.Close(slot);
}

bool CTarnexKeyboardDevice::IsEventInterfaceOpen(int slot) const {
    return readers_.IsOpen(slot);
}

void CTarnexKeyboardDevice::StopDeviceThreads() {
    if (lightThread_.Stop() == StopResult::Ended) {
        platform::diag::Trace(kLightThreadEndText);
    }
    readers_.StopAll();
}

}  // namespace norvane::devices
