// Generated sound for the companion's tests: tones and silence as 16-bit samples and WAV files.
#pragma once

#include "app/audio_capture/wav_file.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

namespace norvane::test {

// `seconds` of a sine at `hz` with peak `amplitude` (0..1 of full scale); 0 Hz is silence.
inline std::vector<std::int16_t> Tone(unsigned rate, unsigned channels, double hz, double amplitude,
                                      double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> out(frames * channels);
    for (std::size_t f = 0; f < frames; ++f) {
        const double v =
            amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(f) / rate);
        for (unsigned c = 0; c < channels; ++c) {
            out[f * channels + c] = static_cast<std::int16_t>(std::lround(v));
        }
    }
    return out;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A little-endian 32-bit word of a block.
inline std::int32_t Word(std::span<const std::uint8_t> block, std::size_t word) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(block[word * 4 + i]) << (8 * i);
    }
    return static_cast<std::int32_t>(v);
}

}  // namespace norvane::test
