#include "app/audio_capture/level_analyser.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace norvane::audio_capture {

namespace {

constexpr double kFullScaleSineMeanSquare = 0.5;
constexpr double kWindowSeconds = 0.04;
constexpr float kSampleScale = 32768.0F;
constexpr double kSampleWordScale = 2048.0;

std::size_t FftSizeFor(unsigned rate) {
    std::size_t n = 512;
    while (static_cast<double>(n) < kWindowSeconds * rate) {
        n *= 2;
    }
    return n;
}

double BandEdge(int band) {
    return kBandLowHz * std::pow(kBandHighHz / kBandLowHz, static_cast<double>(band) / kBandCount);
}

void PutWord(std::span<std::uint8_t> out, std::size_t word, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        out[word * 4 + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

}  // namespace

struct LevelAnalyser::Fft {
    explicit Fft(std::size_t n)
        : in(static_cast<double*>(fftw_malloc(sizeof(double) * n))),
          out(static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * (n / 2 + 1)))),
          plan(fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE)) {}
    ~Fft() {
        fftw_destroy_plan(plan);
        fftw_free(out);
        fftw_free(in);
    }
    Fft(const Fft&) = delete;
    Fft& operator=(const Fft&) = delete;
    double* in;
    fftw_complex* out;
    fftw_plan plan;
};

int LevelOfMeanSquare(double meanSquare) {
    if (!(meanSquare > 0)) {
        return 0;
    }
    const double dbfs = 10.0 * std::log10(meanSquare / kFullScaleSineMeanSquare);
    const double level = std::round(255.0 * (dbfs + kLevelRangeDb) / kLevelRangeDb);
    return static_cast<int>(std::clamp(level, 0.0, 255.0));
}

int BandOf(double hz) {
    if (hz < kBandLowHz || hz >= kBandHighHz) {
        return -1;
    }
    const double position = std::log(hz / kBandLowHz) / std::log(kBandHighHz / kBandLowHz) * kBandCount;
    return std::clamp(static_cast<int>(position), 0, static_cast<int>(kBandCount) - 1);
}

LevelAnalyser::LevelAnalyser(unsigned rate)
    : rate_(rate), fftSize_(FftSizeFor(rate)), history_(fftSize_, 0.0F), window_(fftSize_) {
    for (std::size_t i = 0; i < fftSize_; ++i) {
        window_[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                          static_cast<double>(fftSize_));
        windowPower_ += window_[i] * window_[i];
    }
    fft_ = std::make_unique<Fft>(fftSize_);
}

LevelAnalyser::~LevelAnalyser() = default;

void LevelAnalyser::Push(std::span<const std::int16_t> samples, unsigned channels) {
    if (channels == 0) {
        return;
    }
    const std::size_t frames = samples.size() / channels;
    std::vector<float> mono(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (unsigned c = 0; c < channels; ++c) {
            sum += samples[f * channels + c];
        }
        mono[f] = sum / static_cast<float>(channels) / kSampleScale;
    }
    if (frames >= fftSize_) {
        std::copy(mono.end() - static_cast<std::ptrdiff_t>(fftSize_), mono.end(), history_.begin());
    } else {
        std::shift_left(history_.begin(), history_.end(), static_cast<std::ptrdiff_t>(frames));
        std::copy(mono.begin(), mono.end(), history_.end() - static_cast<std::ptrdiff_t>(frames));
    }
}

std::array<std::int32_t, kLevelWords> LevelAnalyser::Levels(Rgb colour) {
    std::array<std::int32_t, kLevelWords> words{};
    const std::size_t n = fftSize_;

    // Loudness of the newest hop.
    const std::size_t hop = std::min(Hop(), n);
    double hopSquares = 0;
    for (std::size_t i = n - hop; i < n; ++i) {
        hopSquares += static_cast<double>(history_[i]) * history_[i];
    }
    const int loudness = LevelOfMeanSquare(hop == 0 ? 0 : hopSquares / static_cast<double>(hop));
    words[kColourWord] = colour.red * loudness / 255;
    words[kColourWord + 1] = colour.green * loudness / 255;
    words[kColourWord + 2] = colour.blue * loudness / 255;

    for (std::size_t i = 0; i < n; ++i) {
        fft_->in[i] = history_[i] * window_[i];
    }
    fftw_execute(fft_->plan);
    // Mean square of the sound in each bin: a sine's bins add up to its own mean square.
    const double scale = 2.0 / (static_cast<double>(n) * windowPower_);
    const std::size_t lastBin = n / 2 - 1;
    std::vector<double> power(lastBin + 1, 0.0);
    for (std::size_t k = 1; k <= lastBin; ++k) {
        const double re = fft_->out[k][0];
        const double im = fft_->out[k][1];
        power[k] = (re * re + im * im) * scale;
    }
    const double binHz = static_cast<double>(rate_) / static_cast<double>(n);

    std::array<double, 3> three{};
    for (std::size_t k = 1; k <= lastBin; ++k) {
        const double hz = static_cast<double>(k) * binHz;
        three[hz < kLowMiddleHz ? 0 : hz < kMiddleHighHz ? 1 : 2] += power[k];
    }
    for (std::size_t b = 0; b < three.size(); ++b) {
        words[kThreeBandWord + b] = LevelOfMeanSquare(three[b]);
    }

    for (int band = 0; band < static_cast<int>(kBandCount); ++band) {
        const double lo = BandEdge(band);
        const double hi = BandEdge(band + 1);
        auto first = static_cast<std::size_t>(std::ceil(lo / binHz));
        auto last = static_cast<std::size_t>(std::ceil(hi / binHz)) - 1;
        if (first > lastBin) {
            continue;  // above half the rate
        }
        last = std::min(last, lastBin);
        double sum = 0;
        if (first > last) {
            // A band narrower than a bin takes the bin nearest its centre.
            const auto nearest = static_cast<std::size_t>(std::lround(std::sqrt(lo * hi) / binHz));
            sum = power[std::clamp<std::size_t>(nearest, 1, lastBin)];
        } else {
            for (std::size_t k = first; k <= last; ++k) {
                sum += power[k];
            }
        }
        words[kBandWord + static_cast<std::size_t>(band)] = LevelOfMeanSquare(sum);
    }
    return words;
}

LevelAnalyser::LevelBlock LevelAnalyser::LevelsBlock(Rgb colour) {
    LevelBlock block{};
    const auto words = Levels(colour);
    for (std::size_t w = 0; w < words.size(); ++w) {
        PutWord(block, w, words[w]);
    }
    return block;
}

LevelAnalyser::SampleBlock LevelAnalyser::SamplesBlock() const {
    SampleBlock block{};
    const std::size_t from = fftSize_ - kSampleWords;
    for (std::size_t i = 0; i < kSampleWords; ++i) {
        const double scaled = std::floor(static_cast<double>(history_[from + i]) * kSampleWordScale);
        PutWord(block, i, static_cast<std::int32_t>(std::clamp(scaled, -2048.0, 2047.0)));
    }
    return block;
}

}  // namespace norvane::audio_capture
