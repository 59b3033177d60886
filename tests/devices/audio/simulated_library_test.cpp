// The simulated library's property store, device lists, failures and call log, through the
// same helpers the headset uses.
#include "devices/audio/simulated_library.h"
#include "devices/audio/audio_properties.h"
#include "devices/audio/device_choice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace norvane::devices::audio {
namespace {

constexpr AudioDeviceRecord kOut{kSimulatedPlaybackId, 1, 0, 1};
constexpr AudioDeviceRecord kMic{kSimulatedRecordingId, 2, 0, 1};

class SimulatedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(library.ConfLibInit(), 0);
        ASSERT_EQ(library.CreateDeviceList(), 0);
        audio->ClearCalls();
    }

    std::shared_ptr<SimulatedAudio> audio = MakeSimulatedHeadsetAudio();
    SimulatedAudioLibrary library{audio};
};

TEST_F(SimulatedLibrary, ReadsAnswerDecimalText) {
    struct Case {
        std::uint32_t device;
        std::string_view name;
        double stored;
        std::string text;
    };
    const Case cases[] = {
        {kSimulatedRecordingId, "MuteControl", 1, "1"},
        {kSimulatedRecordingId, "VolumeControl", -1536, "-1536"},
        {kSimulatedRecordingId, "VolumeScalarControl", 0.25, "0.25"},
        {kSimulatedRecordingId, "AAVolumeScalarControl", 1, "1"},
        {kSimulatedPlaybackId, "EQ_Slider3", -13, "-13"},
        {kSimulatedPlaybackId, "SomethingElse", 12, "12"},  // names outside the table are integers
    };
    for (const Case& c : cases) {
        audio->SetProperty(c.device, c.name, c.stored);
        const AudioDeviceRecord& record = c.device == kSimulatedPlaybackId ? kOut : kMic;
        const PropertyInfo* info = FindProperty(c.name);
        const auto parameter = PropertyParameter::For(info ? info->parameter : ParameterKind::None);
        EXPECT_EQ(ReadText(library, record, c.name, parameter), c.text) << c.name;
        EXPECT_EQ(ReadNumber(library, record, c.name, parameter), c.stored) << c.name;
    }
}

TEST_F(SimulatedLibrary, PropertiesNotHeldFailToReadUntilWritten) {
    // The effect settings are not held by a freshly plugged headset; the levels are.
    EXPECT_FALSE(audio->HasProperty(kSimulatedRecordingId, property::kEnableMagicVoice));
    EXPECT_FALSE(audio->HasProperty(kSimulatedPlaybackId, property::kEqSlider1));
    EXPECT_TRUE(audio->HasProperty(kSimulatedRecordingId, property::kVolumeScalarControl));
    for (const std::string_view name : kStartupDefaults) {
        const PropertyInfo& info = *FindProperty(name);
        const AudioDeviceRecord& record = info.device == PropertyDevice::Playback ? kOut : kMic;
        const bool held = audio->HasProperty(record.id, name);
        EXPECT_EQ(ReadProperty(library, record, info).has_value(), held) << name;
        if (!held) {
            EXPECT_EQ(WriteProperty(library, record, info, 0), 0) << name;
            EXPECT_EQ(ReadProperty(library, record, info), 0.0) << name;
        }
    }
    // Stores are per device: the playback device's slider is not the recording device's.
    EXPECT_FALSE(ReadNumber(library, kMic, property::kEqSlider1));
    EXPECT_EQ(audio->Property(kSimulatedPlaybackId, property::kEqSlider1), 0.0);
}

TEST_F(SimulatedLibrary, WritesTakeIntegerOrFloatAsThePropertyIs) {
    EXPECT_EQ(WriteInt(library, kOut, property::kEqSlider2, -7), 0);
    EXPECT_EQ(audio->Property(kSimulatedPlaybackId, property::kEqSlider2), -7.0);

    const auto all = PropertyParameter::Channel(kAllChannels);
    EXPECT_EQ(WriteFloat(library, kMic, property::kVolumeScalarControl, 0.3F, all), 0);
    EXPECT_FLOAT_EQ(
        static_cast<float>(*audio->Property(kSimulatedRecordingId, property::kVolumeScalarControl)), 0.3F);

    // Integer bits written to a scalar are read as a float: 1 is a tiny float, not 1.0.
    EXPECT_EQ(WriteInt(library, kMic, property::kVolumeScalarControl, 1, all), 0);
    const double misread = *audio->Property(kSimulatedRecordingId, property::kVolumeScalarControl);
    EXPECT_GT(misread, 0.0);
    EXPECT_LT(misread, 1e-30);

    // Float bits written to an integer are read as an integer.
    EXPECT_EQ(WriteFloat(library, kMic, property::kMuteControl, 1.0F), 0);
    EXPECT_EQ(audio->Property(kSimulatedRecordingId, property::kMuteControl), 1065353216.0);

    const auto log = audio->PropertyCalls();
    ASSERT_EQ(log.size(), 4U);
    EXPECT_EQ(log[0].value, -7.0);
    EXPECT_FLOAT_EQ(static_cast<float>(*log[1].value), 0.3F);
    EXPECT_EQ(log[3].value, 1065353216.0);
}

TEST_F(SimulatedLibrary, ScalarLevelsMoveTheirVolumeInTheHeldRange) {
    struct Case {
        std::string_view scalar;
        std::string_view volume;
        ParameterKind parameter;
        float level;
        double stored;
        double volumeAfter;
    };
    const Case cases[] = {
        {"VolumeScalarControl", "VolumeControl", ParameterKind::AllChannels, 0.42F, 0.42F, 42},
        {"VolumeScalarControl", "VolumeControl", ParameterKind::AllChannels, 1.5F, 1.0, 100},
        {"AAVolumeScalarControl", "AAVolumeControl", ParameterKind::FirstChannel, 0.0F, 0.0, 0},
        {"AAVolumeScalarControl", "AAVolumeControl", ParameterKind::FirstChannel, -0.5F, 0.0, 0},
    };
    for (const Case& c : cases) {
        const auto parameter = PropertyParameter::For(c.parameter);
        ASSERT_EQ(WriteFloat(library, kMic, c.scalar, c.level, parameter), 0) << c.scalar;
        EXPECT_EQ(audio->Property(kSimulatedRecordingId, c.scalar), c.stored) << c.scalar << " " << c.level;
        EXPECT_EQ(ReadNumber(library, kMic, c.volume, parameter), c.volumeAfter)
            << c.scalar << " " << c.level;
    }
    // With a range of -4000..0 the level is placed in it.
    audio->SetProperty(kSimulatedRecordingId, property::kGetMinVol, -4000);
    audio->SetProperty(kSimulatedRecordingId, property::kGetMaxVol, 0);
    ASSERT_EQ(WriteFloat(library, kMic, property::kVolumeScalarControl, 0.25F,
                         PropertyParameter::Channel(kAllChannels)),
              0);
    EXPECT_EQ(audio->Property(kSimulatedRecordingId, property::kVolumeControl), -3000.0);
}

TEST_F(SimulatedLibrary, RefusedCalls) {
    struct Case {
        const char* what;
        AudioDeviceRecord record;
        std::string_view name;
        PropertyParameter parameter;
        bool write;
        int result;
    };
    const auto all = PropertyParameter::Channel(kAllChannels);
    const auto first = PropertyParameter::Channel(kFirstChannel);
    const Case cases[] = {
        {"read-only property", kMic, "GetMaxVol", {}, true, sim_result::kReadOnly},
        {"read-only features", kMic, "GetSupportFeature", {}, true, sim_result::kReadOnly},
        {"volume without its channel word", kMic, "VolumeControl", {}, false, sim_result::kBadBuffer},
        {"volume with the other channel", kMic, "VolumeControl", first, false, sim_result::kBadBuffer},
        {"monitor volume with all channels", kMic, "AAVolumeScalarControl", all, true,
         sim_result::kBadBuffer},
        {"surround with a channel word", kOut, "VirtualSurroundEffectControl", all, true,
         sim_result::kBadBuffer},
        {"mute with a parameter", kMic, "MuteControl", all, true, sim_result::kBadBuffer},
        {"unknown device", {99, 1, 0, 1}, "MuteControl", {}, false, sim_result::kNoDevice},
        {"not held", kMic, "Enable_MAGICVOICE", {}, false, sim_result::kNoProperty},
        {"features of an unknown device",
         {99, 1, 0, 1},
         "GetSupportFeature",
         {},
         false,
         sim_result::kNoDevice},
    };
    for (const Case& c : cases) {
        const auto before = audio->Property(c.record.id, c.name);
        const int result = c.write ? WriteInt(library, c.record, c.name, 1, c.parameter)
                                   : (ReadText(library, c.record, c.name, c.parameter) ? 0 : -1);
        if (c.write) {
            EXPECT_EQ(result, c.result) << c.what;
        } else {
            EXPECT_NE(result, 0) << c.what;
        }
        EXPECT_EQ(audio->Calls().back().result, c.result) << c.what;
        EXPECT_EQ(audio->Property(c.record.id, c.name), before) << c.what << ": store unchanged";
    }
}

TEST_F(SimulatedLibrary, ShortValueBuffersAreRefused) {
    std::array<std::uint8_t, 3> small{};
    EXPECT_EQ(library.PropertyControl(kMic, property::kMuteControl, small, {}, true), sim_result::kBadBuffer);
    EXPECT_EQ(library.PropertyControl(kMic, property::kMuteControl, small, {}, false),
              sim_result::kBadBuffer);
    // A held text longer than the buffer is refused rather than cut.
    audio->SetSupportFeature(kSimulatedRecordingId, std::string(40, '1'));
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_EQ(library.PropertyControl(kMic, property::kGetSupportFeature, buffer, {}, false),
              sim_result::kBadBuffer);
    EXPECT_EQ(audio->Property(kSimulatedRecordingId, property::kMuteControl), 0.0);
}

TEST_F(SimulatedLibrary, InjectedFailuresAndTheirRelease) {
    audio->FailRead(property::kMuteControl);
    audio->FailWrite(property::kEqSlider5);
    EXPECT_FALSE(ReadInt(library, kMic, property::kMuteControl));
    EXPECT_EQ(audio->Calls().back().result, sim_result::kFailed);
    EXPECT_EQ(WriteInt(library, kOut, property::kEqSlider5, 9), sim_result::kFailed);
    EXPECT_FALSE(audio->HasProperty(kSimulatedPlaybackId, property::kEqSlider5));
    // Writes of a property whose reads fail still land; other properties are untouched.
    EXPECT_EQ(WriteInt(library, kMic, property::kMuteControl, 1), 0);
    EXPECT_EQ(WriteInt(library, kOut, property::kEqSlider6, 9), 0);

    audio->FailRead(property::kMuteControl, false);
    audio->FailWrite(property::kEqSlider5, false);
    EXPECT_EQ(ReadInt(library, kMic, property::kMuteControl), 1);
    EXPECT_EQ(WriteInt(library, kOut, property::kEqSlider5, 9), 0);
    EXPECT_EQ(audio->Property(kSimulatedPlaybackId, property::kEqSlider5), 9.0);
}

TEST_F(SimulatedLibrary, UnpluggedDevicesVanishAndReturn) {
    audio->SetPlugged(false);
    int count = 5;
    EXPECT_EQ(library.GetDeviceCount(kPlaybackList, count), sim_result::kNoDevice);
    AudioDeviceRecord record;
    EXPECT_EQ(library.GetDeviceById(kRecordingList, 0, record), sim_result::kNoDevice);
    EXPECT_FALSE(ReadNumber(library, kMic, property::kMuteControl));
    EXPECT_EQ(WriteInt(library, kOut, property::kEqSlider1, 4), sim_result::kNoDevice);
    EXPECT_FALSE(audio->HasProperty(kSimulatedPlaybackId, property::kEqSlider1));

    audio->SetPlugged(true);
    EXPECT_EQ(ReadNumber(library, kMic, property::kMuteControl), 0.0);
    EXPECT_EQ(WriteInt(library, kOut, property::kEqSlider1, 4), 0);
}

TEST(SimulatedLibraryLifecycle, CallsBeforeInitAreRefused) {
    auto audio = MakeSimulatedHeadsetAudio();
    SimulatedAudioLibrary library(audio);
    int count = 0;
    EXPECT_EQ(library.CreateDeviceList(), sim_result::kNotInitialised);
    EXPECT_EQ(library.GetDeviceCount(kPlaybackList, count), sim_result::kNotInitialised);
    EXPECT_EQ(WriteInt(library, kMic, property::kMuteControl, 1), sim_result::kNotInitialised);
    EXPECT_EQ(audio->Property(kSimulatedRecordingId, property::kMuteControl), 0.0);

    ASSERT_EQ(library.ConfLibInit(), 0);
    ASSERT_EQ(library.CreateDeviceList(), 0);
    EXPECT_EQ(library.GetDeviceCount(kPlaybackList, count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(library.GetDeviceCount(2, count), sim_result::kNoDevice);
    AudioDeviceRecord record;
    EXPECT_EQ(library.GetDeviceById(kRecordingList, 0, record), 0);
    EXPECT_EQ(record, kMic);
    EXPECT_EQ(library.GetDeviceById(kRecordingList, 1, record), sim_result::kNoDevice);
    EXPECT_EQ(library.GetDeviceById(kRecordingList, -1, record), sim_result::kNoDevice);
}

TEST(SimulatedLibraryLifecycle, TheHeadsetAsPluggedIn) {
    auto audio = MakeSimulatedHeadsetAudio();
    SimulatedAudioLibrary library(audio);
    const AudioDevices devices = OpenAudioDevices(library);
    ASSERT_TRUE(devices.Ready());
    EXPECT_EQ(devices.playback, kOut);
    EXPECT_EQ(devices.recording, kMic);
    EXPECT_TRUE(devices.VoiceChangerExists());
    EXPECT_TRUE(devices.messages.empty());
    const AudioCapabilities caps = library.Capabilities();
    EXPECT_TRUE(caps.microphone && caps.monitoring && caps.equaliser && caps.voiceChanger);

    audio->SetCapabilities({true, false, false, true, "no equaliser here", {}});
    EXPECT_FALSE(library.Capabilities().equaliser);
    EXPECT_EQ(library.Capabilities().equaliserReason, "no equaliser here");
}

TEST(SimulatedLibraryLifecycle, FactoryLibrariesShareOneState) {
    auto audio = MakeSimulatedHeadsetAudio();
    SetAudioLibraryFactory(SimulatedAudioFactory(audio));
    auto first = MakeAudioLibrary({0x0C76, 0x1630, {}});
    auto second = MakeAudioLibrary({0x0C76, 0x1630, {}});
    SetAudioLibraryFactory(nullptr);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->ConfLibInit(), 0);
    ASSERT_EQ(first->CreateDeviceList(), 0);
    ASSERT_EQ(WriteInt(*first, kOut, property::kEqSlider9, 14), 0);
    EXPECT_EQ(ReadInt(*second, kOut, property::kEqSlider9), 14);

    const auto log = audio->Calls();
    ASSERT_EQ(log.size(), 4U);
    EXPECT_EQ(log[0].kind, AudioCallKind::ConfLibInit);
    EXPECT_EQ(log[1].kind, AudioCallKind::CreateDeviceList);
    AudioCall write;
    write.kind = AudioCallKind::Write;
    write.device = kSimulatedPlaybackId;
    write.property = "EQ_Slider9";
    write.value = 14;
    EXPECT_EQ(log[2], write);
    EXPECT_EQ(log[3].kind, AudioCallKind::Read);
    EXPECT_EQ(log[3].value, 14.0);
    EXPECT_EQ(MakeAudioLibrary({}), nullptr);
}

TEST(SimulatedLibraryLifecycle, TheLogKeepsParametersAsWords) {
    auto audio = MakeSimulatedHeadsetAudio();
    SimulatedAudioLibrary library(audio);
    ASSERT_EQ(library.ConfLibInit(), 0);
    ASSERT_EQ(library.CreateDeviceList(), 0);
    const PropertyInfo& surround = *FindProperty(property::kVirtualSurroundEffectControl);
    EXPECT_FALSE(ReadProperty(library, kOut, surround));
    EXPECT_EQ(WriteProperty(library, kOut, surround, 0), 0);
    EXPECT_EQ(ReadProperty(library, kOut, surround), 0.0);
    const auto log = audio->PropertyCalls();
    ASSERT_EQ(log.size(), 3U);
    for (const AudioCall& call : log) {
        EXPECT_EQ(call.parameter, (std::vector<std::int32_t>{4, -1, 0}));
        EXPECT_EQ(call.property, "VirtualSurroundEffectControl");
    }
    EXPECT_EQ(log[0].result, sim_result::kNoProperty);
    EXPECT_EQ(log[1].kind, AudioCallKind::Write);
    EXPECT_EQ(log[1].value, 0.0);
}

// The headset is plugged and unplugged from another thread (the simulator's control) while
// the page reads: every read either answers the held value or fails as unplugged.
TEST(SimulatedLibraryLifecycle, PluggingWhileReadingFromAnotherThread) {
    auto audio = MakeSimulatedHeadsetAudio();
    SimulatedAudioLibrary library(audio);
    ASSERT_EQ(library.ConfLibInit(), 0);
    ASSERT_EQ(library.CreateDeviceList(), 0);
    constexpr int kToggles = 200;
    std::thread plug([&audio] {
        for (int i = 0; i < kToggles; ++i) {
            audio->SetPlugged(i % 2 == 1);
        }
    });
    constexpr int kReads = 400;
    for (int i = 0; i < kReads; ++i) {
        const auto value = ReadNumber(library, kMic, property::kVolumeScalarControl,
                                      PropertyParameter::Channel(kAllChannels));
        if (value) {
            EXPECT_EQ(*value, 0.75);
        }
    }
    plug.join();
    for (const AudioCall& call : audio->PropertyCalls()) {
        EXPECT_TRUE(call.result == 0 || call.result == sim_result::kNoDevice) << call.result;
    }
    EXPECT_EQ(audio->PropertyCalls().size(), static_cast<std::size_t>(kReads));
    EXPECT_EQ(ReadNumber(library, kMic, property::kMuteControl), 0.0);  // the last toggle plugs it in
}

}  // namespace
}  // namespace norvane::devices::audio
