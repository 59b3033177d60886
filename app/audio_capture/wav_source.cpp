#include "app/audio_capture/wav_source.h"

#include <algorithm>
#include <thread>

namespace norvane::audio_capture {

WavSource::WavSource(WavSound sound, bool loop, Pace pace)
    : sound_(std::move(sound)), loop_(loop), pace_(pace), start_(std::chrono::steady_clock::now()) {
}

bool WavSource::Read(std::span<std::int16_t> samples) {
    const std::vector<std::int16_t>& all = sound_.samples;
    if (all.empty() || (position_ >= all.size() && !loop_)) {
        return false;
    }
    std::size_t filled = 0;
    while (filled < samples.size()) {
        if (position_ >= all.size()) {
            if (!loop_) {
                break;
            }
            position_ = 0;
        }
        const std::size_t n = std::min(samples.size() - filled, all.size() - position_);
        std::copy_n(all.begin() + static_cast<std::ptrdiff_t>(position_), n,
                    samples.begin() + static_cast<std::ptrdiff_t>(filled));
        position_ += n;
        filled += n;
    }
    // The last block of a file played once is padded with silence.
    std::fill(samples.begin() + static_cast<std::ptrdiff_t>(filled), samples.end(), std::int16_t{0});
    framesRead_ += samples.size() / sound_.format.channels;
    if (pace_ == Pace::kRealTime) {
        // Delivered when the last frame would have been played.
        const auto due = start_ + std::chrono::microseconds(framesRead_ * 1'000'000 / sound_.format.rate);
        std::this_thread::sleep_until(due);
    }
    return true;
}

}  // namespace norvane::audio_capture
