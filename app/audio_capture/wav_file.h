#pragma once

#include "app/audio_capture/sound_source.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace norvane::audio_capture {

// A PCM WAV file of 16-bit samples, mono or stereo, at 8000 to 192000 frames per second.
struct WavSound {
    SoundFormat format;
    std::vector<std::int16_t> samples;  // interleaved
};

struct WavResult {
    WavSound sound;
    std::string error;  // empty when the file was read
};

// Reads and checks a file; anything else than the above gives an error text naming the reason.
WavResult ReadWav(const std::filesystem::path& path);
WavResult ParseWav(std::span<const std::uint8_t> bytes);

// The bytes of a file holding `samples` (for tests and benchmarks that write their fixtures).
std::vector<std::uint8_t> MakeWav(SoundFormat format, std::span<const std::int16_t> samples);

}  // namespace norvane::audio_capture
