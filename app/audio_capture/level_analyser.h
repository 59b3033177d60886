#pragma once

#include "platform/ipc/messages.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// What the companion sends to the program, computed from the newest sound.
//
// Kind 2 (levels, 156 bytes = 39 little-endian 32-bit words, each 0 to 255):
//   words 0-2   red, green, blue: the music colour scaled by the loudness of the last hop
//               (the keyboard's "colour from outside" mode shows these three)
//   words 3-5   low (below 250 Hz), middle (250 Hz to 4 kHz), high (4 kHz and up) band levels
//   words 6-38  33 bands, edges spaced evenly on a log scale from 60 Hz to 16 kHz
//               (band b covers 60 * (16000/60)^(b/33) to 60 * (16000/60)^((b+1)/33) Hz)
// A level is 255 * (dBFS + 60) / 60 clamped to 0..255: a full-scale sine gives 255, -60 dBFS
// and below (silence) give 0.
//
// Kind 1 (samples, 2000 bytes = 500 little-endian signed 32-bit words): the newest 500 mono
// samples (the mean of the channels), scaled to -2048..2047 (the 16-bit sample / 16).
namespace norvane::audio_capture {

inline constexpr std::size_t kSampleWords = 500;
// Blocks per second of sound: one kind 1 and one kind 2 block every 25 ms.
inline constexpr unsigned kHopsPerSecond = 40;
inline constexpr std::size_t kLevelWords = platform::ipc::kAudioLevelsMaxBytes / 4;
inline constexpr std::size_t kBandCount = 33;
inline constexpr double kBandLowHz = 60.0;
inline constexpr double kBandHighHz = 16000.0;
inline constexpr double kLowMiddleHz = 250.0;
inline constexpr double kMiddleHighHz = 4000.0;
inline constexpr double kLevelRangeDb = 60.0;
inline constexpr std::size_t kColourWord = 0;
inline constexpr std::size_t kThreeBandWord = 3;
inline constexpr std::size_t kBandWord = 6;
static_assert(kBandWord + kBandCount == kLevelWords);

struct Rgb {
    std::uint8_t red = 255;
    std::uint8_t green = 255;
    std::uint8_t blue = 255;
};

// The level (0..255) of a mean square taken against a full-scale sine (mean square 0.5).
int LevelOfMeanSquare(double meanSquare);

// The band (0..32) a frequency lies in, or -1 outside 60 Hz to 16 kHz.
int BandOf(double hz);

class LevelAnalyser {
public:
    // Analyses every `Hop()` frames (25 ms) over the newest `FftSize()` frames.
    explicit LevelAnalyser(unsigned rate);
    ~LevelAnalyser();
    LevelAnalyser(const LevelAnalyser&) = delete;
    LevelAnalyser& operator=(const LevelAnalyser&) = delete;

    unsigned Rate() const { return rate_; }
    std::size_t Hop() const { return rate_ / kHopsPerSecond; }
    std::size_t FftSize() const { return fftSize_; }

    // Takes interleaved samples (a whole number of frames of `channels`).
    void Push(std::span<const std::int16_t> samples, unsigned channels);

    using LevelBlock = std::array<std::uint8_t, platform::ipc::kAudioLevelsMaxBytes>;
    using SampleBlock = std::array<std::uint8_t, kSampleWords * 4>;
    // The 39 level words of the newest sound (see above), and as a kind 2 block.
    std::array<std::int32_t, kLevelWords> Levels(Rgb colour);
    LevelBlock LevelsBlock(Rgb colour);
    // The kind 1 block of the newest 500 samples.
    SampleBlock SamplesBlock() const;

private:
    struct Fft;
    unsigned rate_;
    std::size_t fftSize_;
    std::vector<float> history_;  // the newest fftSize_ mono samples, oldest first
    std::vector<double> window_;
    double windowPower_ = 0;  // sum of the squared window
    std::unique_ptr<Fft> fft_;
};

}  // namespace norvane::audio_capture
