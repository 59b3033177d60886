#include "devices/common/status_poll.h"

#include "device/commands.h"

namespace norvane::devices {

int PollStatus(device::HidChannel& channel, StatusBlock& status) {
    if (!channel.IsOpen()) {
        return device::result::kNoAnswer;
    }
    if (!device::QueryLink(channel)) {
        return device::result::kReceiverAsleep;
    }
    StatusBlock block{};
    if (const int r = device::ReadStatus(channel, block, 0); r != device::result::kSuccess) {
        return r;
    }
    block[3] = channel.IsWireless() ? 1 : 0;
    status = block;
    return device::result::kSuccess;
}

}  // namespace norvane::devices
