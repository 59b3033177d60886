// The keyboard object's event interfaces: two readers that store what an event asks for and
// hand it to the UI thread through the main window, and the object registry that finds the
// object again there (or finds it gone).
#include "devices/device_workers.h"
#include "devices/keyboard/event_codes.h"
#include "devices/keyboard/keyboard_device.h"
#include "platform/diag.h"
#include "ui/window.h"

#include <map>
#include <mutex>

namespace norvane::devices {
namespace {

constexpr std::string_view kEventReadText = "接收到自动添加设备的同步信息要求  TEST";
constexpr std::string_view kResyncText = "接收到自动添加设备的同步信息要求";
constexpr std::string_view kReaderEndText = "MS 设备同步线程设定退出";
constexpr std::string_view kLightThreadEndText = "KB灯光线程设定退出";

// The keyboard objects alive, by event id.
struct Registry {
    std::mutex mutex;
    std::map<int, CTarnexKeyboardDevice*> objects;
    int next = 1;
};

Registry& Objects() {
    static Registry registry;
    return registry;
}

int Register(CTarnexKeyboardDevice* object) {
    Registry& r = Objects();
    const std::lock_guard lock(r.mutex);
    const int id = r.next++;
    r.objects[id] = object;
    return id;
}

void Unregister(int id) {
    Registry& r = Objects();
    const std::lock_guard lock(r.mutex);
    r.objects.erase(id);
}

}  // namespace

CTarnexKeyboardDevice::CTarnexKeyboardDevice() : eventId_(Register(this)) {
    SetLedCount(light::kKeyboardLeds);
    SetKeyButtonCount(light::kKeyboardLeds);
}

CTarnexKeyboardDevice::~CTarnexKeyboardDevice() {
    Unregister(eventId_);
    StopDeviceThreads();
}

bool CTarnexKeyboardDevice::DispatchEventMessage(unsigned msg, std::intptr_t wparam) {
    if (msg != kKeyboardEventMessage) {
        return false;
    }
    CTarnexKeyboardDevice* object = nullptr;
    {
        Registry& r = Objects();
        const std::lock_guard lock(r.mutex);
        const auto it = r.objects.find(static_cast<int>(wparam));
        object = it != r.objects.end() ? it->second : nullptr;
    }
    // Objects are created and destroyed on the UI thread, where this runs.
    if (object == nullptr) {
        return false;
    }
    object->OnEventMessage();
    return true;
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
            PostEvent();
            break;
        case keyboard::KeyboardEventKind::ProfileSwitch:
            if (commandChannel_.IsOpen()) {
                switchedProfile_.store(event.profileIndex);
                PostEvent();
            }
            break;
        case keyboard::KeyboardEventKind::None:
            break;
    }
}

void CTarnexKeyboardDevice::PostEvent() {
    ui::WindowImplBase* window = MainWindow();
    if (window == nullptr || posted_.exchange(true)) {
        return;
    }
    if (!window->PostMessage(kKeyboardEventMessage, eventId_, 0)) {
        posted_.store(false);
    }
}

// UI thread.
void CTarnexKeyboardDevice::OnEventMessage() {
    posted_.store(false);  // events from here on post again
    if (resyncPending_.exchange(false)) {
        KillTimer(kResyncTimerId);
        SetTimer(kResyncTimerId, kResyncDelayMs);
    }
    if (const int profile = switchedProfile_.exchange(-1); profile >= 0) {
        settings_.activeProfile = static_cast<std::uint8_t>(profile);
        RefreshPage();
    }
}

bool CTarnexKeyboardDevice::OpenEventInterface(int slot, std::string_view path, bool reopen) {
    if (slot < 0 || slot > 1) {
        return false;
    }
    const auto index = static_cast<std::size_t>(slot);
    if (reopen || readers_[index].Running()) {
        CloseEventInterface(slot);
    }
    device::HidInterface& events = slot == 0 ? eventChannel_.Cable() : eventChannel_.Receiver();
    {
        std::mutex& lock = slot == 0 ? eventChannel_.IoLock() : eventChannel_.SecondSlotLock();
        const std::lock_guard guard(lock);
        if (!events.Open(path, true, true, true, false)) {
            return false;
        }
    }
    eventOpen_[index].store(true);
    return StartEventReader(readers_[index], events, [this](std::uint16_t code) { OnEventCode(code); });
}

void CTarnexKeyboardDevice::CloseEventInterface(int slot) {
    if (slot < 0 || slot > 1) {
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    if (readers_[index].Stop() == StopResult::Ended) {
        platform::diag::Trace(kReaderEndText);
    }
    device::HidInterface& events = slot == 0 ? eventChannel_.Cable() : eventChannel_.Receiver();
    std::mutex& lock = slot == 0 ? eventChannel_.IoLock() : eventChannel_.SecondSlotLock();
    const std::lock_guard guard(lock);
    events.Close();
    eventOpen_[index].store(false);
}

bool CTarnexKeyboardDevice::IsEventInterfaceOpen(int slot) const {
    return slot >= 0 && slot <= 1 && eventOpen_[static_cast<std::size_t>(slot)].load();
}

void CTarnexKeyboardDevice::StopDeviceThreads() {
    if (lightThread_.Stop() == StopResult::Ended) {
        platform::diag::Trace(kLightThreadEndText);
    }
    for (DeviceThread& reader : readers_) {
        if (reader.Stop() == StopResult::Ended) {
            platform::diag::Trace(kReaderEndText);
        }
    }
}

}  // namespace norvane::devices
