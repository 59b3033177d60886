#pragma once

#include "devices/audio/alsa_mixer.h"
#include "devices/audio/audio_library.h"
#include "devices/audio/equaliser.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The audio library on Linux: the headset's sound card through its ALSA mixer, and the
// equaliser in front of its output.
//
// The recording device carries the microphone (the card's capture controls) and the
// monitoring ("AA…": the microphone's playback controls into the headset); the playback
// device carries the equaliser. Levels read as "VolumeControl" and the Get…Vol ranges are in
// hundredths of a dB where the control has a dB scale, else in the control's own steps.
namespace norvane::devices::audio {

// Results beside 0 (success).
inline constexpr int kAlsaNotSupported = 1;  // the card or this machine cannot do it
inline constexpr int kAlsaBadArgument = 2;   // unknown device record, short buffer, bad value
inline constexpr int kAlsaFailed = 3;        // the card or the equaliser refused the change
inline constexpr int kAlsaDeviceGone = 4;    // the headset was unplugged

// Field 0 bits of this library's "GetSupportFeature"; the voice changer bit is never set here.
inline constexpr std::uint32_t kFeatureMicrophone = 0x1;
inline constexpr std::uint32_t kFeatureMonitoring = 0x2;
inline constexpr std::uint32_t kFeatureEqualiser = 0x4;

// The device records this library lists (the third word is the card number).
inline constexpr std::uint32_t kAlsaPlaybackId = 1;
inline constexpr std::uint32_t kAlsaRecordingId = 2;

// The mixer elements the library drives; an empty name when the card has none.
struct AlsaElementChoice {
    std::string microphone;  // capture volume or switch
    std::string monitoring;  // playback volume or switch of the microphone's loopback
};
AlsaElementChoice ChooseElements(IAlsaMixer& mixer);

class AlsaAudioLibrary final : public IAudioConfigLibrary {
public:
    // mixer null: no headset card (missing says why). The equaliser may be null.
    AlsaAudioLibrary(std::unique_ptr<IAlsaMixer> mixer, int card, IEqualiser* equaliser,
                     std::string missing = {});
    AlsaAudioLibrary(std::unique_ptr<IAlsaMixer> mixer, int card, std::unique_ptr<IEqualiser> equaliser,
                     std::string missing = {});

    int ConfLibInit() override;
    int CreateDeviceList() override;
    int GetDeviceCount(int list, int& count) override;
    int GetDeviceById(int list, int index, AudioDeviceRecord& record) override;
    int PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                        std::span<std::uint8_t> value, std::span<const std::uint8_t> parameter,
                        bool write) override;
    AudioCapabilities Capabilities() const override;

private:
    struct Call;
    int Microphone(Call& call, std::string_view name);
    int Monitoring(Call& call, std::string_view name);
    int Level(Call& call, const std::string& element, MixerSide side, std::string_view what);
    int Equaliser(Call& call, std::string_view name);
    int Features(Call& call);
    int FromMixer(MixerResult result, std::string_view property);
    bool EqualiserUsable() const;

    std::unique_ptr<IAlsaMixer> mixer_;
    int card_;
    std::unique_ptr<IEqualiser> ownedEqualiser_;
    IEqualiser* equaliser_;
    std::string missing_;
    bool listed_ = false;
    bool recording_ = false;
    AlsaElementChoice elements_;
    bool equaliserOn_ = false;
    std::array<int, kEqualiserBands> bands_{};
};

// The library for the headset with this identity: its card found in sysfs, the equaliser
// from the equaliser factory. Without the card it lists no device.
std::unique_ptr<IAudioConfigLibrary> MakeAlsaAudioLibrary(const AudioDeviceIdentity& identity);

}  // namespace norvane::devices::audio
