#include "devices/common/config_bracket.h"

namespace norvane::devices {

bool LinkUp(device::HidChannel& channel, LinkTest test) {
    if (!channel.IsOpen()) {
        return false;
    }
    return test == LinkTest::Off || device::QueryLink(channel);
}

}  // namespace norvane::devices
