#pragma once

#include <atomic>
#include <cstdint>

namespace norvane::ui {
class WindowImplBase;
}  // namespace norvane::ui

// Device events travel from a reader thread to the UI thread as one posted window message
// that names the device object by id; the UI thread finds the object again (or finds it gone).
namespace norvane::devices {

class CTarnexUSBDevice;

// Posted to the main window: wparam the object's event id.
inline constexpr unsigned kDeviceEventMessage = 0x0D40;

class DeviceEventPost {
public:
    explicit DeviceEventPost(CTarnexUSBDevice& owner);
    ~DeviceEventPost();
    DeviceEventPost(const DeviceEventPost&) = delete;
    DeviceEventPost& operator=(const DeviceEventPost&) = delete;

    // Any thread. One message in the window's queue serves every event until it is handled.
    void Post(ui::WindowImplBase* window);
    int Id() const { return id_; }

    // UI thread: runs the named object's OnDeviceEvent; false for any other message or an
    // object that is gone.
    static bool Dispatch(unsigned msg, std::intptr_t wparam);

private:
    const int id_;
    std::atomic<bool> posted_{false};
};

}  // namespace norvane::devices
