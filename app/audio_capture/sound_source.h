#pragma once

#include <cstdint>
#include <span>

namespace norvane::audio_capture {

struct SoundFormat {
    unsigned rate = 0;      // frames per second
    unsigned channels = 0;  // 1 or 2
};

// Where the companion takes its sound from: the monitor of the default output or a WAV file.
class ISoundSource {
public:
    virtual ~ISoundSource() = default;
    virtual SoundFormat Format() const = 0;
    // Fills `samples` with interleaved 16-bit samples (a whole number of frames), blocking until
    // they are there; false at the end of the sound or on a failure.
    virtual bool Read(std::span<std::int16_t> samples) = 0;
};

}  // namespace norvane::audio_capture
