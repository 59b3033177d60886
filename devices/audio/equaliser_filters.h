#pragma once

#include "devices/audio/equaliser.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The ten peaking filters behind the equaliser: their centres, width, and the gain a band value
// in library units stands for.
namespace norvane::devices::audio::eq {

// Octave-spaced centres, 31 Hz to 16 kHz.
inline constexpr std::array<double, kEqualiserBands> kBandFrequenciesHz{
    31.0, 62.0, 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0, 16000.0};
// One octave wide, so neighbouring bands meet near their half-gain points.
inline constexpr double kBandQ = 1.41;
// One library unit is half a decibel; values beyond ±24 units (±12 dB) are held at the limit.
inline constexpr double kDecibelsPerUnit = 0.5;
inline constexpr int kMaxBandUnits = 24;

constexpr bool ValidBand(int band) {
    return band >= 0 && band < kEqualiserBands;
}

constexpr double BandGainDb(int units) {
    const int held =
        units > kMaxBandUnits ? kMaxBandUnits : (units < -kMaxBandUnits ? -kMaxBandUnits : units);
    return held * kDecibelsPerUnit;
}

// The filter node of band 0 … 9 in the chain ("eq1" … "eq10") and its gain control.
std::string BandNodeName(int band);
std::string BandGainControl(int band);

// Names and places of the chain on the sound server.
struct FilterChainSetup {
    std::string inputName;    // the sink the chain offers in front of the headset
    std::string outputName;   // the stream that plays into the headset
    std::string description;  // shown by sound settings
    std::string targetSink;   // the headset's sink (node name)
    // Above the headset sink's own, so the session manager prefers the chain as the default
    // output where the user has not chosen one; none leaves the server's default.
    std::optional<int> sessionPriority;
};

// The filter-chain module arguments for the ten bands at the given gains (library units), as
// SPA JSON. Every name is quoted and escaped.
std::string FilterChainArguments(const FilterChainSetup& setup, std::span<const int, kEqualiserBands> units);

// A string as a quoted SPA JSON string.
std::string QuoteJson(std::string_view text);

}  // namespace norvane::devices::audio::eq
