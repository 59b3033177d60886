#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// The headset's audio configuration library: device lists for playback and recording, and
// named properties read as decimal text or written as a 32-bit integer or float. Every call
// returns 0 for success.
namespace norvane::devices::audio {

// The device lists.
inline constexpr int kPlaybackList = 0;
inline constexpr int kRecordingList = 1;
// Value buffers are this long; the parameter buffer starts with a channel word.
inline constexpr std::size_t kPropertyBufferSize = 1024;
inline constexpr std::int32_t kAllChannels = -1;
inline constexpr std::int32_t kFirstChannel = 0;

// A 16-byte device record: identifier, type, a third word, state.
struct AudioDeviceRecord {
    std::uint32_t id = 0;
    std::uint32_t type = 0;
    std::uint32_t third = 0;
    std::uint32_t state = 0;

    friend bool operator==(const AudioDeviceRecord&, const AudioDeviceRecord&) = default;
};
static_assert(sizeof(AudioDeviceRecord) == 16);

// What a backend can really do on this machine, beside the library's own answers; the
// panels hide or explain what is missing.
struct AudioCapabilities {
    bool microphone = false;     // level and mute of the capture side
    bool monitoring = false;     // level and mute of the microphone's playback (loopback)
    bool equaliser = false;      // the ten bands act on the headset's output
    bool voiceChanger = false;   // voice changer, echo and room effects
    std::string equaliserReason;   // why not, for the page
    std::string voiceChangerReason;
};

class IAudioConfigLibrary {
public:
    virtual ~IAudioConfigLibrary() = default;

    virtual int ConfLibInit() = 0;
    virtual int CreateDeviceList() = 0;
    virtual int GetDeviceCount(int list, int& count) = 0;
    virtual int GetDeviceById(int list, int index, AudioDeviceRecord& record) = 0;
    // Read (write false): the value as decimal text in value (NUL-terminated). Write: a 32-bit
    // integer or float at the start of value. parameter may be empty.
    virtual int PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                                std::span<std::uint8_t> value, std::span<const std::uint8_t> parameter,
                                bool write) = 0;

    virtual AudioCapabilities Capabilities() const = 0;
};

// The USB identity of the headset whose audio the library drives.
struct AudioDeviceIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string hidPath;  // the headset's command interface (/dev/hidrawN), when known
};

// Makes the library for a headset; the program sets it once at start (real or simulated).
using AudioLibraryFactory = std::function<std::unique_ptr<IAudioConfigLibrary>(const AudioDeviceIdentity&)>;
void SetAudioLibraryFactory(AudioLibraryFactory factory);
// The library for a headset from the factory set last; nothing when none is set.
std::unique_ptr<IAudioConfigLibrary> MakeAudioLibrary(const AudioDeviceIdentity& identity);

}  // namespace norvane::devices::audio
