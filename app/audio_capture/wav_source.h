#pragma once

#include "app/audio_capture/sound_source.h"
#include "app/audio_capture/wav_file.h"

#include <chrono>

namespace norvane::audio_capture {

// Plays a WAV file's samples as a capture would deliver them: paced to the clock (or as fast as
// they are asked for), once or over and over.
class WavSource final : public ISoundSource {
public:
    enum class Pace : std::uint8_t { kRealTime, kFast };
    WavSource(WavSound sound, bool loop, Pace pace);

    SoundFormat Format() const override { return sound_.format; }
    bool Read(std::span<std::int16_t> samples) override;

private:
    WavSound sound_;
    bool loop_;
    Pace pace_;
    std::size_t position_ = 0;
    std::uint64_t framesRead_ = 0;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace norvane::audio_capture
