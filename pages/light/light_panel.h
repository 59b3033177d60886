#pragma once

#include "config/light_data.h"

namespace norvane::pages {

// The lighting panel as the device object sees it: shows the music-light settings and gives
// back what the user set.
class ILightPanel {
public:
    virtual void ShowAudioLightState(const config::AudioLightInfo& state) = 0;
    virtual config::AudioLightInfo ReadAudioLightState() const = 0;

protected:
    virtual ~ILightPanel() = default;
};

}  // namespace norvane::pages
