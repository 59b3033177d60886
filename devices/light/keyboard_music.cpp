// Music lighting of the keyboard (mode 29): spectrum bars over the matrix columns.
#include "devices/light/keyboard_engine.h"
#include "devices/light/keyboard_geometry.h"
#include "devices/light/tables.h"

#include <algorithm>

namespace norvane::devices::light {

namespace {

constexpr int kRippleKey = 51;
constexpr std::int64_t kRippleThreshold = 71;
constexpr std::uint8_t kWheelFrames = 31;
constexpr std::uint8_t kWheelAdvance = 12;

// Row of the bar top, counted from the top of the matrix: 6 (nothing lit) for silence,
// 0 (the whole column) for the loudest levels.
int BarTop(std::int32_t level) {
    const std::int64_t x = level;
    const std::int64_t top = (600 - x * 600 / 2000 + 100) * 6 / 600;
    return static_cast<int>(std::clamp<std::int64_t>(top, 0, static_cast<std::int64_t>(kMatrixRows)));
}

enum class ColourSource { Background, Wheel, ColumnWheel, Random };

struct MusicStyle {
    bool fromTop;       // bars hang from the top row
    ColourSource bar;   // colour of the cells under the bar
    ColourSource peak;  // colour of the bar top and its fading trail
};

constexpr std::array<MusicStyle, 7> kMusicStyles = {{
    {false, ColourSource::Background, ColourSource::Wheel},
    {true, ColourSource::Background, ColourSource::Wheel},
    {false, ColourSource::Background, ColourSource::Background},
    {false, ColourSource::ColumnWheel, ColourSource::ColumnWheel},
    {false, ColourSource::Background, ColourSource::Random},
    {true, ColourSource::ColumnWheel, ColourSource::Wheel},
    {false, ColourSource::Random, ColourSource::Random},
}};

}  // namespace

void KeyboardLightEngine::FeedAudioSpectrum(std::span<const std::int32_t> levels) {
    spectrum_.fill(0);
    std::copy_n(levels.begin(), std::min<std::size_t>(levels.size(), kMusicLevels), spectrum_.begin());
    if (mode_ != 29 || audio_.mode != 2) {
        return;
    }
    std::int64_t sum = 0;
    for (std::int32_t level : spectrum_) {
        const std::int64_t scaled = static_cast<std::int64_t>(level) * 600 / 2000;
        sum += scaled > 600 ? 500 : 600 - scaled;
    }
    const std::int64_t average = sum / kMusicLevels;
    musicAccumulator_ = std::max<std::int64_t>(0, musicAccumulator_ + 25 - average * 25 / 600);
    if (musicAccumulator_ >= kRippleThreshold) {
        musicAccumulator_ = 0;
        StartRipple(kRippleKey);
    }
}

void KeyboardLightEngine::RenderMusic(LightFrame& frame) {
    const MusicStyle& style = kMusicStyles[audio_.mode < kMusicStyles.size() ? audio_.mode : 0];
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    const Rgb background{audio_.backgroundRed, audio_.backgroundGreen, audio_.backgroundBlue};
    const std::uint32_t offset = random_() % kMusicLevels;
    const std::array<std::int32_t, kMusicLevels> levels = spectrum_;
    spectrum_.fill(0);
    if (++musicFrames_ >= kWheelFrames) {
        musicFrames_ = 0;
        musicWheel_ = static_cast<std::uint8_t>((musicWheel_ + kWheelAdvance) % kWheelSize);
    }
    const Rgb random = Wheel(random_());
    auto pick = [&](ColourSource source, std::size_t column) {
        switch (source) {
            case ColourSource::Wheel:
                return Wheel(musicWheel_);
            case ColourSource::ColumnWheel:
                return Wheel(musicWheel_ + 8 * column);
            case ColourSource::Random:
                return random;
            default:
                return background;
        }
    };
    if (audio_.mode == 2) {
        // The ripples that loud passages start.
        LightMasks();
        AdvanceMasks();
    }
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const int top = BarTop(levels[(c + offset) % kMusicLevels]);
        const LedColor bar = LedColor::Of(pick(style.bar, c), level);
        const Rgb peak = pick(style.peak, c);
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            const std::uint8_t key = kKeyMatrix[c][r];
            if (key >= kNoKey) {
                continue;
            }
            const int row = style.fromTop ? static_cast<int>(kMatrixRows - 1 - r) : static_cast<int>(r);
            if (row > top) {
                frame.Set(key, bar);
                continue;
            }
            if (row == top) {
                reactive_.values[key] = 255;
            } else {
                DecayLedValue(reactive_, key, 29);
            }
            frame.Set(key, LedColor::Of(peak, Scale(reactive_.values[key], level)));
        }
    }
}

}  // namespace norvane::devices::light
