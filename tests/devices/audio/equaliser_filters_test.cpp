#include "devices/audio/equaliser_filters.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace norvane::devices::audio::eq {
namespace {

TEST(EqualiserFilters, CentresRiseByOctavesAcrossTheAudibleRange) {
    EXPECT_DOUBLE_EQ(kBandFrequenciesHz.front(), 31.0);
    EXPECT_DOUBLE_EQ(kBandFrequenciesHz.back(), 16000.0);
    for (std::size_t i = 1; i < kBandFrequenciesHz.size(); ++i) {
        const double ratio = kBandFrequenciesHz[i] / kBandFrequenciesHz[i - 1];
        EXPECT_GT(ratio, 1.9) << "band " << i;
        EXPECT_LT(ratio, 2.1) << "band " << i;
    }
    // The top band stays below the Nyquist frequency of 44.1 kHz audio.
    EXPECT_LT(kBandFrequenciesHz.back(), 44100.0 / 2);
    EXPECT_GT(kBandQ, 0.0);
}

// Rows of the headset's presets and the gains the filters get for them.
struct PresetCase {
    int eqType;
    std::array<int, kEqualiserBands> units;
    std::array<double, kEqualiserBands> decibels;
};

TEST(EqualiserFilters, PresetRowsBecomeHalfDecibelSteps) {
    const PresetCase cases[] = {
        {1, {7, 11, 2, -3, -1, 4, 9, 12, 9, 5}, {3.5, 5.5, 1.0, -1.5, -0.5, 2.0, 4.5, 6.0, 4.5, 2.5}},
        {5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {6, {7, 14, -13, -6, -1, 8, 13, 7, 2, 6}, {3.5, 7.0, -6.5, -3.0, -0.5, 4.0, 6.5, 3.5, 1.0, 3.0}},
        {11, {18, 14, 8, 2, -3, -6, -1, 2, 5, 6}, {9.0, 7.0, 4.0, 1.0, -1.5, -3.0, -0.5, 1.0, 2.5, 3.0}},
        {12, {2, 1, -2, -4, -8, 4, 12, 16, 18, 15}, {1.0, 0.5, -1.0, -2.0, -4.0, 2.0, 6.0, 8.0, 9.0, 7.5}},
    };
    for (const PresetCase& c : cases) {
        for (std::size_t band = 0; band < kEqualiserBands; ++band) {
            EXPECT_DOUBLE_EQ(BandGainDb(c.units[band]), c.decibels[band])
                << "preset " << c.eqType << " band " << band;
        }
    }
}

TEST(EqualiserFilters, GainsBeyondTheLimitAreHeld) {
    const struct {
        int units;
        double decibels;
    } cases[] = {{24, 12.0}, {25, 12.0}, {1000, 12.0}, {-24, -12.0}, {-25, -12.0}, {-2147483647 - 1, -12.0}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(BandGainDb(c.units), c.decibels) << c.units;
    }
}

TEST(EqualiserFilters, BandNamesAndRange) {
    EXPECT_EQ(BandGainControl(0), "eq1:Gain");
    EXPECT_EQ(BandGainControl(9), "eq10:Gain");
    EXPECT_EQ(BandNodeName(4), "eq5");
    for (const int band : {-1, 10, 11}) {
        EXPECT_FALSE(ValidBand(band)) << band;
    }
    for (const int band : {0, 5, 9}) {
        EXPECT_TRUE(ValidBand(band)) << band;
    }
}

TEST(EqualiserFilters, QuotedNamesCannotBreakOutOfTheirString) {
    const struct {
        std::string text;
        std::string quoted;
    } cases[] = {
        {"alsa_output.usb-Headset-00.analog-stereo", R"("alsa_output.usb-Headset-00.analog-stereo")"},
        {R"(say "hi")", R"("say \"hi\"")"},
        {R"(back\slash)", R"("back\\slash")"},
        {"line\nbreak", R"("line\u000abreak")"},
        {"sep\x1f", R"("sep\u001f")"},
        {"", R"("")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuoteJson(c.text), c.quoted) << c.text;
    }
}

}  // namespace
}  // namespace norvane::devices::audio::eq
