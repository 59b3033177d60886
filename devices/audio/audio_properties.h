#pragma once

#include "devices/audio/audio_library.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The headset's library properties by name, and reading or writing one over any library.
namespace norvane::devices::audio {

namespace property {
inline constexpr std::string_view kGetSupportFeature = "GetSupportFeature";
inline constexpr std::string_view kGetMaxVol = "GetMaxVol";
inline constexpr std::string_view kGetMinVol = "GetMinVol";
inline constexpr std::string_view kGetVolStep = "GetVolStep";
inline constexpr std::string_view kGetAAMaxVol = "GetAAMaxVol";
inline constexpr std::string_view kGetAAMinVol = "GetAAMinVol";
inline constexpr std::string_view kGetAAVolStep = "GetAAVolStep";
inline constexpr std::string_view kVolumeControl = "VolumeControl";
inline constexpr std::string_view kAAVolumeControl = "AAVolumeControl";
inline constexpr std::string_view kVolumeScalarControl = "VolumeScalarControl";
inline constexpr std::string_view kAAVolumeScalarControl = "AAVolumeScalarControl";
inline constexpr std::string_view kMuteControl = "MuteControl";
inline constexpr std::string_view kAAMuteControl = "AAMuteControl";
inline constexpr std::string_view kEnableMagicVoice = "Enable_MAGICVOICE";
inline constexpr std::string_view kEnableMicEcho = "Enable_MICECHO";
inline constexpr std::string_view kMagicVoiceSelection = "MagicVoice_Selection";
inline constexpr std::string_view kEnableEncLfx = "Enable_ENC_LFX";
inline constexpr std::string_view kEnableEqGfx = "Enable_EQ_GFX";
inline constexpr std::string_view kEqSlider1 = "EQ_Slider1";
inline constexpr std::string_view kEqSlider2 = "EQ_Slider2";
inline constexpr std::string_view kEqSlider3 = "EQ_Slider3";
inline constexpr std::string_view kEqSlider4 = "EQ_Slider4";
inline constexpr std::string_view kEqSlider5 = "EQ_Slider5";
inline constexpr std::string_view kEqSlider6 = "EQ_Slider6";
inline constexpr std::string_view kEqSlider7 = "EQ_Slider7";
inline constexpr std::string_view kEqSlider8 = "EQ_Slider8";
inline constexpr std::string_view kEqSlider9 = "EQ_Slider9";
inline constexpr std::string_view kEqSlider10 = "EQ_Slider10";
inline constexpr std::string_view kEnableRfxGfx = "Enable_RFX_GFX";
inline constexpr std::string_view kRfxEnvironment = "RFX_ENVIRONMENT";
inline constexpr std::string_view kRfxRoomSize = "RFX_ROOMSIZE";
inline constexpr std::string_view kVirtualSurroundEffectControl = "VirtualSurroundEffectControl";
// Start-up names of the surround defaults; only the first leads to a library call, through
// kVirtualSurroundEffectControl.
inline constexpr std::string_view kXearSurrHPEnable = "XearSurrHP_Enable";
inline constexpr std::string_view kXearSurrHPRoom = "XearSurrHP_Room";
inline constexpr std::string_view kXearSurrHPMode = "XearSurrHP_Mode";

// "EQ_Slider1" … "EQ_Slider10", by band index 0 to 9.
inline constexpr std::array<std::string_view, 10> kEqSliders = {
    kEqSlider1, kEqSlider2, kEqSlider3, kEqSlider4, kEqSlider5,
    kEqSlider6, kEqSlider7, kEqSlider8, kEqSlider9, kEqSlider10};
}  // namespace property

// Which chosen device a property belongs to.
enum class PropertyDevice { Playback, Recording, Either };
// A written value is a 32-bit integer, or a 32-bit float for the scalar volumes.
enum class ValueKind { Integer, Scalar };
// The parameter buffer a property is used with.
enum class ParameterKind {
    None,
    AllChannels,   // channel word -1
    FirstChannel,  // channel word 0
    Surround,      // the 12 bytes {4, -1, 0}
};

struct PropertyInfo {
    std::string_view name;
    PropertyDevice device = PropertyDevice::Recording;
    ValueKind kind = ValueKind::Integer;
    ParameterKind parameter = ParameterKind::None;
    bool settable = true;
};

// Every property the headset uses, once.
inline constexpr std::array kProperties = {
    PropertyInfo{property::kGetSupportFeature, PropertyDevice::Either, ValueKind::Integer,
                 ParameterKind::None, false},
    PropertyInfo{property::kGetMaxVol, PropertyDevice::Recording, ValueKind::Integer, ParameterKind::None,
                 false},
    PropertyInfo{property::kGetMinVol, PropertyDevice::Recording, ValueKind::Integer, ParameterKind::None,
                 false},
    PropertyInfo{property::kGetVolStep, PropertyDevice::Recording, ValueKind::Integer, ParameterKind::None,
                 false},
    PropertyInfo{property::kGetAAMaxVol, PropertyDevice::Recording, ValueKind::Integer, ParameterKind::None,
                 false},
    PropertyInfo{property::kGetAAMinVol, PropertyDevice::Recording, ValueKind::Integer, ParameterKind::None,
                 false},
    PropertyInfo{property::kGetAAVolStep, PropertyDevice::Recording, ValueKind::Integer, ParameterKind::None,
                 false},
    PropertyInfo{property::kVolumeControl, PropertyDevice::Recording, ValueKind::Integer,
                 ParameterKind::AllChannels},
    PropertyInfo{property::kAAVolumeControl, PropertyDevice::Recording, ValueKind::Integer,
                 ParameterKind::FirstChannel},
    PropertyInfo{property::kVolumeScalarControl, PropertyDevice::Recording, ValueKind::Scalar,
                 ParameterKind::AllChannels},
    PropertyInfo{property::kAAVolumeScalarControl, PropertyDevice::Recording, ValueKind::Scalar,
                 ParameterKind::FirstChannel},
    PropertyInfo{property::kMuteControl, PropertyDevice::Recording},
    PropertyInfo{property::kAAMuteControl, PropertyDevice::Recording},
    PropertyInfo{property::kEnableMagicVoice, PropertyDevice::Recording},
    PropertyInfo{property::kEnableMicEcho, PropertyDevice::Recording},
    PropertyInfo{property::kMagicVoiceSelection, PropertyDevice::Recording},
    PropertyInfo{property::kEnableEncLfx, PropertyDevice::Recording},
    PropertyInfo{property::kEnableEqGfx, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider1, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider2, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider3, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider4, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider5, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider6, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider7, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider8, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider9, PropertyDevice::Playback},
    PropertyInfo{property::kEqSlider10, PropertyDevice::Playback},
    PropertyInfo{property::kEnableRfxGfx, PropertyDevice::Playback},
    PropertyInfo{property::kRfxEnvironment, PropertyDevice::Playback},
    PropertyInfo{property::kRfxRoomSize, PropertyDevice::Playback},
    PropertyInfo{property::kVirtualSurroundEffectControl, PropertyDevice::Playback, ValueKind::Integer,
                 ParameterKind::Surround},
};

// The properties the start-up reads in this order, writing 0 to each one that cannot be read.
inline constexpr std::array kStartupDefaults = {
    property::kVirtualSurroundEffectControl,
    property::kEnableEncLfx,
    property::kVolumeControl,
    property::kEnableEqGfx,
    property::kEqSlider1,
    property::kEqSlider2,
    property::kEqSlider3,
    property::kEqSlider4,
    property::kEqSlider5,
    property::kEqSlider6,
    property::kEqSlider7,
    property::kEqSlider8,
    property::kEqSlider9,
    property::kEqSlider10,
    property::kEnableRfxGfx,
    property::kRfxEnvironment,
    property::kRfxRoomSize,
    property::kMuteControl,
    property::kVolumeScalarControl,
    property::kAAVolumeControl,
    property::kAAMuteControl,
    property::kAAVolumeScalarControl,
    property::kEnableMagicVoice,
    property::kMagicVoiceSelection,
};

// The property's entry, or nothing for a name the headset does not use.
const PropertyInfo* FindProperty(std::string_view name);

// A parameter buffer: 1024 bytes, of which Bytes() gives the part the library is handed
// (nothing, one channel word, or the 12-byte surround parameter).
class PropertyParameter {
public:
    PropertyParameter() = default;
    static PropertyParameter For(ParameterKind kind);
    static PropertyParameter Channel(std::int32_t channel);

    std::span<const std::uint8_t> Bytes() const& { return std::span(buffer_).first(size_); }
    // The bytes live in the parameter: not of a temporary.
    std::span<const std::uint8_t> Bytes() const&& = delete;

private:
    std::array<std::uint8_t, kPropertyBufferSize> buffer_{};
    std::size_t size_ = 0;
};

using PropertyBuffer = std::array<std::uint8_t, kPropertyBufferSize>;

// Decimal text (surrounding blanks allowed) as a number; nothing for anything else.
std::optional<double> ParseNumber(std::string_view text);
// The text of a read buffer: up to its first NUL.
std::string_view BufferText(std::span<const std::uint8_t> buffer);

// Reads a property as a number: nothing when the library fails or the text is not a number.
std::optional<double> ReadNumber(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                 std::string_view name, const PropertyParameter& parameter = {});
// As ReadNumber, truncated toward zero; nothing when outside the 32-bit range.
std::optional<int> ReadInt(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                           std::string_view name, const PropertyParameter& parameter = {});
// Reads the property as text (for "GetSupportFeature"); nothing when the library fails.
std::optional<std::string> ReadText(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                    std::string_view name, const PropertyParameter& parameter = {});

// Each returns the library's result (0 success).
int WriteInt(IAudioConfigLibrary& library, const AudioDeviceRecord& record, std::string_view name,
             std::int32_t value, const PropertyParameter& parameter = {});
int WriteFloat(IAudioConfigLibrary& library, const AudioDeviceRecord& record, std::string_view name,
               float value, const PropertyParameter& parameter = {});

// By table entry: the entry's parameter, and an integer or float write as its kind says
// (integers truncated toward zero).
std::optional<double> ReadProperty(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                   const PropertyInfo& info);
int WriteProperty(IAudioConfigLibrary& library, const AudioDeviceRecord& record, const PropertyInfo& info,
                  double value);

}  // namespace norvane::devices::audio
