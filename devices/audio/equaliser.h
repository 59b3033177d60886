#pragma once

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

}  // namespace norvane::devices::audio
