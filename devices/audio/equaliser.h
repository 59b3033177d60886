#pragma once

#include "devices/audio/audio_library.h"

#include <functional>
#include <memory>
#include <string>

// The ten-band equaliser in front of the headset's output, in the library's band units.
namespace norvane::devices::audio {

inline constexpr int kEqualiserBands = 10;

class IEqualiser {
public:
    virtual ~IEqualiser() = default;

    // Whether the bands act on the headset's output on this machine; Reason says why not.
    virtual bool Available() const = 0;
    virtual std::string Reason() const = 0;
    // Each returns false when the change did not reach the output.
    virtual bool SetEnabled(bool on) = 0;
    virtual bool SetBand(int band, int gain) = 0;
};

// Makes the equaliser for a headset's output; the program sets it once at start, and the real
// audio library asks it for its equaliser.
using EqualiserFactory = std::function<std::unique_ptr<IEqualiser>(const AudioDeviceIdentity&)>;
void SetEqualiserFactory(EqualiserFactory factory);
// The equaliser from the factory set last; nothing when none is set.
std::unique_ptr<IEqualiser> MakeEqualiser(const AudioDeviceIdentity& identity);

}  // namespace norvane::devices::audio
