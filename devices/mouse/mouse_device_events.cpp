// The mouse object's life and its event interfaces: two readers that store what an event
// asks for and hand it to the UI thread, the reactive flash that goes straight to the lighting.
#include "devices/mouse/mouse_device.h"
#include "devices/peripheral_events.h"
#include "platform/diag.h"
#include "ui/control_factory.h"
#include "ui/paint_manager.h"

namespace norvane::devices {
namespace {

constexpr std::string_view kEventReadText = "接收到自动添加设备的同步信息要求  TEST";
constexpr std::string_view kResyncText = "接收到自动添加设备的同步信息要求";
constexpr std::string_view kReaderEndText = "MS 设备同步线程设定退出";
constexpr int kPeripheralLeds = 15;

}  // namespace

CTarnexMouseDevice::CTarnexMouseDevice()
    : readers_(eventChannel_, DeviceThread::kEventThreadBound, kReaderEndText) {
    SetLedCount(kPeripheralLeds);
    SetKeyButtonCount(static_cast<int>(mouse::kButtonCount));
    lighting_.SetLedCount(LedCount());
}

CTarnexMouseDevice::~CTarnexMouseDevice() {
    StopDeviceThreads();
}

void CTarnexMouseDevice::StopDeviceThreads() {
    lighting_.Stop();
    readers_.StopAll();
}

bool CTarnexMouseDevice::OpenEventInterface(int slot, std::string_view path, bool reopen) {
    return readers_.Open(slot, path, reopen, [this](std::uint16_t code) { OnEventCode(code); });
}

void CTarnexMouseDevice::CloseEventInterface(int slot) {
    readers_.Close(slot);
}

// Reader thread: atomics, the lighting (under its own lock) and a post.
void CTarnexMouseDevice::OnEventCode(std::uint16_t eventCode) {
    platform::diag::Trace(kEventReadText);
    const PeripheralEvent event = ClassifyPeripheralEvent(eventCode);
    switch (event.kind) {
        case PeripheralEventKind::Resync:
            platform::diag::Trace(kResyncText);
            resyncPending_.store(true);
            eventPost_.Post(MainWindow());
            break;
        case PeripheralEventKind::Reactive:
            lighting_.TriggerReactive();
            break;
        case PeripheralEventKind::ActiveBlock:
            if (commandChannel_.IsOpen()) {
                lighting_.SetActiveBlock(event.block);
                if (event.stage) {
                    reportedStage_.store(*event.stage);
                }
                refreshPending_.store(true);
                eventPost_.Post(MainWindow());
            }
            break;
        case PeripheralEventKind::None:
            break;
    }
}

// UI thread.
void CTarnexMouseDevice::OnDeviceEvent() {
    if (resyncPending_.exchange(false)) {
        ScheduleResync(kResyncDelayMs);
    }
    if (const int stage = reportedStage_.exchange(-1); stage >= 0 && mirror_) {
        (*mirror_)[12] = static_cast<std::uint8_t>(stage);
    }
    if (refreshPending_.exchange(false)) {
        RefreshPage();
    }
}

}  // namespace norvane::devices
