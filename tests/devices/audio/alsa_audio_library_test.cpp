#include "devices/audio/alsa_audio_library.h"

#include "devices/audio/audio_properties.h"
#include "devices/audio/device_choice.h"
#include "platform/diag.h"
#include "tests/devices/audio/fake_mixer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace norvane::devices::audio {
namespace {

using test::FakeMixer;

// A headset's card as the USB audio driver shows it: the microphone's capture level and switch
// (mono, with a dB scale), its loopback into the headset (stereo, with a dB scale) and the
// speaker.
std::unique_ptr<FakeMixer> HeadsetCard() {
    auto mixer = std::make_unique<FakeMixer>();
    mixer->elements["Mic"].capture = FakeMixer::Side(true, true, 1, {0, 16}, MixerRange{-1200, 2000});
    mixer->elements["Mic"].playback = FakeMixer::Side(true, true, 2, {0, 31}, MixerRange{-2300, 800});
    mixer->elements["Speaker"].playback = FakeMixer::Side(true, true, 2, {0, 151}, MixerRange{-2813, 0});
    return mixer;
}

// A recording equaliser; it can be unavailable or refuse changes.
class FakeEqualiser final : public IEqualiser {
public:
    bool available = true;
    bool refuse = false;
    std::optional<bool> enabled;
    std::array<std::optional<int>, kEqualiserBands> bands{};

    bool Available() const override { return available; }
    std::string Reason() const override { return available ? "" : "PipeWire is not running."; }
    bool SetEnabled(bool on) override {
        if (refuse) {
            return false;
        }
        enabled = on;
        return true;
    }
    bool SetBand(int band, int gain) override {
        if (refuse || band < 0 || band >= kEqualiserBands) {
            return false;
        }
        bands.at(static_cast<std::size_t>(band)) = gain;
        return true;
    }
};

struct Answer {
    int rc = -1;
    std::string text;
};

std::array<std::uint8_t, 4> Channel(std::int32_t channel) {
    std::array<std::uint8_t, 4> bytes{};
    std::memcpy(bytes.data(), &channel, sizeof channel);
    return bytes;
}

class AlsaLibraryTest : public ::testing::Test {
protected:
    void Open(std::unique_ptr<FakeMixer> card, IEqualiser* equaliser = nullptr) {
        mixer = card.get();
        library = std::make_unique<AlsaAudioLibrary>(std::move(card), 3, equaliser);
        ASSERT_EQ(library->ConfLibInit(), 0);
        ASSERT_EQ(library->CreateDeviceList(), 0);
        int count = 0;
        ASSERT_EQ(library->GetDeviceCount(kPlaybackList, count), 0);
        ASSERT_EQ(count, 1);
        ASSERT_EQ(library->GetDeviceById(kPlaybackList, 0, playback), 0);
        ASSERT_EQ(library->GetDeviceCount(kRecordingList, count), 0);
        if (count == 1) {
            ASSERT_EQ(library->GetDeviceById(kRecordingList, 0, recording), 0);
        }
    }

    Answer Read(const AudioDeviceRecord& record, std::string_view name,
                std::optional<std::int32_t> channel = {}) {
        std::array<std::uint8_t, kPropertyBufferSize> value{};
        const auto parameter = Channel(channel.value_or(0));
        Answer answer;
        answer.rc = library->PropertyControl(
            record, name, value,
            channel ? std::span<const std::uint8_t>(parameter) : std::span<const std::uint8_t>(), false);
        if (answer.rc == 0) {
            answer.text = reinterpret_cast<const char*>(value.data());  // NOLINT
        }
        return answer;
    }

    template <typename T>
    int Write(const AudioDeviceRecord& record, std::string_view name, T number,
              std::optional<std::int32_t> channel = {}) {
        std::array<std::uint8_t, kPropertyBufferSize> value{};
        std::memcpy(value.data(), &number, sizeof number);
        const auto parameter = Channel(channel.value_or(0));
        return library->PropertyControl(
            record, name, value,
            channel ? std::span<const std::uint8_t>(parameter) : std::span<const std::uint8_t>(), true);
    }

    FakeMixer* mixer = nullptr;
    std::unique_ptr<AlsaAudioLibrary> library;
    AudioDeviceRecord playback;
    AudioDeviceRecord recording;
};

TEST(AlsaElementChoice, PicksTheMicrophoneAndItsLoopbackByName) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, test::FakeElement>> elements;
        std::string microphone;
        std::string monitoring;
    };
    const auto capture = [](bool volume, bool sw) {
        return test::FakeElement{{}, FakeMixer::Side(volume, sw, 1)};
    };
    const auto loopback = [](bool volume, bool sw) {
        return test::FakeElement{FakeMixer::Side(volume, sw, 2), {}};
    };
    const std::vector<Case> cases = {
        {"headset",
         {{"Mic", {loopback(true, true).playback, capture(true, true).capture}},
          {"Speaker", loopback(true, true)}},
         "Mic",
         "Mic"},
        {"named microphone first",
         {{"Capture", capture(true, true)}, {"Mic", capture(false, true)}},
         "Mic",
         ""},
        {"headset capture and sidetone",
         {{"Headset", capture(true, false)}, {"Sidetone", loopback(true, false)}},
         "Headset",
         "Sidetone"},
        {"any capture level",
         {{"Line", capture(true, false)}, {"Front Mic", loopback(false, true)}},
         "Line",
         "Front Mic"},
        {"switch alone is not a level", {{"Line", capture(false, true)}}, "", ""},
        {"speaker only", {{"PCM", loopback(true, true)}, {"Speaker", loopback(true, true)}}, "", ""},
    };
    for (const Case& c : cases) {
        FakeMixer mixer;
        for (const auto& [name, element] : c.elements) {
            mixer.elements[name] = element;
        }
        const AlsaElementChoice choice = ChooseElements(mixer);
        EXPECT_EQ(choice.microphone, c.microphone) << c.what;
        EXPECT_EQ(choice.monitoring, c.monitoring) << c.what;
    }
}

TEST_F(AlsaLibraryTest, ListsOnePlaybackAndOneRecordingDeviceTheChoiceRulesTake) {
    Open(HeadsetCard());
    const std::array playbackList = {playback};
    const std::array recordingList = {recording};
    EXPECT_EQ(ChoosePlayback(playbackList), playback);
    EXPECT_EQ(ChooseRecording(recordingList), recording);
    EXPECT_NE(playback.id, recording.id);
    EXPECT_EQ(playback.third, 3U);
    AudioDeviceRecord record;
    EXPECT_NE(library->GetDeviceById(kPlaybackList, 1, record), 0);
    EXPECT_NE(library->GetDeviceById(kRecordingList, -1, record), 0);
    int count = 0;
    EXPECT_NE(library->GetDeviceCount(2, count), 0);
}

TEST_F(AlsaLibraryTest, CardThatDoesNotRecordListsNoRecordingDevice) {
    auto card = std::make_unique<FakeMixer>();
    card->elements["PCM"].playback = FakeMixer::Side(true, true, 2);
    card->captureStream = false;
    Open(std::move(card));
    int count = -1;
    ASSERT_EQ(library->GetDeviceCount(kRecordingList, count), 0);
    EXPECT_EQ(count, 0);
    const AudioCapabilities caps = library->Capabilities();
    EXPECT_FALSE(caps.microphone);
    EXPECT_FALSE(caps.monitoring);
    // A record the library did not list is refused.
    EXPECT_EQ(Read(AudioDeviceRecord{kAlsaRecordingId, kRecordingType, 3, 1}, property::kMuteControl).rc,
              kAlsaBadArgument);
}

TEST(AlsaLibraryWithoutCard, ListsNothingAndSaysWhy) {
    AlsaAudioLibrary library(nullptr, -1, static_cast<IEqualiser*>(nullptr));
    EXPECT_EQ(library.ConfLibInit(), 0);
    EXPECT_EQ(library.CreateDeviceList(), 0);
    for (const int list : {kPlaybackList, kRecordingList}) {
        int count = -1;
        EXPECT_EQ(library.GetDeviceCount(list, count), 0);
        EXPECT_EQ(count, 0);
    }
    std::array<std::uint8_t, kPropertyBufferSize> value{};
    EXPECT_NE(library.PropertyControl(AudioDeviceRecord{kAlsaPlaybackId, 1, 0, 1},
                                      property::kGetSupportFeature, value, {}, false),
              0);
    const AudioCapabilities caps = library.Capabilities();
    EXPECT_FALSE(caps.microphone || caps.monitoring || caps.equaliser || caps.voiceChanger);
    EXPECT_NE(caps.equaliserReason, "");
}

TEST_F(AlsaLibraryTest, WritesLandInTheMixerControls) {
    struct Case {
        const char* property;
        std::optional<std::int32_t> channel;
        std::optional<std::int32_t> integer;
        float scalar;
        std::string element;
        MixerSide side;
        std::vector<long> volumes;   // expected, when the case sets a level
        std::vector<bool> switches;  // expected, when the case sets a switch
    };
    const std::vector<Case> cases = {
        {"VolumeScalarControl", -1, {}, 0.5F, "Mic", MixerSide::Capture, {8}, {}},
        {"VolumeScalarControl", -1, {}, 1.0F, "Mic", MixerSide::Capture, {16}, {}},
        {"VolumeScalarControl", -1, {}, 2.5F, "Mic", MixerSide::Capture, {16}, {}},
        {"VolumeScalarControl", -1, {}, -0.5F, "Mic", MixerSide::Capture, {0}, {}},
        {"VolumeControl", -1, 400, 0, "Mic", MixerSide::Capture, {8}, {}},
        {"VolumeControl", -1, -9999, 0, "Mic", MixerSide::Capture, {0}, {}},
        {"MuteControl", {}, 1, 0, "Mic", MixerSide::Capture, {}, {false}},
        {"MuteControl", -1, 0, 0, "Mic", MixerSide::Capture, {}, {true}},
        {"AAVolumeScalarControl", 0, {}, 1.0F, "Mic", MixerSide::Playback, {31, 0}, {}},
        {"AAVolumeScalarControl", -1, {}, 0.5F, "Mic", MixerSide::Playback, {16, 16}, {}},
        {"AAVolumeControl", 1, 800, 0, "Mic", MixerSide::Playback, {0, 31}, {}},
        {"AAMuteControl", 0, 1, 0, "Mic", MixerSide::Playback, {}, {false, true}},
        {"AAMuteControl", {}, 7, 0, "Mic", MixerSide::Playback, {}, {false, false}},
    };
    for (const Case& c : cases) {
        Open(HeadsetCard());
        const int rc = c.integer ? Write(recording, c.property, *c.integer, c.channel)
                                 : Write(recording, c.property, c.scalar, c.channel);
        ASSERT_EQ(rc, 0) << c.property;
        const test::FakeSide& side = mixer->At(c.element, c.side);
        if (!c.volumes.empty()) {
            EXPECT_EQ(side.volumes, c.volumes) << c.property << " " << (c.integer ? *c.integer : c.scalar);
        }
        if (!c.switches.empty()) {
            EXPECT_EQ(side.switches, c.switches) << c.property << " " << (c.integer ? *c.integer : c.scalar);
        }
    }
}

TEST_F(AlsaLibraryTest, ReadsGiveTheControlsInDbOrInTheirOwnSteps) {
    auto card = HeadsetCard();
    card->elements["Mic"].capture.volumes = {12};
    card->elements["Mic"].capture.switches = {false};
    card->elements["Mic"].playback.volumes = {0, 31};
    // Monitoring on a card whose loopback has no dB scale: raw steps.
    card->elements["Mic"].playback.db.reset();
    Open(std::move(card));
    struct Case {
        const char* property;
        std::optional<std::int32_t> channel;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"GetMaxVol", {}, "2000"},           {"GetMinVol", {}, "-1200"},
        {"GetVolStep", {}, "200"},           {"VolumeControl", -1, "1200"},
        {"VolumeScalarControl", -1, "0.75"}, {"MuteControl", {}, "1"},
        {"GetAAMaxVol", {}, "31"},           {"GetAAMinVol", {}, "0"},
        {"GetAAVolStep", {}, "1"},           {"AAVolumeControl", 0, "0"},
        {"AAVolumeControl", 1, "31"},        {"AAVolumeScalarControl", 1, "1"},
        {"AAMuteControl", 0, "0"},
    };
    for (const Case& c : cases) {
        const Answer answer = Read(recording, c.property, c.channel);
        EXPECT_EQ(answer.rc, 0) << c.property;
        EXPECT_EQ(answer.text, c.text) << c.property;
    }
    // What is written reads back the same.
    ASSERT_EQ(Write(recording, property::kVolumeScalarControl, 0.25F, -1), 0);
    EXPECT_EQ(Read(recording, property::kVolumeScalarControl, -1).text, "0.25");
}

TEST_F(AlsaLibraryTest, WhatTheCardCannotDoFails) {
    auto card = HeadsetCard();
    card->elements.erase("Speaker");
    card->elements["Mic"].playback = {};  // no loopback
    Open(std::move(card));
    struct Case {
        const AudioDeviceRecord* record;
        const char* property;
        bool write;
        int rc;
    };
    const std::vector<Case> cases = {
        {&recording, "AAVolumeScalarControl", false, kAlsaNotSupported},
        {&recording, "AAMuteControl", true, kAlsaNotSupported},
        {&recording, "GetAAMaxVol", false, kAlsaNotSupported},
        {&recording, "Enable_MAGICVOICE", false, kAlsaNotSupported},
        {&recording, "Enable_MAGICVOICE", true, kAlsaNotSupported},
        {&recording, "MagicVoice_Selection", true, kAlsaNotSupported},
        {&recording, "Enable_MICECHO", true, kAlsaNotSupported},
        {&recording, "Enable_ENC_LFX", true, kAlsaNotSupported},
        {&playback, "Enable_RFX_GFX", true, kAlsaNotSupported},
        {&playback, "VirtualSurroundEffectControl", true, kAlsaNotSupported},
        {&playback, "MuteControl", true, kAlsaNotSupported},  // the microphone is on the recording device
        {&recording, "GetMaxVol", true, kAlsaNotSupported},   // read only
        {&recording, "GetSupportFeature", true, kAlsaNotSupported},
        {&recording, "NoSuchProperty", false, kAlsaNotSupported},
        {&playback, "EQ_Slider1", true, kAlsaNotSupported},  // no equaliser
        {&playback, "Enable_EQ_GFX", false, kAlsaNotSupported},
    };
    for (const Case& c : cases) {
        const int rc =
            c.write ? Write(*c.record, c.property, std::int32_t{0}) : Read(*c.record, c.property).rc;
        EXPECT_EQ(rc, c.rc) << c.property << (c.write ? " write" : " read");
    }
    const AudioCapabilities caps = library->Capabilities();
    EXPECT_TRUE(caps.microphone);
    EXPECT_FALSE(caps.monitoring);
    EXPECT_FALSE(caps.voiceChanger);
    EXPECT_NE(caps.voiceChangerReason.find("Windows"), std::string::npos);
}

TEST_F(AlsaLibraryTest, BadBuffersAndValuesAreRefused) {
    Open(HeadsetCard());
    std::array<std::uint8_t, 3> shortWrite{};
    EXPECT_EQ(library->PropertyControl(recording, property::kMuteControl, shortWrite, {}, true),
              kAlsaBadArgument);
    std::array<std::uint8_t, 4> shortRead{};  // "-1200" and its NUL need 6
    EXPECT_EQ(library->PropertyControl(recording, property::kGetMinVol, shortRead, {}, false),
              kAlsaBadArgument);
    EXPECT_EQ(Write(recording, property::kVolumeScalarControl, std::numeric_limits<float>::quiet_NaN(), -1),
              kAlsaBadArgument);
    EXPECT_EQ(Write(recording, property::kVolumeScalarControl, std::numeric_limits<float>::infinity(), -1),
              kAlsaBadArgument);
    EXPECT_EQ(Write(recording, property::kVolumeScalarControl, 0.5F, -2), kAlsaBadArgument);
    // A channel the control does not have.
    EXPECT_EQ(Write(recording, property::kVolumeScalarControl, 0.5F, 5), kAlsaNotSupported);
    EXPECT_EQ(mixer->At("Mic", MixerSide::Capture).volumes, std::vector<long>{0});
    const AudioDeviceRecord stranger{99, kRecordingType, 3, 1};
    EXPECT_EQ(Read(stranger, property::kMuteControl).rc, kAlsaBadArgument);
}

TEST_F(AlsaLibraryTest, RefusedWriteFailsAndLeavesTheControl) {
    Open(HeadsetCard());
    mixer->refuseWrites = true;
    EXPECT_EQ(Write(recording, property::kVolumeScalarControl, 0.5F, -1), kAlsaFailed);
    EXPECT_EQ(Write(recording, property::kMuteControl, std::int32_t{1}), kAlsaFailed);
    EXPECT_EQ(mixer->At("Mic", MixerSide::Capture).volumes, std::vector<long>{0});
    EXPECT_EQ(mixer->At("Mic", MixerSide::Capture).switches, std::vector<bool>{true});
}

TEST_F(AlsaLibraryTest, UnpluggedCardFailsEveryCallWithADiagnostic) {
    Open(HeadsetCard());
    ASSERT_EQ(Write(recording, property::kMuteControl, std::int32_t{1}), 0);
    mixer->gone = true;
    const platform::diag::ScopedCapture capture;
    for (const char* name : {"VolumeScalarControl", "VolumeControl", "MuteControl", "GetMaxVol",
                             "AAMuteControl", "AAVolumeScalarControl", "GetAAVolStep"}) {
        EXPECT_EQ(Read(recording, name, -1).rc, kAlsaDeviceGone) << name;
        EXPECT_EQ(Write(recording, name, std::int32_t{0}, -1), kAlsaDeviceGone) << name;
    }
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.front().find("gone"), std::string::npos) << lines.front();
}

TEST_F(AlsaLibraryTest, EqualiserPropertiesGoToTheEqualiser) {
    FakeEqualiser equaliser;
    Open(HeadsetCard(), &equaliser);
    ASSERT_EQ(Write(playback, property::kEnableEqGfx, std::int32_t{1}), 0);
    EXPECT_EQ(equaliser.enabled, true);
    const std::array<int, kEqualiserBands> preset = {7, 11, 2, -3, -1, 4, 9, 12, 9, 5};
    for (std::size_t i = 0; i < preset.size(); ++i) {
        ASSERT_EQ(Write(playback, property::kEqSliders.at(i), std::int32_t{preset.at(i)}), 0);
    }
    for (std::size_t i = 0; i < preset.size(); ++i) {
        EXPECT_EQ(equaliser.bands.at(i), preset.at(i)) << "band " << i;
        EXPECT_EQ(Read(playback, property::kEqSliders.at(i)).text, std::to_string(preset.at(i)));
    }
    EXPECT_EQ(Read(playback, property::kEnableEqGfx).text, "1");
    // Only on the playback device.
    EXPECT_EQ(Write(recording, property::kEqSlider1, std::int32_t{3}), kAlsaNotSupported);
    EXPECT_EQ(equaliser.bands[0], 7);
    // A refused change fails and the last value stays.
    equaliser.refuse = true;
    EXPECT_EQ(Write(playback, property::kEqSlider2, std::int32_t{-13}), kAlsaFailed);
    EXPECT_EQ(Read(playback, property::kEqSlider2).text, "11");
    EXPECT_TRUE(library->Capabilities().equaliser);
}

TEST_F(AlsaLibraryTest, UnavailableEqualiserFailsAndGivesItsReason) {
    FakeEqualiser equaliser;
    equaliser.available = false;
    Open(HeadsetCard(), &equaliser);
    EXPECT_EQ(Write(playback, property::kEqSlider5, std::int32_t{4}), kAlsaNotSupported);
    EXPECT_EQ(Read(playback, property::kEnableEqGfx).rc, kAlsaNotSupported);
    EXPECT_FALSE(equaliser.bands[4].has_value());
    const AudioCapabilities caps = library->Capabilities();
    EXPECT_FALSE(caps.equaliser);
    EXPECT_EQ(caps.equaliserReason, "PipeWire is not running.");
}

TEST_F(AlsaLibraryTest, SupportFeatureReportsOnlyWhatTheMachineCanDo) {
    struct Case {
        const char* what;
        bool loopback;
        bool equaliser;
        std::uint32_t recordingField0;
        std::uint32_t playbackField0;
    };
    const std::vector<Case> cases = {
        {"everything", true, true, kFeatureMicrophone | kFeatureMonitoring, kFeatureEqualiser},
        {"no loopback, no equaliser", false, false, kFeatureMicrophone, 0},
    };
    for (const Case& c : cases) {
        FakeEqualiser equaliser;
        equaliser.available = c.equaliser;
        auto card = HeadsetCard();
        if (!c.loopback) {
            card->elements["Mic"].playback = {};
        }
        Open(std::move(card), &equaliser);
        const Answer rec = Read(recording, property::kGetSupportFeature);
        const Answer play = Read(playback, property::kGetSupportFeature);
        ASSERT_EQ(rec.rc, 0);
        ASSERT_EQ(play.rc, 0);
        const std::optional<DeviceFeatures> recFeatures = ParseSupportFeature(rec.text);
        const std::optional<DeviceFeatures> playFeatures = ParseSupportFeature(play.text);
        ASSERT_TRUE(recFeatures.has_value()) << rec.text;
        ASSERT_TRUE(playFeatures.has_value()) << play.text;
        EXPECT_EQ(recFeatures->field0, c.recordingField0) << c.what;
        EXPECT_EQ(playFeatures->field0, c.playbackField0) << c.what;
        EXPECT_EQ(recFeatures->field0 & kVoiceChangerFeature, 0U) << c.what;
    }
}

TEST(EqualiserFactory, MakesWhatWasSetLast) {
    AudioDeviceIdentity seen;
    SetEqualiserFactory([&](const AudioDeviceIdentity& identity) -> std::unique_ptr<IEqualiser> {
        seen = identity;
        return std::make_unique<FakeEqualiser>();
    });
    const auto equaliser = MakeEqualiser({0x0c76, 0x1630, "/dev/hidraw4"});
    EXPECT_NE(equaliser, nullptr);
    EXPECT_EQ(seen.hidPath, "/dev/hidraw4");
    SetEqualiserFactory(nullptr);
    EXPECT_EQ(MakeEqualiser({}), nullptr);
}

}  // namespace
}  // namespace norvane::devices::audio
