#pragma once

#include "devices/audio/audio_library.h"
#include "devices/audio/equaliser.h"

#include <chrono>
#include <memory>
#include <string>

// The equaliser as a chain of ten peaking filters on the session's PipeWire server, in front of
// the headset's sink. The chain lives in this process: it is made when the headset's sink is
// found (also when it comes back), its gains are changed in place, and it goes with the sink,
// with the server or with this object.
namespace norvane::devices::audio {

class PipeWireEqualiser final : public IEqualiser {
public:
    // Longest time a call waits for the server.
    static constexpr std::chrono::milliseconds kServerWait{1000};

    explicit PipeWireEqualiser(const AudioDeviceIdentity& identity);
    ~PipeWireEqualiser() override;
    PipeWireEqualiser(const PipeWireEqualiser&) = delete;
    PipeWireEqualiser& operator=(const PipeWireEqualiser&) = delete;

    bool Available() const override;
    std::string Reason() const override;
    bool SetEnabled(bool on) override;
    // band 0 … 9 (the slider index), gain in library units.
    bool SetBand(int band, int gain) override;

    // The node name of the sink the chain offers; audio played there reaches the headset
    // through the filters.
    std::string SinkName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The PipeWire equaliser for a headset, for the equaliser factory.
std::unique_ptr<IEqualiser> MakePipeWireEqualiser(const AudioDeviceIdentity& identity);

}  // namespace norvane::devices::audio
