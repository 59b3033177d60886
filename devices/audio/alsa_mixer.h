#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One sound card's mixer as simple elements (a name with playback and capture volumes and
// switches), the seam between the ALSA audio library and alsa-lib.
namespace norvane::devices::audio {

enum class MixerSide { Playback, Capture };

enum class MixerResult {
    Ok,
    NoControl,  // the element or this side of it has no such control
    Failed,     // the card refused the value
    Gone,       // the card went away (headset unplugged); every later call gives this too
};

// Every channel of the element, or one channel by its number (0 the first).
inline constexpr int kEveryChannel = -1;

struct MixerElementInfo {
    std::string name;
    bool playbackVolume = false;
    bool playbackSwitch = false;
    bool captureVolume = false;
    bool captureSwitch = false;
};

struct MixerRange {
    long min = 0;
    long max = 0;
};

class IAlsaMixer {
public:
    virtual ~IAlsaMixer() = default;

    // The card's simple elements, as of the last refresh; empty once the card is gone.
    virtual std::vector<MixerElementInfo> Elements() = 0;
    // Whether the card records (has a capture stream).
    virtual bool HasCaptureStream() = 0;

    virtual MixerResult VolumeRange(std::string_view element, MixerSide side, MixerRange& range) = 0;
    // In hundredths of a dB; NoControl when the control has no dB scale.
    virtual MixerResult DbRange(std::string_view element, MixerSide side, MixerRange& range) = 0;
    virtual MixerResult Volume(std::string_view element, MixerSide side, int channel, long& value) = 0;
    virtual MixerResult SetVolume(std::string_view element, MixerSide side, int channel, long value) = 0;
    virtual MixerResult Db(std::string_view element, MixerSide side, int channel, long& value) = 0;
    virtual MixerResult SetDb(std::string_view element, MixerSide side, int channel, long value) = 0;
    // on: the switch lets sound through (not muted).
    virtual MixerResult Switch(std::string_view element, MixerSide side, int channel, bool& on) = 0;
    virtual MixerResult SetSwitch(std::string_view element, MixerSide side, int channel, bool on) = 0;
};

// The mixer of card number card ("hw:N"); nothing when it cannot be opened, with the reason.
std::unique_ptr<IAlsaMixer> OpenAlsaMixer(int card, std::string& error);

}  // namespace norvane::devices::audio
