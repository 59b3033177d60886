#pragma once

#include "device/hid_backend.h"
#include "device/hid_path_list.h"
#include "devices/device_thread.h"
#include "shell/device_list/device_slot.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace norvane::ui {
class WindowImplBase;
}  // namespace norvane::ui

namespace norvane::shell {

// Private messages of the main window: wparam the slot index.
inline constexpr unsigned kDeviceArrivedMessage = 3090;
inline constexpr unsigned kDeviceRemovedMessage = 3091;
// The registered message that shows the window (wparam 0, lparam 0 from the scan).
inline constexpr const char* kInstanceMessageName = "InstanceMessage";

inline constexpr const char* kScanStopText = "抓取设备线程设定退出";

// Where a scan reports what it saw. Called on the scanning thread.
class ScanSink {
public:
    virtual void DeviceArrived(int slot) = 0;
    virtual void DeviceRemoved(int slot) = 0;
    // After the first pass of a scan thread's life.
    virtual void FirstScanDone() = 0;

protected:
    virtual ~ScanSink() = default;
};

// One change of a slot as the scan saw it.
struct SlotEvent {
    int slot = -1;
    bool present = false;
    std::string path;
};

// Hands the scan's reports to a window's UI thread: each change is queued with the path
// the scan saw and announced by a posted message (3090, 3091), so the UI thread sees the
// changes one by one in the order they happened. Never touches the window's controls.
class SlotEventSink : public ScanSink {
public:
    SlotEventSink(ui::WindowImplBase& window, const SlotList& scanSlots);
    void DeviceArrived(int slot) override;
    void DeviceRemoved(int slot) override;
    void FirstScanDone() override;
    // UI thread: the oldest queued change of this slot and direction, taken off the queue.
    std::optional<SlotEvent> Take(int slot, bool present);

private:
    void Queue(SlotEvent event, unsigned message);

    ui::WindowImplBase& window_;
    const SlotList& scanSlots_;
    unsigned instanceMessage_;
    std::mutex mutex_;
    std::deque<SlotEvent> events_;  // guarded by mutex_
};

// One pass over the HID interfaces: claims slots for new interfaces, releases slots whose
// interface went away. The enumerator lives as long as the scanner.
class DeviceScanner {
public:
    enum class PassResult { Done, EnumerationFailed };

    DeviceScanner(device::HidBackend& backend, SlotList& slots) : backend_(backend), slots_(slots) {}

    PassResult RunPass(ScanSink& sink);

private:
    void Discover(ScanSink& sink);
    void CheckPresence(ScanSink& sink);

    device::HidBackend& backend_;
    SlotList& slots_;
    device::HidPathList paths_;
};

// The scan on its own thread: a pass every period until stopped. Wake runs the next pass
// at once (a hot-plug notification may call it). The stop is bounded and cooperative.
class ScanThread {
public:
    static constexpr std::chrono::milliseconds kPeriod{100};

    ScanThread(device::HidBackend& backend, SlotList& slots, ScanSink& sink,
               std::chrono::milliseconds period = kPeriod)
        : backend_(backend), slots_(slots), sink_(sink), period_(period) {}

    bool Start();
    devices::StopResult Stop() { return thread_.Stop(); }
    void Wake() { thread_.Wake(); }
    bool Running() const { return thread_.Running(); }

private:
    device::HidBackend& backend_;
    SlotList& slots_;
    ScanSink& sink_;
    std::chrono::milliseconds period_;
    devices::DeviceThread thread_{devices::DeviceThread::kLightThreadBound};
};

}  // namespace norvane::shell
