// Reading and writing properties over a library that keeps the exact bytes it was handed.
#include "devices/audio/audio_properties.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace norvane::devices::audio {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Answers reads with a fixed text and result, and keeps each call's buffers.
class RawLibrary final : public IAudioConfigLibrary {
public:
    struct Seen {
        std::string property;
        std::size_t valueSize = 0;
        Bytes valueHead;  // the first 4 bytes of the value buffer
        Bytes parameter;
        bool write = false;
    };

    std::string answer;
    int result = 0;
    std::vector<Seen> seen;

    int ConfLibInit() override { return 0; }
    int CreateDeviceList() override { return 0; }
    int GetDeviceCount(int, int& count) override {
        count = 0;
        return 0;
    }
    int GetDeviceById(int, int, AudioDeviceRecord&) override { return 1; }
    int PropertyControl(const AudioDeviceRecord&, std::string_view property, std::span<std::uint8_t> value,
                        std::span<const std::uint8_t> parameter, bool write) override {
        seen.push_back({std::string(property), value.size(), Bytes(value.begin(), value.begin() + 4),
                        Bytes(parameter.begin(), parameter.end()), write});
        if (!write && result == 0) {
            std::memcpy(value.data(), answer.data(), std::min(answer.size(), value.size()));
        }
        return result;
    }
    [[nodiscard]] AudioCapabilities Capabilities() const override { return {}; }
};

Bytes WordBytes(std::initializer_list<std::int32_t> words) {
    Bytes bytes(words.size() * 4);
    std::size_t at = 0;
    for (const std::int32_t word : words) {
        std::memcpy(bytes.data() + at, &word, 4);
        at += 4;
    }
    return bytes;
}

Bytes FloatBytes(float value) {
    Bytes bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

const AudioDeviceRecord kDevice{7, 2, 0, 1};

TEST(AudioProperties, ParsesDecimalTextOnly) {
    struct Case {
        std::string_view text;
        std::optional<double> number;
    };
    const Case cases[] = {
        {"0", 0.0},
        {"42", 42.0},
        {"-3", -3.0},
        {"+5", 5.0},
        {"0.75", 0.75},
        {"-1536.5", -1536.5},
        {" 12\n", 12.0},
        {"\t7 ", 7.0},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"1,2", std::nullopt},
        {"+-3", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"-", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseNumber(c.text), c.number) << "'" << c.text << "'";
    }
}

TEST(AudioProperties, ReadTakesTheTextUpToItsEnd) {
    struct Case {
        std::string answer;
        int result;
        std::optional<double> number;
        std::optional<int> integer;
    };
    const Case cases[] = {
        {std::string("75\0garbage", 10), 0, 75.0, 75},
        {"0.5", 0, 0.5, 0},
        {"-2.9", 0, -2.9, -2},
        {"99.99", 0, 99.99, 99},
        {"4294967296", 0, 4294967296.0, std::nullopt},  // beyond 32 bits
        {"", 0, std::nullopt, std::nullopt},
        {"on", 0, std::nullopt, std::nullopt},
        {"75", 1, std::nullopt, std::nullopt},  // the library failed: its text is not used
        {"75", -5, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        RawLibrary library;
        library.answer = c.answer;
        library.result = c.result;
        EXPECT_EQ(ReadNumber(library, kDevice, property::kVolumeControl), c.number) << c.answer;
        EXPECT_EQ(ReadInt(library, kDevice, property::kVolumeControl), c.integer) << c.answer;
        ASSERT_EQ(library.seen.size(), 2U);
        EXPECT_FALSE(library.seen[0].write);
        EXPECT_EQ(library.seen[0].valueSize, kPropertyBufferSize);
    }
}

TEST(AudioProperties, ReadOfAFullBufferWithoutEndStaysInside) {
    RawLibrary library;
    library.answer = std::string(kPropertyBufferSize, '7');
    EXPECT_EQ(ReadText(library, kDevice, property::kGetSupportFeature)->size(), kPropertyBufferSize);
    EXPECT_FALSE(ReadInt(library, kDevice, property::kGetMaxVol).has_value());
}

TEST(AudioProperties, WritesPutIntegerOrFloatBitsAtTheStart) {
    RawLibrary library;
    EXPECT_EQ(WriteInt(library, kDevice, property::kMuteControl, 1), 0);
    EXPECT_EQ(WriteInt(library, kDevice, property::kEqSlider4, -13), 0);
    EXPECT_EQ(WriteFloat(library, kDevice, property::kVolumeScalarControl, 0.42F,
                         PropertyParameter::Channel(kAllChannels)),
              0);
    library.result = 3;
    EXPECT_EQ(WriteInt(library, kDevice, property::kEnableEqGfx, 1), 3);

    ASSERT_EQ(library.seen.size(), 4U);
    EXPECT_EQ(library.seen[0].valueHead, WordBytes({1}));
    EXPECT_EQ(library.seen[1].valueHead, WordBytes({-13}));
    EXPECT_EQ(library.seen[2].valueHead, FloatBytes(0.42F));
    for (const auto& seen : library.seen) {
        EXPECT_TRUE(seen.write);
        EXPECT_EQ(seen.valueSize, kPropertyBufferSize);
    }
    EXPECT_EQ(library.seen[2].property, "VolumeScalarControl");
}

TEST(AudioProperties, ParameterBuffers) {
    struct Case {
        ParameterKind kind;
        Bytes bytes;
    };
    const Case cases[] = {
        {ParameterKind::None, {}},
        {ParameterKind::AllChannels, WordBytes({-1})},
        {ParameterKind::FirstChannel, WordBytes({0})},
        {ParameterKind::Surround, WordBytes({4, -1, 0})},
    };
    for (const Case& c : cases) {
        const auto parameter = PropertyParameter::For(c.kind);
        EXPECT_EQ(Bytes(parameter.Bytes().begin(), parameter.Bytes().end()), c.bytes)
            << static_cast<int>(c.kind);
        RawLibrary library;
        library.answer = "1";
        static_cast<void>(ReadNumber(library, kDevice, property::kVolumeControl, parameter));
        ASSERT_EQ(library.seen.size(), 1U);
        EXPECT_EQ(library.seen[0].parameter, c.bytes);
    }
}

TEST(AudioProperties, TableEntriesChooseParameterAndValueKind) {
    struct Case {
        std::string_view name;
        double value;
        Bytes head;
        Bytes parameter;
    };
    const Case cases[] = {
        {"VolumeScalarControl", 0.35, FloatBytes(0.35F), WordBytes({-1})},
        {"AAVolumeScalarControl", 1.0, FloatBytes(1.0F), WordBytes({0})},
        {"AAVolumeScalarControl", 0.0, FloatBytes(0.0F), WordBytes({0})},
        {"VolumeControl", 0.0, WordBytes({0}), WordBytes({-1})},
        {"AAVolumeControl", 0.0, WordBytes({0}), WordBytes({0})},
        {"VirtualSurroundEffectControl", 0.0, WordBytes({0}), WordBytes({4, -1, 0})},
        {"EQ_Slider7", -11.0, WordBytes({-11}), {}},
        {"EQ_Slider1", 7.9, WordBytes({7}), {}},  // integers truncate
        {"MagicVoice_Selection", 3.0, WordBytes({3}), {}},
        {"MuteControl", 1.0, WordBytes({1}), {}},
        {"Enable_MICECHO", 1e12, WordBytes({2147483647}), {}},  // held to 32 bits
    };
    for (const Case& c : cases) {
        const PropertyInfo* info = FindProperty(c.name);
        ASSERT_NE(info, nullptr) << c.name;
        RawLibrary library;
        library.answer = "5";
        EXPECT_EQ(WriteProperty(library, kDevice, *info, c.value), 0);
        EXPECT_EQ(ReadProperty(library, kDevice, *info), 5.0);
        ASSERT_EQ(library.seen.size(), 2U);
        EXPECT_EQ(library.seen[0].valueHead, c.head) << c.name;
        EXPECT_EQ(library.seen[0].parameter, c.parameter) << c.name;
        EXPECT_EQ(library.seen[1].parameter, c.parameter) << c.name;
    }
}

TEST(AudioProperties, EveryNameIsInTheTableOnce) {
    for (const PropertyInfo& info : kProperties) {
        EXPECT_EQ(FindProperty(info.name), &info) << info.name;
    }
    for (const std::string_view name : kStartupDefaults) {
        const PropertyInfo* info = FindProperty(name);
        ASSERT_NE(info, nullptr) << name;
        EXPECT_TRUE(info->settable) << name;
    }
    for (std::size_t band = 0; band < property::kEqSliders.size(); ++band) {
        EXPECT_EQ(property::kEqSliders[band], "EQ_Slider" + std::to_string(band + 1));
    }
    // Start-up names that are not library properties of their own.
    EXPECT_EQ(FindProperty(property::kXearSurrHPEnable), nullptr);
    EXPECT_EQ(FindProperty("volumecontrol"), nullptr);
}

}  // namespace
}  // namespace norvane::devices::audio
