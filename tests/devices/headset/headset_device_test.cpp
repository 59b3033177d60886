// The headset's device object on the shipped headset page (headless) with the simulated
// headset and the simulated audio library: the audio start-up, every audio operation of the
// page and what it writes and stores, and the headset's own wire bytes.
#include "devices/headset/headset_device.h"
#include "devices/audio/audio_properties.h"
#include "devices/audio/simulated_library.h"
#include "devices/headset/eq_presets.h"
#include "devices/headset/led_reports.h"
#include "tests/devices/peripheral_page_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/slider.h"

#include <json/reader.h>

#include <array>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace norvane::test {
namespace {

namespace audio = devices::audio;
using devices::CTarnexDE6533Device;
using Cmd = device::Command;
using audio::kSimulatedPlaybackId;
using audio::kSimulatedRecordingId;

constexpr PeripheralPageSpec kHeadsetPage{"headset", "XML/DeviceXml/de6533device.xml", "de6533_device", "HD",
                                          3};

constexpr std::uint8_t C(Cmd c) {
    return static_cast<std::uint8_t>(c);
}

// A write the library saw: property, device, value, parameter words.
using Write = std::tuple<std::string, std::uint32_t, double, std::vector<std::int32_t>>;

class HeadsetPage : public PeripheralPageTest<CTarnexDE6533Device> {
protected:
    using Prepare = std::function<void(audio::SimulatedAudio&)>;

    explicit HeadsetPage(const Prepare& prepare = {})
        : PeripheralPageTest(kHeadsetPage), sound(audio::MakeSimulatedHeadsetAudio()) {
        if (prepare) {
            prepare(*sound);
        }
        audio::SetAudioLibraryFactory(audio::SimulatedAudioFactory(sound));
    }
    ~HeadsetPage() override { audio::SetAudioLibraryFactory(nullptr); }

    std::vector<Write> Writes() const {
        std::vector<Write> writes;
        for (const audio::AudioCall& call : sound->PropertyCalls()) {
            if (call.kind == audio::AudioCallKind::Write) {
                writes.emplace_back(call.property, call.device, call.value.value_or(-999), call.parameter);
            }
        }
        return writes;
    }
    bool AnyRecordingCall() const {
        return std::ranges::any_of(sound->PropertyCalls(), [](const audio::AudioCall& c) {
            return c.device == kSimulatedRecordingId;
        });
    }

    ui::CSliderUI* Slider(std::string_view name) { return Find<ui::CSliderUI>(name); }
    ui::CSliderUI* Band(int n) { return Slider("6533_eq_hz_slider_" + std::to_string(n)); }
    std::vector<int> SliderBands() {
        std::vector<int> values;
        for (int n = 0; n < 10; ++n) {
            values.push_back(Band(n) != nullptr ? Band(n)->GetValue() : -999);
        }
        return values;
    }
    void MoveSlider(std::string_view name, int value) {
        ui::CSliderUI* slider = Slider(name);
        ASSERT_NE(slider, nullptr) << name;
        slider->SetValue(value);
        window->PaintManager().SendNotify(slider, ui::notify::kValueChanged);
    }
    void Click(std::string_view name) {
        ui::CControlUI* control = window->FindControl(name);
        ASSERT_NE(control, nullptr) << name;
        window->PaintManager().SendNotify(control, ui::notify::kClick);
    }
    // Toggles a check box as a click does.
    void Toggle(std::string_view name) {
        auto* box = Find<ui::COptionUI>(name);
        ASSERT_NE(box, nullptr) << name;
        box->Selected(!box->IsSelected());
    }
    int SaveCurve(std::string_view name) {
        auto* edit = Find<ui::CControlUI>("custom_eq_name_edit");
        EXPECT_NE(edit, nullptr);
        if (edit != nullptr) {
            edit->SetText(std::string(name));
        }
        return page->SaveCustomCurve();
    }
    void SetUp() override {
        PeripheralPageTest::SetUp();
        names = Find<ui::CComboUI>("custom_eq_name_combo");
        ASSERT_NE(names, nullptr);
    }
    bool Enabled(std::string_view name) {
        ui::CControlUI* control = window->FindControl(name);
        return control != nullptr && control->IsEnabled();
    }
    bool Visible(std::string_view name) {
        ui::CControlUI* control = window->FindControl(name);
        return control != nullptr && control->IsVisible();
    }

    // The profile as saved on disk.
    Json::Value SavedDevice() const {
        std::ifstream in(ProfileFile());
        Json::Value root;
        Json::CharReaderBuilder builder;
        std::string errors;
        if (!Json::parseFromStream(builder, in, &root, &errors)) {
            ADD_FAILURE() << "profile not readable: " << errors;
        }
        return root["Device"][0];
    }
    static std::vector<int> Row(const Json::Value& rows, int index) {
        std::vector<int> values;
        for (const Json::Value& band : rows[index]) {
            values.push_back(band["value"].asInt());
        }
        return values;
    }

    std::shared_ptr<audio::SimulatedAudio> sound;
    ui::CComboUI* names = nullptr;
};

std::vector<int> Bands(const config::EqBands& bands) {
    return {bands.begin(), bands.end()};
}

// --- start-up ---

TEST_F(HeadsetPage, StartUpWritesZeroWithTheSameParameterToEveryPropertyItCannotRead) {
    // The start ran in InitPage against the plugged-in headset, whose effect settings are not
    // held yet: each of those is written with 0, the levels it holds are only read.
    const std::vector<std::int32_t> none;
    const std::vector<Write> expected = {
        {"VirtualSurroundEffectControl", kSimulatedPlaybackId, 0, {4, -1, 0}},
        {"Enable_ENC_LFX", kSimulatedRecordingId, 0, none},
        {"Enable_EQ_GFX", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider1", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider2", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider3", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider4", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider5", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider6", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider7", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider8", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider9", kSimulatedPlaybackId, 0, none},
        {"EQ_Slider10", kSimulatedPlaybackId, 0, none},
        {"Enable_RFX_GFX", kSimulatedPlaybackId, 0, none},
        {"RFX_ENVIRONMENT", kSimulatedPlaybackId, 0, none},
        {"RFX_ROOMSIZE", kSimulatedPlaybackId, 0, none},
        {"Enable_MAGICVOICE", kSimulatedRecordingId, 0, none},
        {"MagicVoice_Selection", kSimulatedRecordingId, 0, none},
    };
    EXPECT_EQ(Writes(), expected);
    EXPECT_EQ(page->AudioStartResult(), devices::headset::AudioStart::Ready);
    EXPECT_TRUE(page->Messages().empty());
    // The state read back: level 0.75, microphone on, monitoring muted at 0.5.
    EXPECT_EQ(page->Settings().micInValue, 75);
    EXPECT_EQ(page->Settings().micInSelect, 1);
    EXPECT_EQ(page->Settings().micMonitorSelect, 0);
    EXPECT_EQ(page->Settings().micMonitorValue, 50);
    EXPECT_TRUE(page->MonitoringMuted());
}

// The levels that fail to read are written with 0 and their own channel word.
class HeadsetWithUnreadableLevels : public HeadsetPage {
protected:
    HeadsetWithUnreadableLevels()
        : HeadsetPage([](audio::SimulatedAudio& a) {
              a.FailRead(audio::property::kVolumeControl);
              a.FailRead(audio::property::kAAVolumeScalarControl);
              a.FailRead(audio::property::kMuteControl);
          }) {}
};

TEST_F(HeadsetWithUnreadableLevels, TheirStartWritesCarryTheirParameter) {
    const auto writes = Writes();
    const std::vector<std::int32_t> none;
    for (const Write& wanted : std::vector<Write>{
             {"VolumeControl", kSimulatedRecordingId, 0, {-1}},
             {"AAVolumeScalarControl", kSimulatedRecordingId, 0, {0}},
             {"MuteControl", kSimulatedRecordingId, 0, none},
         }) {
        EXPECT_EQ(std::ranges::count(writes, wanted), 1) << std::get<0>(wanted);
    }
    // A level that cannot be read keeps the profile's value.
    page->SyncFromDevice();
    EXPECT_EQ(page->Settings().micMonitorValue, 50);  // the factory profile's
    EXPECT_EQ(page->Settings().micInValue, 75);       // read back
}

class HeadsetWhoseLibraryFailsToStart : public HeadsetPage {
protected:
    HeadsetWhoseLibraryFailsToStart() : HeadsetPage([](audio::SimulatedAudio& a) { a.FailInit(true); }) {}
};

TEST_F(HeadsetWhoseLibraryFailsToStart, ShowsTheMessageAndLeavesTheAudioControlsWithoutEffect) {
    EXPECT_EQ(page->Messages(), std::vector<std::string>{"ConfLibInit called failed!"});
    EXPECT_EQ(page->AudioStartResult(), devices::headset::AudioStart::InitFailed);
    page->SyncFromDevice();
    sound->ClearCalls();
    ASSERT_TRUE(Select("6533_eq_option_2"));
    MoveSlider("6533_MicIn_slider", 30);
    Toggle("magic_enable_option");
    EXPECT_TRUE(sound->PropertyCalls().empty());
    // The equaliser choice is still the page's and the profile's.
    EXPECT_EQ(page->Profile().GetHeadsetSettings().eqType, 2);
    EXPECT_FALSE(Enabled("6533_MicIn_slider"));
    page->SwitchFunctionTab(6);
    EXPECT_TRUE(Visible("6533_mic_hint_label"));
}

// --- equaliser ---

TEST_F(HeadsetPage, PresetWritesItsTenBandsAndStoresItsRow) {
    page->SyncFromDevice();
    // Row 5 holds something else first, so storing the preset's zeros shows.
    page->Profile().SetEqBands(5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    for (const int n : {1, 12, 5}) {
        SCOPED_TRACE(n);
        sound->ClearCalls();
        ASSERT_TRUE(Select("6533_eq_option_" + std::to_string(n)));
        const auto preset = Bands(*devices::headset::EqPreset(n));
        std::vector<Write> expected = {{"Enable_EQ_GFX", kSimulatedPlaybackId, 1, {}}};
        for (int band = 0; band < 10; ++band) {
            expected.emplace_back("EQ_Slider" + std::to_string(band + 1), kSimulatedPlaybackId,
                                  preset[static_cast<std::size_t>(band)], std::vector<std::int32_t>{});
        }
        EXPECT_EQ(Writes(), expected);
        EXPECT_EQ(SliderBands(), preset);
        const Json::Value saved = SavedDevice();
        EXPECT_EQ(saved["SystemSetStages"]["EqType"].asInt(), n);
        EXPECT_EQ(Row(saved["EQHzValueInfo"], n), preset);
        EXPECT_FALSE(Enabled("custom_eq_option_layout"));
    }
    EXPECT_EQ(Row(SavedDevice()["EQHzValueInfo"], 5), std::vector<int>(10, 0));
}

TEST_F(HeadsetPage, MovingABandUnderAPresetSwitchesToCustomWithoutStoringIt) {
    page->SyncFromDevice();
    ASSERT_TRUE(Select("6533_eq_option_2"));
    sound->ClearCalls();
    MoveSlider("6533_eq_hz_slider_3", 9);
    EXPECT_EQ(Writes(), (std::vector<Write>{{"EQ_Slider4", kSimulatedPlaybackId, 9, {}}}));
    EXPECT_TRUE(OptionSelected("6533_eq_option_13"));
    EXPECT_FALSE(OptionSelected("6533_eq_option_2"));
    EXPECT_TRUE(Enabled("custom_eq_option_layout"));
    EXPECT_EQ(names->GetCurSel(), -1);
    EXPECT_EQ(SavedDevice()["SystemSetStages"]["EqType"].asInt(), 2);
    EXPECT_EQ(page->Profile().GetHeadsetSettings().eqType, 2);
    // A band out of range is no band.
    sound->ClearCalls();
    page->SetCustomBand(10);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(HeadsetPage, SavingCurvesRefusesTakenNamesAndTheTwentyFirst) {
    page->SyncFromDevice();
    // Nothing typed and nothing selected: nothing to do.
    EXPECT_EQ(SaveCurve(""), CTarnexDE6533Device::kCurveNothingToDo);
    MoveSlider("6533_eq_hz_slider_0", 12);
    ASSERT_EQ(SaveCurve("Bass"), CTarnexDE6533Device::kCurveSaved);
    Json::Value saved = SavedDevice();
    EXPECT_EQ(saved["CustomEQNameInfo"].size(), 1u);
    EXPECT_EQ(Row(saved["CustomEQHzValueInfo"], 0), SliderBands());
    EXPECT_EQ(saved["SystemSetStages"]["EqType"].asInt(), 13);
    EXPECT_EQ(saved["SystemSetStages"]["CustomEqSeletIndex"].asInt(), 0);

    EXPECT_EQ(SaveCurve("bASS"), CTarnexDE6533Device::kCurveNameTaken);
    ASSERT_EQ(page->Messages().size(), 1u);
    EXPECT_EQ(page->Messages()[0], "This name is already in use. Choose another name.");
    EXPECT_EQ(page->CustomNames(), std::vector<std::string>{"Bass"});

    for (int i = 1; i < 20; ++i) {
        ASSERT_EQ(SaveCurve("Curve " + std::to_string(i)), CTarnexDE6533Device::kCurveSaved) << i;
    }
    EXPECT_EQ(names->GetCount(), 20);
    EXPECT_EQ(names->GetCurSel(), 19);
    EXPECT_EQ(SaveCurve("One more"), CTarnexDE6533Device::kCurveNothingToDo);
    EXPECT_EQ(page->Messages().size(), 1u);
    EXPECT_EQ(SavedDevice()["CustomEQNameInfo"].size(), 20u);

    // Nothing typed with a curve selected: the sliders are saved into that curve.
    names->SelectItem(0, false);
    MoveSlider("6533_eq_hz_slider_9", -7);
    EXPECT_EQ(SaveCurve(""), CTarnexDE6533Device::kCurveSaved);
    EXPECT_EQ(Row(SavedDevice()["CustomEQHzValueInfo"], 0)[9], -7);
}

TEST_F(HeadsetPage, DeletingACurveTakesItsBandRowWithIt) {
    page->SyncFromDevice();
    for (const auto& [name, first] : std::vector<std::pair<std::string, int>>{{"A", 1}, {"B", 2}, {"C", 3}}) {
        MoveSlider("6533_eq_hz_slider_0", first);
        ASSERT_EQ(SaveCurve(name), CTarnexDE6533Device::kCurveSaved);
    }
    Find<ui::CControlUI>("custom_eq_name_edit")->SetText("");
    // Choosing a curve applies it.
    sound->ClearCalls();
    names->SelectItem(1);
    EXPECT_EQ(Band(0)->GetValue(), 2);
    EXPECT_EQ(std::ranges::count(Writes(), Write{"EQ_Slider1", kSimulatedPlaybackId, 2, {}}), 1);

    Click("hs_EQ_btn_delete");
    Json::Value saved = SavedDevice();
    ASSERT_EQ(saved["CustomEQNameInfo"].size(), 2u);
    EXPECT_EQ(Row(saved["CustomEQHzValueInfo"], 1)[0], 3);  // C's row follows C
    EXPECT_EQ(saved["SystemSetStages"]["CustomEqSeletIndex"].asInt(), 0);
    EXPECT_EQ(names->GetCurSel(), 0);
    EXPECT_EQ(Band(0)->GetValue(), 1);  // A's bands shown

    Click("hs_EQ_btn_delete");
    Click("hs_EQ_btn_delete");
    saved = SavedDevice();
    EXPECT_EQ(saved["CustomEQNameInfo"].size(), 0u);
    EXPECT_EQ(saved["CustomEQHzValueInfo"].size(), 0u);
    EXPECT_EQ(saved["SystemSetStages"]["EqType"].asInt(), 1);
    EXPECT_TRUE(OptionSelected("6533_eq_option_1"));
    EXPECT_EQ(SliderBands(), Bands(*devices::headset::EqPreset(1)));
    EXPECT_FALSE(Enabled("custom_eq_option_layout"));
    // Nothing selected: nothing deleted.
    Click("hs_EQ_btn_delete");
    EXPECT_EQ(SavedDevice()["SystemSetStages"]["EqType"].asInt(), 1);
}

TEST_F(HeadsetPage, ProfileLoadShowsTheSavedCurveAndRestoreBringsTheFactorySettingsBack) {
    page->SyncFromDevice();
    MoveSlider("6533_eq_hz_slider_4", 6);
    ASSERT_EQ(SaveCurve("Mine"), CTarnexDE6533Device::kCurveSaved);
    const std::vector<int> mine = SliderBands();
    MoveSlider("6533_eq_hz_slider_4", -6);
    // Loading again takes the bands of the selected curve, not those last moved.
    page->SyncFromDevice();
    EXPECT_EQ(SliderBands(), mine);
    EXPECT_TRUE(OptionSelected("6533_eq_option_13"));
    EXPECT_EQ(names->GetCount(), 1);
    EXPECT_EQ(names->GetCurSel(), 0);
    EXPECT_TRUE(Enabled("custom_eq_option_layout"));

    page->RestoreDefaults();
    const Json::Value saved = SavedDevice();
    EXPECT_EQ(saved["SystemSetStages"]["EqType"].asInt(), 5);
    EXPECT_EQ(saved["CustomEQNameInfo"].size(), 0u);
    EXPECT_TRUE(OptionSelected("6533_eq_option_5"));
    EXPECT_EQ(names->GetCount(), 0);
    EXPECT_EQ(SliderBands(), std::vector<int>(10, 0));
    EXPECT_FALSE(Enabled("custom_eq_option_layout"));
}

// --- microphone, monitoring ---

struct MuteCase {
    std::string_view box;
    std::string_view property;
    std::string_view key;  // in "SystemSetStages"
};

TEST_F(HeadsetPage, MuteBoxesWriteTheFlagAndStoreOnlyWhatTheLibraryTook) {
    page->SyncFromDevice();
    for (const MuteCase& c : {MuteCase{"6533_MicIn_option", "MuteControl", "MicInSelect"},
                              MuteCase{"6533_MicMoniter_option", "AAMuteControl", "MicMoniterSelect"}}) {
        SCOPED_TRACE(c.box);
        const bool on = OptionSelected(c.box);
        sound->ClearCalls();
        Toggle(c.box);
        EXPECT_EQ(Writes(),
                  (std::vector<Write>{{std::string(c.property), kSimulatedRecordingId, on ? 1.0 : 0.0, {}}}));
        EXPECT_EQ(SavedDevice()["SystemSetStages"][std::string(c.key)].asInt(), on ? 0 : 1);
        EXPECT_EQ(OptionSelected(c.box), !on);

        // A write the library refuses changes neither the box nor the profile.
        sound->FailWrite(c.property);
        Toggle(c.box);
        EXPECT_EQ(OptionSelected(c.box), !on);
        EXPECT_EQ(SavedDevice()["SystemSetStages"][std::string(c.key)].asInt(), on ? 0 : 1);
        sound->FailWrite(c.property, false);
    }
}

struct LevelCase {
    std::string_view slider;
    std::string_view scalar;
    std::string_view volume;
    std::int32_t channel;
    std::string_view key;
};

TEST_F(HeadsetPage, LevelSlidersWriteAFractionOnTheirChannelThenReadTheVolume) {
    page->SyncFromDevice();
    for (const LevelCase& c :
         {LevelCase{"6533_MicIn_slider", "VolumeScalarControl", "VolumeControl", -1, "MicInValue"},
          LevelCase{"6533_MicMoniter_slider", "AAVolumeScalarControl", "AAVolumeControl", 0,
                    "MicMoniterValue"}}) {
        SCOPED_TRACE(c.slider);
        sound->ClearCalls();
        MoveSlider(c.slider, 40);
        const auto calls = sound->PropertyCalls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].kind, audio::AudioCallKind::Write);
        EXPECT_EQ(calls[0].property, c.scalar);
        EXPECT_FLOAT_EQ(static_cast<float>(calls[0].value.value_or(-1)), 0.4F);
        EXPECT_EQ(calls[0].parameter, std::vector<std::int32_t>{c.channel});
        EXPECT_EQ(calls[1].kind, audio::AudioCallKind::Read);
        EXPECT_EQ(calls[1].property, c.volume);
        EXPECT_EQ(SavedDevice()["SystemSetStages"][std::string(c.key)].asInt(), 40);

        sound->FailWrite(c.scalar);
        MoveSlider(c.slider, 90);
        EXPECT_EQ(SavedDevice()["SystemSetStages"][std::string(c.key)].asInt(), 40);
        EXPECT_EQ(Slider(c.slider)->GetValue(), 40);
        sound->FailWrite(c.scalar, false);
    }
}

TEST_F(HeadsetPage, LevelsSurviveTheirReadBack) {
    page->SyncFromDevice();
    // Levels written as level / 100 in single precision come back as the same level.
    for (const int level : {1, 7, 29, 57, 99, 100}) {
        SCOPED_TRACE(level);
        MoveSlider("6533_MicIn_slider", level);
        MoveSlider("6533_MicMoniter_slider", level);
        page->ReadAudioState();
        EXPECT_EQ(page->Settings().micInValue, level);
        EXPECT_EQ(page->Settings().micMonitorValue, level);
    }
}

// --- voice changer ---

TEST_F(HeadsetPage, VoiceChangerSwitchesEchoOffAndSelectsVoices) {
    page->SyncFromDevice();
    sound->ClearCalls();
    Toggle("magic_enable_option");
    EXPECT_EQ(Writes(), (std::vector<Write>{{"Enable_MAGICVOICE", kSimulatedRecordingId, 1, {}},
                                            {"Enable_MICECHO", kSimulatedRecordingId, 0, {}}}));
    EXPECT_TRUE(Enabled("magic_option_layout"));
    EXPECT_EQ(SavedDevice()["SystemSetStages"]["MagicEnable"].asInt(), 1);

    sound->ClearCalls();
    ASSERT_TRUE(Select("magic_option_3"));
    EXPECT_EQ(Writes(), (std::vector<Write>{{"MagicVoice_Selection", kSimulatedRecordingId, 2, {}}}));
    EXPECT_EQ(SavedDevice()["SystemSetStages"]["MagicType"].asInt(), 3);
    sound->ClearCalls();
    page->SelectVoice(0);
    page->SelectVoice(5);
    EXPECT_TRUE(Writes().empty());

    sound->ClearCalls();
    Toggle("magic_enable_option");
    EXPECT_EQ(Writes(), (std::vector<Write>{{"Enable_MAGICVOICE", kSimulatedRecordingId, 0, {}}}));
    EXPECT_FALSE(Enabled("magic_option_layout"));
}

struct VoiceAnswer {
    double enable;
    double selection;
    int magicEnable;
    int magicType;
};

TEST_F(HeadsetPage, ReadBackTakesVoicesZeroToThreeOnly) {
    page->SyncFromDevice();
    const int before = page->Settings().magicType;
    for (const VoiceAnswer& c : {VoiceAnswer{1, 3, 1, 4}, VoiceAnswer{0, 7, 0, 4}, VoiceAnswer{1, 0, 1, 1},
                                 VoiceAnswer{0, -1, 0, 1}}) {
        SCOPED_TRACE(c.selection);
        sound->SetProperty(kSimulatedRecordingId, audio::property::kEnableMagicVoice, c.enable);
        sound->SetProperty(kSimulatedRecordingId, audio::property::kMagicVoiceSelection, c.selection);
        page->ReadAudioState();
        EXPECT_EQ(page->Settings().magicEnable, c.magicEnable);
        EXPECT_EQ(page->Settings().magicType, c.magicType);
    }
    EXPECT_NE(before, 0);
}

class HeadsetWithoutVoiceChangerBit : public HeadsetPage {
protected:
    HeadsetWithoutVoiceChangerBit()
        : HeadsetPage([](audio::SimulatedAudio& a) {
              a.SetSupportFeature(audio::kSimulatedRecordingId, "65536,0,0,0,2,0,10");
              a.SetProperty(audio::kSimulatedRecordingId, audio::property::kEnableMagicVoice, 1);
          }) {}
};

TEST_F(HeadsetWithoutVoiceChangerBit, TheVoiceChangerStateIsNotReadBack) {
    page->SyncFromDevice();
    EXPECT_EQ(page->Settings().magicEnable, 0);  // the profile's, though the library says 1
    EXPECT_EQ(page->Profile().GetHeadsetSettings().magicEnable, 0);
}

class HeadsetWithoutRecordingDevice : public HeadsetPage {
protected:
    HeadsetWithoutRecordingDevice()
        : HeadsetPage([](audio::SimulatedAudio& a) {
              a.ClearDevices();
              a.AddDevice(audio::kPlaybackList, {kSimulatedPlaybackId, 1, 0, 1});
          }) {}
};

TEST_F(HeadsetWithoutRecordingDevice, MicrophoneAndVoiceOperationsAreSkipped) {
    EXPECT_FALSE(AnyRecordingCall());
    EXPECT_FALSE(Writes().empty());  // the playback defaults still go out
    page->SyncFromDevice();
    const Json::Value before = SavedDevice();
    sound->ClearCalls();
    Toggle("6533_MicIn_option");
    MoveSlider("6533_MicIn_slider", 10);
    Toggle("6533_MicMoniter_option");
    MoveSlider("6533_MicMoniter_slider", 10);
    Toggle("magic_enable_option");
    page->SelectVoice(2);
    EXPECT_TRUE(sound->PropertyCalls().empty());
    EXPECT_EQ(SavedDevice()["SystemSetStages"], before["SystemSetStages"]);
    // The boxes show the settings again, the page says why.
    EXPECT_EQ(OptionSelected("6533_MicIn_option"), before["SystemSetStages"]["MicInSelect"].asInt() != 0);
    EXPECT_FALSE(Enabled("6533_MicIn_option"));
    page->SwitchFunctionTab(6);
    EXPECT_TRUE(Visible("6533_mic_hint_label"));
    EXPECT_FALSE(Visible("6533_eq_hint_label"));
    EXPECT_FALSE(Enabled("magic_enable_option"));
    page->SwitchFunctionTab(7);
    EXPECT_TRUE(Visible("magic_hint_label"));
    // The equaliser still works.
    ASSERT_TRUE(Select("6533_eq_option_3"));
    EXPECT_EQ(Writes().size(), 11u);
}

TEST_F(HeadsetPage, UnpluggedLibraryFailsEveryOperationWithoutStoringIt) {
    page->SyncFromDevice();
    const Json::Value before = SavedDevice()["SystemSetStages"];
    sound->SetPlugged(false);
    Toggle("6533_MicIn_option");
    MoveSlider("6533_MicMoniter_slider", 3);
    page->ReadAudioState();
    EXPECT_EQ(SavedDevice()["SystemSetStages"], before);
    EXPECT_EQ(page->Settings().micMonitorValue, before["MicMoniterValue"].asInt());
}

// --- the headset's wire ---

TEST_F(HeadsetPage, LightFrameGoesOutAsTwelveOutputReports) {
    // Distinct values per LED and channel; LED 12 at full level shows the 247 cap.
    for (int i = 0; i < 13; ++i) {
        const auto v = static_cast<std::uint8_t>(10 * i);
        page->SetLedColor(i, {v, static_cast<std::uint8_t>(v + 1), static_cast<std::uint8_t>(v + 2), 128});
    }
    page->SetLedColor(12, {255, 250, 248, 255});
    link.Device().WithFirmware([](sim::FirmwareModel& f) { EXPECT_TRUE(f.OutputReports().empty()); });
    page->SendLightFrame();
    const auto expected = devices::headset::BuildLedReports([&] {
        devices::light::LightFrame frame(13);
        for (int i = 0; i < 13; ++i) {
            frame.Set(i, page->GetLedColor(i));
        }
        return frame;
    }());
    link.Device().WithFirmware([&](sim::FirmwareModel& f) {
        const auto& sent = f.OutputReports();
        ASSERT_EQ(sent.size(), 12u);
        for (std::size_t r = 0; r < sent.size(); ++r) {
            EXPECT_EQ(sent[r], std::vector<std::uint8_t>(expected[r].begin(), expected[r].end())) << r;
        }
        // Report 2: red of LEDs 7-12 (half level), LED 12 capped; byte 10 still LED 6's red.
        EXPECT_EQ(sent[1], (std::vector<std::uint8_t>{0xFF, 0x22, 0xAD, 0, 35, 40, 45, 50, 55, 247, 30, 0, 0,
                                                      0, 0, 0, 0}));
    });
    // With host lighting off nothing goes out.
    page->SetHostLighting(0);
    page->SendLightFrame();
    link.Device().WithFirmware([](sim::FirmwareModel& f) { EXPECT_EQ(f.OutputReports().size(), 12u); });
}

TEST_F(HeadsetPage, FramesSentWhileTheLightThreadRendersKeepTheirOrder) {
    page->SyncFromDevice();
    ASSERT_TRUE(page->LightThreadRunning());
    ASSERT_TRUE(Eventually([&] { return page->GetLedColor(1).level > 0; }));
    for (int i = 0; i < 20; ++i) {
        page->SendLightFrame();
    }
    constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 12> kOrder = {{{0x22, 0xAA},
                                                                               {0x22, 0xAD},
                                                                               {0x44, 0xAA},
                                                                               {0x44, 0xAD},
                                                                               {0x22, 0xAB},
                                                                               {0x22, 0xAE},
                                                                               {0x44, 0xAB},
                                                                               {0x44, 0xAE},
                                                                               {0x22, 0xAC},
                                                                               {0x22, 0xAF},
                                                                               {0x44, 0xAC},
                                                                               {0x44, 0xAF}}};
    link.Device().WithFirmware([&](sim::FirmwareModel& f) {
        const auto& sent = f.OutputReports();
        ASSERT_EQ(sent.size(), 20u * 12u);
        for (std::size_t r = 0; r < sent.size(); ++r) {
            ASSERT_EQ(sent[r].size(), 17u);
            EXPECT_EQ(sent[r][0], 0xFF);
            EXPECT_EQ(std::make_pair(sent[r][1], sent[r][2]), kOrder[r % 12]) << r;
            EXPECT_TRUE(std::ranges::all_of(sent[r].begin() + 4, sent[r].begin() + 11,
                                            [](std::uint8_t v) { return v <= 247; }));
        }
    });
}

TEST_F(HeadsetPage, SettingsBlockAndReadBackAreThePadsSequences) {
    page->SyncFromDevice();
    link.Device().ClearWireLog();
    EXPECT_EQ(page->WriteDeviceSettings({}), 1);
    std::vector<std::uint8_t> written;
    for (const auto& request : Sent()) {
        if (request[3] == C(Cmd::WriteSettings)) {
            written.insert(written.end(), request.begin() + 8, request.begin() + 8 + request[4]);
        }
    }
    ASSERT_EQ(written.size(), 21u);
    EXPECT_EQ(written[3], 4 - page->Record().Speed());

    // The read-back the event's timer runs.
    link.Device().WithFirmware([](sim::FirmwareModel& f) {
        f.Settings()[0] = 1;
        f.Settings()[25 + 3] = 1;  // speed 3
    });
    link.Device().ClearWireLog();
    page->ResyncFromDevice();
    EXPECT_EQ(BytesOf(Cmd::ReadSettings), 1u + 28u);
    EXPECT_EQ(page->LastReadBack(), 1);
    EXPECT_EQ(page->Record().ActiveBlock(), 1);
    EXPECT_EQ(page->Record().Speed(), 3);
}

}  // namespace
}  // namespace norvane::test
