#include "devices/audio/alsa_audio_library.h"

#include "devices/audio/alsa_card_finder.h"
#include "devices/audio/audio_properties.h"
#include "devices/audio/device_choice.h"
#include "platform/diag.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace norvane::devices::audio {
namespace {

enum class LevelOp { Max, Min, Step, Volume, Scalar, Mute };

struct LevelProperty {
    std::string_view name;
    LevelOp op;
    bool monitoring;
};

constexpr std::array kLevelProperties = {
    LevelProperty{property::kGetMaxVol, LevelOp::Max, false},
    LevelProperty{property::kGetMinVol, LevelOp::Min, false},
    LevelProperty{property::kGetVolStep, LevelOp::Step, false},
    LevelProperty{property::kVolumeControl, LevelOp::Volume, false},
    LevelProperty{property::kVolumeScalarControl, LevelOp::Scalar, false},
    LevelProperty{property::kMuteControl, LevelOp::Mute, false},
    LevelProperty{property::kGetAAMaxVol, LevelOp::Max, true},
    LevelProperty{property::kGetAAMinVol, LevelOp::Min, true},
    LevelProperty{property::kGetAAVolStep, LevelOp::Step, true},
    LevelProperty{property::kAAVolumeControl, LevelOp::Volume, true},
    LevelProperty{property::kAAVolumeScalarControl, LevelOp::Scalar, true},
    LevelProperty{property::kAAMuteControl, LevelOp::Mute, true},
};

// Element names in order of preference: the microphone's capture side, then its loopback
// into the headset. A loopback element is any other playback element naming the microphone.
constexpr std::array<std::string_view, 4> kMicrophoneElements = {"Mic", "Headset", "Capture", "Headset Mic"};
constexpr std::array<std::string_view, 3> kMonitoringElements = {"Mic", "Sidetone", "Mic Monitor"};

void Trace(std::string_view text) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("audio: " + std::string(text));
    }
}

}  // namespace

AlsaElementChoice ChooseElements(IAlsaMixer& mixer) {
    const std::vector<MixerElementInfo> elements = mixer.Elements();
    const auto named = [&](std::string_view name) {
        return std::find_if(elements.begin(), elements.end(), [&](const auto& e) { return e.name == name; });
    };
    AlsaElementChoice choice;
    for (const std::string_view name : kMicrophoneElements) {
        const auto it = named(name);
        if (it != elements.end() && (it->captureVolume || it->captureSwitch)) {
            choice.microphone = it->name;
            break;
        }
    }
    if (choice.microphone.empty()) {
        const auto it =
            std::find_if(elements.begin(), elements.end(), [](const auto& e) { return e.captureVolume; });
        if (it != elements.end()) {
            choice.microphone = it->name;
        }
    }
    const auto loopback = [](const MixerElementInfo& e) { return e.playbackVolume || e.playbackSwitch; };
    for (const std::string_view name : kMonitoringElements) {
        const auto it = named(name);
        if (it != elements.end() && loopback(*it)) {
            choice.monitoring = it->name;
            break;
        }
    }
    if (choice.monitoring.empty()) {
        const auto it = std::find_if(elements.begin(), elements.end(), [&](const auto& e) {
            return loopback(e) &&
                   (e.name.find("Mic") != std::string::npos || e.name.find("Sidetone") != std::string::npos);
        });
        if (it != elements.end()) {
            choice.monitoring = it->name;
        }
    }
    return choice;
}

// One PropertyControl call: the value buffer and the channel its parameter names.
struct AlsaAudioLibrary::Call {
    std::span<std::uint8_t> value;
    int channel = kEveryChannel;
    bool write = false;
    bool playback = false;

    [[nodiscard]] std::int32_t Int() const {
        std::int32_t v = 0;
        std::memcpy(&v, value.data(), sizeof v);
        return v;
    }
    [[nodiscard]] float Float() const {
        float v = 0;
        std::memcpy(&v, value.data(), sizeof v);
        return v;
    }
    // The text and its NUL; fails when the buffer is too short.
    int Text(std::string_view text) const {
        if (value.size() <= text.size()) {
            return kAlsaBadArgument;
        }
        std::memcpy(value.data(), text.data(), text.size());
        value[text.size()] = 0;
        return 0;
    }
    int Number(long number) const {
        std::array<char, 24> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
        return Text(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
    }
    int Fraction(double fraction) const {
        std::array<char, 32> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), fraction).ptr;
        return Text(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
    }
};

AlsaAudioLibrary::AlsaAudioLibrary(std::unique_ptr<IAlsaMixer> mixer, int card, IEqualiser* equaliser,
                                   std::string missing)
    : mixer_(std::move(mixer)), card_(card), equaliser_(equaliser), missing_(std::move(missing)) {
    if (!mixer_ && missing_.empty()) {
        missing_ = "The headset's sound card was not found.";
    }
}

AlsaAudioLibrary::AlsaAudioLibrary(std::unique_ptr<IAlsaMixer> mixer, int card,
                                   std::unique_ptr<IEqualiser> equaliser, std::string missing)
    : AlsaAudioLibrary(std::move(mixer), card, equaliser.get(), std::move(missing)) {
    ownedEqualiser_ = std::move(equaliser);
}

int AlsaAudioLibrary::ConfLibInit() {
    return 0;
}

int AlsaAudioLibrary::CreateDeviceList() {
    listed_ = true;
    if (!mixer_) {
        Trace(missing_);
        return 0;
    }
    elements_ = ChooseElements(*mixer_);
    recording_ = mixer_->HasCaptureStream() || !elements_.microphone.empty();
    if (platform::diag::Enabled()) {
        platform::diag::Trace("audio: card " + std::to_string(card_) + ", microphone '" +
                              elements_.microphone + "', monitoring '" + elements_.monitoring + "'" +
                              (recording_ ? "" : ", no recording device"));
    }
    return 0;
}

int AlsaAudioLibrary::GetDeviceCount(int list, int& count) {
    if (list != kPlaybackList && list != kRecordingList) {
        return kAlsaBadArgument;
    }
    const bool present = listed_ && mixer_ && (list == kPlaybackList || recording_);
    count = present ? 1 : 0;
    return 0;
}

int AlsaAudioLibrary::GetDeviceById(int list, int index, AudioDeviceRecord& record) {
    int count = 0;
    if (GetDeviceCount(list, count) != 0 || index < 0 || index >= count) {
        return kAlsaBadArgument;
    }
    const auto card = static_cast<std::uint32_t>(card_);
    record = list == kPlaybackList
                 ? AudioDeviceRecord{kAlsaPlaybackId, kPlaybackTypes[0], card, kPlaybackActiveState}
                 : AudioDeviceRecord{kAlsaRecordingId, kRecordingType, card, kPlaybackActiveState};
    return 0;
}

int AlsaAudioLibrary::PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                                      std::span<std::uint8_t> value, std::span<const std::uint8_t> parameter,
                                      bool write) {
    int count = 0;
    const bool playback =
        record.id == kAlsaPlaybackId && GetDeviceCount(kPlaybackList, count) == 0 && count == 1;
    const bool recording =
        record.id == kAlsaRecordingId && GetDeviceCount(kRecordingList, count) == 0 && count == 1;
    if (!playback && !recording) {
        Trace(std::string(property) + ": no such device");
        return kAlsaBadArgument;
    }
    Call call{value, kEveryChannel, write, playback};
    if (write && value.size() < sizeof(std::int32_t)) {
        return kAlsaBadArgument;
    }
    if (parameter.size() >= sizeof(std::int32_t)) {
        std::int32_t channel = 0;
        std::memcpy(&channel, parameter.data(), sizeof channel);
        if (channel < kEveryChannel || channel > 31) {
            return kAlsaBadArgument;
        }
        call.channel = channel;
    }
    if (property == property::kGetSupportFeature) {
        return Features(call);
    }
    if (property == property::kEnableEqGfx ||
        std::find(property::kEqSliders.begin(), property::kEqSliders.end(), property) !=
            property::kEqSliders.end()) {
        return Equaliser(call, property);
    }
    const auto level = std::find_if(kLevelProperties.begin(), kLevelProperties.end(),
                                    [&](const auto& p) { return p.name == property; });
    if (level != kLevelProperties.end() && recording) {
        return level->monitoring ? Monitoring(call, property) : Microphone(call, property);
    }
    Trace(std::string(property) + ": not available on Linux");
    return kAlsaNotSupported;
}

int AlsaAudioLibrary::Microphone(Call& call, std::string_view name) {
    return Level(call, elements_.microphone, MixerSide::Capture, name);
}

int AlsaAudioLibrary::Monitoring(Call& call, std::string_view name) {
    return Level(call, elements_.monitoring, MixerSide::Playback, name);
}

int AlsaAudioLibrary::Level(Call& call, const std::string& element, MixerSide side, std::string_view name) {
    if (element.empty()) {
        Trace(std::string(name) + ": the headset's card has no such control");
        return kAlsaNotSupported;
    }
    const auto entry = std::find_if(kLevelProperties.begin(), kLevelProperties.end(),
                                    [&](const auto& p) { return p.name == name; });
    const LevelOp op = entry->op;
    if (op == LevelOp::Mute) {
        if (call.write) {
            return FromMixer(mixer_->SetSwitch(element, side, call.channel, call.Int() == 0), name);
        }
        bool on = false;
        const int rc = FromMixer(mixer_->Switch(element, side, call.channel, on), name);
        return rc != 0 ? rc : call.Number(on ? 0 : 1);
    }
    MixerRange raw;
    if (const int rc = FromMixer(mixer_->VolumeRange(element, side, raw), name); rc != 0) {
        return rc;
    }
    MixerRange db;
    const MixerResult dbResult = mixer_->DbRange(element, side, db);
    if (dbResult == MixerResult::Gone) {
        return FromMixer(dbResult, name);
    }
    const bool hasDb = dbResult == MixerResult::Ok;
    const long span = raw.max - raw.min;
    switch (op) {
        case LevelOp::Max:
        case LevelOp::Min:
        case LevelOp::Step: {
            if (call.write) {
                return kAlsaNotSupported;
            }
            const MixerRange shown = hasDb ? db : raw;
            if (op == LevelOp::Max) {
                return call.Number(shown.max);
            }
            if (op == LevelOp::Min) {
                return call.Number(shown.min);
            }
            return call.Number(!hasDb ? 1 : span > 0 ? std::max(1L, (db.max - db.min) / span) : 0);
        }
        case LevelOp::Volume: {
            if (call.write) {
                const long v = call.Int();
                return FromMixer(
                    hasDb ? mixer_->SetDb(element, side, call.channel, std::clamp(v, db.min, db.max))
                          : mixer_->SetVolume(element, side, call.channel, std::clamp(v, raw.min, raw.max)),
                    name);
            }
            long v = 0;
            const int rc = FromMixer(hasDb ? mixer_->Db(element, side, call.channel, v)
                                           : mixer_->Volume(element, side, call.channel, v),
                                     name);
            return rc != 0 ? rc : call.Number(v);
        }
        case LevelOp::Scalar: {
            if (call.write) {
                const float f = call.Float();
                if (!std::isfinite(f)) {
                    return kAlsaBadArgument;
                }
                const double fraction = std::clamp(static_cast<double>(f), 0.0, 1.0);
                const long v = raw.min + std::lround(fraction * static_cast<double>(span));
                return FromMixer(mixer_->SetVolume(element, side, call.channel, v), name);
            }
            long v = 0;
            const int rc = FromMixer(mixer_->Volume(element, side, call.channel, v), name);
            if (rc != 0) {
                return rc;
            }
            return call.Fraction(span > 0 ? static_cast<double>(v - raw.min) / static_cast<double>(span)
                                          : 0.0);
        }
        case LevelOp::Mute:
            break;
    }
    return kAlsaNotSupported;
}

int AlsaAudioLibrary::Equaliser(Call& call, std::string_view name) {
    if (!call.playback || !EqualiserUsable()) {
        Trace(std::string(name) + ": " +
              (equaliser_ != nullptr ? equaliser_->Reason() : std::string("no equaliser on this machine")));
        return kAlsaNotSupported;
    }
    const auto slider = std::find(property::kEqSliders.begin(), property::kEqSliders.end(), name);
    const bool enable = slider == property::kEqSliders.end();
    const auto band = static_cast<std::size_t>(slider - property::kEqSliders.begin());
    if (!call.write) {
        return call.Number(enable ? (equaliserOn_ ? 1 : 0) : bands_.at(band));
    }
    const std::int32_t v = call.Int();
    const bool done =
        enable ? equaliser_->SetEnabled(v != 0) : equaliser_->SetBand(static_cast<int>(band), v);
    if (!done) {
        Trace(std::string(name) + ": the equaliser did not take the change");
        return kAlsaFailed;
    }
    if (enable) {
        equaliserOn_ = v != 0;
    } else {
        bands_.at(band) = v;
    }
    return 0;
}

int AlsaAudioLibrary::Features(Call& call) {
    if (call.write) {
        return kAlsaNotSupported;
    }
    std::uint32_t field0 = 0;
    if (call.playback) {
        field0 = EqualiserUsable() ? kFeatureEqualiser : 0;
    } else {
        field0 = (elements_.microphone.empty() ? 0 : kFeatureMicrophone) |
                 (elements_.monitoring.empty() ? 0 : kFeatureMonitoring);
    }
    return call.Text(std::to_string(field0) + ",0,0,0,0,0,0");
}

int AlsaAudioLibrary::FromMixer(MixerResult result, std::string_view property) {
    switch (result) {
        case MixerResult::Ok:
            return 0;
        case MixerResult::NoControl:
            Trace(std::string(property) + ": the headset's card has no such control");
            return kAlsaNotSupported;
        case MixerResult::Failed:
            Trace(std::string(property) + ": the headset's card refused the value");
            return kAlsaFailed;
        case MixerResult::Gone:
            Trace(std::string(property) + ": the headset's sound card is gone");
            return kAlsaDeviceGone;
    }
    return kAlsaFailed;
}

bool AlsaAudioLibrary::EqualiserUsable() const {
    return equaliser_ != nullptr && equaliser_->Available();
}

AudioCapabilities AlsaAudioLibrary::Capabilities() const {
    AudioCapabilities caps;
    caps.microphone = !elements_.microphone.empty();
    caps.monitoring = !elements_.monitoring.empty();
    caps.equaliser = EqualiserUsable();
    caps.voiceChanger = false;
    caps.voiceChangerReason =
        "The voice changer, echo and room effects exist only in the headset's Windows driver.";
    if (!caps.equaliser) {
        caps.equaliserReason = equaliser_ != nullptr
                                   ? equaliser_->Reason()
                                   : "No equaliser can act on the headset's output on this machine.";
    }
    return caps;
}

std::unique_ptr<IAudioConfigLibrary> MakeAlsaAudioLibrary(const AudioDeviceIdentity& identity) {
    std::unique_ptr<IEqualiser> equaliser = MakeEqualiser(identity);
    const std::optional<int> card = FindHeadsetCard(identity);
    if (!card) {
        return std::make_unique<AlsaAudioLibrary>(nullptr, -1, std::move(equaliser));
    }
    std::string error;
    std::unique_ptr<IAlsaMixer> mixer = OpenAlsaMixer(*card, error);
    if (!mixer) {
        Trace(error);
        return std::make_unique<AlsaAudioLibrary>(
            nullptr, *card, std::move(equaliser),
            "The headset's sound card cannot be opened: " + error + ".");
    }
    return std::make_unique<AlsaAudioLibrary>(std::move(mixer), *card, std::move(equaliser));
}

}  // namespace norvane::devices::audio
