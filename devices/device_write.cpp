#include "devices/device_write.h"

#include "devices/usb_device.h"

#include <vector>

namespace norvane::devices {

DeviceWriteReport WriteMacrosAndKeys(CTarnexUSBDevice& device,
                                     const std::function<void(int macros)>& onMacrosRefused,
                                     const std::function<void()>& beforeKeys) {
    DeviceWriteReport report;
    const std::vector<int> used = device.ListUsedMacros();
    report.macros = device.WriteMacros(used);
    if (beforeKeys) {
        beforeKeys();
    }
    if (report.macros != 0) {
        report.messageId = report.macros < 0 ? kMacroWriteFailedMessage : kMacrosTooLargeMessage;
        report.macroKeysAtDefaults = true;
        if (onMacrosRefused) {
            onMacrosRefused(report.macros);
        }
        report.keys = device.WriteCurrentKeysMacrosAsDefaults(0);
    } else {
        report.keys = device.WriteCurrentKeyAssignments(0);
    }
    device.SaveDeviceProfile();
    return report;
}

}  // namespace norvane::devices
