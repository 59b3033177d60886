#include "platform/ipc/bus.h"

namespace norvane::platform::ipc {

std::string_view Describe(InstanceClaim claim) {
    switch (claim) {
        case InstanceClaim::kPrimary:
            return "primary";
        case InstanceClaim::kWokeRunning:
            return "woke the running copy";
        case InstanceClaim::kRunningNotWoken:
            return "another copy runs and did not answer";
    }
    return {};
}

}  // namespace norvane::platform::ipc
