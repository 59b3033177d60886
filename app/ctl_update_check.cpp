// norvane-ctl update-check: the update service's answer for each connected device and the program.

#include "app/ctl.h"
#include "app/ctl_device.h"
#include "update/update_check_command.h"

#include <sstream>
#include <vector>

namespace norvane::ctl {

int RunUpdateCheck(Context& context, std::span<const std::string_view> args) {
    std::vector<device::OpenDeviceVersion> devices;
    if (device::HidBackend* backend = context.Backend()) {
        for (const Found& found : MatchedInterfaces(*backend)) {
            if (found.entry.role == device::DeviceRole::Command) {
                devices.push_back({found.row, found.description.attributes.versionNumber});
            }
        }
    }
    std::ostringstream out;
    std::ostringstream err;
    const int code = update::RunUpdateCheckCommand(args, out, err, devices);
    context.Out() += out.str();
    context.Err() += err.str();
    return code;
}

}  // namespace norvane::ctl
