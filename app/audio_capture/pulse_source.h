#pragma once

#include "app/audio_capture/sound_source.h"

#include <memory>
#include <string>

namespace norvane::audio_capture {

// What the computer plays: the monitor of the default output through the Pulse simple API
// (served by PulseAudio or by PipeWire's pulse server). Stereo, 48000 frames per second.
class PulseSource final : public ISoundSource {
public:
    // Nothing (and the reason in `error`) when the sound server cannot be reached.
    // `fragmentFrames` is how many frames the server hands over at a time.
    static std::unique_ptr<PulseSource> Open(unsigned fragmentFrames, std::string& error);
    struct Stream;
    explicit PulseSource(std::unique_ptr<Stream> stream);
    ~PulseSource() override;
    PulseSource(const PulseSource&) = delete;
    PulseSource& operator=(const PulseSource&) = delete;

    SoundFormat Format() const override;
    bool Read(std::span<std::int16_t> samples) override;

private:
    std::unique_ptr<Stream> stream_;
};

}  // namespace norvane::audio_capture
