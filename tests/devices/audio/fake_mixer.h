#pragma once

#include "devices/audio/alsa_mixer.h"

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norvane::test {

using devices::audio::IAlsaMixer;
using devices::audio::kEveryChannel;
using devices::audio::MixerElementInfo;
using devices::audio::MixerRange;
using devices::audio::MixerResult;
using devices::audio::MixerSide;

// One side (playback or capture) of a simple element: a volume per channel, a switch per channel.
struct FakeSide {
    bool hasVolume = false;
    bool hasSwitch = false;
    MixerRange range{0, 100};
    std::optional<MixerRange> db;  // linear over the raw range
    std::vector<long> volumes;
    std::vector<bool> switches;
};

struct FakeElement {
    FakeSide playback;
    FakeSide capture;
};

// A sound card's mixer in memory; it can refuse writes or go away like an unplugged card.
class FakeMixer final : public IAlsaMixer {
public:
    // channels: how many each side has.
    static FakeSide Side(bool volume, bool sw, int channels, MixerRange range = {0, 100},
                         std::optional<MixerRange> db = std::nullopt) {
        FakeSide side{volume, sw, range, db, {}, {}};
        side.volumes.assign(static_cast<std::size_t>(channels), range.min);
        side.switches.assign(static_cast<std::size_t>(channels), true);
        return side;
    }

    std::map<std::string, FakeElement, std::less<>> elements;
    bool captureStream = true;
    bool gone = false;
    bool refuseWrites = false;

    std::vector<MixerElementInfo> Elements() override {
        std::vector<MixerElementInfo> out;
        if (gone) {
            return out;
        }
        for (const auto& [name, e] : elements) {
            out.push_back(
                {name, e.playback.hasVolume, e.playback.hasSwitch, e.capture.hasVolume, e.capture.hasSwitch});
        }
        return out;
    }
    bool HasCaptureStream() override { return !gone && captureStream; }

    MixerResult VolumeRange(std::string_view element, MixerSide side, MixerRange& range) override {
        FakeSide* s = Find(element, side, true);
        if (s == nullptr) {
            return Missing();
        }
        range = s->range;
        return MixerResult::Ok;
    }
    MixerResult DbRange(std::string_view element, MixerSide side, MixerRange& range) override {
        FakeSide* s = Find(element, side, true);
        if (s == nullptr || !s->db) {
            return Missing();
        }
        range = *s->db;
        return MixerResult::Ok;
    }
    MixerResult Volume(std::string_view element, MixerSide side, int channel, long& value) override {
        FakeSide* s = Find(element, side, true);
        if (s == nullptr || !HasChannel(s->volumes.size(), channel)) {
            return Missing();
        }
        value = s->volumes[ReadIndex(channel)];
        return MixerResult::Ok;
    }
    MixerResult SetVolume(std::string_view element, MixerSide side, int channel, long value) override {
        FakeSide* s = Find(element, side, true);
        if (s == nullptr || !HasChannel(s->volumes.size(), channel)) {
            return Missing();
        }
        if (refuseWrites) {
            return MixerResult::Failed;
        }
        Each(s->volumes, channel, std::clamp(value, s->range.min, s->range.max));
        return MixerResult::Ok;
    }
    MixerResult Db(std::string_view element, MixerSide side, int channel, long& value) override {
        long raw = 0;
        const MixerResult rc = Volume(element, side, channel, raw);
        FakeSide* s = Find(element, side, true);
        if (rc != MixerResult::Ok || !s->db) {
            return rc != MixerResult::Ok ? rc : MixerResult::NoControl;
        }
        value = s->db->min + (raw - s->range.min) * (s->db->max - s->db->min) / (s->range.max - s->range.min);
        return MixerResult::Ok;
    }
    MixerResult SetDb(std::string_view element, MixerSide side, int channel, long value) override {
        FakeSide* s = Find(element, side, true);
        if (s == nullptr || !s->db) {
            return Missing();
        }
        const double fraction =
            static_cast<double>(value - s->db->min) / static_cast<double>(s->db->max - s->db->min);
        return SetVolume(
            element, side, channel,
            s->range.min + std::lround(fraction * static_cast<double>(s->range.max - s->range.min)));
    }
    MixerResult Switch(std::string_view element, MixerSide side, int channel, bool& on) override {
        FakeSide* s = Find(element, side, false);
        if (s == nullptr || !HasChannel(s->switches.size(), channel)) {
            return Missing();
        }
        on = s->switches[ReadIndex(channel)];
        return MixerResult::Ok;
    }
    MixerResult SetSwitch(std::string_view element, MixerSide side, int channel, bool on) override {
        FakeSide* s = Find(element, side, false);
        if (s == nullptr || !HasChannel(s->switches.size(), channel)) {
            return Missing();
        }
        if (refuseWrites) {
            return MixerResult::Failed;
        }
        Each(s->switches, channel, on);
        return MixerResult::Ok;
    }

    FakeSide& At(const std::string& element, MixerSide side) {
        return side == MixerSide::Playback ? elements.at(element).playback : elements.at(element).capture;
    }

private:
    MixerResult Missing() const { return gone ? MixerResult::Gone : MixerResult::NoControl; }

    FakeSide* Find(std::string_view element, MixerSide side, bool volume) {
        const auto it = elements.find(element);
        if (gone || it == elements.end()) {
            return nullptr;
        }
        FakeSide& s = side == MixerSide::Playback ? it->second.playback : it->second.capture;
        return (volume ? s.hasVolume : s.hasSwitch) ? &s : nullptr;
    }
    static bool HasChannel(std::size_t count, int channel) {
        return channel == kEveryChannel ? count > 0
                                        : channel >= 0 && static_cast<std::size_t>(channel) < count;
    }
    static std::size_t ReadIndex(int channel) {
        return channel == kEveryChannel ? 0 : static_cast<std::size_t>(channel);
    }
    template <typename T, typename V>
    static void Each(std::vector<T>& values, int channel, V value) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (channel == kEveryChannel || static_cast<std::size_t>(channel) == i) {
                values[i] = value;
            }
        }
    }
};

}  // namespace norvane::test
